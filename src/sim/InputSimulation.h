#pragma once
// The virtual sensor's inputs besides the target: the digital input IN0 (held
// at a level, or a square wave) and the temperature (fixed, or a slow drift
// around 32). Times are model time in microseconds.

#include <cstdint>
#include <optional>

namespace drq::sim {

class InputSimulation {
 public:
  // IN0 held at `high` from `nowMicros` on (before that it keeps what it was).
  void setIn0(bool high, std::uint64_t nowMicros);
  // IN0 as a square wave from time 0: low for lowMs, then high for highMs, ...
  // (the default is 1000 ms low, 1000 ms high).
  void setIn0Pattern(std::uint32_t highMs, std::uint32_t lowMs);
  bool in0At(std::uint64_t micros) const;

  // A fixed temperature; nullopt returns to the slow drift around 32.
  void setTemperature(std::optional<int> celsius) { temperature_ = celsius; }
  int temperatureAt(std::uint64_t micros) const;

 private:
  bool in0Fixed_ = false;
  bool in0Level_ = false;
  bool in0Before_ = false;
  std::uint64_t in0ChangedAt_ = 0;
  std::uint64_t in0HighMicros_ = 1'000'000;
  std::uint64_t in0LowMicros_ = 1'000'000;
  std::optional<int> temperature_;
};

}  // namespace drq::sim
