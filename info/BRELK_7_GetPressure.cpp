// [status, pressure] = BRELK_7_GetPressure(id): the camera's pressure reading
// (double), as the SDK reports it, unchecked; status -1 only when the camera
// has no such sensor.
#include "frame.h"

void brelk::run(Call& call) {
  getParam(call, Guard::Pressure, BRELKCCD_PRESSURE, "Current Pressure : %f\n");
}
