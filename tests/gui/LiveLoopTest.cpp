// GO and STOP against the virtual sensor: the loop inside the GO callback,
// STOP while an exchange waits, SEND and GET served between two frames, a
// failing exchange, and closing the window while the loop runs.
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QThreadPool>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Screenshots.h"
#include "gui/ShellFixture.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/panels/DataPanel.h"
#include "gui/shell/WindowParts.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/SensorHost.h"

namespace drq::gui::test {
namespace {

class LiveLoopOffline : public ShellTest {};

class LiveLoop : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    std::vector<LiveFrame> frames;
    for (int k = 1; k <= kScripted; ++k) {
      LiveFrame f;
      f[FrameWord::Red] = static_cast<std::int16_t>(10 * k);
      f[FrameWord::Color] = static_cast<std::int16_t>(k);
      frames.push_back(f);
    }
    sensor.model().setScriptedFrames(frames);
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
  }

  // Red of the frame the loop shows as its k-th (1-based).
  static QString redOfFrame(long k) { return QString::number(10 * ((k - 1) % kScripted + 1)); }

  // Presses GO; `onFrame(k)` runs after the k-th frame is shown. Returns the
  // frames shown once the GO callback has returned.
  long go(const std::function<void(long)>& onFrame) {
    LiveMonitor& live = part<LiveMonitor>(*window);
    long k = 0;
    const auto connection =
        QObject::connect(&live, &LiveMonitor::frameShown, [&] { onFrame(++k); });
    find<QPushButton>("ButtonGo")->click();
    QObject::disconnect(connection);
    return k;
  }

  // Calls `action` when the sensor has handled its n-th live-data request
  // since now, i.e. while the tool waits for that answer.
  void onDataRequest(int n, std::function<void()> action) {
    auto count = std::make_shared<int>(0);
    QObject::connect(&sensor.host(), &sim::SensorHost::requestLogged, window.get(),
                     [count, n, action](const sim::RequestRecord& record) {
                       if (record.order == ORDER_GET_DATA && ++*count == n) action();
                     });
  }

  std::vector<int> ordersSinceCleared() {
    std::vector<int> orders;
    for (const auto& record : sensor.model().requestLog()) orders.push_back(record.order);
    return orders;
  }

  QString redShown() { return part<DataPanel>(*window).redDisplay()->text(); }
  void stop() { find<QPushButton>("ButtonStop")->click(); }

  static constexpr int kScripted = 4;
  sim::EmbeddedSensor sensor;
};

TEST_F(LiveLoop, GoRunsUntilStopAndKeepsOnlyTheLoopsControlsUsable) {
  window->ShowChildPanelDisp(ChildPanel::GRAPHP);
  std::map<std::string, bool> enabledWhileRunning;
  const long frames = go([&](long k) {
    if (k == 2) {
      for (const char* name : {"ButtonGo", "ButtonStop", "ButtonSend", "ButtonGet",
                               "SelectMemEeprom", "ButtonTryToConnect"}) {
        enabledWhileRunning[name] = find<QWidget>(name)->isEnabled();
      }
    }
    if (k == 6) stop();
  });
  EXPECT_EQ(frames, 6);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(redShown(), redOfFrame(6));
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  EXPECT_FALSE(enabledWhileRunning["ButtonGo"]);
  EXPECT_FALSE(enabledWhileRunning["ButtonTryToConnect"]);
  EXPECT_TRUE(enabledWhileRunning["ButtonStop"]);
  EXPECT_TRUE(enabledWhileRunning["ButtonSend"]);
  EXPECT_TRUE(enabledWhileRunning["ButtonGet"]);
  EXPECT_TRUE(enabledWhileRunning["SelectMemEeprom"]);
  // Afterwards everything is usable again.
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
  EXPECT_TRUE(find<QWidget>("ButtonTryToConnect")->isEnabled());

  // A mean-value teach in progress keeps its panel.
  window->ShowChildPanelDisp(ChildPanel::TEACHP1);
  go([&](long) { stop(); });
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::TEACHP1);
}

// The displays follow the loop at the screen's pace: the first frame at
// once, later ones at most once per refresh (in order, never one twice, the
// three emissions always for the same frame), the last one when the loop
// ends. The live state behind the charts has every frame.
TEST_F(LiveLoop, TheDisplaysShowTheFirstAndLastFrameAndFollowInOrder) {
  LiveMonitor& live = part<LiveMonitor>(*window);
  std::vector<int> raw, data, graphs;  // red of each frame per emission
  QObject::connect(&live, &LiveMonitor::rawFrameShown, window.get(),
                   [&](const LiveFrame& f) { raw.push_back(f[FrameWord::Red]); });
  QObject::connect(&live, &LiveMonitor::liveFrameShown, window.get(),
                   [&](const LiveFrame& f) { data.push_back(f[FrameWord::Red]); });
  QObject::connect(&live, &LiveMonitor::graphsShown, window.get(),
                   [&] { graphs.push_back(session.CurrentFrame[FrameWord::Red]); });
  std::size_t shownAtFirstFrame = 0;
  const long frames = go([&](long k) {
    if (k == 1) shownAtFirstFrame = data.size();
    if (k == 2 * kScripted + 1) stop();
  });
  ASSERT_EQ(frames, 2 * kScripted + 1);
  EXPECT_EQ(shownAtFirstFrame, 1u);
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(data.front(), redOfFrame(1).toInt());
  EXPECT_EQ(data.back(), redOfFrame(frames).toInt());
  EXPECT_EQ(raw, data);
  EXPECT_EQ(graphs, data);
  std::vector<int> order;
  for (long k = 1; k <= frames; ++k) order.push_back(redOfFrame(k).toInt());
  auto at = order.begin();
  for (int red : data) {
    at = std::find(at, order.end(), red);
    ASSERT_NE(at, order.end()) << red << " shown out of order or twice";
    ++at;
  }
  EXPECT_EQ(redShown(), redOfFrame(frames));
  // Every frame's red, in order, at the newest end of the chart window.
  const auto& rgb = session.live.RgbWindow;
  const std::size_t samples = rgb.kSize / 3;
  ASSERT_LE(static_cast<std::size_t>(frames), samples);
  for (long k = 1; k <= frames; ++k) {
    const std::size_t sample = samples - static_cast<std::size_t>(frames - k) - 1;
    EXPECT_EQ(rgb[3 * sample], redOfFrame(k).toInt()) << "frame " << k;
  }
}

// Threads of this process: the fewer, the cheaper the loop's socket calls.
int threadCount() {
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Large fills leave idle painting threads behind; the loop runs without them,
// also when a page painted during the loop called them up again.
TEST_F(LiveLoop, TheLoopRunsWithoutIdlePaintingThreads) {
  const auto paintLargeFill = [] {
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 800, 600);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::blue);
    painter.fillRect(image.rect(), gradient);
  };
  QThreadPool::globalInstance()->waitForDone();
  const int own = threadCount();  // a sanitizer's runtime may keep one of its own
  paintLargeFill();
  if (threadCount() == own) GTEST_SKIP() << "this Qt paints large fills on the calling thread";
  QElapsedTimer clock;
  int atEnd = 0;
  go([&](long k) {
    if (k == 2) {
      paintLargeFill();
      clock.start();
    }
    // Past a few refreshes of the displays.
    if (k > 2 && clock.elapsed() > 4 * kDisplayRefreshMs) {
      atEnd = threadCount();
      stop();
    }
  });
  EXPECT_LE(atEnd, own);
}

TEST_F(LiveLoop, GoWhileRunningStartsNoSecondLoopAndAPageChangeEndsIt) {
  LiveMonitor& live = part<LiveMonitor>(*window);
  const long frames = go([&](long k) {
    if (k == 2) live.CBF_ButtonGo();  // returns at once: the running loop goes on
    if (k == 4) window->setActivePage(kPageConnection);
  });
  EXPECT_EQ(frames, 4);
  EXPECT_FALSE(live.isRunning());
  EXPECT_TRUE(session.link.state().linkUp);
}

TEST_F(LiveLoop, StopWhileWaitingStillShowsTheFrameInFlight) {
  onDataRequest(3, [this] { stop(); });
  const long frames = go([](long) {});
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(session.CurrentFrame[FrameWord::Red], 30);
  EXPECT_EQ(redShown(), QStringLiteral("30"));
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_FALSE(part<ConnectionPage>(*window).messages().contains(QStringLiteral("TIMEOUT")));
}

TEST_F(LiveLoop, SendDuringGoGoesOutBetweenTwoFramesAndAcquisitionGoesOn) {
  session.target = TransferTarget::Ram;
  sensor.model().clearRequestLog();
  const long frames = go([&](long k) {
    if (k == 2) find<QPushButton>("ButtonSend")->click();
    if (k == 5) stop();
  });
  EXPECT_EQ(frames, 5);
  const std::vector<int> expected = {ORDER_GET_DATA,   ORDER_GET_DATA,   ORDER_WRITE_PARA,
                                     ORDER_WRITE_PARA, ORDER_WRITE_PARA, ORDER_GET_DATA,
                                     ORDER_GET_DATA,   ORDER_GET_DATA};
  EXPECT_EQ(ordersSinceCleared(), expected);
  EXPECT_EQ(sensor.model().ramSet(0), session.working);
  EXPECT_FALSE(session.pendingSend);
  EXPECT_EQ(redShown(), redOfFrame(5));
}

TEST_F(LiveLoop, GetDuringGoRefreshesThePanelsBetweenTwoFrames) {
  ParaSet set = sensor.model().ramSet(0);
  set.record[ParaWord::CalculationMode] = 3;
  sensor.model().setRamSet(0, set);
  sensor.model().clearRequestLog();
  const long frames = go([&](long k) {
    if (k == 1) find<QPushButton>("ButtonGet")->click();
    if (k == 3) stop();
  });
  EXPECT_EQ(frames, 3);
  const std::vector<int> expected = {ORDER_GET_DATA,  ORDER_READ_PARA, ORDER_READ_PARA,
                                     ORDER_READ_PARA, ORDER_GET_DATA,  ORDER_GET_DATA};
  EXPECT_EQ(ordersSinceCleared(), expected);
  EXPECT_EQ(session.working.record[ParaWord::CalculationMode], 3);
  EXPECT_EQ(part<DataPanel>(*window).xDisplay()->caption(), QStringLiteral("s"));
}

TEST_F(LiveLoop, AFailedExchangeEndsGoAndLeavesTheLastFrameShown) {
  std::string error;
  sensor.host().setFaultRules(
      {*sim::parseFaultRule("order=8,index=3,kind=bad-header-crc", &error)});
  const long frames = go([](long) {});
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(redShown(), redOfFrame(2));
  EXPECT_EQ(session.CurrentFrame[FrameWord::Red], 20);
  EXPECT_FALSE(session.link.state().linkUp);
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().contains(
      QStringLiteral("RECEIVED HEADER FRAME IS INCORRECT!")));
  EXPECT_EQ(window->activePage(), kPageConnection);
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
}

TEST_F(LiveLoop, ClosingTheWindowDuringGoEndsTheProgramOnlyAfterTheLoopReturned) {
  LiveMonitor& live = part<LiveMonitor>(*window);
  QSignalSpy end(window.get(), &MainWindow::programEndRequested);
  bool runningAtEnd = true;
  QObject::connect(window.get(), &MainWindow::programEndRequested,
                   [&] { runningAtEnd = live.isRunning(); });
  int endsWhileWaiting = -1;
  onDataRequest(3, [&] {
    window->close();
    endsWhileWaiting = static_cast<int>(end.size());
  });
  const long frames = go([](long) {});
  EXPECT_EQ(endsWhileWaiting, 0);
  EXPECT_EQ(frames, 3);  // the frame in flight is still shown
  EXPECT_EQ(end.size(), 1);
  EXPECT_FALSE(runningAtEnd);
  EXPECT_FALSE(session.RunFlag.isSet());
  // The settings were stored on closing.
  EXPECT_NE(drq::test::readFileBytes(settingsPath()).find("[PANEL POSITION]"), std::string::npos);
}

TEST_F(LiveLoopOffline, GoWithoutALinkEndsAtOnce) {
  startOffline();
  const long before = part<LiveMonitor>(*window).framesShown();
  part<LiveMonitor>(*window).CBF_ButtonGo();
  EXPECT_EQ(part<LiveMonitor>(*window).framesShown(), before);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().contains(QStringLiteral("TIMEOUT!")));
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
}

TEST_F(LiveLoop, DemoScreenshotsShowTheGraphPagesWithLiveData) {
  sensor.model().setScriptedFrames({});  // the demo target's path
  drq::test::TempDir shots;
  const QString dirPath = QString::fromStdString(shots.path().string());
  const QStringList written = renderScreenshots(*window, QDir(dirPath), &sensor, &popups);
  for (const char* name : {"datap-0-rgb.png", "datap-1-intensity.png", "datap-2-2d.png",
                           "datap-3-3d.png", "recorder.png"}) {
    EXPECT_TRUE(written.contains(QDir(dirPath).filePath(QLatin1String(name)))) << name;
  }
  EXPECT_GT(part<LiveMonitor>(*window).framesShown(), 600);
  // The sensor's demo colours were taught and read back.
  EXPECT_GT(session.working.table[1].cell(0), 10);
  EXPECT_EQ(sensor.host().clockMode(), sim::SensorHost::ClockMode::WallClock);
}

}  // namespace
}  // namespace drq::gui::test
