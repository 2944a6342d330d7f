// Twin of BRELK_7_GetCoolerPWM, written by hand against the MEX API.
#include <cmath>

#include "twin.h"

namespace {
// The power asked for, as a call that never read it returns it: NaN.
void unread(mxArray* plhs[], int nlhs) {
  if (nlhs > 1) *twin::create<double>(plhs, 1, 1, mxDOUBLE_CLASS) = NAN;
}
}  // namespace

TWIN_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  plhs[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  int32_t* status = static_cast<int32_t*>(mxGetData(plhs[0]));
  twin::IdRoom room;
  const char* id = twin::cameraId(nrhs, prhs, room);
  if (!id) {
    *status = -1;
    return unread(plhs, nlhs);
  }
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  if (!camera) {
    mexPrintf("Open BRELKCCD failed.\n");
    *status = -1;
    return unread(plhs, nlhs);
  }
  double local;
  double* percent = nlhs > 1 ? twin::create<double>(plhs, 1, 1, mxDOUBLE_CLASS) : &local;
  const double pwm = GetBRELKCCDParam(camera, BRELKCCD_COOLER_PWM);
  if (twin::toInt32(pwm) == -1) {
    *percent = NAN;
    mexPrintf("Get cooler PWM failed.\n");
    *status = -1;
    return;
  }
  *percent = pwm / 255.0 * 100.0;
  mexPrintf("Current cooler PWM : %f %%\n", *percent);
}
