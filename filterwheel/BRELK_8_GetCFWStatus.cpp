// [status, wheelStatus] = BRELK_8_GetCFWStatus(id): the filter wheel's status
// (uint8), the SDK's value truncated toward zero. Values outside 0 to 255 keep
// their low 8 bits, so a failed read (-1) returns 255 with status -1, as does
// a call that ends before the read.
#include "frame.h"

void brelk::run(Call& call) {
  if (!call.open(Guard::FilterWheel, Unread<uint8_t>{255})) return;
  uint8_t* wheelStatus = call.output<uint8_t>(1);
  const int32_t value = toInt32(GetBRELKCCDParam(call.camera(), BRELKCCD_CFW));
  *wheelStatus = static_cast<uint8_t>(value & 0xFF);
  call.minusOneTest(static_cast<uint32_t>(value), "Get CFW status successfully.\n",
                    "Get CFW status failed.\n");
}
