#include <gtest/gtest.h>

#include "core/graph/Framing.h"
#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"

namespace drq {
namespace {

TeachTable untaughtTable() {
  TeachTable table{};
  for (auto& row : table) row.words.fill(1);
  return table;
}

LiveFrame pointAt(int x, int y, int intensity) {
  LiveFrame f;
  f[FrameWord::X] = static_cast<std::int16_t>(x);
  f[FrameWord::Y] = static_cast<std::int16_t>(y);
  f[FrameWord::Int] = static_cast<std::int16_t>(intensity);
  return f;
}

TEST(Framing, OneTaughtRowAndACurrentPointOutsideIt) {
  TeachTable table = untaughtTable();
  table[0].words = {300, 500, 50, 800, 100, 0, 0, 0};  // X, Y, CTO, INT, ITO
  const TeachFigureSet set = buildTeachFigures(table, defaultRowColors(), 0);
  EXPECT_EQ(set.bounds.x, (BoundPair{250, 350}));
  EXPECT_EQ(set.bounds.y, (BoundPair{450, 550}));
  EXPECT_EQ(set.bounds.intensity, (BoundPair{700, 900}));

  EXPECT_EQ(frameCoordinate(set.bounds.x, 600), (CoordinateFrame{250, 600, 350, 425}));
  EXPECT_EQ(frameCoordinate(set.bounds.y, 560), (CoordinateFrame{450, 560, 110, 505}));
  const GraphUpdate u = graphUpdateFor(set.bounds, pointAt(600, 560, 850), 0);
  ASSERT_TRUE(u.twoD);
  EXPECT_FALSE(u.threeD);
  EXPECT_EQ(u.twoD->colourPlane, (ViewRanges{{225, 625}, {305, 705}}));
  EXPECT_EQ(u.twoD->colourCursor, (GraphPoint{600, 560}));
  EXPECT_EQ(u.twoD->intensityCursor, (GraphPoint{850, 50}));
}

TEST(Framing, EmptyTableFramesZeroToTenThousandWidenedByThePoint) {
  const TeachFigureSet set = buildTeachFigures(untaughtTable(), defaultRowColors(), 2);
  const TaughtBounds empty;
  EXPECT_EQ(set.bounds, empty);
  EXPECT_EQ(set.bounds.x, (BoundPair{0, 10000}));
  for (const auto& f : set.figures) EXPECT_FALSE(f.counted);

  // Point inside the bounds: 0..10000 plus the margin on every view.
  GraphUpdate u = graphUpdateFor(set.bounds, pointAt(5000, 5000, 5000), 2);
  ASSERT_TRUE(u.threeD);
  EXPECT_FALSE(u.twoD);
  const ViewRanges square{{-25, 10025}, {-25, 10025}};
  EXPECT_EQ(u.threeD->xy, square);
  EXPECT_EQ(u.threeD->xInt, square);
  EXPECT_EQ(u.threeD->yInt, square);

  // Point outside: X 0..12000 (centre 6000), INT -50..10000 (centre 4975);
  // each view takes the larger half of its own pair.
  u = graphUpdateFor(set.bounds, pointAt(12000, 3000, -50), 3);
  ASSERT_TRUE(u.threeD);
  EXPECT_EQ(u.threeD->xy, (ViewRanges{{-25, 12025}, {-1025, 11025}}));
  EXPECT_EQ(u.threeD->xInt, (ViewRanges{{-25, 12025}, {-1050, 11000}}));
  EXPECT_EQ(u.threeD->yInt, (ViewRanges{{-50, 10050}, {-75, 10025}}));
  EXPECT_EQ(u.threeD->xIntCursor, (GraphPoint{12000, -50}));
  EXPECT_EQ(u.threeD->yIntCursor, (GraphPoint{3000, -50}));
}

TEST(Framing, HalvingTruncatesTowardZero) {
  // Odd spans lose their half unit: 7 / 2 = 3, so the centre of -7..0 is -4.
  EXPECT_EQ(frameCoordinate({-7, -1}, -3), (CoordinateFrame{-7, -1, 6, -4}));
  EXPECT_EQ(frameCoordinate({-7, 0}, 0), (CoordinateFrame{-7, 0, 7, -4}));
  // half = 7 / 2 = 3
  const ViewRanges v = frameView(CoordinateFrame{-7, 0, 7, -4}, CoordinateFrame{0, 5, 5, 2});
  EXPECT_EQ(v, (ViewRanges{{-32, 24}, {-26, 30}}));
}

TEST(GraphUpdate, IntensityCursorLimitOnlyInModeOne) {
  const TaughtBounds b;
  EXPECT_EQ(graphUpdateFor(b, pointAt(0, 0, 1201), 1).twoD->intensityCursor,
            (GraphPoint{1200, 50}));
  EXPECT_EQ(graphUpdateFor(b, pointAt(0, 0, 1200), 1).twoD->intensityCursor,
            (GraphPoint{1200, 50}));
  EXPECT_EQ(graphUpdateFor(b, pointAt(0, 0, 30000), 0).twoD->intensityCursor,
            (GraphPoint{30000, 50}));
  EXPECT_EQ(intensityBarCursor(1, 1199), 1199);
  EXPECT_EQ(intensityBarCursor(3, 5000), 5000);
  EXPECT_EQ(graphUpdateFor(b, pointAt(1, 2, 3), 9), GraphUpdate{});
}

TEST(GraphUpdate, FixedChartRanges) {
  using R = std::array<ChartRange, 3>;
  EXPECT_EQ(intensityChartRanges(0), (R{{{0, 4096}, {0, 4096}, {0, 4096}}}));
  EXPECT_EQ(intensityChartRanges(2), intensityChartRanges(0));
  EXPECT_EQ(intensityChartRanges(1), (R{{{0, 10000}, {0, 5000}, {0, 1200}}}));
  EXPECT_EQ(intensityChartRanges(3), intensityChartRanges(1));
  EXPECT_FALSE(intensityChartRanges(4));
  EXPECT_EQ(kRgbChartRange, (ChartRange{0, 4096}));
}

}  // namespace
}  // namespace drq
