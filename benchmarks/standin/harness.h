// What the stand-in host's benchmarks share: the functions measured, their
// prebuilt inputs, one call as MATLAB makes it, and the simulated camera set
// up to answer at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mexhost_loader.h"

namespace brelkbench {

using mexhost::Gateway;

// One measured function: a module called with these inputs and outputs,
// the same SDK calls made directly, without the module, and where there is
// one the module's hand-written twin called the same way.
struct Case {
  const char* label;   // short name, for --count
  const char* title;   // as the table shows it
  const char* module;  // file name without extension
  const char* id;      // the camera ID, passed as a char row as scripts do
  std::vector<double> numbers;  // inputs 1.. as double scalars
  int nlhs;
  void (*sdk)(const char* id);  // null for the baseline
  int32_t status;               // what the call must return, checked before timing
  bool twinned;                 // a twin of the module is measured against it
};

const std::vector<Case>& cases();
const Case* findCase(const std::string& label);

// What a Prepared calls: the case's module or its twin.
enum class Build { Module, Twin };

// A module (or its twin) loaded and its inputs built, ready to be called
// again and again.
class Prepared {
 public:
  explicit Prepared(const Case& c, Build build = Build::Module);  // exits if it cannot be loaded
  ~Prepared();
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;

  const Case& which() const { return case_; }
  const std::string& path() const { return path_; }

  // One call: mexFunction on the prebuilt inputs, then the outputs destroyed
  // and the printed text taken, as MATLAB's command window would.
  void call();
  // One call that returns the status and what was printed.
  int32_t check(std::string& printed);
  // The same SDK calls made directly.
  void callSdk();

 private:
  const Case& case_;
  std::string path_;
  Gateway entry_ = nullptr;
  std::vector<const mxArray*> inputs_;
  int slots_;
  mxArray* outputs_[8] = {};
};

// The simulator after a reset, on a manual clock (the cameras' physics stand
// still), both cameras initialised, every result the cases read scripted,
// and its journal off.
void prepareSdk();

// Resident memory of this process in KiB (VmRSS), 0 where unknown.
long residentKiB();

}  // namespace brelkbench
