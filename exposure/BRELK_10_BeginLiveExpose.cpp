// status = BRELK_10_BeginLiveExpose(id): starts live, continuous exposure and returns at once.
// Only -1 from the SDK is a failure.
#include "frame.h"

void brelk::run(Call& call) {
  handleCall(call, BeginBRELKCCDLive, Test::MinusOne, "Begin live expose successfully.\n",
             "Begin live expose failed.\n");
}
