#pragma once
// The ranges of the operator's controls for the words of a parameter set. The
// parameter page gives its numerics these ranges, and drqctl send-para limits
// a parameter file's values to them, so that a file sends what the panels
// would show after loading it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/params/ParaSet.h"

namespace drq {

struct ControlRange {
  std::uint16_t min = 0;
  std::uint16_t max = 65535;
  constexpr bool holds(std::int64_t value) const { return value >= min && value <= max; }
};

// POWER 0..1000, INTEGRAL 0..250, MAX VEC NO 0..64 (the size of the teach
// table; the mode rules limit it further). Every other record word takes any
// 16-bit value: the rings keep values they have no item for, and the sensor
// checks its own limits.
constexpr ControlRange paraControlRange(ParaWord word) {
  switch (word) {
    case ParaWord::Power:
      return {0, 1000};
    case ParaWord::Integral:
      return {0, 250};
    case ParaWord::MaxVecNo:
      return {0, static_cast<std::uint16_t>(kTeachRows)};
    default:
      return {};
  }
}

// CELL 0..4, GROUP and HOLD of a teach row: any 16-bit value.
inline constexpr ControlRange kTeachWordRange{};

// A value as a parameter file holds it, when it does not fit a 16-bit word
// (negative or above 65535); the word itself then holds the low 16 bits.
struct FiledValue {
  std::optional<std::size_t> teachRow;  // nullopt: a record word
  std::size_t word = 0;                 // record word, or word of the teach vector
  int value = 0;
};

// The parameter file's section and key of a word ("PARAMETER" / "POWER",
// "TEACH VECTOR 3" / "CELL 0", ... / "GROUP", "HOLD").
std::string filedSection(const FiledValue& where);
std::string filedKey(const FiledValue& where);

// A word moved into its control's range.
struct LimitedValue {
  FiledValue from;       // where, and the value before (as filed when it was wide)
  std::uint16_t to = 0;  // the limit now in the word
};

// Brings every record word and teach word of `set` into its control's range,
// as loading the set into the panels does. A word listed in `wide` is limited
// from its filed value (70000 gives POWER 1000, -5 gives 0), any other from
// the word itself. Spare words are left alone. Returns the words changed,
// record first, in word order.
std::vector<LimitedValue> limitToControls(ParaSet& set, std::span<const FiledValue> wide);

}  // namespace drq
