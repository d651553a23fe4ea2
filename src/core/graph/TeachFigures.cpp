#include "core/graph/TeachFigures.h"

#include <algorithm>
#include <utility>

#include "core/params/Modes.h"

namespace drq {

namespace {

constexpr int kUntaughtLimit = 10;
constexpr int kBoundsStartLow = 10000;
constexpr int kBoundsStartHigh = 0;

struct CellRoles {
  std::size_t rc, i, ri;
};

CellRoles rolesFor(std::uint16_t calculationMode) {
  return is3dCalcMode(calculationMode) ? CellRoles{3, 2, 3} : CellRoles{2, 3, 4};
}

void widen(BoundPair& b, int low, int high) {
  b.low = std::min(b.low, low);
  b.high = std::max(b.high, high);
}

void swapIfEmpty(BoundPair& b) {
  if (b.high < b.low) std::swap(b.low, b.high);
}

}  // namespace

TeachFigureSet buildTeachFigures(const TeachTable& table, const RowColorArray& rowColors,
                                 std::uint16_t calculationMode) {
  const CellRoles roles = rolesFor(calculationMode);
  TeachFigureSet set;
  TaughtBounds& b = set.bounds;
  b.x = b.y = b.intensity = BoundPair{kBoundsStartLow, kBoundsStartHigh};

  for (std::size_t r = 0; r < kTeachRows; ++r) {
    const TeachVector& row = table[r];
    TeachFigure& f = set.figures[r];
    f.color = rowColors[r];
    f.x = row.cell(0);
    f.y = row.cell(1);
    f.rc = row.cell(roles.rc);
    f.i = row.cell(roles.i);
    f.ri = row.cell(roles.ri);
    f.counted = f.x > kUntaughtLimit || f.y > kUntaughtLimit;
    if (!f.counted) continue;
    widen(b.x, f.x - f.rc, f.x + f.rc);
    widen(b.y, f.y - f.rc, f.y + f.rc);
    widen(b.intensity, f.i - f.ri, f.i + f.ri);
  }
  swapIfEmpty(b.x);
  swapIfEmpty(b.y);
  swapIfEmpty(b.intensity);
  return set;
}

std::optional<IntensityBand> intensityBandFor(const TeachTable& table,
                                              std::uint16_t calculationMode, int row) {
  if (row < 0 || row >= static_cast<int>(kTeachRows)) return std::nullopt;
  const CellRoles roles = rolesFor(calculationMode);
  const TeachVector& v = table[static_cast<std::size_t>(row)];
  const int i = v.cell(roles.i);
  const int ri = v.cell(roles.ri);
  return IntensityBand{std::max(i - ri, 0), std::min(i + ri, kIntensityCeiling)};
}

}  // namespace drq
