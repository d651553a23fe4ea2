#include <gtest/gtest.h>

#include "core/teach/TeachTableOps.h"

namespace drq {
namespace {

TeachTable defaultTable() {
  return defaultParaSet().table;
}

TeachInput measurement(std::size_t row, std::uint16_t eval, std::uint16_t calc,
                       std::uint16_t powerMode) {
  TeachInput in;
  in.row = row;
  in.evaluationMode = eval;
  in.calculationMode = calc;
  in.powerMode = powerMode;
  in.x = 300;
  in.y = 310;
  in.intensity = 2000;
  in.red = 11;
  in.green = 22;
  in.blue = 33;
  return in;
}

TEST(TeachDataTo, DefaultTolerancesByModes) {
  struct Case {
    std::uint16_t eval, calc, pm;
    TeachTolerances expected;
  };
  const Case cases[] = {
      {0, 0, 1, {100, 50}},  {0, 0, 0, {100, 100}}, {3, 1, 0, {100, 50}}, {0, 2, 0, {100, 1}},
      {1, 0, 1, {200, 100}}, {1, 0, 0, {200, 200}}, {1, 1, 1, {200, 50}}, {1, 3, 0, {200, 1}},
      {2, 0, 1, {40, 100}},  {2, 0, 0, {40, 200}},  {2, 1, 0, {40, 50}},  {2, 2, 1, {40, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(defaultTeachTolerances(c.eval, c.calc, c.pm), c.expected)
        << c.eval << "/" << c.calc << "/" << c.pm;
  }
  EXPECT_FALSE(defaultTeachTolerances(4, 0, 0).has_value());
  EXPECT_FALSE(defaultTeachTolerances(1, 7, 0).has_value());
}

TEST(TeachDataTo, PlacesValuesByCalculationFamily) {
  TeachTable t = defaultTable();
  auto r = TeachDataTo(t, measurement(4, 0, 0, 1));  // FIRST HIT, 2D, DYN
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.colourRow, 4u);
  EXPECT_EQ(t[4].cell(0), 300);
  EXPECT_EQ(t[4].cell(1), 310);
  EXPECT_EQ(t[4].cell(2), 100);   // CTO
  EXPECT_EQ(t[4].cell(3), 2000);  // INT
  EXPECT_EQ(t[4].cell(4), 50);    // ITO

  TeachDataTo(t, measurement(5, 1, 3, 0));  // BEST HIT, 3D
  EXPECT_EQ(t[5].cell(2), 2000);            // INT
  EXPECT_EQ(t[5].cell(3), 200);             // TOL
  EXPECT_EQ(t[5].cell(4), 1);
}

TEST(TeachDataTo, ToleranceOffKeepsTolerancesAndIncStopsAt63) {
  TeachTable t = defaultTable();
  t[9].cell(2) = 77;
  t[9].cell(4) = 88;
  auto in = measurement(9, 1, 0, 0);
  in.toleranceOff = true;
  in.autoIncrement = true;
  auto r = TeachDataTo(t, in);
  EXPECT_EQ(t[9].cell(0), 300);
  EXPECT_EQ(t[9].cell(3), 2000);
  EXPECT_EQ(t[9].cell(2), 77);
  EXPECT_EQ(t[9].cell(4), 88);
  EXPECT_EQ(r.nextRow, 10u);

  in.row = 63;
  EXPECT_EQ(TeachDataTo(t, in).nextRow, 63u);
  in.row = 64;  // outside the table: nothing happens
  r = TeachDataTo(t, in);
  EXPECT_FALSE(r.changed);
}

TEST(TeachDataTo, ThdRgbTeachesThresholdsIntoFirstThreeRowsOnly) {
  TeachTable t = defaultTable();
  auto in = measurement(10, 4, 0, 0);
  in.autoIncrement = true;
  in.red = -5;  // a negative display value is taught as 0
  const auto r = TeachDataTo(t, in);
  EXPECT_EQ(t[0].cell(0), 0);
  EXPECT_EQ(t[1].cell(0), 22);
  EXPECT_EQ(t[2].cell(0), 33);
  EXPECT_EQ(t[10], defaultTeachVector());
  EXPECT_EQ(r.nextRow, 10u);
}

TEST(SortTableTolerance, TwoDToThreeDAndBack) {
  TeachTable t = defaultTable();
  t[0].words = {100, 200, 50, 1000, 80, 3, 7, 99};
  EXPECT_TRUE(SortTableTolerance(t, 0, 2));
  EXPECT_EQ(t[0].words, (std::array<std::uint16_t, 8>{100, 200, 1000, 50, 1, 3, 7, 99}));
  EXPECT_TRUE(SortTableTolerance(t, 2, 0));
  EXPECT_EQ(t[0].words, (std::array<std::uint16_t, 8>{100, 200, 50, 1000, 50, 3, 7, 99}));
  EXPECT_FALSE(SortTableTolerance(t, 0, 1));
  EXPECT_FALSE(SortTableTolerance(t, 3, 2));
  EXPECT_EQ(t[0].cell(3), 1000);
}

TEST(TeachTableResets, ResetTableGroupAndHold) {
  ParaSet s = defaultParaSet();
  s.table[12].words = {9, 9, 9, 9, 9, 4, 30, 5};
  ResetTable(s.table);
  EXPECT_EQ(s.table[12].words, (std::array<std::uint16_t, 8>{1, 1, 1, 1, 1, 4, 30, 5}));
  resetGroupTable(s.table);
  EXPECT_EQ(s.table[12].group(), 0);
  resetHoldTable(s, 25);
  EXPECT_EQ(s.record[ParaWord::HoldFail], 25);
  EXPECT_EQ(s.table[63].hold(), 25);
  EXPECT_EQ(s.table[12].spare(), 5);
}

}  // namespace
}  // namespace drq
