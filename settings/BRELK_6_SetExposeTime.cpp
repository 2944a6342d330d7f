// status = BRELK_6_SetExposeTime(id, value): sets the camera exposure time (control 8).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_EXPOSURE, call.number(1, "value"), "Set camera expose time successfully.\n",
           "Set camera expose time failed.\n");
}
