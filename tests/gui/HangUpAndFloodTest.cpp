// The window against a line that misbehaves while it waits: a serial line
// that goes away during GO, during a triggered recording waiting for its
// trigger and during a scope capture waiting for its trigger, and a peer that
// floods the line with junk during GO. Each failure is reported once, the
// process is idle afterwards, memory stays bounded, the event loop keeps its
// pace and the window is usable again (a reconnection works).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "core/util/CpuTime.h"
#include "core/util/ResidentMemory.h"
#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/RecorderPage.h"
#include "gui/panels/DataPanel.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/ValueRing.h"
#include "link/Peers.h"
#include "sim/EmbeddedSensor.h"
#include "sim/PtySensorServer.h"
#include "sim/SensorHost.h"
#include "sim/SensorModel.h"

namespace drq::gui::test {
namespace {

using drq::test::Bytes;

void runEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs the event loop until `done` holds or `ms` have passed; returns done().
bool runUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!done() && elapsed.elapsed() < ms) runEventLoopFor(10);
  return done();
}

// Processor seconds the whole process spends while its event loop runs for
// `ms` milliseconds, once what was already due (repaints) has been done.
double cpuSecondsWhileIdle(int ms) {
  runEventLoopFor(100);
  const double before = processCpuSeconds();
  runEventLoopFor(ms);
  return processCpuSeconds() - before;
}

// A failure as the connection page's message box shows it.
std::string reported(std::string_view text) {
  return std::string(text) + "\n\n";
}

// A spinning notifier or a polling wait would use most of the interval; an
// idle window uses next to nothing. The bound is a twentieth of it.
constexpr int kIdleMs = 500;
constexpr double kIdleCpuBound = 0.025;

class HangUp : public ShellTest {
 protected:
  void SetUp() override {
    linkPath = QString::fromStdString(dir.file("ttyDRQ").string());
    ASSERT_TRUE(pty.open(linkPath)) << pty.errorString().toStdString();
    writeSettings(
        "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
        "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
        "COMPORT DEVICE = \"" +
        linkPath.toStdString() + "\"\r\n");
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
    part<ConnectionPage>(*window).clearMessages();
  }

  // The line goes away as soon as the window waits on it next: the adapter is
  // pulled, the device and its link vanish.
  void hangUpSoon() {
    QTimer::singleShot(0, window.get(), [this] { pty.close(); });
  }

  std::string messages() const { return part<ConnectionPage>(*window).messages().toStdString(); }

  void expectFailureShown() {
    EXPECT_FALSE(session.link.state().linkUp);
    EXPECT_FALSE(session.RunFlag.isSet());
    EXPECT_EQ(part<DataPanel>(*window).status(), QStringLiteral("TIMEOUT!"));
    EXPECT_EQ(window->activePage(), kPageConnection);
  }

  void expectUsable(std::initializer_list<const char*> names) {
    for (const char* name : names) EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
  }

  // The operator plugs the adapter in again, connects and runs GO for a frame.
  void expectReconnectionWorks() {
    ASSERT_TRUE(pty.open(linkPath)) << pty.errorString().toStdString();
    find<QPushButton>("ButtonTryToConnect")->click();
    ASSERT_TRUE(session.link.state().linkUp) << messages();
    EXPECT_TRUE(find<QWidget>("ButtonAccept")->isEnabled());
    LiveMonitor& live = part<LiveMonitor>(*window);
    const long before = live.framesShown();
    const auto c =
        QObject::connect(&live, &LiveMonitor::frameShown, [&] { live.CBF_ButtonStop(); });
    find<QPushButton>("ButtonGo")->click();
    QObject::disconnect(c);
    EXPECT_EQ(live.framesShown(), before + 1);
    EXPECT_TRUE(session.link.state().linkUp);
    EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
  }

  sim::EmbeddedSensor sensor;
  sim::PtySensorServer pty{sensor.host()};
  QString linkPath;
};

TEST_F(HangUp, DuringGoTheTimeOutIsReportedOnceAndTheWindowIsIdleAndUsable) {
  LiveMonitor& live = part<LiveMonitor>(*window);
  long frames = 0;
  const auto c = QObject::connect(&live, &LiveMonitor::frameShown, [&] {
    if (++frames == 3) hangUpSoon();
  });
  QElapsedTimer elapsed;
  elapsed.start();
  find<QPushButton>("ButtonGo")->click();
  QObject::disconnect(c);
  EXPECT_LT(elapsed.elapsed(), 2000);  // ended by the hang-up, not by a time-out
  EXPECT_GE(frames, 3);
  EXPECT_FALSE(live.isRunning());
  EXPECT_EQ(messages(), reported(kMsgTimeout));
  expectFailureShown();
  expectUsable({"ButtonGo", "ButtonTryToConnect", "ButtonDisconnect", "ButtonSend", "ButtonGet",
                "ButtonStartTrigRec", "ButtonScan"});

  EXPECT_LT(cpuSecondsWhileIdle(kIdleMs), kIdleCpuBound);
  EXPECT_EQ(messages(), reported(kMsgTimeout));
  EXPECT_TRUE(popups.records().empty());
  expectReconnectionWorks();
}

TEST_F(HangUp, WhileATriggeredRecordingWaitsTheLineErrorIsReportedOnce) {
  sensor.model().setAutoSendPeriodMs(600'000);  // the trigger does not come
  window->setActivePage(kPageRecorder);
  auto& page = *dynamic_cast<RecorderPage*>(window->page(kPageRecorder));
  chooseItem(page.modeSelector(), static_cast<std::uint16_t>(RecordMode::Triggered));
  // The line goes once the start's answer is in: the recording then waits
  // for its first pushed frame.
  bool waiting = false;
  std::function<void()> hangUpOnceStarted = [&] {
    if (session.link.responseOrder() != ORDER_AUTO_SEND) {
      QTimer::singleShot(1, window.get(), hangUpOnceStarted);
      return;
    }
    waiting = true;
    pty.close();
  };
  auto watch = QObject::connect(&sensor.host(), &sim::SensorHost::requestLogged, window.get(),
                                [&](const sim::RequestRecord& record) {
                                  if (record.order == ORDER_AUTO_SEND && record.argument == 1) {
                                    hangUpOnceStarted();
                                  }
                                });
  popups.answerConfirm(true);
  QElapsedTimer elapsed;
  elapsed.start();
  page.CBF_ButtonStartTrigRec();
  QObject::disconnect(watch);
  EXPECT_LT(elapsed.elapsed(), 2000);
  EXPECT_TRUE(waiting);
  EXPECT_FALSE(page.isRecording());
  EXPECT_EQ(messages(), reported(kMsgStreamLineError));
  expectFailureShown();
  expectUsable(
      {"ButtonGo", "ButtonTryToConnect", "ButtonStartTrigRec", "ButtonSelRecFile", "ButtonScan"});
  // The recording's own popups only: the question, the reminder, the end.
  EXPECT_EQ(popups.texts(), (QStringList{QString::fromLatin1(recorder_text::kRightFileName),
                                         QString::fromLatin1(recorder_text::kFileNotOpened),
                                         QString::fromLatin1(recorder_text::kFileSaved)}));

  EXPECT_LT(cpuSecondsWhileIdle(kIdleMs), kIdleCpuBound);
  EXPECT_EQ(messages(), reported(kMsgStreamLineError));
  expectReconnectionWorks();
}

TEST_F(HangUp, WhileAScopeCaptureWaitsTheLineErrorIsReportedOnce) {
  sensor.model().setIn0(false);  // EXTERNAL IN0 never comes
  window->setActivePage(kPageScope);
  chooseItem(find<ValueRing>("EditTriggerMode"), 4);
  part<ConnectionPage>(*window).clearMessages();
  bool waiting = false;
  auto watch = session.scope.captureRunning.subscribe([&](std::uint16_t v) {
    if (v != 0 && !waiting) {
      waiting = true;
      hangUpSoon();
    }
  });
  QElapsedTimer elapsed;
  elapsed.start();
  find<QPushButton>("ButtonScan")->click();
  watch.reset();
  EXPECT_LT(elapsed.elapsed(), 2000);
  EXPECT_TRUE(waiting);
  EXPECT_FALSE(session.scope.captureRunning.isSet());
  EXPECT_EQ(session.scope.captures, 0u);
  EXPECT_EQ(messages(), reported(kMsgStreamLineError));
  expectFailureShown();
  expectUsable(
      {"ButtonGo", "ButtonTryToConnect", "ButtonGetCycleTime", "ButtonScan", "ButtonBreakScan"});

  EXPECT_LT(cpuSecondsWhileIdle(kIdleMs), kIdleCpuBound);
  EXPECT_EQ(messages(), reported(kMsgStreamLineError));
  EXPECT_TRUE(popups.records().empty());
  expectReconnectionWorks();
}

// Posts a zero timer every 50 ms and keeps the longest time one waited to be
// served: how long the operator's input would wait.
class LatencyProbe {
 public:
  LatencyProbe() {
    QObject::connect(&tick_, &QTimer::timeout, &context_, [this] {
      auto posted = std::make_shared<QElapsedTimer>();
      posted->start();
      QTimer::singleShot(0, &context_, [this, posted] {
        worstMs_ = std::max(worstMs_, posted->elapsed());
        ++served_;
      });
    });
    tick_.start(50);
  }
  qint64 worstMs() const { return worstMs_; }
  int served() const { return served_; }

 private:
  QObject context_;
  QTimer tick_;
  qint64 worstMs_ = 0;
  int served_ = 0;
};

// A peer that answers as the sensor does (the model behind it) until GO has
// shown three frames; from then on it sends junk at about a megabyte a second
// in 10 KB pieces, none of it a start byte, so no frame ever begins. It keeps
// no more than 64 KB unsent, as TCP would hold a real one back.
class Flood : public ShellTest {
 protected:
  void SetUp() override {
    peer.onRequest = [this](const Bytes& request) {
      if (flooding.isActive()) return;
      if (request[1] == ORDER_GET_DATA && ++dataRequests > 3) {
        flooding.start(10);
        return;
      }
      peer.send(model.handleRequest(request).frame);
    };
    QObject::connect(&flooding, &QTimer::timeout, [this] {
      offered += kPiece;
      if (peer.unsent() < 64 * 1024) peer.send(Bytes(kPiece, 0xA5));
    });
    writeSettings(settingsFileText("127.0.0.1", peer.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
    part<ConnectionPage>(*window).clearMessages();
  }

  std::string messages() const { return part<ConnectionPage>(*window).messages().toStdString(); }

  static constexpr std::size_t kPiece = 10 * 1024;
  sim::SensorModel model;
  drq::test::TcpPeer peer;
  QTimer flooding;
  int dataRequests = 0;
  std::size_t offered = 0;
};

TEST_F(Flood, JunkDuringGoFailsEachExchangeOnceWhileTheWindowKeepsItsPaceAndItsMemory) {
  const std::string headerIncorrect = reported(kMsgHeaderIncorrect);
  LatencyProbe probe;
  LiveMonitor& live = part<LiveMonitor>(*window);
  find<QPushButton>("ButtonGo")->click();
  EXPECT_EQ(live.framesShown(), 3);
  EXPECT_EQ(messages(), headerIncorrect);
  EXPECT_FALSE(session.link.state().linkUp);
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());

  // The flood goes on while the window waits for the operator.
  runEventLoopFor(100);
  [[maybe_unused]] const long residentBefore = drq::residentMemoryKb();
  ASSERT_TRUE(runUntil([&] { return offered >= 1'500'000; }, 4000));
  ASSERT_NE(session.link.transport(), nullptr);
  EXPECT_LE(session.link.transport()->bytesAvailable(), kMaxUnreadInput);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory resident
  // Holding the flood would take about as much as was sent.
  EXPECT_LT(drq::residentMemoryKb() - residentBefore, 768);
#endif
  EXPECT_GE(probe.served(), 15);
  EXPECT_LT(probe.worstMs(), 250);
  EXPECT_EQ(messages(), headerIncorrect);

  // GO again: one more failed exchange, one more report, nothing shown.
  find<QPushButton>("ButtonGo")->click();
  EXPECT_EQ(live.framesShown(), 3);
  EXPECT_EQ(messages(), headerIncorrect + headerIncorrect);
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
  EXPECT_TRUE(popups.records().empty());
}

}  // namespace
}  // namespace drq::gui::test
