#include "app/Screenshots.h"

#include "app/ScreenshotWriter.h"
#include "gui/shell/WindowParts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPdfWriter>
#include <QTabWidget>
#include <QTimer>

#include "app/ScriptedPopups.h"
#include "app/TeachPanelShots.h"
#include "core/Session.h"
#include "core/params/Modes.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/RecorderPage.h"
#include "gui/pages/ScopePage.h"
#include "gui/pages/TabPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/panels/ScopeGraphPanel.h"
#include "gui/panels/ScopePlot.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/printing/ScopeReport.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/TransferBar.h"
#include "sim/DemoColours.h"
#include "sim/EmbeddedSensor.h"
#include "sim/SensorHost.h"

namespace drq::gui {

namespace {

// --- Live pictures of the display panel -------------------------------------------

// Size of the window for the pictures of the display panel's graph pages.
constexpr int kLiveShotWidth = 1180;
constexpr int kLiveShotHeight = 740;
// Frames of live data behind each picture, and the sensor's time per frame:
// the strip charts then span about four seconds of the demo target's path.
constexpr int kLiveShotFrames = 340;
constexpr std::uint64_t kLiveShotStepMicros = 40000;
// The recording behind recorder.png: one trigger event every 150 ms of the
// sensor's time, so the frames follow the demo colours.
constexpr std::uint32_t kRecordShotPeriodMs = 150;
constexpr int kRecordShotFrames = 120;
// GO for a number of frames, the sensor's clock moving on with each frame.
void runLiveFrames(MainWindow& window, sim::EmbeddedSensor& sensor, int frames) {
  LiveMonitor& live = part<LiveMonitor>(window);
  int shown = 0;
  const QMetaObject::Connection step = QObject::connect(&live, &LiveMonitor::frameShown, [&] {
    sensor.host().advance(kLiveShotStepMicros);
    if (++shown >= frames) live.CBF_ButtonStop();
  });
  live.CBF_ButtonGo();
  QObject::disconnect(step);
}

bool saveDataPage(MainWindow& window, int page, ScreenshotWriter& shots) {
  QTabWidget* pages = part<DataPanel>(window).pages();
  pages->setCurrentIndex(page);
  ScreenshotWriter::settle();
  part<DataPanel>(window).replotScheduler().flush();
  ScreenshotWriter::settle();
  const QString name =
      QStringLiteral("datap-%1-%2.png").arg(page).arg(ScreenshotWriter::slug(pages->tabText(page)));
  return shots.save(part<DataPanel>(window), name);
}

// The four graph pages of the display panel with live data from the demo
// sensor: the first three in calculation mode X Y INT 2D, the 3D page in
// X Y INT 3D.
bool renderLivePages(MainWindow& window, sim::EmbeddedSensor& sensor, ScreenshotWriter& shots) {
  Session& session = window.session();
  const QSize size = window.size();
  window.resize(kLiveShotWidth, kLiveShotHeight);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  bool ok = true;
  for (const std::uint16_t mode :
       {code(CalculationMode::XyInt2d), code(CalculationMode::XyInt3d)}) {
    session.RowColors = sim::teachDemoColours(sensor.model(), mode);
    window.applyRowColors();
    session.target = TransferTarget::Ram;
    part<TransferBar>(window).CBF_ButtonGet();
    part<DataPanel>(window).pages()->setCurrentIndex(is2dCalcMode(mode) ? kDataPage2dGraph
                                                                        : kDataPage3dGraph);
    runLiveFrames(window, sensor, kLiveShotFrames);
    if (is2dCalcMode(mode)) {
      for (int page : {kDataPageRgbChart, kDataPageIntensityChart, kDataPage2dGraph}) {
        ok = ok && saveDataPage(window, page, shots);
      }
    } else {
      ok = ok && saveDataPage(window, kDataPage3dGraph, shots);
    }
  }
  // The calibration page keeps the raw values of the last frame.
  window.setActivePage(kPageCalibration);
  ScreenshotWriter::settle();
  ok = ok && shots.save(window, QStringLiteral("page-5-calibration-live.png"));
  window.setActivePage(kPageConnection);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::WallClock);
  window.resize(size);
  return ok;
}

// A triggered recording of the demo sensor's frames: the recorder page beside
// the signal graph panel with the recorded course (recorder.png).
bool renderRecording(MainWindow& window, sim::EmbeddedSensor& sensor, ScriptedPopups* scripted,
                     ScreenshotWriter& shots) {
  auto* page = dynamic_cast<RecorderPage*>(window.page(kPageRecorder));
  if (scripted == nullptr || page == nullptr) return true;
  const QSize size = window.size();
  window.resize(kLiveShotWidth, kLiveShotHeight);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  sensor.model().setAutoSendPeriodMs(kRecordShotPeriodMs);
  window.setActivePage(kPageRecorder);
  page->modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Triggered));
  page->CBF_EditSelectDataRec();
  // One trigger event at a time: the sensor's clock moves on once the
  // previous frame has been recorded.
  int pushed = 0;
  int recorded = 0;
  QTimer trigger;
  trigger.setInterval(0);
  QObject::connect(&trigger, &QTimer::timeout, &trigger, [&] {
    if (!sensor.model().autoSending() || pushed > recorded) return;
    ++pushed;
    sensor.host().advance(std::uint64_t{kRecordShotPeriodMs} * 1000);
  });
  const QMetaObject::Connection counting =
      QObject::connect(page, &RecorderPage::recordedFrameShown, [&] {
        if (++recorded >= kRecordShotFrames) page->CBF_ButtonStopRecord();
      });
  scripted->answerConfirm(true);
  trigger.start();
  page->CBF_ButtonStartTrigRec();
  trigger.stop();
  QObject::disconnect(counting);
  page->CBF_ButtonShowGraph();
  ScreenshotWriter::settle();
  part<SignalGraphPanel>(window).replotScheduler().flush();
  ScreenshotWriter::settle();
  const bool ok = shots.save(window, QStringLiteral("recorder.png"));
  sensor.model().setAutoSendPeriodMs(sim::kDefaultAutoSendPeriodMs);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::WallClock);
  window.ShowChildPanelDisp(ChildPanel::DATAP);
  window.setActivePage(kPageConnection);
  window.resize(size);
  return ok;
}

// One scope capture of the demo sensor (a single shot over about 2.6 s, so
// that the target moves to its next colour) with the cursors around the
// change, and its printout as a PDF (scope-printout.pdf).
bool renderScopeCapture(MainWindow& window, ScreenshotWriter& shots) {
  auto* page = dynamic_cast<ScopePage*>(window.page(kPageScope));
  auto* panel = dynamic_cast<ScopeGraphPanel*>(window.childPanelWidget(ChildPanel::SCOPEP));
  if (!page || !panel) return false;
  const QSize size = window.size();
  window.resize(kLiveShotWidth, kLiveShotHeight);
  window.setActivePage(kPageScope);
  page->CBF_ButtonGetCycleTime();
  page->scanRateField().setValue(40);
  page->commentBox().setPlainText(QStringLiteral("Demo sensor: one colour change."));
  page->CBF_ButtonScan();
  panel->analogueGraph().setCursor(0, {30, 1200});
  panel->analogueGraph().setCursor(1, {90, 2600});
  page->calcScopDeltaXY();
  panel->analogueGraph().replot();
  panel->digitalGraph().replot();
  ScreenshotWriter::settle();
  bool ok = shots.save(window, QStringLiteral("scope-capture.png"));

  const ScopeReport report = page->currentReport();
  QPdfWriter pdf(shots.directory().filePath(QStringLiteral("scope-printout.pdf")));
  pdf.setResolution(300);
  ok = ok && paintScopeReport(report, pdf, QDateTime::currentDateTime()) == 1;
  window.resize(size);
  window.setActivePage(kPageConnection);
  return ok;
}

// --- The window, its pages and panels ----------------------------------------------

bool renderMainPages(MainWindow& window, ScreenshotWriter& shots) {
  if (!shots.save(window, QStringLiteral("main.png"))) return false;

  // The offset page is shown only for its own picture, as operators see it
  // only after unlocking it.
  const bool offsetVisible = window.isPageVisible(kPageOffset);
  for (int page = 0; page < kMainPageCount; ++page) {
    window.setPageVisible(kPageOffset, offsetVisible || page == kPageOffset);
    window.setActivePage(page);
    ScreenshotWriter::settle();
    const QString name = QStringLiteral("page-%1-%2.png")
                             .arg(page)
                             .arg(ScreenshotWriter::slug(window.page(page)->tabLabel()));
    if (!shots.save(window, name)) return false;
  }
  window.setPageVisible(kPageOffset, offsetVisible);
  window.setActivePage(kPageConnection);
  return true;
}

bool renderChildPanels(MainWindow& window, ScreenshotWriter& shots) {
  const struct {
    ChildPanel panel;
    const char* name;
  } panels[] = {{ChildPanel::DATAP, "datap"},
                {ChildPanel::GRAPHP, "graphp"},
                {ChildPanel::TEACHP1, "teachp1"},
                {ChildPanel::TEACHP2, "teachp2"},
                {ChildPanel::SCOPEP, "scopep"}};
  for (const auto& entry : panels) {
    window.ShowChildPanelDisp(entry.panel);
    ScreenshotWriter::settle();
    if (!shots.save(window, QStringLiteral("panel-%1.png").arg(QLatin1String(entry.name)))) {
      return false;
    }
  }
  window.ShowChildPanelDisp(ChildPanel::DATAP);
  QTabWidget* dataPages = part<DataPanel>(window).pages();
  for (int page = 0; page < dataPages->count(); ++page) {
    dataPages->setCurrentIndex(page);
    ScreenshotWriter::settle();
    const QString name = QStringLiteral("panel-datap-%1-%2.png")
                             .arg(page)
                             .arg(ScreenshotWriter::slug(dataPages->tabText(page)));
    if (!shots.save(part<DataPanel>(window), name)) return false;
  }
  return true;
}

bool renderTopLevelPanels(MainWindow& window, ScreenshotWriter& shots) {
  const struct {
    QWidget* widget;
    const char* name;
  } topLevels[] = {{&part<BigColorPanel>(window), "colbigp.png"},
                   {&part<BigGroupPanel>(window), "grpbigp.png"},
                   {&part<PasswordPanel>(window), "passwordp.png"}};
  for (const auto& entry : topLevels) {
    entry.widget->setAttribute(Qt::WA_DontShowOnScreen, true);
    entry.widget->show();
    ScreenshotWriter::settle();
    const bool ok = shots.save(*entry.widget, QLatin1String(entry.name));
    entry.widget->hide();
    if (!ok) return false;
  }
  return true;
}

}  // namespace

QStringList renderScreenshots(MainWindow& window, const QDir& dir, sim::EmbeddedSensor* demo,
                              ScriptedPopups* answers) {
  if (!QDir().mkpath(dir.absolutePath())) return {};
  ScreenshotWriter shots(dir);
  window.show();
  ScreenshotWriter::settle();
  // Each step renders one group of pictures; add a panel's pictures as a
  // step of its own (or inside the group it belongs to).
  const bool ok =
      renderMainPages(window, shots) && renderChildPanels(window, shots) &&
      renderTopLevelPanels(window, shots) &&
      (!demo || !window.session().link.state().linkUp ||
       (renderLivePages(window, *demo, shots) && renderRecording(window, *demo, answers, shots) &&
        renderTeachPanels(window, *demo, shots) && renderScopeCapture(window, shots)));
  return ok ? shots.written() : QStringList{};
}

}  // namespace drq::gui
