// Read mode, stream mode, initialisation, close and release.
#include <cmath>
#include <limits>

#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class SetupTest : public ModuleTest {};

const char* const kOpen = "OpenBRELKCCD(\"SIM-MONO\")";

TEST_F(SetupTest, ReadModeEchoesIdAndValueThenSetsTruncatedMode) {
  struct Case {
    double readMode;
    const char* printedValue;
    const char* sdkCall;
  } cases[] = {
      {1.0, "1.000000", "SetBRELKCCDReadMode(1)"},
      {1.9, "1.900000", "SetBRELKCCDReadMode(1)"},
      {-0.5, "-0.500000", "SetBRELKCCDReadMode(0)"},
      {-1.0, "-1.000000", "SetBRELKCCDReadMode(4294967295)"},
      {NAN, "nan", "SetBRELKCCDReadMode(2147483648)"},
      {3e9, "3000000000.000000", "SetBRELKCCDReadMode(2147483648)"},
      {-2147483648.9, "-2147483648.900000", "SetBRELKCCDReadMode(2147483648)"},
      {2147483647.9, "2147483647.900000", "SetBRELKCCDReadMode(2147483647)"},
  };
  for (const Case& c : cases) {
    script("SetBRELKCCDReadMode", 0);
    Result r = call("BRELK_2_SetReadMode", 1, {bytes("SIM-MONO"), number(c.readMode)});
    EXPECT_EQ(r.status, 0) << c.readMode;
    EXPECT_EQ(r.printed, std::string("id = SIM-MONO\nreadMode = ") + c.printedValue +
                             "\nSetup read mode successfully.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, c.sdkCall}));
  }
}

TEST_F(SetupTest, StreamModePassesLowByteOfTruncatedValue) {
  struct Case {
    double streamMode;
    const char* sdkCall;
  } cases[] = {
      {1.0, "SetBRELKCCDStreamMode(1)"},   {257.0, "SetBRELKCCDStreamMode(1)"},
      {-1.0, "SetBRELKCCDStreamMode(255)"}, {1.7, "SetBRELKCCDStreamMode(1)"},
      {NAN, "SetBRELKCCDStreamMode(0)"},   {-INFINITY, "SetBRELKCCDStreamMode(0)"},
  };
  for (const Case& c : cases) {
    script("SetBRELKCCDStreamMode", 0);
    Result r = call("BRELK_3_SetStreamMode", 1, {bytes("SIM-MONO"), number(c.streamMode)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.journal, (Lines{kOpen, c.sdkCall})) << c.streamMode;
  }
  Result r = call("BRELK_3_SetStreamMode", 1, {bytes("SIM-MONO"), number(257)});
  EXPECT_EQ(r.printed, "streamMode = 257.000000\nSetup stream mode successfully.\n");
}

// The zero test: only 0 succeeds.
TEST_F(SetupTest, ZeroTestFunctionsFailOnAnyNonZeroResult) {
  struct Case {
    const char* module;
    const char* operation;
    bool hasInput;
    const char* echo;
    const char* ok;
    const char* failed;
  } cases[] = {
      {"BRELK_2_SetReadMode", "SetBRELKCCDReadMode", true, "id = SIM-MONO\nreadMode = 1.000000\n",
       "Setup read mode successfully.\n", "Setup read mode failed.\n"},
      {"BRELK_3_SetStreamMode", "SetBRELKCCDStreamMode", true, "streamMode = 1.000000\n",
       "Setup stream mode successfully.\n", "Setup stream mode failed.\n"},
      {"BRELK_4_InitCamera", "InitBRELKCCD", false, "", "Init camera's parameters successfully.\n",
       "Init camera's parameters failed.\n"},
  };
  for (const Case& c : cases) {
    for (double result : {0.0, 1.0, -1.0, 2.0}) {
      script(c.operation, result);
      std::vector<mxArray*> in{bytes("SIM-MONO")};
      if (c.hasInput) in.push_back(number(1));
      Result r = call(c.module, 1, in);
      const bool ok = result == 0.0;
      EXPECT_EQ(r.status, ok ? 0 : -1) << c.module << " " << result;
      EXPECT_EQ(r.printed, std::string(c.echo) + (ok ? c.ok : c.failed)) << c.module;
    }
  }
}

TEST_F(SetupTest, InitCallsInitWithTheOpenedCamera) {
  Result r = call("BRELK_4_InitCamera", 0, {bytes("SIM-MONO")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.journal, (Lines{kOpen, "InitBRELKCCD()"}));
  EXPECT_EQ(r.outputCount(), 1u);
}

TEST_F(SetupTest, CloseThenReleaseWithTheMinusOneTestForEach) {
  struct Case {
    double close, release;
    int32_t status;
    const char* printed;
    Lines sdk;
  } cases[] = {
      {0, 0, 0, "Close camera successfully.\nRelease resource successfully.\n",
       {kOpen, "CloseBRELKCCD()", "ReleaseBRELKCCDResource()"}},
      {1, 5, 0, "Close camera successfully.\nRelease resource successfully.\n",
       {kOpen, "CloseBRELKCCD()", "ReleaseBRELKCCDResource()"}},
      {-1, 0, -1, "Close camera failed.\n", {kOpen, "CloseBRELKCCD()"}},
      {0, -1, -1, "Close camera successfully.\nRelease resource failed.\n",
       {kOpen, "CloseBRELKCCD()", "ReleaseBRELKCCDResource()"}},
  };
  for (const Case& c : cases) {
    freshCamera();
    script("CloseBRELKCCD", c.close);
    script("ReleaseBRELKCCDResource", c.release);
    Result r = call("BRELK_11_CloseCamera", 1, {bytes("SIM-MONO")});
    EXPECT_EQ(r.status, c.status) << c.close << " " << c.release;
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_EQ(r.journal, c.sdk);
  }
}

// An unknown camera: only the status exists and nothing but the open is called.
TEST_F(SetupTest, OpenFailureStopsEveryFunctionAfterTheOpen) {
  struct Case {
    const char* module;
    bool hasInput;
    const char* printed;
  } cases[] = {
      {"BRELK_2_SetReadMode", true, "id = NOSUCH\nOpen BRELKCCD failed.\n"},
      {"BRELK_3_SetStreamMode", true, "Open BRELKCCD failed.\n"},
      {"BRELK_4_InitCamera", false, "Open BRELKCCD failed.\n"},
      {"BRELK_11_CloseCamera", false, "Open BRELKCCD failed.\n"},
  };
  for (const Case& c : cases) {
    std::vector<mxArray*> in{bytes("NOSUCH")};
    if (c.hasInput) in.push_back(number(1));
    Result r = call(c.module, 3, in);
    EXPECT_EQ(r.status, -1) << c.module;
    EXPECT_EQ(r.printed, c.printed) << c.module;
    EXPECT_EQ(r.journal, (Lines{"OpenBRELKCCD(\"NOSUCH\")"})) << c.module;
    EXPECT_EQ(r.outputCount(), 1u) << c.module;
  }
}

TEST_F(SetupTest, TwoCallsInARowBothOpenTheCamera) {
  Result first = call("BRELK_4_InitCamera", 1, {bytes("SIM-MONO")});
  Result second = call("BRELK_4_InitCamera", 1, {bytes("SIM-MONO")});
  EXPECT_EQ(first.journal, (Lines{kOpen, "InitBRELKCCD()"}));
  EXPECT_EQ(second.journal, (Lines{kOpen, "InitBRELKCCD()"}));
  EXPECT_EQ(second.status, 0);
}

TEST_F(SetupTest, CameraIdIsReadWithinTheArray) {
  struct Case {
    const char* what;
    mxArray* id;
    const char* opened;
  } cases[] = {
      {"uint8 with 0", bytes("SIM-MONO"), "SIM-MONO"},
      {"uint8 without 0", bytes("SIM-MONO", false), "SIM-MONO"},
      {"char (16-bit)", text(u"SIM-MONO"), "SIM-MONO"},
      {"int8 with 0 inside", typed<int8_t>(mxINT8_CLASS, 'S'), "S"},
  };
  for (const Case& c : cases) {
    Result r = call("BRELK_4_InitCamera", 1, {c.id});
    EXPECT_EQ(r.journal.at(0), std::string("OpenBRELKCCD(\"") + c.opened + "\")") << c.what;
  }
  // A uint8 array stops at its first 0.
  mxArray* withZero = bytes(std::string("SIM-MONO\0junk", 13));
  Result r = call("BRELK_4_InitCamera", 1, {withZero});
  EXPECT_EQ(r.journal, (Lines{kOpen, "InitBRELKCCD()"}));
  EXPECT_EQ(r.status, 0);
}

TEST_F(SetupTest, NumericInputsAreReadByTheirClass) {
  struct Case {
    mxArray* readMode;
    const char* echoed;
    const char* sdkCall;
  } cases[] = {
      {typed<int32_t>(mxINT32_CLASS, 3), "3.000000", "SetBRELKCCDReadMode(3)"},
      {typed<uint8_t>(mxUINT8_CLASS, 2), "2.000000", "SetBRELKCCDReadMode(2)"},
      {typed<int16_t>(mxINT16_CLASS, -2), "-2.000000", "SetBRELKCCDReadMode(4294967294)"},
      {typed<float>(mxSINGLE_CLASS, 1.5f), "1.500000", "SetBRELKCCDReadMode(1)"},
      {typed<uint64_t>(mxUINT64_CLASS, 1), "1.000000", "SetBRELKCCDReadMode(1)"},
      {typed<mxLogical>(mxLOGICAL_CLASS, true), "1.000000", "SetBRELKCCDReadMode(1)"},
  };
  for (const Case& c : cases) {
    script("SetBRELKCCDReadMode", 0);
    Result r = call("BRELK_2_SetReadMode", 1, {bytes("SIM-MONO"), c.readMode});
    EXPECT_EQ(r.printed, std::string("id = SIM-MONO\nreadMode = ") + c.echoed +
                             "\nSetup read mode successfully.\n");
    EXPECT_EQ(r.journal, (Lines{kOpen, c.sdkCall}));
  }
}

// A refused input prints one line naming it, returns -1 and calls no SDK operation.
TEST_F(SetupTest, UnusableInputsAreRefusedBeforeTheOpen) {
  mxArray* complexMode = mxCreateNumericMatrix(1, 1, mxDOUBLE_CLASS, mxCOMPLEX);
  struct Case {
    const char* module;
    std::vector<mxArray*> inputs;
    const char* printed;
  } cases[] = {
      {"BRELK_4_InitCamera", {}, "Missing camera ID.\n"},
      {"BRELK_4_InitCamera", {empty(mxUINT8_CLASS)}, "Invalid camera ID.\n"},
      {"BRELK_4_InitCamera", {bytes("")}, "Invalid camera ID.\n"},
      {"BRELK_4_InitCamera", {number(1)}, "Invalid camera ID.\n"},
      {"BRELK_4_InitCamera", {mxCreateCellMatrix(1, 1)}, "Invalid camera ID.\n"},
      {"BRELK_4_InitCamera", {text(u"")}, "Invalid camera ID.\n"},
      {"BRELK_2_SetReadMode", {bytes("SIM-MONO")}, "Missing readMode.\n"},
      {"BRELK_2_SetReadMode", {bytes("SIM-MONO"), empty()}, "Invalid readMode.\n"},
      {"BRELK_2_SetReadMode", {bytes("SIM-MONO"), text(u"1")}, "Invalid readMode.\n"},
      {"BRELK_2_SetReadMode", {bytes("SIM-MONO"), complexMode}, "Invalid readMode.\n"},
      {"BRELK_2_SetReadMode", {number(7), number(1)}, "Invalid camera ID.\n"},
      {"BRELK_3_SetStreamMode", {bytes("SIM-MONO"), mxCreateCellMatrix(1, 1)}, "Invalid streamMode.\n"},
      {"BRELK_3_SetStreamMode", {bytes("SIM-MONO"), mxCreateSparse(1, 1, 1, mxREAL)},
       "Invalid streamMode.\n"},
  };
  for (Case& c : cases) {
    Result r = call(c.module, 1, c.inputs);
    EXPECT_EQ(r.status, -1) << c.module << " " << c.printed;
    EXPECT_EQ(r.printed, c.printed) << c.module;
    EXPECT_TRUE(r.journal.empty()) << c.module << " " << c.printed;
  }
}

// MATLAB supplies slot 0 even when no output is asked for.
TEST_F(SetupTest, StatusGoesToSlotZeroWhateverNlhs) {
  for (int nlhs : {0, 1, 4}) {
    Result r = call("BRELK_4_InitCamera", nlhs, {bytes("SIM-MONO")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.outputCount(), 1u);
  }
}

}  // namespace
