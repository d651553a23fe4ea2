#pragma once
// Names of the coded record values, as the operator's rings show them, and the
// names under which the parameter file's missing-key list shows each word.
//
// Codings this tool builds its rings on:
//   POWER MODE       0 STAT, 1 DYN
//   EVALUATION MODE  0 FIRST HIT, 1 BEST HIT, 2 MIN DIST, 3 COL5, 4 THD RGB
//   DIGITAL OUTMODE  0 DIRECT LO, 1 DIRECT HI, 2 BINARY HI, 3 BINARY LO
//   TRIGGER          0 CONT, 1 SELF, 2 EXT1, 3 EXT2, 4 EXT3, 5 TRANS, 6 PARA
//   EXTERN TEACH     0 OFF, 1 ON, 2 STAT1, 3 DYN1
//   CALCULATION MODE 0 X Y INT 2D, 1 s i M 2D, 2 X Y INT 3D, 3 s i M 3D
//   COLOR GROUP      0 OFF, 1 ON
//   LED MODE         0 DC, 1 AC, 2 OFF, 3 PULSE
//   GAIN             0 AMP1 (lowest amplification) ... 7 AMP8 (highest); the
//                    default 5 is AMP6. Like every other ring of the record the
//                    stages count from 0.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/params/ParaSet.h"

namespace drq {

// The value names of a coded word, indexed by value; empty for words that hold
// plain numbers (POWER, AVERAGE, HOLD FAIL, INTLIM, MAX VEC NO, DYNWIN LO/HI,
// INTEGRAL).
std::span<const std::string_view> paraValueNames(ParaWord word);

// The name of `value` of a coded word; empty when the word holds a plain number
// or the value has no name.
std::string_view paraValueName(ParaWord word, std::uint16_t value);

// True for the words whose values are codes with names.
bool paraWordIsCoded(ParaWord word);

// Section and key names of the parameter file (and of the same sections in the
// hardware information file).
inline constexpr std::string_view kSectionParameter = "PARAMETER";
inline constexpr std::string_view kTeachSectionPrefix = "TEACH VECTOR ";
// GROUP and HOLD are written with a trailing blank and read without it: the
// INI store drops the blanks around a tag when it reads a file.
inline constexpr std::string_view kKeyGroupWritten = "GROUP ";
inline constexpr std::string_view kKeyHoldWritten = "HOLD ";
inline constexpr std::string_view kKeyGroup = "GROUP";
inline constexpr std::string_view kKeyHold = "HOLD";

// "TEACH VECTOR " + row in decimal; "CELL " + cell.
std::string teachSectionName(std::size_t row);
std::string cellKey(std::size_t cell);

// The name of a record word in the list of keys that took their defaults: the
// key, except "EXTEACH" for EXTERN TEACH.
std::string_view paraListName(ParaWord word);

}  // namespace drq
