#pragma once
// The sensor's colour evaluation: the current co-ordinates against the teach
// table, by EVALUATION MODE, giving delta C, the colour number, the colour group
// and the five outputs OUT0..OUT4. Pure functions.

#include <array>
#include <cstdint>

#include "core/params/ParaSet.h"
#include "sim/Optics.h"

namespace drq::sim {

inline constexpr int kNoHit = 255;

struct Evaluation {
  int deltaC = -1;           // live frame word 6
  int color = kNoHit;        // word 7: the row, 255, or in COL5 / THD RGB the output bits
  int group = kNoHit;        // word 8
  std::uint8_t outputs = 0;  // OUT0..OUT4 in bits 0..4
  int hitRow = -1;           // the detected row, -1 when none (COL5: the first hit row)
  bool operator==(const Evaluation&) const = default;
};

// Rows the sensor checks, counted from row 0: MAX VEC NO (at most 64); COL5
// always uses rows 0..4 and THD RGB rows 0..2.
int activeRows(const ParaRecord& record);

// Output bits for a detected value (row, or group with COLOR GROUP on) by
// DIGITAL OUTMODE; `value` < 0 is the fail state.
//   DIRECT LO (0): all outputs high except OUT<value>;  fail: all high (31)
//   DIRECT HI (1): only OUT<value> high (values 0..4);   fail: all low
//   BINARY HI (2): the value in binary;                  fail: 31
//   BINARY LO (3): the value inverted in binary;         fail: 0
std::uint8_t outputBits(std::uint16_t digitalOutmode, int value);

// Evaluates co-ordinates `c` (X/Y/INT or s/i/M) and the calibrated channels
// `rgb` against the table.
//
// A row is hit in the 2D calculation modes when the distance in the colour
// plane (cells 0, 1) is at most CTO (cell 2) and the intensity (cell 3) differs
// by at most ITO (cell 4); in the 3D modes when the distance in the space
// (cells 0, 1, 2) is at most TOL (cell 3). delta C is that colour distance
// (2D) or space distance (3D), rounded.
//   FIRST HIT: the first row hit; none: delta C to the last active row.
//   BEST HIT:  of the rows hit, the one with the smallest distance relative to
//              its tolerance; none: delta C -1.
//   MIN DIST:  the row nearest in colour (2D) or space (3D), detected only if
//              it is hit; none: delta C -1.
//   COL5:      rows 0..4 each drive their own output (OUT<row> high when hit);
//              word 7 carries the output bits, delta C the distance of the
//              nearest row hit (or -1), no group.
//   THD RGB:   OUT0..OUT2 high while red, green, blue exceed CELL 0 of rows
//              0, 1, 2; word 7 carries the bits, delta C -1, no group.
// INT (or M) below INTLIM: fail state (colour and group 255, delta C -1).
// Groups: with COLOR GROUP on, the group of the detected row (and the outputs
// show the group); otherwise 255.
Evaluation evaluate(const ParaRecord& record, const TeachTable& table, const Coordinates& c,
                    const std::array<int, 3>& rgb);

}  // namespace drq::sim
