// Inputs at the edges of what the frame and the stand-in host handle: camera
// IDs around the size of the frame's own copy, and data read past its end.
#include <cstdlib>
#include <cstring>
#include <string>

#include "mex_fixture.h"

using namespace mextest;

namespace {

class RobustnessTest : public ModuleTest {};

// An unknown ID reaches the SDK whole, whatever its length and class, and
// only the open is attempted.
TEST_F(RobustnessTest, LongCameraIdsReachTheSdkWhole) {
  for (size_t length : {63u, 64u, 84u, 85u, 86u, 255u, 256u, 257u, 300u}) {
    const std::string id(length, 'C');
    const std::string open = "OpenBRELKCCD(\"" + id + "\")";
    struct Form {
      const char* name;
      mxArray* array;
    } forms[] = {
        {"uint8 with 0", bytes(id)},
        {"uint8 without 0", bytes(id, false)},
        {"char", text(std::u16string(id.begin(), id.end()))},
    };
    for (const Form& f : forms) {
      Result r = call("BRELK_4_InitCamera", 1, {f.array});
      EXPECT_EQ(r.status, -1) << f.name << " " << length;
      EXPECT_EQ(r.printed, "Open BRELKCCD failed.\n") << f.name << " " << length;
      EXPECT_EQ(r.journal, std::vector<std::string>{open}) << f.name << " " << length;
    }
  }
}

// Non-ASCII text takes up to three bytes a character in the SDK's 8-bit
// string, so a char ID needs more room than it has characters.
TEST_F(RobustnessTest, WideCharacterIdsAreConvertedWhole) {
  for (size_t length : {85u, 86u, 200u}) {
    const std::u16string id(length, u'\u2103');  // three bytes each in UTF-8
    std::string utf8;
    for (size_t i = 0; i < length; ++i) utf8 += "\xE2\x84\x83";
    Result r = call("BRELK_4_InitCamera", 1, {text(id)});
    EXPECT_EQ(r.status, -1) << length;
    std::string open = "OpenBRELKCCD(\"" + utf8 + "\")";
    if (open.size() > 511) open.resize(511);  // the journal keeps 511 bytes a line
    EXPECT_EQ(r.journal, std::vector<std::string>{open}) << length;
  }
}

// The stand-in host ends every array's data at an inaccessible page, so a
// read one element too far faults even without a sanitizer. (Under valgrind
// the data is on the heap instead, where memcheck reports the read itself.)
TEST(HostGuardDeathTest, ReadingPastTheEndOfAnArraysDataFaults) {
  const char* mode = std::getenv("MEXHOST_ARRAY_DATA");
  if (mode && std::strcmp(mode, "heap") == 0) GTEST_SKIP() << "heap data: memcheck watches the ends";
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  for (mwSize n : {1u, 7u, 4096u}) {
    EXPECT_DEATH(
        {
          mxArray* a = mxCreateNumericMatrix(1, n, mxUINT8_CLASS, mxREAL);
          const volatile char* data = static_cast<const char*>(mxGetData(a));
          std::printf("%d\n", data[n]);
        },
        "")
        << n;
  }
}

}  // namespace
