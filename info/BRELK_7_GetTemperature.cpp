// [status, temperature] = BRELK_7_GetTemperature(id): the sensor temperature
// in degrees Celsius (double), as the SDK reports it; -1 is returned as read.
#include "frame.h"

void brelk::run(Call& call) {
  // Ends in the degree Celsius sign, U+2103 in UTF-8.
  getParam(call, Guard::None, BRELKCCD_CURRENT_TEMPERATURE, "Current TEMP : %f \xE2\x84\x83\n");
}
