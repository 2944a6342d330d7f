// The camera model: life cycle, settings with their ranges, the cooler, the
// filter wheel and the exposures. Figures are documented in brelkccd_sim.h.
#include "camera.h"

#include <algorithm>
#include <cmath>

namespace brelksim {

const Model kModels[2] = {
    {"SIM-MONO", 0, false, false, 7, 4,
     3072, 2048, 3.75, 3.75, 16,
     {48, 24, 3008, 2008}, {8, 24, 32, 2008},
     20.0, 35.0, 120.0, 1.0, 0.0, 0.0},
    {"SIM-COLOR", 4, true, true, 0, 2,
     4096, 2760, 3.8, 3.8, 14,
     {16, 8, 4064, 2744}, {4080, 8, 16, 2744},
     20.0, 30.0, 90.0, 0.0, 45.0, 1013.25},
};

}  // namespace brelksim

namespace {

using brelksim::Model;

constexpr uint32_t kOk = 0;
constexpr double kFullPower = 255.0;
constexpr double kWheelMoving = 'N';
// Events fall due this much early, so that time moved in steps that add up
// to an event's time (in binary arithmetic not quite) still reaches it.
constexpr double kTimeTolerance = 1e-9;

uint32_t result(bool ok) { return ok ? kOk : BRELKCCD_ERROR; }

// A setting that is stored as given once it lies in its range.
struct Setting {
  uint32_t control;
  double min, max, initial;
  bool colourOnly;
  bool whole;  // whole numbers only
};

const Setting kSettings[] = {
    {BRELKCCD_BRIGHTNESS, -100, 100, 0, false, false},
    {BRELKCCD_CONTRAST, -100, 100, 0, false, false},
    {BRELKCCD_WB_RED, 0, 255, 128, true, false},
    {BRELKCCD_WB_BLUE, 0, 255, 128, true, false},
    {BRELKCCD_WB_GREEN, 0, 255, 128, true, false},
    {BRELKCCD_GAMMA, 0.1, 3.0, 1.0, false, false},
    {BRELKCCD_GAIN, 0, 100, 0, false, false},
    {BRELKCCD_OFFSET, 0, 255, 30, false, false},
    {BRELKCCD_EXPOSURE, 1, 3600e6, 1e6, false, false},  // microseconds
    {BRELKCCD_TRAFFIC, 0, 255, 30, false, false},
    {BRELKCCD_DDR, 0, 1, 1, false, true},
};

constexpr double kMinTarget = -50, kMaxTarget = 50;

const Setting* setting(uint32_t control) {
  for (const Setting& s : kSettings)
    if (s.control == control) return &s;
  return nullptr;
}

bool accepts(const Setting& s, double value) {
  return value >= s.min && value <= s.max && (!s.whole || value == std::trunc(value));
}

}  // namespace

BrelkCcdCamera::BrelkCcdCamera(const Model& model) : model_(&model) { reset(); }

void BrelkCcdCamera::reset() {
  session_ = Session::Closed;
  powerOnPending_ = false;
  defaults();
  temperature_ = model_->ambient;
  slot_ = 0;
  wheelMoving_ = false;
  updated_ = 0;
}

void BrelkCcdCamera::defaults() {
  readMode_ = 0;
  streamMode_ = 0;
  for (const Setting& s : kSettings) settings_[s.control] = s.initial;
  roi_ = {0, 0, model_->effective.sizeX, model_->effective.sizeY};
  cooler_ = Cooler::Off;
  fixedPwm_ = 0;
  target_ = 0;
  pwm_ = 0;
  exposing_ = false;
  live_ = false;
}

void BrelkCcdCamera::advance(double now) {
  if (now > updated_) {
    cool(now - updated_);
    updated_ = now;
  }
  if (wheelMoving_ && updated_ >= wheelArrival_ - kTimeTolerance) {
    slot_ = wheelTarget_;
    wheelMoving_ = false;
  }
  if (exposing_ && updated_ >= exposureEnd_ - kTimeTolerance) exposing_ = false;
}

// The sensor relaxes exponentially toward the temperature the cooler's power
// holds it at: ambient minus the full depth times the share of full power.
void BrelkCcdCamera::cool(double seconds) {
  switch (cooler_) {
    case Cooler::Off:
      pwm_ = 0;
      temperature_ = relax(model_->ambient, seconds);
      break;
    case Cooler::FixedPwm:
      pwm_ = fixedPwm_;
      temperature_ = relax(model_->ambient - model_->maxCoolingDepth * pwm_ / kFullPower, seconds);
      break;
    case Cooler::Regulated:
      regulate(seconds);
      break;
  }
}

// The regulator pulls down at full power (or lets the sensor warm with the
// cooler idle) until the target is reached, then holds it with the power
// that keeps it there. A target below the coldest reachable temperature, or
// above ambient, is approached for ever.
void BrelkCcdCamera::regulate(double seconds) {
  const double ambient = model_->ambient;
  const double coldest = ambient - model_->maxCoolingDepth;
  if (temperature_ > target_) {
    pwm_ = kFullPower;
    if (target_ > coldest && seconds >= secondsToReach(coldest, target_))
      hold();
    else
      temperature_ = relax(coldest, seconds);
  } else if (temperature_ < target_) {
    pwm_ = 0;
    if (target_ < ambient && seconds >= secondsToReach(ambient, target_))
      hold();
    else
      temperature_ = relax(ambient, seconds);
  } else {
    hold();
  }
}

void BrelkCcdCamera::hold() {
  temperature_ = target_;
  pwm_ = std::clamp(kFullPower * (model_->ambient - target_) / model_->maxCoolingDepth, 0.0, kFullPower);
}

double BrelkCcdCamera::relax(double toward, double seconds) const {
  return toward + (temperature_ - toward) * std::exp(-seconds / model_->thermalTimeConstant);
}

// How long relaxing toward `toward` takes to get from the present temperature
// to `level`, which lies between the two.
double BrelkCcdCamera::secondsToReach(double toward, double level) const {
  return model_->thermalTimeConstant * std::log((temperature_ - toward) / (level - toward));
}

void BrelkCcdCamera::open(double now) {
  advance(now);
  if (powerOnPending_) {
    defaults();
    powerOnPending_ = false;
  }
  if (session_ == Session::Closed) session_ = Session::Open;
}

uint32_t BrelkCcdCamera::init(double now) {
  advance(now);
  if (session_ == Session::Closed || !idle()) return BRELKCCD_ERROR;
  session_ = Session::Ready;
  return kOk;
}

// Without a session nothing runs: no exposure, and no regulator for the cooler.
void BrelkCcdCamera::endSession() {
  session_ = Session::Closed;
  exposing_ = false;
  live_ = false;
  cooler_ = Cooler::Off;
  pwm_ = 0;
}

uint32_t BrelkCcdCamera::close(double now) {
  advance(now);
  if (session_ == Session::Closed) return BRELKCCD_ERROR;
  endSession();
  return kOk;
}

void BrelkCcdCamera::release(double now) {
  advance(now);
  endSession();
  powerOnPending_ = true;
}

uint32_t BrelkCcdCamera::setReadMode(uint32_t mode, double now) {
  advance(now);
  const bool ok = session_ != Session::Closed && idle() && mode < model_->readModes;
  if (ok) readMode_ = mode;
  return result(ok);
}

uint32_t BrelkCcdCamera::setStreamMode(uint8_t mode, double now) {
  advance(now);
  const bool ok = session_ != Session::Closed && idle() && mode < 2;
  if (ok) streamMode_ = mode;
  return result(ok);
}

bool BrelkCcdCamera::has(uint32_t control) const {
  const bool colour = model_->patternCode != 0;
  if (const Setting* s = setting(control)) return colour || !s->colourOnly;
  switch (control) {
    case BRELKCCD_CURRENT_TEMPERATURE:
    case BRELKCCD_COOLER_PWM:
    case BRELKCCD_COOLER_TARGET: return true;
    case BRELKCCD_CFW:
    case BRELKCCD_CFW_SLOTS: return model_->wheelSlots > 0;
    case BRELKCCD_COLOR_PATTERN:
    case BRELKCCD_COLOR_CAMERA: return colour;
    case BRELKCCD_HUMIDITY: return model_->hasHumidity;
    case BRELKCCD_PRESSURE: return model_->hasPressure;
    default: return false;
  }
}

uint32_t BrelkCcdCamera::available(uint32_t control) const {
  if (!ready() || !has(control)) return BRELKCCD_ERROR;
  return control == BRELKCCD_COLOR_PATTERN ? model_->patternCode : kOk;
}

uint32_t BrelkCcdCamera::setParam(uint32_t control, double value, double now) {
  if (!ready() || !has(control) || !std::isfinite(value)) return BRELKCCD_ERROR;
  advance(now);
  if (const Setting* s = setting(control)) {
    if (!accepts(*s, value)) return BRELKCCD_ERROR;
    settings_[control] = value;
    return kOk;
  }
  switch (control) {
    case BRELKCCD_COOLER_PWM:
      if (value < 0 || value > kFullPower) return BRELKCCD_ERROR;
      cooler_ = value == 0 ? Cooler::Off : Cooler::FixedPwm;
      fixedPwm_ = pwm_ = value;
      return kOk;
    case BRELKCCD_COOLER_TARGET:
      if (value < kMinTarget || value > kMaxTarget) return BRELKCCD_ERROR;
      cooler_ = Cooler::Regulated;
      target_ = value;
      regulate(0);  // the power the regulator starts with
      return kOk;
    case BRELKCCD_CFW: return moveWheel(value, now);
    default: return BRELKCCD_ERROR;  // read-only
  }
}

// A slot as an ASCII digit ('0' is slot 0) or as a plain number.
uint32_t BrelkCcdCamera::moveWheel(double value, double now) {
  const uint32_t slots = model_->wheelSlots;
  if (value != std::trunc(value) || wheelMoving_) return BRELKCCD_ERROR;
  uint32_t slot;
  if (value >= '0' && value < '0' + slots)
    slot = static_cast<uint32_t>(value) - '0';
  else if (value >= 0 && value < slots)
    slot = static_cast<uint32_t>(value);
  else
    return BRELKCCD_ERROR;
  const uint32_t forward = (slot + slots - slot_) % slots;
  const uint32_t steps = std::min(forward, slots - forward);  // the shorter way round
  if (steps == 0) return kOk;
  wheelTarget_ = slot;
  wheelMoving_ = true;
  wheelArrival_ = now + steps * model_->secondsPerSlot;
  return kOk;
}

double BrelkCcdCamera::param(uint32_t control, double now) {
  if (!ready() || !has(control)) return -1.0;
  advance(now);
  if (setting(control)) return settings_[control];
  switch (control) {
    case BRELKCCD_CURRENT_TEMPERATURE: return temperature_;
    case BRELKCCD_COOLER_PWM: return pwm_;
    case BRELKCCD_COOLER_TARGET: return target_;
    case BRELKCCD_CFW: return wheelMoving_ ? kWheelMoving : '0' + slot_;
    case BRELKCCD_CFW_SLOTS: return model_->wheelSlots;
    case BRELKCCD_COLOR_PATTERN: return model_->patternCode;
    case BRELKCCD_COLOR_CAMERA: return 1.0;
    case BRELKCCD_HUMIDITY: return model_->humidity;
    case BRELKCCD_PRESSURE: return model_->pressure;
    default: return -1.0;
  }
}

uint32_t BrelkCcdCamera::setResolution(uint32_t x, uint32_t y, uint32_t sizeX, uint32_t sizeY, double now) {
  advance(now);
  const uint64_t right = uint64_t{x} + sizeX, bottom = uint64_t{y} + sizeY;
  const bool ok = ready() && idle() && sizeX > 0 && sizeY > 0 && right <= model_->effective.sizeX &&
                  bottom <= model_->effective.sizeY;
  if (ok) roi_ = {x, y, sizeX, sizeY};
  return result(ok);
}

uint32_t BrelkCcdCamera::wheelPlugged() const { return result(ready() && model_->wheelSlots > 0); }

uint32_t BrelkCcdCamera::beginSingle(double now) {
  advance(now);
  if (!ready() || !idle()) return BRELKCCD_ERROR;
  exposing_ = true;
  exposureEnd_ = now + settings_[BRELKCCD_EXPOSURE] * 1e-6;
  return kOk;
}

uint32_t BrelkCcdCamera::cancelSingle(double now) {
  advance(now);
  if (!ready()) return BRELKCCD_ERROR;
  exposing_ = false;
  return kOk;
}

uint32_t BrelkCcdCamera::beginLive(double now) {
  advance(now);
  if (!ready() || !idle()) return BRELKCCD_ERROR;
  live_ = true;
  return kOk;
}

uint32_t BrelkCcdCamera::stopLive(double now) {
  advance(now);
  if (!ready()) return BRELKCCD_ERROR;
  live_ = false;
  return kOk;
}
