// status = BRELK_6_SetLiveGamma(id, value): sets the camera live gamma (control 5).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_GAMMA, call.number(1, "value"), "Set camera gamma successfully.\n",
           "Set camera gamma failed.\n");
}
