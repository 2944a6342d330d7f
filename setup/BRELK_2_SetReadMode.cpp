// status = BRELK_2_SetReadMode(id, readMode): chooses the camera's read mode.
// The one function that echoes the camera ID, before opening.
#include "frame.h"

void brelk::run(Call& call) {
  const double readMode = call.number(1, "readMode");
  if (!call.refused()) call.print("id = %s\n", call.id());
  if (!call.open()) return;
  call.print("readMode = %f\n", readMode);
  call.zeroTest(SetBRELKCCDReadMode(call.camera(), toUint32(readMode)),
                "Setup read mode successfully.\n", "Setup read mode failed.\n");
}
