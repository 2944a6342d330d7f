// [status, pattern] = BRELK_7_GetDebayer(id): a colour camera's Bayer pattern
// as a 4x1 uint8 column of letters (e.g. 'RGGB'); all zeros with status -1
// when the SDK fails or answers an unknown pattern code.
#include <cstring>

#include "frame.h"

namespace {
// By the SDK's pattern code, 1 to 4.
const char* const kPatterns[] = {"GBRG", "GRBG", "BGGR", "RGGB"};
}  // namespace

void brelk::run(Call& call) {
  if (!call.open(Guard::ColorCamera, Unread<uint8_t, 4>{0})) return;
  uint8_t* pattern = call.output<uint8_t, 4>(1);
  const uint32_t code = IsBRELKCCDControlAvailable(call.camera(), BRELKCCD_COLOR_PATTERN);
  if (isMinusOne(code)) return call.fail("Get debayer format failed.\n");
  if (code < 1 || code > 4) return call.fail("Debayer format error.\n");
  const char* letters = kPatterns[code - 1];
  std::memcpy(pattern, letters, 4);
  call.succeed("Get debayer format successfully.%s\n", letters);
}
