// frame.h - the gateway frame every module is built on.
//
// A module defines brelk::run(Call&) and nothing else. The frame has by then
// created the status output (slot 0) and read the camera ID; run() reads the
// further inputs, opens the camera, makes its SDK call and reports it:
//
//   void brelk::run(Call& call) {
//     const double value = call.number(1, "value");
//     setParam(call, BRELKCCD_GAIN, value, "Set camera gain successfully.\n",
//              "Set camera gain failed.\n");
//   }
//
// Every step stores status -1 and prints its one line when it fails, so a
// module only has to stop at the first false. A refused input prints one
// line naming it and makes open() fail without calling the SDK.
//
// A module that returns values names them to open() by what they hold when
// the call ends before the SDK gave them (a refused input, a failed open or
// guard), so every output the caller asked for is assigned on every path:
//
//   if (!call.open(Guard::FilterWheel, Unread<int32_t>{-1})) return;
//   int32_t* slots = call.output<int32_t>(1);
//
// The steps of a call are defined inline below, so that each module
// compiles to one straight function, as if written by hand against the MEX
// API; what runs only on a refusal or an exception stays in frame.cpp.
#ifndef BRELK_FRAME_H
#define BRELK_FRAME_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "brelkccd.h"
#include "mex.h"

namespace brelk {

// Doubles passed to the SDK as integers: truncated toward zero; NaN and
// values outside the signed 32-bit range become INT32_MIN (0x80000000).
inline int32_t toInt32(double value) noexcept {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}
inline uint32_t toUint32(double value) noexcept { return static_cast<uint32_t>(toInt32(value)); }
inline uint8_t lowByte(double value) noexcept { return static_cast<uint8_t>(toInt32(value) & 0xFF); }

// The two tests of an SDK result.
inline bool isMinusOne(uint32_t result) noexcept { return result == BRELKCCD_ERROR; }
inline bool isZero(uint32_t result) noexcept { return result == 0; }

// The availability guards: each names a control and the line printed when
// the camera lacks it.
enum class Guard { None, FilterWheel, ColorCamera, Humidity, Pressure };

// A guard's control and its line; a constant once the guard is.
struct GuardEntry {
  uint32_t control;
  const char* missing;  // null for Guard::None
};

constexpr GuardEntry guardOf(Guard guard) noexcept {
  switch (guard) {
    case Guard::FilterWheel: return {BRELKCCD_CFW, "Camera don't support CFW control function.\n"};
    case Guard::ColorCamera: return {BRELKCCD_COLOR_CAMERA, "Camera don't support color function.\n"};
    case Guard::Humidity: return {BRELKCCD_HUMIDITY, "Camera don't support humidity function.\n"};
    case Guard::Pressure: return {BRELKCCD_PRESSURE, "Camera don't support pressure function.\n"};
    case Guard::None: break;
  }
  return {0, nullptr};
}

// What a reading holds when there was none.
constexpr double kNoReading = std::numeric_limits<double>::quiet_NaN();

// An output of Rows x 1 elements of T, by the value it holds when the call
// fails before the SDK could give it one.
template <class T, mwSize Rows = 1>
struct Unread {
  T value;
};

// Output element types and their MATLAB classes.
template <class T> struct OutputClass;
template <> struct OutputClass<int32_t> { static constexpr mxClassID id = mxINT32_CLASS; };
template <> struct OutputClass<uint32_t> { static constexpr mxClassID id = mxUINT32_CLASS; };
template <> struct OutputClass<double> { static constexpr mxClassID id = mxDOUBLE_CLASS; };
template <> struct OutputClass<uint8_t> { static constexpr mxClassID id = mxUINT8_CLASS; };

class Call {
 public:
  Call(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);  // may throw bad_alloc
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // Inputs. Each is read and checked before the camera is opened; the first
  // one refused prints its line and stores -1, later reads return 0.
  const char* id() const noexcept { return id_; }
  double number(int index, const char* name) noexcept;  // first element, any numeric class
  int8_t byte(int index, const char* name) noexcept;    // signed 8-bit, see frame.cpp
  bool refused() const noexcept { return refused_; }

  // Opens the camera by its ID and passes the guard; false ends the call,
  // after creating the outputs listed, in slot order from 1, that the caller
  // asked for, each holding its unread value.
  bool open() noexcept { return open(Guard::None); }
  template <class... T, mwSize... Rows>
  bool open(Guard guard, Unread<T, Rows>... outputs) noexcept;
  BrelkCcdHandle* camera() const noexcept { return camera_; }

  // Output `slot` (1 to 7): a zero-filled Rows x 1 array of T, created in
  // MATLAB when the caller supplied the slot (the host zero-fills it) and
  // kept in local storage otherwise, so the SDK always has somewhere to write.
  template <class T, mwSize Rows = 1>
  T* output(int slot) noexcept;

  // Reporting.
  template <class... Args>
  void print(const char* format, Args... args) const noexcept { mexPrintf(format, args...); }
  void say(const char* line) const noexcept;
  void succeed(const char* line) noexcept;
  // The same with a formatted line, e.g. one that shows a value read.
  template <class Arg, class... Args>
  void succeed(const char* format, Arg arg, Args... args) noexcept {
    print(format, arg, args...);
    *status_ = 0;
  }
  void fail(const char* line) noexcept;
  // Prints and stores the outcome of an SDK result; true on success.
  bool zeroTest(uint32_t result, const char* ok, const char* failed) noexcept;
  bool minusOneTest(uint32_t result, const char* ok, const char* failed) noexcept;

 private:
  static constexpr int kMaxSlots = 8;
  static constexpr size_t kLocalBytes = 32;  // the largest output is 4 bytes x 4 rows
  static constexpr size_t kIdBytes = 256;    // an ID copy of up to this size needs no heap

  const mxArray* input(int index, const char* name) noexcept;
  void refuse(const char* what, const char* name) noexcept;  // the rare path, out of line
  bool openCamera(Guard guard) noexcept;
  template <class T, mwSize Rows>
  void assignUnread(int slot, Unread<T, Rows> output) noexcept;

  int outputs_;  // slots the caller supplied; slot 0 always exists
  mxArray** plhs_;
  int nrhs_;
  const mxArray** prhs_;
  int32_t* status_;
  bool refused_ = false;
  // The camera ID as the SDK gets it: an 8-bit input's own bytes when they
  // hold a 0, else a copy in idCopy_ (or idLong_ when longer).
  const char* id_ = "";
  std::unique_ptr<char[]> idLong_;
  BrelkCcdHandle* camera_ = nullptr;
  // Not zeroed here: output() zero-fills what it hands out from here.
  alignas(8) unsigned char local_[kMaxSlots][kLocalBytes];
  char idCopy_[kIdBytes];
};

// The steps of a call, inline.

// The first element of a real, non-empty, non-sparse number array (logicals
// included) as a double; false for any other input. Octave aborts when asked
// for the data of a function handle or an object, so the class comes first.
inline bool firstNumber(const mxArray* a, double& value) noexcept {
  const mxClassID id = mxGetClassID(a);
  const bool numbers = (id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS) || id == mxLOGICAL_CLASS;
  if (!numbers || mxIsComplex(a) || mxIsSparse(a) || mxGetNumberOfElements(a) == 0) return false;
  const void* data = mxGetData(a);
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

inline const mxArray* Call::input(int index, const char* name) noexcept {
  if (refused_) return nullptr;
  if (index >= nrhs_ || !prhs_ || !prhs_[index]) {
    refuse("Missing", name);
    return nullptr;
  }
  return prhs_[index];
}

inline double Call::number(int index, const char* name) noexcept {
  const mxArray* a = input(index, name);
  double value = 0.0;
  if (a && !firstNumber(a, value)) refuse("Invalid", name);
  return value;
}

inline bool Call::openCamera(Guard guard) noexcept {
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

template <class T, mwSize Rows>
T* Call::output(int slot) noexcept {
  static_assert(Rows * sizeof(T) <= kLocalBytes, "every output must fit its local storage");
  if (slot < 1 || slot >= kMaxSlots) slot = 0;  // no function has such a slot
  if (slot > 0 && slot < outputs_) {
    plhs_[slot] = mxCreateNumericMatrix(Rows, 1, OutputClass<T>::id, mxREAL);
    return static_cast<T*>(mxGetData(plhs_[slot]));
  }
  T* first = reinterpret_cast<T*>(local_[slot]);
  for (mwSize i = 0; i < Rows; ++i) new (first + i) T{};
  return first;
}

template <class... T, mwSize... Rows>
bool Call::open(Guard guard, Unread<T, Rows>... outputs) noexcept {
  if (openCamera(guard)) return true;
  int slot = 1;
  (assignUnread(slot++, outputs), ...);
  return false;
}

template <class T, mwSize Rows>
void Call::assignUnread(int slot, Unread<T, Rows> output) noexcept {
  if (slot >= outputs_) return;  // the caller did not ask for it
  T* first = this->output<T, Rows>(slot);
  for (mwSize i = 0; i < Rows; ++i) first[i] = output.value;
}

// A fixed line is its own format unless it holds a '%': printed so, it
// spares the host a conversion on every call. Inline, the test of a literal
// line is made by the compiler.
inline void Call::say(const char* line) const noexcept {
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

inline void Call::succeed(const char* line) noexcept {
  say(line);
  *status_ = 0;
}

inline void Call::fail(const char* line) noexcept {
  say(line);
  *status_ = -1;
}

inline bool Call::zeroTest(uint32_t result, const char* ok, const char* failed) noexcept {
  isZero(result) ? succeed(ok) : fail(failed);
  return isZero(result);
}

inline bool Call::minusOneTest(uint32_t result, const char* ok, const char* failed) noexcept {
  isMinusOne(result) ? fail(failed) : succeed(ok);
  return !isMinusOne(result);
}

// Shapes several modules share.

// Opens the camera and sets one control through SetBRELKCCDParam, zero test.
inline void setParam(Call& call, uint32_t control, double value, const char* ok, const char* failed) noexcept {
  if (call.open()) call.zeroTest(SetBRELKCCDParam(call.camera(), control, value), ok, failed);
}

// Opens the camera, passes the guard and reads one control into output 1
// (1x1 double), kept and printed with `format` as the SDK gave it: no test.
inline void getParam(Call& call, Guard guard, uint32_t control, const char* format) noexcept {
  if (!call.open(guard, Unread<double>{kNoReading})) return;
  double* value = call.output<double>(1);
  *value = GetBRELKCCDParam(call.camera(), control);
  call.succeed(format, *value);
}

// Opens the camera and reads an area into outputs 1 to 4 (start x, start y,
// size x, size y; 1x1 uint32 each) straight from the SDK, minus-one test.
using AreaOperation = uint32_t (*)(BrelkCcdHandle*, uint32_t*, uint32_t*, uint32_t*, uint32_t*);
inline void getArea(Call& call, AreaOperation operation, const char* ok, const char* failed) noexcept {
  const Unread<uint32_t> none{0};
  if (!call.open(Guard::None, none, none, none, none)) return;
  uint32_t* startX = call.output<uint32_t>(1);
  uint32_t* startY = call.output<uint32_t>(2);
  uint32_t* sizeX = call.output<uint32_t>(3);
  uint32_t* sizeY = call.output<uint32_t>(4);
  call.minusOneTest(operation(call.camera(), startX, startY, sizeX, sizeY), ok, failed);
}

enum class Test { Zero, MinusOne };
// Opens the camera and makes one SDK call that takes only the handle.
inline void handleCall(Call& call, uint32_t (*operation)(BrelkCcdHandle*), Test test, const char* ok,
                       const char* failed) noexcept {
  if (!call.open()) return;
  const uint32_t result = operation(call.camera());
  test == Test::Zero ? call.zeroTest(result, ok, failed) : call.minusOneTest(result, ok, failed);
}

// The module's own operation.
void run(Call& call);

}  // namespace brelk

#endif
