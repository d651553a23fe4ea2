#pragma once
// Colours of the teach rows (0xRRGGBB), kept only on the PC. Entries 0..63 are
// the teach rows; 64..74 only ever hold defaults.

#include <array>
#include <cstddef>
#include <cstdint>

namespace drq {

inline constexpr std::size_t kRowColorCount = 75;
using RowColorArray = std::array<std::uint32_t, kRowColorCount>;

// The 15-colour default cycle: entry i has colour kDefaultColorCycle[i % 15].
inline constexpr std::array<std::uint32_t, 15> kDefaultColorCycle = {
    0xFF0000, 0x80FF00, 0x0000FF, 0x000000, 0xFF80C0, 0xFFFF00, 0x808000, 0x800080,
    0x80FFFF, 0xFF0080, 0x400080, 0xFF00FF, 0x008000, 0x408080, 0x800000};

inline constexpr std::uint32_t defaultRowColor(std::size_t row) {
  return kDefaultColorCycle[row % kDefaultColorCycle.size()];
}

inline constexpr RowColorArray defaultRowColors() {
  RowColorArray colors{};
  for (std::size_t i = 0; i < kRowColorCount; ++i) colors[i] = defaultRowColor(i);
  return colors;
}

}  // namespace drq
