// Camera IDs of every length reach the SDK whole: a short copy lives in the
// call itself, a long one on the heap, and a zero-terminated 8-bit ID is
// passed as it is.
#include "mex_fixture.h"

using namespace mextest;
using Lines = std::vector<std::string>;

namespace {

class CameraIdTest : public ModuleTest {};

TEST_F(CameraIdTest, IdsOnBothSidesOfTheCopyLimitReachTheSdkWhole) {
  struct Case {
    const char* what;
    bool text;        // char row; else uint8
    bool terminated;  // uint8 only
    size_t length;
  } cases[] = {
      {"char, copy just fits the call", true, false, 85},  // 85 * 3 + 1 = 256 bytes
      {"char, copy on the heap", true, false, 86},
      {"uint8 without 0, copy just fits", false, false, 255},
      {"uint8 without 0, copy on the heap", false, false, 256},
      {"uint8 with 0, passed as it is", false, true, 300},
  };
  for (const Case& c : cases) {
    std::string id(c.length, 'X');
    id.front() = 'A';
    id.back() = 'Z';
    mxArray* input = c.text ? text(std::u16string(id.begin(), id.end())) : bytes(id, c.terminated);
    Result r = call("BRELK_4_InitCamera", 1, {input});
    EXPECT_EQ(r.journal, (Lines{"OpenBRELKCCD(\"" + id + "\")"})) << c.what;
    EXPECT_EQ(r.printed, "Open BRELKCCD failed.\n") << c.what;
    EXPECT_EQ(r.status, -1) << c.what;
  }
}

}  // namespace
