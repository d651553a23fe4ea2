// The two teach panels on their own, with a fake window behind them: the
// mean-value teach's captures, means, reset question and teach, and the graph
// teach's recording, limit, reset, cursor selection and teach.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app/ScriptedPopups.h"
#include "core/PopupTitles.h"
#include "core/protocol/Frame.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/SampleScatter.h"
#include "gui/charts/SampleScatterView.h"
#include "gui/common/RuleControls.h"
#include "gui/common/Texts.h"
#include "gui/operations/ButtonDimmer.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/panels/TeachPanelHost.h"
#include "gui/panels/TeachPanelTexts.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq::gui::test {
namespace {

using drq::test::FakeClock;
using drq::test::FakeTransport;

class FakeHost final : public TeachPanelHost {
 public:
  TeachModes readTeachModes() override { return modes; }
  TeachTable shownTeachTable() const override { return table; }
  std::size_t teachRow() const override { return row; }
  bool teachAutoIncrement() const override { return inc; }
  void showTaughtTable(const TeachTable& t, std::size_t nextRow) override {
    table = t;
    row = nextRow;
    ++taught;
  }
  void teachShownValues(std::int16_t x, std::int16_t y, std::int16_t intensity) override {
    shownTaught = {x, y, intensity};
  }
  void readPanels() override { ++reads; }
  void redrawTeachFigures() override { ++figures; }
  void runLiveLoop() override { ++liveLoops; }
  void showCurrentFrame() override {}

  TeachModes modes;
  TeachTable table = defaultParaSet().table;
  std::size_t row = 0;
  bool inc = false;
  int taught = 0;
  std::array<int, 3> shownTaught{-1, -1, -1};
  int reads = 0;
  int figures = 0;
  int liveLoops = 0;
};

class FakePanelSwitch final : public ChildPanelSwitch {
 public:
  void ShowChildPanelDisp(ChildPanel panel) override { shown = panel; }
  ChildPanel currentChildPanel() const override { return shown; }
  ChildPanel shown = ChildPanel::TEACHP1;
};

class TeachPanelsTest : public ::testing::Test {
 protected:
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  FakePanelSwitch panels;
  ShellContext context{session, popups, operations, panels};
  FakeHost host;
};

// --- TEACHP1 ---------------------------------------------------------------------------

class MeanTeachPanelTest : public TeachPanelsTest {
 protected:
  MeanTeachPanelTest() { panel.setHost(host); }
  void capture(std::int16_t x, std::int16_t y, std::int16_t intensity) {
    session.CurrentFrame[FrameWord::X] = x;
    session.CurrentFrame[FrameWord::Y] = y;
    session.CurrentFrame[FrameWord::Int] = intensity;
    QTest::mouseClick(panel.captureButton(), Qt::LeftButton);
  }
  MeanTeachPanel panel{context};
};

TEST_F(MeanTeachPanelTest, CapturesShowTheMeansAndAnEditRecomputesThemAtOnce) {
  capture(100, 50, 900);
  capture(104, 50, 900);
  capture(108, 53, 900);
  EXPECT_EQ(panel.counterDisplay()->value(), 3);
  EXPECT_EQ(panel.meanTable()->value(0, 3), 104);
  EXPECT_EQ(panel.meanTable()->value(0, 4), 51);
  EXPECT_EQ(panel.colorDistanceDisplay()->value(), 4);
  EXPECT_EQ(panel.valuesTable()->value(2, 3), 108);
  EXPECT_EQ(panel.valuesTable()->currentRow(), 2);

  // The operator edits X of capture 3: the means follow.
  EXPECT_TRUE(panel.valuesTable()->commitValue(2, 3, 111));
  EXPECT_EQ(panel.meanTable()->value(0, 3), 105);
  // Rows beyond the counter do not count.
  panel.valuesTable()->commitValue(5, 3, 60000);
  EXPECT_EQ(panel.meanTable()->value(0, 3), 105);

  QTest::mouseClick(panel.undoButton(), Qt::LeftButton);
  EXPECT_EQ(panel.counterDisplay()->value(), 2);
  EXPECT_EQ(panel.valuesTable()->value(2, 3), 0);
  EXPECT_EQ(panel.meanTable()->value(0, 3), 102);
}

TEST_F(MeanTeachPanelTest, ResetIsRedWhileAskingAndNoKeepsTheCaptures) {
  capture(100, 50, 900);
  std::vector<std::uint32_t> colours;
  popups.onPopup = [&](const PopupRecord&) { colours.push_back(panel.resetButtonColor()); };
  popups.answerConfirm(false);
  QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
  EXPECT_EQ(panel.counterDisplay()->value(), 1);
  popups.answerConfirm(true);
  QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
  EXPECT_EQ(colours, (std::vector<std::uint32_t>{0xFF0000, 0xFF0000}));
  EXPECT_EQ(panel.resetButtonColor(), 0xE0E0E0u);
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kConfirmResetTable));
  EXPECT_EQ(panel.counterDisplay()->value(), 0);
  EXPECT_EQ(panel.valuesTable()->value(99, 5), 1);
  EXPECT_EQ(panel.meanTable()->value(0, 0), 1);
  EXPECT_EQ(panel.valuesTable()->currentRow(), 0);
}

TEST_F(MeanTeachPanelTest, TeachWritesTheMeansIntoRowNoWithTheChosenTolerances) {
  capture(100, 50, 900);
  capture(104, 50, 940);
  capture(108, 53, 920);  // means 104, 51, 920; D = 4, E = 20
  host.row = 9;
  host.inc = true;
  host.table[9].cell(2) = 77;
  panel.colorSourceRing()->setValue(2);      // d + VALUE
  panel.colorValue()->setValue(30);          // 34
  panel.intensitySourceRing()->setValue(1);  // d: 20
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  EXPECT_EQ(host.taught, 1);
  EXPECT_EQ(host.row, 10u);
  const TeachVector& taught = host.table[9];
  EXPECT_EQ((std::array<int, 5>{taught.cell(0), taught.cell(1), taught.cell(2), taught.cell(3),
                                taught.cell(4)}),
            (std::array<int, 5>{104, 51, 34, 920, 20}));

  // MIN DIST: 40 whatever the ring says.
  host.modes.evaluation = 2;
  host.row = 9;
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  EXPECT_EQ(host.table[9].cell(2), 40);
}

TEST_F(MeanTeachPanelTest, TeachIsDimmedWhileNothingIsCaptured) {
  host.row = 4;
  const TeachTable before = host.table;
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  panel.CBF_ButtonTP1Teach();
  EXPECT_EQ(host.taught, 0);
  EXPECT_EQ(host.table, before);

  capture(100, 50, 900);
  EXPECT_TRUE(panel.teachButton()->isEnabled());
  QTest::mouseClick(panel.undoButton(), Qt::LeftButton);
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  capture(100, 50, 900);
  popups.answerConfirm(true);
  QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  panel.CBF_ButtonTP1Teach();
  EXPECT_EQ(host.taught, 0);
}

TEST_F(MeanTeachPanelTest, ThdRgbDimsTeachAndTheThresholdsStay) {
  RuleControls controls;
  panel.registerRuleControls(controls);
  capture(100, 50, 900);
  host.table[0].cell(0) = 2000;
  const TeachTable before = host.table;
  controls.dim(PanelControl::MeanTeach, true);
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  // Reached all the same (the mode control changed since): nothing is taught.
  host.modes.evaluation = 4;
  panel.CBF_ButtonTP1Teach();
  EXPECT_EQ(host.taught, 0);
  EXPECT_EQ(host.table, before);

  controls.dim(PanelControl::MeanTeach, false);
  EXPECT_TRUE(panel.teachButton()->isEnabled());
}

TEST_F(MeanTeachPanelTest, ANewCalculationModeRecomputesTheDistanceAndTeachUsesIt) {
  RuleControls controls;
  panel.registerRuleControls(controls);
  capture(100, 50, 900);
  capture(104, 50, 910);
  capture(108, 53, 920);  // means 104, 51, 910
  EXPECT_EQ(panel.colorDistanceDisplay()->value(), 4);

  // Relabelled for X Y INT 3D: sqrt(16 + 1 + 100) = 10.8.
  session.working.record[ParaWord::CalculationMode] = 2;
  controls.relabel(PanelControl::MeanDistance, "d (X/Y/INT)");
  EXPECT_EQ(panel.colorDistanceDisplay()->value(), 10);
  session.working.record[ParaWord::CalculationMode] = 0;
  controls.relabel(PanelControl::MeanDistance, "d (X/Y)");
  EXPECT_EQ(panel.colorDistanceDisplay()->value(), 4);

  // The parameter page says 3D when TEACH is pressed: D follows first.
  host.modes.calculation = 2;
  host.row = 6;
  panel.colorSourceRing()->setValue(1);  // d
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  EXPECT_EQ(host.table[6].cell(2), 910);  // INT
  EXPECT_EQ(host.table[6].cell(3), 10);   // TOL
  EXPECT_EQ(panel.colorDistanceDisplay()->value(), 10);
}

TEST_F(MeanTeachPanelTest, CloseEndsTheLoopAndTheCapturesStay) {
  capture(100, 50, 900);
  session.RunFlag.set(1);
  QTest::mouseClick(panel.closeButton(), Qt::LeftButton);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(panels.shown, ChildPanel::DATAP);
  EXPECT_EQ(panel.counterDisplay()->value(), 1);
}

TEST_F(MeanTeachPanelTest, OpeningRunsTheLiveLoopOnlyWhenNoneRuns) {
  panel.startAcquisitionIfIdle();
  EXPECT_EQ(host.liveLoops, 1);
  EXPECT_EQ(host.figures, 1);
  // GO runs: it feeds the panel, no second loop starts beside it.
  OperationGuard go = operations.start(Operation::Live);
  panel.startAcquisitionIfIdle();
  EXPECT_EQ(host.liveLoops, 1);
}

TEST_F(MeanTeachPanelTest, RingsKeepTheirFourthItemWhenRelabelled) {
  panel.setColorSourceItems({QStringLiteral("VALUE TOL"), QStringLiteral("d (X/Y/INT)"),
                             QStringLiteral("d (X/Y/INT)+VALUE TOL")});
  ASSERT_EQ(panel.colorSourceRing()->count(), 4);
  EXPECT_EQ(panel.colorSourceRing()->itemText(2), QStringLiteral("d (X/Y/INT)+VALUE TOL"));
  EXPECT_EQ(panel.colorSourceRing()->itemText(3), QString::fromLatin1(kKeepTableTolerance));
}

// --- TEACHP2 ---------------------------------------------------------------------------

class GraphTeachPanelTest : public TeachPanelsTest {
 protected:
  GraphTeachPanelTest() {
    auto t = std::make_unique<FakeTransport>(clock, TransportKind::Tcp);
    fake = t.get();
    session.link.setTransport(std::move(t));
    session.link.setFailureReport(&report);
    session.link.state().linkUp = true;
    panel.setHost(host);
    panel.resize(700, 500);
    QObject::connect(&panel, &GraphTeachPanel::sampleShown, [this] {
      if (--remaining == 0) session.RunFlag.clear();
    });
  }
  void answer(std::int16_t x, std::int16_t y, std::int16_t intensity) {
    LiveFrame f;
    f[FrameWord::X] = x;
    f[FrameWord::Y] = y;
    f[FrameWord::Int] = intensity;
    fake->answerNext().send(buildFrame(ORDER_GET_DATA, 0, encodeLiveFrame(f)));
  }
  // Records `samples` of the scripted answers (0: until the recording ends by
  // itself), then ends the recording as STOP would.
  void record(int samples = 0) {
    remaining = samples;
    popups.clearRecords();
    QTest::mouseClick(panel.startButton(), Qt::LeftButton);
  }
  FakeClock clock;
  drq::test::RecordingReport report;
  FakeTransport* fake = nullptr;
  int remaining = 0;
  GraphTeachPanel panel{context};
};

TEST_F(GraphTeachPanelTest, RecordingShowsTheNewestSampleAndTheSameXyPicksTheEarlierOne) {
  answer(300, 400, 500);
  answer(320, 380, 700);
  answer(300, 400, 900);  // same X/Y as the first
  record(3);
  EXPECT_EQ(panel.counterDisplay()->value(), 3);
  EXPECT_EQ(panel.valueDisplay(2)->value(), 900);
  EXPECT_EQ(host.reads, 1);
  EXPECT_EQ(host.figures, 1);
  SampleScatterView& xy = panel.view(0);
  EXPECT_EQ(xy.cursorPosition(), (ViewPoint{300, 400}));

  // The operator drags the X/Y cursor onto the point (300, 400) and lets go:
  // the earlier sample is chosen, its INT shown.
  panel.view(1).showSample(1);
  panel.show();
  QApplication::processEvents();
  panel.replotScheduler().flush();
  const QPoint target = xy.pixelOf({300, 400});
  QTest::mousePress(&xy, Qt::LeftButton, {}, xy.pixelOf({320, 380}));
  QTest::mouseMove(&xy, target + QPoint(2, 1));
  QTest::mouseRelease(&xy, Qt::LeftButton, {}, target + QPoint(2, 1));
  EXPECT_EQ(panel.valueDisplay(2)->value(), 500);
  EXPECT_EQ(panel.view(1).cursorPosition(), (ViewPoint{300, 500}));
  EXPECT_EQ(panel.view(2).cursorPosition(), (ViewPoint{400, 500}));

  // Keys step through the points; TEACH teaches what the displays show.
  xy.setFocus();
  QTest::keyClick(&xy, Qt::Key_Right);
  EXPECT_EQ(panel.valueDisplay(0)->value(), 320);
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  EXPECT_EQ(host.shownTaught, (std::array<int, 3>{320, 380, 700}));
}

TEST_F(GraphTeachPanelTest, TeachWaitsForTheFirstSampleAndStaysOffInThdRgb) {
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  panel.CBF_ButtonTP2Teach();
  EXPECT_EQ(host.shownTaught, (std::array<int, 3>{-1, -1, -1}));

  answer(300, 400, 500);
  record(1);
  EXPECT_TRUE(panel.teachButton()->isEnabled());

  RuleControls controls;
  panel.registerRuleControls(controls);
  controls.dim(PanelControl::GraphTeachTeach, true);
  EXPECT_FALSE(panel.teachButton()->isEnabled());
  host.modes.evaluation = 4;
  panel.CBF_ButtonTP2Teach();
  EXPECT_EQ(host.shownTaught, (std::array<int, 3>{-1, -1, -1}));
  controls.dim(PanelControl::GraphTeachTeach, false);
  EXPECT_TRUE(panel.teachButton()->isEnabled());
}

TEST_F(GraphTeachPanelTest, ResetClearsThePointsButTeachStillTeachesTheDisplays) {
  answer(300, 400, 500);
  answer(310, 410, 510);
  record(2);
  popups.answerConfirm(true);
  QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
  EXPECT_EQ(panel.counterDisplay()->value(), 0);
  EXPECT_EQ(panel.samples().count(), 0u);
  panel.show();
  QApplication::processEvents();
  panel.replotScheduler().flush();
  EXPECT_EQ(panel.view(0).scatter().drawnSamples(), 0u);
  // A cursor moved now selects nothing.
  panel.SetCursorTP2(0);
  EXPECT_EQ(panel.valueDisplay(0)->value(), 310);
  QTest::mouseClick(panel.teachButton(), Qt::LeftButton);
  EXPECT_EQ(host.shownTaught, (std::array<int, 3>{310, 410, 510}));

  // A new recording counts from 0 again.
  answer(1, 2, 3);
  record(1);
  EXPECT_EQ(panel.counterDisplay()->value(), 1);
}

TEST_F(GraphTeachPanelTest, RecordingStopsAt60000AndStartIsRefusedThen) {
  for (std::size_t k = 0; k < kGraphTeachSamples + 1; ++k) {
    answer(static_cast<std::int16_t>(k % 700), static_cast<std::int16_t>(k % 300), 5);
  }
  record();
  EXPECT_EQ(panel.counterDisplay()->value(), 60000);
  EXPECT_EQ(fake->written().size(), kGraphTeachSamples);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_FALSE(session.RunFlag.isSet());

  record();
  EXPECT_EQ(fake->written().size(), kGraphTeachSamples);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kMsgTp2TableFull));
  EXPECT_EQ(host.reads, 1);  // nothing was prepared for the refused start

  panel.show();
  QApplication::processEvents();
  panel.replotScheduler().flush();
  EXPECT_EQ(panel.view(2).scatter().drawnSamples(), kGraphTeachSamples);
}

}  // namespace
}  // namespace drq::gui::test
