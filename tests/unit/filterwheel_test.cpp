// Filter wheel: plug check, slot count, status and target, all behind the
// guard for control 17 and all with the minus-one test.
#include <cmath>
#include <cstdint>

#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

const char* const kOpen = "OpenBRELKCCD(\"SIM-MONO\")";
const char* const kGuard = "IsBRELKCCDControlAvailable(17)";
const char* const kNoWheelControl = "Camera don't support CFW control function.\n";

// The guard passes unless a test scripts otherwise.
class FilterWheelTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    script("IsBRELKCCDControlAvailable", 17, 0);
  }
};

// A real 1x1 array of class `id` in slot 1.
void expectScalar(const Result& r, mxClassID id, const std::string& context) {
  const mxArray* a = r.output(1);
  ASSERT_NE(a, nullptr) << context;
  EXPECT_EQ(mxGetClassID(a), id) << context;
  EXPECT_EQ(mxGetM(a), 1u) << context;
  EXPECT_EQ(mxGetN(a), 1u) << context;
  EXPECT_FALSE(mxIsComplex(a)) << context;
}

// Both reads truncate the SDK's double toward zero before the minus-one test,
// and store the truncated value before it too.
TEST_F(FilterWheelTest, SlotCountIsTheTruncatedValueStoredBeforeTheTest) {
  struct Case {
    double value;
    int32_t slots;
    int32_t status;
  } cases[] = {
      {7.0, 7, 0},           {-1.0, -1, -1},         {-1.5, -1, -1}, {-0.5, 0, 0},
      {7.9, 7, 0},           {-2.0, -2, 0},          {NAN, INT32_MIN, 0},
      {3e9, INT32_MIN, 0},
  };
  for (const Case& c : cases) {
    script("GetBRELKCCDParam", 44, c.value);
    Result r = call("BRELK_8_GetCFWSlotsNum", 2, {bytes("SIM-MONO")});
    const std::string context = "value " + std::to_string(c.value);
    EXPECT_EQ(r.status, c.status) << context;
    EXPECT_EQ(r.printed, c.status == 0 ? "Get CFW slots number successfully.\n" : "Get CFW slots number failed.\n")
        << context;
    EXPECT_EQ(r.journal, (Lines{kOpen, kGuard, "GetBRELKCCDParam(44)"})) << context;
    expectScalar(r, mxINT32_CLASS, context);
    EXPECT_EQ(r.values<int32_t>(1), std::vector<int32_t>{c.slots}) << context;
  }
}

// The status keeps the low 8 bits of the truncated value: a failed read shows 255.
TEST_F(FilterWheelTest, WheelStatusKeepsTheLowByteOfTheTruncatedValue) {
  struct Case {
    double value;
    uint8_t wheel;
    int32_t status;
  } cases[] = {
      {51.0, 51, 0}, {-1.0, 255, -1}, {-1.5, 255, -1}, {-0.5, 0, 0}, {255.9, 255, 0},
      {256.0, 0, 0}, {300.7, 44, 0},  {-2.0, 254, 0},  {NAN, 0, 0},
  };
  for (const Case& c : cases) {
    script("GetBRELKCCDParam", 17, c.value);
    Result r = call("BRELK_8_GetCFWStatus", 2, {bytes("SIM-MONO")});
    const std::string context = "value " + std::to_string(c.value);
    EXPECT_EQ(r.status, c.status) << context;
    EXPECT_EQ(r.printed, c.status == 0 ? "Get CFW status successfully.\n" : "Get CFW status failed.\n") << context;
    EXPECT_EQ(r.journal, (Lines{kOpen, kGuard, "GetBRELKCCDParam(17)"})) << context;
    expectScalar(r, mxUINT8_CLASS, context);
    EXPECT_EQ(r.values<uint8_t>(1), std::vector<uint8_t>{c.wheel}) << context;
  }
}

mxArray* charCode(char16_t code) { return text(std::u16string(1, code)); }

// 8-bit arrays give their first byte, read as signed; other number classes
// give their first value, truncated and wrapped to signed 8 bits.
TEST_F(FilterWheelTest, TargetIsASigned8BitValue) {
  mxArray* pair = mxCreateNumericMatrix(1, 2, mxDOUBLE_CLASS, mxREAL);
  mxGetPr(pair)[0] = 4;
  mxGetPr(pair)[1] = 9;
  struct Case {
    const char* what;
    mxArray* target;
    const char* sent;
  } cases[] = {
      {"uint8 48", typed<uint8_t>(mxUINT8_CLASS, 48), "48"},
      {"uint8 200", typed<uint8_t>(mxUINT8_CLASS, 200), "-56"},
      {"uint8 row", bytes("7", false), "55"},
      {"int8 -5", typed<int8_t>(mxINT8_CLASS, -5), "-5"},
      {"char '3'", text(u"3"), "51"},
      {"char '35'", text(u"35"), "51"},
      {"char U+1234", charCode(0x1234), "52"},
      {"double 3", number(3), "3"},
      {"double 51", number(51), "51"},
      {"double 3.9", number(3.9), "3"},
      {"double -1.7", number(-1.7), "-1"},
      {"double 200", number(200), "-56"},
      {"double NaN", number(NAN), "0"},
      {"double row", pair, "4"},
      {"single 2.5", typed<float>(mxSINGLE_CLASS, 2.5f), "2"},
      {"int16 300", typed<int16_t>(mxINT16_CLASS, 300), "44"},
      {"uint32 7", typed<uint32_t>(mxUINT32_CLASS, 7), "7"},
      {"logical true", typed<mxLogical>(mxLOGICAL_CLASS, true), "1"},
  };
  script("SetBRELKCCDParam", 17, 0);
  for (const Case& c : cases) {
    Result r = call("BRELK_8_SetCFWTarget", 1, {bytes("SIM-MONO"), c.target});
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.printed, "Set CFW target position successfully.\n") << c.what;
    EXPECT_EQ(r.journal, (Lines{kOpen, kGuard, std::string("SetBRELKCCDParam(17, ") + c.sent + ")"})) << c.what;
  }
}

TEST_F(FilterWheelTest, UnusableTargetsAreRefusedBeforeTheOpen) {
  struct Case {
    std::vector<mxArray*> inputs;
    const char* printed;
  } cases[] = {
      {{bytes("SIM-MONO")}, "Missing target position.\n"},
      {{bytes("SIM-MONO"), empty(mxUINT8_CLASS)}, "Invalid target position.\n"},
      {{bytes("SIM-MONO"), text(u"")}, "Invalid target position.\n"},
      {{bytes("SIM-MONO"), empty()}, "Invalid target position.\n"},
      {{bytes("SIM-MONO"), mxCreateCellMatrix(1, 1)}, "Invalid target position.\n"},
      {{bytes("SIM-MONO"), mxCreateNumericMatrix(1, 1, mxINT8_CLASS, mxCOMPLEX)}, "Invalid target position.\n"},
  };
  for (Case& c : cases) {
    Result r = call("BRELK_8_SetCFWTarget", 1, c.inputs);
    EXPECT_EQ(r.status, -1) << c.printed;
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_TRUE(r.journal.empty()) << c.printed;
  }
}

// Only -1 from the SDK is a failure; positive results succeed.
TEST_F(FilterWheelTest, PlugCheckAndTargetUseTheMinusOneTest) {
  struct Module {
    const char* module;
    const char* operation;
    const char* sdkCall;
    const char* ok;
    const char* failed;
  } modules[] = {
      {"BRELK_8_CheckCFWPlug", "IsBRELKCCDCFWPlugged", "IsBRELKCCDCFWPlugged()", "CFW is connected to camera.\n",
       "No CFW is connected to camera.\n"},
      {"BRELK_8_SetCFWTarget", "SetBRELKCCDParam", "SetBRELKCCDParam(17, 3)",
       "Set CFW target position successfully.\n", "Set CFW target position failed.\n"},
  };
  for (const Module& m : modules) {
    for (double result : {0.0, 1.0, 7.0, -1.0}) {
      script(m.operation, result);
      Result r = call(m.module, 1, {bytes("SIM-MONO"), number(3)});
      const bool ok = result != -1.0;
      EXPECT_EQ(r.status, ok ? 0 : -1) << m.module << " " << result;
      EXPECT_EQ(r.printed, ok ? m.ok : m.failed) << m.module << " " << result;
      EXPECT_EQ(r.journal, (Lines{kOpen, kGuard, m.sdkCall})) << m.module;
    }
  }
}

struct WheelModule {
  const char* module;
  const char* sdkCall;  // after the guard
  int outputs;          // counting the status
};
const WheelModule kWheelModules[] = {
    {"BRELK_8_CheckCFWPlug", "IsBRELKCCDCFWPlugged()", 1},
    {"BRELK_8_GetCFWSlotsNum", "GetBRELKCCDParam(44)", 2},
    {"BRELK_8_GetCFWStatus", "GetBRELKCCDParam(17)", 2},
    {"BRELK_8_SetCFWTarget", "SetBRELKCCDParam(17, 2)", 1},
};

// Only -1 stops at the guard; 0 and positive go on.
TEST_F(FilterWheelTest, GuardStopsEveryWheelFunctionOnlyOnMinusOne) {
  script("IsBRELKCCDCFWPlugged", 0);
  script("SetBRELKCCDParam", 0);
  script("GetBRELKCCDParam", 5);
  for (const WheelModule& m : kWheelModules) {
    for (double availability : {-1.0, 0.0, 1.0, 3.0}) {
      script("IsBRELKCCDControlAvailable", 17, availability);
      Result r = call(m.module, 2, {bytes("SIM-MONO"), number(2)});
      const std::string context = std::string(m.module) + " " + std::to_string(availability);
      if (availability == -1.0) {
        EXPECT_EQ(r.status, -1) << context;
        EXPECT_EQ(r.printed, kNoWheelControl) << context;
        EXPECT_EQ(r.journal, (Lines{kOpen, kGuard})) << context;
        EXPECT_EQ(r.outputCount(), static_cast<size_t>(m.outputs)) << context;
      } else {
        EXPECT_EQ(r.status, 0) << context;
        EXPECT_EQ(r.journal, (Lines{kOpen, kGuard, m.sdkCall})) << context;
        EXPECT_EQ(r.outputCount(), static_cast<size_t>(m.outputs)) << context;
      }
    }
  }
}

// Without output 1 supplied the SDK is still read and the status still tested.
TEST_F(FilterWheelTest, ReadsWithoutTheirOutputStillSetTheStatus) {
  for (const char* module : {"BRELK_8_GetCFWSlotsNum", "BRELK_8_GetCFWStatus"}) {
    for (double value : {-1.0, 6.0}) {
      script("GetBRELKCCDParam", value);
      for (int nlhs : {0, 1}) {
        Result r = call(module, nlhs, {bytes("SIM-MONO")});
        EXPECT_EQ(r.status, value == -1.0 ? -1 : 0) << module << " nlhs " << nlhs;
        EXPECT_EQ(r.journal.size(), 3u) << module;
        EXPECT_EQ(r.outputCount(), 1u) << module;
      }
    }
  }
}

}  // namespace
