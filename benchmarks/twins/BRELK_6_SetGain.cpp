// Twin of BRELK_6_SetGain, written by hand against the MEX API.
#include "twin.h"

TWIN_EXPORT void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  plhs[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  int32_t* status = static_cast<int32_t*>(mxGetData(plhs[0]));
  twin::IdRoom room;
  const char* id = twin::cameraId(nrhs, prhs, room);
  double value;
  if (!id || !twin::number(nrhs, prhs, 1, "value", value)) {
    *status = -1;
    return;
  }
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  if (!camera) {
    mexPrintf("Open BRELKCCD failed.\n");
    *status = -1;
    return;
  }
  if (SetBRELKCCDParam(camera, BRELKCCD_GAIN, value) == 0) {
    mexPrintf("Set camera gain successfully.\n");
  } else {
    mexPrintf("Set camera gain failed.\n");
    *status = -1;
  }
}
