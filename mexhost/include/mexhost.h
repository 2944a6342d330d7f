/*
 * mexhost.h - what tests ask of the stand-in MEX host beyond MATLAB's API:
 * the text modules printed, and how many arrays are alive.
 */
#ifndef MEXHOST_CONTROL_H
#define MEXHOST_CONTROL_H

#include "mex.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Everything printed through mexPrintf since the last call; clears it. */
MEXHOST_MEX_API size_t mexhost_take_printed(char* buf, size_t buflen);
/* Length of the pending printed text, without its terminating 0. */
MEXHOST_MEX_API size_t mexhost_printed_length(void);
/* Copy printed text to standard output as well (0 off, 1 on). */
MEXHOST_MEX_API void mexhost_echo(int on);

/* Arrays created and not yet destroyed. */
MEXHOST_MX_API size_t mexhost_live_arrays(void);

/* Inputs MATLAB passes but no MEX API creates: a function handle such as
 * @sin (mxFUNCTION_CLASS), and an object of a class defined in MATLAB code,
 * which GNU Octave reports as mxUNKNOWN_CLASS and MATLAB as mxOBJECT_CLASS.
 * Both are 1x1 and hold no data a module may ask for. */
MEXHOST_MX_API mxArray* mexhost_create_function_handle(void);
MEXHOST_MX_API mxArray* mexhost_create_object(mxClassID classid);

#ifdef __cplusplus
}

#include <string>

namespace mexhost {
// Everything printed since the last take, as one string; clears it.
inline std::string takePrinted() {
  std::string text(mexhost_printed_length() + 1, '\0');
  text.resize(mexhost_take_printed(&text[0], text.size()));
  return text;
}
}  // namespace mexhost
#endif

#endif
