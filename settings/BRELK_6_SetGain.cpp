// status = BRELK_6_SetGain(id, value): sets the camera gain (control 6).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_GAIN, call.number(1, "value"), "Set camera gain successfully.\n",
           "Set camera gain failed.\n");
}
