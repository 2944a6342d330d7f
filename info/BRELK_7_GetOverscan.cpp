// [status, startX, startY, sizeX, sizeY] = BRELK_7_GetOverscan(id): the
// sensor's overscan area, uint32 each. A failed read still returns the four
// outputs, zero where the SDK wrote nothing.
#include "frame.h"

void brelk::run(Call& call) {
  getArea(call, GetBRELKCCDOverScanArea, "Get camera overscan area successfully.\n",
          "Get camera overscan area failed.\n");
}
