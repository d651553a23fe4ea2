#include <QPushButton>
#include <QTimer>

#include <map>
#include <string>

#include "core/params/ParaSet.h"
#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/panels/ScopePlot.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/ValueRing.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui::test {
namespace {

class ScopeWindowOffline : public ShellTest {};

TEST_F(ScopeWindowOffline, ActivatingTheScopePageStopsLiveAndShowsScopep) {
  startOffline();
  session.RunFlag.set(1);
  window->setActivePage(kPageScope);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::SCOPEP);
  find<QPushButton>("ButtonCloseSP")->click();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
}

TEST_F(ScopeWindowOffline, SetButtonsDimmedReachesTheScopeButtons) {
  startOffline();
  window->operations().dimmer().SetButtonsDimmed(false, false);
  for (const char* name : {"ButtonGetCycleTime", "ButtonScan", "ButtonBreakScan"}) {
    EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
  }
  window->operations().dimmer().SetButtonsDimmed(true, true);
  for (const char* name : {"ButtonGetCycleTime", "ButtonScan", "ButtonBreakScan"}) {
    EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
  }
  // Printing and saving are never dimmed.
  EXPECT_TRUE(find<QPushButton>("ButtonPrintScopeGraph")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("ButtonSaveScopeTrace")->isEnabled());
}

TEST_F(ScopeWindowOffline, YMaximumFollowsTheParameterPagesCalculationMode) {
  startOffline();
  auto* graph = find<ScopePlot>("GraphScope");
  chooseItem(find<ValueRing>("EditScopeRecSignal"), 1);
  choose(part<ParameterPage>(*window), ParaWord::CalculationMode, 2);
  find<QPushButton>("ButtonZoom11")->click();
  EXPECT_EQ(graph->yRange().upper, 4100);
  choose(part<ParameterPage>(*window), ParaWord::CalculationMode, 3);
  find<QPushButton>("ButtonZoom11")->click();
  EXPECT_EQ(graph->yRange().upper, 10000);
}

class ScopeWindow : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
  }

  // Presses SCAN; `whileRunning` runs once the sensor accepted the capture.
  void scan(std::function<void()> whileRunning) {
    auto watch = session.scope.captureRunning.subscribe([&](std::uint16_t v) {
      if (v != 0) QTimer::singleShot(0, window.get(), whileRunning);
    });
    find<QPushButton>("ButtonScan")->click();
  }

  sim::EmbeddedSensor sensor;
};

TEST_F(ScopeWindow, ScanDimsTheOtherOperationsUntilTheCaptureIsDrawn) {
  std::map<std::string, bool> enabled;
  scan([&] {
    for (const char* name : {"ButtonGo", "ButtonSend", "ButtonTryToConnect", "ButtonGetCycleTime",
                             "ButtonScan", "ButtonBreakScan", "ButtonPrintScopeGraph"}) {
      enabled[name] = find<QWidget>(name)->isEnabled();
    }
  });
  EXPECT_EQ(enabled, (std::map<std::string, bool>{{"ButtonBreakScan", true},
                                                  {"ButtonGetCycleTime", false},
                                                  {"ButtonGo", false},
                                                  {"ButtonPrintScopeGraph", true},
                                                  {"ButtonScan", false},
                                                  {"ButtonSend", false},
                                                  {"ButtonTryToConnect", false}}));
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::SCOPEP);
  EXPECT_EQ(session.scope.captures, 1u);
  EXPECT_EQ(find<ScopePlot>("GraphScope")->traceCount(), 3);
  EXPECT_EQ(find<ScopePlot>("GraphScopeDigital")->traceCount(), 6);
  for (const char* name : {"ButtonGo", "ButtonGetCycleTime", "ButtonScan", "ButtonBreakScan"}) {
    EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(ScopeWindow, ClosingTheWindowDuringACaptureBreaksItOffThenEndsTheProgram) {
  sensor.model().setIn0(false);  // EXTERNAL IN0 never comes
  chooseItem(find<ValueRing>("EditTriggerMode"), 4);
  int ended = 0;
  QObject::connect(window.get(), &MainWindow::programEndRequested, [&] { ++ended; });
  int endedWhileWaiting = -1;
  scan([&] {
    window->close();
    endedWhileWaiting = ended;
  });
  EXPECT_EQ(endedWhileWaiting, 0);
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(sensor.model().scopeRunning());
  const auto& log = sensor.model().requestLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().order, ORDER_SCOPE);
  EXPECT_EQ(log.back().argument, 0);
  EXPECT_EQ(session.scope.captures, 0u);
}

}  // namespace
}  // namespace drq::gui::test
