// The simulated cameras. A Model is what one kind of camera is and never
// changes; a BrelkCcdCamera is the state one camera keeps between SDK calls.
// Every operation is given the simulated time in seconds and first brings the
// camera's physics (sensor temperature, wheel, exposure) up to that time, so
// the same calls at the same times always give the same answers.
#pragma once

#include <cstdint>

#include "brelkccd.h"

namespace brelksim {

struct Area {
  uint32_t startX, startY, sizeX, sizeY;
};

struct Model {
  const char* id;
  uint32_t patternCode;  // 1 GBRG, 2 GRBG, 3 BGGR, 4 RGGB; 0 on a monochrome camera
  bool hasHumidity, hasPressure;
  uint32_t wheelSlots;  // 0: no filter wheel
  uint32_t readModes;   // accepted read modes are 0 .. readModes - 1
  uint32_t imageWidth, imageHeight;  // the whole frame read out, in pixels
  double pixelWidth, pixelHeight;    // micrometres
  uint32_t bitsPerPixel;
  Area effective, overscan;  // within the whole frame
  double ambient;            // degrees Celsius
  double maxCoolingDepth;    // below ambient at full power, approached but never reached
  double thermalTimeConstant;  // seconds
  double secondsPerSlot;       // the wheel's time for one slot step
  double humidity, pressure;   // percent, hectopascal
};

extern const Model kModels[2];

}  // namespace brelksim

struct BrelkCcdCamera {
 public:
  explicit BrelkCcdCamera(const brelksim::Model& model);

  const brelksim::Model& model() const { return *model_; }

  // As switched on for the first time: every setting at its default, the
  // sensor at ambient temperature, the wheel resting at slot 0, time 0.
  void reset();

  void open(double now);
  uint32_t init(double now);
  uint32_t close(double now);
  void release(double now);
  uint32_t setReadMode(uint32_t mode, double now);
  uint32_t setStreamMode(uint8_t mode, double now);
  uint32_t setParam(uint32_t control, double value, double now);
  double param(uint32_t control, double now);
  uint32_t available(uint32_t control) const;
  uint32_t setResolution(uint32_t x, uint32_t y, uint32_t sizeX, uint32_t sizeY, double now);
  uint32_t wheelPlugged() const;
  uint32_t beginSingle(double now);
  uint32_t cancelSingle(double now);
  uint32_t beginLive(double now);
  uint32_t stopLive(double now);

  // Geometry is readable once the camera is initialised.
  bool ready() const { return session_ == Session::Ready; }

 private:
  enum class Session { Closed, Open, Ready };
  enum class Cooler { Off, FixedPwm, Regulated };

  void defaults();
  void advance(double now);
  void cool(double seconds);
  void regulate(double seconds);
  void hold();
  double relax(double toward, double seconds) const;
  double secondsToReach(double toward, double level) const;
  uint32_t moveWheel(double value, double now);
  void endSession();
  bool has(uint32_t control) const;
  bool idle() const { return !exposing_ && !live_; }

  const brelksim::Model* model_;
  Session session_ = Session::Closed;
  bool powerOnPending_ = false;  // set by a release: the next open starts from defaults

  uint32_t readMode_ = 0;
  uint8_t streamMode_ = 0;
  double settings_[64] = {};  // the plain settings, by control number
  brelksim::Area roi_{};      // relative to the effective area

  Cooler cooler_ = Cooler::Off;
  double fixedPwm_ = 0;
  double target_ = 0;
  double pwm_ = 0;  // what the cooler runs at now
  double temperature_ = 0;

  uint32_t slot_ = 0;
  bool wheelMoving_ = false;
  uint32_t wheelTarget_ = 0;
  double wheelArrival_ = 0;

  bool exposing_ = false;
  double exposureEnd_ = 0;
  bool live_ = false;

  double updated_ = 0;  // the simulated time the physics stand at
};
