#include "core/live/DisplayRules.h"

#include "core/params/Modes.h"

namespace drq {

std::optional<DisplayNames> dispNamesFor(std::uint16_t calculationMode) {
  switch (calculationMode) {
    case code(CalculationMode::XyInt2d):
    case code(CalculationMode::XyInt3d):
      return DisplayNames{
          {"X", kColorRed, kColorLightGrey}, {"Y", kColorBrightGreen, kColorLightGrey}, "INT"};
    case code(CalculationMode::Sim2d):
    case code(CalculationMode::Sim3d):
      return DisplayNames{
          {"s", kColorRed, kColorBrightGreen}, {"i", kColorYellow, kColorLightCyan}, "M"};
    default:
      return std::nullopt;
  }
}

bool triggerLedVisible(const ParaRecord& record) {
  return !isMode(record[ParaWord::Trigger], TriggerMode::Cont) ||
         !isMode(record[ParaWord::ExternTeach], ExternTeachMode::Off);
}

bool outputLedsFollowFrame(const ParaRecord& record) {
  return isOutputBitsEvalMode(record[ParaWord::EvaluationMode]);
}

}  // namespace drq
