#include "core/teach/MeanTeach.h"

#include <algorithm>
#include <cmath>

#include "core/params/Modes.h"

namespace drq {

namespace {

// The colour tolerance that MIN DIST always teaches.
constexpr std::uint16_t kMinDistTolerance = 40;
constexpr std::uint32_t kCellMax = 0xFFFF;

std::size_t usedRows(const MeanTeachState& state) {
  return std::min<std::size_t>(state.count, kMeanCaptureRows);
}

std::uint16_t cellOf(std::int16_t word) {
  return word < 0 ? std::uint16_t{0} : static_cast<std::uint16_t>(word);
}

// The largest integer whose square is at most q.
std::uint64_t isqrt(std::uint64_t q) {
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(q)));
  while (r * r > q) --r;
  while ((r + 1) * (r + 1) <= q) ++r;
  return r;
}

std::uint16_t saturated(std::uint32_t value) {
  return static_cast<std::uint16_t>(std::min(value, kCellMax));
}

// A tolerance by its source; `kept` is the teach table's cell.
std::uint16_t toleranceBy(std::uint16_t source, std::uint16_t value, std::uint32_t distance,
                          std::uint16_t kept) {
  switch (static_cast<ToleranceSource>(source)) {
    case ToleranceSource::Value:
      return value;
    case ToleranceSource::Distance:
      return saturated(distance);
    case ToleranceSource::DistancePlusValue:
      return saturated(distance + value);
    case ToleranceSource::Keep:
      break;
  }
  // Keep, and any value the ring does not offer.
  return kept;
}

}  // namespace

std::size_t CaptureFrame(MeanTeachState& state, const LiveFrame& frame,
                         std::uint16_t calculationMode) {
  std::uint16_t n = state.count;
  if (n >= kMeanCaptureRows) n = kMeanCaptureRows - 1;
  n = static_cast<std::uint16_t>(n + 1);
  state.count = n;
  MeanRow& row = state.rows[n - 1u];
  for (std::size_t c = 0; c < kMeanColumns; ++c) row[c] = cellOf(frame.words[c]);
  CalcMeanValues(state, calculationMode);
  return n - 1u;
}

std::size_t UndoCapture(MeanTeachState& state, std::uint16_t calculationMode) {
  std::size_t n = usedRows(state);
  if (n > 0) --n;
  state.count = static_cast<std::uint16_t>(n);
  state.rows[n].fill(0);  // row n + 1, the removed capture
  CalcMeanValues(state, calculationMode);
  const std::size_t active = n > 6 ? n - 5 : 1;  // max(n - 5, 1), 1-based
  return active - 1;
}

void CalcMeanValues(MeanTeachState& state, std::uint16_t calculationMode) {
  const std::size_t n = usedRows(state);
  if (n == 0) {
    state.means.fill(0);
    state.colorDistance = 0;
    state.intensityDistance = 0;
    return;
  }
  for (std::size_t c = 0; c < kMeanColumns; ++c) {
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < n; ++k) sum += state.rows[k][c];
    state.means[c] = static_cast<std::uint16_t>(sum / static_cast<std::int64_t>(n));
  }
  CalcMaxDelta(state, calculationMode);
}

void CalcMaxDelta(MeanTeachState& state, std::uint16_t calculationMode) {
  const std::size_t n = usedRows(state);
  const std::int64_t mx = state.means[kMeanColumnX];
  const std::int64_t my = state.means[kMeanColumnY];
  const std::int64_t mi = state.means[kMeanColumnInt];
  std::uint64_t maxD = 0;
  std::int64_t maxE = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const MeanRow& row = state.rows[k];
    const std::int64_t dx = row[kMeanColumnX] - mx;
    const std::int64_t dy = row[kMeanColumnY] - my;
    const std::int64_t e = std::abs(row[kMeanColumnInt] - mi);
    maxE = std::max(maxE, e);
    std::int64_t q = dx * dx + dy * dy;
    if (is3dCalcMode(calculationMode)) q += e * e;
    maxD = std::max(maxD, isqrt(static_cast<std::uint64_t>(q)));
  }
  state.colorDistance = static_cast<std::uint32_t>(maxD);
  state.intensityDistance = static_cast<std::uint32_t>(maxE);
}

void ResetTeachMeanPanelTable(MeanTeachState& state) {
  state.count = 0;
  state.colorDistance = 0;
  state.intensityDistance = 0;
  for (MeanRow& row : state.rows) row.fill(1);
  state.means.fill(1);
}

std::optional<TaughtTolerances> meanTeachTolerances(const TeachTable& table,
                                                    const MeanTeachInput& input) {
  const std::uint16_t calc = input.calculationMode;
  if (input.row >= kTeachRows || !isKnownCalcMode(calc) || isThdRgbEvalMode(input.evaluationMode)) {
    return std::nullopt;
  }
  const TeachVector& row = table[input.row];
  const bool flat = is2dCalcMode(calc);
  TaughtTolerances t{};
  t.color =
      toleranceBy(input.colorSource, input.colorValue, input.colorDistance, row.cell(flat ? 2 : 3));
  t.intensity = toleranceBy(input.intensitySource, input.intensityValue, input.intensityDistance,
                            row.cell(flat ? 4 : 3));
  if (isMode(input.evaluationMode, EvaluationMode::MinDist)) t.color = kMinDistTolerance;
  return t;
}

MeanTeachResult TeachToTable(TeachTable& table, const MeanTeachInput& input) {
  MeanTeachResult result;
  result.nextRow = input.row;
  const auto tolerances = meanTeachTolerances(table, input);
  if (!tolerances) return result;
  TeachVector& row = table[input.row];
  row.cell(0) = input.means[kMeanColumnX];
  row.cell(1) = input.means[kMeanColumnY];
  if (is2dCalcMode(input.calculationMode)) {
    row.cell(2) = tolerances->color;
    row.cell(3) = input.means[kMeanColumnInt];
    row.cell(4) = tolerances->intensity;
  } else {
    row.cell(2) = input.means[kMeanColumnInt];
    row.cell(3) = tolerances->color;
  }
  result.changed = true;
  if (input.autoIncrement && input.row + 1 < kTeachRows) result.nextRow = input.row + 1;
  return result;
}

}  // namespace drq
