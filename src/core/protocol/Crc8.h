#pragma once
// CRC-8 of the sensor frames: the 1-Wire CRC-8 (polynomial 0x31, processed
// least significant bit first, table driven by its reflected form 0x8C),
// started at 0xAA instead of 0, no final XOR.
//
// Check values: "123456789" gives 0x6D; an empty sequence gives 0xAA.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace drq {

using Crc8Table = std::array<std::uint8_t, 256>;

inline constexpr std::uint8_t kCrc8Start = 0xAA;

// The 256-entry table: entry i is the CRC-8/MAXIM remainder of the byte i
// (entry 1 = 0x5E, entry 128 = 0x8C, entry 255 = 0x35).
const Crc8Table& crc8Table();

// CRC-8 (start 0xAA) of `count` bytes of `buffer` beginning at `offset`, using
// `table`. Bytes beyond the end of `buffer` are not read: the range is cut to
// the buffer.
std::uint8_t crc8Update(std::span<const std::uint8_t> buffer, std::size_t offset, std::size_t count,
                        const Crc8Table& table);

// CRC-8 (start 0xAA) of all of `bytes`.
std::uint8_t crc8(std::span<const std::uint8_t> bytes);

}  // namespace drq
