// [status, chipWidth, chipHeight, imageWidth, imageHeight, pixelWidth,
//  pixelHeight] = BRELK_7_GetChipInfo(id): the chip's size (double), its image
// size in pixels (uint32) and its pixel size (double), as the SDK wrote them.
// The SDK's bits per pixel is not returned. A failed read still returns the
// six outputs, zero where the SDK wrote nothing; a call that ends before the
// read returns NaN sizes and zero pixel counts.
#include "frame.h"

void brelk::run(Call& call) {
  const Unread<double> noSize{kNoReading};
  const Unread<uint32_t> noPixels{0};
  if (!call.open(Guard::None, noSize, noSize, noPixels, noPixels, noSize, noSize)) return;
  double* chipWidth = call.output<double>(1);
  double* chipHeight = call.output<double>(2);
  uint32_t* imageWidth = call.output<uint32_t>(3);
  uint32_t* imageHeight = call.output<uint32_t>(4);
  double* pixelWidth = call.output<double>(5);
  double* pixelHeight = call.output<double>(6);
  uint32_t bitsPerPixel = 0;
  call.minusOneTest(GetBRELKCCDChipInfo(call.camera(), chipWidth, chipHeight, imageWidth, imageHeight,
                                        pixelWidth, pixelHeight, &bitsPerPixel),
                    "Get camera chip info successfully.\n", "Get camera chip info failed.\n");
}
