// Colour co-ordinates and the evaluation modes of the virtual sensor on small teach tables.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/Evaluation.h"
#include "sim/Plausibility.h"

namespace drq::sim::test {
namespace {

TeachVector row2d(int x, int y, int cto, int intensity, int ito, int group = 0) {
  TeachVector v = defaultTeachVector();
  v.cell(0) = std::uint16_t(x);
  v.cell(1) = std::uint16_t(y);
  v.cell(2) = std::uint16_t(cto);
  v.cell(3) = std::uint16_t(intensity);
  v.cell(4) = std::uint16_t(ito);
  v.group() = std::uint16_t(group);
  return v;
}

struct Table {
  ParaRecord record = defaultRecord();
  TeachTable table;
  Table(int mode, std::initializer_list<TeachVector> rows) {
    table.fill(defaultTeachVector());
    record[ParaWord::EvaluationMode] = std::uint16_t(mode);
    record[ParaWord::MaxVecNo] = std::uint16_t(rows.size());
    std::size_t i = 0;
    for (const TeachVector& v : rows) table[i++] = v;
  }
  Evaluation at(Coordinates c, std::array<int, 3> rgb = {1000, 1000, 1000}) const {
    return evaluate(record, table, c, rgb);
  }
};

const Coordinates kPoint{1000, 1000, 800};

TEST(SensorEvaluation, CoordinatesOfBothCalculationFamilies) {
  EXPECT_EQ(computeCoordinates(1000, 1000, 1000, 0), (Coordinates{1365, 1365, 1000}));
  EXPECT_EQ(computeCoordinates(3000, 1000, 0, 2), (Coordinates{3071, 1024, 1333}));
  EXPECT_EQ(computeCoordinates(1000, 1000, 1000, 1), (Coordinates{5000, 3333, 293}));
  EXPECT_EQ(computeCoordinates(4095, 0, 0, 3), (Coordinates{10000, 5000, 400}));
  EXPECT_EQ(computeCoordinates(0, 0, 4095, 1), (Coordinates{5000, 0, 400}));
  EXPECT_EQ(computeCoordinates(0, 0, 0, 0), (Coordinates{1365, 1365, 0}));
}

TEST(SensorEvaluation, FirstHitTakesTheFirstRowInToleranceElseDistanceToLastRow) {
  const Table t(0, {row2d(2000, 2000, 100, 800, 100),   // far away
                    row2d(1030, 1040, 60, 850, 100),    // hit, distance 50
                    row2d(1003, 1004, 60, 800, 100)});  // hit, distance 5
  Evaluation e = t.at(kPoint);
  EXPECT_EQ(e.color, 1);
  EXPECT_EQ(e.hitRow, 1);
  EXPECT_EQ(e.deltaC, 50);
  EXPECT_EQ(e.group, kNoHit);

  const Evaluation miss = t.at({500, 500, 800});
  EXPECT_EQ(miss.color, kNoHit);
  EXPECT_EQ(miss.deltaC, 712);  // to row 2, the last active row
}

TEST(SensorEvaluation, BestHitWeighsDistanceByToleranceAndMinDistTakesTheNearestRow) {
  // Row 0 is nearer but its tolerance nearly used up; row 1 is farther but well inside.
  const auto rows = {row2d(1030, 1040, 55, 800, 100), row2d(1060, 1080, 500, 800, 100)};
  const Table best(1, rows), nearest(2, rows);
  EXPECT_EQ(best.at(kPoint).color, 1);
  EXPECT_EQ(best.at(kPoint).deltaC, 100);
  EXPECT_EQ(nearest.at(kPoint).color, 0);
  EXPECT_EQ(nearest.at(kPoint).deltaC, 50);

  // Nearest row out of its tolerance: MIN DIST fails although row 1 would hit.
  const Table tight(2, {row2d(1030, 1040, 40, 800, 100), row2d(1060, 1080, 500, 800, 100)});
  EXPECT_EQ(tight.at(kPoint).color, kNoHit);
  EXPECT_EQ(tight.at(kPoint).deltaC, -1);
  const Table bestMiss(1, {row2d(1030, 1040, 40, 800, 100)});
  EXPECT_EQ(bestMiss.at(kPoint).deltaC, -1);
}

TEST(SensorEvaluation, IntensityToleranceAndIntlimDecide) {
  Table t(0, {row2d(1000, 1000, 10, 900, 99)});
  EXPECT_EQ(t.at(kPoint).color, kNoHit);  // intensity 800 vs 900 +- 99
  t.table[0].cell(4) = 100;
  EXPECT_EQ(t.at(kPoint).color, 0);
  t.record[ParaWord::IntLim] = 801;
  const Evaluation low = t.at(kPoint);
  EXPECT_EQ(low.color, kNoHit);
  EXPECT_EQ(low.group, kNoHit);
  EXPECT_EQ(low.deltaC, -1);
}

TEST(SensorEvaluation, ThreeDimensionalModesUseOneSphericalTolerance) {
  Table t(1, {});
  t.record[ParaWord::CalculationMode] = 2;
  t.record[ParaWord::MaxVecNo] = 1;
  TeachVector v = defaultTeachVector();
  v.cell(0) = 1030;
  v.cell(1) = 1000;
  v.cell(2) = 840;  // INT
  v.cell(3) = 50;   // TOL: distance is exactly 50
  t.table[0] = v;
  EXPECT_EQ(t.at(kPoint).color, 0);
  EXPECT_EQ(t.at(kPoint).deltaC, 50);
  t.table[0].cell(3) = 49;
  EXPECT_EQ(t.at(kPoint).color, kNoHit);
}

TEST(SensorEvaluation, GroupsAndOutputCodingFollowTheRecord) {
  Table t(1, {row2d(0, 0, 1, 0, 1), row2d(0, 0, 1, 0, 1), row2d(0, 0, 1, 0, 1),
              row2d(1000, 1000, 20, 800, 20, 17)});
  t.record[ParaWord::DigitalOutmode] = 2;  // BINARY HI
  Evaluation e = t.at(kPoint);
  EXPECT_EQ(e.color, 3);
  EXPECT_EQ(e.group, kNoHit);
  EXPECT_EQ(e.outputs, 3);
  t.record[ParaWord::ColorGroup] = 1;
  e = t.at(kPoint);
  EXPECT_EQ(e.group, 17);
  EXPECT_EQ(e.outputs, 17);
  EXPECT_EQ(t.at({0, 4000, 800}).outputs, 31);  // fail state

  EXPECT_EQ(outputBits(0, 2), 0b11011);
  EXPECT_EQ(outputBits(0, -1), 0b11111);
  EXPECT_EQ(outputBits(1, 4), 0b10000);
  EXPECT_EQ(outputBits(1, -1), 0);
  EXPECT_EQ(outputBits(3, 5), 0b11010);
  EXPECT_EQ(outputBits(3, -1), 0);
}

TEST(SensorEvaluation, Col5SetsOneOutputPerRowHit) {
  Table t(3, {row2d(1000, 1000, 10, 800, 10), row2d(0, 0, 10, 800, 10), row2d(0, 0, 10, 800, 10),
              row2d(1020, 1000, 30, 800, 10), row2d(0, 0, 10, 800, 10),
              row2d(1000, 1000, 10, 800, 10)});  // row 5 is beyond the five COL5 rows
  t.record[ParaWord::MaxVecNo] = 64;
  const Evaluation e = t.at(kPoint);
  EXPECT_EQ(e.outputs, 0b01001);
  EXPECT_EQ(e.color, 9);
  EXPECT_EQ(e.hitRow, 0);
  EXPECT_EQ(e.deltaC, 0);
  EXPECT_EQ(e.group, kNoHit);
  EXPECT_EQ(t.at({3000, 3000, 800}).color, 0);
}

TEST(SensorEvaluation, ThdRgbComparesEachChannelWithItsThreshold) {
  Table t(4, {});
  t.table[0].cell(0) = 1000;
  t.table[1].cell(0) = 500;
  t.table[2].cell(0) = 2000;
  const Evaluation e = t.at(kPoint, {1001, 500, 2500});
  EXPECT_EQ(e.outputs, 0b101);
  EXPECT_EQ(e.color, 5);
  EXPECT_EQ(e.deltaC, -1);
  EXPECT_EQ(e.group, kNoHit);
}

TEST(SensorEvaluation, LiveFrameCarriesTheEvaluationOfTheMeasuredTarget) {
  SensorModel m;
  m.setNoise(0);
  m.setTargetColor({800, 400, 200});
  ParaSet s = defaultParaSet();
  const SensorModel::Measurement probe = m.measureAt(0);
  s.record[ParaWord::EvaluationMode] = 0;
  s.record[ParaWord::MaxVecNo] = 2;
  s.table[1] = row2d(probe.coords.x + 3, probe.coords.y + 4, 10, probe.coords.intensity, 10);
  ASSERT_EQ(headerOf(ask(m, ORDER_WRITE_PARA, 0, recordBytes(s.record)).frame).argument, 0);
  ask(m, ORDER_WRITE_PARA, 2, teachBytes(std::span(s.table).first(32)));

  const LiveFrame f = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  EXPECT_EQ(f[FrameWord::Color], 1);
  EXPECT_EQ(f[FrameWord::DeltaC], 5);
  EXPECT_EQ(f[FrameWord::X], probe.coords.x);
  EXPECT_EQ(f[FrameWord::Int], probe.coords.intensity);
  EXPECT_GT(f[FrameWord::Red], f[FrameWord::Green]);
  EXPECT_GT(f[FrameWord::Green], f[FrameWord::Blue]);
  for (std::size_t ch = 0; ch < 3; ++ch) {
    EXPECT_EQ(f.words[ch], f.words[11 + ch] * m.calibration().factors[ch] / 1024);
    EXPECT_EQ(f.words[14 + ch], f.words[ch]);  // no noise: min = max = value
    EXPECT_EQ(f.words[17 + ch], f.words[ch]);
  }
}

TEST(SensorEvaluation, DynamicPowerIsShownInPlaceOfTheIntensity) {
  SensorModel m;
  m.setNoise(0);
  m.setTargetColor({700, 700, 700});
  ParaRecord r = defaultRecord();
  r[ParaWord::PowerMode] = 1;
  r[ParaWord::Gain] = 7;
  ask(m, ORDER_WRITE_PARA, 0, recordBytes(r));
  const LiveFrame f = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  const int brightest =
      std::max({f[FrameWord::RawRed], f[FrameWord::RawGreen], f[FrameWord::RawBlue]});
  EXPECT_NEAR(brightest, 3250, 3);  // tuned into the middle of the dynamic window
  EXPECT_EQ(f[FrameWord::Int], m.measureAt(0).levels.power);
  EXPECT_GT(f[FrameWord::Int], 500);
  EXPECT_LT(f[FrameWord::Int], 1000);
}

}  // namespace
}  // namespace drq::sim::test
