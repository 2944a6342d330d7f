// status = BRELK_6_SetOffset(id, value): sets the camera offset (control 7).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_OFFSET, call.number(1, "value"), "Set camera offset successfully.\n",
           "Set camera offset failed.\n");
}
