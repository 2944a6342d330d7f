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
#ifndef BRELK_FRAME_H
#define BRELK_FRAME_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

#include "brelkccd.h"
#include "mex.h"

namespace brelk {

// Doubles passed to the SDK as integers: truncated toward zero; NaN and
// values outside the signed 32-bit range become INT32_MIN (0x80000000).
int32_t toInt32(double value) noexcept;
inline uint32_t toUint32(double value) noexcept { return static_cast<uint32_t>(toInt32(value)); }
inline uint8_t lowByte(double value) noexcept { return static_cast<uint8_t>(toInt32(value) & 0xFF); }

// The two tests of an SDK result.
inline bool isMinusOne(uint32_t result) noexcept { return result == BRELKCCD_ERROR; }
inline bool isZero(uint32_t result) noexcept { return result == 0; }

// The availability guards: each names a control and the line printed when
// the camera lacks it.
enum class Guard { None, FilterWheel, ColorCamera, Humidity, Pressure };

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
  // MATLAB when the caller supplied the slot and kept in local storage
  // otherwise, so the SDK always has somewhere to write.
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
  void refuse(const char* what, const char* name) noexcept;
  bool openCamera(Guard guard) noexcept;
  void* createOutput(int slot, mwSize rows, mxClassID id) noexcept;
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
  std::string idLong_;
  BrelkCcdHandle* camera_ = nullptr;
  // Not zeroed here: output() zero-fills each element it hands out.
  alignas(8) unsigned char local_[kMaxSlots][kLocalBytes];
  char idCopy_[kIdBytes];
};

template <class T, mwSize Rows>
T* Call::output(int slot) noexcept {
  static_assert(Rows * sizeof(T) <= kLocalBytes, "every output must fit its local storage");
  T* first = static_cast<T*>(createOutput(slot, Rows, OutputClass<T>::id));
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

// Shapes several modules share.

// Opens the camera and sets one control through SetBRELKCCDParam, zero test.
void setParam(Call& call, uint32_t control, double value, const char* ok, const char* failed) noexcept;

// Opens the camera, passes the guard and reads one control into output 1
// (1x1 double), kept and printed with `format` as the SDK gave it: no test.
void getParam(Call& call, Guard guard, uint32_t control, const char* format) noexcept;

// Opens the camera and reads an area into outputs 1 to 4 (start x, start y,
// size x, size y; 1x1 uint32 each) straight from the SDK, minus-one test.
using AreaOperation = uint32_t (*)(BrelkCcdHandle*, uint32_t*, uint32_t*, uint32_t*, uint32_t*);
void getArea(Call& call, AreaOperation operation, const char* ok, const char* failed) noexcept;

enum class Test { Zero, MinusOne };
// Opens the camera and makes one SDK call that takes only the handle.
void handleCall(Call& call, uint32_t (*operation)(BrelkCcdHandle*), Test test, const char* ok,
                const char* failed) noexcept;

// The module's own operation.
void run(Call& call);

}  // namespace brelk

#endif
