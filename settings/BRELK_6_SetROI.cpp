// status = BRELK_6_SetROI(id, x, y, sizex, sizey): sets the region of interest. The echo shows
// the numbers as given; the SDK gets them truncated toward zero.
#include "frame.h"

void brelk::run(Call& call) {
  const double x = call.number(1, "x");
  const double y = call.number(2, "y");
  const double sizex = call.number(3, "sizex");
  const double sizey = call.number(4, "sizey");
  if (!call.open()) return;
  call.print("x = %f y = %f sizex = %f sizey = %f\n", x, y, sizex, sizey);
  const uint32_t result =
      SetBRELKCCDResolution(call.camera(), toUint32(x), toUint32(y), toUint32(sizex), toUint32(sizey));
  call.zeroTest(result, "Set camera ROI successfully***********.\n", "Set camera ROI failed.\n");
}
