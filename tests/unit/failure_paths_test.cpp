// What every function returns when it ends before its SDK read: a refused
// input (function handles and objects among them, whose data a host must
// never be asked for), a camera that does not open, or a missing feature.
// Every output the caller asked for is there, with its class and size and
// the value that says nothing was read.
#include <cmath>
#include <cstring>

#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class FailurePathTest : public ModuleTest {};

// An output as a failed call returns it: class, rows, the value of every element.
struct Unread {
  mxClassID id;
  mwSize rows;
  double value;
};
const Unread kNaN{mxDOUBLE_CLASS, 1, NAN}, kU32Zero{mxUINT32_CLASS, 1, 0};

struct Function {
  const char* name;
  std::vector<const char*> inputs;  // after the ID
  std::vector<Unread> outputs;      // after the status
  int guard;                        // availability control, or -1
};

const Function kFunctions[] = {
    {"BRELK_2_SetReadMode", {"readMode"}, {}, -1},
    {"BRELK_3_SetStreamMode", {"streamMode"}, {}, -1},
    {"BRELK_4_InitCamera", {}, {}, -1},
    {"BRELK_6_SetLiveBrightness", {"value"}, {}, -1},
    {"BRELK_6_SetLiveContrast", {"value"}, {}, -1},
    {"BRELK_6_SetLiveWBR", {"value"}, {}, -1},
    {"BRELK_6_SetLiveWBB", {"value"}, {}, -1},
    {"BRELK_6_SetLiveWBG", {"value"}, {}, -1},
    {"BRELK_6_SetLiveGamma", {"value"}, {}, -1},
    {"BRELK_6_SetGain", {"value"}, {}, -1},
    {"BRELK_6_SetOffset", {"value"}, {}, -1},
    {"BRELK_6_SetExposeTime", {"value"}, {}, -1},
    {"BRELK_6_SetTraffic", {"value"}, {}, -1},
    {"BRELK_6_SetCoolerPWM", {"percent"}, {}, -1},
    {"BRELK_6_SetCoolerOFF", {}, {}, -1},
    {"BRELK_6_SetCoolerTemperature", {"value"}, {}, -1},
    {"BRELK_6_SetDDR", {"value"}, {}, -1},
    {"BRELK_6_SetROI", {"x", "y", "sizex", "sizey"}, {}, -1},
    {"BRELK_7_GetEffective", {}, {kU32Zero, kU32Zero, kU32Zero, kU32Zero}, -1},
    {"BRELK_7_GetOverscan", {}, {kU32Zero, kU32Zero, kU32Zero, kU32Zero}, -1},
    {"BRELK_7_GetChipInfo", {}, {kNaN, kNaN, kU32Zero, kU32Zero, kNaN, kNaN}, -1},
    {"BRELK_7_GetTemperature", {}, {kNaN}, -1},
    {"BRELK_7_GetCoolerPWM", {}, {kNaN}, -1},
    {"BRELK_7_GetHumidity", {}, {kNaN}, 62},
    {"BRELK_7_GetPressure", {}, {kNaN}, 63},
    {"BRELK_7_GetDebayer", {}, {{mxUINT8_CLASS, 4, 0}}, 59},
    {"BRELK_8_CheckCFWPlug", {}, {}, 17},
    {"BRELK_8_GetCFWSlotsNum", {}, {{mxINT32_CLASS, 1, -1}}, 17},
    {"BRELK_8_GetCFWStatus", {}, {{mxUINT8_CLASS, 1, 255}}, 17},
    {"BRELK_8_SetCFWTarget", {"target position"}, {}, 17},
    {"BRELK_9_BeginSingleExpose", {}, {}, -1},
    {"BRELK_9_StopSingleCapture", {}, {}, -1},
    {"BRELK_10_BeginLiveExpose", {}, {}, -1},
    {"BRELK_10_StopLiveCapture", {}, {}, -1},
    {"BRELK_11_CloseCamera", {}, {}, -1},
};

// Inputs the function can read: the ID and ones.
std::vector<mxArray*> goodInputs(const Function& f) {
  std::vector<mxArray*> in{bytes("SIM-MONO")};
  for (size_t i = 0; i < f.inputs.size(); ++i) in.push_back(number(1));
  return in;
}

// Slots 1 to nlhs-1 hold the function's unread outputs; NaN compares as NaN.
void expectUnread(const Result& r, const Function& f, int nlhs, const std::string& context) {
  const size_t asked = static_cast<size_t>(nlhs > 1 ? nlhs : 1);
  for (size_t slot = 1; slot < asked; ++slot) {
    const mxArray* a = r.output(slot);
    if (slot > f.outputs.size()) {
      EXPECT_EQ(a, nullptr) << context << ": slot " << slot << " is no output of the function";
      continue;
    }
    const Unread& u = f.outputs[slot - 1];
    ASSERT_NE(a, nullptr) << context << ": output " << slot << " not assigned";
    EXPECT_EQ(mxGetClassID(a), u.id) << context << " output " << slot;
    EXPECT_EQ(mxGetM(a), u.rows) << context << " output " << slot;
    EXPECT_EQ(mxGetN(a), 1u) << context << " output " << slot;
    EXPECT_FALSE(mxIsComplex(a)) << context << " output " << slot;
    if (mxGetClassID(a) != u.id) continue;
    for (size_t i = 0; i < u.rows; ++i) {
      const double v = element(a, i);
      if (std::isnan(u.value)) EXPECT_TRUE(std::isnan(v)) << context << " output " << slot << " is " << v;
      else EXPECT_EQ(v, u.value) << context << " output " << slot << " element " << i;
    }
  }
}

// Arrays whose data no host lets a module touch, and others that hold no number.
struct Odd {
  const char* what;
  mxArray* (*make)();
};
const Odd kOdd[] = {
    {"function handle", [] { return mexhost_create_function_handle(); }},
    {"object (Octave)", [] { return mexhost_create_object(mxUNKNOWN_CLASS); }},
    {"object (MATLAB)", [] { return mexhost_create_object(mxOBJECT_CLASS); }},
    {"struct", [] { return mxCreateStructMatrix(1, 1, 0, nullptr); }},
    {"cell", [] { return mxCreateCellMatrix(1, 1); }},
};

// In every input position of every function, the ID included: the refusal
// line for that input, status -1, nothing sent to the SDK, and the outputs.
TEST_F(FailurePathTest, HandlesObjectsStructsAndCellsAreRefusedInEveryPosition) {
  for (const Function& f : kFunctions) {
    for (const Odd& odd : kOdd) {
      for (size_t position = 0; position <= f.inputs.size(); ++position) {
        std::vector<mxArray*> in = goodInputs(f);
        mxDestroyArray(in[position]);
        in[position] = odd.make();
        const int nlhs = static_cast<int>(f.outputs.size()) + 1;
        Result r = call(f.name, nlhs, in);
        const std::string context = std::string(f.name) + ", " + odd.what + " as input " + std::to_string(position);
        const std::string name = position == 0 ? "camera ID" : f.inputs[position - 1];
        EXPECT_EQ(r.printed, "Invalid " + name + ".\n") << context;
        EXPECT_EQ(r.status, -1) << context;
        EXPECT_EQ(r.journal, Lines{}) << context;
        expectUnread(r, f, nlhs, context);
      }
    }
  }
}

// A camera that does not open, asked for every output, for some, and for
// more than the function has: the frame never writes past what it returns.
TEST_F(FailurePathTest, AFailedOpenAssignsEveryOutputAskedFor) {
  for (const Function& f : kFunctions) {
    const int full = static_cast<int>(f.outputs.size()) + 1;
    for (int nlhs : {0, 1, 2, full, full + 2}) {
      std::vector<mxArray*> in = goodInputs(f);
      mxDestroyArray(in[0]);
      in[0] = bytes("NO-SUCH");
      Result r = call(f.name, nlhs, in);
      const std::string context = std::string(f.name) + " nlhs " + std::to_string(nlhs);
      const std::string echo = std::strcmp(f.name, "BRELK_2_SetReadMode") == 0 ? "id = NO-SUCH\n" : "";
      EXPECT_EQ(r.printed, echo + "Open BRELKCCD failed.\n") << context;
      EXPECT_EQ(r.status, -1) << context;
      EXPECT_EQ(r.journal, Lines{"OpenBRELKCCD(\"NO-SUCH\")"}) << context;
      expectUnread(r, f, nlhs, context);
    }
  }
}

TEST_F(FailurePathTest, AFailedGuardAssignsEveryOutputAskedFor) {
  for (const Function& f : kFunctions) {
    if (f.guard < 0) continue;
    script("IsBRELKCCDControlAvailable", f.guard, -1);
    const int nlhs = static_cast<int>(f.outputs.size()) + 1;
    Result r = call(f.name, nlhs, goodInputs(f));
    EXPECT_EQ(r.status, -1) << f.name;
    EXPECT_EQ(r.journal, (Lines{"OpenBRELKCCD(\"SIM-MONO\")", "IsBRELKCCDControlAvailable(" +
                                                                  std::to_string(f.guard) + ")"}))
        << f.name;
    EXPECT_EQ(r.printed.rfind("Camera don't support ", 0), 0u) << f.name << ": " << r.printed;
    expectUnread(r, f, nlhs, f.name);
  }
}

// The refused ID reaches no SDK call and still gives the read mode's
// refusal alone: the ID echo belongs to IDs that can be read.
TEST_F(FailurePathTest, ARefusedIdIsNotEchoed) {
  Result r = call("BRELK_2_SetReadMode", 1, {mexhost_create_function_handle(), number(0)});
  EXPECT_EQ(r.printed, "Invalid camera ID.\n");
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.journal, Lines{});
}

}  // namespace
