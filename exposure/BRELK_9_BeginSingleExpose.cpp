// status = BRELK_9_BeginSingleExpose(id): starts a single-frame exposure and returns at once.
// Only -1 from the SDK is a failure.
#include "frame.h"

void brelk::run(Call& call) {
  handleCall(call, ExpBRELKCCDSingleFrame, Test::MinusOne, "Begin single expose successfully.\n",
             "Begin single expose failed.\n");
}
