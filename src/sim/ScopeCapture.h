#pragma once
// One scope capture of the virtual sensor: 128 samples of four channels
// (three signals and the digital lines), taken every scanRate cycles, with a
// trigger condition and samples before the trigger. The sensor model feeds it
// one sample per due cycle; once complete it yields the four frames the sensor
// pushes (one per channel, each 128 words and the trigger position).
//
// Standard C++ only; deterministic.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sim/SensorTypes.h"

namespace drq::sim {

inline constexpr std::size_t kScopeSamples = 128;
inline constexpr std::size_t kScopeFramePayload = 2 * kScopeSamples + 2;  // 258

// The ten bytes of a scope start, as five words.
struct ScopeSettings {
  std::uint16_t level = 0;
  std::uint16_t mode = 0;        // 0 single shot, 1 rising, 2 falling, 3 colour 0, 4 IN0 high
  std::uint16_t preTrigger = 0;  // samples before the trigger sample, 0..127
  std::uint16_t scanRate = 1;    // one sample every scanRate cycles, at least 1
  std::uint16_t signal = 0;      // 0 raw R G B, 1 X Y INT (or s i M)
};

// Channels 0..2 (the signals) and 3 (OUT0..OUT4 in bits 0..4, IN0 in bit 5).
using ScopeSample = std::array<std::uint16_t, 4>;

// What one measurement cycle gives the capture.
struct ScopeInput {
  ScopeSample sample{};
  int hitRow = -1;  // the evaluated row (trigger mode 3 fires on row 0)
};

class ScopeCapture {
 public:
  // A capture whose sample 0 is taken in cycle `firstCycle`.
  ScopeCapture(const ScopeSettings& settings, std::uint64_t firstCycle);

  const ScopeSettings& settings() const { return settings_; }
  // True once the trigger has fired.
  bool triggered() const { return triggerIndex_.has_value(); }

  // Takes every sample due up to cycle `now`, `measure` giving the sample of
  // a cycle. A capture far behind skips to the recent samples first. Returns
  // true when the capture is complete (take its frames, then drop it).
  bool advance(std::uint64_t now, const std::function<ScopeInput(std::uint64_t cycle)>& measure);

  // The four frames of the complete capture, stamped with the time of its
  // last sample.
  std::vector<PushedFrame> frames(std::uint32_t cycleMicros) const;

  // Cycle in which the capture next needs a sample (once triggered: the
  // cycle of its last sample).
  std::uint64_t nextDueCycle() const;

 private:
  bool triggerFires(const ScopeSample& sample, int row) const;
  std::uint64_t cycleOf(std::uint64_t sampleIndex) const {
    return firstCycle_ + sampleIndex * settings_.scanRate;
  }
  // Samples from the trigger sample to the end of the capture.
  std::uint64_t samplesAfterTrigger() const {
    return kScopeSamples - (settings_.mode == 0 ? 0 : settings_.preTrigger);
  }

  ScopeSettings settings_;
  std::uint64_t firstCycle_ = 0;  // cycle of sample 0
  std::uint64_t taken_ = 0;       // samples taken so far
  std::array<ScopeSample, kScopeSamples> ring_{};
  std::optional<std::uint64_t> triggerIndex_;
  ScopeSample previous_{};
};

}  // namespace drq::sim
