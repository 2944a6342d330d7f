// Calls built modules the way MATLAB does: dlopen by file name, mexFunction
// with chosen nlhs and inputs; captures what they printed and the SDK calls
// they made.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "brelkccd_sim.h"
#include "mexhost.h"

namespace mextest {

// Input arrays. The fixture destroys them after the call.
mxArray* bytes(const std::string& s, bool terminated = true);  // uint8 row, 0 appended
mxArray* text(const std::u16string& s);                         // char row (16-bit)
mxArray* number(double value);
mxArray* empty(mxClassID id = mxDOUBLE_CLASS);
template <class T>
mxArray* typed(mxClassID id, T value) {
  mxArray* a = mxCreateNumericMatrix(1, 1, id, mxREAL);
  *static_cast<T*>(mxGetData(a)) = value;
  return a;
}

// Element i of an output array of any of the toolbox's output classes, as a
// double; a test failure for any other class.
double element(const mxArray* a, size_t i = 0);

struct Result {
  int32_t status = 0;
  std::string printed;
  std::vector<std::string> journal;
  std::vector<mxArray*> outputs;  // what the module left in the supplied slots
  Result() = default;
  Result(Result&& other) noexcept;
  Result& operator=(Result&&) = delete;
  ~Result();

  const mxArray* output(size_t slot) const { return slot < outputs.size() ? outputs[slot] : nullptr; }
  template <class T>
  std::vector<T> values(size_t slot) const {
    const mxArray* a = output(slot);
    if (!a) return {};
    const T* data = static_cast<const T*>(mxGetData(a));
    return std::vector<T>(data, data + mxGetNumberOfElements(a));
  }
  size_t outputCount() const;  // slots holding an array
};

// Loads `module` from the build's mex folder and calls it; fails the test if
// the module wrote a slot it was not given or left the status malformed.
Result call(const std::string& module, int nlhs, std::vector<mxArray*> inputs);

// Resets the simulator, brings `id` to an initialised camera through the
// SDK itself, and clears the journal and printed text.
void freshCamera(const char* id = "SIM-MONO");

// Result as the simulator's scripting takes it (-1 is all 32 bits set).
void script(const char* operation, int32_t control, double result);
void script(const char* operation, double result);

class ModuleTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  size_t liveArrays_ = 0;
};

}  // namespace mextest
