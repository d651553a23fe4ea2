#pragma once
// The mean-value teach: up to 100 captured frames of one target, their column
// means, the largest distance of a capture from the means, and the teach of
// the means into a teach-table row with a tolerance derived from that scatter.
//
// MeanTeachState mirrors the mean-value teach panel: the values table (capture
// k in row k, 1-based as the control counts; here rows[k - 1]), the counter,
// the mean table and the two distance displays. The widget layer copies it to
// and from its controls; the functions below are the panel's operations.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/live/LiveFrame.h"
#include "core/params/ParaSet.h"

namespace drq {

inline constexpr std::size_t kMeanCaptureRows = 100;
// Columns of both tables: red, green, blue, X/s, Y/i, INT/M.
inline constexpr std::size_t kMeanColumns = 6;
using MeanRow = std::array<std::uint16_t, kMeanColumns>;

// Column indices (0-based) of the colour co-ordinates and the intensity.
inline constexpr std::size_t kMeanColumnX = 3;
inline constexpr std::size_t kMeanColumnY = 4;
inline constexpr std::size_t kMeanColumnInt = 5;

struct MeanTeachState {
  std::array<MeanRow, kMeanCaptureRows> rows{};  // the values table
  std::uint16_t count = 0;                       // the counter n, 0..100
  MeanRow means{};                               // the mean table
  // The largest colour distance D and intensity distance E of a capture from
  // the means (D is at most 3 * 65535 in the 3D modes, so it is wider than a
  // cell).
  std::uint32_t colorDistance = 0;
  std::uint32_t intensityDistance = 0;
  bool operator==(const MeanTeachState&) const = default;
};

// CaptureFrame: words 0..5 of `frame` become capture n + 1 (a capture beyond
// the hundredth overwrites row 100), then the means. A word below 0 is kept as
// 0, as the teach does with a negative displayed value: the cells are
// unsigned, and a wrapped 65535 would drag the means far away. Returns the
// 0-based row written (the row to make the active cell).
std::size_t CaptureFrame(MeanTeachState& state, const LiveFrame& frame,
                         std::uint16_t calculationMode);

// UndoCapture: n drops by one (not below 0), the removed capture's row n + 1
// is cleared to 0, then the means. Returns the 0-based row to make the active
// cell: max(n - 5, 1) as the control counts.
std::size_t UndoCapture(MeanTeachState& state, std::uint16_t calculationMode);

// CalcMeanValues: the column means of rows 1..n (integer division, the cells
// being unsigned), then CalcMaxDelta. With n = 0 the means and both distances
// are 0. A counter above 100 counts as 100.
void CalcMeanValues(MeanTeachState& state, std::uint16_t calculationMode);

// CalcMaxDelta: over rows 1..n, E = the largest |INT - mean INT| and D = the
// largest truncated square root of (X - mean X)^2 + (Y - mean Y)^2, plus
// (INT - mean INT)^2 in the 3D calculation modes (2, 3). Computed in 64 bits.
void CalcMaxDelta(MeanTeachState& state, std::uint16_t calculationMode);

// ResetTeachMeanPanelTable: counter and distances 0, every cell of the values
// and mean tables 1.
void ResetTeachMeanPanelTable(MeanTeachState& state);

// How a tolerance is taught (the items of the two source rings).
enum class ToleranceSource : std::uint16_t {
  Value = 0,              // the operator's value
  Distance = 1,           // D (colour) or E (intensity)
  DistancePlusValue = 2,  // the sum
  Keep = 3,               // the tolerance the teach table holds already
};
inline constexpr std::uint16_t kToleranceSources = 4;

// What TeachToTable reads from the panels.
struct MeanTeachInput {
  std::size_t row = 0;         // No., 0..63
  bool autoIncrement = false;  // Inc
  std::uint16_t evaluationMode = 1;
  std::uint16_t calculationMode = 0;
  MeanRow means{};
  std::uint32_t colorDistance = 0;      // D
  std::uint32_t intensityDistance = 0;  // E
  std::uint16_t colorSource = 0;        // ToleranceSource
  std::uint16_t intensitySource = 0;
  std::uint16_t colorValue = 0;
  std::uint16_t intensityValue = 0;
};

struct MeanTeachResult {
  bool changed = false;     // the row was written
  std::size_t nextRow = 0;  // the value of No. afterwards
  bool operator==(const MeanTeachResult&) const = default;
};

// The colour tolerance T and the intensity tolerance U that TeachToTable
// writes into `row` of `table` (MIN DIST: T is 40). A tolerance derived from
// a distance stops at 65535 instead of wrapping round to a small number. None
// for a row above 63, an unknown calculation mode or evaluation mode THD RGB
// (code 4 and above), whose table holds thresholds, not taught colours.
struct TaughtTolerances {
  std::uint16_t color;
  std::uint16_t intensity;
  bool operator==(const TaughtTolerances&) const = default;
};
std::optional<TaughtTolerances> meanTeachTolerances(const TeachTable& table,
                                                    const MeanTeachInput& input);

// TeachToTable: teach row `row` gets the mean X/s and Y/i in CELL 0 and 1; in
// the 2D calculation modes T in CELL 2, the mean INT/M in CELL 3 and U in
// CELL 4; in the 3D modes the mean INT/M in CELL 2 and T in CELL 3 (CELL 4
// stays). With Inc on No. advances up to 63. Row colours, the THD column and
// the "Teach tolerance off" switch are not involved. A row above 63, an
// unknown calculation mode or THD RGB changes nothing (the means are no
// thresholds: written there they would replace row 0's red threshold).
// The means and distances are the caller's: recompute them (CalcMeanValues)
// for the calculation mode taught with, since D depends on it.
MeanTeachResult TeachToTable(TeachTable& table, const MeanTeachInput& input);

}  // namespace drq
