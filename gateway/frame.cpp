// The gateway frame: the entry points, the camera ID, and what runs only
// when an input is refused. The steps of a call are inline in frame.h.
#include "frame.h"

#if defined(_WIN32)
#  define BRELK_EXPORT __declspec(dllexport)
#else
#  define BRELK_EXPORT __attribute__((visibility("default")))
#endif

namespace brelk {

namespace {

// `size` bytes for an ID copy: `room` when they fit, else `spill` (which
// may throw bad_alloc).
char* idStorage(size_t size, char* room, size_t roomSize, std::unique_ptr<char[]>& spill) {
  if (size <= roomSize) return room;
  spill.reset(new char[size]);
  return spill.get();
}

// The camera ID: the text of a char array, or the bytes of an int8/uint8
// array up to its first 0 or its end. Never read past the array. Bytes that
// hold a 0 are used in place; anything else is copied. Null for no ID. No
// host makes a char array complex or sparse, nor an 8-bit integer one sparse.
const char* readId(const mxArray* a, char* room, size_t roomSize, std::unique_ptr<char[]>& spill) {
  const mxClassID classId = mxGetClassID(a);
  const char* id = nullptr;
  if (classId == mxCHAR_CLASS) {
    const size_t n = mxGetNumberOfElements(a);
    if (n == 0) return nullptr;
    const size_t size = n * 3 + 1;  // room for any character in UTF-8
    char* text = idStorage(size, room, roomSize, spill);
    if (mxGetString(a, text, static_cast<mwSize>(size)) != 0) return nullptr;
    id = text;
  } else if (classId == mxINT8_CLASS || classId == mxUINT8_CLASS) {
    const size_t n = mxGetNumberOfElements(a);
    if (n == 0 || mxIsComplex(a)) return nullptr;
    const char* bytes = static_cast<const char*>(mxGetData(a));
    if (std::memchr(bytes, 0, n)) {
      id = bytes;
    } else {
      char* text = idStorage(n + 1, room, roomSize, spill);
      std::memcpy(text, bytes, n);
      text[n] = '\0';
      id = text;
    }
  } else {
    return nullptr;
  }
  return id[0] != '\0' ? id : nullptr;
}

}  // namespace

Call::Call(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[])
    : outputs_(nlhs > 1 ? nlhs : 1), plhs_(plhs), nrhs_(nrhs), prhs_(prhs) {
  plhs_[0] = mxCreateNumericMatrix(1, 1, mxINT32_CLASS, mxREAL);
  status_ = static_cast<int32_t*>(mxGetData(plhs_[0]));
  if (const mxArray* a = input(0, "camera ID")) {
    if (const char* id = readId(a, idCopy_, sizeof idCopy_, idLong_)) {
      id_ = id;
    } else {
      refuse("Invalid", "camera ID");
    }
  }
}

void Call::refuse(const char* what, const char* name) noexcept {
  print("%s %s.\n", what, name);
  *status_ = -1;
  refused_ = true;
}

// The first byte of an 8-bit array (uint8, int8, or the low byte of a
// char's code); for any other number class, the first value truncated and
// wrapped to signed 8 bits, so that a double 3 is 3 and not its first byte.
int8_t Call::byte(int index, const char* name) noexcept {
  const mxArray* a = input(index, name);
  if (!a) return 0;
  const mxClassID id = mxGetClassID(a);
  const bool eightBit = id == mxINT8_CLASS || id == mxUINT8_CLASS || id == mxCHAR_CLASS;
  if (eightBit && mxGetNumberOfElements(a) > 0 && !mxIsComplex(a) && !mxIsSparse(a)) {
    if (id == mxCHAR_CLASS) return static_cast<int8_t>(static_cast<unsigned>(mxGetChars(a)[0]) & 0xFF);
    return *static_cast<const int8_t*>(mxGetData(a));
  }
  double value = 0.0;
  if (eightBit || !firstNumber(a, value)) {
    refuse("Invalid", name);
    return 0;
  }
  return static_cast<int8_t>(lowByte(value));
}

}  // namespace brelk

extern "C" BRELK_EXPORT void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  try {
    // Run even when the ID was refused: open() then fails without calling
    // the SDK and assigns the outputs the caller asked for.
    brelk::Call call(nlhs, plhs, nrhs, prhs);
    brelk::run(call);
  } catch (...) {
    // Only a long ID's copy allocates; a script must not see an exception.
    mexPrintf("%s", "Out of memory.\n");
    if (plhs[0]) *static_cast<int32_t*>(mxGetData(plhs[0])) = -1;
  }
}

// MATLAB's own mex command adds this function to every MEX file it builds;
// builds through it define BRELK_HOST_ADDS_API_VERSION.
#ifndef BRELK_HOST_ADDS_API_VERSION
extern "C" BRELK_EXPORT void mexfilerequiredapiversion(unsigned int* builtByRelease,
                                                       unsigned int* targetApiVersion) {
  *builtByRelease = 0x0002020B;
  *targetApiVersion = 0x07300000;
}
#endif
