// [status, pattern] = BRELK_7_GetDebayer(id): a colour camera's Bayer pattern
// as a 4x1 uint8 column of letters (e.g. 'RGGB'); all zeros with status -1
// when the SDK fails or answers an unknown pattern code.
#include <cstring>

#include "frame.h"

namespace {
// The pattern found: its letters returned, and shown at the end of the line.
void found(brelk::Call& call, uint8_t* pattern, const char (&letters)[5], const char* line) {
  std::memcpy(pattern, letters, 4);
  call.succeed(line);
}
}  // namespace

void brelk::run(Call& call) {
  if (!call.open(Guard::ColorCamera, Unread<uint8_t, 4>{0})) return;
  uint8_t* pattern = call.output<uint8_t, 4>(1);
  const uint32_t code = IsBRELKCCDControlAvailable(call.camera(), BRELKCCD_COLOR_PATTERN);
  if (isMinusOne(code)) return call.fail("Get debayer format failed.\n");
  switch (code) {  // the SDK's pattern code
    case 1: return found(call, pattern, "GBRG", "Get debayer format successfully.GBRG\n");
    case 2: return found(call, pattern, "GRBG", "Get debayer format successfully.GRBG\n");
    case 3: return found(call, pattern, "BGGR", "Get debayer format successfully.BGGR\n");
    case 4: return found(call, pattern, "RGGB", "Get debayer format successfully.RGGB\n");
    default: return call.fail("Debayer format error.\n");
  }
}
