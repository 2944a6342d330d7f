// status = BRELK_6_SetLiveBrightness(id, value): sets the camera live brightness (control 0).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_BRIGHTNESS, call.number(1, "value"), "Set camera brightness successfully.\n",
           "Set camera brightness failed.\n");
}
