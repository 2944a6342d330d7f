// The simulated cameras through direct SDK calls, on the manual clock so that
// nothing waits: life cycle, ranges, geometry, cooling, the wheel, exposures,
// and scripts overriding all of it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "brelkccd_sim.h"

namespace {

constexpr uint32_t kError = BRELKCCD_ERROR;
constexpr double kMoving = 'N';

class SimulatorTest : public testing::Test {
 protected:
  void SetUp() override {
    BrelkSimReset();
    BrelkSimSetManualClock(1);
  }
  void TearDown() override { BrelkSimReset(); }

  // A camera brought up the way the toolbox's stages do it.
  static BrelkCcdHandle* ready(const char* id = "SIM-MONO") {
    BrelkCcdHandle* h = OpenBRELKCCD(id);
    EXPECT_NE(h, nullptr) << id;
    EXPECT_EQ(SetBRELKCCDReadMode(h, 0), 0u) << id;
    EXPECT_EQ(SetBRELKCCDStreamMode(h, 0), 0u) << id;
    EXPECT_EQ(InitBRELKCCD(h), 0u) << id;
    return h;
  }
};

double temperature(BrelkCcdHandle* h) { return GetBRELKCCDParam(h, BRELKCCD_CURRENT_TEMPERATURE); }
double pwm(BrelkCcdHandle* h) { return GetBRELKCCDParam(h, BRELKCCD_COOLER_PWM); }
double wheel(BrelkCcdHandle* h) { return GetBRELKCCDParam(h, BRELKCCD_CFW); }
double signedResult(uint32_t r) { return static_cast<int32_t>(r); }

// One use of every operation a ready camera offers, each answer as a signed
// number (GetBRELKCCDParam's as it is).
std::vector<double> use(BrelkCcdHandle* h) {
  uint32_t x = 0, y = 0, w = 0, hgt = 0, bits = 0;
  double chipW = 0, chipH = 0, pixW = 0, pixH = 0;
  return {signedResult(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30)),
          GetBRELKCCDParam(h, BRELKCCD_GAIN),
          signedResult(IsBRELKCCDControlAvailable(h, BRELKCCD_GAIN)),
          signedResult(SetBRELKCCDResolution(h, 0, 0, 100, 100)),
          signedResult(GetBRELKCCDEffectiveArea(h, &x, &y, &w, &hgt)),
          signedResult(GetBRELKCCDOverScanArea(h, &x, &y, &w, &hgt)),
          signedResult(GetBRELKCCDChipInfo(h, &chipW, &chipH, &w, &hgt, &pixW, &pixH, &bits)),
          signedResult(IsBRELKCCDCFWPlugged(h)),
          signedResult(ExpBRELKCCDSingleFrame(h)),
          signedResult(CancelBRELKCCDExposingAndReadout(h)),
          signedResult(BeginBRELKCCDLive(h)),
          signedResult(StopBRELKCCDLive(h))};
}
const std::vector<double> kUsed{0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const std::vector<double> kRefused(12, -1);

TEST_F(SimulatorTest, OnlyKnownIdsOpenAndReopeningGivesTheSameCamera) {
  EXPECT_EQ(OpenBRELKCCD("NOSUCH"), nullptr);
  EXPECT_EQ(OpenBRELKCCD("sim-mono"), nullptr);
  EXPECT_EQ(OpenBRELKCCD(nullptr), nullptr);
  BrelkCcdHandle* mono = ready("SIM-MONO");
  BrelkCcdHandle* colour = ready("SIM-COLOR");
  EXPECT_NE(mono, colour);
  ASSERT_EQ(SetBRELKCCDParam(mono, BRELKCCD_GAIN, 30), 0u);
  EXPECT_EQ(OpenBRELKCCD("SIM-MONO"), mono);
  EXPECT_EQ(GetBRELKCCDParam(mono, BRELKCCD_GAIN), 30.0) << "reopening lost the state";
}

TEST_F(SimulatorTest, UseNeedsAnInitialisedCamera) {
  BrelkCcdHandle* h = OpenBRELKCCD("SIM-MONO");
  EXPECT_EQ(use(h), kRefused) << "before init";
  EXPECT_EQ(use(nullptr), kRefused) << "no handle";
  EXPECT_EQ(InitBRELKCCD(nullptr), kError);
  EXPECT_EQ(SetBRELKCCDReadMode(h, 3), 0u);
  EXPECT_EQ(SetBRELKCCDStreamMode(h, 1), 0u);
  ASSERT_EQ(InitBRELKCCD(h), 0u);
  EXPECT_EQ(use(h), kUsed) << "initialised";
  EXPECT_EQ(InitBRELKCCD(h), 0u) << "a second init";

  ASSERT_EQ(CloseBRELKCCD(h), 0u);
  EXPECT_EQ(use(h), kRefused) << "closed";
  EXPECT_EQ(CloseBRELKCCD(h), kError) << "closing a closed camera";
  EXPECT_EQ(OpenBRELKCCD("SIM-MONO"), h);
  EXPECT_EQ(use(h), kRefused) << "reopened, not initialised";
  ASSERT_EQ(InitBRELKCCD(h), 0u);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 30.0) << "close and reopen keep the settings";

  // Release closes whatever is open; the next open starts from power-on.
  ASSERT_EQ(ReleaseBRELKCCDResource(), 0u);
  EXPECT_EQ(use(h), kRefused) << "released";
  EXPECT_EQ(ReleaseBRELKCCDResource(), 0u);
  EXPECT_EQ(OpenBRELKCCD("SIM-MONO"), h);
  ASSERT_EQ(InitBRELKCCD(h), 0u);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 0.0) << "release did not bring back power-on settings";
}

TEST_F(SimulatorTest, ReadAndStreamModesHaveTheirRangePerCamera) {
  struct Case {
    const char* id;
    uint32_t readModes;
  } cases[] = {{"SIM-MONO", 4}, {"SIM-COLOR", 2}};
  for (const Case& c : cases) {
    BrelkCcdHandle* h = OpenBRELKCCD(c.id);
    EXPECT_EQ(SetBRELKCCDReadMode(h, c.readModes - 1), 0u) << c.id;
    EXPECT_EQ(SetBRELKCCDReadMode(h, c.readModes), kError) << c.id;
    EXPECT_EQ(SetBRELKCCDReadMode(h, kError), kError) << c.id;
    EXPECT_EQ(SetBRELKCCDStreamMode(h, 1), 0u) << c.id;
    EXPECT_EQ(SetBRELKCCDStreamMode(h, 2), kError) << c.id;
    EXPECT_EQ(SetBRELKCCDStreamMode(h, 255), kError) << c.id;
  }
}

// Values at both ends are applied; a rejected value leaves the last applied one.
TEST_F(SimulatorTest, ControlsAcceptTheirRangeAndLeaveTheValueOnARefusal) {
  struct Case {
    const char* id;
    uint32_t control;
    std::vector<double> accepted, refused;
  } cases[] = {
      {"SIM-MONO", BRELKCCD_BRIGHTNESS, {-100, 100, 12.5}, {-100.5, 101}},
      {"SIM-MONO", BRELKCCD_CONTRAST, {-100, 100}, {-101, 100.01}},
      {"SIM-MONO", BRELKCCD_GAMMA, {0.1, 3, 2.2}, {0, 0.09, 3.01}},
      {"SIM-MONO", BRELKCCD_GAIN, {0, 100, 30}, {-1, 100.5}},
      {"SIM-MONO", BRELKCCD_OFFSET, {0, 255}, {-0.5, 256}},
      {"SIM-MONO", BRELKCCD_EXPOSURE, {1, 3.6e9, 20000}, {0, 0.5, -1, 3.6e9 + 1}},
      {"SIM-MONO", BRELKCCD_TRAFFIC, {0, 255}, {-1, 256}},
      {"SIM-MONO", BRELKCCD_DDR, {0, 1}, {0.5, 2, -1}},
      {"SIM-MONO", BRELKCCD_COOLER_PWM, {255, 127.5}, {-1, 255.5, 306}},
      {"SIM-MONO", BRELKCCD_COOLER_TARGET, {-50, 50, -10}, {-50.5, 51}},
      {"SIM-COLOR", BRELKCCD_WB_RED, {0, 255}, {-1, 256}},
      {"SIM-COLOR", BRELKCCD_WB_BLUE, {0, 255}, {-1, 256}},
      {"SIM-COLOR", BRELKCCD_WB_GREEN, {0, 255}, {-1, 256}},
      {"SIM-COLOR", BRELKCCD_GAIN, {0, 100}, {-1, 101}},
  };
  for (const Case& c : cases) {
    BrelkCcdHandle* h = ready(c.id);
    std::vector<double> refused = c.refused;
    refused.insert(refused.end(), {NAN, INFINITY, -INFINITY});
    for (double value : c.accepted) {
      EXPECT_EQ(SetBRELKCCDParam(h, c.control, value), 0u) << c.id << " control " << c.control << " " << value;
      EXPECT_EQ(GetBRELKCCDParam(h, c.control), value) << c.id << " control " << c.control;
    }
    const double applied = GetBRELKCCDParam(h, c.control);
    for (double value : refused) {
      EXPECT_EQ(SetBRELKCCDParam(h, c.control, value), kError) << c.id << " control " << c.control << " " << value;
      EXPECT_EQ(GetBRELKCCDParam(h, c.control), applied) << c.id << " control " << c.control << " " << value;
    }
  }
}

TEST_F(SimulatorTest, EachCameraHasItsOwnControlsAndSensors) {
  struct Case {
    uint32_t control;
    double mono, colour;  // availability
    double monoValue, colourValue;
  } cases[] = {
      {BRELKCCD_CFW, 0, -1, '0', -1},
      {BRELKCCD_CFW_SLOTS, 0, -1, 7, -1},
      {BRELKCCD_COLOR_PATTERN, -1, 4, -1, 4},
      {BRELKCCD_COLOR_CAMERA, -1, 0, -1, 1},
      {BRELKCCD_HUMIDITY, -1, 0, -1, 45.0},
      {BRELKCCD_PRESSURE, -1, 0, -1, 1013.25},
      {BRELKCCD_WB_RED, -1, 0, -1, 128},
      {BRELKCCD_CURRENT_TEMPERATURE, 0, 0, 20.0, 20.0},
      {BRELKCCD_COOLER_PWM, 0, 0, 0, 0},
      {BRELKCCD_EXPOSURE, 0, 0, 1e6, 1e6},
      {9, -1, -1, -1, -1},
      {64, -1, -1, -1, -1},
  };
  BrelkCcdHandle* mono = ready("SIM-MONO");
  BrelkCcdHandle* colour = ready("SIM-COLOR");
  for (const Case& c : cases) {
    EXPECT_EQ(signedResult(IsBRELKCCDControlAvailable(mono, c.control)), c.mono) << c.control;
    EXPECT_EQ(signedResult(IsBRELKCCDControlAvailable(colour, c.control)), c.colour) << c.control;
    EXPECT_EQ(GetBRELKCCDParam(mono, c.control), c.monoValue) << c.control;
    EXPECT_EQ(GetBRELKCCDParam(colour, c.control), c.colourValue) << c.control;
  }
  EXPECT_EQ(IsBRELKCCDCFWPlugged(mono), 0u);
  EXPECT_EQ(IsBRELKCCDCFWPlugged(colour), kError);
  EXPECT_EQ(SetBRELKCCDParam(mono, BRELKCCD_WB_RED, 128), kError) << "a monochrome camera has no balance";
  for (uint32_t readOnly : {BRELKCCD_CURRENT_TEMPERATURE, BRELKCCD_CFW_SLOTS, BRELKCCD_COLOR_PATTERN,
                            BRELKCCD_HUMIDITY, BRELKCCD_PRESSURE})
    EXPECT_EQ(SetBRELKCCDParam(colour, readOnly, 1), kError) << readOnly;
}

TEST_F(SimulatorTest, GeometryPerCamera) {
  struct Case {
    const char* id;
    std::vector<uint32_t> effective, overscan;
    double chipW, chipH;
    uint32_t imageW, imageH;
    double pixel;
    uint32_t bits;
  } cases[] = {
      {"SIM-MONO", {48, 24, 3008, 2008}, {8, 24, 32, 2008}, 11.52, 7.68, 3072, 2048, 3.75, 16},
      {"SIM-COLOR", {16, 8, 4064, 2744}, {4080, 8, 16, 2744}, 15.5648, 10.488, 4096, 2760, 3.8, 14},
  };
  for (const Case& c : cases) {
    BrelkCcdHandle* h = ready(c.id);
    std::vector<uint32_t> area(4);
    ASSERT_EQ(GetBRELKCCDEffectiveArea(h, &area[0], &area[1], &area[2], &area[3]), 0u);
    EXPECT_EQ(area, c.effective) << c.id;
    ASSERT_EQ(GetBRELKCCDOverScanArea(h, &area[0], &area[1], &area[2], &area[3]), 0u);
    EXPECT_EQ(area, c.overscan) << c.id;
    double chipW = 0, chipH = 0, pixW = 0, pixH = 0;
    uint32_t imageW = 0, imageH = 0, bits = 0;
    ASSERT_EQ(GetBRELKCCDChipInfo(h, &chipW, &chipH, &imageW, &imageH, &pixW, &pixH, &bits), 0u);
    EXPECT_DOUBLE_EQ(chipW, c.chipW) << c.id;
    EXPECT_DOUBLE_EQ(chipH, c.chipH) << c.id;
    EXPECT_EQ(imageW, c.imageW) << c.id;
    EXPECT_EQ(imageH, c.imageH) << c.id;
    EXPECT_EQ(pixW, c.pixel) << c.id;
    EXPECT_EQ(pixH, c.pixel) << c.id;
    EXPECT_EQ(bits, c.bits) << c.id;
  }
}

TEST_F(SimulatorTest, RoiMustLieWithinTheEffectiveArea) {
  struct Case {
    const char* id;
    uint32_t x, y, sizeX, sizeY;
    uint32_t result;
  } cases[] = {
      {"SIM-MONO", 0, 0, 3008, 2008, 0},       {"SIM-MONO", 8, 8, 3000, 2000, 0},
      {"SIM-MONO", 3007, 2007, 1, 1, 0},       {"SIM-MONO", 1, 0, 3008, 2008, kError},
      {"SIM-MONO", 0, 1, 3008, 2008, kError},  {"SIM-MONO", 0, 0, 0, 10, kError},
      {"SIM-MONO", 0, 0, 10, 0, kError},       {"SIM-MONO", 3008, 0, 1, 1, kError},
      {"SIM-MONO", 4294967295u, 0, 2, 1, kError}, {"SIM-MONO", 0, 4294967295u, 1, 2, kError},
      {"SIM-COLOR", 0, 0, 4064, 2744, 0},      {"SIM-COLOR", 0, 0, 4065, 1, kError},
      {"SIM-COLOR", 0, 0, 1, 2745, kError},
  };
  for (const Case& c : cases) {
    BrelkCcdHandle* h = ready(c.id);
    EXPECT_EQ(SetBRELKCCDResolution(h, c.x, c.y, c.sizeX, c.sizeY), c.result)
        << c.id << " " << c.x << " " << c.y << " " << c.sizeX << " " << c.sizeY;
  }
}

// SIM-MONO: ambient 20, 35 below it at the most, time constant 120 s.
TEST_F(SimulatorTest, CoolingPullsDownAtFullPowerThenHoldsTheTarget) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_TARGET, -10), 0u);
  EXPECT_EQ(temperature(h), 20.0);
  EXPECT_EQ(pwm(h), 255.0);
  const double arrival = 120 * std::log(35.0 / 5.0);  // 233.5 s
  double previous = temperature(h);
  for (double t = 10; t < arrival; t += 10) {
    BrelkSimAdvance(10);
    const double now = temperature(h);
    EXPECT_NEAR(now, -15 + 35 * std::exp(-t / 120), 1e-9) << t;
    EXPECT_LT(now, previous) << t;
    EXPECT_GT(now, -10.0) << t;
    EXPECT_EQ(pwm(h), 255.0) << t;
    previous = now;
  }
  BrelkSimAdvance(10);
  EXPECT_EQ(temperature(h), -10.0);
  EXPECT_DOUBLE_EQ(pwm(h), 255.0 * 30 / 35);
  BrelkSimAdvance(3600);
  EXPECT_EQ(temperature(h), -10.0);

  // A warmer target: the cooler idles while the sensor warms toward ambient.
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_TARGET, 0), 0u);
  EXPECT_EQ(pwm(h), 0.0);
  BrelkSimAdvance(30);
  EXPECT_NEAR(temperature(h), 20 - 30 * std::exp(-30.0 / 120), 1e-9);
  BrelkSimAdvance(3600);
  EXPECT_EQ(temperature(h), 0.0);
  EXPECT_DOUBLE_EQ(pwm(h), 255.0 * 20 / 35);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_COOLER_TARGET), 0.0);
}

TEST_F(SimulatorTest, ATargetBeyondTheCoolingDepthIsApproachedButNeverReached) {
  struct Case {
    const char* id;
    double coldest, tau;
  } cases[] = {{"SIM-MONO", -15, 120}, {"SIM-COLOR", -10, 90}};
  for (const Case& c : cases) {
    BrelkSimReset();
    BrelkSimSetManualClock(1);
    BrelkCcdHandle* h = ready(c.id);
    ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_TARGET, -40), 0u);
    BrelkSimAdvance(5 * c.tau);
    EXPECT_NEAR(temperature(h), c.coldest + (20 - c.coldest) * std::exp(-5.0), 1e-9) << c.id;
    double previous = temperature(h);
    for (int hour = 0; hour < 10; ++hour) {
      BrelkSimAdvance(3600);
      const double now = temperature(h);
      EXPECT_GE(now, c.coldest) << c.id << " went past the deepest cooling";
      EXPECT_LE(now, previous) << c.id;
      EXPECT_EQ(pwm(h), 255.0) << c.id;
      previous = now;
    }
    EXPECT_NEAR(previous, c.coldest, 1e-6) << c.id;
  }
}

TEST_F(SimulatorTest, FixedPowerSettlesPartWayAndOffDriftsBackToAmbient) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_PWM, 127.5), 0u);
  BrelkSimAdvance(120);
  EXPECT_NEAR(temperature(h), 2.5 + 17.5 * std::exp(-1.0), 1e-9);  // toward 20 - 35 / 2
  EXPECT_EQ(pwm(h), 127.5);
  BrelkSimAdvance(7200);
  EXPECT_NEAR(temperature(h), 2.5, 1e-9);

  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_PWM, 0), 0u);
  EXPECT_EQ(pwm(h), 0.0);
  BrelkSimAdvance(120);
  EXPECT_NEAR(temperature(h), 20 - 17.5 * std::exp(-1.0), 1e-9);
  BrelkSimAdvance(36000);
  EXPECT_LE(temperature(h), 20.0);
  EXPECT_NEAR(temperature(h), 20.0, 1e-9);

  // Closing the camera switches the cooler off as well.
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_TARGET, -10), 0u);
  BrelkSimAdvance(600);
  ASSERT_EQ(CloseBRELKCCD(h), 0u);
  BrelkSimAdvance(120);
  ready();
  EXPECT_NEAR(temperature(h), 20 - 30 * std::exp(-1.0), 1e-9);
  EXPECT_EQ(pwm(h), 0.0);
}

TEST_F(SimulatorTest, WheelReportsMovingThenArrivesTheShorterWayRound) {
  BrelkCcdHandle* h = ready();
  EXPECT_EQ(wheel(h), '0');
  struct Move {
    double target;
    double seconds;  // slot steps times 1 s
    double arrived;
  } moves[] = {{'3', 3, '3'}, {6.0, 3, '6'}, {0.0, 1, '0'}, {'5', 2, '5'}};
  for (const Move& m : moves) {
    ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, m.target), 0u) << m.target;
    EXPECT_EQ(wheel(h), kMoving) << m.target;
    EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, '1'), kError) << "a new target while moving";
    BrelkSimAdvance(m.seconds - 0.5);
    EXPECT_EQ(wheel(h), kMoving) << m.target;
    BrelkSimAdvance(0.5);
    EXPECT_EQ(wheel(h), m.arrived) << m.target;
  }
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, 5), 0u) << "the present slot";
  EXPECT_EQ(wheel(h), '5');
  for (double refused : {7.0, -1.0, 47.0, 55.0, 2.5, 51.5, 78.0, double(NAN), double(INFINITY)}) {
    EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, refused), kError) << refused;
    EXPECT_EQ(wheel(h), '5') << refused;
  }
  EXPECT_EQ(SetBRELKCCDParam(ready("SIM-COLOR"), BRELKCCD_CFW, '3'), kError);
}

TEST_F(SimulatorTest, SingleExposureLastsTheExposureTimeUnlessCancelled) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_EXPOSURE, 2e6), 0u);
  ASSERT_EQ(ExpBRELKCCDSingleFrame(h), 0u);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_EXPOSURE, 5e6), 0u) << "the next exposure's time";
  EXPECT_EQ(SetBRELKCCDResolution(h, 0, 0, 100, 100), kError) << "ROI while exposing";
  EXPECT_EQ(SetBRELKCCDReadMode(h, 1), kError) << "read mode while exposing";
  EXPECT_EQ(InitBRELKCCD(h), kError) << "init while exposing";
  BrelkSimAdvance(1.5);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError) << "still exposing";
  BrelkSimAdvance(0.5);
  ASSERT_EQ(ExpBRELKCCDSingleFrame(h), 0u) << "the 2 s exposure is over";
  BrelkSimAdvance(4.5);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError) << "the 5 s exposure runs";
  EXPECT_EQ(CancelBRELKCCDExposingAndReadout(h), 0u);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), 0u) << "cancelled";
  EXPECT_EQ(CancelBRELKCCDExposingAndReadout(h), 0u);
  EXPECT_EQ(CancelBRELKCCDExposingAndReadout(h), 0u) << "nothing to cancel";
  ASSERT_EQ(ExpBRELKCCDSingleFrame(h), 0u);
  ASSERT_EQ(CloseBRELKCCD(h), 0u);
  ready();
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), 0u) << "close ended the exposure";
}

TEST_F(SimulatorTest, LiveAndSingleExcludeEachOther) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(BeginBRELKCCDLive(h), 0u);
  EXPECT_EQ(BeginBRELKCCDLive(h), kError) << "live twice";
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError) << "single during live";
  EXPECT_EQ(CancelBRELKCCDExposingAndReadout(h), 0u);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError) << "cancel stopped live";
  BrelkSimAdvance(3600);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError) << "live ended by itself";
  ASSERT_EQ(StopBRELKCCDLive(h), 0u);
  EXPECT_EQ(StopBRELKCCDLive(h), 0u) << "nothing live to stop";
  ASSERT_EQ(ExpBRELKCCDSingleFrame(h), 0u);
  EXPECT_EQ(BeginBRELKCCDLive(h), kError) << "live during single";
  EXPECT_EQ(StopBRELKCCDLive(h), 0u);
  EXPECT_EQ(BeginBRELKCCDLive(h), kError) << "stopping live ended the single exposure";
  ASSERT_EQ(CancelBRELKCCDExposingAndReadout(h), 0u);
  EXPECT_EQ(BeginBRELKCCDLive(h), 0u);
}

TEST_F(SimulatorTest, ScriptsOverrideTheCameraInAnyState) {
  // Nothing is open: the scripts answer all the same.
  ASSERT_EQ(BrelkSimScript("InitBRELKCCD", BRELKSIM_ANY_CONTROL, 0), 0);
  ASSERT_EQ(BrelkSimScript("GetBRELKCCDParam", BRELKCCD_CURRENT_TEMPERATURE, -12.5), 0);
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, 7), 0);
  EXPECT_EQ(InitBRELKCCD(nullptr), 0u);
  EXPECT_EQ(temperature(nullptr), -12.5);
  EXPECT_EQ(SetBRELKCCDParam(nullptr, BRELKCCD_GAIN, 999), 7u);
  const double written[] = {1, 2, 3, 4};
  ASSERT_EQ(BrelkSimScriptOutputs("GetBRELKCCDEffectiveArea", 4, written, 0x5), 0);
  std::vector<uint32_t> area{9, 9, 9, 9};
  EXPECT_EQ(GetBRELKCCDEffectiveArea(nullptr, &area[0], &area[1], &area[2], &area[3]), kError);
  EXPECT_EQ(area, (std::vector<uint32_t>{1, 9, 3, 9}));

  // A scripted -1 keeps the call from the camera; a control's script beats
  // the one for every control.
  BrelkSimReset();
  BrelkSimSetManualClock(1);
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKCCD_GAIN, -1), 0);
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, 0), 0);
  ASSERT_EQ(BrelkSimScript("ExpBRELKCCDSingleFrame", BRELKSIM_ANY_CONTROL, -1), 0);
  ASSERT_EQ(BrelkSimScript("IsBRELKCCDControlAvailable", BRELKCCD_HUMIDITY, 0), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30), kError);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 0.0) << "a scripted failure applied the value";
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, '3'), 0u);
  EXPECT_EQ(wheel(h), kMoving) << "a scripted success still moves the wheel";
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_COOLER_PWM, 306), 0u) << "scripted success of a refused value";
  EXPECT_EQ(pwm(h), 0.0);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(h), kError);
  EXPECT_EQ(BeginBRELKCCDLive(h), 0u) << "a scripted failure started an exposure";
  EXPECT_EQ(IsBRELKCCDControlAvailable(h, BRELKCCD_HUMIDITY), 0u);
  EXPECT_EQ(IsBRELKCCDControlAvailable(h, BRELKCCD_PRESSURE), kError);
  EXPECT_EQ(BrelkSimScript("NoSuchOperation", BRELKSIM_ANY_CONTROL, 0), -1);

  BrelkSimReset();
  EXPECT_EQ(InitBRELKCCD(nullptr), kError) << "reset keeps a script";
  EXPECT_EQ(BrelkSimJournalSize(), 1u);
  EXPECT_STREQ(BrelkSimJournalEntry(0), "InitBRELKCCD()");
}

// A counted script answers only the calls it would answer anyway, that many
// times, and then leaves them to what answered before it.
TEST_F(SimulatorTest, CountedScriptsAnswerTheirNextCallsThenFallBack) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(BrelkSimScriptNext("SetBRELKCCDParam", BRELKCCD_GAIN, -1, 2), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_OFFSET, 40), 0u) << "another control used up the count";
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30), kError);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 0.0) << "a scripted failure applied the value";
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30), kError);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30), 0u) << "the camera's own answer after the count";
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 30.0);

  // After a control's counted script, the script for every control answers.
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, 7), 0);
  ASSERT_EQ(BrelkSimScriptNext("SetBRELKCCDParam", BRELKCCD_GAIN, -1, 1), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 40), kError);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 40), 7u);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 40), 7u);

  // A counted script for every control counts every control's calls; one
  // for the same key replaces it, counted or not.
  ASSERT_EQ(BrelkSimScriptNext("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, 5, 2), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_OFFSET, 41), 5u);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 41), 5u);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 42), 0u);
  ASSERT_EQ(BrelkSimScriptNext("GetBRELKCCDParam", BRELKCCD_CURRENT_TEMPERATURE, -12.5, 1), 0);
  ASSERT_EQ(BrelkSimScript("GetBRELKCCDParam", BRELKCCD_CURRENT_TEMPERATURE, 99), 0);
  EXPECT_EQ(temperature(h), 99.0);
  EXPECT_EQ(temperature(h), 99.0);
  ASSERT_EQ(BrelkSimScriptNext("GetBRELKCCDParam", BRELKCCD_CURRENT_TEMPERATURE, -12.5, 1), 0);
  EXPECT_EQ(temperature(h), -12.5);
  EXPECT_EQ(temperature(h), 20.0) << "the sensor's own reading after the count";

  // Calls with a null handle count too: the script answers them.
  ASSERT_EQ(BrelkSimScriptNext("ExpBRELKCCDSingleFrame", BRELKSIM_ANY_CONTROL, 0, 1), 0);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(nullptr), 0u);
  EXPECT_EQ(ExpBRELKCCDSingleFrame(nullptr), kError);

  EXPECT_EQ(BrelkSimScriptNext("SetBRELKCCDParam", BRELKCCD_GAIN, -1, 0), -1) << "a count of 0";
  EXPECT_EQ(BrelkSimScriptNext("NoSuchOperation", BRELKSIM_ANY_CONTROL, -1, 1), -1);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 43), 0u) << "a refused script was set";
}

TEST_F(SimulatorTest, UnscriptingLeavesTheCamerasAsTheyAre) {
  BrelkCcdHandle* h = ready();
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 30), 0u);
  ASSERT_EQ(SetBRELKCCDParam(h, BRELKCCD_CFW, '3'), 0u);
  BrelkSimAdvance(1);
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKCCD_GAIN, -1), 0);
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, 5), 0);
  ASSERT_EQ(BrelkSimScript("GetBRELKCCDEffectiveArea", BRELKSIM_ANY_CONTROL, -1), 0);
  const double written[] = {1, 2, 3, 4};
  ASSERT_EQ(BrelkSimScriptOutputs("GetBRELKCCDEffectiveArea", 4, written, 0xF), 0);

  // One control's script goes; the one for every control answers it now.
  ASSERT_EQ(BrelkSimUnscript("SetBRELKCCDParam", BRELKCCD_GAIN), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 50), 5u);
  ASSERT_EQ(BrelkSimUnscript("SetBRELKCCDParam", BRELKCCD_OFFSET), 0) << "nothing to remove";
  ASSERT_EQ(BrelkSimUnscript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 60), 0u);
  EXPECT_EQ(GetBRELKCCDParam(h, BRELKCCD_GAIN), 60.0);

  // Every script of an operation and its scripted outputs go at once.
  std::vector<uint32_t> area{9, 9, 9, 9};
  EXPECT_EQ(GetBRELKCCDEffectiveArea(h, &area[0], &area[1], &area[2], &area[3]), kError);
  EXPECT_EQ(area, (std::vector<uint32_t>{1, 2, 3, 4}));
  ASSERT_EQ(BrelkSimUnscriptAll("GetBRELKCCDEffectiveArea"), 0);
  EXPECT_EQ(GetBRELKCCDEffectiveArea(h, &area[0], &area[1], &area[2], &area[3]), 0u);
  EXPECT_EQ(area, (std::vector<uint32_t>{48, 24, 3008, 2008}));
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKCCD_GAIN, -1), 0);
  ASSERT_EQ(BrelkSimScript("SetBRELKCCDParam", BRELKSIM_ANY_CONTROL, -1), 0);
  ASSERT_EQ(BrelkSimUnscriptAll("SetBRELKCCDParam"), 0);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_GAIN, 70), 0u);
  EXPECT_EQ(SetBRELKCCDParam(h, BRELKCCD_OFFSET, 70), 0u);

  // The camera carried on: still initialised, the wheel still on its way.
  EXPECT_EQ(wheel(h), kMoving);
  BrelkSimAdvance(2);
  EXPECT_EQ(wheel(h), '3');
  EXPECT_EQ(BrelkSimUnscript("NoSuchOperation", BRELKSIM_ANY_CONTROL), -1);
  EXPECT_EQ(BrelkSimUnscriptAll("NoSuchOperation"), -1);
  EXPECT_EQ(BrelkSimUnscriptAll(nullptr), -1);
}

// Only 0 means anything for a handle. Any other scripted open must leave
// both cameras answering exactly as after an unscripted open.
TEST_F(SimulatorTest, AScriptedOpenOtherThanZeroOpensAsUsual) {
  auto night = [](double script, bool scripted) {
    BrelkSimReset();
    BrelkSimSetManualClock(1);
    if (scripted) {
      EXPECT_EQ(BrelkSimScript("OpenBRELKCCD", BRELKSIM_ANY_CONTROL, script), 0);
    }
    BrelkCcdHandle* mono = ready("SIM-MONO");
    BrelkCcdHandle* colour = ready("SIM-COLOR");
    std::vector<double> answers = use(mono);
    for (BrelkCcdHandle* h : {OpenBRELKCCD("SIM-MONO"), OpenBRELKCCD("SIM-COLOR")}) {
      answers.push_back(signedResult(IsBRELKCCDControlAvailable(h, BRELKCCD_HUMIDITY)));
      answers.push_back(GetBRELKCCDParam(h, BRELKCCD_HUMIDITY));
      answers.push_back(signedResult(IsBRELKCCDControlAvailable(h, BRELKCCD_CFW)));
      answers.push_back(signedResult(SetBRELKCCDParam(h, BRELKCCD_CFW, '3')));
      answers.push_back(wheel(h));
    }
    BrelkSimAdvance(3);
    answers.push_back(wheel(mono));
    answers.push_back(GetBRELKCCDParam(colour, BRELKCCD_PRESSURE));
    return std::make_pair(answers, brelksim::journal());
  };
  const auto unscripted = night(0, false);
  ASSERT_EQ(unscripted.first[kUsed.size() + 6], 45.0) << "SIM-COLOR's humidity";
  for (double script : {1.0, -1.0, 7.0, double(NAN)}) EXPECT_EQ(night(script, true), unscripted) << script;

  // 0 fails the opens it answers, and only those when counted.
  BrelkSimReset();
  ASSERT_EQ(BrelkSimScriptNext("OpenBRELKCCD", BRELKSIM_ANY_CONTROL, 0, 1), 0);
  EXPECT_EQ(OpenBRELKCCD("SIM-MONO"), nullptr);
  EXPECT_NE(OpenBRELKCCD("SIM-MONO"), nullptr);
}

TEST_F(SimulatorTest, TheClockIsManualOnlyWhenAskedAndResetBringsBackTheRealOne) {
  const double start = BrelkSimNow();  // the moments between the reset and the manual clock
  EXPECT_GE(start, 0.0);
  EXPECT_LT(start, 1.0);
  BrelkSimAdvance(1.5);
  for (double ignored : {-1.0, 0.0, double(NAN), double(INFINITY)}) BrelkSimAdvance(ignored);
  EXPECT_EQ(BrelkSimNow(), start + 1.5);

  // Back on the real clock, time goes on from where it stood.
  BrelkSimSetTimeScale(1e9);  // one simulated second per real nanosecond
  BrelkSimSetManualClock(0);
  EXPECT_GE(BrelkSimNow(), start + 1.5);
  double now = BrelkSimNow();
  for (int i = 0; i < 1000000 && now < 1000; ++i) now = BrelkSimNow();
  EXPECT_GE(now, 1000.0) << "the scaled real clock does not run";
  BrelkSimSetManualClock(1);
  now = BrelkSimNow();
  EXPECT_EQ(BrelkSimNow(), now) << "the manual clock moved by itself";

  BrelkSimReset();
  EXPECT_LT(BrelkSimNow(), 1.0) << "reset kept the scale or the time";
  EXPECT_GE(BrelkSimNow(), 0.0);
}

}  // namespace

namespace {

// A night of polling must not grow the simulator: the journal keeps only its
// newest lines, and can be switched off.
TEST_F(SimulatorTest, JournalKeepsItsNewestLinesAndCanBeSwitchedOff) {
  BrelkCcdHandle* h = ready();
  BrelkSimJournalClear();
  for (uint32_t i = 0; i < BRELKSIM_JOURNAL_LIMIT + 5; ++i) GetBRELKCCDParam(h, i % 8);
  ASSERT_EQ(BrelkSimJournalSize(), static_cast<size_t>(BRELKSIM_JOURNAL_LIMIT));
  EXPECT_STREQ(BrelkSimJournalEntry(0), "GetBRELKCCDParam(5)");
  EXPECT_STREQ(BrelkSimJournalEntry(BRELKSIM_JOURNAL_LIMIT - 1), "GetBRELKCCDParam(4)");

  BrelkSimSetJournal(0);
  GetBRELKCCDParam(h, BRELKCCD_GAIN);
  EXPECT_EQ(BrelkSimJournalSize(), static_cast<size_t>(BRELKSIM_JOURNAL_LIMIT));
  BrelkSimReset();
  OpenBRELKCCD("SIM-MONO");
  ASSERT_EQ(BrelkSimJournalSize(), 1u);
  EXPECT_STREQ(BrelkSimJournalEntry(0), "OpenBRELKCCD(\"SIM-MONO\")");
}

}  // namespace
