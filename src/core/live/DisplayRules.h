#pragma once
// Decisions behind the relabelling and showing of the live displays, as pure
// functions of the parameter record. The panels apply them.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/params/ParaSet.h"

namespace drq {

inline constexpr std::uint32_t kColorRed = 0xFF0000;
inline constexpr std::uint32_t kColorBrightGreen = 0x00FF00;
inline constexpr std::uint32_t kColorYellow = 0xFFFF00;
inline constexpr std::uint32_t kColorLightCyan = 0x80FFFF;
inline constexpr std::uint32_t kColorLightGrey = 0xE0E0E0;

// Look of one value display: its label, its main colour and its second colour.
struct DisplayLook {
  std::string_view label;
  std::uint32_t color = 0;
  std::uint32_t secondColor = 0;
  bool operator==(const DisplayLook&) const = default;
};

// Labels and colours of the X/s, Y/i and INT/M displays. The INT/M display
// only changes its label (its colours carry no value).
struct DisplayNames {
  DisplayLook x;
  DisplayLook y;
  std::string_view intensity;
  // The three labels in display order; also the labels of the signal graph
  // panel's X/Y/INT graphs and its selector entries 3, 4 and 5.
  std::array<std::string_view, 3> labels() const { return {x.label, y.label, intensity}; }
  bool operator==(const DisplayNames&) const = default;
};

// SetDispNames for a calculation mode: 0 and 2 give "X" (red on light grey),
// "Y" (bright green on light grey) and "INT"; 1 and 3 give "s" (red with
// bright green), "i" (yellow with light cyan) and "M". Any other value:
// nothing (the displays keep their looks).
std::optional<DisplayNames> dispNamesFor(std::uint16_t calculationMode);

// SetLedTrigVis: the trigger LED is visible when TRIGGER is not CONT or
// EXTERN TEACH is not OFF.
bool triggerLedVisible(const ParaRecord& record);

// The output LEDs follow the colour word only in the evaluation modes COL5 and
// THD RGB (code 3 or higher); otherwise they are left as they are.
bool outputLedsFollowFrame(const ParaRecord& record);

}  // namespace drq
