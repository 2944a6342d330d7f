// The simulated camera SDK. Every entry point records itself in the journal,
// answers a scripted result when one is set, and otherwise asks the camera.
#include "brelkccd_sim.h"

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct BrelkCcdCamera {
  std::string id;
  bool open = false;
  bool monochrome = true;
  bool hasWheel = false;
  bool hasHumidity = false;
  bool hasPressure = false;
  uint32_t patternCode = 0;  // 1..4 on a colour camera
  double values[64] = {};   // control values, by control number
};

namespace {

const char* const kOperations[] = {
    "OpenBRELKCCD", "InitBRELKCCD", "CloseBRELKCCD", "ReleaseBRELKCCDResource",
    "SetBRELKCCDReadMode", "SetBRELKCCDStreamMode", "SetBRELKCCDParam", "GetBRELKCCDParam",
    "IsBRELKCCDControlAvailable", "SetBRELKCCDResolution", "GetBRELKCCDEffectiveArea",
    "GetBRELKCCDOverScanArea", "GetBRELKCCDChipInfo", "IsBRELKCCDCFWPlugged",
    "ExpBRELKCCDSingleFrame", "CancelBRELKCCDExposingAndReadout", "BeginBRELKCCDLive",
    "StopBRELKCCDLive"};

struct Outputs {
  std::vector<double> values;
  uint32_t mask = 0;
};

// Simulated time: frozen and moved by hand, or the real clock times a scale.
class Clock {
 public:
  double now() const {
    if (manual_) return base_;
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - since_;
    return base_ + scale_ * real.count();
  }
  void setManual(bool manual) {
    rebase();
    manual_ = manual;
  }
  void setScale(double factor) {
    rebase();
    scale_ = factor;
  }
  void advance(double seconds) { base_ += seconds; }
  void reset() { *this = Clock(); }

 private:
  void rebase() {
    base_ = now();
    since_ = std::chrono::steady_clock::now();
  }
  bool manual_ = false;
  double scale_ = 1.0;
  double base_ = 0.0;
  std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};

struct Sim {
  std::mutex lock;
  Clock clock;
  std::vector<std::string> journal;
  std::map<std::pair<std::string, int32_t>, double> results;
  std::map<std::string, Outputs> outputs;
  std::map<std::string, BrelkCcdCamera> cameras;

  Sim() { resetCameras(); }

  void resetCameras() {
    cameras.clear();
    BrelkCcdCamera mono;
    mono.id = "SIM-MONO";
    mono.hasWheel = true;
    mono.values[BRELKCCD_CURRENT_TEMPERATURE] = 20.0;
    mono.values[BRELKCCD_CFW_SLOTS] = 7;
    mono.values[BRELKCCD_CFW] = '0';
    cameras[mono.id] = mono;
    BrelkCcdCamera colour;
    colour.id = "SIM-COLOR";
    colour.monochrome = false;
    colour.patternCode = 4;
    colour.hasHumidity = colour.hasPressure = true;
    colour.values[BRELKCCD_CURRENT_TEMPERATURE] = 20.0;
    colour.values[BRELKCCD_HUMIDITY] = 45.0;
    colour.values[BRELKCCD_PRESSURE] = 1013.25;
    cameras[colour.id] = colour;
  }

  bool known(const char* operation) const {
    for (const char* op : kOperations)
      if (std::strcmp(op, operation) == 0) return true;
    return false;
  }

  bool scripted(const char* operation, int32_t control, double& result) const {
    auto it = results.find({operation, control});
    if (it == results.end()) it = results.find({operation, BRELKSIM_ANY_CONTROL});
    if (it == results.end()) return false;
    result = it->second;
    return true;
  }
};

Sim& sim() {
  static Sim instance;
  return instance;
}

void record(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  sim().journal.emplace_back(line);
}

uint32_t asResult(double value) {
  if (!(value >= -2147483648.0 && value <= 4294967295.0)) return BRELKCCD_ERROR;
  return value < 0 ? static_cast<uint32_t>(static_cast<int32_t>(value)) : static_cast<uint32_t>(value);
}

// The scripted result of a 32-bit operation, or the camera's own answer.
uint32_t answer(const char* operation, int32_t control, uint32_t own) {
  double result;
  return sim().scripted(operation, control, result) ? asResult(result) : own;
}

void store(uint32_t* p, double v) { *p = asResult(v); }
void store(double* p, double v) { *p = v; }

// Writes scripted out values, where scripted, into the out pointers.
template <class... Out>
bool scriptedOutputs(const char* operation, Out*... out) {
  auto it = sim().outputs.find(operation);
  if (it == sim().outputs.end()) return false;
  const Outputs& o = it->second;
  size_t i = 0;
  auto write = [&](auto* p) {
    if (p && i < o.values.size() && (o.mask >> i & 1u)) store(p, o.values[i]);
    ++i;
  };
  (write(out), ...);
  return true;
}

bool usable(BrelkCcdHandle* h) { return h && h->open; }

}  // namespace

extern "C" {

BrelkCcdHandle* OpenBRELKCCD(const char* id) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("OpenBRELKCCD(\"%s\")", id ? id : "");
  double result;
  if (!id || (sim().scripted("OpenBRELKCCD", BRELKSIM_ANY_CONTROL, result) && result == 0)) return nullptr;
  auto it = sim().cameras.find(id);
  if (it == sim().cameras.end()) return nullptr;
  it->second.open = true;
  return &it->second;
}

uint32_t InitBRELKCCD(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("InitBRELKCCD()");
  return answer("InitBRELKCCD", BRELKSIM_ANY_CONTROL, usable(h) ? 0 : BRELKCCD_ERROR);
}

uint32_t CloseBRELKCCD(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("CloseBRELKCCD()");
  const uint32_t own = usable(h) ? 0 : BRELKCCD_ERROR;
  const uint32_t result = answer("CloseBRELKCCD", BRELKSIM_ANY_CONTROL, own);
  if (h && result != BRELKCCD_ERROR) h->open = false;
  return result;
}

uint32_t ReleaseBRELKCCDResource(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("ReleaseBRELKCCDResource()");
  return answer("ReleaseBRELKCCDResource", BRELKSIM_ANY_CONTROL, 0);
}

uint32_t SetBRELKCCDReadMode(BrelkCcdHandle* h, uint32_t mode) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDReadMode(%u)", mode);
  return answer("SetBRELKCCDReadMode", BRELKSIM_ANY_CONTROL, usable(h) && mode < 4 ? 0 : BRELKCCD_ERROR);
}

uint32_t SetBRELKCCDStreamMode(BrelkCcdHandle* h, uint8_t mode) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDStreamMode(%u)", static_cast<unsigned>(mode));
  return answer("SetBRELKCCDStreamMode", BRELKSIM_ANY_CONTROL, usable(h) && mode < 2 ? 0 : BRELKCCD_ERROR);
}

uint32_t SetBRELKCCDParam(BrelkCcdHandle* h, uint32_t control, double value) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDParam(%u, %.17g)", control, value);
  const bool ok = usable(h) && control < 64 && std::isfinite(value);
  if (ok) h->values[control] = value;
  return answer("SetBRELKCCDParam", static_cast<int32_t>(control), ok ? 0 : BRELKCCD_ERROR);
}

double GetBRELKCCDParam(BrelkCcdHandle* h, uint32_t control) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("GetBRELKCCDParam(%u)", control);
  double result;
  if (sim().scripted("GetBRELKCCDParam", static_cast<int32_t>(control), result)) return result;
  return usable(h) && control < 64 ? h->values[control] : -1.0;
}

uint32_t IsBRELKCCDControlAvailable(BrelkCcdHandle* h, uint32_t control) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("IsBRELKCCDControlAvailable(%u)", control);
  uint32_t own = BRELKCCD_ERROR;
  if (usable(h)) {
    switch (control) {
      case BRELKCCD_CFW: own = h->hasWheel ? 0 : BRELKCCD_ERROR; break;
      case BRELKCCD_COLOR_CAMERA: own = h->monochrome ? BRELKCCD_ERROR : 0; break;
      case BRELKCCD_COLOR_PATTERN: own = h->monochrome ? BRELKCCD_ERROR : h->patternCode; break;
      case BRELKCCD_HUMIDITY: own = h->hasHumidity ? 0 : BRELKCCD_ERROR; break;
      case BRELKCCD_PRESSURE: own = h->hasPressure ? 0 : BRELKCCD_ERROR; break;
      default: own = control < 64 ? 0 : BRELKCCD_ERROR; break;
    }
  }
  return answer("IsBRELKCCDControlAvailable", static_cast<int32_t>(control), own);
}

uint32_t SetBRELKCCDResolution(BrelkCcdHandle* h, uint32_t x, uint32_t y, uint32_t sizeX, uint32_t sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDResolution(%u, %u, %u, %u)", x, y, sizeX, sizeY);
  return answer("SetBRELKCCDResolution", BRELKSIM_ANY_CONTROL, usable(h) ? 0 : BRELKCCD_ERROR);
}

static uint32_t area(const char* operation, BrelkCcdHandle* h, uint32_t* startX, uint32_t* startY,
                     uint32_t* sizeX, uint32_t* sizeY, uint32_t w, uint32_t hgt) {
  record("%s()", operation);
  if (!scriptedOutputs(operation, startX, startY, sizeX, sizeY) && usable(h)) {
    *startX = 0;
    *startY = 0;
    *sizeX = w;
    *sizeY = hgt;
  }
  return answer(operation, BRELKSIM_ANY_CONTROL, usable(h) ? 0 : BRELKCCD_ERROR);
}

uint32_t GetBRELKCCDEffectiveArea(BrelkCcdHandle* h, uint32_t* startX, uint32_t* startY, uint32_t* sizeX,
                                  uint32_t* sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  return area("GetBRELKCCDEffectiveArea", h, startX, startY, sizeX, sizeY, 3008, 2008);
}

uint32_t GetBRELKCCDOverScanArea(BrelkCcdHandle* h, uint32_t* startX, uint32_t* startY, uint32_t* sizeX,
                                 uint32_t* sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  return area("GetBRELKCCDOverScanArea", h, startX, startY, sizeX, sizeY, 3072, 2048);
}

uint32_t GetBRELKCCDChipInfo(BrelkCcdHandle* h, double* chipWidth, double* chipHeight, uint32_t* imageWidth,
                             uint32_t* imageHeight, double* pixelWidth, double* pixelHeight,
                             uint32_t* bitsPerPixel) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("GetBRELKCCDChipInfo()");
  if (!scriptedOutputs("GetBRELKCCDChipInfo", chipWidth, chipHeight, imageWidth, imageHeight, pixelWidth,
                       pixelHeight, bitsPerPixel) &&
      usable(h)) {
    *chipWidth = 11.28;
    *chipHeight = 7.53;
    *imageWidth = 3008;
    *imageHeight = 2008;
    *pixelWidth = 3.75;
    *pixelHeight = 3.75;
    *bitsPerPixel = 16;
  }
  return answer("GetBRELKCCDChipInfo", BRELKSIM_ANY_CONTROL, usable(h) ? 0 : BRELKCCD_ERROR);
}

#define BRELKSIM_HANDLE_ONLY(name, condition)                                      \
  uint32_t name(BrelkCcdHandle* h) {                                               \
    std::lock_guard<std::mutex> g(sim().lock);                                     \
    record(#name "()");                                                            \
    return answer(#name, BRELKSIM_ANY_CONTROL, (condition) ? 0 : BRELKCCD_ERROR); \
  }

BRELKSIM_HANDLE_ONLY(IsBRELKCCDCFWPlugged, usable(h) && h->hasWheel)
BRELKSIM_HANDLE_ONLY(ExpBRELKCCDSingleFrame, usable(h))
BRELKSIM_HANDLE_ONLY(CancelBRELKCCDExposingAndReadout, usable(h))
BRELKSIM_HANDLE_ONLY(BeginBRELKCCDLive, usable(h))
BRELKSIM_HANDLE_ONLY(StopBRELKCCDLive, usable(h))

void BrelkSimReset(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  sim().journal.clear();
  sim().results.clear();
  sim().outputs.clear();
  sim().resetCameras();
  sim().clock.reset();
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

int BrelkSimScript(const char* operation, int32_t control, double result) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !sim().known(operation)) return -1;
  sim().results[{operation, control}] = result;
  return 0;
}

int BrelkSimScriptOutputs(const char* operation, size_t count, const double* values, uint32_t writtenMask) {
  std::lock_guard<std::mutex> g(sim().lock);
  if (!operation || !sim().known(operation) || (count && !values)) return -1;
  sim().outputs[operation] = Outputs{std::vector<double>(values, values + count), writtenMask};
  return 0;
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

}  // extern "C"
