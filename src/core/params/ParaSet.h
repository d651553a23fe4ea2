#pragma once
// The sensor's parameter set: a ParaRecord of 17 unsigned 16-bit words and a
// TeachTable of 64 TeachVector rows of 8 words. In memory and on the wire every
// word is little-endian and the fields follow each other without gaps; the wire
// image is the memory image copied byte for byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace drq {

// Word indices of the ParaRecord (also the wire order).
enum class ParaWord : std::size_t {
  Power = 0,             // 0..1000, used when POWER MODE is STAT
  PowerMode = 1,         // 0 STAT, 1 DYN
  Average = 2,           // scanning values averaged
  EvaluationMode = 3,    // 0 FIRST HIT, 1 BEST HIT, 2 MIN DIST, 3 COL5, 4 THD RGB
  HoldFail = 4,          // hold time of the fail state
  IntLim = 5,            // intensity limit
  MaxVecNo = 6,          // active teach rows, counted from row 0
  DigitalOutmode = 7,    // 0 DIRECT LO, 1 DIRECT HI, 2 BINARY HI, 3 BINARY LO
  Trigger = 8,           // 0 CONT, 1 SELF, 2 EXT1, 3 EXT2, 4 EXT3, 5 TRANS, 6 PARA
  ExternTeach = 9,       // 0 OFF, 1 ON, 2 STAT1, 3 DYN1
  CalculationMode = 10,  // 0 X Y INT 2D, 1 s i M 2D, 2 X Y INT 3D, 3 s i M 3D
  DynWinLo = 11,
  DynWinHi = 12,
  ColorGroup = 13,  // 0 groups off, 1 on
  LedMode = 14,     // 2 = OFF
  Gain = 15,        // AMP1..AMP8
  Integral = 16,    // 0..250
};

inline constexpr std::size_t kParaRecordWords = 17;
inline constexpr std::size_t kParaRecordBytes = 34;
inline constexpr std::size_t kTeachVectorWords = 8;
inline constexpr std::size_t kTeachVectorBytes = 16;
inline constexpr std::size_t kTeachRows = 64;
inline constexpr std::size_t kTeachTableBytes = 1024;
inline constexpr std::size_t kTeachBlockBytes = 512;  // one half of the table
inline constexpr std::size_t kTeachCells = 5;         // CELL 0..4

struct ParaRecord {
  std::array<std::uint16_t, kParaRecordWords> words{};

  std::uint16_t& operator[](ParaWord w) { return words[static_cast<std::size_t>(w)]; }
  std::uint16_t operator[](ParaWord w) const { return words[static_cast<std::size_t>(w)]; }
  bool operator==(const ParaRecord&) const = default;
};

// Word indices within a TeachVector.
inline constexpr std::size_t kTeachGroupWord = 5;
inline constexpr std::size_t kTeachHoldWord = 6;
inline constexpr std::size_t kTeachSpareWord = 7;  // carried unchanged, never shown or filed

struct TeachVector {
  std::array<std::uint16_t, kTeachVectorWords> words{};

  std::uint16_t& cell(std::size_t i) { return words[i]; }  // i = 0..4
  std::uint16_t cell(std::size_t i) const { return words[i]; }
  std::uint16_t& group() { return words[kTeachGroupWord]; }
  std::uint16_t group() const { return words[kTeachGroupWord]; }
  std::uint16_t& hold() { return words[kTeachHoldWord]; }
  std::uint16_t hold() const { return words[kTeachHoldWord]; }
  std::uint16_t& spare() { return words[kTeachSpareWord]; }
  std::uint16_t spare() const { return words[kTeachSpareWord]; }
  bool operator==(const TeachVector&) const = default;
};

using TeachTable = std::array<TeachVector, kTeachRows>;

struct ParaSet {
  ParaRecord record;
  TeachTable table;
  bool operator==(const ParaSet&) const = default;
};

// Table controls count rows from 1: teach row r is row r + 1 of the teach,
// group and table-attribute tables and row r + 2 of the hold table, whose row 1
// is HOLD FAIL.
inline constexpr int kHoldFailTableRow = 1;
inline constexpr int tableRowOf(std::size_t teachRow) {
  return static_cast<int>(teachRow) + 1;
}
inline constexpr int holdTableRowOf(std::size_t teachRow) {
  return static_cast<int>(teachRow) + 2;
}

// --- Keys and defaults --------------------------------------------------------
// The key of every record word as the parameter file stores it and the operator
// sees it, in word order.
inline constexpr std::array<std::string_view, kParaRecordWords> kParaKeys = {
    "POWER",     "POWER MODE",   "AVERAGE",          "EVALUATION MODE",
    "HOLD FAIL", "INTLIM",       "MAX VEC NO",       "DIGITAL OUTMODE",
    "TRIGGER",   "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO",
    "DYNWIN HI", "COLOR GROUP",  "LED MODE",         "GAIN",
    "INTEGRAL"};

// The value substituted for a record word that a parameter file lacks; also the
// initial working set.
inline constexpr std::array<std::uint16_t, kParaRecordWords> kParaDefaults = {
    500, 0, 1, 1, 10, 0, 1, 0, 0, 0, 0, 3200, 3300, 0, 0, 5, 1};

// Defaults of a teach vector: CELL 0..4 = 1, GROUP 0, HOLD 10, spare 0.
inline constexpr std::uint16_t kDefaultCell = 1;
inline constexpr std::uint16_t kDefaultGroup = 0;
inline constexpr std::uint16_t kDefaultHold = 10;

inline constexpr std::string_view paraKey(ParaWord w) {
  return kParaKeys[static_cast<std::size_t>(w)];
}
inline constexpr std::uint16_t paraDefault(ParaWord w) {
  return kParaDefaults[static_cast<std::size_t>(w)];
}

inline constexpr ParaRecord defaultParaRecord() {
  ParaRecord r;
  r.words = kParaDefaults;
  return r;
}

inline constexpr TeachVector defaultTeachVector() {
  TeachVector v;
  for (std::size_t i = 0; i < kTeachCells; ++i) v.words[i] = kDefaultCell;
  v.words[kTeachGroupWord] = kDefaultGroup;
  v.words[kTeachHoldWord] = kDefaultHold;
  v.words[kTeachSpareWord] = 0;
  return v;
}

inline constexpr ParaSet defaultParaSet() {
  ParaSet s;
  s.record = defaultParaRecord();
  for (auto& v : s.table) v = defaultTeachVector();
  return s;
}

}  // namespace drq
