// Graph teach benchmark: three recordings of 60000 samples each through the
// graph teach panel (TEACHP2, offscreen, its three views updating at the
// screen's pace; RESET between them) against the virtual sensor over loopback
// TCP, compared with `drqctl watch` against the same sensor in the same run,
// then the cursor stepped by key through the full table.
//
//   late/early     the recording rate over the last 5000 samples divided by
//                  the rate over the first 5000, the median of the three
//                  recordings (goal >= 0.8: drawing does not slow down as the
//                  views fill up; windows of 5000 and the median, so that one
//                  pause of the scheduler cannot decide it)
//   watch-ratio    the median overall recording rate divided by watch's rate
//                  (goal >= 0.8)
//   rss-growth-mb  growth of resident memory over the three recordings
//                  (goal <= 30)
//   step-ms        the mean time of one arrow key in the X/Y view with 60000
//                  samples, from the last sample backwards and from the middle
//                  forwards, until the cursor and displays show the new sample
//                  (goal < 1)
//
// The last line is
// `teach_bench: late/early=R watch-ratio=W rss-growth-mb=M step-ms=S`.
//
// Usage: teach_bench [WATCH FRAMES, default 20000]
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ScriptedPopups.h"
#include "cli/Cli.h"
#include "core/Session.h"
#include "core/util/ResidentMemory.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/SampleScatterView.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/shell/MainWindow.h"
#include "sim/EmbeddedSensor.h"

namespace {

constexpr std::size_t kWindowSamples = 5000;
constexpr int kRuns = 3;
// Key steps in each of the two directions.
constexpr int kSteps = 100;

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

double median(std::array<double, kRuns> values) {
  std::sort(values.begin(), values.end());
  return values[kRuns / 2];
}

// One key press on `view`, handled at once (the cursor and the displays
// follow before it returns); milliseconds.
double keyStep(QWidget& view, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QElapsedTimer timer;
  timer.start();
  QCoreApplication::sendEvent(&view, &press);
  return static_cast<double>(timer.nsecsElapsed()) * 1e-6;
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

  // watch's rate: the mean of a run before and one after the recordings, so
  // that a change of the machine's load during the run weighs on both sides.
  const double watchBefore = watchRate(sensor.port(), watchFrames / 2);
  if (watchBefore <= 0) return 1;

  std::array<double, kRuns> lateEarly{};
  std::array<double, kRuns> overall{};
  const double rss0 = (static_cast<double>(drq::residentMemoryKb()) / 1024.0);
  for (int run = 0; run < kRuns; ++run) {
    if (run > 0) {
      popups.answerConfirm(true);
      panel->CBF_ButtonTP2Reset();
    }
    times.clear();
    const long full0 = scheduler.fullReplots();
    const long layer0 = scheduler.layerReplots();
    panel->CBF_ButtonTP2Start();
    if (times.size() != drq::kGraphTeachSamples) {
      std::fprintf(stderr, "recording %d ended after %zu samples\n", run + 1, times.size());
      return 1;
    }
    const std::size_t n = times.size();
    const double early = rateOver(times, 0, kWindowSamples);
    const double late = rateOver(times, n - 1 - kWindowSamples, n - 1);
    const double seconds = static_cast<double>(times.back()) * 1e-9;
    const auto r = static_cast<std::size_t>(run);
    lateEarly[r] = early > 0 ? late / early : 0;
    overall[r] = rateOver(times, 0, n - 1);
    std::printf("graph teach, recording %d: %zu samples in %.2f s\n", run + 1, n, seconds);
    std::printf("  rate, first / last %zu samples %9.0f / %.0f samples/s (%.2f)\n", kWindowSamples,
                early, late, lateEarly[r]);
    std::printf("  rate, overall                 %9.0f samples/s\n", overall[r]);
    std::printf("  replots                       %9.1f full, %.1f single-layer per second\n",
                static_cast<double>(scheduler.fullReplots() - full0) / seconds,
                static_cast<double>(scheduler.layerReplots() - layer0) / seconds);
  }
  const double rss1 = (static_cast<double>(drq::residentMemoryKb()) / 1024.0);
  std::printf("resident memory                 %9.1f MiB -> %.1f MiB\n", rss0, rss1);

  const double watchAfter = watchRate(sensor.port(), watchFrames / 2);
  if (watchAfter <= 0) return 1;
  const double watch = (watchBefore + watchAfter) / 2;
  std::printf("drqctl watch, before / after    %9.0f / %.0f frames/s\n", watchBefore, watchAfter);

  // The cursor stepped by key through the full table: backwards from the
  // last sample, forwards from the middle one.
  drq::gui::SampleScatterView& view = panel->view(0);
  std::vector<double> steps;
  keyStep(view, Qt::Key_End);
  const auto last = view.cursorSample();
  for (int k = 0; k < kSteps; ++k) steps.push_back(keyStep(view, Qt::Key_Left));
  const auto back = view.cursorSample();
  view.showSample(drq::kGraphTeachSamples / 2);
  for (int k = 0; k < kSteps; ++k) steps.push_back(keyStep(view, Qt::Key_Right));
  const auto forth = view.cursorSample();
  if (!last || !back || !forth || *back >= *last || *forth <= drq::kGraphTeachSamples / 2) {
    std::fprintf(stderr, "the arrow keys did not move the cursor\n");
    return 1;
  }
  std::printf("key steps moved the cursor      %9zu -> %zu, %zu -> %zu\n", *last, *back,
              drq::kGraphTeachSamples / 2, *forth);
  double stepSum = 0;
  for (const double ms : steps) stepSum += ms;
  const double stepMean = stepSum / static_cast<double>(steps.size());
  std::printf("key step, %zu steps               %9.3f ms mean, %.3f ms slowest\n", steps.size(),
              stepMean, *std::max_element(steps.begin(), steps.end()));
  std::printf("goals: late/early >= 0.8, watch-ratio >= 0.8, rss-growth-mb <= 30, step-ms < 1\n");

  window->CleanUp();
  std::printf("teach_bench: late/early=%.2f watch-ratio=%.2f rss-growth-mb=%.1f step-ms=%.3f\n",
              median(lateEarly), median(overall) / watch, rss1 - rss0, stepMean);
  return 0;
}
