#include "app/TeachPanelShots.h"
#include "gui/shell/WindowParts.h"

#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/SampleScatterView.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/shell/MainWindow.h"
#include "sim/EmbeddedSensor.h"
#include "sim/Optics.h"
#include "sim/SensorHost.h"

namespace drq::gui {

namespace {

// The window's size for these pictures (as for the live graph pages).
constexpr int kShotWidth = 1180;
constexpr int kShotHeight = 740;
// Mean-value teach: one capture every few frames of one held colour.
constexpr int kCaptures = 12;
constexpr int kFramesPerCapture = 3;
constexpr std::size_t kHeldColour = 2;  // orange on the demo path
constexpr std::uint64_t kFrameStepMicros = 20000;
// Graph teach: samples along the path, the sensor's clock moving 2 ms each,
// so that they span six seconds (three colours and the slides between them).
constexpr int kSamples = 3000;
constexpr std::uint64_t kSampleStepMicros = 2000;
constexpr std::size_t kSelectedSample = 1200;

bool renderMeanValueTeach(MainWindow& window, sim::EmbeddedSensor& sensor,
                          ScreenshotWriter& shots) {
  sensor.model().setTargetColor(sim::defaultTargetPath().colors[kHeldColour]);
  auto* panel = qobject_cast<MeanTeachPanel*>(window.childPanelWidget(ChildPanel::TEACHP1));
  if (!panel) return false;
  int frames = 0;
  const QMetaObject::Connection step =
      QObject::connect(&part<LiveMonitor>(window), &LiveMonitor::frameShown, [&] {
        sensor.host().advance(kFrameStepMicros);
        if (++frames % kFramesPerCapture != 0) return;
        panel->CBF_ButtonTP1Capture();
        if (frames / kFramesPerCapture >= kCaptures) panel->CBF_ButtonCloseTeachPanel();
      });
  part<TeachTablePage>(window).CBF_ButtonTeachMeanVal();  // returns when the panel is closed
  QObject::disconnect(step);
  window.ShowChildPanelDisp(ChildPanel::TEACHP1);
  ScreenshotWriter::settle();
  return shots.save(window, QStringLiteral("teach-1-mean-value.png"));
}

bool renderGraphTeach(MainWindow& window, sim::EmbeddedSensor& sensor, ScreenshotWriter& shots) {
  sensor.model().setTargetPath(sim::defaultTargetPath());
  auto* panel = qobject_cast<GraphTeachPanel*>(window.childPanelWidget(ChildPanel::TEACHP2));
  if (!panel) return false;
  part<TeachTablePage>(window).CBF_ButtonTeachRecVal();
  const QMetaObject::Connection step = QObject::connect(panel, &GraphTeachPanel::sampleShown, [&] {
    sensor.host().advance(kSampleStepMicros);
    if (panel->samples().count() >= kSamples) part<LiveMonitor>(window).CBF_ButtonStop();
  });
  panel->CBF_ButtonTP2Start();
  QObject::disconnect(step);
  if (panel->samples().count() > kSelectedSample) {
    panel->view(0).showSample(kSelectedSample);
    panel->SetCursorTP2(0);
  }
  ScreenshotWriter::settle();
  panel->replotScheduler().flush();
  ScreenshotWriter::settle();
  return shots.save(window, QStringLiteral("teach-2-graph.png"));
}

}  // namespace

bool renderTeachPanels(MainWindow& window, sim::EmbeddedSensor& sensor, ScreenshotWriter& shots) {
  const QSize size = window.size();
  window.resize(kShotWidth, kShotHeight);
  window.setActivePage(kPageTeachTable);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  const bool ok =
      renderMeanValueTeach(window, sensor, shots) && renderGraphTeach(window, sensor, shots);
  sensor.model().setTargetPath(sim::defaultTargetPath());
  sensor.host().setClockMode(sim::SensorHost::ClockMode::WallClock);
  window.ShowChildPanelDisp(ChildPanel::DATAP);
  window.setActivePage(kPageConnection);
  window.resize(size);
  return ok;
}

}  // namespace drq::gui
