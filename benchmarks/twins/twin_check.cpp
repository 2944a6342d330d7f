// The twin check: every hand-written twin must do exactly what its module
// does, or the benchmark's floor means nothing. Both are called from the same
// simulator state with the same inputs over a table of calls (successes,
// failures, scripted SDK answers and out values, refused and missing inputs,
// char and 8-bit IDs, nlhs 0, 1, in between, full and beyond) and must print
// the same bytes, leave every output slot alike (class, size, complexity and
// every data byte, NaN's bits included), make the same SDK calls with the
// same arguments, and release every array. The table must also make each
// module print every line it has, so that no path goes unchecked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "brelkccd_sim.h"
#include "mexhost.h"
#include "mexhost_loader.h"

namespace {

using mexhost::Gateway;
using Lines = std::vector<std::string>;

// ------------------------------------------------------------------ inputs

using Make = std::function<mxArray*()>;

mxArray* bytes(mxClassID id, const std::string& s) {
  mxArray* a = mxCreateNumericMatrix(1, s.size(), id, mxREAL);
  if (!s.empty()) std::memcpy(mxGetData(a), s.data(), s.size());
  return a;
}

mxArray* text(const std::u16string& s) {
  const mwSize dims[2] = {1, s.size()};
  mxArray* a = mxCreateCharArray(2, dims);
  if (!s.empty()) std::memcpy(mxGetData(a), s.data(), s.size() * sizeof(char16_t));
  return a;
}

std::u16string wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

template <class T>
Make scalar(mxClassID id, T value) {
  return [id, value] {
    mxArray* a = mxCreateNumericMatrix(1, 1, id, mxREAL);
    *static_cast<T*>(mxGetData(a)) = value;
    return a;
  };
}

// Arrays that hold no number and no ID: whatever the position, a refusal.
const std::vector<std::pair<const char*, Make>> kUnreadable = {
    {"function handle", [] { return mexhost_create_function_handle(); }},
    {"object (Octave)", [] { return mexhost_create_object(mxUNKNOWN_CLASS); }},
    {"object (MATLAB)", [] { return mexhost_create_object(mxOBJECT_CLASS); }},
    {"struct", [] { return mxCreateStructMatrix(1, 1, 0, nullptr); }},
    {"cell", [] { return mxCreateCellMatrix(1, 1); }},
};

// Camera IDs for a function whose camera is `camera`.
std::vector<std::pair<std::string, Make>> ids(const std::string& camera) {
  std::vector<std::pair<std::string, Make>> all = {
      {"char", [camera] { return mxCreateString(camera.c_str()); }},
      {"uint8 with 0", [camera] { return bytes(mxUINT8_CLASS, camera + '\0'); }},
      {"uint8 without 0", [camera] { return bytes(mxUINT8_CLASS, camera); }},
      {"int8 with 0 and more", [camera] { return bytes(mxINT8_CLASS, camera + std::string("\0junk", 5)); }},
      {"char column", [camera] {
         const mwSize dims[2] = {camera.size(), 1};
         mxArray* a = mxCreateCharArray(2, dims);
         for (size_t i = 0; i < camera.size(); ++i) mxGetChars(a)[i] = static_cast<mxChar>(camera[i]);
         return a;
       }},
      {"unknown camera", [] { return mxCreateString("NO-SUCH-CAMERA"); }},
      {"non-ASCII char", [] { return text(u"SIM-\u00e9\u4e2d\U0001F600"); }},
      {"char, 86 characters (heap copy)", [] { return text(wide(std::string(86, 'Q'))); }},
      {"uint8 without 0, 300 bytes (heap copy)", [] { return bytes(mxUINT8_CLASS, std::string(300, 'Q')); }},
      {"uint8, 255 bytes without 0", [] { return bytes(mxUINT8_CLASS, std::string(255, 'Q')); }},
      {"empty char", [] { return mxCreateString(""); }},
      {"char starting with 0", [] { return text(std::u16string(u"\0SIM", 4)); }},
      {"uint8 starting with 0", [] { return bytes(mxUINT8_CLASS, std::string("\0SIM", 4)); }},
      {"empty uint8", [] { return mxCreateNumericMatrix(0, 0, mxUINT8_CLASS, mxREAL); }},
      {"complex int8", [camera] {
         mxArray* a = mxCreateNumericMatrix(1, camera.size() + 1, mxINT8_CLASS, mxCOMPLEX);
         std::memcpy(mxGetData(a), camera.c_str(), camera.size() + 1);
         return a;
       }},
      {"double", [] { return mxCreateDoubleScalar(1); }},
      {"uint16", scalar<uint16_t>(mxUINT16_CLASS, 83)},
      {"logical", [] { return mxCreateLogicalMatrix(1, 1); }},
  };
  for (const auto& u : kUnreadable) all.emplace_back(u.first, u.second);
  return all;
}

// Values for a numeric input: every class read, the edges of the integer
// conversion, and arrays that hold no number.
std::vector<std::pair<std::string, Make>> numbers() {
  std::vector<std::pair<std::string, Make>> all = {
      {"double -3.7", [] { return mxCreateDoubleScalar(-3.7); }},
      {"double 1e10", [] { return mxCreateDoubleScalar(1e10); }},
      {"double 2147483647.5", [] { return mxCreateDoubleScalar(2147483647.5); }},
      {"double NaN", [] { return mxCreateDoubleScalar(NAN); }},
      {"double Inf", [] { return mxCreateDoubleScalar(INFINITY); }},
      {"double -Inf", [] { return mxCreateDoubleScalar(-INFINITY); }},
      {"double row", [] {
         mxArray* a = mxCreateDoubleMatrix(1, 3, mxREAL);
         mxGetPr(a)[0] = 7;
         mxGetPr(a)[1] = 8;
         return a;
       }},
      {"single", scalar<float>(mxSINGLE_CLASS, 2.5f)},
      {"int8", scalar<int8_t>(mxINT8_CLASS, -5)},
      {"uint8", scalar<uint8_t>(mxUINT8_CLASS, 200)},
      {"int16", scalar<int16_t>(mxINT16_CLASS, -300)},
      {"uint16", scalar<uint16_t>(mxUINT16_CLASS, 640)},
      {"int32", scalar<int32_t>(mxINT32_CLASS, INT32_MIN)},
      {"uint32", scalar<uint32_t>(mxUINT32_CLASS, UINT32_MAX)},
      {"int64", scalar<int64_t>(mxINT64_CLASS, INT64_MIN)},
      {"uint64", scalar<uint64_t>(mxUINT64_CLASS, UINT64_MAX)},
      {"logical", [] { return mxCreateLogicalMatrix(1, 1); }},
      {"empty double", [] { return mxCreateDoubleMatrix(0, 0, mxREAL); }},
      {"empty int32", [] { return mxCreateNumericMatrix(1, 0, mxINT32_CLASS, mxREAL); }},
      {"complex double", [] {
         mxArray* a = mxCreateDoubleMatrix(1, 1, mxCOMPLEX);
         mxGetPr(a)[0] = 30;
         return a;
       }},
      {"sparse", [] {
         mxArray* a = mxCreateSparse(1, 1, 1, mxREAL);
         mxGetPr(a)[0] = 30;
         return a;
       }},
      {"char '5'", [] { return mxCreateString("5"); }},
  };
  for (const auto& u : kUnreadable) all.emplace_back(u.first, u.second);
  return all;
}

// ------------------------------------------------------- simulator states

struct Script {
  const char* operation;
  int32_t control;
  double result;
};

// What the simulator holds before a call: cameras initialised or at
// power-on, scripted answers and out values, and anything done to a camera.
struct State {
  std::string name;
  bool initialised = true;
  std::vector<Script> scripts;
  std::vector<double> outputs;  // what the function's out-pointer operation writes...
  uint32_t mask = 0;            // ...where bit i is set
  const char* outputsOf = nullptr;
  std::function<void()> before;
};

void prepare(const State& s) {
  BrelkSimReset();
  BrelkSimSetManualClock(1);  // nothing moves between the module's call and the twin's
  if (s.initialised) {
    for (const char* id : {"SIM-MONO", "SIM-COLOR"}) {
      BrelkCcdHandle* h = OpenBRELKCCD(id);
      ASSERT_NE(h, nullptr);
      ASSERT_EQ(SetBRELKCCDReadMode(h, 0), 0u);
      ASSERT_EQ(SetBRELKCCDStreamMode(h, 0), 0u);
      ASSERT_EQ(InitBRELKCCD(h), 0u);
    }
  }
  if (s.before) s.before();
  for (const Script& script : s.scripts) {
    ASSERT_EQ(BrelkSimScript(script.operation, script.control, script.result), 0) << script.operation;
  }
  if (s.outputsOf) {
    ASSERT_EQ(BrelkSimScriptOutputs(s.outputsOf, s.outputs.size(), s.outputs.data(), s.mask), 0);
  }
  BrelkSimJournalClear();
  mexhost::takePrinted();
}

// ----------------------------------------------------------------- a call

// Marks slots no function may write.
mxArray* const kUntouched = reinterpret_cast<mxArray*>(static_cast<uintptr_t>(0xDEAD0));

// One output slot as text: class, size, complexity and every byte of its data.
std::string slotText(const mxArray* a) {
  if (a == kUntouched) return "untouched";
  if (!a) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "class %d, ", static_cast<int>(mxGetClassID(a)));
  std::string s = buf;
  const mwSize nd = mxGetNumberOfDimensions(a);
  for (mwSize i = 0; i < nd; ++i) s += (i ? "x" : "") + std::to_string(mxGetDimensions(a)[i]);
  s += mxIsComplex(a) ? " complex" : " real";
  s += mxIsSparse(a) ? " sparse" : "";
  const auto* data = static_cast<const unsigned char*>(mxGetData(a));
  const size_t size = mxGetNumberOfElements(a) * mxGetElementSize(a);
  s += ", data";
  for (size_t i = 0; data && i < size; ++i) {
    std::snprintf(buf, sizeof buf, " %02x", data[i]);
    s += buf;
  }
  return s;
}

struct Outcome {
  std::string printed;
  Lines journal;
  Lines slots;
};

Outcome run(Gateway entry, const State& state, int nlhs, std::vector<const mxArray*> inputs, bool nullInputs) {
  Outcome o;
  prepare(state);
  const size_t supplied = static_cast<size_t>(nlhs > 1 ? nlhs : 1);
  std::vector<mxArray*> slots(supplied + 4, kUntouched);
  std::fill(slots.begin(), slots.begin() + static_cast<long>(supplied), nullptr);
  entry(nlhs, slots.data(), static_cast<int>(inputs.size()), nullInputs ? nullptr : inputs.data());
  o.printed = mexhost::takePrinted();
  o.journal = brelksim::journal();
  for (mxArray* a : slots) {
    o.slots.push_back(slotText(a));
    if (a != kUntouched) mxDestroyArray(a);
  }
  return o;
}

Gateway load(const std::string& path) {
  std::string error;
  Gateway entry = mexhost::loadGateway(path, error);
  EXPECT_NE(entry, nullptr) << path << ": " << error;
  return entry;
}

// ----------------------------------------------------------- the functions

struct Function {
  const char* name;
  std::string camera;                 // the camera it works on
  std::vector<const char*> inputs;    // names of the inputs after the ID
  std::vector<double> goodInputs;     // values the camera takes
  int outputs;                        // after the status
  std::vector<std::string> lines;     // every line it can print
  std::vector<State> states;          // SDK answers and camera states
};

std::vector<Function> functions() {
  const std::vector<std::string> common = {"Open BRELKCCD failed.\n", "Missing camera ID.\n", "Invalid camera ID.\n"};
  auto lines = [&common](std::vector<std::string> own) {
    own.insert(own.end(), common.begin(), common.end());
    return own;
  };
  auto scripted = [](const char* operation, int32_t control, std::vector<double> results) {
    std::vector<State> states;
    for (double r : results) {
      char name[96];
      std::snprintf(name, sizeof name, "%s(%d) answers %.17g", operation, control, r);
      states.push_back({name, true, {{operation, control, r}}, {}, 0, nullptr, nullptr});
    }
    return states;
  };
  auto join = [](std::vector<State> a, const std::vector<State>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::vector<State> basic = {
      {"camera initialised", true, {}, {}, 0, nullptr, nullptr},
      {"camera at power-on", false, {}, {}, 0, nullptr, nullptr},
      {"open scripted to fail", true, {{"OpenBRELKCCD", BRELKSIM_ANY_CONTROL, 0}}, {}, 0, nullptr, nullptr},
  };
  const std::vector<double> results = {-1, 0, 1, 2, 4294967294.0};
  const std::vector<double> readings = {-1, -1.5, -0.5, -2, 0, 0.5, 51, 78, 127.5, 255, 256, 300, 2147483648.0, 1e300, NAN};
  const std::vector<double> chip = {11.52, 7.68, 3072, 2048, 3.75, 1.0 / 3.0, 16};

  std::vector<State> chipStates = join(basic, scripted("GetBRELKCCDChipInfo", BRELKSIM_ANY_CONTROL, results));
  for (uint32_t mask : {0x7Fu, 0x00u, 0x15u, 0x2Au, 0x40u})
    for (double result : {0.0, -1.0})
      chipStates.push_back({"chip info writes mask " + std::to_string(mask) + ", answers " + std::to_string(result),
                            true, {{"GetBRELKCCDChipInfo", BRELKSIM_ANY_CONTROL, result}}, chip, mask,
                            "GetBRELKCCDChipInfo", nullptr});

  std::vector<State> wheelStates = join(join(basic, scripted("IsBRELKCCDControlAvailable", BRELKCCD_CFW, {-1, 0, 3})),
                                        scripted("GetBRELKCCDParam", BRELKCCD_CFW, readings));
  wheelStates.push_back({"wheel moving", true, {}, {}, 0, nullptr, [] {
                           SetBRELKCCDParam(OpenBRELKCCD("SIM-MONO"), BRELKCCD_CFW, '3');
                         }});

  std::vector<State> coolerStates = join(basic, scripted("GetBRELKCCDParam", BRELKCCD_COOLER_PWM, readings));
  coolerStates.push_back({"cooler at 128", true, {}, {}, 0, nullptr, [] {
                            SetBRELKCCDParam(OpenBRELKCCD("SIM-MONO"), BRELKCCD_COOLER_PWM, 128);
                          }});

  return {
      {"BRELK_6_SetGain", "SIM-MONO", {"value"}, {30}, 0,
       lines({"Set camera gain successfully.\n", "Set camera gain failed.\n", "Missing value.\n", "Invalid value.\n"}),
       join(basic, scripted("SetBRELKCCDParam", BRELKCCD_GAIN, results))},
      {"BRELK_6_SetROI", "SIM-MONO", {"x", "y", "sizex", "sizey"}, {0, 0, 640, 480}, 0,
       lines({"x = 0.000000 y = 0.000000 sizex = 640.000000 sizey = 480.000000\n",
              "Set camera ROI successfully***********.\n", "Set camera ROI failed.\n", "Missing x.\n", "Invalid x.\n",
              "Missing y.\n", "Invalid y.\n", "Missing sizex.\n", "Invalid sizex.\n", "Missing sizey.\n",
              "Invalid sizey.\n"}),
       join(basic, scripted("SetBRELKCCDResolution", BRELKSIM_ANY_CONTROL, results))},
      {"BRELK_7_GetChipInfo", "SIM-MONO", {}, {}, 6,
       lines({"Get camera chip info successfully.\n", "Get camera chip info failed.\n"}), chipStates},
      {"BRELK_7_GetDebayer", "SIM-COLOR", {}, {}, 1,
       lines({"Get debayer format successfully.GBRG\n", "Get debayer format successfully.GRBG\n",
              "Get debayer format successfully.BGGR\n", "Get debayer format successfully.RGGB\n",
              "Get debayer format failed.\n", "Debayer format error.\n", "Camera don't support color function.\n"}),
       join(join(basic, scripted("IsBRELKCCDControlAvailable", BRELKCCD_COLOR_CAMERA, {-1, 0, 2})),
            scripted("IsBRELKCCDControlAvailable", BRELKCCD_COLOR_PATTERN, {-1, 0, 1, 2, 3, 4, 5, 4294967294.0}))},
      {"BRELK_8_GetCFWStatus", "SIM-MONO", {}, {}, 1,
       lines({"Get CFW status successfully.\n", "Get CFW status failed.\n",
              "Camera don't support CFW control function.\n"}),
       wheelStates},
      {"BRELK_7_GetCoolerPWM", "SIM-MONO", {}, {}, 1,
       lines({"Current cooler PWM : 50.196078 %\n", "Get cooler PWM failed.\n"}), coolerStates},
  };
}

// Test names and messages show the function by its name.
void PrintTo(const Function& f, std::ostream* os) { *os << f.name; }

// ---------------------------------------------------------------- the check

class TwinCheck : public testing::TestWithParam<Function> {
 protected:
  // One call of module and twin, compared; what the module printed is kept.
  void compare(const State& state, int nlhs, const std::vector<Make>& makeInputs, const std::string& what,
               bool nullInputs = false) {
    std::vector<const mxArray*> inputs;
    for (const Make& make : makeInputs) inputs.push_back(make());
    const size_t live = mexhost_live_arrays();
    const Outcome m = run(module_, state, nlhs, inputs, nullInputs);
    const Outcome t = run(twin_, state, nlhs, inputs, nullInputs);
    EXPECT_EQ(mexhost_live_arrays(), live) << what << ": an array was left behind";
    for (const mxArray* a : inputs) mxDestroyArray(const_cast<mxArray*>(a));
    const std::string context = std::string(GetParam().name) + ", " + what + ", " + state.name + ", nlhs " +
                                std::to_string(nlhs);
    EXPECT_EQ(t.printed, m.printed) << context;
    EXPECT_EQ(t.journal, m.journal) << context;
    EXPECT_EQ(t.slots, m.slots) << context;
    printed_.insert(m.printed);
    ++calls_;
  }

  std::vector<Make> goodInputs(const std::pair<std::string, Make>& id) const {
    std::vector<Make> in{id.second};
    for (double v : GetParam().goodInputs) in.push_back([v] { return mxCreateDoubleScalar(v); });
    return in;
  }

  std::vector<int> nlhsValues() const {
    const int full = GetParam().outputs + 1;
    std::set<int> values{0, 1, 2, full, full + 2};
    return {values.begin(), values.end()};
  }

  void SetUp() override {
    module_ = load(std::string(BRELK_MEX_DIR) + "/" + GetParam().name + "." + BRELK_MEX_EXT);
    twin_ = load(std::string(BRELK_TWIN_DIR) + "/twin_" + GetParam().name + "." + BRELK_MEX_EXT);
    if (!module_ || !twin_) GTEST_SKIP();
  }

  Gateway module_ = nullptr;
  Gateway twin_ = nullptr;
  std::set<std::string> printed_;
  int calls_ = 0;
};

TEST_P(TwinCheck, DoesWhatItsModuleDoes) {
  const Function& f = GetParam();
  const auto allIds = ids(f.camera);
  const State& initialised = f.states.front();

  // Every camera ID, with and without the outputs.
  for (const auto& id : allIds)
    for (int nlhs : nlhsValues()) compare(initialised, nlhs, goodInputs(id), "ID " + id.first);

  // No inputs at all, with an empty or a null input list; the ID alone.
  for (int nlhs : nlhsValues()) {
    compare(initialised, nlhs, {}, "no inputs");
    compare(initialised, nlhs, {}, "no inputs, null list", true);
    if (!f.inputs.empty()) compare(initialised, nlhs, {allIds.front().second}, "only the ID");
  }

  // Every value in every input position, and each input missing.
  const auto values = numbers();
  for (size_t position = 0; position < f.inputs.size(); ++position) {
    for (const auto& value : values) {
      for (int nlhs : {0, 1, 2}) {
        std::vector<Make> in = goodInputs(allIds.front());
        in[position + 1] = value.second;
        compare(initialised, nlhs, in, std::string(f.inputs[position]) + " " + value.first);
      }
    }
    std::vector<Make> in = goodInputs(allIds.front());
    in.resize(position + 1);
    compare(initialised, 1, in, std::string(f.inputs[position]) + " missing");
    // A refused ID stops before this input is read.
    in = goodInputs(allIds.front());
    in[0] = kUnreadable.front().second;
    in[position + 1] = kUnreadable.back().second;
    compare(initialised, 1, in, std::string(f.inputs[position]) + " unreadable after an unreadable ID");
  }

  // Every camera state and SDK answer, with the ID as char and as bytes.
  for (const State& state : f.states)
    for (int nlhs : nlhsValues())
      for (size_t i : {size_t{0}, size_t{1}}) compare(state, nlhs, goodInputs(allIds[i]), "ID " + allIds[i].first);

  // The table reaches every line the function prints.
  for (const std::string& line : f.lines) {
    bool seen = false;
    for (const std::string& p : printed_) seen = seen || p.find(line) != std::string::npos;
    EXPECT_TRUE(seen) << f.name << " never printed \"" << line << "\" in " << calls_ << " calls";
  }
}

INSTANTIATE_TEST_SUITE_P(Twins, TwinCheck, testing::ValuesIn(functions()),
                         [](const testing::TestParamInfo<Function>& info) { return std::string(info.param.name); });

}  // namespace
