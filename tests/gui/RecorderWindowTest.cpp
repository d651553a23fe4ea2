// The recorder in the main window: page activation, the dimming it shares
// with the other operations, and every recorded frame reaching the signal
// graph panel and the live displays.

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/Frame.h"
#include "gui/ShellFixture.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/RecorderPage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/shell/WindowParts.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui {
namespace {

using test::settingsFileText;
using test::ShellTest;

class RecorderWindowOffline : public ShellTest {};

class RecorderWindow : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    std::vector<LiveFrame> frames;
    for (int k = 1; k <= 4; ++k) {
      LiveFrame f;
      f[FrameWord::Red] = static_cast<std::int16_t>(100 * k);
      f[FrameWord::Temp] = static_cast<std::int16_t>(-k);
      frames.push_back(f);
    }
    sensor.model().setScriptedFrames(frames);
    sensor.model().setAutoSendPeriodMs(20);
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
    sensor.model().clearRequestLog();
    window->setActivePage(kPageRecorder);
  }

  RecorderPage& page() { return *dynamic_cast<RecorderPage*>(window->page(kPageRecorder)); }

  // Runs `onFrame(k)` after the k-th recorded frame has been shown.
  void onRecordedFrame(std::function<void(int)> onFrame) {
    auto count = std::make_shared<int>(0);
    QObject::connect(&page(), &RecorderPage::recordedFrameShown, window.get(),
                     [count, onFrame] { onFrame(++*count); });
  }

  sim::EmbeddedSensor sensor;
};

TEST_F(RecorderWindowOffline, ActivatingThePagePreparesItForItsMode) {
  startOffline();
  RecorderPage& p = *dynamic_cast<RecorderPage*>(window->page(kPageRecorder));
  {
    const QSignalBlocker quiet(p.intervalField());
    p.intervalField()->setValue(0.1);
  }
  p.modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Counted));
  window->setActivePage(kPageRecorder);
  EXPECT_EQ(p.intervalField()->value(), 0.25);  // CalcRecTime on activation in mode 0
  EXPECT_TRUE(p.countField()->isVisible());

  window->setActivePage(kPageParameter);
  p.modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Triggered));
  window->setActivePage(kPageRecorder);
  EXPECT_FALSE(p.countField()->isVisible());
  EXPECT_TRUE(p.startTriggeredButton()->isVisible());
  EXPECT_FALSE(p.startRecordButton()->isVisible());

  QTest::mouseClick(p.showGraphButton(), Qt::LeftButton);
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::GRAPHP);
  // The sensor ID typed on the connection page is shown on the recorder page.
  auto* id = find<QLineEdit>("EditID");
  id->setText(QStringLiteral("LINE 9"));
  emit id->editingFinished();
  EXPECT_EQ(p.sensorId(), QStringLiteral("LINE 9"));
}

TEST_F(RecorderWindow, RecordedFramesReachTheSignalGraphAndTheLiveDisplaysWhileOtherWorkIsDimmed) {
  page().countField()->setValue(3);
  page().intervalField()->setValue(0.25);
  std::map<std::string, bool> enabled;
  onRecordedFrame([&](int k) {
    if (k != 2) return;
    for (const char* name : {"ButtonGo", "ButtonTryToConnect", "ButtonStartRecord",
                             "ButtonSelRecFile", "ButtonStopRecord", "ButtonSend"}) {
      enabled[name] = find<QWidget>(name)->isEnabled();
    }
  });
  popups.answerConfirm(true);
  page().CBF_ButtonStartRecord();

  EXPECT_FALSE(enabled["ButtonGo"]);
  EXPECT_FALSE(enabled["ButtonTryToConnect"]);
  EXPECT_FALSE(enabled["ButtonStartRecord"]);
  EXPECT_FALSE(enabled["ButtonSelRecFile"]);
  EXPECT_FALSE(enabled["ButtonSend"]);
  EXPECT_TRUE(enabled["ButtonStopRecord"]);
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
  EXPECT_TRUE(find<QWidget>("ButtonStartRecord")->isEnabled());

  SignalGraphPanel& graph = part<SignalGraphPanel>(*window);
  EXPECT_EQ(graph.pointCount(GraphSignal::Red), 3);
  EXPECT_EQ(graph.state().pointCount(), 3);
  EXPECT_EQ(graph.display(GraphSignal::Red)->value(), 300);
  EXPECT_EQ(graph.display(GraphSignal::Temp)->value(), -3);
  EXPECT_EQ(part<DataPanel>(*window).redDisplay()->text(), QStringLiteral("300"));
  EXPECT_EQ(popups.texts().last(), QString::fromLatin1(recorder_text::kFileSaved));

  // A second recording starts a new drawing: the first frame is a point again.
  page().countField()->setValue(1);
  popups.answerConfirm(true);
  page().CBF_ButtonStartRecord();
  EXPECT_EQ(graph.pointCount(GraphSignal::Red), 1);
}

TEST_F(RecorderWindow, GoDimsTheRecordersStartButtonsButNotItsStop) {
  std::map<std::string, bool> enabled;
  LiveMonitor& live = part<LiveMonitor>(*window);
  int frames = 0;
  const auto c = QObject::connect(&live, &LiveMonitor::frameShown, [&] {
    if (++frames != 2) return;
    for (const char* name : {"ButtonStartRecord", "ButtonStartTrigRec", "ButtonManualRecord",
                             "ButtonSelRecFile", "ButtonStopRecord"}) {
      enabled[name] = find<QWidget>(name)->isEnabled();
    }
    live.CBF_ButtonStop();
  });
  find<QPushButton>("ButtonGo")->click();
  QObject::disconnect(c);
  EXPECT_FALSE(enabled["ButtonStartRecord"]);
  EXPECT_FALSE(enabled["ButtonStartTrigRec"]);
  EXPECT_FALSE(enabled["ButtonManualRecord"]);
  EXPECT_FALSE(enabled["ButtonSelRecFile"]);
  EXPECT_TRUE(enabled["ButtonStopRecord"]);
}

TEST_F(RecorderWindow, TheConnectionPageEndsATriggeredRecording) {
  page().modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Triggered));
  page().CBF_EditSelectDataRec();
  onRecordedFrame([&](int k) {
    if (k == 2) window->setActivePage(kPageConnection);
  });
  popups.answerConfirm(true);
  page().CBF_ButtonStartTrigRec();
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(part<SignalGraphPanel>(*window).pointCount(GraphSignal::Red), 2);
  ASSERT_FALSE(sensor.model().requestLog().empty());
  EXPECT_EQ(sensor.model().requestLog().back().order, ORDER_AUTO_SEND);
  EXPECT_EQ(sensor.model().requestLog().back().argument, 0);
}

TEST_F(RecorderWindow, ClosingTheWindowDuringARecordingEndsTheProgramOnceItHasReturned) {
  page().modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Open));
  page().CBF_EditSelectDataRec();
  page().intervalField()->setValue(5.0);
  bool recordingWhenEnded = true;
  int ends = 0;
  QObject::connect(window.get(), &MainWindow::programEndRequested, [&] {
    ++ends;
    recordingWhenEnded = page().isRecording();
  });
  onRecordedFrame([&](int) { window->close(); });
  popups.answerConfirm(true);
  page().CBF_ButtonStartRecord();
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(recordingWhenEnded);
  EXPECT_EQ(sensor.model().requestLog().size(), 1u);
}

}  // namespace
}  // namespace drq::gui
