#pragma once
// The figures the colour graphs draw for the teach table, the bounds they
// cover, and the intensity band of the selected row. Cells are unsigned 16-bit
// words computed as signed ints (so x - rc may be negative).

#include <array>
#include <cstdint>
#include <optional>

#include "core/attrs/RowColors.h"
#include "core/graph/Framing.h"
#include "core/params/ParaSet.h"

namespace drq {

// Calculation modes 2 and 3 are the 3D modes (is3dCalcMode); every other value
// is drawn as 2D.

// A figure's rectangle in graph co-ordinates (an ellipse is drawn inside it).
struct FigureRect {
  int left = 0;
  int bottom = 0;
  int right = 0;
  int top = 0;
  bool operator==(const FigureRect&) const = default;
};

// One teach row as the graphs see it.
//   2D modes: x = c0, y = c1, rc = c2 (CTO/siTO), i = c3 (INT/M), ri = c4 (ITO/MTO)
//   3D modes: x = c0, y = c1, rc = c3 (TOL),      i = c2 (INT/M), ri = c3 (TOL)
struct TeachFigure {
  std::uint32_t color = 0;  // RowColors[row], drawn with a transparent fill
  int x = 0, y = 0, rc = 0, i = 0, ri = 0;
  bool counted = false;  // x > 10 or y > 10: the row counts for the taught bounds

  // Circle of the 2D colour plane, ellipse of the 3D X/Y view.
  FigureRect colourCircle() const { return {x - rc, y - rc, x + rc, y + rc}; }
  // Rectangles of the 3D X/INT and Y/INT views (each drawn as the ellipse
  // inscribed in it).
  FigureRect xIntRect() const { return {x - rc, i - ri, x + rc, i + ri}; }
  FigureRect yIntRect() const { return {y - rc, i - ri, y + rc, i + ri}; }
  bool operator==(const TeachFigure&) const = default;
};

// Lowest and highest X, Y and intensity of the counted figures. When no row
// counts, a co-ordinate's bounds are 0 to 10000.
struct TaughtBounds {
  BoundPair x{0, 10000};
  BoundPair y{0, 10000};
  BoundPair intensity{0, 10000};
  bool operator==(const TaughtBounds&) const = default;
};

struct TeachFigureSet {
  std::array<TeachFigure, kTeachRows> figures;  // every row, counted or not
  TaughtBounds bounds;
  bool operator==(const TeachFigureSet&) const = default;
};

// The figures of all 64 rows and the taught bounds (InitGraphs). The lows
// start at 10000 and the highs at 0; each counted row widens them by its
// figure (x ± rc, y ± rc, i ± ri); a co-ordinate whose high stayed below its
// low (nothing counted) gets the two swapped, i.e. 0 to 10000. Rows whose x
// and y are both 10 or less (untaught rows hold 1) are drawn but not counted.
TeachFigureSet buildTeachFigures(const TeachTable& table, const RowColorArray& rowColors,
                                 std::uint16_t calculationMode);

// The intensity bar's tolerance band of the selected teach row (InitGraphInt2):
// a filled rectangle from (from, 0) to (to, 100).
inline constexpr std::uint32_t kIntensityBandColor = 0x408080;
inline constexpr int kIntensityBandTop = 100;
inline constexpr int kIntensityCeiling = 4096;
struct IntensityBand {
  int from = 0;  // max(i - ri, 0)
  int to = 0;    // i + ri, cut at 4096
  bool operator==(const IntensityBand&) const = default;
};

// The band of teach row `row` (the No. control): i and ri are cells 3 and 4 in
// the 2D modes, cells 2 and 3 in the 3D modes. No band for a row outside
// 0..63.
std::optional<IntensityBand> intensityBandFor(const TeachTable& table,
                                              std::uint16_t calculationMode, int row);

}  // namespace drq
