#pragma once
// The sensor's own plausibility limits: every parameter block it receives and
// every set it loads from EEPROM is checked against them; an implausible word
// is replaced by its default and counted.

#include <array>
#include <cstdint>
#include <span>

#include "core/params/ParaSet.h"

namespace drq::sim {

struct WordLimit {
  ParaWord word;
  std::uint16_t min;
  std::uint16_t max;
  std::uint16_t fallback;  // the default that replaces an implausible value
};

// Limits and defaults of the parameter record, in word order. GAIN codes the
// stages AMP1..AMP8 as 0..7.
inline constexpr std::array<WordLimit, kParaRecordWords> kRecordLimits{{
    {ParaWord::Power, 0, 1000, 500},
    {ParaWord::PowerMode, 0, 1, 0},
    {ParaWord::Average, 1, 1000, 1},
    {ParaWord::EvaluationMode, 0, 4, 1},
    {ParaWord::HoldFail, 0, 10000, 10},
    {ParaWord::IntLim, 0, 4095, 0},
    {ParaWord::MaxVecNo, 0, 64, 1},
    {ParaWord::DigitalOutmode, 0, 3, 0},
    {ParaWord::Trigger, 0, 6, 0},
    {ParaWord::ExternTeach, 0, 3, 0},
    {ParaWord::CalculationMode, 0, 3, 0},
    {ParaWord::DynWinLo, 0, 4095, 3200},
    {ParaWord::DynWinHi, 0, 4095, 3300},
    {ParaWord::ColorGroup, 0, 1, 0},
    {ParaWord::LedMode, 0, 3, 0},
    {ParaWord::Gain, 0, 7, 5},
    {ParaWord::Integral, 0, 250, 1},
}};

inline constexpr std::uint16_t kMaxTeachGroup = 30;
inline constexpr std::uint16_t kMaxHold = 10000;
inline constexpr std::uint16_t kDefaultCell = 1;
inline constexpr std::uint16_t kDefaultHold = 10;

ParaRecord defaultRecord();
// CELL 0..4 = 1, GROUP 0, HOLD 10, spare 0.
TeachVector defaultTeachVector();
ParaSet defaultParaSet();

// Replaces implausible words by their defaults; returns how many words changed.
// Besides each word's range, DYNWIN LO must not exceed DYNWIN HI (otherwise
// both return to their defaults).
int correctRecord(ParaRecord& record);

// GROUP above 30 becomes 0, HOLD above 10000 becomes 10; the cells and the
// spare word are not checked. Returns how many words changed.
int correctTeachVector(TeachVector& vector);
int correctTeachRows(std::span<TeachVector> rows);
int correctParaSet(ParaSet& set);

}  // namespace drq::sim
