// The live displays and graphs as the operator sees them: one frame on every
// display, the output LEDs, the labels per calculation mode, the framing and
// the intensity band on the real charts, the strip charts' scaling, the
// coalesced replots and the signal graph panel.
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <qcustomplot.h>

#include "core/live/GetData.h"
#include "gui/ShellFixture.h"
#include "gui/charts/ColourGraph.h"
#include "gui/charts/IntensityBar.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/StripChart.h"
#include "gui/common/Texts.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/RgbChartPage.h"
#include "gui/panels/data/RgbDisplayRow.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/shell/WindowParts.h"

namespace drq::gui::test {
namespace {

class LiveDisplays : public ShellTest {
 protected:
  void SetUp() override {
    startOffline();
    popups.clearRecords();
  }

  LiveMonitor& live() { return part<LiveMonitor>(*window); }
  DataPanel& data() { return part<DataPanel>(*window); }

  // A frame as the loop shows it: accepted into the session, then decoded
  // onto the panels and the graphs.
  void show(const LiveFrame& frame) {
    acceptLiveFrame(session, encodeLiveFrame(frame));
    live().SetPanelCalibData();
    live().SetPanelData();
    live().ShowGraph();
  }

  void setMode(std::uint16_t calculationMode) {
    session.working.record[ParaWord::CalculationMode] = calculationMode;
  }

  // Every teach row untaught (cells 1), as after a reset.
  void resetTable() {
    for (TeachVector& row : session.working.table) {
      for (std::size_t c = 0; c < kTeachCells; ++c) row.cell(c) = 1;
    }
  }

  static AxisRange rangeOf(const QCPAxis* axis) {
    return {static_cast<int>(axis->range().lower), static_cast<int>(axis->range().upper)};
  }
};

LiveFrame frameAt(int x, int y, int intensity) {
  LiveFrame f;
  f[FrameWord::X] = static_cast<std::int16_t>(x);
  f[FrameWord::Y] = static_cast<std::int16_t>(y);
  f[FrameWord::Int] = static_cast<std::int16_t>(intensity);
  return f;
}

TEST_F(LiveDisplays, OneFrameReachesEveryDisplay) {
  LiveFrame f;
  f.words = {5000, -20, 1600, 610, 570, 830, 12, 7,    3,    1,
             38,   100, 300,  200, 90,  91,  92, 3900, 3901, 3902};
  show(f);

  const auto text = [](const ValueDisplay* d) { return d->text().toStdString(); };
  EXPECT_EQ(text(data().redDisplay()), "5000");
  EXPECT_EQ(text(data().greenDisplay()), "-20");
  EXPECT_EQ(text(data().xDisplay()), "610");
  EXPECT_EQ(text(data().intDisplay()), "830");
  EXPECT_EQ(text(data().deltaCDisplay()), "12");
  EXPECT_EQ(text(data().colorNumberDisplay()), "7");
  EXPECT_EQ(text(data().colorGroupDisplay()), "3");
  EXPECT_TRUE(data().triggerLed()->isLit());
  // Each channel / 16, held to 0..255: never spilling into its neighbour.
  EXPECT_EQ(data().colorPatch()->color(), 0xFF0064u);

  // The chart pages repeat red, green and blue; the RGB page shows the
  // extremes in their pairs.
  RgbChartPage& rgb = data().rgbChartPage();
  EXPECT_EQ(text(rgb.rgbDisplay(2)), "1600");
  EXPECT_EQ(text(rgb.minDisplay(0)), "90");
  EXPECT_EQ(text(rgb.maxDisplay(0)), "3900");
  EXPECT_EQ(text(rgb.minDisplay(2)), "92");
  EXPECT_EQ(text(rgb.maxDisplay(2)), "3902");
  EXPECT_EQ(text(data().intensityChartPage().rgbDisplays().display(1)), "-20");
  EXPECT_EQ(text(data().twoDGraphPage().rgbDisplays().display(0)), "5000");

  // The calibration page: raw numbers, raw bars, the raw delta (300 - 100),
  // the calibrated bars.
  CalibrationPage& calibration = part<CalibrationPage>(*window);
  EXPECT_EQ(text(calibration.rawDisplay(1)), "300");
  EXPECT_EQ(calibration.rawBar(2)->value(), 200);
  EXPECT_EQ(text(calibration.rawDeltaDisplay()), "200");
  EXPECT_EQ(calibration.calibratedBar(0)->value(), 5000);

  EXPECT_EQ(text(part<TableAttributesPage>(*window).temperatureDisplay()), "38");
  EXPECT_EQ(part<BigColorPanel>(*window).valueText(), QStringLiteral("7"));
  EXPECT_EQ(part<BigGroupPanel>(*window).valueText(), QStringLiteral("3"));

  // A trigger state of 0 puts the LED out.
  f[FrameWord::Trigger] = 0;
  show(f);
  EXPECT_FALSE(data().triggerLed()->isLit());
}

TEST_F(LiveDisplays, OutputLedsShowTheColourWordInCol5AndThdRgbOnly) {
  const auto lit = [this] {
    std::string states;
    for (int k = 0; k < kOutputLeds; ++k) states += data().outputLed(k)->isLit() ? '1' : '0';
    return states;  // OUT0 first
  };
  LiveFrame f;
  session.working.record[ParaWord::EvaluationMode] = 3;  // COL5
  f[FrameWord::Color] = 255;
  show(f);
  EXPECT_EQ(lit(), "11111");
  EXPECT_EQ(data().colorNumberDisplay()->text(), QStringLiteral("255"));
  f[FrameWord::Color] = 5;
  show(f);
  EXPECT_EQ(lit(), "10100");

  // Other evaluation modes leave the LEDs as they are.
  session.working.record[ParaWord::EvaluationMode] = 1;
  f[FrameWord::Color] = 0;
  show(f);
  EXPECT_EQ(lit(), "10100");

  session.working.record[ParaWord::EvaluationMode] = 4;  // THD RGB
  f[FrameWord::Color] = 18;
  show(f);
  EXPECT_EQ(lit(), "01001");
}

TEST_F(LiveDisplays, LabelsAndColoursFollowTheCalculationMode) {
  setMode(2);
  live().SetDispNames();
  EXPECT_EQ(data().xDisplay()->caption(), QStringLiteral("X"));
  EXPECT_EQ(data().yDisplay()->caption(), QStringLiteral("Y"));
  EXPECT_EQ(data().intDisplay()->caption(), QStringLiteral("INT"));
  EXPECT_EQ(data().xDisplay()->accentColor(), QColor(0xFF0000));
  EXPECT_EQ(data().xDisplay()->backgroundColor(), QColor(0xE0E0E0));
  EXPECT_EQ(data().yDisplay()->accentColor(), QColor(0x00FF00));

  setMode(3);
  live().SetDispNames();
  EXPECT_EQ(data().xDisplay()->caption(), QStringLiteral("s"));
  EXPECT_EQ(data().yDisplay()->caption(), QStringLiteral("i"));
  EXPECT_EQ(data().intDisplay()->caption(), QStringLiteral("M"));
  EXPECT_EQ(data().xDisplay()->backgroundColor(), QColor(0x00FF00));
  EXPECT_EQ(data().yDisplay()->accentColor(), QColor(0xFFFF00));
  EXPECT_EQ(data().yDisplay()->backgroundColor(), QColor(0x80FFFF));
  // The same labels on the charts and the signal graph panel.
  EXPECT_EQ(data().intensityChartPage().chart(2).caption(), QStringLiteral("M"));
  EXPECT_EQ(data().twoDGraphPage().colourPlane().title(), QStringLiteral("s/i"));
  QComboBox* selector = part<SignalGraphPanel>(*window).signalSelector();
  EXPECT_EQ(selector->itemText(3), QStringLiteral("s"));
  EXPECT_EQ(selector->itemText(5), QStringLiteral("M"));
  EXPECT_EQ(selector->itemText(6), QStringLiteral("TEMP."));

  // A value that is no calculation mode changes nothing.
  setMode(9);
  live().SetDispNames();
  EXPECT_EQ(data().xDisplay()->caption(), QStringLiteral("s"));
}

TEST_F(LiveDisplays, TriggerLedVisibleWithATriggerModeOrExternalTeach) {
  EXPECT_FALSE(data().triggerLed()->isVisibleTo(&data()));
  session.working.record[ParaWord::ExternTeach] = 2;
  live().SetLedTrigVis();
  EXPECT_TRUE(data().triggerLed()->isVisibleTo(&data()));
  session.working.record[ParaWord::ExternTeach] = 0;
  session.working.record[ParaWord::Trigger] = 3;
  live().SetLedTrigVis();
  EXPECT_TRUE(data().triggerLed()->isVisibleTo(&data()));
  session.working.record[ParaWord::Trigger] = 0;
  live().SetLedTrigVis();
  EXPECT_FALSE(data().triggerLed()->isVisibleTo(&data()));
}

TEST_F(LiveDisplays, ColourPlaneFramesTheTaughtRowAndTheCurrentPoint) {
  setMode(0);
  resetTable();
  session.working.table[0].words = {300, 500, 50, 900, 100};
  live().InitGraphs();
  show(frameAt(600, 560, 700));
  ColourGraph& plane = data().twoDGraphPage().colourPlane();
  EXPECT_EQ(rangeOf(plane.xAxis), (AxisRange{225, 625}));
  EXPECT_EQ(rangeOf(plane.yAxis), (AxisRange{305, 705}));
  EXPECT_EQ(plane.cursorPosition(), (GraphPoint{600, 560}));
  // Every row is drawn (untaught ones too); the taught one as its circle.
  EXPECT_EQ(plane.figureCount(), 64);
  EXPECT_EQ(plane.figureRect(0), (FigureRect{250, 450, 350, 550}));

  // An empty table frames each axis from 0 to 10000, extended by the
  // current point, with the margin.
  resetTable();
  live().InitGraphs();
  show(frameAt(600, 560, 700));
  EXPECT_EQ(rangeOf(plane.xAxis), (AxisRange{-25, 10025}));
  EXPECT_EQ(rangeOf(plane.yAxis), (AxisRange{-25, 10025}));
  show(frameAt(12000, 560, 700));
  EXPECT_EQ(rangeOf(plane.xAxis), (AxisRange{-25, 12025}));
  EXPECT_EQ(rangeOf(plane.yAxis), (AxisRange{-1025, 11025}));
}

TEST_F(LiveDisplays, ThreeDViewsFrameEachPairWithItsOwnHalf) {
  setMode(2);
  resetTable();
  session.working.table[0].words = {300, 500, 800, 50, 0};  // X, Y, INT, TOL
  live().InitGraphs();
  show(frameAt(600, 560, 900));
  ThreeDGraphPage& page = data().threeDGraphPage();
  EXPECT_EQ(rangeOf(page.view(0).xAxis), (AxisRange{225, 625}));
  EXPECT_EQ(rangeOf(page.view(0).yAxis), (AxisRange{305, 705}));
  // X: 250..600, centre 425; INT: 750..900, centre 825; half 175.
  EXPECT_EQ(rangeOf(page.view(1).xAxis), (AxisRange{225, 625}));
  EXPECT_EQ(rangeOf(page.view(1).yAxis), (AxisRange{625, 1025}));
  EXPECT_EQ(page.view(1).figureRect(0), (FigureRect{250, 750, 350, 850}));
  EXPECT_EQ(page.view(2).cursorPosition(), (GraphPoint{560, 900}));
  // Every view draws the ellipse inscribed in the row's rectangle.
  for (int view = 0; view < 3; ++view) {
    const auto* ellipse = qobject_cast<QCPItemEllipse*>(page.view(view).figureItem(0));
    ASSERT_NE(ellipse, nullptr) << view;
    const FigureRect rect = page.view(view).figureRect(0);
    EXPECT_EQ(ellipse->topLeft->coords(), QPointF(rect.left, rect.top)) << view;
    EXPECT_EQ(ellipse->bottomRight->coords(), QPointF(rect.right, rect.bottom)) << view;
  }
}

TEST_F(LiveDisplays, IntensityBandIsCutAt4096AndStartsAtZero) {
  setMode(0);
  resetTable();
  IntensityBar& bar = data().twoDGraphPage().intensityBar();
  session.working.table[0].words = {300, 500, 50, 100, 200};  // INT 100, ITO 200
  window->SetPanelValues();
  live().InitGraphs();
  EXPECT_EQ(bar.bandRect(), (FigureRect{0, 0, 300, 100}));
  session.working.table[0].words = {300, 500, 50, 4000, 200};
  window->SetPanelValues();
  live().InitGraphInt2();
  EXPECT_EQ(bar.bandRect(), (FigureRect{3800, 0, 4096, 100}));

  // In mode 0 the cursor follows INT without limit; in mode 1 an M of 1201
  // or more stops at 1200.
  show(frameAt(300, 500, 5000));
  EXPECT_EQ(bar.cursorPosition(), (GraphPoint{5000, 50}));
  // The axis widens so that the cursor stays in sight, and returns after.
  EXPECT_GE(bar.xAxis->range().upper, 5000);
  EXPECT_EQ(bar.xAxis->range().lower, 0);
  show(frameAt(300, 500, 2000));
  EXPECT_EQ(bar.xAxis->range().upper, 4096);
  setMode(1);
  live().InitGraphs();
  show(frameAt(300, 500, 1500));
  EXPECT_EQ(bar.cursorPosition(), (GraphPoint{1200, 50}));
  EXPECT_EQ(bar.scale(), 1200);
}

TEST_F(LiveDisplays, TeachFiguresAreRedrawnOnlyWhenTheTableTheColoursOrTheModeChange) {
  setMode(0);
  resetTable();
  session.working.table[3].words = {1000, 1200, 80, 900, 100};
  live().InitGraphs();
  ColourGraph& plane = data().twoDGraphPage().colourPlane();
  QCPAbstractItem* first = plane.figureItem(3);
  live().InitGraphs();
  EXPECT_EQ(plane.figureItem(3), first);  // same table: the figures stay

  session.RowColors[3] = 0x123456;
  live().InitGraphs();
  const auto* circle = qobject_cast<QCPItemEllipse*>(plane.figureItem(3));
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->pen().color(), QColor(0x123456));

  // 2D uses CTO as the radius, 3D the TOL cell.
  setMode(2);
  session.working.table[3].words = {1000, 1200, 900, 40, 0};
  live().InitGraphs();
  EXPECT_EQ(plane.figureRect(3), (FigureRect{960, 1160, 1040, 1240}));
}

TEST_F(LiveDisplays, StripChartsAutoscaleOnADoubleClickAndFixOnAClick) {
  StripChart& rgb = data().rgbChartPage().chart();
  data().pages()->setCurrentIndex(kDataPageRgbChart);
  QTest::mouseDClick(&rgb, Qt::LeftButton);
  EXPECT_TRUE(rgb.isAutoscale());
  QTest::mouseClick(&rgb, Qt::LeftButton);
  EXPECT_FALSE(rgb.isAutoscale());
  EXPECT_EQ(rangeOf(rgb.yAxis), (AxisRange{0, 4096}));

  setMode(1);
  IntensityChartPage& page = data().intensityChartPage();
  data().pages()->setCurrentIndex(kDataPageIntensityChart);
  QTest::mouseClick(&page.chart(1), Qt::LeftButton);
  EXPECT_EQ(rangeOf(page.chart(0).yAxis), (AxisRange{0, 10000}));
  EXPECT_EQ(rangeOf(page.chart(1).yAxis), (AxisRange{0, 5000}));
  EXPECT_EQ(rangeOf(page.chart(2).yAxis), (AxisRange{0, 1200}));
  EXPECT_TRUE(page.intensityAxisManual());
  // The calculation-mode rule re-applies the ranges only to manual axes.
  page.applyModeRanges(*intensityChartRanges(0));
  EXPECT_EQ(rangeOf(page.chart(2).yAxis), (AxisRange{0, 4096}));
  QTest::mouseDClick(&page.chart(0), Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(page.chart(i).isAutoscale());
  EXPECT_FALSE(page.intensityAxisManual());
  page.applyModeRanges(*intensityChartRanges(1));
  EXPECT_TRUE(page.chart(2).isAutoscale());
}

TEST_F(LiveDisplays, EveryFrameUpdatesTheChartsButTheyAreRedrawnAtTheScreensPace) {
  setMode(0);
  data().pages()->setCurrentIndex(kDataPageRgbChart);
  ReplotScheduler& scheduler = data().replotScheduler();
  scheduler.flush();
  const auto redraws = [&] { return scheduler.fullReplots() + scheduler.layerReplots(); };
  const long before = redraws();
  const long fullBefore = scheduler.fullReplots();
  for (int k = 1; k <= 101; ++k) {
    LiveFrame f = frameAt(k, 2 * k, 3 * k);
    f[FrameWord::Red] = static_cast<std::int16_t>(k);
    show(f);
  }
  // No event was processed: nothing redrawn yet, one redraw pending.
  EXPECT_EQ(redraws(), before);
  EXPECT_TRUE(scheduler.isPending());
  // The charts hold frames 2 to 101, oldest first (100 samples each).
  const std::vector<double> red = data().rgbChartPage().chart().traceValues(0);
  ASSERT_EQ(red.size(), 100u);
  EXPECT_EQ(red.front(), 2);
  EXPECT_EQ(red.back(), 101);
  const std::vector<double> intensity = data().intensityChartPage().chart(2).traceValues(0);
  EXPECT_EQ(intensity.front(), 6);
  EXPECT_EQ(intensity.back(), 303);

  // One pass redraws each visible chart once (only its traces, as the axes
  // are fixed); hidden charts wait until they are shown.
  scheduler.flush();
  EXPECT_EQ(redraws(), before + 1);
  EXPECT_EQ(scheduler.fullReplots(), fullBefore);
  data().pages()->setCurrentIndex(kDataPageIntensityChart);
  scheduler.flush();
  EXPECT_EQ(redraws(), before + 4);
  // While autoscaling, new samples may move the axis: the whole chart.
  data().intensityChartPage().setAutoscale();
  scheduler.flush();
  const long full = scheduler.fullReplots();
  show(frameAt(1, 2, 3));
  scheduler.flush();
  EXPECT_EQ(scheduler.fullReplots(), full + 3);
}

TEST_F(LiveDisplays, AFullRedrawScalesToTheNewestSamplesAndAHiddenChartCatchesUp) {
  setMode(0);
  data().pages()->setCurrentIndex(kDataPageIntensityChart);
  IntensityChartPage& page = data().intensityChartPage();
  page.setAutoscale();
  ReplotScheduler& scheduler = data().replotScheduler();
  for (int k = 1; k <= 150; ++k) show(frameAt(0, 0, 2000 + k));
  scheduler.flush();
  // The axis follows frames 51 to 150 (INT 2051..2150), not what the chart
  // held before.
  const QCPRange range = page.chart(2).yAxis->range();
  EXPECT_LE(range.lower, 2051);
  EXPECT_GT(range.lower, 2000);
  EXPECT_GE(range.upper, 2150);
  const QCPGraphDataContainer& drawn = *page.chart(2).graph(0)->data();
  EXPECT_EQ(drawn.size(), 100);
  EXPECT_EQ((drawn.constEnd() - 1)->value, 2150);

  // Frames shown while the page is hidden reach its charts when it is shown.
  data().pages()->setCurrentIndex(kDataPageRgbChart);
  for (int k = 1; k <= 3; ++k) show(frameAt(0, 0, 3000 + k));
  scheduler.flush();
  EXPECT_EQ((drawn.constEnd() - 1)->value, 2150);
  data().pages()->setCurrentIndex(kDataPageIntensityChart);
  scheduler.flush();
  EXPECT_EQ((drawn.constEnd() - 1)->value, 3003);
  EXPECT_EQ((drawn.constEnd() - 4)->value, 2150);
}

TEST_F(LiveDisplays, AColourGraphWhoseAxesStayRedrawsOnlyItsCursor) {
  setMode(0);
  resetTable();
  session.working.table[0].words = {300, 500, 50, 900, 100};
  live().InitGraphs();
  data().pages()->setCurrentIndex(kDataPage2dGraph);
  ReplotScheduler& scheduler = data().replotScheduler();
  show(frameAt(320, 510, 700));
  scheduler.flush();
  const long full = scheduler.fullReplots();
  const long layers = scheduler.layerReplots();
  show(frameAt(330, 505, 720));  // inside the taught circle: the framing stays
  scheduler.flush();
  EXPECT_EQ(scheduler.fullReplots(), full);
  EXPECT_EQ(scheduler.layerReplots(), layers + 2);  // colour plane and intensity bar
  show(frameAt(900, 505, 720));                     // outside: the axes move
  scheduler.flush();
  EXPECT_EQ(scheduler.fullReplots(), full + 1);
}

TEST_F(LiveDisplays, SignalGraphStartsWithAPointAndShowsOneSignalAtATime) {
  SignalGraphPanel& panel = part<SignalGraphPanel>(*window);
  const auto curveData = [&](GraphSignal s) {
    return qobject_cast<QCPCurve*>(panel.graph(s)->plottable(0))->data();
  };
  session.CurrentFrame[FrameWord::Red] = 10;
  session.CurrentFrame[FrameWord::Temp] = 31;
  panel.InitPanelGraph();
  panel.SetPanelGraphData();
  EXPECT_EQ(panel.pointCount(GraphSignal::Red), 1);  // a point, not a line
  EXPECT_EQ(curveData(GraphSignal::Red)->size(), 1);
  EXPECT_EQ(panel.display(GraphSignal::Temp)->text(), QStringLiteral("31"));

  session.CurrentFrame[FrameWord::Red] = 20;
  panel.SetPanelGraphData();
  auto red = curveData(GraphSignal::Red);
  ASSERT_EQ(red->size(), 2);
  EXPECT_EQ(red->at(0)->key, 0);
  EXPECT_EQ(red->at(0)->value, 10);
  EXPECT_EQ(red->at(1)->key, 1);
  EXPECT_EQ(red->at(1)->value, 20);

  panel.InitPanelGraph();
  EXPECT_EQ(curveData(GraphSignal::Red)->size(), 0);

  panel.signalSelector()->setCurrentIndex(5);
  panel.CBF_EditSignal(5);
  EXPECT_EQ(panel.visibleGraph(), GraphSignal::Int);
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    EXPECT_EQ(panel.graph(static_cast<GraphSignal>(s))->isVisibleTo(&panel), s == 5);
  }

  // The recorder page's button shows the panel; its close button DATAP.
  find<QPushButton>("ButtonShowGraph")->click();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::GRAPHP);
  panel.closeButton()->click();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
}

TEST_F(LiveDisplays, SignalGraphStartsAgainWhenItsPointCounterWraps) {
  // The counter is 16 bits wide: after 65536 frames the next segment is a
  // point at x 0 again, and the drawing starts over instead of growing.
  SignalGraphPanel& panel = part<SignalGraphPanel>(*window);
  panel.InitPanelGraph();
  for (int i = 0; i < 65536; ++i) {
    session.CurrentFrame[FrameWord::Blue] = static_cast<std::int16_t>(i % 4096);
    panel.SetPanelGraphData();
  }
  EXPECT_EQ(panel.pointCount(GraphSignal::Blue), 65536);
  EXPECT_EQ(panel.state().pointCount(), 0);
  panel.SetPanelGraphData();
  EXPECT_EQ(panel.pointCount(GraphSignal::Blue), 1);
  const auto curve = qobject_cast<QCPCurve*>(panel.graph(GraphSignal::Blue)->plottable(0));
  EXPECT_EQ(curve->data()->at(0)->key, 0);
}

TEST_F(LiveDisplays, DoubleClickOpensTheBigDisplaysWithTheCurrentValue) {
  LiveFrame f;
  f[FrameWord::Color] = 12;
  f[FrameWord::Group] = 4;
  show(f);
  QTest::mouseDClick(data().colorNumberDisplay(), Qt::LeftButton);
  EXPECT_TRUE(part<BigColorPanel>(*window).isVisible());
  EXPECT_EQ(part<BigColorPanel>(*window).valueText(), QStringLiteral("12"));
  QTest::mouseDClick(data().colorGroupDisplay(), Qt::LeftButton);
  EXPECT_TRUE(part<BigGroupPanel>(*window).isVisible());
  EXPECT_EQ(part<BigGroupPanel>(*window).valueText(), QStringLiteral("4"));
}

// A chart's right click opens its menu (help first, then saving it); the
// graph pages' tab bar only shows its help. (The texts: HelpTextsGoldenTest.)
TEST_F(LiveDisplays, ChartMenusAndTheTabBarShowHelpAndDoNothingElse) {
  data().pages()->setCurrentIndex(kDataPage2dGraph);
  QWidget* plane = &data().twoDGraphPage().colourPlane();
  popups.clearRecords();
  QTest::mouseClick(plane, Qt::RightButton);
  EXPECT_TRUE(popups.records().empty());
  auto* menu = plane->findChild<QMenu*>(QStringLiteral("ChartMenu"));
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  menu->actions().first()->trigger();
  menu->hide();
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleInfo));
  EXPECT_FALSE(popups.records()[0].text.isEmpty());
  QTabBar* tabs = data().pages()->tabBar();
  popups.clearRecords();
  QTest::mouseClick(tabs, Qt::RightButton, {}, tabs->tabRect(1).center());
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kHelpSelectTab));
  EXPECT_EQ(data().pages()->currentIndex(), kDataPage2dGraph);  // help only
}

}  // namespace
}  // namespace drq::gui::test
