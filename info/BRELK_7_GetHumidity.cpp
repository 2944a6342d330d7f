// [status, humidity] = BRELK_7_GetHumidity(id): the camera's humidity reading
// (double), as the SDK reports it, unchecked; status -1 only when the camera
// has no such sensor.
#include "frame.h"

void brelk::run(Call& call) {
  getParam(call, Guard::Humidity, BRELKCCD_HUMIDITY, "Current Humidity : %f\n");
}
