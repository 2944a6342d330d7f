// [status, slots] = BRELK_8_GetCFWSlotsNum(id): the filter wheel's number of
// slots (int32), the SDK's value truncated toward zero; a failed read, or a
// call that ends before it, returns -1 there.
#include "frame.h"

void brelk::run(Call& call) {
  if (!call.open(Guard::FilterWheel, Unread<int32_t>{-1})) return;
  int32_t* slots = call.output<int32_t>(1);
  *slots = toInt32(GetBRELKCCDParam(call.camera(), BRELKCCD_CFW_SLOTS));
  call.minusOneTest(static_cast<uint32_t>(*slots), "Get CFW slots number successfully.\n",
                    "Get CFW slots number failed.\n");
}
