#pragma once
// The fixed vertical ranges of the strip charts: the one place that knows
// them, for the charts themselves and for the calculation-mode rule.

#include <array>
#include <cstdint>
#include <optional>

namespace drq {

// Fixed vertical ranges.
struct ChartRange {
  int min = 0;
  int max = 0;
  bool operator==(const ChartRange&) const = default;
};
inline constexpr ChartRange kRgbChartRange{0, 4096};
// The three charts of the intensity chart page (X/s, Y/i, INT/M): 0..4096 each
// in modes 0 and 2; 0..10000, 0..5000 and 0..1200 in modes 1 and 3; nothing
// for other values.
std::optional<std::array<ChartRange, 3>> intensityChartRanges(std::uint16_t calculationMode);

}  // namespace drq
