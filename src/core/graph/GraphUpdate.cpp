#include "core/graph/GraphUpdate.h"

namespace drq {

int intensityBarCursor(std::uint16_t calculationMode, int intensity) {
  if (calculationMode == 1 && intensity > kMCursorLimit) return kMCursorLimit;
  return intensity;
}

GraphUpdate graphUpdateFor(const TaughtBounds& bounds, const LiveFrame& frame,
                           std::uint16_t calculationMode) {
  const int x = frame[FrameWord::X];
  const int y = frame[FrameWord::Y];
  const int in = frame[FrameWord::Int];
  GraphUpdate update;
  if (calculationMode == 0 || calculationMode == 1) {
    TwoDUpdate u;
    u.colourPlane = frameView(bounds.x, x, bounds.y, y);
    u.colourCursor = {x, y};
    u.intensityCursor = {intensityBarCursor(calculationMode, in), kIntensityCursorHeight};
    update.twoD = u;
  } else if (calculationMode == 2 || calculationMode == 3) {
    const CoordinateFrame fx = frameCoordinate(bounds.x, x);
    const CoordinateFrame fy = frameCoordinate(bounds.y, y);
    const CoordinateFrame fi = frameCoordinate(bounds.intensity, in);
    ThreeDUpdate u;
    u.xy = frameView(fx, fy);
    u.xInt = frameView(fx, fi);
    u.yInt = frameView(fy, fi);
    u.xyCursor = {x, y};
    u.xIntCursor = {x, in};
    u.yIntCursor = {y, in};
    update.threeD = u;
  }
  return update;
}

std::optional<std::array<ChartRange, 3>> intensityChartRanges(std::uint16_t calculationMode) {
  using Ranges = std::array<ChartRange, 3>;
  switch (calculationMode) {
    case 0:
    case 2:
      return Ranges{{{0, 4096}, {0, 4096}, {0, 4096}}};
    case 1:
    case 3:
      return Ranges{{{0, 10000}, {0, 5000}, {0, 1200}}};
    default:
      return std::nullopt;
  }
}

}  // namespace drq
