// What the whole simulated SDK shares: one lock, the journal, the scripts,
// the clock and the cameras. Every entry point holds the lock throughout.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "camera.h"
#include "clock.h"

namespace brelksim {

struct Script {
  double result = 0;
  uint32_t callsLeft = 0;  // 0: every later call
};

struct ScriptedOutputs {
  std::vector<double> values;
  uint32_t writtenMask = 0;
};

struct Sim {
  std::mutex lock;
  Clock clock;
  std::deque<std::string> journal;  // the newest BRELKSIM_JOURNAL_LIMIT lines
  bool journalOn = true;
  std::map<std::pair<std::string, int32_t>, Script> scripts;
  std::map<std::string, ScriptedOutputs> outputs;
  // Fixed for the life of the library, so a handle never dangles.
  BrelkCcdCamera cameras[2] = {BrelkCcdCamera(kModels[0]), BrelkCcdCamera(kModels[1])};

  // The camera behind a handle, or null for anything that is not one of ours.
  BrelkCcdCamera* camera(const BrelkCcdHandle* handle);
  BrelkCcdCamera* camera(const char* id);
  // The scripted answer to this call of `operation` for `control`, if any:
  // the control's own script, else the one for every control. The call
  // counts against that script, which ends with its last counted call.
  std::optional<double> answerScripted(const char* operation, int32_t control);
  const ScriptedOutputs* scriptedOutputs(const char* operation) const;
};

Sim& sim();

// Appends one printf-formatted line to the journal.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void record(const char* format, ...);

// A scripted double as a 32-bit SDK result: taken as a signed integer, so -1
// is all bits set; values that fit in no 32-bit integer give -1.
uint32_t asResult(double value);

}  // namespace brelksim
