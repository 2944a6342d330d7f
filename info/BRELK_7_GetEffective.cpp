// [status, startX, startY, sizeX, sizeY] = BRELK_7_GetEffective(id): the
// sensor's effective (image-bearing) area, uint32 each. A failed read still
// returns the four outputs, zero where the SDK wrote nothing.
#include "frame.h"

void brelk::run(Call& call) {
  getArea(call, GetBRELKCCDEffectiveArea, "Get camera effective area successfully.\n",
          "Get camera effective area failed.\n");
}
