#include "core/params/ParaNames.h"

#include <array>

namespace drq {
namespace {

constexpr std::array<std::string_view, 2> kPowerModeNames = {"STAT", "DYN"};
constexpr std::array<std::string_view, 5> kEvalModeNames = {"FIRST HIT", "BEST HIT", "MIN DIST",
                                                            "COL5", "THD RGB"};
constexpr std::array<std::string_view, 4> kOutmodeNames = {"DIRECT LO", "DIRECT HI", "BINARY HI",
                                                           "BINARY LO"};
constexpr std::array<std::string_view, 7> kTriggerNames = {"CONT", "SELF",  "EXT1", "EXT2",
                                                           "EXT3", "TRANS", "PARA"};
constexpr std::array<std::string_view, 4> kExteachNames = {"OFF", "ON", "STAT1", "DYN1"};
constexpr std::array<std::string_view, 4> kCalcModeNames = {"X Y INT 2D", "s i M 2D", "X Y INT 3D",
                                                            "s i M 3D"};
constexpr std::array<std::string_view, 2> kColorGroupNames = {"OFF", "ON"};
constexpr std::array<std::string_view, 4> kLedModeNames = {"DC", "AC", "OFF", "PULSE"};
constexpr std::array<std::string_view, 8> kGainNames = {"AMP1", "AMP2", "AMP3", "AMP4",
                                                        "AMP5", "AMP6", "AMP7", "AMP8"};

}  // namespace

std::span<const std::string_view> paraValueNames(ParaWord word) {
  switch (word) {
    case ParaWord::PowerMode:
      return kPowerModeNames;
    case ParaWord::EvaluationMode:
      return kEvalModeNames;
    case ParaWord::DigitalOutmode:
      return kOutmodeNames;
    case ParaWord::Trigger:
      return kTriggerNames;
    case ParaWord::ExternTeach:
      return kExteachNames;
    case ParaWord::CalculationMode:
      return kCalcModeNames;
    case ParaWord::ColorGroup:
      return kColorGroupNames;
    case ParaWord::LedMode:
      return kLedModeNames;
    case ParaWord::Gain:
      return kGainNames;
    default:
      return {};
  }
}

std::string_view paraValueName(ParaWord word, std::uint16_t value) {
  const auto names = paraValueNames(word);
  return value < names.size() ? names[value] : std::string_view{};
}

bool paraWordIsCoded(ParaWord word) {
  return !paraValueNames(word).empty();
}

std::string_view paraListName(ParaWord word) {
  return word == ParaWord::ExternTeach ? std::string_view("EXTEACH") : paraKey(word);
}

std::string teachSectionName(std::size_t row) {
  return std::string(kTeachSectionPrefix) + std::to_string(row);
}

std::string cellKey(std::size_t cell) {
  return "CELL " + std::to_string(cell);
}

}  // namespace drq
