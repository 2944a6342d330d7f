// Simulated time in seconds since the last reset: the real clock times a
// scale, or frozen and moved only by hand.
#pragma once

#include <chrono>

namespace brelksim {

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
  // Starts a new stretch at the present simulated time, so that a change of
  // mode or scale never makes time jump.
  void rebase() {
    base_ = now();
    since_ = std::chrono::steady_clock::now();
  }

  bool manual_ = false;
  double scale_ = 1.0;
  double base_ = 0.0;
  std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};

}  // namespace brelksim
