// Graph teach benchmark: 60000 samples recorded through the graph teach panel
// (TEACHP2, offscreen, its three views updating at the screen's pace) against
// the virtual sensor over loopback TCP, compared with `drqctl watch` against
// the same sensor in the same run.
//
//   late/early     the recording rate over the last 1000 samples divided by
//                  the rate over the first 1000 (goal >= 0.8: drawing does not
//                  slow down as the views fill up)
//   watch-ratio    the overall recording rate divided by watch's rate
//                  (goal >= 0.8)
//   rss-growth-mb  growth of resident memory over the recording (goal <= 30)
//
// The last line is `teach_bench: late/early=R watch-ratio=W rss-growth-mb=M`.
//
// Usage: teach_bench [WATCH FRAMES, default 20000]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/Session.h"
#include "core/util/ResidentMemory.h"
#include "gui/MainWindow.h"
#include "gui/ScriptedPopups.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/panels/GraphTeachPanel.h"
#include "sim/EmbeddedSensor.h"

namespace {

constexpr std::size_t kWindowSamples = 1000;

// `drqctl watch --count frames` in this process, its lines going to /dev/null;
// frames per second, or a negative value on failure.
double watchRate(quint16 port, long frames) {
  std::ofstream sink("/dev/null");
  std::ostringstream err;
  const std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(port), "watch",
                                         "--count", std::to_string(frames)};
  QElapsedTimer timer;
  timer.start();
  if (drq::cli::runCli(args, sink, err) != 0) {
    std::fprintf(stderr, "drqctl watch failed: %s\n", err.str().c_str());
    return -1;
  }
  return static_cast<double>(frames) / (static_cast<double>(timer.nsecsElapsed()) * 1e-9);
}

double rateOver(const std::vector<qint64>& times, std::size_t first, std::size_t last) {
  const double seconds = static_cast<double>(times[last] - times[first]) * 1e-9;
  return seconds > 0 ? static_cast<double>(last - first) / seconds : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long watchFrames = argc > 1 ? std::atol(argv[1]) : 20000;
  if (watchFrames < 2) {
    std::fprintf(stderr, "usage: teach_bench [WATCH FRAMES]\n");
    return 2;
  }

  drq::sim::EmbeddedSensor sensor;
  if (!sensor.start()) {
    std::fprintf(stderr, "virtual sensor: %s\n", qPrintable(sensor.errorString()));
    return 1;
  }

  // The main window as the demo mode starts it, with the graph teach panel
  // shown in its display area.
  QTemporaryDir dir;
  drq::Session session;
  drq::gui::ScriptedPopups popups;
  drq::gui::StartOptions options;
  options.programDir = dir.path().toStdString();
  options.demo = drq::gui::StartOptions::Demo{sensor.address(), sensor.port()};
  auto window = std::make_unique<drq::gui::MainWindow>(session, popups, options);
  window->InitAll();
  if (!session.link.state().linkUp) {
    std::fprintf(stderr, "the window could not connect to the virtual sensor\n");
    return 1;
  }
  window->resize(1100, 800);
  window->show();
  window->ShowChildPanelDisp(drq::ChildPanel::TEACHP2);
  auto* panel =
      qobject_cast<drq::gui::GraphTeachPanel*>(window->childPanelWidget(drq::ChildPanel::TEACHP2));
  if (!panel) {
    std::fprintf(stderr, "no graph teach panel\n");
    return 1;
  }
  QCoreApplication::processEvents();

  std::vector<qint64> times;
  times.reserve(drq::kGraphTeachSamples);
  QElapsedTimer clock;
  QObject::connect(panel, &drq::gui::GraphTeachPanel::sampleShown, [&] {
    if (times.empty()) clock.start();
    times.push_back(clock.nsecsElapsed());
  });
  drq::gui::ReplotScheduler& scheduler = panel->replotScheduler();
  const long full0 = scheduler.fullReplots();
  const long layer0 = scheduler.layerReplots();

  // watch's rate: the mean of a run before and one after the recording, so
  // that a change of the machine's load during the run weighs on both sides.
  const double watchBefore = watchRate(sensor.port(), watchFrames / 2);
  if (watchBefore <= 0) return 1;

  const double rss0 = (static_cast<double>(drq::residentMemoryKb()) / 1024.0);
  panel->CBF_ButtonTP2Start();
  const double rss1 = (static_cast<double>(drq::residentMemoryKb()) / 1024.0);

  if (times.size() != drq::kGraphTeachSamples) {
    std::fprintf(stderr, "the recording ended after %zu samples\n", times.size());
    return 1;
  }
  const std::size_t n = times.size();
  const double early = rateOver(times, 0, kWindowSamples);
  const double late = rateOver(times, n - 1 - kWindowSamples, n - 1);
  const double overall = rateOver(times, 0, n - 1);
  const double seconds = static_cast<double>(times.back()) * 1e-9;
  std::printf("graph teach: %zu samples in %.2f s\n", n, seconds);
  std::printf("  rate, first %zu samples       %9.0f samples/s\n", kWindowSamples, early);
  std::printf("  rate, last %zu samples        %9.0f samples/s\n", kWindowSamples, late);
  std::printf("  rate, overall                 %9.0f samples/s\n", overall);
  std::printf("  replots                       %9.1f full, %.1f single-layer per second\n",
              static_cast<double>(scheduler.fullReplots() - full0) / seconds,
              static_cast<double>(scheduler.layerReplots() - layer0) / seconds);
  std::printf("  resident memory               %9.1f MiB -> %.1f MiB\n", rss0, rss1);

  const double watchAfter = watchRate(sensor.port(), watchFrames / 2);
  if (watchAfter <= 0) return 1;
  const double watch = (watchBefore + watchAfter) / 2;
  std::printf("drqctl watch, before / after    %9.0f / %.0f frames/s\n", watchBefore, watchAfter);
  std::printf("goals: late/early >= 0.8, watch-ratio >= 0.8, rss-growth-mb <= 30\n");

  window->CleanUp();
  std::printf("teach_bench: late/early=%.2f watch-ratio=%.2f rss-growth-mb=%.1f\n", late / early,
              overall / watch, rss1 - rss0);
  return 0;
}
