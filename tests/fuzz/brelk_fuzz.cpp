// brelk_fuzz: generated calls into every BRELK module, each one checked
// against the rules that every toolbox function keeps whatever it is given.
//
//   brelk_fuzz [--calls N] [--seed S] [--mex-dir DIR] [--require-all]
//   brelk_fuzz --seed S --case C --verbose        replays one case, step by step
//
// A case resets the simulated cameras, brings each up or leaves it switched
// off, scripts random SDK results (mostly for the calls its functions make)
// and random out-pointer writes (some left unwritten), then makes one to four
// calls of random modules with
// nlhs 0 to 8, nrhs 0 to 6 and inputs of every class, size and awkward value
// (function handles, objects and structs among them, whose data no host
// lets a module read),
// moving the simulated clock between them. Case C of seed S is generated
// from those two numbers alone, so every failure prints the command that
// replays it.
//
// Checked after every call:
//  - slot 0 holds a 1x1 real int32 status of 0 or -1;
//  - no slot at or beyond max(nlhs, 1) was written, the others hold nothing
//    or an array of the class and shape the function returns there;
//  - every array is released: destroying the outputs and inputs brings the
//    host's live-array count back to what it was before the call;
//  - the inputs are unchanged;
//  - an input is refused (a "Missing ..." or "Invalid ..." line) exactly when
//    it cannot be read, and a refused call made no SDK call and returned
//    status -1;
//  - the SDK saw the camera ID as given, opening first;
//  - every output the caller asked for is assigned on every path; a refused
//    input, a failed open or a failed guard leaves each one holding the
//    value that says nothing was read (NaN, 0, -1 or 255 by function);
//  - the status agrees with the last line printed, and the values a reading
//    prints are the values it returns;
//  - where the SDK call that decided the outcome had a scripted answer, the
//    status is what the function's test makes of it, and the outputs hold
//    what the SDK gave or wrote (0 where it left an out pointer unwritten).
// A MATLAB error aborts the stand-in host and so the run; under the
// sanitizers so does every memory or undefined-behaviour report.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "brelkccd_sim.h"
#include "mexhost.h"
#include "mexhost_loader.h"
#include "sdk_operations.h"

extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace {

// ---------------------------------------------------------------- randomness

// SplitMix64: small, fast and the same everywhere, so a seed means the same
// calls on every machine.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
  bool percent(uint32_t p) { return below(100) < p; }
  int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<uint32_t>(hi - lo + 1))); }
  template <class T, size_t N>
  const T& pick(const T (&items)[N]) { return items[below(N)]; }

 private:
  uint64_t state_;
};

uint64_t caseSeed(uint64_t seed, uint64_t index) {
  Rng mix(seed ^ (index * 0xD1B54A32D192ED03ull));
  return mix.next();
}

// Doubles a script may pass or an SDK may answer: the edges of every
// conversion the toolbox makes, and values no camera would send.
const double kSpecialDoubles[] = {
    0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 0.999, 1.9, -1.5, 2.0, 3.0, 4.0, 5.0, 7.0, 17.0, 30.0, 48.0, 51.0,
    100.0, 120.0, 127.0, 128.0, 200.0, 255.0, 256.0, 257.0, 65535.0, 65536.0, 2147483647.0,
    2147483647.9, 2147483648.0, -2147483648.0, -2147483648.9, -2147483649.0, 4294967295.0,
    4294967296.0, 1e10, -1e10, 9.2233720368547758e18, -9.2233720368547758e18, 1.8446744073709552e19,
    1e300, -1e300, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, std::numeric_limits<double>::denorm_min(),
    -std::numeric_limits<double>::denorm_min(), 1e-310, -2.5e-320, std::nan(""), -std::nan(""),
    HUGE_VAL, -HUGE_VAL};

double randomDouble(Rng& r) {
  switch (r.below(5)) {
    case 0: case 1: case 2: return r.pick(kSpecialDoubles);
    case 3: return (static_cast<double>(r.below(2000001)) - 1000000.0) / static_cast<double>(1u << r.below(12));
    default: {
      const uint64_t bits = r.next();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return d;
    }
  }
}

float randomFloat(Rng& r) {
  if (r.percent(40)) {
    const uint32_t bits = static_cast<uint32_t>(r.next());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  const double d = r.pick(kSpecialDoubles);
  if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return d > 0 ? FLT_MAX : -FLT_MAX;
  return static_cast<float>(d);
}

template <class T>
T randomInteger(Rng& r) {
  switch (r.below(4)) {
    case 0: case 1: return static_cast<T>(r.between(-3, 300));
    case 2: {
      const T edges[] = {std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), T(0), static_cast<T>(-1),
                         T(1), T('0'), T('3')};
      return r.pick(edges);
    }
    default: return static_cast<T>(r.next());
  }
}

// Values a script would pass for a setting or a region: most are ones a
// camera takes, so calls get past its range checks.
double plausibleDouble(Rng& r) {
  const double values[] = {0, 0, 0, 1, 1, 1, 2, 3, 4, 5, 8, 10, 16, 20, 25, 30, 32, 40, 50, 64, 80, 100, 128, 200, 255,
                           256, 480, 512, 640, 1000, 1024, 1500, 2000, -5, -10, -20, -30, 0.5, 1.5, 2.25};
  return r.percent(70) ? r.pick(values) : static_cast<double>(r.between(-40, 120));
}

// SDK results for scripting: a few meaningful answers, and everything else.
double randomResult(Rng& r) {
  const double results[] = {0, 0, 0, -1, -1, -1, 1, 2, -2, 3, 4, 5, 7, 51, 255, 256, 4294967295.0,
                            2147483648.0, -1.5, -0.5, 0.5, 1e300};
  return r.percent(80) ? r.pick(results) : randomDouble(r);
}

// ------------------------------------------------------------------- tracing

// The description of a case, built only when it is to be printed.
struct Trace {
  bool on = false;
  std::string text;
  void line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (!on) return;
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    text += buf;
    text += '\n';
  }
};

const char* className(mxClassID id) {
  switch (id) {
    case mxCELL_CLASS: return "cell";
    case mxSTRUCT_CLASS: return "struct";
    case mxFUNCTION_CLASS: return "function handle";
    case mxUNKNOWN_CLASS: case mxOBJECT_CLASS: return "object";
    case mxLOGICAL_CLASS: return "logical";
    case mxCHAR_CLASS: return "char";
    case mxDOUBLE_CLASS: return "double";
    case mxSINGLE_CLASS: return "single";
    case mxINT8_CLASS: return "int8";
    case mxUINT8_CLASS: return "uint8";
    case mxINT16_CLASS: return "int16";
    case mxUINT16_CLASS: return "uint16";
    case mxINT32_CLASS: return "int32";
    case mxUINT32_CLASS: return "uint32";
    case mxINT64_CLASS: return "int64";
    case mxUINT64_CLASS: return "uint64";
    default: return "other";
  }
}

// Function handles and objects: a host aborts when asked for their data.
bool opaque(const mxArray* a) {
  const mxClassID id = mxGetClassID(a);
  return id == mxFUNCTION_CLASS || id == mxUNKNOWN_CLASS || id == mxOPAQUE_CLASS || id == mxOBJECT_CLASS;
}

std::string describe(const mxArray* a) {
  if (!a) return "(null)";
  std::string s;
  const mwSize nd = mxGetNumberOfDimensions(a);
  const mwSize* dims = mxGetDimensions(a);
  for (mwSize i = 0; i < nd; ++i) s += (i ? "x" : "") + std::to_string(dims[i]);
  s += std::string(" ") + (mxIsSparse(a) ? "sparse " : "") + (mxIsComplex(a) ? "complex " : "") +
       className(mxGetClassID(a));
  if (opaque(a)) return s;
  const void* data = mxGetData(a);
  const size_t n = std::min<size_t>(mxIsSparse(a) ? 0 : mxGetNumberOfElements(a), 12);
  if (!data || mxGetClassID(a) == mxCELL_CLASS) return s;
  s += " [";
  char buf[64];
  for (size_t i = 0; i < n; ++i) {
    switch (mxGetClassID(a)) {
      case mxDOUBLE_CLASS: std::snprintf(buf, sizeof buf, "%.17g", static_cast<const double*>(data)[i]); break;
      case mxSINGLE_CLASS: std::snprintf(buf, sizeof buf, "%.9g", static_cast<const float*>(data)[i]); break;
      case mxINT8_CLASS: std::snprintf(buf, sizeof buf, "%d", static_cast<const int8_t*>(data)[i]); break;
      case mxUINT8_CLASS: std::snprintf(buf, sizeof buf, "%u", static_cast<const uint8_t*>(data)[i]); break;
      case mxINT16_CLASS: std::snprintf(buf, sizeof buf, "%d", static_cast<const int16_t*>(data)[i]); break;
      case mxUINT16_CLASS: std::snprintf(buf, sizeof buf, "%u", static_cast<const uint16_t*>(data)[i]); break;
      case mxCHAR_CLASS: std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(static_cast<const char16_t*>(data)[i])); break;
      case mxINT32_CLASS: std::snprintf(buf, sizeof buf, "%d", static_cast<const int32_t*>(data)[i]); break;
      case mxUINT32_CLASS: std::snprintf(buf, sizeof buf, "%u", static_cast<const uint32_t*>(data)[i]); break;
      case mxINT64_CLASS: std::snprintf(buf, sizeof buf, "%" PRId64, static_cast<const int64_t*>(data)[i]); break;
      case mxUINT64_CLASS: std::snprintf(buf, sizeof buf, "%" PRIu64, static_cast<const uint64_t*>(data)[i]); break;
      case mxLOGICAL_CLASS: std::snprintf(buf, sizeof buf, "%d", static_cast<const mxLogical*>(data)[i] ? 1 : 0); break;
      default: buf[0] = '\0';
    }
    s += (i ? " " : "") + std::string(buf);
  }
  if (mxGetNumberOfElements(a) > n) s += " ...";
  return s + "]";
}

std::string quoted(const std::string& text) {
  std::string s = "\"";
  for (unsigned char c : text) {
    if (c == '\n') s += "\\n";
    else if (c == '"' || c == '\\') s += std::string("\\") + static_cast<char>(c);
    else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      s += buf;
    } else s += static_cast<char>(c);
  }
  return s + "\"";
}

// ------------------------------------------------------------------- inputs

template <class T, class Fill>
void fillAll(mxArray* a, void* data, Fill fill) {
  if (!data) return;
  T* p = static_cast<T*>(data);
  for (size_t i = 0, n = mxGetNumberOfElements(a); i < n; ++i) p[i] = fill();
}

void fillNumbers(Rng& r, mxArray* a, void* data) {
  switch (mxGetClassID(a)) {
    case mxDOUBLE_CLASS: fillAll<double>(a, data, [&] { return randomDouble(r); }); break;
    case mxSINGLE_CLASS: fillAll<float>(a, data, [&] { return randomFloat(r); }); break;
    case mxINT8_CLASS: fillAll<int8_t>(a, data, [&] { return randomInteger<int8_t>(r); }); break;
    case mxUINT8_CLASS: fillAll<uint8_t>(a, data, [&] { return randomInteger<uint8_t>(r); }); break;
    case mxINT16_CLASS: fillAll<int16_t>(a, data, [&] { return randomInteger<int16_t>(r); }); break;
    case mxUINT16_CLASS: fillAll<uint16_t>(a, data, [&] { return randomInteger<uint16_t>(r); }); break;
    case mxINT32_CLASS: fillAll<int32_t>(a, data, [&] { return randomInteger<int32_t>(r); }); break;
    case mxUINT32_CLASS: fillAll<uint32_t>(a, data, [&] { return randomInteger<uint32_t>(r); }); break;
    case mxINT64_CLASS: fillAll<int64_t>(a, data, [&] { return randomInteger<int64_t>(r); }); break;
    case mxUINT64_CLASS: fillAll<uint64_t>(a, data, [&] { return randomInteger<uint64_t>(r); }); break;
    case mxLOGICAL_CLASS: fillAll<mxLogical>(a, data, [&] { return r.percent(50); }); break;
    case mxCHAR_CLASS:
      fillAll<char16_t>(a, data, [&] {
        switch (r.below(6)) {
          case 0: return char16_t(0);
          case 1: return static_cast<char16_t>(r.next());
          case 2: return static_cast<char16_t>(r.pick({u'0', u'3', u'S', u'I', u'M', u'-', u'O', u'N'}));
          default: return static_cast<char16_t>(r.between(0x20, 0x7E));
        }
      });
      break;
    default: break;
  }
}

const mxClassID kNumericClasses[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,   mxUINT8_CLASS,
                                     mxINT16_CLASS,  mxUINT16_CLASS, mxINT32_CLASS,  mxUINT32_CLASS,
                                     mxINT64_CLASS,  mxUINT64_CLASS};

// Any array MATLAB could pass: every class, empty to a few dozen elements,
// two or three dimensions, complex and sparse ones among them.
mxArray* bytesArray(mxClassID id, const std::string& s, bool column);

mxArray* randomArray(Rng& r, bool nested = false) {
  mwSize dims[3] = {1, 1, 1};
  mwSize nd = 2;
  switch (r.below(20)) {
    case 0: case 1: case 2: dims[1] = r.below(13); break;
    case 3: case 4: dims[0] = r.below(13); break;
    case 5: case 6: dims[0] = r.below(5); dims[1] = r.below(5); break;
    case 7: dims[0] = dims[1] = 0; break;
    case 8: nd = 3; dims[0] = r.below(4); dims[1] = r.below(4); dims[2] = r.below(4); break;
    case 9: dims[1] = 1 + r.below(200); break;
    default: break;  // 1x1, the commonest
  }
  const uint32_t kind = r.below(17);
  if (kind == 14) return mexhost_create_function_handle();
  if (kind == 15) return mexhost_create_object(r.percent(50) ? mxUNKNOWN_CLASS : mxOBJECT_CLASS);
  if (kind == 16) return mxCreateStructMatrix(dims[0], dims[1], 0, nullptr);
  if (kind == 10) {  // char
    mxArray* a = mxCreateCharArray(nd, dims);
    fillNumbers(r, a, mxGetData(a));
    return a;
  }
  if (kind == 11) {  // logical
    mxArray* a = mxCreateLogicalMatrix(dims[0], dims[1] * dims[2]);
    fillNumbers(r, a, mxGetData(a));
    return a;
  }
  if (kind == 12) {  // a cell: empty elements, or arrays such as the ID a script meant to pass
    mxArray* a = mxCreateCellMatrix(dims[0], dims[1]);
    if (!nested && r.percent(60)) {
      for (size_t i = 0, n = mxGetNumberOfElements(a); i < n; ++i)
        mxSetCell(a, i, r.percent(30) ? bytesArray(mxUINT8_CLASS, std::string("SIM-MONO", 9), false) : randomArray(r, true));
    }
    return a;
  }
  if (kind == 13) {  // sparse double: the data holds only nzmax values
    const bool complex = r.percent(20);
    mxArray* a = mxCreateSparse(dims[0], dims[1], r.below(4), complex ? mxCOMPLEX : mxREAL);
    return a;
  }
  const mxClassID id = kNumericClasses[kind];
  const bool complex = r.percent(15);
  mxArray* a = mxCreateNumericArray(nd, dims, id, complex ? mxCOMPLEX : mxREAL);
  fillNumbers(r, a, mxGetData(a));
  if (complex) fillNumbers(r, a, mxGetImagData(a));
  return a;
}

mxArray* bytesArray(mxClassID id, const std::string& s, bool column) {
  mxArray* a = column ? mxCreateNumericMatrix(s.size(), 1, id, mxREAL) : mxCreateNumericMatrix(1, s.size(), id, mxREAL);
  if (!s.empty()) std::memcpy(mxGetData(a), s.data(), s.size());
  return a;
}

mxArray* charArray(const std::string& s) {
  const mwSize dims[2] = {1, s.size()};
  mxArray* a = mxCreateCharArray(2, dims);
  char16_t* chars = static_cast<char16_t*>(mxGetData(a));
  for (size_t i = 0; i < s.size(); ++i) chars[i] = static_cast<unsigned char>(s[i]);
  return a;
}

// Input 0: mostly a simulated camera's ID in one of the ways a script may
// pass it (terminated or not, uint8, int8 or char), else a wrong ID or any
// array at all.
mxArray* idArray(Rng& r) {
  std::string id;
  const uint32_t what = r.below(100);
  if (what < 70) {
    id = r.percent(50) ? "SIM-MONO" : "SIM-COLOR";
  } else if (what < 85) {
    const std::string others[] = {"",          "SIM-MON",  "SIM-MONO ", "sim-mono",    "SIM-COLOUR",
                                  std::string("SIM-MONO\0X", 10), std::string("\0SIM-MONO", 9),
                                  "CAM-0",     "\xFF\xFE", std::string(300, 'A'), std::string(700, 'S')};
    id = r.pick(others);
    // Lengths either side of any fixed-size copy a frame might make.
    if (r.percent(30)) id = std::string(static_cast<size_t>(r.pick({63, 64, 65, 84, 85, 86, 127, 128, 255, 256, 257, 511, 512})), 'C');
  } else {
    return randomArray(r);
  }
  switch (r.below(10)) {
    case 0: case 1: case 2: case 3: return bytesArray(mxUINT8_CLASS, id + '\0', false);
    case 4: case 5: return bytesArray(mxUINT8_CLASS, id, r.percent(30));
    case 6: return bytesArray(mxINT8_CLASS, r.percent(50) ? id + '\0' : id, false);
    case 7: return charArray(id + (r.percent(30) ? std::string(1, '\0') : std::string()));
    default: return charArray(id);
  }
}

// A further input: mostly the scalar the function reads, else anything.
mxArray* valueArray(Rng& r, bool byte) {
  const uint32_t what = r.below(100);
  if (byte) {
    if (what < 25) return bytesArray(mxUINT8_CLASS, std::string(1, static_cast<char>(r.next())), false);
    if (what < 35) return bytesArray(mxINT8_CLASS, std::string(1, static_cast<char>(r.next())), false);
    if (what < 50) return charArray(std::string(1, static_cast<char>('0' + r.below(10))));
  }
  if (what < 55) return mxCreateDoubleScalar(r.percent(60) ? plausibleDouble(r) : randomDouble(r));
  if (what < 65) {
    mxArray* a = mxCreateNumericMatrix(1, 1, r.pick(kNumericClasses), mxREAL);
    fillNumbers(r, a, mxGetData(a));
    return a;
  }
  return randomArray(r);
}

// ----------------------------------------------------------------- contracts

enum class Reads { Numbers, Byte };
struct Out {
  mxClassID id;
  mwSize rows;
  double unread;  // every element's value when the call ends before the SDK read
};

// How a function turns the result of one of its SDK calls into its status.
enum class Test {
  Zero,       // only 0 succeeds
  MinusOne,   // only -1 fails (also every availability guard)
  Value,      // a reading: always succeeds, the double is returned unchanged
  Pattern,    // the colour-pattern code: 1 to 4 succeed
  Truncated,  // a double truncated to int32, then the minus-one test
  Percent,    // the cooler's 0 to 255 as percent; truncated, minus-one test, NaN on -1
};

// An SDK call that can end a function, by operation and control (-1: none).
struct Step {
  const char* operation;
  int32_t control;
  Test test;
};

// What each function reads and returns after the ID and the status, and the
// SDK calls whose results decide its status.
struct Contract {
  const char* name;
  int inputs;
  Reads reads;
  std::vector<Out> outputs;
  std::vector<Step> steps;
  bool failsWhenOpen = true;  // false: once the camera is open, it always succeeds
};

const Out kU32{mxUINT32_CLASS, 1, 0}, kF64{mxDOUBLE_CLASS, 1, NAN};
const Step kWheelGuard{"IsBRELKCCDControlAvailable", 17, Test::MinusOne};

Step setParam(int32_t control) { return {"SetBRELKCCDParam", control, Test::Zero}; }
Step handleOnly(const char* operation, Test test) { return {operation, BRELKSIM_ANY_CONTROL, test}; }

const Contract kContracts[] = {
    {"BRELK_2_SetReadMode", 1, Reads::Numbers, {}, {handleOnly("SetBRELKCCDReadMode", Test::Zero)}},
    {"BRELK_3_SetStreamMode", 1, Reads::Numbers, {}, {handleOnly("SetBRELKCCDStreamMode", Test::Zero)}},
    {"BRELK_4_InitCamera", 0, Reads::Numbers, {}, {handleOnly("InitBRELKCCD", Test::Zero)}},
    {"BRELK_11_CloseCamera", 0, Reads::Numbers, {},
     {handleOnly("CloseBRELKCCD", Test::MinusOne), handleOnly("ReleaseBRELKCCDResource", Test::MinusOne)}},
    {"BRELK_6_SetLiveBrightness", 1, Reads::Numbers, {}, {setParam(0)}},
    {"BRELK_6_SetLiveContrast", 1, Reads::Numbers, {}, {setParam(1)}},
    {"BRELK_6_SetLiveWBR", 1, Reads::Numbers, {}, {setParam(2)}},
    {"BRELK_6_SetLiveWBB", 1, Reads::Numbers, {}, {setParam(3)}},
    {"BRELK_6_SetLiveWBG", 1, Reads::Numbers, {}, {setParam(4)}},
    {"BRELK_6_SetLiveGamma", 1, Reads::Numbers, {}, {setParam(5)}},
    {"BRELK_6_SetGain", 1, Reads::Numbers, {}, {setParam(6)}},
    {"BRELK_6_SetOffset", 1, Reads::Numbers, {}, {setParam(7)}},
    {"BRELK_6_SetExposeTime", 1, Reads::Numbers, {}, {setParam(8)}},
    {"BRELK_6_SetTraffic", 1, Reads::Numbers, {}, {setParam(12)}},
    {"BRELK_6_SetCoolerPWM", 1, Reads::Numbers, {}, {setParam(16)}},
    {"BRELK_6_SetCoolerOFF", 0, Reads::Numbers, {}, {setParam(16)}},
    {"BRELK_6_SetCoolerTemperature", 1, Reads::Numbers, {}, {setParam(18)}},
    {"BRELK_6_SetDDR", 1, Reads::Numbers, {}, {setParam(48)}},
    {"BRELK_6_SetROI", 4, Reads::Numbers, {}, {handleOnly("SetBRELKCCDResolution", Test::Zero)}},
    {"BRELK_7_GetEffective", 0, Reads::Numbers, {kU32, kU32, kU32, kU32},
     {handleOnly("GetBRELKCCDEffectiveArea", Test::MinusOne)}},
    {"BRELK_7_GetOverscan", 0, Reads::Numbers, {kU32, kU32, kU32, kU32},
     {handleOnly("GetBRELKCCDOverScanArea", Test::MinusOne)}},
    {"BRELK_7_GetChipInfo", 0, Reads::Numbers, {kF64, kF64, kU32, kU32, kF64, kF64},
     {handleOnly("GetBRELKCCDChipInfo", Test::MinusOne)}},
    {"BRELK_7_GetTemperature", 0, Reads::Numbers, {kF64}, {{"GetBRELKCCDParam", 14, Test::Value}}, false},
    {"BRELK_7_GetCoolerPWM", 0, Reads::Numbers, {kF64}, {{"GetBRELKCCDParam", 16, Test::Percent}}},
    {"BRELK_7_GetHumidity", 0, Reads::Numbers, {kF64},
     {{"IsBRELKCCDControlAvailable", 62, Test::MinusOne}, {"GetBRELKCCDParam", 62, Test::Value}}},
    {"BRELK_7_GetPressure", 0, Reads::Numbers, {kF64},
     {{"IsBRELKCCDControlAvailable", 63, Test::MinusOne}, {"GetBRELKCCDParam", 63, Test::Value}}},
    {"BRELK_7_GetDebayer", 0, Reads::Numbers, {{mxUINT8_CLASS, 4, 0}},
     {{"IsBRELKCCDControlAvailable", 59, Test::MinusOne}, {"IsBRELKCCDControlAvailable", 20, Test::Pattern}}},
    {"BRELK_8_CheckCFWPlug", 0, Reads::Numbers, {}, {kWheelGuard, handleOnly("IsBRELKCCDCFWPlugged", Test::MinusOne)}},
    {"BRELK_8_GetCFWSlotsNum", 0, Reads::Numbers, {{mxINT32_CLASS, 1, -1}},
     {kWheelGuard, {"GetBRELKCCDParam", 44, Test::Truncated}}},
    {"BRELK_8_GetCFWStatus", 0, Reads::Numbers, {{mxUINT8_CLASS, 1, 255}},
     {kWheelGuard, {"GetBRELKCCDParam", 17, Test::Truncated}}},
    {"BRELK_8_SetCFWTarget", 1, Reads::Byte, {}, {kWheelGuard, {"SetBRELKCCDParam", 17, Test::MinusOne}}},
    {"BRELK_9_BeginSingleExpose", 0, Reads::Numbers, {}, {handleOnly("ExpBRELKCCDSingleFrame", Test::MinusOne)}},
    {"BRELK_9_StopSingleCapture", 0, Reads::Numbers, {},
     {handleOnly("CancelBRELKCCDExposingAndReadout", Test::MinusOne)}},
    {"BRELK_10_BeginLiveExpose", 0, Reads::Numbers, {}, {handleOnly("BeginBRELKCCDLive", Test::MinusOne)}},
    {"BRELK_10_StopLiveCapture", 0, Reads::Numbers, {}, {handleOnly("StopBRELKCCDLive", Test::MinusOne)}},
};

// The SDK result a script stands for, as the simulator documents it: the
// value taken as a 32-bit integer. Only whole numbers in range are used
// for checking, so the check relies on nothing the simulator leaves open.
bool scriptedResult(double value, uint32_t& result) {
  if (!(value >= -2147483648.0 && value <= 4294967295.0) || value != std::trunc(value)) return false;
  result = value < 0 ? static_cast<uint32_t>(static_cast<int32_t>(value)) : static_cast<uint32_t>(value);
  return true;
}

// The toolbox's own double-to-int32 conversion: truncation; NaN and values
// out of range become INT32_MIN.
int32_t truncated(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// What the frame can read. A sound input is never refused and an unsound
// one always is: anything else would mean garbage reached the SDK or a good
// call was turned away.
bool readableId(const mxArray* a) {
  const mxClassID id = mxGetClassID(a);
  if (id != mxCHAR_CLASS && id != mxINT8_CLASS && id != mxUINT8_CLASS) return false;
  if (mxIsComplex(a) || mxIsSparse(a) || mxGetNumberOfElements(a) == 0) return false;
  return id == mxCHAR_CLASS ? static_cast<const char16_t*>(mxGetData(a))[0] != 0
                            : static_cast<const char*>(mxGetData(a))[0] != 0;
}

bool readableNumber(const mxArray* a) {
  const mxClassID id = mxGetClassID(a);
  const bool number = (id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS) || id == mxLOGICAL_CLASS;
  return number && !mxIsComplex(a) && !mxIsSparse(a) && mxGetNumberOfElements(a) > 0;
}

bool readableByte(const mxArray* a) {
  return readableNumber(a) ||
         (mxGetClassID(a) == mxCHAR_CLASS && !mxIsComplex(a) && !mxIsSparse(a) && mxGetNumberOfElements(a) > 0);
}

// The ID as the SDK must see it, where that is simple to say: the bytes of
// an int8 or uint8 array up to its first 0, or an ASCII char array's text.
bool expectedId(const mxArray* a, std::string& id) {
  const size_t n = mxGetNumberOfElements(a);
  if (mxGetClassID(a) == mxCHAR_CLASS) {
    const char16_t* chars = static_cast<const char16_t*>(mxGetData(a));
    id.clear();
    for (size_t i = 0; i < n && chars[i]; ++i) {
      if (chars[i] >= 0x80) return false;
      id += static_cast<char>(chars[i]);
    }
    return true;
  }
  const char* bytes = static_cast<const char*>(mxGetData(a));
  id.assign(bytes, strnlen(bytes, n));
  return true;
}

// ----------------------------------------------------------------- the calls

using mexhost::Gateway;
using mexhost::takePrinted;
using brelksim::kOperations;

struct Stats {
  uint64_t calls = 0, succeeded = 0, failed = 0, refused = 0, openFailed = 0, guarded = 0;
  uint64_t checkedAgainstScript = 0;  // calls whose status or outputs were compared with scripted SDK answers
};

struct Module {
  std::string name;
  const Contract* contract = nullptr;  // null for a module this driver does not know
  Gateway entry = nullptr;
  Stats stats;
};

const char* const kOutPointerOperations[] = {"GetBRELKCCDEffectiveArea", "GetBRELKCCDOverScanArea",
                                             "GetBRELKCCDChipInfo"};
const int32_t kControls[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 14, 16, 17, 18, 20, 44, 48, 59, 62, 63};

mxArray* const kUntouched = reinterpret_cast<mxArray*>(static_cast<uintptr_t>(0xDEAD0));
constexpr int kSpareSlots = 8;

uint64_t hashData(const mxArray* a) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&](const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  };
  if (!a || mxIsSparse(a) || mxGetClassID(a) == mxCELL_CLASS || opaque(a)) return h;
  const size_t bytes = mxGetNumberOfElements(a) * mxGetElementSize(a);
  if (const void* re = mxGetData(a)) mix(re, bytes);
  if (const void* im = mxGetImagData(a)) mix(im, bytes);
  return h;
}

std::string lastLine(const std::string& printed) {
  if (printed.empty()) return "";
  const size_t end = printed.size() - 1;
  const size_t start = printed.rfind('\n', end == 0 ? 0 : end - 1);
  return start == std::string::npos || start >= end ? printed : printed.substr(start + 1);
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
bool endsWith(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// The outcome a final line announces: 0, -1, or 1 for a line no function prints last.
int announced(const std::string& line) {
  if (line.find("successfully") != std::string::npos || startsWith(line, "Current ") ||
      line == "CFW is connected to camera.\n")
    return 0;
  if (endsWith(line, " failed.\n") || startsWith(line, "Camera don't support ") || startsWith(line, "Missing ") ||
      startsWith(line, "Invalid ") || line == "Debayer format error.\n" || line == "No CFW is connected to camera.\n" ||
      line == "Out of memory.\n")
    return -1;
  return 1;
}

class Driver {
 public:
  Driver(std::vector<Module> modules, uint64_t seed) : modules_(std::move(modules)), seed_(seed) {}

  // Runs case `index`; false when a call broke a rule (its report is in `failure`).
  bool runCase(uint64_t index, Trace& trace, std::string& failure);
  uint64_t calls() const { return calls_; }
  const std::vector<Module>& modules() const { return modules_; }

 private:
  struct Script {
    std::string operation;
    int32_t control;
    double result;
  };
  struct ScriptedOutputs {
    std::string operation;
    std::vector<double> values;
    uint32_t mask;
  };

  void prepareSdk(Rng& r, Trace& trace, const std::vector<Module*>& callees);
  bool callOnce(Rng& r, Module& m, Trace& trace, std::string& failure);
  const double* scripted(const std::string& operation, int32_t control) const;
  bool checkOutcome(const Contract& c, const std::vector<std::string>& journal, int32_t code, int supplied,
                    const std::vector<mxArray*>& slots, const std::function<void(bool, const std::string&)>& rule) const;

  std::vector<Module> modules_;
  std::vector<Script> scripts_;             // this case's, in order
  std::vector<ScriptedOutputs> outputs_;
  uint64_t seed_;
  uint64_t calls_ = 0;
};

void Driver::prepareSdk(Rng& r, Trace& trace, const std::vector<Module*>& callees) {
  BrelkSimReset();
  scripts_.clear();
  outputs_.clear();
  BrelkSimSetManualClock(1);
  // Cameras brought up as a script would, most of the time; else switched off.
  for (const char* id : {"SIM-MONO", "SIM-COLOR"}) {
    if (!r.percent(75)) continue;
    if (BrelkCcdHandle* h = OpenBRELKCCD(id)) {
      SetBRELKCCDReadMode(h, r.percent(90) ? 0 : r.below(4));
      SetBRELKCCDStreamMode(h, static_cast<uint8_t>(r.percent(90) ? 0 : r.below(3)));
      if (r.percent(90)) InitBRELKCCD(h);
      trace.line("camera %s brought up", id);
    }
  }
  const int scripts = r.percent(45) ? 0 : r.between(1, 3);
  for (int i = 0; i < scripts; ++i) {
    const char* op = r.pick(kOperations);
    int32_t control = r.percent(50) ? BRELKSIM_ANY_CONTROL : r.percent(90) ? r.pick(kControls)
                                                                         : static_cast<int32_t>(r.next());
    // Mostly a call the case's functions make, so their answers are scripted.
    const Module* callee = callees[r.below(static_cast<uint32_t>(callees.size()))];
    if (callee->contract && !callee->contract->steps.empty() && r.percent(60)) {
      const std::vector<Step>& steps = callee->contract->steps;
      const Step& step = steps[r.below(static_cast<uint32_t>(steps.size()))];
      op = step.operation;
      if (step.control != BRELKSIM_ANY_CONTROL && r.percent(70)) control = step.control;
    }
    const double result = std::strcmp(op, "OpenBRELKCCD") == 0 ? (r.percent(50) ? 0.0 : 1.0) : randomResult(r);
    BrelkSimScript(op, control, result);
    scripts_.push_back({op, control, result});
    trace.line("script %s control %d result %.17g", op, control, result);
  }
  if (r.percent(30)) {
    const char* op = r.pick(kOutPointerOperations);
    double values[8];
    const size_t count = r.below(9);
    for (size_t i = 0; i < count; ++i) values[i] = r.percent(70) ? randomResult(r) : randomDouble(r);
    const uint32_t mask = r.percent(25) ? 0u : r.percent(33) ? 0xFFFFFFFFu : static_cast<uint32_t>(r.next());
    BrelkSimScriptOutputs(op, count, values, mask);
    outputs_.push_back({op, std::vector<double>(values, values + count), mask});
    if (trace.on) {
      std::string v;
      for (size_t i = 0; i < count; ++i) v += " " + std::to_string(values[i]);
      trace.line("outputs %s mask 0x%08X values%s", op, mask, v.c_str());
    }
  }
}

// The result scripted for an operation and control, as the simulator looks
// it up: the control's own script, else the one for every control.
const double* Driver::scripted(const std::string& operation, int32_t control) const {
  const double* any = nullptr;
  const double* own = nullptr;
  for (const Script& s : scripts_) {
    if (s.operation != operation) continue;
    if (s.control == control) own = &s.result;
    if (s.control == BRELKSIM_ANY_CONTROL) any = &s.result;
  }
  return own ? own : any;
}

// Where the last SDK call has a scripted result, the status must be the one
// the function's test makes of it, and what it returns must be what the SDK
// gave: a failure reported as success, a wrong test, a value lost or out
// pointers passed in the wrong order all show here.
// True when it could compare anything.
bool Driver::checkOutcome(const Contract& c, const std::vector<std::string>& journal, int32_t code, int supplied,
                          const std::vector<mxArray*>& slots,
                          const std::function<void(bool, const std::string&)>& rule) const {
  if (journal.empty()) return false;
  const std::string& last = journal.back();
  const size_t paren = last.find('(');
  const std::string operation = last.substr(0, paren);
  const bool hasControl = operation == "SetBRELKCCDParam" || operation == "GetBRELKCCDParam" ||
                          operation == "IsBRELKCCDControlAvailable";
  const int32_t control =
      hasControl ? static_cast<int32_t>(std::strtol(last.c_str() + paren + 1, nullptr, 10)) : BRELKSIM_ANY_CONTROL;
  const Step* step = nullptr;
  for (const Step& s : c.steps)
    if (operation == s.operation && control == s.control) step = &s;
  if (!step) return false;
  bool compared = false;
  const double* value = scripted(operation, control);
  const mxArray* first = supplied > 1 ? slots[1] : nullptr;
  if (value) {
    uint32_t result = 0;
    int32_t expected = 1;
    switch (step->test) {
      case Test::Zero:
        if (scriptedResult(*value, result)) expected = result == 0 ? 0 : -1;
        break;
      case Test::MinusOne:
        if (scriptedResult(*value, result)) expected = result == BRELKCCD_ERROR ? -1 : 0;
        break;
      case Test::Pattern:
        if (scriptedResult(*value, result)) expected = result >= 1 && result <= 4 ? 0 : -1;
        break;
      case Test::Value:
        expected = 0;
        if (first) rule(std::memcmp(mxGetData(first), value, sizeof(double)) == 0, "returned a value other than the SDK's");
        break;
      case Test::Percent:
        expected = truncated(*value) == -1 ? -1 : 0;
        if (first && mxGetClassID(first) == mxDOUBLE_CLASS) {
          const double want = expected == 0 ? *value / 255.0 * 100.0 : NAN;
          const double got = *static_cast<const double*>(mxGetData(first));
          rule(std::isnan(want) ? std::isnan(got) : std::memcmp(&got, &want, sizeof got) == 0,
               "returned " + std::to_string(got) + " percent for the SDK's " + std::to_string(*value));
        }
        break;
      case Test::Truncated:
        expected = truncated(*value) == -1 ? -1 : 0;
        if (first && mxGetClassID(first) == mxINT32_CLASS)
          rule(*static_cast<const int32_t*>(mxGetData(first)) == truncated(*value),
               "returned " + std::to_string(*static_cast<const int32_t*>(mxGetData(first))) + " for the SDK's " +
                   std::to_string(*value));
        break;
    }
    compared = compared || expected != 1;
    if (expected != 1)
      rule(code == expected, "status " + std::to_string(code) + " after " + last + " answered " +
                                 std::to_string(*value) + " (expected " + std::to_string(expected) + ")");
  }
  // Scripted out-pointer values land in the outputs in order; unwritten ones stay 0.
  for (const ScriptedOutputs& o : outputs_) {
    if (o.operation != operation) continue;
    compared = compared || supplied > 1;
    for (int i = 1; i < supplied && i <= static_cast<int>(c.outputs.size()); ++i) {
      const mxArray* a = slots[static_cast<size_t>(i)];
      if (!a) continue;
      const size_t k = static_cast<size_t>(i - 1);
      const bool written = k < o.values.size() && (o.mask >> k & 1u);
      const double v = written ? o.values[k] : 0.0;
      if (c.outputs[k].id == mxDOUBLE_CLASS) {
        rule(std::memcmp(mxGetData(a), &v, sizeof v) == 0,
             "output " + std::to_string(i) + " is not what the SDK wrote (" + describe(a) + ")");
      } else if (uint32_t want = 0; scriptedResult(v, want)) {
        rule(*static_cast<const uint32_t*>(mxGetData(a)) == want,
             "output " + std::to_string(i) + " is not what the SDK wrote (" + describe(a) + ")");
      }
    }
  }
  return compared;
}

bool Driver::runCase(uint64_t index, Trace& trace, std::string& failure) {
  Rng r(caseSeed(seed_, index));
  const int callsInCase = r.percent(50) ? 1 : r.percent(50) ? 2 : r.between(3, 4);
  std::vector<Module*> callees;
  for (int i = 0; i < callsInCase; ++i) callees.push_back(&modules_[r.below(static_cast<uint32_t>(modules_.size()))]);
  prepareSdk(r, trace, callees);
  for (int i = 0; i < callsInCase; ++i) {
    if (i > 0 && r.percent(50)) {
      const double seconds[] = {0.001, 0.5, 1.0, 5.0, 30.0, 600.0, 86400.0};
      const double s = r.pick(seconds);
      BrelkSimAdvance(s);
      trace.line("clock +%g s", s);
    }
    if (!callOnce(r, *callees[static_cast<size_t>(i)], trace, failure)) return false;
  }
  return true;
}

bool Driver::callOnce(Rng& r, Module& m, Trace& trace, std::string& failure) {
  const Contract* c = m.contract;
  const int reads = c ? c->inputs : 4;
  const int returns = c ? static_cast<int>(c->outputs.size()) : 6;

  const int nlhs = r.percent(50) ? returns + 1 : r.between(0, 8);
  const int nrhs = r.percent(50) ? reads + 1 : r.between(0, 6);
  const bool nullInputs = nrhs == 0 && r.percent(20);

  const size_t baseline = mexhost_live_arrays();
  std::vector<mxArray*> inputs;
  for (int i = 0; i < nrhs; ++i) {
    inputs.push_back(i == 0 ? idArray(r) : valueArray(r, c && c->reads == Reads::Byte));
  }
  std::vector<uint64_t> hashes;
  for (const mxArray* a : inputs) hashes.push_back(hashData(a));

  trace.line("call %s nlhs %d nrhs %d%s", m.name.c_str(), nlhs, nrhs, nullInputs ? " prhs NULL" : "");
  for (int i = 0; i < nrhs; ++i) trace.line("  input %d: %s", i, describe(inputs[i]).c_str());

  BrelkSimJournalClear();
  takePrinted();
  const int supplied = nlhs > 1 ? nlhs : 1;
  std::vector<mxArray*> slots(static_cast<size_t>(supplied + kSpareSlots), kUntouched);
  std::fill(slots.begin(), slots.begin() + supplied, nullptr);
  std::vector<const mxArray*> in(inputs.begin(), inputs.end());
  m.entry(nlhs, slots.data(), nrhs, nullInputs ? nullptr : in.data());
  ++calls_;
  ++m.stats.calls;

  const std::string printed = takePrinted();
  const std::vector<std::string> journal = brelksim::journal();

  std::string broken;
  auto rule = [&](bool kept, const std::string& what) {
    if (!kept && broken.empty()) broken = what;
  };

  for (size_t i = static_cast<size_t>(supplied); i < slots.size(); ++i)
    rule(slots[i] == kUntouched, "wrote output slot " + std::to_string(i) + ", which the caller did not supply");
  const mxArray* status = slots[0];
  int32_t code = 1;
  const bool statusShaped = status && mxGetClassID(status) == mxINT32_CLASS && mxGetM(status) == 1 &&
                            mxGetN(status) == 1 && !mxIsComplex(status) && !mxIsSparse(status);
  rule(statusShaped, "slot 0 holds no 1x1 real int32 status");
  if (statusShaped) code = *static_cast<const int32_t*>(mxGetData(status));
  rule(code == 0 || code == -1, "status is " + std::to_string(code));

  rule(!printed.empty() && printed.back() == '\n', "printed text does not end in a full line");
  const std::string last = lastLine(printed);
  const int outcome = announced(last);
  rule(outcome != 1, "last line printed is none a function ends with: " + quoted(last));
  rule(outcome == 1 || outcome == code, "status " + std::to_string(code) + " but last line " + quoted(last));

  // Refusal: exactly when an input cannot be read, and then nothing else.
  const bool refused = startsWith(printed, "Missing ") || startsWith(printed, "Invalid ");
  bool unreadable = nrhs < reads + 1 || nullInputs || !readableId(inputs[0]);
  for (int i = 1; i <= reads && !unreadable; ++i)
    unreadable = !(c && c->reads == Reads::Byte ? readableByte(inputs[i]) : readableNumber(inputs[i]));
  if (c) rule(refused == unreadable, unreadable ? "an unreadable input was not refused" : "a readable input was refused");
  // Ended before the SDK read: every output asked for holds its unread value.
  auto unreadOutputs = [&] {
    for (int i = 1; i < supplied && c && i <= returns; ++i) {
      const mxArray* a = slots[static_cast<size_t>(i)];
      const Out& o = c->outputs[static_cast<size_t>(i - 1)];
      if (!a || mxGetClassID(a) != o.id || mxGetNumberOfElements(a) != o.rows) return false;
      for (mwSize k = 0; k < o.rows; ++k) {
        double v = 0;
        switch (o.id) {
          case mxDOUBLE_CLASS: v = static_cast<const double*>(mxGetData(a))[k]; break;
          case mxUINT32_CLASS: v = static_cast<const uint32_t*>(mxGetData(a))[k]; break;
          case mxINT32_CLASS: v = static_cast<const int32_t*>(mxGetData(a))[k]; break;
          case mxUINT8_CLASS: v = static_cast<const uint8_t*>(mxGetData(a))[k]; break;
          default: return false;
        }
        if (std::isnan(o.unread) ? !std::isnan(v) : v != o.unread) return false;
      }
    }
    return true;
  };
  if (refused) {
    ++m.stats.refused;
    rule(journal.empty(), "refused an input but called the SDK: " + (journal.empty() ? "" : journal[0]));
    rule(code == -1, "refused an input with status 0");
    rule(printed.find('\n') == printed.size() - 1, "refusal printed more than its one line");
    rule(unreadOutputs(), "refused an input but its outputs do not say nothing was read");
  } else if (!journal.empty()) {
    std::string id;
    rule(startsWith(journal[0], "OpenBRELKCCD("), "first SDK call is not the open: " + journal[0]);
    if (nrhs > 0 && expectedId(inputs[0], id)) {
      std::string want = "OpenBRELKCCD(\"" + id + "\")";
      if (want.size() > 511) want.resize(511);  // the journal's line length
      rule(journal[0] == want, "opened " + journal[0] + " for " + quoted(id));
    }
  } else {
    rule(false, "neither refused nor called the SDK");
  }
  if (last == "Open BRELKCCD failed.\n") {
    ++m.stats.openFailed;
    rule(journal.size() == 1, "called the SDK after a failed open");
    rule(unreadOutputs(), "after a failed open the outputs do not say nothing was read");
  }
  if (startsWith(last, "Camera don't support ")) {
    ++m.stats.guarded;
    rule(!journal.empty() && startsWith(journal.back(), "IsBRELKCCDControlAvailable("),
         "a guard message without the guard's SDK call last");
    rule(unreadOutputs(), "after a failed guard the outputs do not say nothing was read");
  }

  // Outputs: the contract's class and shape, every one asked for assigned.
  for (int i = 1; i < supplied && c; ++i) {
    const mxArray* a = slots[i];
    const bool known = i <= returns;
    if (!a) {
      rule(!known, "left output " + std::to_string(i) + " unassigned");
      continue;
    }
    rule(known, "returned output " + std::to_string(i) + ", which it does not have");
    if (!known) continue;
    const Out& o = c->outputs[static_cast<size_t>(i - 1)];
    rule(mxGetClassID(a) == o.id && mxGetM(a) == o.rows && mxGetN(a) == 1 && !mxIsComplex(a) && !mxIsSparse(a),
         "output " + std::to_string(i) + " is " + describe(a));
  }
  // A reading prints the value it returns.
  if (c && returns == 1 && code == 0 && supplied > 1 && slots[1] && c->outputs[0].id == mxDOUBLE_CLASS) {
    char shown[512];
    std::snprintf(shown, sizeof shown, "%f", *static_cast<const double*>(mxGetData(slots[1])));
    rule(printed.find(shown) != std::string::npos, "printed " + quoted(printed) + " but returned " + shown);
  }
  if (c && c->outputs.size() == 1 && c->outputs[0].rows == 4 && code == 0 && supplied > 1 && slots[1]) {
    const std::string letters(static_cast<const char*>(mxGetData(slots[1])), 4);
    rule(endsWith(printed, ("successfully." + letters + "\n").c_str()),
         "printed " + quoted(printed) + " but returned " + quoted(letters));
  }

  if (c && !refused && checkOutcome(*c, journal, code, supplied, slots, rule)) ++m.stats.checkedAgainstScript;

  for (size_t i = 0; i < inputs.size(); ++i)
    rule(hashData(inputs[i]) == hashes[i], "changed input " + std::to_string(i));
  for (int i = 0; i < supplied; ++i) mxDestroyArray(slots[static_cast<size_t>(i)]);
  for (mxArray* a : inputs) mxDestroyArray(a);
  rule(mexhost_live_arrays() == baseline,
       std::to_string(mexhost_live_arrays() - baseline) + " array(s) left alive after the call");

  code == 0 ? ++m.stats.succeeded : ++m.stats.failed;
  trace.line("  status %d, printed %s", code, quoted(printed).c_str());
  if (trace.on) {
    std::string j;
    for (const std::string& e : journal) j += " " + e;
    trace.line("  SDK:%s", j.c_str());
  }
  if (broken.empty()) return true;
  failure = m.name + ": " + broken;
  return false;
}

// ------------------------------------------------------------------- set-up

std::vector<Module> loadModules(const std::string& dir, const std::string& ext, bool requireAll, bool& ok) {
  std::vector<Module> modules;
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string file = e->d_name;
      if (startsWith(file, "BRELK_") && endsWith(file, ("." + ext).c_str()))
        names.push_back(file.substr(0, file.size() - ext.size() - 1));
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  ok = true;
  for (const std::string& name : names) {
    Module m;
    m.name = name;
    for (const Contract& c : kContracts)
      if (name == c.name) m.contract = &c;
    if (!m.contract) {
      std::fprintf(stderr, "brelk_fuzz: %s is not a toolbox function this driver knows\n", name.c_str());
      if (requireAll) ok = false;
    }
    const std::string path = dir + "/" + name + "." + ext;
    std::string error;
    m.entry = mexhost::loadGateway(path, error);
    if (!m.entry) {
      std::fprintf(stderr, "brelk_fuzz: cannot load %s: %s\n", path.c_str(), error.c_str());
      ok = false;
      continue;
    }
    modules.push_back(std::move(m));
  }
  for (const Contract& c : kContracts) {
    if (std::find(names.begin(), names.end(), c.name) != names.end()) continue;
    std::fprintf(stderr, "brelk_fuzz: %s is missing from %s\n", c.name, dir.c_str());
    if (requireAll) ok = false;
  }
  return modules;
}

// Names the case that was running when a sanitizer, an abort (a MATLAB
// error in the stand-in host) or a crash ends the process.
uint64_t gSeed = 0, gCase = 0;
bool gRunning = false;

void sayWhere() {
  if (!gRunning) return;
  char buf[160];
  const int n = std::snprintf(buf, sizeof buf, "brelk_fuzz: died in case %" PRIu64 "; replay: brelk_fuzz --seed %" PRIu64
                              " --case %" PRIu64 " --verbose\n", gCase, gSeed, gCase);
  if (n > 0) (void)!write(2, buf, static_cast<size_t>(n));
}

void onFatalSignal(int sig) {
  sayWhere();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t calls = 1000000, seed = 1, onlyCase = 0;
  bool replay = false, verbose = false, requireAll = false;
  std::string dir = BRELK_MEX_DIR;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "brelk_fuzz: %s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--calls") calls = std::strtoull(value(), nullptr, 10);
    else if (arg == "--seed") seed = std::strtoull(value(), nullptr, 10);
    else if (arg == "--case") { onlyCase = std::strtoull(value(), nullptr, 10); replay = true; }
    else if (arg == "--mex-dir") dir = value();
    else if (arg == "--verbose") verbose = true;
    else if (arg == "--require-all") requireAll = true;
    else {
      std::fprintf(stderr,
                   "usage: brelk_fuzz [--calls N] [--seed S] [--mex-dir DIR] [--require-all]\n"
                   "       brelk_fuzz --seed S --case C [--verbose]\n");
      return 2;
    }
  }

  bool ok = false;
  std::vector<Module> modules = loadModules(dir, BRELK_MEX_EXT, requireAll, ok);
  if (!ok || modules.empty()) {
    std::fprintf(stderr, "brelk_fuzz: %zu modules loaded from %s; stopping\n", modules.size(), dir.c_str());
    return 1;
  }

  gSeed = seed;
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(sayWhere);
  for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) signal(sig, onFatalSignal);

  Driver driver(std::move(modules), seed);
  std::string failure;
  const auto start = std::chrono::steady_clock::now();
  uint64_t index = replay ? onlyCase : 0;
  for (; replay ? index == onlyCase : driver.calls() < calls; ++index) {
    Trace trace;
    trace.on = verbose;
    gCase = index;
    gRunning = true;
    const bool passed = driver.runCase(index, trace, failure);
    gRunning = false;
    if (verbose) std::fputs(trace.text.c_str(), stdout);
    if (!passed) {
      if (!verbose) {  // the same case again, described this time
        Trace again;
        again.on = true;
        std::string ignored;
        Driver(std::vector<Module>(driver.modules()), seed).runCase(index, again, ignored);
        std::fputs(again.text.c_str(), stderr);
      }
      std::fprintf(stderr, "FAIL %s\nin case %" PRIu64 "; replay: brelk_fuzz --seed %" PRIu64 " --case %" PRIu64
                   " --verbose\n", failure.c_str(), index, seed, index);
      return 1;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  int unexercised = 0;
  Stats total;
  std::printf("%-30s %9s %9s %9s %9s %9s %9s %9s\n", "module", "calls", "status 0", "status -1", "refused",
              "no open", "guarded", "scripted");
  for (const Module& m : driver.modules()) {
    const Stats& s = m.stats;
    total.succeeded += s.succeeded;
    total.refused += s.refused;
    total.checkedAgainstScript += s.checkedAgainstScript;
    std::printf("%-30s %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 "\n",
                m.name.c_str(), s.calls, s.succeeded, s.failed, s.refused, s.openFailed, s.guarded,
                s.checkedAgainstScript);
    // Each function must have been driven to success and past its open to a
    // failure of its own, or the run did not reach its paths.
    const bool failsWhenOpen = !m.contract || m.contract->failsWhenOpen;
    if (!replay && (s.succeeded == 0 || (failsWhenOpen && s.failed == s.refused + s.openFailed) ||
                    (m.contract && s.checkedAgainstScript == 0))) {
      std::fprintf(stderr, "brelk_fuzz: %s never reached %s\n", m.name.c_str(),
                   s.succeeded == 0 ? "success"
                   : s.checkedAgainstScript == 0 ? "a scripted SDK answer"
                                                 : "a failure after opening");
      ++unexercised;
    }
  }
  std::printf("%" PRIu64 " calls in %" PRIu64 " cases over %zu modules, seed %" PRIu64 ", %.1f s (%.0f calls/s): "
              "%" PRIu64 " succeeded, %" PRIu64 " refused an input, %" PRIu64 " checked against scripted SDK answers\n",
              driver.calls(), index, driver.modules().size(), seed, seconds, driver.calls() / seconds,
              total.succeeded, total.refused, total.checkedAgainstScript);
  return unexercised ? 1 : 0;
}
