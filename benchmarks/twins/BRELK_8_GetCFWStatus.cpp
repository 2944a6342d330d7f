// Twin of BRELK_8_GetCFWStatus, written by hand against the MEX API. Called
// with an ID that does not open, it is also the twin of the open failure.
#include "twin.h"

namespace {
// The wheel status asked for, as a call that never read it returns it: 255.
void unread(mxArray* plhs[], int nlhs) {
  if (nlhs > 1) *twin::create<uint8_t>(plhs, 1, 1, mxUINT8_CLASS) = 255;
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
  if (IsBRELKCCDControlAvailable(camera, BRELKCCD_CFW) == BRELKCCD_ERROR) {
    mexPrintf("Camera don't support CFW control function.\n");
    *status = -1;
    return unread(plhs, nlhs);
  }
  uint8_t local;
  uint8_t* wheelStatus = nlhs > 1 ? twin::create<uint8_t>(plhs, 1, 1, mxUINT8_CLASS) : &local;
  const int32_t value = twin::toInt32(GetBRELKCCDParam(camera, BRELKCCD_CFW));
  *wheelStatus = static_cast<uint8_t>(value & 0xFF);
  if (value == -1) {
    mexPrintf("Get CFW status failed.\n");
    *status = -1;
  } else {
    mexPrintf("Get CFW status successfully.\n");
  }
}
