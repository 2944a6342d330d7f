// The SDK's entry points. Each records itself in the journal, then answers
// with its scripted result where one is set and with the camera's own answer
// otherwise. A scripted -1 fails the call before it reaches the camera, so a
// scripted failure changes nothing; any other scripted result lets the camera
// act as usual and only replaces what it answers.
#include "brelkccd_sim.h"
#include "state.h"

using brelksim::record;
using brelksim::sim;

namespace {

constexpr int32_t kAny = BRELKSIM_ANY_CONTROL;

double now() { return sim().clock.now(); }

template <class Act>
uint32_t answer(const char* operation, int32_t control, Act act) {
  const std::optional<double> scripted = sim().answerScripted(operation, control);
  const uint32_t forced = scripted ? brelksim::asResult(*scripted) : 0;
  if (scripted && forced == BRELKCCD_ERROR) return forced;
  const uint32_t own = act();
  return scripted ? forced : own;
}

// The camera's answer for an operation on a handle; -1 for a handle that is
// not a camera.
template <class Act>
uint32_t onCamera(const char* operation, int32_t control, BrelkCcdHandle* h, Act act) {
  return answer(operation, control, [&] {
    BrelkCcdCamera* c = sim().camera(h);
    return c ? act(*c) : BRELKCCD_ERROR;
  });
}

void store(uint32_t* p, double v) { *p = brelksim::asResult(v); }
void store(double* p, double v) { *p = v; }

// Writes the scripted out values where their bits are set; false when the
// operation's outputs are not scripted at all.
template <class... Out>
bool writeScriptedOutputs(const char* operation, Out*... out) {
  const brelksim::ScriptedOutputs* o = sim().scriptedOutputs(operation);
  if (!o) return false;
  size_t i = 0;
  auto write = [&](auto* p) {
    if (p && i < o->values.size() && (o->writtenMask >> i & 1u)) store(p, o->values[i]);
    ++i;
  };
  (write(out), ...);
  return true;
}

// Scripted outputs are written whatever the result and replace all the
// camera's own values, which it writes only when it answers by itself.
uint32_t readArea(const char* operation, BrelkCcdHandle* h, bool overscan, uint32_t* startX, uint32_t* startY,
                  uint32_t* sizeX, uint32_t* sizeY) {
  record("%s()", operation);
  const bool scripted = writeScriptedOutputs(operation, startX, startY, sizeX, sizeY);
  return onCamera(operation, kAny, h, [&](BrelkCcdCamera& c) {
    if (!c.ready()) return BRELKCCD_ERROR;
    const brelksim::Area& a = overscan ? c.model().overscan : c.model().effective;
    if (!scripted) {
      *startX = a.startX;
      *startY = a.startY;
      *sizeX = a.sizeX;
      *sizeY = a.sizeY;
    }
    return 0u;
  });
}

}  // namespace

extern "C" {

BrelkCcdHandle* OpenBRELKCCD(const char* id) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("OpenBRELKCCD(\"%s\")", id ? id : "");
  // Only 0 has a meaning for a handle: a failed open. Any other scripted
  // result opens the camera exactly as an unscripted call does.
  const std::optional<double> scripted = sim().answerScripted("OpenBRELKCCD", kAny);
  if (!id || (scripted && *scripted == 0)) return nullptr;
  BrelkCcdCamera* c = sim().camera(id);
  if (c) c->open(now());
  return c;
}

uint32_t InitBRELKCCD(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("InitBRELKCCD()");
  return onCamera("InitBRELKCCD", kAny, h, [](BrelkCcdCamera& c) { return c.init(now()); });
}

uint32_t CloseBRELKCCD(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("CloseBRELKCCD()");
  return onCamera("CloseBRELKCCD", kAny, h, [](BrelkCcdCamera& c) { return c.close(now()); });
}

uint32_t ReleaseBRELKCCDResource(void) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("ReleaseBRELKCCDResource()");
  return answer("ReleaseBRELKCCDResource", kAny, [] {
    for (BrelkCcdCamera& c : sim().cameras) c.release(now());
    return 0u;
  });
}

uint32_t SetBRELKCCDReadMode(BrelkCcdHandle* h, uint32_t mode) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDReadMode(%u)", mode);
  return onCamera("SetBRELKCCDReadMode", kAny, h, [&](BrelkCcdCamera& c) { return c.setReadMode(mode, now()); });
}

uint32_t SetBRELKCCDStreamMode(BrelkCcdHandle* h, uint8_t mode) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDStreamMode(%u)", static_cast<unsigned>(mode));
  return onCamera("SetBRELKCCDStreamMode", kAny, h,
                  [&](BrelkCcdCamera& c) { return c.setStreamMode(mode, now()); });
}

uint32_t SetBRELKCCDParam(BrelkCcdHandle* h, uint32_t control, double value) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDParam(%u, %.17g)", control, value);
  return onCamera("SetBRELKCCDParam", static_cast<int32_t>(control), h,
                  [&](BrelkCcdCamera& c) { return c.setParam(control, value, now()); });
}

double GetBRELKCCDParam(BrelkCcdHandle* h, uint32_t control) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("GetBRELKCCDParam(%u)", control);
  const std::optional<double> scripted = sim().answerScripted("GetBRELKCCDParam", static_cast<int32_t>(control));
  if (scripted) return *scripted;
  BrelkCcdCamera* c = sim().camera(h);
  return c ? c->param(control, now()) : -1.0;
}

uint32_t IsBRELKCCDControlAvailable(BrelkCcdHandle* h, uint32_t control) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("IsBRELKCCDControlAvailable(%u)", control);
  return onCamera("IsBRELKCCDControlAvailable", static_cast<int32_t>(control), h,
                  [&](BrelkCcdCamera& c) { return c.available(control); });
}

uint32_t SetBRELKCCDResolution(BrelkCcdHandle* h, uint32_t x, uint32_t y, uint32_t sizeX, uint32_t sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("SetBRELKCCDResolution(%u, %u, %u, %u)", x, y, sizeX, sizeY);
  return onCamera("SetBRELKCCDResolution", kAny, h,
                  [&](BrelkCcdCamera& c) { return c.setResolution(x, y, sizeX, sizeY, now()); });
}

uint32_t GetBRELKCCDEffectiveArea(BrelkCcdHandle* h, uint32_t* startX, uint32_t* startY, uint32_t* sizeX,
                                  uint32_t* sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  return readArea("GetBRELKCCDEffectiveArea", h, false, startX, startY, sizeX, sizeY);
}

uint32_t GetBRELKCCDOverScanArea(BrelkCcdHandle* h, uint32_t* startX, uint32_t* startY, uint32_t* sizeX,
                                 uint32_t* sizeY) {
  std::lock_guard<std::mutex> g(sim().lock);
  return readArea("GetBRELKCCDOverScanArea", h, true, startX, startY, sizeX, sizeY);
}

uint32_t GetBRELKCCDChipInfo(BrelkCcdHandle* h, double* chipWidth, double* chipHeight, uint32_t* imageWidth,
                             uint32_t* imageHeight, double* pixelWidth, double* pixelHeight,
                             uint32_t* bitsPerPixel) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("GetBRELKCCDChipInfo()");
  const bool scripted = writeScriptedOutputs("GetBRELKCCDChipInfo", chipWidth, chipHeight, imageWidth,
                                             imageHeight, pixelWidth, pixelHeight, bitsPerPixel);
  return onCamera("GetBRELKCCDChipInfo", kAny, h, [&](BrelkCcdCamera& c) {
    if (!c.ready()) return BRELKCCD_ERROR;
    if (!scripted) {
      const brelksim::Model& m = c.model();
      *chipWidth = m.imageWidth * m.pixelWidth / 1000.0;
      *chipHeight = m.imageHeight * m.pixelHeight / 1000.0;
      *imageWidth = m.imageWidth;
      *imageHeight = m.imageHeight;
      *pixelWidth = m.pixelWidth;
      *pixelHeight = m.pixelHeight;
      *bitsPerPixel = m.bitsPerPixel;
    }
    return 0u;
  });
}

uint32_t IsBRELKCCDCFWPlugged(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("IsBRELKCCDCFWPlugged()");
  return onCamera("IsBRELKCCDCFWPlugged", kAny, h, [](BrelkCcdCamera& c) { return c.wheelPlugged(); });
}

uint32_t ExpBRELKCCDSingleFrame(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("ExpBRELKCCDSingleFrame()");
  return onCamera("ExpBRELKCCDSingleFrame", kAny, h, [](BrelkCcdCamera& c) { return c.beginSingle(now()); });
}

uint32_t CancelBRELKCCDExposingAndReadout(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("CancelBRELKCCDExposingAndReadout()");
  return onCamera("CancelBRELKCCDExposingAndReadout", kAny, h,
                  [](BrelkCcdCamera& c) { return c.cancelSingle(now()); });
}

uint32_t BeginBRELKCCDLive(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("BeginBRELKCCDLive()");
  return onCamera("BeginBRELKCCDLive", kAny, h, [](BrelkCcdCamera& c) { return c.beginLive(now()); });
}

uint32_t StopBRELKCCDLive(BrelkCcdHandle* h) {
  std::lock_guard<std::mutex> g(sim().lock);
  record("StopBRELKCCDLive()");
  return onCamera("StopBRELKCCDLive", kAny, h, [](BrelkCcdCamera& c) { return c.stopLive(now()); });
}

}  // extern "C"
