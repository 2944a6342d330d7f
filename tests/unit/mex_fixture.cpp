#include "mex_fixture.h"

#include <cmath>
#include <map>

#include "mexhost_loader.h"

namespace mextest {

namespace {
using mexhost::Gateway;
using mexhost::takePrinted;

Gateway gateway(const std::string& module) {
  static std::map<std::string, Gateway> loaded;
  auto it = loaded.find(module);
  if (it != loaded.end()) return it->second;
  const std::string path = std::string(BRELK_MEX_DIR) + "/" + module + "." + BRELK_MEX_EXT;
  std::string error;
  Gateway entry = mexhost::loadGateway(path, error);
  if (!entry) {
    ADD_FAILURE() << "cannot load " << path << ": " << error;  // in every test that calls it
    return nullptr;
  }
  return loaded[module] = entry;
}

// Marks slots the module must not touch.
mxArray* const kUntouched = reinterpret_cast<mxArray*>(static_cast<uintptr_t>(0xDEAD0));
}  // namespace

mxArray* bytes(const std::string& s, bool terminated) {
  mxArray* a = mxCreateNumericMatrix(1, s.size() + (terminated ? 1 : 0), mxUINT8_CLASS, mxREAL);
  if (!s.empty()) std::copy(s.begin(), s.end(), static_cast<char*>(mxGetData(a)));
  return a;
}

mxArray* text(const std::u16string& s) {
  const mwSize dims[2] = {1, s.size()};
  mxArray* a = mxCreateCharArray(2, dims);
  if (!s.empty()) std::copy(s.begin(), s.end(), mxGetChars(a));
  return a;
}

mxArray* number(double value) { return mxCreateDoubleScalar(value); }

mxArray* empty(mxClassID id) { return mxCreateNumericMatrix(0, 0, id, mxREAL); }

double element(const mxArray* a, size_t i) {
  const void* data = mxGetData(a);
  switch (mxGetClassID(a)) {
    case mxDOUBLE_CLASS: return static_cast<const double*>(data)[i];
    case mxUINT32_CLASS: return static_cast<const uint32_t*>(data)[i];
    case mxINT32_CLASS: return static_cast<const int32_t*>(data)[i];
    case mxUINT8_CLASS: return static_cast<const uint8_t*>(data)[i];
    default: ADD_FAILURE() << "unexpected output class " << mxGetClassID(a); return NAN;
  }
}

Result::Result(Result&& other) noexcept
    : status(other.status),
      printed(std::move(other.printed)),
      journal(std::move(other.journal)),
      outputs(std::move(other.outputs)) {
  other.outputs.clear();
}

Result::~Result() {
  for (mxArray* a : outputs) mxDestroyArray(a);
}

size_t Result::outputCount() const {
  size_t n = 0;
  for (const mxArray* a : outputs) n += a != nullptr;
  return n;
}

Result call(const std::string& module, int nlhs, std::vector<mxArray*> inputs) {
  Result r;
  Gateway entry = gateway(module);
  if (!entry) return r;
  BrelkSimJournalClear();
  takePrinted();
  const size_t supplied = static_cast<size_t>(nlhs > 1 ? nlhs : 1);
  std::vector<mxArray*> slots(supplied + 8, kUntouched);
  for (size_t i = 0; i < supplied; ++i) slots[i] = nullptr;
  std::vector<const mxArray*> in(inputs.begin(), inputs.end());
  entry(nlhs, slots.data(), static_cast<int>(in.size()), in.data());
  for (mxArray* a : inputs) mxDestroyArray(a);

  for (size_t i = supplied; i < slots.size(); ++i)
    EXPECT_EQ(slots[i], kUntouched) << module << " wrote output slot " << i << " with nlhs " << nlhs;
  r.outputs.assign(slots.begin(), slots.begin() + static_cast<long>(supplied));
  r.printed = takePrinted();
  r.journal = brelksim::journal();
  const mxArray* status = r.output(0);
  if (status && mxGetClassID(status) == mxINT32_CLASS && mxGetNumberOfElements(status) == 1 &&
      !mxIsComplex(status)) {
    r.status = *static_cast<const int32_t*>(mxGetData(status));
    EXPECT_TRUE(r.status == 0 || r.status == -1) << module << " status " << r.status;
  } else {
    ADD_FAILURE() << module << " left no 1x1 int32 status in slot 0";
  }
  return r;
}

void freshCamera(const char* id) {
  BrelkSimReset();
  BrelkCcdHandle* h = OpenBRELKCCD(id);
  ASSERT_NE(h, nullptr) << id;
  ASSERT_EQ(SetBRELKCCDReadMode(h, 0), 0u);
  ASSERT_EQ(SetBRELKCCDStreamMode(h, 0), 0u);
  ASSERT_EQ(InitBRELKCCD(h), 0u);
  BrelkSimJournalClear();
  takePrinted();
}

void script(const char* operation, int32_t control, double result) {
  ASSERT_EQ(BrelkSimScript(operation, control, result), 0) << operation;
}

void script(const char* operation, double result) { script(operation, BRELKSIM_ANY_CONTROL, result); }

void ModuleTest::SetUp() {
  freshCamera();
  liveArrays_ = mexhost_live_arrays();
}

void ModuleTest::TearDown() {
  EXPECT_EQ(mexhost_live_arrays(), liveArrays_) << "arrays leaked";
}

}  // namespace mextest
