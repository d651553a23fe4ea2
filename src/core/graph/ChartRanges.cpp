#include "core/graph/ChartRanges.h"

#include "core/params/Modes.h"

namespace drq {

std::optional<std::array<ChartRange, 3>> intensityChartRanges(std::uint16_t calculationMode) {
  using Ranges = std::array<ChartRange, 3>;
  switch (calculationMode) {
    case code(CalculationMode::XyInt2d):
    case code(CalculationMode::XyInt3d):
      return Ranges{{{0, 4096}, {0, 4096}, {0, 4096}}};
    case code(CalculationMode::Sim2d):
    case code(CalculationMode::Sim3d):
      return Ranges{{{0, 10000}, {0, 5000}, {0, 1200}}};
    default:
      return std::nullopt;
  }
}

}  // namespace drq
