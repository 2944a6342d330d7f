// Twin of BRELK_7_GetChipInfo, written by hand against the MEX API.
#include <cmath>

#include "twin.h"

namespace {
const mxClassID kClasses[] = {mxDOUBLE_CLASS, mxDOUBLE_CLASS, mxUINT32_CLASS,
                              mxUINT32_CLASS, mxDOUBLE_CLASS, mxDOUBLE_CLASS};

// The outputs asked for, as a call that never read the chip returns them:
// NaN sizes and zero pixel counts (the host's own zeros).
void unread(mxArray* plhs[], int outputs) {
  for (int slot = 1; slot < outputs && slot <= 6; ++slot) {
    plhs[slot] = mxCreateNumericMatrix(1, 1, kClasses[slot - 1], mxREAL);
    if (kClasses[slot - 1] == mxDOUBLE_CLASS) *static_cast<double*>(mxGetData(plhs[slot])) = NAN;
  }
}
}  // namespace

TWIN_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  const int outputs = nlhs > 1 ? nlhs : 1;
  plhs[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  int32_t* status = static_cast<int32_t*>(mxGetData(plhs[0]));
  twin::IdRoom room;
  const char* id = twin::cameraId(nrhs, prhs, room);
  if (!id) {
    *status = -1;
    return unread(plhs, outputs);
  }
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  if (!camera) {
    mexPrintf("Open BRELKCCD failed.\n");
    *status = -1;
    return unread(plhs, outputs);
  }
  // Outputs not asked for are written here, as the SDK writes all seven.
  double sizes[4];
  uint32_t pixels[2], bitsPerPixel;
  double* chipWidth = outputs > 1 ? twin::create<double>(plhs, 1, 1, mxDOUBLE_CLASS) : &sizes[0];
  double* chipHeight = outputs > 2 ? twin::create<double>(plhs, 2, 1, mxDOUBLE_CLASS) : &sizes[1];
  uint32_t* imageWidth = outputs > 3 ? twin::create<uint32_t>(plhs, 3, 1, mxUINT32_CLASS) : &pixels[0];
  uint32_t* imageHeight = outputs > 4 ? twin::create<uint32_t>(plhs, 4, 1, mxUINT32_CLASS) : &pixels[1];
  double* pixelWidth = outputs > 5 ? twin::create<double>(plhs, 5, 1, mxDOUBLE_CLASS) : &sizes[2];
  double* pixelHeight = outputs > 6 ? twin::create<double>(plhs, 6, 1, mxDOUBLE_CLASS) : &sizes[3];
  if (GetBRELKCCDChipInfo(camera, chipWidth, chipHeight, imageWidth, imageHeight, pixelWidth, pixelHeight,
                          &bitsPerPixel) == BRELKCCD_ERROR) {
    mexPrintf("Get camera chip info failed.\n");
    *status = -1;
  } else {
    mexPrintf("Get camera chip info successfully.\n");
  }
}
