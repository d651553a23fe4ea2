#pragma once
// Operations on the teach table that the teach-table page and the group and
// hold page offer: teaching the shown measurement into a row with default
// tolerances, the table resets, and the column rearrangement when the
// calculation mode moves between the 2D and 3D families. They work on a
// TeachTable that mirrors the table controls (teach row r is table row r + 1,
// CELL i is column i + 1); the widget layer copies it to and from the controls.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/params/ParaSet.h"

namespace drq {

// Default tolerances written with a taught row. For the 2D calculation modes
// `colorTolerance` is CTO/siTO (column 3) and `intensityTolerance` ITO/MTO
// (column 5); for the 3D modes `colorTolerance` is TOL (column 4) and
// `intensityTolerance` is the 1 written into column 5.
struct TeachTolerances {
  std::uint16_t colorTolerance;
  std::uint16_t intensityTolerance;
  bool operator==(const TeachTolerances&) const = default;
};

// Evaluation mode 0..3 (THD RGB has no tolerances), calculation mode 0..3,
// power mode 0 STAT / 1 DYN. None for other modes.
std::optional<TeachTolerances> defaultTeachTolerances(std::uint16_t evaluationMode,
                                                      std::uint16_t calculationMode,
                                                      std::uint16_t powerMode);

// What Teach data to needs: the values the display shows and the modes.
struct TeachInput {
  std::size_t row = 0;         // No., 0..63
  bool autoIncrement = false;  // Inc
  bool toleranceOff = false;   // TeachTolOff
  std::uint16_t evaluationMode = 1;
  std::uint16_t calculationMode = 0;
  std::uint16_t powerMode = 0;
  // X/s, Y/i, INT/M and red, green, blue as displayed (signed frame words).
  std::int16_t x = 0, y = 0, intensity = 0;
  std::int16_t red = 0, green = 0, blue = 0;
};

struct TeachResult {
  bool changed = false;                  // the table was written
  std::size_t nextRow = 0;               // the value of No. afterwards
  std::optional<std::size_t> colourRow;  // teach row whose colour cells take ColorPatch
};

// TeachDataTo on `table`. THD RGB (evaluation mode 4 or higher): red, green and
// blue go into CELL 0 of rows 0, 1 and 2 and No. stays. Otherwise the row gets
// X/s, Y/i and the intensity in the columns of the calculation mode and, unless
// the tolerances are off, the default tolerances; with Inc on No. advances up
// to 63. A displayed value below 0 is taught as 0 (the cells are unsigned).
// A row above 63 or an unknown calculation mode changes nothing.
TeachResult TeachDataTo(TeachTable& table, const TeachInput& input);

// Reset: CELL 0..4 of every row become 1 (GROUP, HOLD and the spare word stay).
// The caller also sets No. to 0.
void ResetTable(TeachTable& table);

// Rearranges CELL 2..4 of every row when the calculation mode moves between the
// 2D modes (0, 1) and the 3D modes (2, 3). Returns true when it did:
//   2D -> 3D: X, Y, CTO, INT, ITO  becomes X, Y, INT, CTO (as TOL), 1
//   3D -> 2D: X, Y, INT, TOL, c    becomes X, Y, TOL (as CTO), INT, TOL (as ITO)
bool SortTableTolerance(TeachTable& table, std::uint16_t oldCalculationMode,
                        std::uint16_t newCalculationMode);

// Group-table reset: every GROUP becomes 0 (cell backgrounds white).
void resetGroupTable(TeachTable& table);

// Hold-table reset: HOLD FAIL and every HOLD become `holdValue`.
void resetHoldTable(ParaSet& set, std::uint16_t holdValue);

}  // namespace drq
