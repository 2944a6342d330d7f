/*
 * mex.h - stand-in for MATLAB's MEX interface (libmex), on top of matrix.h.
 */
#ifndef MEXHOST_MEX_H
#define MEXHOST_MEX_H

#include "matrix.h"

#if defined(_WIN32)
#  if defined(MEXHOST_BUILDING_MEX)
#    define MEXHOST_MEX_API __declspec(dllexport)
#  else
#    define MEXHOST_MEX_API __declspec(dllimport)
#  endif
#else
#  define MEXHOST_MEX_API __attribute__((visibility("default")))
#endif

#if defined(__GNUC__)
#  define MEXHOST_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#  define MEXHOST_PRINTF_FORMAT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The gateway every MEX file defines. */
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

MEXHOST_MEX_API int mexPrintf(const char* format, ...) MEXHOST_PRINTF_FORMAT;
MEXHOST_MEX_API void mexErrMsgTxt(const char* message);
MEXHOST_MEX_API void mexErrMsgIdAndTxt(const char* id, const char* format, ...);
MEXHOST_MEX_API void mexWarnMsgTxt(const char* message);

#ifdef __cplusplus
}
#endif

#endif
