// [status, percent] = BRELK_7_GetCoolerPWM(id): the power the cooler runs at,
// in percent of full power (the SDK's 0 to 255 scaled by 100/255, the
// inverse of BRELK_6_SetCoolerPWM); NaN with status -1 when there is no reading.
#include "frame.h"

void brelk::run(Call& call) {
  if (!call.open(Guard::None, Unread<double>{kNoReading})) return;
  double* percent = call.output<double>(1);
  const double pwm = GetBRELKCCDParam(call.camera(), BRELKCCD_COOLER_PWM);
  if (isMinusOne(static_cast<uint32_t>(toInt32(pwm)))) {
    *percent = kNoReading;
    return call.fail("Get cooler PWM failed.\n");
  }
  *percent = pwm / 255.0 * 100.0;
  call.succeed("Current cooler PWM : %f %%\n", *percent);
}
