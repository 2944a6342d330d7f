// status = BRELK_8_SetCFWTarget(id, target): moves the filter wheel to
// `target`, read as a signed 8-bit value: the first byte of a uint8, int8 or
// char array (uint8 200 is -56, '3' is 51), or the first value of any other
// number class truncated and wrapped to 8 bits (double 3 is 3). Returns at
// once; it does not wait for the wheel to arrive.
#include "frame.h"

void brelk::run(Call& call) {
  const int8_t target = call.byte(1, "target position");
  if (!call.open(Guard::FilterWheel)) return;
  call.minusOneTest(SetBRELKCCDParam(call.camera(), BRELKCCD_CFW, target),
                    "Set CFW target position successfully.\n", "Set CFW target position failed.\n");
}
