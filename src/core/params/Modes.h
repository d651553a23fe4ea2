#pragma once
// The coded words of the parameter record that decide how the sensor
// evaluates and how the operator tool shows its data, as enums, and the
// questions every layer asks about them. The record keeps the raw codes
// (std::uint16_t); the predicates take a raw code, so a value the sensor or a
// file sent outside the coding is answered too (see each predicate).
//
//   CALCULATION MODE 0 X Y INT 2D, 1 s i M 2D, 2 X Y INT 3D, 3 s i M 3D
//   EVALUATION MODE  0 FIRST HIT, 1 BEST HIT, 2 MIN DIST, 3 COL5, 4 THD RGB
//   POWER MODE       0 STAT, 1 DYN
//   DIGITAL OUTMODE  0 DIRECT LO, 1 DIRECT HI, 2 BINARY HI, 3 BINARY LO
//   TRIGGER          0 CONT, 1 SELF, 2 EXT1, 3 EXT2, 4 EXT3, 5 TRANS, 6 PARA
//   EXTERN TEACH     0 OFF, 1 ON, 2 STAT1, 3 DYN1
//   LED MODE         0 DC, 1 AC, 2 OFF, 3 PULSE
//   COLOR GROUP      0 OFF, 1 ON

#include <cstdint>
#include <type_traits>

namespace drq {

enum class CalculationMode : std::uint16_t { XyInt2d = 0, Sim2d = 1, XyInt3d = 2, Sim3d = 3 };
enum class EvaluationMode : std::uint16_t {
  FirstHit = 0,
  BestHit = 1,
  MinDist = 2,
  Col5 = 3,
  ThdRgb = 4,
};
enum class PowerMode : std::uint16_t { Stat = 0, Dyn = 1 };
enum class DigitalOutmode : std::uint16_t {
  DirectLo = 0,
  DirectHi = 1,
  BinaryHi = 2,
  BinaryLo = 3
};
enum class TriggerMode : std::uint16_t {
  Cont = 0,
  Self = 1,
  Ext1 = 2,
  Ext2 = 3,
  Ext3 = 4,
  Trans = 5,
  Para = 6,
};
enum class ExternTeachMode : std::uint16_t { Off = 0, On = 1, Stat1 = 2, Dyn1 = 3 };
enum class LedMode : std::uint16_t { Dc = 0, Ac = 1, Off = 2, Pulse = 3 };
enum class ColorGroupMode : std::uint16_t { Off = 0, On = 1 };

// The raw code of a mode, as the record holds it.
template <typename Mode>
requires std::is_enum_v<Mode>
constexpr std::uint16_t code(Mode mode) {
  return static_cast<std::uint16_t>(mode);
}

// True when the raw `value` is `mode`.
template <typename Mode>
requires std::is_enum_v<Mode>
constexpr bool isMode(std::uint16_t value, Mode mode) {
  return value == code(mode);
}

// --- Calculation mode --------------------------------------------------------
// The two 2D modes (colour plane and intensity separately).
constexpr bool is2dCalcMode(std::uint16_t calc) {
  return isMode(calc, CalculationMode::XyInt2d) || isMode(calc, CalculationMode::Sim2d);
}
// The two 3D modes (one distance over all three coordinates).
constexpr bool is3dCalcMode(std::uint16_t calc) {
  return isMode(calc, CalculationMode::XyInt3d) || isMode(calc, CalculationMode::Sim3d);
}
// The X Y INT family (0 and 2); other values, also outside the coding, are not.
constexpr bool isXyIntCalcMode(std::uint16_t calc) {
  return isMode(calc, CalculationMode::XyInt2d) || isMode(calc, CalculationMode::XyInt3d);
}
// The s i M family (1 and 3).
constexpr bool isSimCalcMode(std::uint16_t calc) {
  return isMode(calc, CalculationMode::Sim2d) || isMode(calc, CalculationMode::Sim3d);
}
// One of the four coded modes.
constexpr bool isKnownCalcMode(std::uint16_t calc) {
  return is2dCalcMode(calc) || is3dCalcMode(calc);
}

// --- Evaluation mode ---------------------------------------------------------
// FIRST HIT, BEST HIT and MIN DIST: the colour word names one teach row.
constexpr bool isRowEvalMode(std::uint16_t eval) {
  return eval <= code(EvaluationMode::MinDist);
}
// THD RGB, and every code above it: three thresholds instead of teach rows.
constexpr bool isThdRgbEvalMode(std::uint16_t eval) {
  return eval >= code(EvaluationMode::ThdRgb);
}
// COL5 and THD RGB (codes 3 and above): the colour word carries the output
// bits OUT0..OUT4 and the display shows the output LEDs.
constexpr bool isOutputBitsEvalMode(std::uint16_t eval) {
  return eval >= code(EvaluationMode::Col5);
}

// --- Other words ---------------------------------------------------------------
// DIRECT LO and DIRECT HI: one output per row (5 rows, groups 0..4).
constexpr bool isDirectOutmode(std::uint16_t outmode) {
  return isMode(outmode, DigitalOutmode::DirectLo) || isMode(outmode, DigitalOutmode::DirectHi);
}

}  // namespace drq
