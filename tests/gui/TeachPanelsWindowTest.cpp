// The teach panels in the main window: opened from the teach table page,
// labelled by the mode rules, the mean-value teach running the live loop
// until it is closed, the graph teach recording from the virtual sensor with
// START dimmed with the other operations, and its teach through Teach data to.
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>

#include "core/PopupTitles.h"
#include "gui/ShellFixture.h"
#include "gui/charts/SampleScatterView.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/panels/TeachPanelTexts.h"
#include "gui/shell/WindowParts.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui::test {
namespace {

using W = ParaWord;

class TeachPanelsWindow : public ShellTest {
 protected:
  MeanTeachPanel& mean() {
    return *qobject_cast<MeanTeachPanel*>(window->childPanelWidget(ChildPanel::TEACHP1));
  }
  GraphTeachPanel& graph() {
    return *qobject_cast<GraphTeachPanel*>(window->childPanelWidget(ChildPanel::TEACHP2));
  }
  // The graph teach button: TEACHP2 shown and labelled, nothing started.
  void openGraphTeach() { find<QPushButton>("ButtonTeachRecVal")->click(); }
  void setModes(std::uint16_t evaluation, std::uint16_t calculation) {
    part<ParameterPage>(*window).setControlValue(W::EvaluationMode, evaluation);
    part<ParameterPage>(*window).setControlValue(W::CalculationMode, calculation);
    window->GetPanelValues();  // as a committed mode control is read
  }
};

TEST_F(TeachPanelsWindow, OpeningLabelsBothPanelsByTheModes) {
  startOffline();
  setModes(1, 2);
  openGraphTeach();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::TEACHP2);
  EXPECT_EQ(mean().colorDistanceDisplay()->caption(), QStringLiteral("d (X/Y/INT)"));
  EXPECT_EQ(mean().colorSourceLabel(), QStringLiteral("TEACH TOL WITH"));
  EXPECT_EQ(mean().colorSourceRing()->itemText(2), QStringLiteral("d (X/Y/INT)+VALUE TOL"));
  EXPECT_TRUE(mean().intensityDistanceDisplay()->isHidden());
  EXPECT_TRUE(mean().intensitySourceCell()->isHidden());
  EXPECT_TRUE(mean().intensityValueCell()->isHidden());
  EXPECT_EQ(graph().view(1).title(), QStringLiteral("X/INT"));

  setModes(2, 1);  // MIN DIST, s i M 2D
  openGraphTeach();
  EXPECT_EQ(mean().valuesTable()->columnHeading(3), QStringLiteral("s"));
  EXPECT_EQ(mean().meanTable()->columnHeading(5), QStringLiteral("M"));
  EXPECT_EQ(mean().intensityDistanceDisplay()->caption(), QStringLiteral("d M"));
  EXPECT_FALSE(mean().intensitySourceCell()->isHidden());
  EXPECT_EQ(mean().intensitySourceRing()->itemText(1), QStringLiteral("d M"));
  EXPECT_EQ(mean().intensitySourceRing()->itemText(3), QString::fromLatin1(kKeepTableTolerance));
  EXPECT_FALSE(mean().colorSourceCell()->isEnabled());
  EXPECT_FALSE(mean().colorValueCell()->isEnabled());
  // The 2D s i M mode is labelled like the 3D one.
  EXPECT_EQ(graph().view(2).title(), QStringLiteral("i/M"));
  EXPECT_EQ(graph().valueDisplay(1)->caption(), QStringLiteral("i"));
  EXPECT_EQ(graph().valueDisplay(1)->accentColor(), rgbColor(0xFFFF00));
  EXPECT_EQ(graph().valueDisplay(1)->backgroundColor(), rgbColor(0x80FFFF));

  setModes(1, 0);
  openGraphTeach();
  EXPECT_TRUE(mean().colorSourceCell()->isEnabled());
  EXPECT_EQ(graph().valueDisplay(0)->caption(), QStringLiteral("X"));
  EXPECT_EQ(graph().valueDisplay(0)->backgroundColor(), rgbColor(0xE0E0E0));
}

TEST_F(TeachPanelsWindow, AtTheDefaultSizeHeadingsFitAndOneViewFillsTheWidth) {
  startOffline();
  window->resize(790, 548);
  window->show();
  window->ShowChildPanelDisp(ChildPanel::TEACHP1);
  QApplication::processEvents();
  for (WordTable* table : {mean().valuesTable(), mean().meanTable()}) {
    const QHeaderView* header = table->horizontalHeader();
    EXPECT_GE(header->sectionSize(1), header->fontMetrics().horizontalAdvance("GREEN"));
  }
  EXPECT_EQ(mean().meanTable()->horizontalHeader()->sectionSize(5),
            mean().valuesTable()->horizontalHeader()->sectionSize(5));

  window->ShowChildPanelDisp(ChildPanel::TEACHP2);
  QApplication::processEvents();
  ASSERT_TRUE(graph().showsSingleView());
  EXPECT_TRUE(graph().view(0).isVisible());
  EXPECT_FALSE(graph().view(1).isVisible());
  // Its plot is more than half the panel's width (in the 2 x 2 grid it was
  // a quarter).
  EXPECT_GT(graph().view(0).axisRect()->width(), graph().width() / 2);
  QTest::mouseClick(graph().viewChoice(2), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(graph().shownView(), 2);
  EXPECT_TRUE(graph().view(2).isVisible());
  EXPECT_FALSE(graph().view(0).isVisible());

  // Wide enough for the grid: all three again.
  window->resize(1400, 800);
  QApplication::processEvents();
  EXPECT_FALSE(graph().showsSingleView());
  EXPECT_TRUE(graph().view(0).isVisible());
  EXPECT_TRUE(graph().view(1).isVisible());
}

TEST_F(TeachPanelsWindow, PanelButtonsShowOnlyTheirHelpOnARightClick) {
  startOffline();
  popups.clearRecords();
  QTest::mouseClick(find<QPushButton>("ButtonTP1Capture"), Qt::RightButton);
  QTest::mouseClick(find<QPushButton>("ButtonTP2Start"), Qt::RightButton);
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleInfo));
  EXPECT_EQ(mean().counterDisplay()->value(), 0);
  EXPECT_EQ(graph().counterDisplay()->value(), 0);
}

class TeachPanelsConnected : public TeachPanelsWindow {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    // X 100, 104, 108 and Y 50, 50, 53, over and over.
    std::vector<LiveFrame> frames;
    const std::int16_t xs[] = {100, 104, 108};
    const std::int16_t ys[] = {50, 50, 53};
    for (int k = 0; k < 3; ++k) {
      LiveFrame f;
      f[FrameWord::Red] = static_cast<std::int16_t>(1000 + k);
      f[FrameWord::Green] = 2000;
      f[FrameWord::Blue] = 3000;
      f[FrameWord::X] = xs[k];
      f[FrameWord::Y] = ys[k];
      f[FrameWord::Int] = static_cast<std::int16_t>(900 + 10 * k);
      frames.push_back(f);
    }
    sensor.model().setScriptedFrames(frames);
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
  }
  // The operator opens the mean-value teach, captures the three frames and
  // closes it.
  void captureThreeFrames() {
    int frames = 0;
    const QMetaObject::Connection step =
        QObject::connect(&part<LiveMonitor>(*window), &LiveMonitor::frameShown, window.get(), [&] {
          if (++frames > 3) return;
          mean().CBF_ButtonTP1Capture();
          if (frames == 3) mean().CBF_ButtonCloseTeachPanel();
        });
    find<QPushButton>("ButtonTeachMeanVal")->click();  // returns when the loop has ended
    QObject::disconnect(step);
  }
  sim::EmbeddedSensor sensor;
};

TEST_F(TeachPanelsConnected, MeanValueTeachRunsTheLiveLoopUntilItIsClosed) {
  std::vector<int> redShown;
  bool goEnabled = true;
  bool sendEnabled = true;
  int frames = 0;
  QObject::connect(&part<LiveMonitor>(*window), &LiveMonitor::frameShown, window.get(), [&] {
    ++frames;
    if (frames > 3) return;
    EXPECT_EQ(window->currentChildPanel(), ChildPanel::TEACHP1);
    redShown.push_back(mean().liveDisplay(0)->value());
    goEnabled = find<QPushButton>("ButtonGo")->isEnabled();
    sendEnabled = find<QPushButton>("ButtonSend")->isEnabled();
    find<QPushButton>("ButtonTP1Capture")->click();
    // What is captured is what the operator sees.
    EXPECT_EQ(mean().liveDisplay(0)->value(), session.CurrentFrame[FrameWord::Red]);
    if (frames == 3) find<QPushButton>("ButtonCloseTeachPanel")->click();
  });
  find<QPushButton>("ButtonTeachMeanVal")->click();  // returns when the loop has ended

  EXPECT_EQ(frames, 3);
  // The first frame at once, the last when the loop ends (the displays
  // follow at the screen's pace in between).
  ASSERT_EQ(redShown.size(), 3u);
  EXPECT_EQ(redShown.front(), 1000);
  EXPECT_EQ(mean().liveDisplay(0)->value(), 1002);
  EXPECT_FALSE(goEnabled);
  EXPECT_FALSE(sendEnabled);  // the idle form of the dimming
  EXPECT_TRUE(find<QPushButton>("ButtonGo")->isEnabled());
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  EXPECT_EQ(mean().counterDisplay()->value(), 3);
  EXPECT_EQ(mean().meanTable()->value(0, 3), 104);
  EXPECT_EQ(mean().meanTable()->value(0, 4), 51);
  EXPECT_EQ(mean().colorDistanceDisplay()->value(), 4);

  // TEACH into row No. 7 with Inc: the means and the value tolerances.
  TeachTablePage& teach = part<TeachTablePage>(*window);
  teach.rowNumber()->setValue(7);
  teach.autoIncrement()->setChecked(true);
  find<QPushButton>("ButtonTP1Teach")->click();
  EXPECT_EQ(teach.teachTable()->value(7, 0), 104);
  EXPECT_EQ(teach.teachTable()->value(7, 1), 51);
  EXPECT_EQ(teach.teachTable()->value(7, 2), 100);  // VALUE CTO
  EXPECT_EQ(teach.teachTable()->value(7, 3), 910);
  EXPECT_EQ(teach.rowNumber()->value(), 8);
  EXPECT_EQ(session.working.table[7].cell(0), 104);  // read into the working set
}

TEST_F(TeachPanelsConnected, ANewCalculationModeIsTaughtWithItsOwnDistance) {
  captureThreeFrames();
  ASSERT_EQ(mean().counterDisplay()->value(), 3);
  EXPECT_EQ(mean().colorDistanceDisplay()->value(), 4);  // X Y INT 2D

  // X Y INT 3D committed after the captures: INT 900, 910, 920 count now.
  part<ParameterPage>(*window).setControlValue(W::CalculationMode, 2);
  part<ParameterPage>(*window).CBF_EditCalcmode();
  EXPECT_EQ(mean().colorDistanceDisplay()->caption(), QStringLiteral("d (X/Y/INT)"));
  EXPECT_EQ(mean().colorDistanceDisplay()->value(), 10);

  TeachTablePage& teach = part<TeachTablePage>(*window);
  teach.rowNumber()->setValue(3);
  mean().colorSourceRing()->setValue(1);  // d
  find<QPushButton>("ButtonTP1Teach")->click();
  EXPECT_EQ(teach.teachTable()->value(3, 2), 910);
  EXPECT_EQ(teach.teachTable()->value(3, 3), 10);
}

TEST_F(TeachPanelsConnected, ThdRgbKeepsTheThresholdsFromTheMeanValueTeach) {
  EXPECT_FALSE(find<QPushButton>("ButtonTP1Teach")->isEnabled());  // nothing captured
  part<ParameterPage>(*window).setControlValue(W::EvaluationMode, 4);
  part<ParameterPage>(*window).CBF_EditEvalmode();
  TeachTablePage& teach = part<TeachTablePage>(*window);
  teach.teachTable()->commitValue(0, 0, 2000);
  captureThreeFrames();
  ASSERT_EQ(mean().counterDisplay()->value(), 3);
  EXPECT_FALSE(find<QPushButton>("ButtonTP1Teach")->isEnabled());
  EXPECT_FALSE(find<QPushButton>("ButtonTP2Teach")->isEnabled());
  mean().CBF_ButtonTP1Teach();
  EXPECT_EQ(teach.teachTable()->value(0, 0), 2000);

  part<ParameterPage>(*window).setControlValue(W::EvaluationMode, 1);
  part<ParameterPage>(*window).CBF_EditEvalmode();
  EXPECT_TRUE(find<QPushButton>("ButtonTP1Teach")->isEnabled());
}

TEST_F(TeachPanelsConnected, GraphTeachRecordsUntilStopAndTeachesTheSelectedSample) {
  openGraphTeach();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::TEACHP2);
  EXPECT_EQ(graph().counterDisplay()->value(), 0);  // nothing started

  session.live.ColorPatch = 0x405060;
  bool startEnabled = true;
  bool goEnabled = true;
  QObject::connect(&graph(), &GraphTeachPanel::sampleShown, window.get(), [&] {
    const int n = graph().counterDisplay()->value();
    if (n == 2) {
      startEnabled = find<QPushButton>("ButtonTP2Start")->isEnabled();
      goEnabled = find<QPushButton>("ButtonGo")->isEnabled();
    }
    if (n == 6) find<QPushButton>("ButtonStop")->click();
  });
  find<QPushButton>("ButtonTP2Start")->click();
  EXPECT_FALSE(startEnabled);
  EXPECT_FALSE(goEnabled);
  EXPECT_TRUE(find<QPushButton>("ButtonTP2Start")->isEnabled());
  EXPECT_EQ(graph().counterDisplay()->value(), 6);
  EXPECT_EQ(graph().valueDisplay(0)->value(), 108);
  // No display outside the panel was fed.
  EXPECT_EQ(part<DataPanel>(*window).xDisplay()->text(), QString());
  EXPECT_EQ(session.live.ColorPatch, 0x405060u);

  // Home puts the X/Y cursor on the first sample; TEACH teaches it into No.
  TeachTablePage& teach = part<TeachTablePage>(*window);
  teach.rowNumber()->setValue(5);
  SampleScatterView& xy = graph().view(0);
  xy.setFocus();
  QTest::keyClick(&xy, Qt::Key_Home);
  EXPECT_EQ(graph().valueDisplay(0)->value(), 100);
  EXPECT_EQ(graph().valueDisplay(2)->value(), 900);
  find<QPushButton>("ButtonTP2Teach")->click();
  // BEST HIT, X Y INT 2D, STAT: CTO 200, ITO 200.
  EXPECT_EQ(teach.teachTable()->value(5, 0), 100);
  EXPECT_EQ(teach.teachTable()->value(5, 1), 50);
  EXPECT_EQ(teach.teachTable()->value(5, 2), 200);
  EXPECT_EQ(teach.teachTable()->value(5, 3), 900);
  EXPECT_EQ(teach.teachTable()->value(5, 4), 200);
  EXPECT_EQ(session.working.table[5].cell(3), 900);

  find<QPushButton>("ButtonTP2Close")->click();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  EXPECT_EQ(graph().counterDisplay()->value(), 6);  // kept while the panel is closed
}

}  // namespace
}  // namespace drq::gui::test
