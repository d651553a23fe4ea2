#include "sim/InputSimulation.h"

#include <cmath>
#include <numbers>

namespace drq::sim {

void InputSimulation::setIn0(bool high, std::uint64_t nowMicros) {
  in0Before_ = in0At(nowMicros);
  in0Fixed_ = true;
  in0Level_ = high;
  in0ChangedAt_ = nowMicros;
}

void InputSimulation::setIn0Pattern(std::uint32_t highMs, std::uint32_t lowMs) {
  in0Fixed_ = false;
  in0HighMicros_ = std::uint64_t(highMs) * 1000;
  in0LowMicros_ = std::uint64_t(lowMs) * 1000;
}

bool InputSimulation::in0At(std::uint64_t micros) const {
  if (in0Fixed_) return micros >= in0ChangedAt_ ? in0Level_ : in0Before_;
  const std::uint64_t period = in0HighMicros_ + in0LowMicros_;
  if (period == 0) return false;
  if (in0LowMicros_ == 0) return true;
  return micros % period >= in0LowMicros_;
}

int InputSimulation::temperatureAt(std::uint64_t micros) const {
  if (temperature_) return *temperature_;
  const double phase = 2.0 * std::numbers::pi * double(micros % 120'000'000) / 120'000'000.0;
  return 32 + int(std::lround(2.0 * std::sin(phase)));
}

}  // namespace drq::sim
