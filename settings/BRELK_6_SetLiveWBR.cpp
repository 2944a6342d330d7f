// status = BRELK_6_SetLiveWBR(id, value): sets the camera red balance (control 2).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_WB_RED, call.number(1, "value"), "Set camera red balance successfully.\n",
           "Set camera red balance failed.\n");
}
