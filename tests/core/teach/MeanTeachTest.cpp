#include <gtest/gtest.h>

#include "core/teach/MeanTeach.h"

namespace drq {
namespace {

LiveFrame frameOf(std::int16_t red, std::int16_t x, std::int16_t y, std::int16_t intensity) {
  LiveFrame f;
  f[FrameWord::Red] = red;
  f[FrameWord::Green] = static_cast<std::int16_t>(red + 1);
  f[FrameWord::Blue] = static_cast<std::int16_t>(red + 2);
  f[FrameWord::X] = x;
  f[FrameWord::Y] = y;
  f[FrameWord::Int] = intensity;
  return f;
}

// The three captures of the operators' example: X 100, 104, 108; Y 50, 50, 53.
MeanTeachState threeCaptures(std::uint16_t calc, std::int16_t intensity2 = 1000) {
  MeanTeachState s;
  CaptureFrame(s, frameOf(10, 100, 50, 1000), calc);
  CaptureFrame(s, frameOf(20, 104, 50, intensity2), calc);
  CaptureFrame(s, frameOf(30, 108, 53, 1000), calc);
  return s;
}

TEST(MeanTeach, ThreeCapturesGiveTheMeansAndTheLargestDistance) {
  const MeanTeachState s = threeCaptures(0);
  EXPECT_EQ(s.count, 3);
  EXPECT_EQ(s.means, (MeanRow{20, 21, 22, 104, 51, 1000}));
  EXPECT_EQ(s.colorDistance, 4u);  // sqrt 17, 1, 20 truncated
  EXPECT_EQ(s.intensityDistance, 0u);
  EXPECT_EQ(s.rows[1], (MeanRow{20, 21, 22, 104, 50, 1000}));
}

TEST(MeanTeach, TheIntensityEntersTheColourDistanceOnlyIn3d) {
  // INT 1000, 1030, 1000: mean 1010, E = 20.
  const MeanTeachState flat = threeCaptures(0, 1030);
  EXPECT_EQ(flat.intensityDistance, 20u);
  EXPECT_EQ(flat.colorDistance, 4u);
  const MeanTeachState deep = threeCaptures(2, 1030);
  EXPECT_EQ(deep.intensityDistance, 20u);
  EXPECT_EQ(deep.colorDistance, 20u);  // capture 2: sqrt(0 + 1 + 400) = 20.02
}

TEST(MeanTeach, DistancesOfExtremeCellsDoNotOverflow) {
  MeanTeachState s;
  s.count = 2;
  s.rows[0] = {0, 0, 0, 0, 0, 0};
  s.rows[1] = {0, 0, 0, 65535, 65535, 65535};
  CalcMeanValues(s, 3);
  EXPECT_EQ(s.means[3], 32767);
  // sqrt(3 * 32768^2) = 56755.8
  EXPECT_EQ(s.colorDistance, 56755u);
  EXPECT_EQ(s.intensityDistance, 32768u);
}

TEST(MeanTeach, TheHundredAndFirstCaptureReplacesRow100) {
  MeanTeachState s;
  for (int k = 1; k <= 100; ++k) {
    EXPECT_EQ(CaptureFrame(s, frameOf(1, static_cast<std::int16_t>(k), 0, 0), 0),
              static_cast<std::size_t>(k - 1));
  }
  EXPECT_EQ(CaptureFrame(s, frameOf(1, 500, 0, 0), 0), 99u);
  EXPECT_EQ(s.count, 100);
  EXPECT_EQ(s.rows[99][kMeanColumnX], 500);
  EXPECT_EQ(s.rows[98][kMeanColumnX], 99);
  // (1 + ... + 99 + 500) / 100 = 54.5, truncated
  EXPECT_EQ(s.means[kMeanColumnX], 54);
}

TEST(MeanTeach, UndoRemovesTheLastCaptureAndStopsAtZero) {
  MeanTeachState s = threeCaptures(0);
  EXPECT_EQ(UndoCapture(s, 0), 0u);  // active row max(2 - 5, 1) = row 1
  EXPECT_EQ(s.count, 2);
  EXPECT_EQ(s.rows[2], MeanRow{});
  EXPECT_EQ(s.means[kMeanColumnX], 102);

  for (int k = 0; k < 10; ++k) CaptureFrame(s, frameOf(1, 1, 1, 1), 0);
  EXPECT_EQ(UndoCapture(s, 0), 5u);  // n = 11: row 6

  MeanTeachState empty;
  empty.rows[0] = {7, 7, 7, 7, 7, 7};
  EXPECT_EQ(UndoCapture(empty, 0), 0u);
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(empty.rows[0], MeanRow{});  // row 1 cleared
  EXPECT_EQ(empty.means, MeanRow{});
  EXPECT_EQ(empty.colorDistance, 0u);
}

TEST(MeanTeach, NegativeWordsAreCapturedAsZero) {
  MeanTeachState s;
  CaptureFrame(s, frameOf(-5, -1, 3, 4), 0);
  EXPECT_EQ(s.rows[0], (MeanRow{0, 0, 0, 0, 3, 4}));
}

TEST(MeanTeach, ResetFillsTheTablesWithOnes) {
  MeanTeachState s = threeCaptures(0, 1030);
  ResetTeachMeanPanelTable(s);
  EXPECT_EQ(s.count, 0);
  EXPECT_EQ(s.colorDistance, 0u);
  EXPECT_EQ(s.intensityDistance, 0u);
  EXPECT_EQ(s.means, (MeanRow{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(s.rows[99], (MeanRow{1, 1, 1, 1, 1, 1}));
  // The next capture starts at row 1 and the means count it alone.
  CaptureFrame(s, frameOf(9, 90, 80, 70), 0);
  EXPECT_EQ(s.means, (MeanRow{9, 10, 11, 90, 80, 70}));
}

// --- TeachToTable ---------------------------------------------------------------------

TeachTable tableWithRow5(std::array<std::uint16_t, 5> cells) {
  TeachTable t = defaultParaSet().table;
  for (std::size_t c = 0; c < 5; ++c) t[5].cell(c) = cells[c];
  return t;
}

MeanTeachInput teachInput(std::uint16_t eval, std::uint16_t calc) {
  MeanTeachInput in;
  in.row = 5;
  in.evaluationMode = eval;
  in.calculationMode = calc;
  in.means = {1, 2, 3, 104, 51, 900};
  in.colorDistance = 4;
  in.intensityDistance = 20;
  in.colorValue = 30;
  in.intensityValue = 70;
  return in;
}

std::array<std::uint16_t, 5> cellsOf(const TeachTable& t, std::size_t row) {
  return {t[row].cell(0), t[row].cell(1), t[row].cell(2), t[row].cell(3), t[row].cell(4)};
}

TEST(MeanTeachToTable, SourcesPickTheTolerancesIn2d) {
  struct Case {
    std::uint16_t colorSource, intensitySource;
    std::array<std::uint16_t, 5> expected;
  };
  const Case cases[] = {
      {0, 0, {104, 51, 30, 900, 70}},
      {1, 1, {104, 51, 4, 900, 20}},
      {2, 2, {104, 51, 34, 900, 90}},
      {3, 3, {104, 51, 111, 900, 333}},  // kept from the table
  };
  for (const Case& c : cases) {
    TeachTable t = tableWithRow5({7, 8, 111, 222, 333});
    MeanTeachInput in = teachInput(1, 0);
    in.colorSource = c.colorSource;
    in.intensitySource = c.intensitySource;
    EXPECT_TRUE(TeachToTable(t, in).changed);
    EXPECT_EQ(cellsOf(t, 5), c.expected) << c.colorSource;
  }
}

TEST(MeanTeachToTable, In3dTheIntensityMovesAndTheSingleToleranceIsKeptFromColumn4) {
  TeachTable t = tableWithRow5({7, 8, 222, 111, 1});
  MeanTeachInput in = teachInput(0, 2);
  in.colorSource = 3;
  TeachToTable(t, in);
  EXPECT_EQ(cellsOf(t, 5), (std::array<std::uint16_t, 5>{104, 51, 900, 111, 1}));

  in.colorSource = 2;
  in.intensitySource = 1;  // not used in 3D
  TeachToTable(t, in);
  EXPECT_EQ(cellsOf(t, 5), (std::array<std::uint16_t, 5>{104, 51, 900, 34, 1}));
}

TEST(MeanTeachToTable, MinDistTeaches40WhateverTheSource) {
  for (std::uint16_t source = 0; source < kToleranceSources; ++source) {
    TeachTable t = tableWithRow5({7, 8, 111, 222, 333});
    MeanTeachInput in = teachInput(2, 0);
    in.colorSource = source;
    in.intensitySource = 1;
    TeachToTable(t, in);
    EXPECT_EQ(cellsOf(t, 5), (std::array<std::uint16_t, 5>{104, 51, 40, 900, 20})) << source;
  }
  TeachTable t = tableWithRow5({7, 8, 111, 222, 333});
  TeachToTable(t, teachInput(2, 3));
  EXPECT_EQ(t[5].cell(3), 40);
}

TEST(MeanTeachToTable, DistanceTolerancesStopAtTheCellLimit) {
  TeachTable t = tableWithRow5({0, 0, 0, 0, 0});
  MeanTeachInput in = teachInput(0, 0);
  in.colorDistance = 70000;
  in.colorSource = 1;
  in.intensityDistance = 65500;
  in.intensityValue = 100;
  in.intensitySource = 2;
  TeachToTable(t, in);
  EXPECT_EQ(t[5].cell(2), 65535);
  EXPECT_EQ(t[5].cell(4), 65535);
}

TEST(MeanTeachToTable, IncAdvancesUpTo63AndOtherRowsStay) {
  TeachTable t = defaultParaSet().table;
  const TeachTable before = t;
  MeanTeachInput in = teachInput(1, 1);
  in.autoIncrement = true;
  EXPECT_EQ(TeachToTable(t, in).nextRow, 6u);
  for (std::size_t r = 0; r < kTeachRows; ++r) {
    if (r != 5) {
      EXPECT_EQ(t[r], before[r]) << r;
    }
  }
  EXPECT_EQ(t[5].group(), before[5].group());
  in.row = 63;
  EXPECT_EQ(TeachToTable(t, in).nextRow, 63u);
  in.autoIncrement = false;
  in.row = 7;
  EXPECT_EQ(TeachToTable(t, in).nextRow, 7u);
}

TEST(MeanTeachToTable, NothingChangesForABadRowOrMode) {
  TeachTable t = defaultParaSet().table;
  const TeachTable before = t;
  MeanTeachInput in = teachInput(1, 7);
  EXPECT_EQ(TeachToTable(t, in), (MeanTeachResult{false, 5}));
  in = teachInput(1, 0);
  in.row = 64;
  EXPECT_FALSE(TeachToTable(t, in).changed);
  EXPECT_EQ(t, before);
}

TEST(MeanTeachToTable, ThdRgbKeepsTheThresholds) {
  // Rows 0..2 hold the red, green and blue thresholds in THD RGB: no means
  // and tolerances go over them, whatever No. and Inc say.
  for (const std::uint16_t eval : {std::uint16_t{4}, std::uint16_t{5}}) {
    TeachTable t = defaultParaSet().table;
    t[0].cell(0) = 2000;
    const TeachTable before = t;
    MeanTeachInput in = teachInput(eval, 0);
    in.row = 0;
    in.autoIncrement = true;
    EXPECT_EQ(TeachToTable(t, in), (MeanTeachResult{false, 0})) << eval;
    EXPECT_EQ(t, before) << eval;
    EXPECT_FALSE(meanTeachTolerances(t, in).has_value());
  }
}

}  // namespace
}  // namespace drq
