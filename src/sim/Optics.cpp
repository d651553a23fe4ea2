#include "sim/Optics.h"

#include <algorithm>
#include <cmath>
#include "core/params/Modes.h"

namespace drq::sim {

namespace {

std::uint64_t splitMix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

int roundToInt(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

TargetPath defaultTargetPath() {
  TargetPath path;
  path.colors = {
      {900, 900, 900},  // white
      {820, 160, 130},  // red
      {850, 480, 120},  // orange
      {860, 800, 160},  // yellow
      {420, 780, 180},  // yellow-green
      {160, 700, 220},  // green
      {170, 690, 640},  // cyan
      {140, 260, 820},  // blue
      {420, 180, 760},  // violet
      {800, 240, 600},  // magenta
      {620, 520, 420},  // beige
      {450, 450, 450},  // grey
      {560, 320, 200},  // brown
      {250, 250, 250},  // dark grey
      {700, 700, 720},  // light grey
      {40, 40, 45},     // black
  };
  path.dwellMs = 1500;
  path.transitionMs = 500;
  return path;
}

std::array<double, 3> reflectanceAt(const TargetPath& path, std::uint64_t micros) {
  if (path.colors.empty()) return {0.0, 0.0, 0.0};
  auto asArray = [](const TargetColor& c) {
    return std::array<double, 3>{double(c.red), double(c.green), double(c.blue)};
  };
  const std::size_t n = path.colors.size();
  const std::uint64_t dwell = std::uint64_t(path.dwellMs) * 1000;
  const std::uint64_t slide = std::uint64_t(path.transitionMs) * 1000;
  const std::uint64_t leg = dwell + slide;
  if (n == 1 || leg == 0) return asArray(path.colors[0]);
  const std::uint64_t t = micros % (leg * n);
  const std::size_t i = static_cast<std::size_t>(t / leg);
  const std::uint64_t within = t % leg;
  const auto from = asArray(path.colors[i]);
  if (within < dwell) return from;
  const auto to = asArray(path.colors[(i + 1) % n]);
  const double f = double(within - dwell) / double(slide);
  return {from[0] + (to[0] - from[0]) * f, from[1] + (to[1] - from[1]) * f,
          from[2] + (to[2] - from[2]) * f};
}

double gainFactor(std::uint16_t stage) {
  const int s = std::min<int>(stage, 7);
  return std::pow(2.0, (s - 5) / 2.0);
}

double unitNoise(std::uint64_t seed, std::uint64_t cycle, unsigned channel) {
  std::uint64_t h = splitMix(seed ^ splitMix(cycle * 4 + channel));
  // Sum of four uniform values in [0, 1): mean 2, variance 1/3.
  double sum = 0.0;
  for (int k = 0; k < 4; ++k) {
    sum += double(h & 0xFFFF) / 65536.0;
    h >>= 16;
  }
  return (sum - 2.0) * std::sqrt(3.0);
}

std::array<int, 3> darkLevels(std::uint64_t seed) {
  const std::uint64_t h = splitMix(seed ^ 0xDA4C);
  return {24 + int(h & 15), 24 + int((h >> 4) & 15), 24 + int((h >> 8) & 15)};
}

Coordinates computeCoordinates(int red, int green, int blue, std::uint16_t calculationMode) {
  const double sum = double(red) + double(green) + double(blue);
  Coordinates c;
  if (isSimCalcMode(calculationMode)) {
    if (sum <= 0) return {5000, roundToInt(5000.0 / 1.5), 0};
    const double r = red / sum, g = green / sum, b = blue / sum;
    c.x = roundToInt(5000.0 + 5000.0 * (r - g));
    c.y = roundToInt(5000.0 * ((r + g) / 2.0 - b + 1.0) / 1.5);
    c.intensity = roundToInt(sum / 3.0 * 1200.0 / 4095.0);
  } else {
    if (sum <= 0) return {roundToInt(4095.0 / 3.0), roundToInt(4095.0 / 3.0), 0};
    c.x = roundToInt(4095.0 * red / sum);
    c.y = roundToInt(4095.0 * green / sum);
    c.intensity = roundToInt(sum / 3.0);
  }
  return c;
}

}  // namespace drq::sim
