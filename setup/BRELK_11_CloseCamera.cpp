// status = BRELK_11_CloseCamera(id): closes the camera, then releases the SDK.
// A failed close stops before the release.
#include "frame.h"

void brelk::run(Call& call) {
  if (call.open() &&
      call.minusOneTest(CloseBRELKCCD(call.camera()), "Close camera successfully.\n", "Close camera failed.\n"))
    call.minusOneTest(ReleaseBRELKCCDResource(), "Release resource successfully.\n",
                      "Release resource failed.\n");
}
