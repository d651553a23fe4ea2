#pragma once
// How the colour graphs are framed: each view shows the taught figures and the
// current point, with the same length on both axes and a margin of 25 around
// them. All arithmetic is on signed ints; halving truncates toward zero.

namespace drq {

inline constexpr int kFrameMargin = 25;

// Lowest and highest value of one co-ordinate covered by the taught figures.
struct BoundPair {
  int low = 0;
  int high = 0;
  bool operator==(const BoundPair&) const = default;
};

// One co-ordinate with the current value v taken in: lo = min(low, v),
// hi = max(high, v), span = hi - lo, centre = lo + span / 2.
struct CoordinateFrame {
  int lo = 0;
  int hi = 0;
  int span = 0;
  int centre = 0;
  bool operator==(const CoordinateFrame&) const = default;
};

CoordinateFrame frameCoordinate(BoundPair bounds, int value);

// An axis range from min to max.
struct AxisRange {
  int min = 0;
  int max = 0;
  bool operator==(const AxisRange&) const = default;
};

struct ViewRanges {
  AxisRange horizontal;
  AxisRange vertical;
  bool operator==(const ViewRanges&) const = default;
};

// A view of co-ordinate a (horizontal) against b (vertical): half = the larger
// span / 2; each axis runs from centre - 25 - half to centre + half + 25.
ViewRanges frameView(const CoordinateFrame& a, const CoordinateFrame& b);

// Shorthand: frameView(frameCoordinate(boundsA, a), frameCoordinate(boundsB, b)).
ViewRanges frameView(BoundPair boundsA, int a, BoundPair boundsB, int b);

}  // namespace drq
