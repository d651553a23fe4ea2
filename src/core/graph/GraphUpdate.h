#pragma once
// What the graph pages change on every frame (ShowGraph): the axis ranges of
// the 2D or 3D views and the cursors on the current point. The strip charts
// replot their windows; the teach figures stay as they are.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/graph/ChartRanges.h"
#include "core/graph/Framing.h"
#include "core/graph/TeachFigures.h"
#include "core/live/LiveFrame.h"

namespace drq {

// Every strip chart shows 101 points per screen (its window of 100 samples).
inline constexpr std::size_t kStripChartPointsPerScreen = 101;

struct GraphPoint {
  int x = 0;
  int y = 0;
  bool operator==(const GraphPoint&) const = default;
};

// The 2D graph page: the colour plane (X against Y) and the intensity bar.
struct TwoDUpdate {
  ViewRanges colourPlane;
  GraphPoint colourCursor;     // (X, Y)
  GraphPoint intensityCursor;  // (INT, 50); see intensityBarCursor
  bool operator==(const TwoDUpdate&) const = default;
};

// The 3D graph page: three side views, each framed with its own half.
struct ThreeDUpdate {
  ViewRanges xy, xInt, yInt;
  GraphPoint xyCursor, xIntCursor, yIntCursor;
  bool operator==(const ThreeDUpdate&) const = default;
};

struct GraphUpdate {
  std::optional<TwoDUpdate> twoD;      // calculation modes 0 and 1
  std::optional<ThreeDUpdate> threeD;  // calculation modes 2 and 3 (also replot the 3D RGB chart)
  bool operator==(const GraphUpdate&) const = default;
};

// Height of the intensity bar's cursor.
inline constexpr int kIntensityCursorHeight = 50;
// In calculation mode 1 (s/i/M) an M of 1201 or more is shown at 1200; in the
// other modes the cursor follows the intensity without limit.
inline constexpr int kMCursorLimit = 1200;
int intensityBarCursor(std::uint16_t calculationMode, int intensity);

// The per-frame update of the colour graphs for `frame` with the taught bounds
// of the last InitGraphs. Calculation modes other than 0 to 3 update nothing.
GraphUpdate graphUpdateFor(const TaughtBounds& bounds, const LiveFrame& frame,
                           std::uint16_t calculationMode);

}  // namespace drq
