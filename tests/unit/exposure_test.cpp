// Stages 9 and 10: single-frame and live exposure.
#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class ExposureTest : public ModuleTest {};

struct Exposure {
  const char* module;
  const char* operation;
  const char* ok;
  const char* failed;
};

const Exposure kExposures[] = {
    {"BRELK_9_BeginSingleExpose", "ExpBRELKCCDSingleFrame", "Begin single expose successfully.\n",
     "Begin single expose failed.\n"},
    {"BRELK_9_StopSingleCapture", "CancelBRELKCCDExposingAndReadout", "Stop single mode successfully.\n",
     "Stop single mode failed.\n"},
    {"BRELK_10_BeginLiveExpose", "BeginBRELKCCDLive", "Begin live expose successfully.\n",
     "Begin live expose failed.\n"},
    {"BRELK_10_StopLiveCapture", "StopBRELKCCDLive", "Stop live mode successfully.\n", "Stop live mode failed.\n"},
};

// The minus-one test: 0 and positive results succeed, only -1 fails.
TEST_F(ExposureTest, EachCallMakesItsOperationAndFailsOnlyOnMinusOne) {
  for (const Exposure& e : kExposures) {
    for (double result : {0.0, 1.0, 7.0, -1.0, -2.0}) {
      script(e.operation, result);
      Result r = call(e.module, 1, {bytes("SIM-MONO")});
      const bool ok = result != -1.0;
      EXPECT_EQ(r.status, ok ? 0 : -1) << e.module << " " << result;
      EXPECT_EQ(r.printed, ok ? e.ok : e.failed) << e.module << " " << result;
      EXPECT_EQ(r.journal, (Lines{"OpenBRELKCCD(\"SIM-MONO\")", std::string(e.operation) + "()"})) << e.module;
      EXPECT_EQ(r.outputCount(), 1u) << e.module;
    }
  }
}

TEST_F(ExposureTest, OpenFailurePrintsOnlyItsLine) {
  for (const char* id : {"NOSUCH", "SIM-MONO"}) {
    if (std::string(id) == "SIM-MONO") script("OpenBRELKCCD", 0);
    for (const Exposure& e : kExposures) {
      Result r = call(e.module, 2, {bytes(id)});
      EXPECT_EQ(r.status, -1) << e.module << " " << id;
      EXPECT_EQ(r.printed, "Open BRELKCCD failed.\n") << e.module << " " << id;
      EXPECT_EQ(r.journal, (Lines{std::string("OpenBRELKCCD(\"") + id + "\")"})) << e.module << " " << id;
      EXPECT_EQ(r.outputCount(), 1u) << e.module;
    }
  }
}

}  // namespace
