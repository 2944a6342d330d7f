// status = BRELK_3_SetStreamMode(id, streamMode): chooses the stream mode; the
// SDK takes the low 8 bits of the truncated value.
#include "frame.h"

void brelk::run(Call& call) {
  const double streamMode = call.number(1, "streamMode");
  if (!call.open()) return;
  call.print("streamMode = %f\n", streamMode);
  call.zeroTest(SetBRELKCCDStreamMode(call.camera(), lowByte(streamMode)),
                "Setup stream mode successfully.\n", "Setup stream mode failed.\n");
}
