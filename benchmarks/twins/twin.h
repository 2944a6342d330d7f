// What the hand-written twins share: reading the camera ID and a number as
// the toolbox's functions do, written straight against the MEX API and
// inlined into each twin. A twin is one toolbox function written by hand
// without the gateway frame, as tight as it can be while it still prints,
// returns and calls in the SDK exactly what its module does (the twin check
// holds it to that). The benchmark measures each module against its twin.
#ifndef BRELK_TWIN_H
#define BRELK_TWIN_H

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "brelkccd.h"
#include "mex.h"

#define TWIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace twin {

// Room for the camera ID's 8-bit text: in the call up to 256 bytes, else on
// the heap, freed when the call ends.
class IdRoom {
 public:
  IdRoom() = default;
  IdRoom(const IdRoom&) = delete;
  IdRoom& operator=(const IdRoom&) = delete;
  ~IdRoom() { std::free(heap_); }
  char* get(size_t size) {
    if (size <= sizeof small_) return small_;
    heap_ = static_cast<char*>(std::malloc(size));
    return heap_;
  }

 private:
  char small_[256];
  char* heap_ = nullptr;
};

// The camera ID in input 0: a char array's text, or an int8/uint8 array's
// bytes up to the first 0 (used in place) or the end (copied). Prints the
// refusal and gives null when there is none. Char arrays are never complex
// or sparse, nor are 8-bit integer arrays sparse.
inline const char* cameraId(int nrhs, const mxArray* prhs[], IdRoom& room) {
  if (nrhs < 1 || !prhs[0]) {
    mexPrintf("Missing camera ID.\n");
    return nullptr;
  }
  const mxArray* a = prhs[0];
  const mxClassID id = mxGetClassID(a);
  const char* text = nullptr;
  if (id == mxCHAR_CLASS) {
    const size_t n = mxGetNumberOfElements(a);
    if (n > 0) {
      const size_t size = n * 3 + 1;  // any character fits in 3 bytes of UTF-8
      char* buffer = room.get(size);
      if (!buffer) {
        mexPrintf("Out of memory.\n");
        return nullptr;
      }
      if (mxGetString(a, buffer, static_cast<mwSize>(size)) == 0) text = buffer;
    }
  } else if (id == mxINT8_CLASS || id == mxUINT8_CLASS) {
    const size_t n = mxGetNumberOfElements(a);
    if (n > 0 && !mxIsComplex(a)) {
      const char* bytes = static_cast<const char*>(mxGetData(a));
      if (std::memchr(bytes, 0, n)) {
        text = bytes;
      } else {
        char* buffer = room.get(n + 1);
        if (!buffer) {
          mexPrintf("Out of memory.\n");
          return nullptr;
        }
        std::memcpy(buffer, bytes, n);
        buffer[n] = '\0';
        text = buffer;
      }
    }
  }
  if (!text || !text[0]) {
    mexPrintf("Invalid camera ID.\n");
    return nullptr;
  }
  return text;
}

// Input `index` as a double: the first element of a real, non-empty,
// non-sparse numeric or logical array. Prints the refusal and gives false
// when there is none. The class comes first: a host aborts when asked for
// the data of a function handle or an object.
inline bool number(int nrhs, const mxArray* prhs[], int index, const char* name, double& value) {
  if (index >= nrhs || !prhs[index]) {
    mexPrintf("Missing %s.\n", name);
    return false;
  }
  const mxArray* a = prhs[index];
  const mxClassID id = mxGetClassID(a);
  const bool numbers = (id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS) || id == mxLOGICAL_CLASS;
  if (!numbers || mxIsComplex(a) || mxIsSparse(a) || mxGetNumberOfElements(a) == 0) {
    mexPrintf("Invalid %s.\n", name);
    return false;
  }
  const void* data = mxGetData(a);
  switch (id) {
    case mxDOUBLE_CLASS: value = *static_cast<const double*>(data); break;
    case mxSINGLE_CLASS: value = *static_cast<const float*>(data); break;
    case mxINT8_CLASS: value = *static_cast<const int8_t*>(data); break;
    case mxUINT8_CLASS: value = *static_cast<const uint8_t*>(data); break;
    case mxINT16_CLASS: value = *static_cast<const int16_t*>(data); break;
    case mxUINT16_CLASS: value = *static_cast<const uint16_t*>(data); break;
    case mxINT32_CLASS: value = *static_cast<const int32_t*>(data); break;
    case mxUINT32_CLASS: value = *static_cast<const uint32_t*>(data); break;
    case mxINT64_CLASS: value = static_cast<double>(*static_cast<const int64_t*>(data)); break;
    case mxUINT64_CLASS: value = static_cast<double>(*static_cast<const uint64_t*>(data)); break;
    default: value = *static_cast<const mxLogical*>(data) ? 1.0 : 0.0; break;
  }
  return true;
}

// Truncated toward zero; NaN and values beyond the signed 32-bit range give
// INT32_MIN.
inline int32_t toInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// A new real Rows x 1 array in `slot`, its (zero-filled) data.
template <class T>
T* create(mxArray* plhs[], int slot, mwSize rows, mxClassID id) {
  plhs[slot] = mxCreateNumericMatrix(rows, 1, id, mxREAL);
  return static_cast<T*>(mxGetData(plhs[slot]));
}

}  // namespace twin

// The interface version every MEX file built outside MATLAB's mex reports.
TWIN_EXPORT void mexfilerequiredapiversion(unsigned int* builtByRelease, unsigned int* targetApiVersion) {
  *builtByRelease = 0x0002020B;
  *targetApiVersion = 0x07300000;
}

#endif
