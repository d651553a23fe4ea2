#include "core/graph/GraphUpdate.h"

#include "core/params/Modes.h"

namespace drq {

int intensityBarCursor(std::uint16_t calculationMode, int intensity) {
  if (isMode(calculationMode, CalculationMode::Sim2d) && intensity > kMCursorLimit)
    return kMCursorLimit;
  return intensity;
}

GraphUpdate graphUpdateFor(const TaughtBounds& bounds, const LiveFrame& frame,
                           std::uint16_t calculationMode) {
  const int x = frame[FrameWord::X];
  const int y = frame[FrameWord::Y];
  const int in = frame[FrameWord::Int];
  GraphUpdate update;
  if (is2dCalcMode(calculationMode)) {
    TwoDUpdate u;
    u.colourPlane = frameView(bounds.x, x, bounds.y, y);
    u.colourCursor = {x, y};
    u.intensityCursor = {intensityBarCursor(calculationMode, in), kIntensityCursorHeight};
    update.twoD = u;
  } else if (is3dCalcMode(calculationMode)) {
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

}  // namespace drq
