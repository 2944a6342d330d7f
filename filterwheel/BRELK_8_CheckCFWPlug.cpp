// status = BRELK_8_CheckCFWPlug(id): 0 when a filter wheel is connected to
// the camera, -1 when none is or the camera cannot drive one.
#include "frame.h"

void brelk::run(Call& call) {
  if (call.open(Guard::FilterWheel))
    call.minusOneTest(IsBRELKCCDCFWPlugged(call.camera()), "CFW is connected to camera.\n",
                      "No CFW is connected to camera.\n");
}
