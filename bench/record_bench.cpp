// Recorder benchmark: triggered recording (automatic sending) against the
// virtual sensor over loopback TCP, in one run:
//   1. the sensor, on a thread of its own, pushes N frames as fast as it can
//      (its model time stepped one trigger period per push, no pacing); the
//      core's triggered recording appends each one to a record file (one
//      open, append and close per line, as always). Printed: frames pushed,
//      appended, lost (gaps in the frames' event numbers), appended / pushed
//      and frames per second;
//   2. the CPU the recording uses while it waits for a trigger that never
//      comes (the sensor's trigger period set to a day);
//   3. the same two through the recorder page of the main window (offscreen,
//      the signal graph shown, every display updating per frame).
//
// Goals: appended / pushed = 1.0 (none lost); under 1 % of a core while
// waiting.
//
// Usage: record_bench [FRAMES, default 20000] [WAIT SECONDS, default 3]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <ctime>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>

#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "core/record/Recorder.h"
#include "core/util/CpuTime.h"
#include "gui/pages/RecorderPage.h"
#include "gui/shell/MainWindow.h"
#include "link/LinkSetup.h"
#include "sim/EmbeddedSensor.h"
#include "sim/SensorHost.h"
#include "sim/SensorModel.h"

namespace {

class QuietReport final : public drq::FailureReport {
 public:
  void linkFailed(std::string_view message) override { last = std::string(message); }
  std::string last;
};

// The virtual sensor on its own thread. With `pushLimit` > 0 its clock is
// stepped by hand: once automatic sending runs, one trigger period per step,
// as fast as the thread goes, until `pushLimit` frames were pushed.
class SensorThread {
 public:
  SensorThread(std::uint32_t periodMs, std::uint32_t pushLimit) {
    std::promise<quint16> port;
    auto portReady = port.get_future();
    thread_.reset(QThread::create([this, periodMs, pushLimit, &port] {
      drq::sim::EmbeddedSensor sensor;
      sensor.model().setAutoSendPeriodMs(periodMs);
      if (pushLimit > 0) sensor.host().setClockMode(drq::sim::SensorHost::ClockMode::Manual);
      if (!sensor.start()) {
        port.set_value(0);
        return;
      }
      QTimer stepper;
      std::uint32_t pushed = 0;
      QObject::connect(&stepper, &QTimer::timeout, &stepper, [&] {
        if (!sensor.model().autoSending() || pushed >= pushLimit) return;
        // A few steps per pass, so that the socket gets written meanwhile.
        for (int i = 0; i < 16 && pushed < pushLimit; ++i, ++pushed)
          sensor.host().advance(std::uint64_t{periodMs} * 1000);
      });
      if (pushLimit > 0) stepper.start(0);
      port.set_value(sensor.port());
      QEventLoop loop;
      QObject::connect(QThread::currentThread(), &QThread::finished, &loop, &QEventLoop::quit);
      quit_ = &loop;
      loop.exec();
    }));
    thread_->start();
    port_ = portReady.get();
  }
  ~SensorThread() {
    if (thread_) {
      if (quit_) QMetaObject::invokeMethod(quit_, &QEventLoop::quit, Qt::QueuedConnection);
      thread_->wait();
    }
  }
  quint16 port() const { return port_; }

 private:
  std::unique_ptr<QThread> thread_;
  std::atomic<QEventLoop*> quit_{nullptr};
  quint16 port_ = 0;
};

// Counts the frames, checks their event numbers for gaps and ends the
// recording after `limit` frames.
class BenchHooks final : public drq::RecorderHooks {
 public:
  BenchHooks(drq::Session& session, double limit) : session_(session), limit_(limit) {}
  std::uint16_t recordMode() override { return 3; }
  void frameRecorded() override {
    const std::uint16_t event = session_.link.responseArgument();
    if (frames == 0) {
      timer.start();
    } else if (event != static_cast<std::uint16_t>(lastEvent + 1)) {
      lost += static_cast<std::uint16_t>(event - lastEvent - 1);
    }
    lastEvent = event;
    ++frames;
    elapsedToLast = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
  }
  void countersChanged(const drq::RecordCounters& counters) override {
    if (limit_ > 0 && counters.runCounter >= limit_) session_.RunFlag.clear();
  }

  long frames = 0;
  long lost = 0;
  std::uint16_t lastEvent = 0;
  QElapsedTimer timer;
  double elapsedToLast = 0;

 private:
  drq::Session& session_;
  double limit_;
};

bool connectTo(drq::Session& session, quint16 port) {
  drq::LinkState& state = session.link.state();
  state.protocol = drq::kProtocolTcp;
  state.serverAddress = "127.0.0.1";
  state.serverPort = port;
  if (drq::InitTCP_IP(session.link) != 0) return false;
  state.linkUp = true;
  return true;
}

// The main window, offscreen, connected to the sensor on `port`, its recorder
// page in triggered mode and the signal graph in the display area. Records
// until `limit` frames, or (limit 0) for `seconds` while measuring the CPU of
// this thread.
struct GuiRun {
  long frames = 0;
  long lost = 0;
  double framesPerSecond = 0;
  double cpuShare = 0;
  bool saved = false;
};

GuiRun runGuiRecording(quint16 port, long limit, double seconds) {
  GuiRun result;
  QTemporaryDir dir;
  drq::Session session;
  drq::gui::ScriptedPopups popups;
  drq::gui::StartOptions options;
  options.programDir = dir.path().toStdString();
  options.demo = drq::gui::StartOptions::Demo{QStringLiteral("127.0.0.1"), port};
  drq::gui::MainWindow window(session, popups, options);
  window.InitAll();
  if (!session.link.state().linkUp) {
    window.CleanUp();
    return result;
  }
  window.show();
  window.setActivePage(drq::kPageRecorder);
  auto* page = dynamic_cast<drq::gui::RecorderPage*>(window.page(drq::kPageRecorder));
  page->modeSelector()->setValue(static_cast<std::uint16_t>(drq::RecordMode::Triggered));
  page->CBF_EditSelectDataRec();
  page->CBF_ButtonShowGraph();
  QCoreApplication::processEvents();

  std::uint16_t lastEvent = 0;
  QElapsedTimer timer;
  double elapsedToLast = 0;
  QObject::connect(page, &drq::gui::RecorderPage::recordedFrameShown, page, [&] {
    const std::uint16_t event = session.link.responseArgument();
    if (result.frames == 0) {
      timer.start();
    } else if (event != static_cast<std::uint16_t>(lastEvent + 1)) {
      result.lost += static_cast<std::uint16_t>(event - lastEvent - 1);
    }
    lastEvent = event;
    elapsedToLast = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
    ++result.frames;
    if (limit > 0 && result.frames >= limit) page->CBF_ButtonStopRecord();
  });
  double cpu0 = 0;
  QElapsedTimer wall;
  if (limit == 0) {
    QTimer::singleShot(200, page, [&] {
      cpu0 = drq::threadCpuSeconds();
      wall.start();
      QTimer::singleShot(static_cast<int>(seconds * 1000), page, [&] { session.RunFlag.clear(); });
    });
  }
  QTimer::singleShot(60000, page, [&] { session.RunFlag.clear(); });
  popups.answerConfirm(true);
  page->CBF_ButtonStartTrigRec();
  if (limit == 0) {
    result.cpuShare =
        (drq::threadCpuSeconds() - cpu0) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
  } else if (elapsedToLast > 0) {
    result.framesPerSecond = static_cast<double>(result.frames - 1) / elapsedToLast;
  }
  result.saved = popups.texts().contains(QString::fromLatin1(drq::gui::recorder_text::kFileSaved));
  window.CleanUp();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long frames = argc > 1 ? std::atol(argv[1]) : 20000;
  const double waitSeconds = argc > 2 ? std::atof(argv[2]) : 3.0;
  if (frames <= 0 || frames > 60000 || waitSeconds <= 0) {
    std::fprintf(stderr, "usage: record_bench [FRAMES 1..60000] [WAIT SECONDS]\n");
    return 2;
  }
  QTemporaryDir dir;
  const drq::LocalWallClock wallClock;
  QuietReport report;

  // 1. Frames pushed as fast as the sensor can.
  {
    SensorThread sensor(1, static_cast<std::uint32_t>(frames));
    drq::Session session;
    session.link.setFailureReport(&report);
    session.recordFile = dir.filePath(QStringLiteral("bench.dat")).toStdString();
    if (sensor.port() == 0 || !connectTo(session, sensor.port())) {
      std::fprintf(stderr, "cannot reach the virtual sensor: %s\n", report.last.c_str());
      return 1;
    }
    BenchHooks hooks(session, static_cast<double>(frames));
    drq::Recorder recorder(session, hooks, session.clock, wallClock);
    // A stalled stream must not hang the benchmark.
    QTimer::singleShot(60000, &app, [&] { session.RunFlag.clear(); });
    const drq::RecordOutcome outcome = recorder.TriggeredRecord();
    drq::closeLink(session.link);
    const double appendedShare = static_cast<double>(hooks.frames) / static_cast<double>(frames);
    const double fps =
        hooks.elapsedToLast > 0 ? static_cast<double>(hooks.frames - 1) / hooks.elapsedToLast : 0;
    std::printf("triggered recording, sensor pushing as fast as it can (loopback TCP)\n");
    std::printf("  pushed %ld, appended %ld, lost %ld, appended/pushed %.4f (goal 1.0)\n", frames,
                hooks.frames, hooks.lost, appendedShare);
    std::printf("  %.0f frames/s appended, one open/append/close per line\n", fps);
    if (outcome != drq::RecordOutcome::Ended)
      std::printf("  ended with a failure: %s\n", report.last.c_str());
  }

  // 2. Waiting for a trigger that never comes.
  {
    SensorThread sensor(86400u * 1000u, 0);
    drq::Session session;
    session.link.setFailureReport(&report);
    session.recordFile = dir.filePath(QStringLiteral("idle.dat")).toStdString();
    if (sensor.port() == 0 || !connectTo(session, sensor.port())) {
      std::fprintf(stderr, "cannot reach the virtual sensor: %s\n", report.last.c_str());
      return 1;
    }
    BenchHooks hooks(session, 0);
    drq::Recorder recorder(session, hooks, session.clock, wallClock);
    double cpu0 = 0;
    QElapsedTimer wall;
    // Measure from the moment the stream has been started.
    QTimer::singleShot(200, &app, [&] {
      cpu0 = drq::threadCpuSeconds();
      wall.start();
      QTimer::singleShot(static_cast<int>(waitSeconds * 1000), &app,
                         [&] { session.RunFlag.clear(); });
    });
    recorder.TriggeredRecord();
    const double cpu = drq::threadCpuSeconds() - cpu0;
    const double seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
    drq::closeLink(session.link);
    std::printf("waiting %.1f s for a trigger that never comes\n", seconds);
    std::printf("  CPU %.3f %% of a core (goal under 1 %%), %ld frames\n", 100.0 * cpu / seconds,
                hooks.frames);
  }

  // 3. The same through the recorder page.
  {
    SensorThread sensor(1, static_cast<std::uint32_t>(frames));
    const GuiRun r = runGuiRecording(sensor.port(), frames, 0);
    std::printf("the recorder page (offscreen, signal graph shown), sensor as fast as it can\n");
    std::printf("  pushed %ld, appended %ld, lost %ld, appended/pushed %.4f, %.0f frames/s%s\n",
                frames, r.frames, r.lost,
                static_cast<double>(r.frames) / static_cast<double>(frames), r.framesPerSecond,
                r.saved ? "" : " (did not end normally)");
  }
  {
    SensorThread sensor(86400u * 1000u, 0);
    const GuiRun r = runGuiRecording(sensor.port(), 0, waitSeconds);
    std::printf("the recorder page waiting for a trigger that never comes\n");
    std::printf("  CPU %.3f %% of a core (goal under 1 %%)\n", 100.0 * r.cpuShare);
  }
  return 0;
}
