/*
 * matrix.h - stand-in for MATLAB's mx array interface (libmx).
 *
 * Names, signatures and class numbers are MATLAB's own, with 64-bit array
 * dimensions (the _730 entry points, selected by macros as MATLAB's header
 * does) and 16-bit mxChar, so module code compiled here compiles unchanged
 * against MATLAB's or Octave's headers.
 */
#ifndef MEXHOST_MATRIX_H
#define MEXHOST_MATRIX_H

#include <stddef.h>
#include <stdbool.h>

#if defined(_WIN32)
#  if defined(MEXHOST_BUILDING_MX)
#    define MEXHOST_MX_API __declspec(dllexport)
#  else
#    define MEXHOST_MX_API __declspec(dllimport)
#  endif
#else
#  define MEXHOST_MX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef size_t mwSize;
typedef size_t mwIndex;
typedef ptrdiff_t mwSignedIndex;

#ifdef __cplusplus
typedef char16_t mxChar;
#else
typedef unsigned short mxChar;
#endif
typedef bool mxLogical;

typedef struct mxArray_tag mxArray;

typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS = 1,
  mxSTRUCT_CLASS = 2,
  mxLOGICAL_CLASS = 3,
  mxCHAR_CLASS = 4,
  mxVOID_CLASS = 5,
  mxDOUBLE_CLASS = 6,
  mxSINGLE_CLASS = 7,
  mxINT8_CLASS = 8,
  mxUINT8_CLASS = 9,
  mxINT16_CLASS = 10,
  mxUINT16_CLASS = 11,
  mxINT32_CLASS = 12,
  mxUINT32_CLASS = 13,
  mxINT64_CLASS = 14,
  mxUINT64_CLASS = 15,
  mxFUNCTION_CLASS = 16,
  mxOPAQUE_CLASS = 17,
  mxOBJECT_CLASS = 18
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

#define mxCreateNumericMatrix mxCreateNumericMatrix_730
#define mxCreateNumericArray mxCreateNumericArray_730
#define mxCreateDoubleMatrix mxCreateDoubleMatrix_730
#define mxCreateCharArray mxCreateCharArray_730
#define mxCreateLogicalMatrix mxCreateLogicalMatrix_730
#define mxCreateCellMatrix mxCreateCellMatrix_730
#define mxCreateSparse mxCreateSparse_730
#define mxCreateStructMatrix mxCreateStructMatrix_730
#define mxGetString mxGetString_730
#define mxGetDimensions mxGetDimensions_730
#define mxGetNumberOfDimensions mxGetNumberOfDimensions_730
#define mxGetCell mxGetCell_730
#define mxSetCell mxSetCell_730

MEXHOST_MX_API mxArray* mxCreateNumericMatrix_730(mwSize m, mwSize n, mxClassID classid,
                                                  mxComplexity flag);
MEXHOST_MX_API mxArray* mxCreateNumericArray_730(mwSize ndim, const mwSize* dims,
                                                 mxClassID classid, mxComplexity flag);
MEXHOST_MX_API mxArray* mxCreateDoubleMatrix_730(mwSize m, mwSize n, mxComplexity flag);
MEXHOST_MX_API mxArray* mxCreateDoubleScalar(double value);
MEXHOST_MX_API mxArray* mxCreateCharArray_730(mwSize ndim, const mwSize* dims);
MEXHOST_MX_API mxArray* mxCreateString(const char* str);
MEXHOST_MX_API mxArray* mxCreateLogicalMatrix_730(mwSize m, mwSize n);
MEXHOST_MX_API mxArray* mxCreateCellMatrix_730(mwSize m, mwSize n);
MEXHOST_MX_API mxArray* mxCreateSparse_730(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag);
/* Fields are not kept: a struct here only has to be an input of its class. */
MEXHOST_MX_API mxArray* mxCreateStructMatrix_730(mwSize m, mwSize n, int nfields, const char** fieldnames);
MEXHOST_MX_API void mxDestroyArray(mxArray* pa);
/* A cell owns its elements and destroys them with it; as in MATLAB, setting
 * an element does not destroy the one it replaces. */
MEXHOST_MX_API void mxSetCell(mxArray* pa, mwIndex i, mxArray* value);
MEXHOST_MX_API mxArray* mxGetCell(const mxArray* pa, mwIndex i);

/* As GNU Octave does, asking for the data of a function handle or an object
 * aborts the host: a module must look at the class first. */
MEXHOST_MX_API void* mxGetData(const mxArray* pa);
MEXHOST_MX_API void* mxGetImagData(const mxArray* pa);
MEXHOST_MX_API double* mxGetPr(const mxArray* pa);
MEXHOST_MX_API mxChar* mxGetChars(const mxArray* pa);
MEXHOST_MX_API mxClassID mxGetClassID(const mxArray* pa);
MEXHOST_MX_API size_t mxGetNumberOfElements(const mxArray* pa);
MEXHOST_MX_API size_t mxGetElementSize(const mxArray* pa);
MEXHOST_MX_API size_t mxGetM(const mxArray* pa);
MEXHOST_MX_API size_t mxGetN(const mxArray* pa);
MEXHOST_MX_API mwSize mxGetNumberOfDimensions_730(const mxArray* pa);
MEXHOST_MX_API const mwSize* mxGetDimensions_730(const mxArray* pa);
MEXHOST_MX_API bool mxIsChar(const mxArray* pa);
MEXHOST_MX_API bool mxIsNumeric(const mxArray* pa);
MEXHOST_MX_API bool mxIsLogical(const mxArray* pa);
MEXHOST_MX_API bool mxIsComplex(const mxArray* pa);
MEXHOST_MX_API bool mxIsSparse(const mxArray* pa);
MEXHOST_MX_API bool mxIsEmpty(const mxArray* pa);
MEXHOST_MX_API int mxGetString_730(const mxArray* pa, char* buf, mwSize buflen);

#ifdef __cplusplus
}
#endif

#endif
