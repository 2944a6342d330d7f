// status = BRELK_6_SetCoolerPWM(id, percent): drives the cooler at a percentage of full power
// (control 16, where 255 is full power). Neither rounded nor clamped: the SDK judges the value.
#include "frame.h"

void brelk::run(Call& call) {
  const double percent = call.number(1, "percent");
  setParam(call, BRELKCCD_COOLER_PWM, percent / 100.0 * 255.0, "Set cooler PWM successfully.\n",
           "Set cooler PWM failed.\n");
}
