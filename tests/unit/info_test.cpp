// Sensor geometry, sensor readings and colour pattern: every output holds
// exactly what the SDK wrote or returned, in the class the function promises.
#include <cmath>
#include <cstring>

#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class InfoTest : public ModuleTest {};

const char* const kOpen = "OpenBRELKCCD(\"SIM-MONO\")";
const char* const kOpenColour = "OpenBRELKCCD(\"SIM-COLOR\")";

// What an operation writes through its out pointers: values[i] when bit i of
// `written` is set, nothing otherwise.
void scriptOutputs(const char* operation, const std::vector<double>& values, uint32_t written) {
  ASSERT_EQ(BrelkSimScriptOutputs(operation, values.size(), values.data(), written), 0) << operation;
}

std::string available(int control) { return "IsBRELKCCDControlAvailable(" + std::to_string(control) + ")"; }

// One expected 1x1 output.
struct Out {
  mxClassID id;
  double value;
};

// Slots 1.. hold real 1x1 arrays of the expected classes and values.
void expectOutputs(const Result& r, const std::vector<Out>& expected, const std::string& context) {
  for (size_t i = 0; i < expected.size(); ++i) {
    const mxArray* a = r.output(i + 1);
    ASSERT_NE(a, nullptr) << context << " slot " << i + 1;
    EXPECT_EQ(mxGetClassID(a), expected[i].id) << context << " slot " << i + 1;
    EXPECT_EQ(mxGetM(a), 1u) << context;
    EXPECT_EQ(mxGetN(a), 1u) << context;
    EXPECT_FALSE(mxIsComplex(a)) << context;
    if (mxGetClassID(a) == expected[i].id) {
      EXPECT_EQ(element(a), expected[i].value) << context << " slot " << i + 1;
    }
  }
}

struct AreaModule {
  const char* module;
  const char* operation;
  const char* ok;
  const char* failed;
};
const AreaModule kAreas[] = {
    {"BRELK_7_GetEffective", "GetBRELKCCDEffectiveArea", "Get camera effective area successfully.\n",
     "Get camera effective area failed.\n"},
    {"BRELK_7_GetOverscan", "GetBRELKCCDOverScanArea", "Get camera overscan area successfully.\n",
     "Get camera overscan area failed.\n"},
};

TEST_F(InfoTest, AreasReturnWhatTheSdkWroteAsFourUint32) {
  const std::vector<double> written{16, 8, 3008, 4294967295.0};
  struct Case {
    const char* what;
    uint32_t mask;
    double result;
    std::vector<double> expected;
  } cases[] = {
      {"success", 0xF, 0, {16, 8, 3008, 4294967295.0}},
      {"positive result", 0xF, 1, {16, 8, 3008, 4294967295.0}},
      {"failure, nothing written", 0x0, -1, {0, 0, 0, 0}},
      {"failure, part written", 0x5, -1, {16, 0, 3008, 0}},
  };
  for (const AreaModule& m : kAreas) {
    for (const Case& c : cases) {
      scriptOutputs(m.operation, written, c.mask);
      script(m.operation, c.result);
      Result r = call(m.module, 5, {bytes("SIM-MONO")});
      const std::string context = std::string(m.module) + ", " + c.what;
      const bool ok = c.result != -1;
      EXPECT_EQ(r.status, ok ? 0 : -1) << context;
      EXPECT_EQ(r.printed, ok ? m.ok : m.failed) << context;
      EXPECT_EQ(r.journal, (Lines{kOpen, std::string(m.operation) + "()"})) << context;
      std::vector<Out> expected;
      for (double v : c.expected) expected.push_back({mxUINT32_CLASS, v});
      expectOutputs(r, expected, context);
    }
  }
}

// Six outputs of two classes; the bits per pixel the SDK also writes is not one.
TEST_F(InfoTest, ChipInfoReturnsSixOutputsAndNoBitsPerPixel) {
  const double third = 1.0 / 3.0;
  const std::vector<double> written{11.28, 7.53, 3008, 2008, third, 3.75, 16};
  struct Case {
    const char* what;
    uint32_t mask;
    double result;
    std::vector<double> expected;
  } cases[] = {
      {"success", 0x7F, 0, {11.28, 7.53, 3008, 2008, third, 3.75}},
      {"positive result", 0x7F, 2, {11.28, 7.53, 3008, 2008, third, 3.75}},
      {"failure, nothing written", 0x00, -1, {0, 0, 0, 0, 0, 0}},
      {"failure, part written", 0x13, -1, {11.28, 7.53, 0, 0, third, 0}},
      {"only bits per pixel written", 0x40, 0, {0, 0, 0, 0, 0, 0}},
  };
  const mxClassID classes[] = {mxDOUBLE_CLASS, mxDOUBLE_CLASS, mxUINT32_CLASS,
                               mxUINT32_CLASS, mxDOUBLE_CLASS, mxDOUBLE_CLASS};
  for (const Case& c : cases) {
    scriptOutputs("GetBRELKCCDChipInfo", written, c.mask);
    script("GetBRELKCCDChipInfo", c.result);
    Result r = call("BRELK_7_GetChipInfo", 8, {bytes("SIM-MONO")});
    const bool ok = c.result != -1;
    EXPECT_EQ(r.status, ok ? 0 : -1) << c.what;
    EXPECT_EQ(r.printed, ok ? "Get camera chip info successfully.\n" : "Get camera chip info failed.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, "GetBRELKCCDChipInfo()"})) << c.what;
    std::vector<Out> expected;
    for (size_t i = 0; i < 6; ++i) expected.push_back({classes[i], c.expected[i]});
    expectOutputs(r, expected, c.what);
    EXPECT_EQ(r.output(7), nullptr) << c.what << ": a seventh output was created";
    EXPECT_EQ(r.outputCount(), 7u) << c.what;
  }
}

struct Reading {
  const char* module;
  int guard;  // 0: none
  int control;
  const char* before;
  const char* after;
};
const Reading kReadings[] = {
    // The temperature line ends in a blank and the degree Celsius sign in UTF-8.
    {"BRELK_7_GetTemperature", 0, 14, "Current TEMP : ", " \xE2\x84\x83\n"},
    {"BRELK_7_GetHumidity", 62, 62, "Current Humidity : ", "\n"},
    {"BRELK_7_GetPressure", 63, 63, "Current Pressure : ", "\n"},
};

// The value is stored unrounded, printed with six decimals, and never tested.
TEST_F(InfoTest, ReadingsReturnTheSdkValueUncheckedWithStatusZero) {
  struct Case {
    double value;
    const char* shown;
  } cases[] = {
      {-1.0, "-1.000000"},      {21.5, "21.500000"}, {1.0 / 3.0, "0.333333"},
      {1013.2500004, "1013.250000"}, {-273.15, "-273.150000"}, {0.0, "0.000000"},
  };
  for (const Reading& m : kReadings) {
    for (const Case& c : cases) {
      if (m.guard) script("IsBRELKCCDControlAvailable", m.guard, 0);
      script("GetBRELKCCDParam", m.control, c.value);
      Result r = call(m.module, 2, {bytes("SIM-MONO")});
      EXPECT_EQ(r.status, 0) << m.module << " " << c.value;
      EXPECT_EQ(r.printed, std::string(m.before) + c.shown + m.after) << m.module;
      Lines sdk{kOpen};
      if (m.guard) sdk.push_back(available(m.guard));
      sdk.push_back("GetBRELKCCDParam(" + std::to_string(m.control) + ")");
      EXPECT_EQ(r.journal, sdk) << m.module;
      expectOutputs(r, {{mxDOUBLE_CLASS, c.value}}, m.module);
    }
  }
}

// The cooler's power comes back in percent of full power (255); -1, and
// what truncates to it, is a failed read that returns NaN.
TEST_F(InfoTest, CoolerPowerIsReadInPercentAndMinusOneFails) {
  struct Case {
    double pwm;  // what the SDK answers
    int32_t status;
    double percent;
    const char* printed;
  } cases[] = {
      {255, 0, 100, "Current cooler PWM : 100.000000 %\n"},
      {127.5, 0, 50, "Current cooler PWM : 50.000000 %\n"},
      {0, 0, 0, "Current cooler PWM : 0.000000 %\n"},
      {306, 0, 120, "Current cooler PWM : 120.000000 %\n"},
      {-0.5, 0, -0.5 / 255 * 100, "Current cooler PWM : -0.196078 %\n"},
      {-1, -1, NAN, "Get cooler PWM failed.\n"},
      {-1.5, -1, NAN, "Get cooler PWM failed.\n"},
  };
  for (const Case& c : cases) {
    script("GetBRELKCCDParam", 16, c.pwm);
    Result r = call("BRELK_7_GetCoolerPWM", 2, {bytes("SIM-MONO")});
    EXPECT_EQ(r.status, c.status) << c.pwm;
    EXPECT_EQ(r.printed, c.printed) << c.pwm;
    EXPECT_EQ(r.journal, (Lines{kOpen, "GetBRELKCCDParam(16)"})) << c.pwm;
    const std::vector<double> percent = r.values<double>(1);
    ASSERT_EQ(percent.size(), 1u) << c.pwm;
    if (std::isnan(c.percent)) EXPECT_TRUE(std::isnan(percent[0])) << c.pwm;
    else EXPECT_DOUBLE_EQ(percent[0], c.percent) << c.pwm;
  }
}

TEST_F(InfoTest, DebayerMapsPatternCodesToFourLetters) {
  freshCamera("SIM-COLOR");
  struct Case {
    double code;
    int32_t status;
    const char* letters;  // the four bytes of output 1, zeros on failure
    const char* printed;
  } cases[] = {
      {1, 0, "GBRG", "Get debayer format successfully.GBRG\n"},
      {2, 0, "GRBG", "Get debayer format successfully.GRBG\n"},
      {3, 0, "BGGR", "Get debayer format successfully.BGGR\n"},
      {4, 0, "RGGB", "Get debayer format successfully.RGGB\n"},
      {-1, -1, "\0\0\0\0", "Get debayer format failed.\n"},
      {0, -1, "\0\0\0\0", "Debayer format error.\n"},
      {5, -1, "\0\0\0\0", "Debayer format error.\n"},
      {-2, -1, "\0\0\0\0", "Debayer format error.\n"},
      {2147483648.0, -1, "\0\0\0\0", "Debayer format error.\n"},
  };
  script("IsBRELKCCDControlAvailable", 59, 0);
  for (const Case& c : cases) {
    script("IsBRELKCCDControlAvailable", 20, c.code);
    Result r = call("BRELK_7_GetDebayer", 2, {bytes("SIM-COLOR")});
    EXPECT_EQ(r.status, c.status) << c.code;
    EXPECT_EQ(r.printed, c.printed) << c.code;
    EXPECT_EQ(r.journal, (Lines{kOpenColour, available(59), available(20)})) << c.code;
    const mxArray* pattern = r.output(1);
    ASSERT_NE(pattern, nullptr) << c.code;
    EXPECT_EQ(mxGetClassID(pattern), mxUINT8_CLASS);
    EXPECT_EQ(mxGetM(pattern), 4u);
    EXPECT_EQ(mxGetN(pattern), 1u);
    EXPECT_FALSE(mxIsComplex(pattern));
    EXPECT_EQ(r.values<uint8_t>(1), std::vector<uint8_t>(c.letters, c.letters + 4)) << c.code;
  }
  script("IsBRELKCCDControlAvailable", 20, 3);
  Result r = call("BRELK_7_GetDebayer", 2, {bytes("SIM-COLOR")});
  EXPECT_EQ(r.values<uint8_t>(1), (std::vector<uint8_t>{66, 71, 71, 82}));
}

// Only -1 stops a guarded function; 0 and positive availability let it go on.
TEST_F(InfoTest, GuardsStopOnlyOnMinusOne) {
  struct Case {
    const char* module;
    int guard;
    std::string next;  // the SDK call after a passed guard
    const char* missing;
  } cases[] = {
      {"BRELK_7_GetHumidity", 62, "GetBRELKCCDParam(62)", "Camera don't support humidity function.\n"},
      {"BRELK_7_GetPressure", 63, "GetBRELKCCDParam(63)", "Camera don't support pressure function.\n"},
      {"BRELK_7_GetDebayer", 59, available(20), "Camera don't support color function.\n"},
  };
  for (const Case& c : cases) {
    script("GetBRELKCCDParam", 1.5);
    script("IsBRELKCCDControlAvailable", 20, 4);
    for (double availability : {-1.0, 0.0, 1.0, 7.0}) {
      script("IsBRELKCCDControlAvailable", c.guard, availability);
      Result r = call(c.module, 2, {bytes("SIM-MONO")});
      if (availability == -1.0) {
        EXPECT_EQ(r.status, -1) << c.module;
        EXPECT_EQ(r.printed, c.missing) << c.module;
        EXPECT_EQ(r.journal, (Lines{kOpen, available(c.guard)})) << c.module;
        EXPECT_EQ(r.outputCount(), 2u) << c.module << ": the output asked for was not assigned";
      } else {
        EXPECT_EQ(r.status, 0) << c.module << " " << availability;
        EXPECT_EQ(r.journal, (Lines{kOpen, available(c.guard), c.next})) << c.module;
        EXPECT_EQ(r.outputCount(), 2u) << c.module;
      }
    }
  }
}

TEST_F(InfoTest, TemperatureHasNoGuard) {
  script("IsBRELKCCDControlAvailable", -1);
  script("GetBRELKCCDParam", 14, -12.5);
  Result r = call("BRELK_7_GetTemperature", 2, {bytes("SIM-MONO")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.journal, (Lines{kOpen, "GetBRELKCCDParam(14)"}));
  EXPECT_EQ(r.printed, "Current TEMP : -12.500000 \xE2\x84\x83\n");
}

bool sameArray(const mxArray* a, const mxArray* b) {
  if (!a || !b) return a == b;
  return mxGetClassID(a) == mxGetClassID(b) && mxGetM(a) == mxGetM(b) && mxGetN(a) == mxGetN(b) &&
         std::memcmp(mxGetData(a), mxGetData(b), mxGetNumberOfElements(a) * mxGetElementSize(a)) == 0;
}

// Asking for fewer outputs changes nothing but which slots are filled: the
// SDK is still called, prints and status are the same, and every slot given
// holds what it holds when all are asked for.
TEST_F(InfoTest, FewerOutputsRequestedStillCallTheSdkAndKeepTheStatus) {
  struct Case {
    const char* module;
    int outputs;  // counting the status
    double result;
  } cases[] = {
      {"BRELK_7_GetChipInfo", 7, 0},    {"BRELK_7_GetChipInfo", 7, -1},
      {"BRELK_7_GetEffective", 5, 0},   {"BRELK_7_GetOverscan", 5, -1},
      {"BRELK_7_GetTemperature", 2, 0}, {"BRELK_7_GetHumidity", 2, 0},
      {"BRELK_7_GetPressure", 2, 0},    {"BRELK_7_GetDebayer", 2, 2},
      {"BRELK_7_GetDebayer", 2, -1},
  };
  for (const Case& c : cases) {
    freshCamera();
    scriptOutputs("GetBRELKCCDChipInfo", {1.5, 2.5, 640, 480, 0.5, 0.25, 12}, 0x7F);
    scriptOutputs("GetBRELKCCDEffectiveArea", {1, 2, 3, 4}, 0xF);
    scriptOutputs("GetBRELKCCDOverScanArea", {5, 6, 7, 8}, 0x7);
    script("GetBRELKCCDChipInfo", c.result);
    script("GetBRELKCCDEffectiveArea", c.result);
    script("GetBRELKCCDOverScanArea", c.result);
    script("IsBRELKCCDControlAvailable", 0);
    script("IsBRELKCCDControlAvailable", 20, c.result);
    script("GetBRELKCCDParam", 42.25);
    Result all = call(c.module, c.outputs, {bytes("SIM-MONO")});
    ASSERT_EQ(all.outputCount(), static_cast<size_t>(c.outputs)) << c.module;
    for (int nlhs = 0; nlhs < c.outputs; ++nlhs) {
      Result r = call(c.module, nlhs, {bytes("SIM-MONO")});
      const std::string context = std::string(c.module) + " nlhs " + std::to_string(nlhs);
      EXPECT_EQ(r.status, all.status) << context;
      EXPECT_EQ(r.printed, all.printed) << context;
      EXPECT_EQ(r.journal, all.journal) << context;
      for (size_t slot = 1; slot < r.outputs.size(); ++slot)
        EXPECT_TRUE(sameArray(r.output(slot), all.output(slot))) << context << " slot " << slot;
    }
  }
}

}  // namespace
