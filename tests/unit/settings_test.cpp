// The stage-6 settings: fourteen scalar controls and the region of interest.
#include <cmath>

#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class SettingsTest : public ModuleTest {};

const char* const kOpen = "OpenBRELKCCD(\"SIM-MONO\")";

struct Setter {
  const char* module;
  int control;
  const char* input;  // nullptr: the ID is the only input
  double value;       // what the caller passes
  const char* passed; // the value the SDK gets, as the journal prints it
  const char* echo;   // printed after the open, before the SDK call
  const char* ok;
  const char* failed;
};

// Values are chosen so that a wrong control, a changed value or a swapped
// message shows; the control numbers are written out, not taken from the header.
const Setter kSetters[] = {
    {"BRELK_6_SetLiveBrightness", 0, "value", 12.5, "12.5", "", "Set camera brightness successfully.\n",
     "Set camera brightness failed.\n"},
    {"BRELK_6_SetLiveContrast", 1, "value", -3.25, "-3.25", "", "Set camera contrast successfully.\n",
     "Set camera contrast failed.\n"},
    {"BRELK_6_SetLiveWBR", 2, "value", 0.1, "0.10000000000000001", "", "Set camera red balance successfully.\n",
     "Set camera red balance failed.\n"},
    {"BRELK_6_SetLiveWBB", 3, "value", 77, "77", "", "Set camera blue balance successfully.\n",
     "Set camera bule balance failed.\n"},
    {"BRELK_6_SetLiveWBG", 4, "value", 1e-300, "1e-300", "",
     "Set camera green balance successfully.\n", "Set camera green balance failed.\n"},
    {"BRELK_6_SetLiveGamma", 5, "value", 2.2, "2.2000000000000002", "", "Set camera gamma successfully.\n",
     "Set camera gamma failed.\n"},
    {"BRELK_6_SetGain", 6, "value", 30, "30", "", "Set camera gain successfully.\n", "Set camera gain failed.\n"},
    {"BRELK_6_SetOffset", 7, "value", 250.75, "250.75", "", "Set camera offset successfully.\n",
     "Set camera offset failed.\n"},
    {"BRELK_6_SetExposeTime", 8, "value", 123456789.5, "123456789.5", "",
     "Set camera expose time successfully.\n", "Set camera expose time failed.\n"},
    {"BRELK_6_SetTraffic", 12, "value", -1, "-1", "", "Set camera traffic successfully.\n",
     "Set camera traffic failed.\n"},
    {"BRELK_6_SetCoolerPWM", 16, "percent", 50, "127.5", "", "Set cooler PWM successfully.\n",
     "Set cooler PWM failed.\n"},
    {"BRELK_6_SetCoolerOFF", 16, nullptr, 0, "0", "", "Set cooler OFF successfully.\n",
     "Set cooler OFF failed.\n"},
    {"BRELK_6_SetCoolerTemperature", 18, "value", -20.5, "-20.5", "", "Set target temperature successfully.\n",
     "Set target temperature failed.\n"},
    {"BRELK_6_SetDDR", 48, "value", 1.5, "1.5", "DDR value = 1.500000\n", "Set camera DDR successfully.\n",
     "Set camera DDR failed.\n"},
};

std::vector<mxArray*> inputsOf(const Setter& s, const char* id = "SIM-MONO") {
  std::vector<mxArray*> in{bytes(id)};
  if (s.input) in.push_back(number(s.value));
  return in;
}

std::string paramCall(int control, const char* value) {
  return "SetBRELKCCDParam(" + std::to_string(control) + ", " + value + ")";
}

// The zero test: only 0 succeeds; 1 and -1 both fail.
TEST_F(SettingsTest, EverySetterSetsItsControlAndReportsTheZeroTest) {
  for (const Setter& s : kSetters) {
    for (double result : {0.0, 1.0, -1.0}) {
      script("SetBRELKCCDParam", s.control, result);
      Result r = call(s.module, 1, inputsOf(s));
      const bool ok = result == 0.0;
      EXPECT_EQ(r.status, ok ? 0 : -1) << s.module << " " << result;
      EXPECT_EQ(r.printed, std::string(s.echo) + (ok ? s.ok : s.failed)) << s.module << " " << result;
      EXPECT_EQ(r.journal, (Lines{kOpen, paramCall(s.control, s.passed)})) << s.module;
      EXPECT_EQ(r.outputCount(), 1u) << s.module;
    }
  }
}

// A fault scripted for one call: the first gain setting fails before it
// reaches the camera, the next one goes through to it.
TEST_F(SettingsTest, AGainFaultScriptedForOneCallFailsOnlyTheFirstSetting) {
  ASSERT_EQ(BrelkSimScriptNext("SetBRELKCCDParam", 6, -1, 1), 0);
  BrelkCcdHandle* camera = OpenBRELKCCD("SIM-MONO");
  const Lines journal{kOpen, "SetBRELKCCDParam(6, 30)"};
  Result first = call("BRELK_6_SetGain", 1, {bytes("SIM-MONO"), number(30)});
  EXPECT_EQ(first.status, -1);
  EXPECT_EQ(first.printed, "Set camera gain failed.\n");
  EXPECT_EQ(first.journal, journal);
  EXPECT_EQ(GetBRELKCCDParam(camera, 6), 0.0) << "the failed setting reached the camera";
  Result second = call("BRELK_6_SetGain", 1, {bytes("SIM-MONO"), number(30)});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.printed, "Set camera gain successfully.\n");
  EXPECT_EQ(second.journal, journal);
  EXPECT_EQ(GetBRELKCCDParam(camera, 6), 30.0);
}

TEST_F(SettingsTest, CoolerPwmScalesPercentToFullPowerWithoutClamping) {
  struct Case {
    double percent;
    const char* passed;
  } cases[] = {{100, "255"}, {50, "127.5"}, {0, "0"}, {120, "306"}, {-20, "-51"}};
  script("SetBRELKCCDParam", 16, 0);
  for (const Case& c : cases) {
    Result r = call("BRELK_6_SetCoolerPWM", 1, {bytes("SIM-MONO"), number(c.percent)});
    EXPECT_EQ(r.status, 0) << c.percent;
    EXPECT_EQ(r.printed, "Set cooler PWM successfully.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, paramCall(16, c.passed)})) << c.percent;
  }
}

TEST_F(SettingsTest, CoolerOffPassesZeroAndIgnoresAnyFurtherInput) {
  script("SetBRELKCCDParam", 16, 0);
  Result r = call("BRELK_6_SetCoolerOFF", 1, {bytes("SIM-MONO"), number(80)});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.printed, "Set cooler OFF successfully.\n");
  EXPECT_EQ(r.journal, (Lines{kOpen, paramCall(16, "0")}));
}

TEST_F(SettingsTest, DdrEchoesTheValueAsGivenWithSixDecimals) {
  struct Case {
    double value;
    const char* echo;
    const char* passed;
  } cases[] = {{1, "DDR value = 1.000000\n", "1"},
               {0.1234567, "DDR value = 0.123457\n", "0.1234567"},
               {-2, "DDR value = -2.000000\n", "-2"}};
  script("SetBRELKCCDParam", 48, -1);
  for (const Case& c : cases) {
    Result r = call("BRELK_6_SetDDR", 1, {bytes("SIM-MONO"), number(c.value)});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.printed, std::string(c.echo) + "Set camera DDR failed.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, paramCall(48, c.passed)}));
  }
}

struct Roi {
  double x, y, sizex, sizey;
};

std::vector<mxArray*> roiInputs(const Roi& roi, const char* id = "SIM-MONO") {
  return {bytes(id), number(roi.x), number(roi.y), number(roi.sizex), number(roi.sizey)};
}

TEST_F(SettingsTest, RoiEchoesTheNumbersAndPassesThemTruncated) {
  struct Case {
    Roi roi;
    const char* echo;
    const char* sdkCall;
  } cases[] = {
      {{10.9, 20.5, 640.2, 480.999}, "x = 10.900000 y = 20.500000 sizex = 640.200000 sizey = 480.999000\n",
       "SetBRELKCCDResolution(10, 20, 640, 480)"},
      {{0, 1, 3008, 2008}, "x = 0.000000 y = 1.000000 sizex = 3008.000000 sizey = 2008.000000\n",
       "SetBRELKCCDResolution(0, 1, 3008, 2008)"},
      {{-0.9, -1.5, NAN, 3e9}, "x = -0.900000 y = -1.500000 sizex = nan sizey = 3000000000.000000\n",
       "SetBRELKCCDResolution(0, 4294967295, 2147483648, 2147483648)"},
  };
  script("SetBRELKCCDResolution", 0);
  for (const Case& c : cases) {
    Result r = call("BRELK_6_SetROI", 1, roiInputs(c.roi));
    EXPECT_EQ(r.status, 0) << c.echo;
    EXPECT_EQ(r.printed, std::string(c.echo) + "Set camera ROI successfully***********.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, c.sdkCall}));
  }
}

TEST_F(SettingsTest, RoiUsesTheZeroTest) {
  const Roi roi{1, 2, 3, 4};
  const char* const echo = "x = 1.000000 y = 2.000000 sizex = 3.000000 sizey = 4.000000\n";
  for (double result : {0.0, 1.0, -1.0}) {
    script("SetBRELKCCDResolution", result);
    Result r = call("BRELK_6_SetROI", 1, roiInputs(roi));
    const bool ok = result == 0.0;
    EXPECT_EQ(r.status, ok ? 0 : -1) << result;
    EXPECT_EQ(r.printed, std::string(echo) + (ok ? "Set camera ROI successfully***********.\n"
                                                 : "Set camera ROI failed.\n"));
    EXPECT_EQ(r.journal, (Lines{kOpen, "SetBRELKCCDResolution(1, 2, 3, 4)"}));
  }
}

// A refused input prints one line naming it, returns -1 and calls no SDK operation.
TEST_F(SettingsTest, MissingOrUnusableInputsAreRefusedBeforeTheOpen) {
  for (const Setter& s : kSetters) {
    if (!s.input) continue;
    Result r = call(s.module, 1, {bytes("SIM-MONO")});
    EXPECT_EQ(r.status, -1) << s.module;
    EXPECT_EQ(r.printed, std::string("Missing ") + s.input + ".\n") << s.module;
    EXPECT_TRUE(r.journal.empty()) << s.module;
  }
  struct Case {
    std::vector<mxArray*> inputs;
    const char* printed;
  } cases[] = {
      {{bytes("SIM-MONO"), number(1), number(2), number(3)}, "Missing sizey.\n"},
      {{bytes("SIM-MONO"), number(1)}, "Missing y.\n"},
      {{bytes("SIM-MONO"), empty(), number(2), number(3), number(4)}, "Invalid x.\n"},
      {{bytes("SIM-MONO"), number(1), number(2), text(u"3"), number(4)}, "Invalid sizex.\n"},
  };
  for (Case& c : cases) {
    Result r = call("BRELK_6_SetROI", 1, c.inputs);
    EXPECT_EQ(r.status, -1) << c.printed;
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_TRUE(r.journal.empty()) << c.printed;
  }
  Result r = call("BRELK_6_SetGain", 1, {bytes("SIM-MONO"), empty()});
  EXPECT_EQ(r.printed, "Invalid value.\n");
  EXPECT_TRUE(r.journal.empty());
}

// Nothing is echoed or set when the camera does not open, whether the ID is
// unknown or the SDK refuses a known one.
TEST_F(SettingsTest, OpenFailurePrintsOnlyItsLine) {
  for (const char* id : {"NOSUCH", "SIM-MONO"}) {
    if (std::string(id) == "SIM-MONO") script("OpenBRELKCCD", 0);
    const Lines opened{std::string("OpenBRELKCCD(\"") + id + "\")"};
    for (const Setter& s : kSetters) {
      Result r = call(s.module, 2, inputsOf(s, id));
      EXPECT_EQ(r.status, -1) << s.module << " " << id;
      EXPECT_EQ(r.printed, "Open BRELKCCD failed.\n") << s.module << " " << id;
      EXPECT_EQ(r.journal, opened) << s.module << " " << id;
      EXPECT_EQ(r.outputCount(), 1u) << s.module;
    }
    Result r = call("BRELK_6_SetROI", 2, roiInputs({10.9, 0, 640.2, 480}, id));
    EXPECT_EQ(r.status, -1) << id;
    EXPECT_EQ(r.printed, "Open BRELKCCD failed.\n") << id;
    EXPECT_EQ(r.journal, opened) << id;
  }
}

}  // namespace
