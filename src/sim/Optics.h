#pragma once
// The light path of the virtual sensor: where the target is on its path, the
// converter values it produces, and the colour co-ordinates computed from the
// calibrated channels. Pure functions; deterministic for a given seed.

#include <array>
#include <cstdint>

#include "sim/SensorTypes.h"

namespace drq::sim {

inline constexpr int kAdcMax = 4095;  // 12-bit converter
inline constexpr double kFullScale =
    3600.0;                                // converter counts of an ideal white at full power, AMP6
inline constexpr int kAmbientCounts = 20;  // ambient light seen in LED MODE DC and OFF only
inline constexpr std::array<double, 3> kChannelSensitivity{1.00, 0.92, 0.85};

// The sixteen colours of the default path: white, warm and cold hues, greys and black.
TargetPath defaultTargetPath();

// Reflectance (per mille, fractional) of the path at model time `micros`.
// An empty path is a black target.
std::array<double, 3> reflectanceAt(const TargetPath& path, std::uint64_t micros);

// Receiver gain of stage 0..7 (AMP1..AMP8): 2^((stage - 5) / 2), so the
// default stage 5 is 1.0; values above 7 count as 7.
double gainFactor(std::uint16_t stage);

// Approximately normal noise of unit variance for (seed, cycle, channel):
// a pure hash, so the same inputs always give the same value.
double unitNoise(std::uint64_t seed, std::uint64_t cycle, unsigned channel);

// Dark level (converter counts, 24..39) of each channel, fixed by the seed.
std::array<int, 3> darkLevels(std::uint64_t seed);

// Colour co-ordinates of calibrated red, green and blue (words 3 to 5 of the
// live frame before the power display of POWER MODE DYN).
struct Coordinates {
  int x = 0;          // X or s
  int y = 0;          // Y or i
  int intensity = 0;  // INT or M
  bool operator==(const Coordinates&) const = default;
};

// Calculation modes 0 and 2 (X Y INT): with S = R + G + B,
//   X = 4095 R / S, Y = 4095 G / S, INT = S / 3 (each rounded);
// modes 1 and 3 (s i M), with r, g, b the shares R/S, G/S, B/S:
//   s = 5000 + 5000 (r - g)               red-green axis, 0..10000
//   i = 5000 ((r + g) / 2 - b + 1) / 1.5  yellow-blue axis, 0..5000
//   M = S / 3 * 1200 / 4095               brightness, 0..1200 below saturation.
// A sum S of 0 or less gives the grey point with intensity 0.
Coordinates computeCoordinates(int red, int green, int blue, std::uint16_t calculationMode);

}  // namespace drq::sim
