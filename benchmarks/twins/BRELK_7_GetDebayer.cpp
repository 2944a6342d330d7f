// Twin of BRELK_7_GetDebayer, written by hand against the MEX API.
#include "twin.h"

namespace {
// The pattern asked for, as a call that never read it returns it: four
// zeros (the host's own).
void unread(mxArray* plhs[], int nlhs) {
  if (nlhs > 1) plhs[1] = mxCreateNumericMatrix(4, 1, mxUINT8_CLASS, mxREAL);
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
  if (IsBRELKCCDControlAvailable(camera, BRELKCCD_COLOR_CAMERA) == BRELKCCD_ERROR) {
    mexPrintf("Camera don't support color function.\n");
    *status = -1;
    return unread(plhs, nlhs);
  }
  uint8_t local[4];
  uint8_t* pattern = nlhs > 1 ? twin::create<uint8_t>(plhs, 1, 4, mxUINT8_CLASS) : local;
  const uint32_t code = IsBRELKCCDControlAvailable(camera, BRELKCCD_COLOR_PATTERN);
  switch (code) {
    case 1:
      std::memcpy(pattern, "GBRG", 4);
      mexPrintf("Get debayer format successfully.GBRG\n");
      return;
    case 2:
      std::memcpy(pattern, "GRBG", 4);
      mexPrintf("Get debayer format successfully.GRBG\n");
      return;
    case 3:
      std::memcpy(pattern, "BGGR", 4);
      mexPrintf("Get debayer format successfully.BGGR\n");
      return;
    case 4:
      std::memcpy(pattern, "RGGB", 4);
      mexPrintf("Get debayer format successfully.RGGB\n");
      return;
    case BRELKCCD_ERROR:
      mexPrintf("Get debayer format failed.\n");
      break;
    default:
      mexPrintf("Debayer format error.\n");
      break;
  }
  *status = -1;
}
