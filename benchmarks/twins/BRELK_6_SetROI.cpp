// Twin of BRELK_6_SetROI, written by hand against the MEX API.
#include "twin.h"

TWIN_EXPORT void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  plhs[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  int32_t* status = static_cast<int32_t*>(mxGetData(plhs[0]));
  twin::IdRoom room;
  const char* id = twin::cameraId(nrhs, prhs, room);
  double x, y, sizex, sizey;
  if (!id || !twin::number(nrhs, prhs, 1, "x", x) || !twin::number(nrhs, prhs, 2, "y", y) ||
      !twin::number(nrhs, prhs, 3, "sizex", sizex) || !twin::number(nrhs, prhs, 4, "sizey", sizey)) {
    *status = -1;
    return;
  }
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  if (!camera) {
    mexPrintf("Open BRELKCCD failed.\n");
    *status = -1;
    return;
  }
  mexPrintf("x = %f y = %f sizex = %f sizey = %f\n", x, y, sizex, sizey);
  const uint32_t result =
      SetBRELKCCDResolution(camera, static_cast<uint32_t>(twin::toInt32(x)), static_cast<uint32_t>(twin::toInt32(y)),
                            static_cast<uint32_t>(twin::toInt32(sizex)), static_cast<uint32_t>(twin::toInt32(sizey)));
  if (result == 0) {
    mexPrintf("Set camera ROI successfully***********.\n");
  } else {
    mexPrintf("Set camera ROI failed.\n");
    *status = -1;
  }
}
