// status = BRELK_9_StopSingleCapture(id): cancels a single-frame exposure and its readout.
// Only -1 from the SDK is a failure.
#include "frame.h"

void brelk::run(Call& call) {
  handleCall(call, CancelBRELKCCDExposingAndReadout, Test::MinusOne, "Stop single mode successfully.\n",
             "Stop single mode failed.\n");
}
