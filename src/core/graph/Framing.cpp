#include "core/graph/Framing.h"

#include <algorithm>

namespace drq {

CoordinateFrame frameCoordinate(BoundPair bounds, int value) {
  CoordinateFrame f;
  f.lo = std::min(bounds.low, value);
  f.hi = std::max(bounds.high, value);
  f.span = f.hi - f.lo;
  f.centre = f.lo + f.span / 2;
  return f;
}

ViewRanges frameView(const CoordinateFrame& a, const CoordinateFrame& b) {
  const int half = std::max(a.span, b.span) / 2;
  auto axis = [half](int centre) {
    return AxisRange{centre - kFrameMargin - half, centre + half + kFrameMargin};
  };
  return ViewRanges{axis(a.centre), axis(b.centre)};
}

ViewRanges frameView(BoundPair boundsA, int a, BoundPair boundsB, int b) {
  return frameView(frameCoordinate(boundsA, a), frameCoordinate(boundsB, b));
}

}  // namespace drq
