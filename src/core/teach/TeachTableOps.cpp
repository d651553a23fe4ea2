#include "core/teach/TeachTableOps.h"

#include <algorithm>

#include "core/params/Modes.h"

namespace drq {
namespace {

std::uint16_t taughtValue(std::int16_t shown) {
  return shown < 0 ? std::uint16_t{0} : static_cast<std::uint16_t>(shown);
}

}  // namespace

std::optional<TeachTolerances> defaultTeachTolerances(std::uint16_t eval, std::uint16_t calc,
                                                      std::uint16_t powerMode) {
  const bool dyn = isMode(powerMode, PowerMode::Dyn);
  // Columns: calculation mode 0 (CTO, ITO), mode 1 (siTO, MTO), modes 2 and 3 (TOL, 1).
  switch (eval) {
    case code(EvaluationMode::FirstHit):
    case code(EvaluationMode::Col5):
      if (isMode(calc, CalculationMode::XyInt2d))
        return TeachTolerances{100, static_cast<std::uint16_t>(dyn ? 50 : 100)};
      if (isMode(calc, CalculationMode::Sim2d)) return TeachTolerances{100, 50};
      if (is3dCalcMode(calc)) return TeachTolerances{100, 1};
      break;
    case code(EvaluationMode::BestHit):
      if (isMode(calc, CalculationMode::XyInt2d))
        return TeachTolerances{200, static_cast<std::uint16_t>(dyn ? 100 : 200)};
      if (isMode(calc, CalculationMode::Sim2d)) return TeachTolerances{200, 50};
      if (is3dCalcMode(calc)) return TeachTolerances{200, 1};
      break;
    case code(EvaluationMode::MinDist):
      if (isMode(calc, CalculationMode::XyInt2d))
        return TeachTolerances{40, static_cast<std::uint16_t>(dyn ? 100 : 200)};
      if (isMode(calc, CalculationMode::Sim2d)) return TeachTolerances{40, 50};
      if (is3dCalcMode(calc)) return TeachTolerances{40, 1};
      break;
    default:
      break;
  }
  return std::nullopt;
}

TeachResult TeachDataTo(TeachTable& table, const TeachInput& in) {
  TeachResult result;
  result.nextRow = in.row;
  if (in.row >= kTeachRows) return result;

  if (isThdRgbEvalMode(in.evaluationMode)) {
    // Thresholds of the red, green and blue channel in CELL 0 of rows 0..2.
    table[0].cell(0) = taughtValue(in.red);
    table[1].cell(0) = taughtValue(in.green);
    table[2].cell(0) = taughtValue(in.blue);
    result.changed = true;
    result.colourRow = in.row;
    return result;
  }

  const bool flat = is2dCalcMode(in.calculationMode);
  if (!isKnownCalcMode(in.calculationMode)) return result;
  const auto tolerances =
      defaultTeachTolerances(in.evaluationMode, in.calculationMode, in.powerMode);
  if (!tolerances) return result;

  TeachVector& v = table[in.row];
  v.cell(0) = taughtValue(in.x);
  v.cell(1) = taughtValue(in.y);
  const std::size_t intensityCell = flat ? 3 : 2;
  const std::size_t toleranceCell = flat ? 2 : 3;
  v.cell(intensityCell) = taughtValue(in.intensity);
  if (!in.toleranceOff) {
    v.cell(toleranceCell) = tolerances->colorTolerance;
    v.cell(4) = tolerances->intensityTolerance;
  }
  if (in.autoIncrement && in.row + 1 < kTeachRows) result.nextRow = in.row + 1;
  result.changed = true;
  result.colourRow = in.row;
  return result;
}

void ResetTable(TeachTable& table) {
  for (auto& v : table) {
    for (std::size_t i = 0; i < kTeachCells; ++i) v.cell(i) = kDefaultCell;
  }
}

bool SortTableTolerance(TeachTable& table, std::uint16_t oldCalc, std::uint16_t newCalc) {
  if (is2dCalcMode(oldCalc) && is3dCalcMode(newCalc)) {
    for (auto& v : table) {
      std::swap(v.cell(2), v.cell(3));
      v.cell(4) = 1;
    }
    return true;
  }
  if (is3dCalcMode(oldCalc) && is2dCalcMode(newCalc)) {
    for (auto& v : table) {
      const std::uint16_t intensity = v.cell(2);
      const std::uint16_t tolerance = v.cell(3);
      v.cell(2) = tolerance;
      v.cell(3) = intensity;
      v.cell(4) = tolerance;
    }
    return true;
  }
  return false;
}

void resetGroupTable(TeachTable& table) {
  for (auto& v : table) v.group() = 0;
}

void resetHoldTable(ParaSet& set, std::uint16_t holdValue) {
  set.record[ParaWord::HoldFail] = holdValue;
  for (auto& v : set.table) v.hold() = holdValue;
}

}  // namespace drq
