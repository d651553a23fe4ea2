#pragma once
// Wire images of the parameter set. The sensor receives and sends the exact
// memory image: every word little-endian, no gaps, the spare word of each
// teach vector included. A set travels as three blocks: the record (34 bytes)
// and the two halves of the teach table (rows 0..31 and 32..63, 512 bytes each).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/params/ParaSet.h"

namespace drq {

using ParaRecordImage = std::array<std::uint8_t, kParaRecordBytes>;
using TeachBlockImage = std::array<std::uint8_t, kTeachBlockBytes>;

// Which half of the teach table a teach block holds.
enum class TeachHalf : std::size_t { Low = 0, High = 1 };

// First teach row of a half: 0 or 32.
inline constexpr std::size_t firstRowOf(TeachHalf half) {
  return static_cast<std::size_t>(half) * (kTeachRows / 2);
}

// Block numbers of the three blocks of parameter set `set` (0 or 1).
inline constexpr std::uint16_t recordBlockNumber(std::uint16_t set) {
  return set;
}
inline constexpr std::uint16_t teachBlockNumber(std::uint16_t set, TeachHalf half) {
  return static_cast<std::uint16_t>(2 * set + 2 + static_cast<std::uint16_t>(half));
}

ParaRecordImage recordToWire(const ParaRecord& record);

// Takes the record from the first 34 bytes of `bytes`; bytes beyond the end of
// a shorter span read as 0.
ParaRecord recordFromWire(std::span<const std::uint8_t> bytes);

TeachBlockImage teachBlockToWire(const TeachTable& table, TeachHalf half);

// Overwrites the 32 rows of `half` (all eight words, the spare word included)
// from the first 512 bytes of `bytes`; missing bytes read as 0.
void teachBlockFromWire(TeachTable& table, TeachHalf half, std::span<const std::uint8_t> bytes);

}  // namespace drq
