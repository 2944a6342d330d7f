// The gateway frame: entry points, inputs, status, open, guard, result tests.
#include "frame.h"

#include <cstring>

#if defined(_WIN32)
#  define BRELK_EXPORT __declspec(dllexport)
#else
#  define BRELK_EXPORT __attribute__((visibility("default")))
#endif

namespace brelk {

namespace {

struct GuardEntry {
  uint32_t control;
  const char* missing;
};

GuardEntry guardOf(Guard guard) noexcept {
  switch (guard) {
    case Guard::FilterWheel: return {BRELKCCD_CFW, "Camera don't support CFW control function.\n"};
    case Guard::ColorCamera: return {BRELKCCD_COLOR_CAMERA, "Camera don't support color function.\n"};
    case Guard::Humidity: return {BRELKCCD_HUMIDITY, "Camera don't support humidity function.\n"};
    case Guard::Pressure: return {BRELKCCD_PRESSURE, "Camera don't support pressure function.\n"};
    case Guard::None: break;
  }
  return {0, nullptr};
}

// Whether an array's class holds plain numbers (logicals included), the
// only ones whose data is read for a number. Octave aborts when asked for
// the data of a function handle or an object, so the class comes first.
bool holdsNumbers(mxClassID id) noexcept {
  return (id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS) || id == mxLOGICAL_CLASS;
}

// The first element of a real, non-empty, non-sparse number array as a
// double; false for any other input.
bool firstNumber(const mxArray* a, double& value) noexcept {
  const mxClassID id = mxGetClassID(a);
  if (!holdsNumbers(id) || mxIsComplex(a) || mxIsSparse(a) || mxGetNumberOfElements(a) == 0) return false;
  const void* data = mxGetData(a);
  if (!data) return false;
  switch (id) {
    case mxDOUBLE_CLASS: value = *static_cast<const double*>(data); return true;
    case mxSINGLE_CLASS: value = *static_cast<const float*>(data); return true;
    case mxINT8_CLASS: value = *static_cast<const int8_t*>(data); return true;
    case mxUINT8_CLASS: value = *static_cast<const uint8_t*>(data); return true;
    case mxINT16_CLASS: value = *static_cast<const int16_t*>(data); return true;
    case mxUINT16_CLASS: value = *static_cast<const uint16_t*>(data); return true;
    case mxINT32_CLASS: value = *static_cast<const int32_t*>(data); return true;
    case mxUINT32_CLASS: value = *static_cast<const uint32_t*>(data); return true;
    case mxINT64_CLASS: value = static_cast<double>(*static_cast<const int64_t*>(data)); return true;
    case mxUINT64_CLASS: value = static_cast<double>(*static_cast<const uint64_t*>(data)); return true;
    default: value = *static_cast<const mxLogical*>(data) ? 1.0 : 0.0; return true;
  }
}

// `size` bytes for an ID copy: `room` when they fit, else `spill` (which
// may throw bad_alloc).
char* idStorage(size_t size, char* room, size_t roomSize, std::string& spill) {
  if (size <= roomSize) return room;
  spill.assign(size, '\0');
  return &spill[0];
}

// The camera ID: the text of a char array, or the bytes of an int8/uint8
// array up to its first 0 or its end. Never read past the array. Bytes that
// hold a 0 are used in place; anything else is copied. Null for no ID.
const char* readId(const mxArray* a, char* room, size_t roomSize, std::string& spill) {
  const mxClassID classId = mxGetClassID(a);
  if (classId != mxCHAR_CLASS && classId != mxINT8_CLASS && classId != mxUINT8_CLASS) return nullptr;
  const size_t n = mxGetNumberOfElements(a);
  if (n == 0 || mxIsComplex(a) || mxIsSparse(a)) return nullptr;
  const char* id = nullptr;
  if (classId == mxCHAR_CLASS) {
    const size_t size = n * 3 + 1;  // room for any character in UTF-8
    char* text = idStorage(size, room, roomSize, spill);
    if (mxGetString(a, text, static_cast<mwSize>(size)) != 0) return nullptr;
    id = text;
  } else {
    const char* bytes = static_cast<const char*>(mxGetData(a));
    if (!bytes) return nullptr;
    if (std::memchr(bytes, 0, n)) {
      id = bytes;
    } else {
      char* text = idStorage(n + 1, room, roomSize, spill);
      std::memcpy(text, bytes, n);
      text[n] = '\0';
      id = text;
    }
  }
  return id[0] != '\0' ? id : nullptr;
}

}  // namespace

int32_t toInt32(double value) noexcept {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

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

const mxArray* Call::input(int index, const char* name) noexcept {
  if (refused_) return nullptr;
  if (index >= nrhs_ || !prhs_ || !prhs_[index]) {
    refuse("Missing", name);
    return nullptr;
  }
  return prhs_[index];
}

void Call::refuse(const char* what, const char* name) noexcept {
  print("%s %s.\n", what, name);
  *status_ = -1;
  refused_ = true;
}

double Call::number(int index, const char* name) noexcept {
  const mxArray* a = input(index, name);
  double value = 0.0;
  if (a && !firstNumber(a, value)) refuse("Invalid", name);
  return value;
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

bool Call::openCamera(Guard guard) noexcept {
  if (refused_) return false;
  camera_ = OpenBRELKCCD(id_);
  if (!camera_) {
    fail("Open BRELKCCD failed.\n");
    return false;
  }
  const GuardEntry g = guardOf(guard);
  if (g.missing && isMinusOne(IsBRELKCCDControlAvailable(camera_, g.control))) {
    fail(g.missing);
    return false;
  }
  return true;
}

void* Call::createOutput(int slot, mwSize rows, mxClassID id) noexcept {
  if (slot < 1 || slot >= kMaxSlots) return local_[0];  // no function has such a slot
  if (slot < outputs_) {
    plhs_[slot] = mxCreateNumericMatrix(rows, 1, id, mxREAL);
    if (void* data = mxGetData(plhs_[slot])) return data;
  }
  return local_[slot];
}

// A fixed line is its own format unless it holds a '%': printed so, it
// spares the host a conversion on every call.
void Call::say(const char* line) const noexcept {
  if (std::strchr(line, '%')) {
    mexPrintf("%s", line);
    return;
  }
#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wformat-security"
#  pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
  mexPrintf(line);
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif
}

void Call::succeed(const char* line) noexcept {
  say(line);
  *status_ = 0;
}

void Call::fail(const char* line) noexcept {
  say(line);
  *status_ = -1;
}

bool Call::zeroTest(uint32_t result, const char* ok, const char* failed) noexcept {
  isZero(result) ? succeed(ok) : fail(failed);
  return isZero(result);
}

bool Call::minusOneTest(uint32_t result, const char* ok, const char* failed) noexcept {
  isMinusOne(result) ? fail(failed) : succeed(ok);
  return !isMinusOne(result);
}

void setParam(Call& call, uint32_t control, double value, const char* ok, const char* failed) noexcept {
  if (call.open()) call.zeroTest(SetBRELKCCDParam(call.camera(), control, value), ok, failed);
}

void getParam(Call& call, Guard guard, uint32_t control, const char* format) noexcept {
  if (!call.open(guard, Unread<double>{kNoReading})) return;
  double* value = call.output<double>(1);
  *value = GetBRELKCCDParam(call.camera(), control);
  call.succeed(format, *value);
}

void getArea(Call& call, AreaOperation operation, const char* ok, const char* failed) noexcept {
  const Unread<uint32_t> none{0};
  if (!call.open(Guard::None, none, none, none, none)) return;
  uint32_t* startX = call.output<uint32_t>(1);
  uint32_t* startY = call.output<uint32_t>(2);
  uint32_t* sizeX = call.output<uint32_t>(3);
  uint32_t* sizeY = call.output<uint32_t>(4);
  call.minusOneTest(operation(call.camera(), startX, startY, sizeX, sizeY), ok, failed);
}

void handleCall(Call& call, uint32_t (*operation)(BrelkCcdHandle*), Test test, const char* ok,
                const char* failed) noexcept {
  if (!call.open()) return;
  const uint32_t result = operation(call.camera());
  test == Test::Zero ? call.zeroTest(result, ok, failed) : call.minusOneTest(result, ok, failed);
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
