// mexbaseline: the least a MEX function can do and still answer a script the
// way a toolbox function does: create the 1x1 int32 status, store 0, print
// one line. Built and linked as a module is (same host, flags, SDK library),
// so that a module's cost over it is what the toolbox and its SDK add.
// Asked for more outputs, it creates a 1x1 double in each: what outputs
// alone cost the host.
#include <cstdint>

#include "mex.h"

#if defined(_WIN32)
#  define BASELINE_EXPORT __declspec(dllexport)
#else
#  define BASELINE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" BASELINE_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int, const mxArray*[]) {
  plhs[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  *static_cast<int32_t*>(mxGetData(plhs[0])) = 0;
  for (int i = 1; i < nlhs; ++i) plhs[i] = mxCreateNumericMatrix(1, 1, mxDOUBLE_CLASS, mxREAL);
  mexPrintf("Baseline call done successfully.\n");
}

extern "C" BASELINE_EXPORT void mexfilerequiredapiversion(unsigned int* builtByRelease,
                                                          unsigned int* targetApiVersion) {
  *builtByRelease = 0x0002020B;
  *targetApiVersion = 0x07300000;
}
