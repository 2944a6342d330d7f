// status = BRELK_6_SetCoolerOFF(id): switches the cooler off (control 16 set to 0).
#include "frame.h"

void brelk::run(Call& call) {
  setParam(call, BRELKCCD_COOLER_PWM, 0.0, "Set cooler OFF successfully.\n", "Set cooler OFF failed.\n");
}
