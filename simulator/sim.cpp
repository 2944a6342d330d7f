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

std::optional<double> Sim::scripted(const char* operation, int32_t control) const {
  auto it = results.find({operation, control});
  if (it == results.end()) it = results.find({operation, BRELKSIM_ANY_CONTROL});
  if (it == results.end()) return std::nullopt;
  return it->second;
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

bool knownOperation(const char* operation) {
  for (const char* op : kOperations)
    if (std::strcmp(op, operation) == 0) return true;
  return false;
}

}  // namespace brelksim

using brelksim::sim;

extern "C" {

void BrelkSimReset(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().journal.clear();
  sim().journalOn = true;
  sim().results.clear();
  sim().outputs.clear();
  for (BrelkCcdCamera& c : sim().cameras) c.reset();
  sim().clock.reset();
}

int BrelkSimScript(const char* operation, int32_t control, double result) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !brelksim::knownOperation(operation)) return -1;
  sim().results[{operation, control}] = result;
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
