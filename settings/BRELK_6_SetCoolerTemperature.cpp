// status = BRELK_6_SetCoolerTemperature(id, value): sets the cooler's target temperature
// (control 18).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_COOLER_TARGET, call.number(1, "value"), "Set target temperature successfully.\n",
           "Set target temperature failed.\n");
}
