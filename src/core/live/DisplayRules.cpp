#include "core/live/DisplayRules.h"

namespace drq {

std::optional<DisplayNames> dispNamesFor(std::uint16_t calculationMode) {
  switch (calculationMode) {
    case 0:
    case 2:
      return DisplayNames{
          {"X", kColorRed, kColorLightGrey}, {"Y", kColorBrightGreen, kColorLightGrey}, "INT"};
    case 1:
    case 3:
      return DisplayNames{
          {"s", kColorRed, kColorBrightGreen}, {"i", kColorYellow, kColorLightCyan}, "M"};
    default:
      return std::nullopt;
  }
}

bool triggerLedVisible(const ParaRecord& record) {
  return record[ParaWord::Trigger] != 0 || record[ParaWord::ExternTeach] != 0;
}

bool outputLedsFollowFrame(const ParaRecord& record) {
  return record[ParaWord::EvaluationMode] >= 3;
}

}  // namespace drq
