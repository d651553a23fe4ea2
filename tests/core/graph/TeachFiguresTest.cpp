#include <gtest/gtest.h>

#include "core/graph/SignalGraph.h"
#include "core/graph/TeachFigures.h"

namespace drq {
namespace {

TeachTable untaughtTable() {
  TeachTable table{};
  for (auto& row : table) row.words.fill(1);
  return table;
}

TEST(TeachFigures, CellRolesPerCalculationModeAndRowColours) {
  TeachTable table = untaughtTable();
  table[5].words = {2000, 1500, 40, 900, 60, 0, 0, 0};
  RowColorArray colors = defaultRowColors();
  colors[5] = 0x123456;

  const TeachFigure twoD = buildTeachFigures(table, colors, 1).figures[5];
  EXPECT_EQ(twoD, (TeachFigure{0x123456, 2000, 1500, 40, 900, 60, true}));
  EXPECT_EQ(twoD.colourCircle(), (FigureRect{1960, 1460, 2040, 1540}));

  // 3D: c2 is the intensity, c3 the tolerance of both colour and intensity.
  const TeachFigure threeD = buildTeachFigures(table, colors, 2).figures[5];
  EXPECT_EQ(threeD, (TeachFigure{0x123456, 2000, 1500, 900, 40, 900, true}));
  EXPECT_EQ(threeD.xIntRect(), (FigureRect{1100, -860, 2900, 940}));
  EXPECT_EQ(threeD.yIntRect(), (FigureRect{600, -860, 2400, 940}));
}

TEST(TeachFigures, WhichRowsCountForTheBounds) {
  TeachTable table = untaughtTable();
  table[0].words = {10, 10, 500, 500, 500, 0, 0, 0};  // both 10 or less: not counted
  table[1].words = {11, 0, 5, 100, 20, 0, 0, 0};      // x above 10 counts
  table[2].words = {0, 3000, 2, 4000, 1, 0, 0, 0};    // y above 10 counts
  const TeachFigureSet set = buildTeachFigures(table, defaultRowColors(), 0);
  EXPECT_FALSE(set.figures[0].counted);
  EXPECT_TRUE(set.figures[1].counted);
  EXPECT_TRUE(set.figures[2].counted);
  EXPECT_EQ(set.bounds.x, (BoundPair{-2, 16}));  // cells are computed as signed ints
  EXPECT_EQ(set.bounds.y, (BoundPair{-5, 3002}));
  EXPECT_EQ(set.bounds.intensity, (BoundPair{80, 4001}));

  // Cells read as unsigned: 65535 is far right, not -1.
  table[3].words = {65535, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(buildTeachFigures(table, defaultRowColors(), 0).bounds.x.high, 65535);
}

TEST(IntensityBand, CutAtZeroAndAt4096PerMode) {
  TeachTable table = untaughtTable();
  table[7].words = {0, 0, 0, 100, 200, 0, 0, 0};   // 2D: INT 100, ITO 200
  table[8].words = {0, 0, 0, 4000, 200, 0, 0, 0};  // 2D: INT 4000, ITO 200
  table[9].words = {0, 0, 3000, 50, 9, 0, 0, 0};   // 3D: INT 3000, TOL 50
  EXPECT_EQ(intensityBandFor(table, 0, 7), (IntensityBand{0, 300}));
  EXPECT_EQ(intensityBandFor(table, 1, 8), (IntensityBand{3800, 4096}));
  EXPECT_EQ(intensityBandFor(table, 2, 9), (IntensityBand{2950, 3050}));
  EXPECT_FALSE(intensityBandFor(table, 0, 64));
  EXPECT_FALSE(intensityBandFor(table, 0, -1));
}

LiveFrame signals(std::int16_t base) {
  LiveFrame f;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w)
    f.words[w] = static_cast<std::int16_t>(base + static_cast<int>(w));
  return f;
}

TEST(SignalGraph, FirstSegmentIsAPointThenLinesFollow) {
  SignalGraphState g;
  g.InitPanelGraph(signals(100));
  auto seg = g.SetPanelGraphData(signals(200));
  for (std::size_t s = 0; s < kGraphSignals; ++s) EXPECT_TRUE(seg[s].isPoint()) << s;
  const auto temp = static_cast<std::size_t>(GraphSignal::Temp);
  EXPECT_EQ(seg[temp], (SignalSegment{0, 210, 0, 210, 0x008080}));

  seg = g.SetPanelGraphData(signals(300));
  EXPECT_EQ(seg[0], (SignalSegment{0, 200, 1, 300, 0xFF0000}));
  EXPECT_EQ(seg[static_cast<std::size_t>(GraphSignal::Y)],
            (SignalSegment{0, 204, 1, 304, 0x00FF00}));
  EXPECT_EQ(seg[static_cast<std::size_t>(GraphSignal::Blue)].color, 0x0000FFu);
  EXPECT_EQ(seg[static_cast<std::size_t>(GraphSignal::X)].color, 0xFF0000u);
  EXPECT_EQ(seg[static_cast<std::size_t>(GraphSignal::Int)].color, 0x008080u);
  EXPECT_EQ(g.pointCount(), 2);
}

TEST(SignalGraph, CounterWrapsAtSixteenBitsWithAPointNotALineBack) {
  SignalGraphState g;
  g.InitPanelGraph(signals(0));
  for (int k = 0; k < 65535; ++k) g.SetPanelGraphData(signals(1));
  auto seg = g.SetPanelGraphData(signals(2));  // drawn at x 65535
  EXPECT_EQ(seg[0], (SignalSegment{65534, 1, 65535, 2, 0xFF0000}));
  EXPECT_EQ(g.pointCount(), 0);
  seg = g.SetPanelGraphData(signals(3));
  EXPECT_EQ(seg[0], (SignalSegment{0, 3, 0, 3, 0xFF0000}));
}

TEST(SignalGraph, SelectorChoosesOneGraphRedOtherwise) {
  EXPECT_EQ(visibleSignalGraph(0), GraphSignal::Red);
  EXPECT_EQ(visibleSignalGraph(5), GraphSignal::Int);
  EXPECT_EQ(visibleSignalGraph(6), GraphSignal::Temp);
  EXPECT_EQ(visibleSignalGraph(7), GraphSignal::Red);
  EXPECT_EQ(visibleSignalGraph(-1), GraphSignal::Red);
}

}  // namespace
}  // namespace drq
