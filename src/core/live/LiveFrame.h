#pragma once
// The live measurement frame: the first 40 bytes of the answer to
// ORDER_GET_DATA, twenty signed 16-bit little-endian words.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace drq {

// clang-format off
enum class FrameWord : std::size_t {
  Red = 0, Green = 1, Blue = 2,   // calibrated channels
  X = 3, Y = 4, Int = 5,          // X/s, Y/i, INT/M by calculation mode
  DeltaC = 6,                     // -1: none
  Color = 7,                      // teach row; 255: no colour; COL5/THD RGB: output bits
  Group = 8,                      // 255: no group
  Trigger = 9,                    // non-zero: triggered
  Temp = 10,
  RawRed = 11, RawGreen = 12, RawBlue = 13,
  ExtremeARed = 14, ExtremeAGreen = 15, ExtremeABlue = 16,  // one min/max extreme
  ExtremeBRed = 17, ExtremeBGreen = 18, ExtremeBBlue = 19,  // the other extreme
};
// clang-format on

inline constexpr std::size_t kLiveFrameWords = 20;
inline constexpr std::size_t kLiveFrameBytes = 40;
inline constexpr std::int16_t kNoColor = 255;

struct LiveFrame {
  std::array<std::int16_t, kLiveFrameWords> words{};

  std::int16_t& operator[](FrameWord w) { return words[static_cast<std::size_t>(w)]; }
  std::int16_t operator[](FrameWord w) const { return words[static_cast<std::size_t>(w)]; }
  bool operator==(const LiveFrame&) const = default;
};

// The frame carried by the payload of a GET_DATA answer: its first 40 bytes
// as twenty little-endian int16 words. Bytes the sensor did not send read as
// zeros (a short payload zeroes the missing words); bytes beyond 40 are
// ignored.
LiveFrame decodeLiveFrame(std::span<const std::uint8_t> payload);

// The 40-byte wire image of a frame (the virtual sensor and the tests build
// answers with it).
std::array<std::uint8_t, kLiveFrameBytes> encodeLiveFrame(const LiveFrame& frame);

}  // namespace drq
