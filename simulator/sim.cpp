// The simulator's shared state and its test controls: scripts, journal, clock.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "brelkccd_sim.h"
#include "sdk_operations.h"
#include "state.h"

namespace brelksim {

BrelkCcdCamera* Sim::camera(const BrelkCcdHandle* handle) {
  for (BrelkCcdCamera& c : cameras)
    if (&c == handle) return &c;
  return nullptr;
}

BrelkCcdCamera* Sim::camera(const char* id) {
  for (BrelkCcdCamera& c : cameras)
    if (std::strcmp(c.model().id, id) == 0) return &c;
  return nullptr;
}

std::optional<double> Sim::answerScripted(const char* operation, int32_t control) {
  auto it = scripts.find({operation, control});
  if (it == scripts.end()) it = scripts.find({operation, BRELKSIM_ANY_CONTROL});
  if (it == scripts.end()) return std::nullopt;
  const double result = it->second.result;
  if (it->second.callsLeft != 0 && --it->second.callsLeft == 0) scripts.erase(it);
  return result;
}

const ScriptedOutputs* Sim::scriptedOutputs(const char* operation) const {
  auto it = outputs.find(operation);
  return it == outputs.end() ? nullptr : &it->second;
}

Sim& sim() {
  static Sim instance;
  return instance;
}

void record(const char* format, ...) {
  if (!sim().journalOn) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  sim().journal.emplace_back(line);
  if (sim().journal.size() > BRELKSIM_JOURNAL_LIMIT) sim().journal.pop_front();
}

uint32_t asResult(double value) {
  if (!(value >= -2147483648.0 && value <= 4294967295.0)) return BRELKCCD_ERROR;
  return value < 0 ? static_cast<uint32_t>(static_cast<int32_t>(value)) : static_cast<uint32_t>(value);
}

}  // namespace brelksim

using brelksim::sim;

namespace {

int setScript(const char* operation, int32_t control, double result, uint32_t calls) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !brelksim::knownOperation(operation)) return -1;
  sim().scripts[{operation, control}] = brelksim::Script{result, calls};
  return 0;
}

}  // namespace

extern "C" {

void BrelkSimReset(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().journal.clear();
  sim().journalOn = true;
  sim().scripts.clear();
  sim().outputs.clear();
  for (BrelkCcdCamera& c : sim().cameras) c.reset();
  sim().clock.reset();
}

int BrelkSimScript(const char* operation, int32_t control, double result) {
  return setScript(operation, control, result, 0);
}

int BrelkSimScriptNext(const char* operation, int32_t control, double result, uint32_t count) {
  return count == 0 ? -1 : setScript(operation, control, result, count);
}

int BrelkSimUnscript(const char* operation, int32_t control) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !brelksim::knownOperation(operation)) return -1;
  sim().scripts.erase({operation, control});
  return 0;
}

int BrelkSimUnscriptAll(const char* operation) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !brelksim::knownOperation(operation)) return -1;
  auto& scripts = sim().scripts;
  for (auto it = scripts.lower_bound({operation, INT32_MIN}); it != scripts.end() && it->first.first == operation;)
    it = scripts.erase(it);
  sim().outputs.erase(operation);
  return 0;
}

int BrelkSimScriptOutputs(const char* operation, size_t count, const double* values, uint32_t writtenMask) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !brelksim::knownOperation(operation) || (count && !values)) return -1;
  sim().outputs[operation] = brelksim::ScriptedOutputs{std::vector<double>(values, values + count), writtenMask};
  return 0;
}

void BrelkSimSetManualClock(int manual) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().clock.setManual(manual != 0);
}

void BrelkSimAdvance(double seconds) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (std::isfinite(seconds) && seconds > 0) sim().clock.advance(seconds);
}

void BrelkSimSetTimeScale(double factor) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (std::isfinite(factor) && factor > 0) sim().clock.setScale(factor);
}

double BrelkSimNow(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  return sim().clock.now();
}

size_t BrelkSimJournalSize(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  return sim().journal.size();
}

const char* BrelkSimJournalEntry(size_t index) {
  std::lock_guard<std::mutex> g(sim().lock);
  return index < sim().journal.size() ? sim().journal[index].c_str() : nullptr;
}

void BrelkSimJournalClear(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().journal.clear();
}

void BrelkSimSetJournal(int on) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().journalOn = on != 0;
}

}  // extern "C"
