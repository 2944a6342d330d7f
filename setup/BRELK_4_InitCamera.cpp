// status = BRELK_4_InitCamera(id): initialises the camera's parameters.
#include "frame.h"

void brelk::run(Call& call) {
  handleCall(call, InitBRELKCCD, Test::Zero, "Init camera's parameters successfully.\n",
             "Init camera's parameters failed.\n");
}
