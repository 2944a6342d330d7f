// status = BRELK_6_SetDDR(id, value): sets the camera's DDR (control 48); the value is
// echoed once the camera is open.
#include "frame.h"

void brelk::run(Call& call) {
  const double value = call.number(1, "value");
  if (!call.open()) return;
  call.print("DDR value = %f\n", value);
  call.zeroTest(SetBRELKCCDParam(call.camera(), BRELKCCD_DDR, value), "Set camera DDR successfully.\n",
                "Set camera DDR failed.\n");
}
