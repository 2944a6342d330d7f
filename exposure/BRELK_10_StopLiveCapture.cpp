// status = BRELK_10_StopLiveCapture(id): stops live exposure. Only -1 from the SDK is a failure,
// so stopping a live exposure that never began reports what the SDK answers.
#include "frame.h"

void brelk::run(Call& call) {
  handleCall(call, StopBRELKCCDLive, Test::MinusOne, "Stop live mode successfully.\n",
             "Stop live mode failed.\n");
}
