// status = BRELK_6_SetLiveContrast(id, value): sets the camera live contrast (control 1).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_CONTRAST, call.number(1, "value"), "Set camera contrast successfully.\n",
           "Set camera contrast failed.\n");
}
