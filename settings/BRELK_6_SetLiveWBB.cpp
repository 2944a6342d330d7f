// status = BRELK_6_SetLiveWBB(id, value): sets the camera blue balance (control 3).
// The failure line keeps its old spelling: scripts and logs match on it.
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_WB_BLUE, call.number(1, "value"), "Set camera blue balance successfully.\n",
           "Set camera bule balance failed.\n");
}
