#include "sim/Evaluation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include "core/params/Modes.h"

namespace drq::sim {

namespace {

constexpr std::uint8_t kAllOutputs = 0x1F;

struct RowDistance {
  double colour = 0;  // distance used for delta C and MIN DIST
  double score = 0;   // distance relative to the tolerance: hit when <= 1
};

double ratio(double distance, double tolerance) {
  if (tolerance > 0) return distance / tolerance;
  return distance == 0 ? 0.0 : std::numeric_limits<double>::infinity();
}

RowDistance distanceTo(const TeachVector& row, const Coordinates& c, bool threeD) {
  const double dx = double(c.x) - row.cell(0);
  const double dy = double(c.y) - row.cell(1);
  RowDistance d;
  if (threeD) {
    const double di = double(c.intensity) - row.cell(2);
    d.colour = std::sqrt(dx * dx + dy * dy + di * di);
    d.score = ratio(d.colour, row.cell(3));
  } else {
    const double di = std::abs(double(c.intensity) - row.cell(3));
    d.colour = std::sqrt(dx * dx + dy * dy);
    d.score = std::max(ratio(d.colour, row.cell(2)), ratio(di, row.cell(4)));
  }
  return d;
}

int roundedDistance(double d) {
  return static_cast<int>(std::min<double>(static_cast<double>(std::lround(d)),
                                           std::numeric_limits<std::int16_t>::max()));
}

Evaluation failState(const ParaRecord& record) {
  Evaluation e;
  e.outputs = outputBits(record[ParaWord::DigitalOutmode], -1);
  return e;
}

}  // namespace

int activeRows(const ParaRecord& record) {
  switch (record[ParaWord::EvaluationMode]) {
    case code(EvaluationMode::Col5):
      return 5;
    case code(EvaluationMode::ThdRgb):
      return 3;
    default:
      return std::min<int>(record[ParaWord::MaxVecNo], int(kTeachRows));
  }
}

std::uint8_t outputBits(std::uint16_t digitalOutmode, int value) {
  const bool fail = value < 0;
  switch (digitalOutmode) {
    case code(DigitalOutmode::DirectLo):
      return fail ? kAllOutputs : std::uint8_t(kAllOutputs & ~(value <= 4 ? 1u << value : 0u));
    case code(DigitalOutmode::DirectHi):
      return fail ? std::uint8_t{0} : std::uint8_t(value <= 4 ? 1u << value : 0u);
    case code(DigitalOutmode::BinaryHi):
      return fail ? kAllOutputs : std::uint8_t(value & kAllOutputs);
    case code(DigitalOutmode::BinaryLo):
      return fail ? 0 : std::uint8_t(~value & kAllOutputs);
    default:
      return 0;
  }
}

Evaluation evaluate(const ParaRecord& record, const TeachTable& table, const Coordinates& c,
                    const std::array<int, 3>& rgb) {
  const std::uint16_t mode = record[ParaWord::EvaluationMode];
  if (c.intensity < record[ParaWord::IntLim]) return failState(record);
  if (isMode(mode, EvaluationMode::ThdRgb)) {
    Evaluation e;
    for (std::size_t ch = 0; ch < 3; ++ch) {
      if (rgb[ch] > table[ch].cell(0)) e.outputs |= std::uint8_t(1u << ch);
    }
    e.color = e.outputs;
    return e;
  }

  const int rows = activeRows(record);
  const bool threeD = is3dCalcMode(record[ParaWord::CalculationMode]);
  std::array<RowDistance, kTeachRows> distances{};
  for (int r = 0; r < rows; ++r) {
    const auto row = static_cast<std::size_t>(r);
    distances[row] = distanceTo(table[row], c, threeD);
  }
  // The distances of row r (0 <= r < rows).
  const auto d = [&](int r) -> const RowDistance& {
    return distances[static_cast<std::size_t>(r)];
  };
  auto isHit = [&](int r) { return d(r).score <= 1.0; };

  if (isMode(mode, EvaluationMode::Col5)) {
    Evaluation e;
    double nearest = std::numeric_limits<double>::infinity();
    for (int r = 0; r < rows; ++r) {
      if (!isHit(r)) continue;
      e.outputs |= std::uint8_t(1u << r);
      if (e.hitRow < 0) e.hitRow = r;
      nearest = std::min(nearest, d(r).colour);
    }
    e.color = e.outputs;
    if (e.hitRow >= 0) e.deltaC = roundedDistance(nearest);
    return e;
  }

  int chosen = -1;
  int fallbackDelta = -1;
  if (isMode(mode, EvaluationMode::FirstHit)) {
    for (int r = 0; r < rows && chosen < 0; ++r) {
      if (isHit(r)) chosen = r;
    }
    if (rows > 0) fallbackDelta = roundedDistance(d(rows - 1).colour);
  } else if (isMode(mode, EvaluationMode::BestHit)) {
    for (int r = 0; r < rows; ++r) {
      if (isHit(r) && (chosen < 0 || d(r).score < d(chosen).score)) chosen = r;
    }
  } else {
    int nearest = -1;
    for (int r = 0; r < rows; ++r) {
      if (nearest < 0 || d(r).colour < d(nearest).colour) nearest = r;
    }
    if (nearest >= 0 && isHit(nearest)) chosen = nearest;
  }

  if (chosen < 0) {
    Evaluation e = failState(record);
    e.deltaC = fallbackDelta;
    return e;
  }
  Evaluation e;
  e.hitRow = chosen;
  e.color = chosen;
  e.deltaC = roundedDistance(d(chosen).colour);
  const bool groups = isMode(record[ParaWord::ColorGroup], ColorGroupMode::On);
  if (groups) e.group = table[static_cast<std::size_t>(chosen)].group();
  e.outputs = outputBits(record[ParaWord::DigitalOutmode], groups ? e.group : chosen);
  return e;
}

}  // namespace drq::sim
