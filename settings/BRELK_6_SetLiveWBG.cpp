// status = BRELK_6_SetLiveWBG(id, value): sets the camera green balance (control 4).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_WB_GREEN, call.number(1, "value"), "Set camera green balance successfully.\n",
           "Set camera green balance failed.\n");
}
