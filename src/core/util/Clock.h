#pragma once
// Time source of the core: seconds since an arbitrary start, as a double with
// sub-second resolution. Tests substitute a fake clock.

#include <chrono>

namespace drq {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since an arbitrary, fixed start; never decreases.
  virtual double now() const = 0;
};

class SteadyClock final : public Clock {
 public:
  double now() const override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }
};

}  // namespace drq
