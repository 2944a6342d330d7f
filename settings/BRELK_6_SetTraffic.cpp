// status = BRELK_6_SetTraffic(id, value): sets the camera traffic (control 12).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_TRAFFIC, call.number(1, "value"), "Set camera traffic successfully.\n",
           "Set camera traffic failed.\n");
}
