#include "gui/operations/LiveMonitor.h"

#include <QThreadPool>
#include <QTimerEvent>

#include "core/params/Modes.h"

namespace drq::gui {

namespace {

// The intensity bar spans what the intensity can show: M ends at 1200 in the
// s/i/M 2D mode (where the cursor stops), INT at the converter's 4096.
int intensityScaleFor(std::uint16_t calculationMode) {
  return isMode(calculationMode, CalculationMode::Sim2d) ? kMCursorLimit : kIntensityCeiling;
}

// Qt's raster engine spreads large fills over the global thread pool, whose
// idle threads live on for half a minute. While they exist, every socket call
// of the loop takes the kernel's slower path for a file table shared between
// threads (about 3 % of the loop's time, measured). Joining idle threads
// costs next to nothing; a fill in progress is left alone.
void releaseIdlePaintThreads() {
  QThreadPool::globalInstance()->waitForDone(0);
}

}  // namespace

LiveMonitor::LiveMonitor(Session& session, Operations& operations, LiveHost& host, QObject* parent)
    : QObject(parent), session_(session), operations_(operations), host_(host) {
  // The figures of an empty table until the first InitGraphs.
  figures_ = buildTeachFigures(session_.working.table, session_.RowColors, calculationMode());
}

std::uint16_t LiveMonitor::calculationMode() const {
  return session_.working.record[ParaWord::CalculationMode];
}

// --- GO and STOP --------------------------------------------------------------

void LiveMonitor::CBF_ButtonGo() {
  if (running_) return;
  OperationGuard guard = operations_.start(Operation::Live, Dimming::KeepTransfer);
  if (!guard) return;
  running_ = true;
  host_.GetPanelValues();
  host_.showDisplayPanelForLive();
  InitGraphs();
  loop();
  running_ = false;
}

void LiveMonitor::runLiveLoop() {
  if (running_) return;
  running_ = true;
  loop();
  running_ = false;
}

void LiveMonitor::loop() {
  releaseIdlePaintThreads();
  GetData(session_, *this);
  showCurrentFrame();
}

void LiveMonitor::CBF_ButtonStop() {
  session_.RunFlag.clear();
}

void LiveMonitor::sendPara() {
  host_.sendParametersToSensor();
}

void LiveMonitor::getPara() {
  host_.getParametersFromSensor();
}

void LiveMonitor::frameDecoded() {
  showFramePaced();
  ++framesShown_;
  emit frameShown();
}

void LiveMonitor::showFramePaced() {
  // Tens of thousands of frames a second may arrive; a screen shows sixty.
  if (refresh_.isActive()) {
    framePending_ = true;
    return;
  }
  showFrame();
  refresh_.start(kDisplayRefreshMs, Qt::PreciseTimer, this);
}

void LiveMonitor::showCurrentFrame() {
  refresh_.stop();
  if (!framePending_) return;
  framePending_ = false;
  showFrame();
}

void LiveMonitor::timerEvent(QTimerEvent* event) {
  if (event->timerId() != refresh_.timerId()) {
    QObject::timerEvent(event);
    return;
  }
  if (!framePending_) {
    refresh_.stop();  // the frames have stopped: the next one is shown at once
    return;
  }
  framePending_ = false;
  showFrame();
  // The page shown first, or another one chosen since, may have been painted
  // with the pool's help.
  releaseIdlePaintThreads();
}

void LiveMonitor::showFrame() {
  SetPanelCalibData();
  SetPanelData();
  ShowGraph();
}

// --- Per frame ------------------------------------------------------------------

void LiveMonitor::SetPanelCalibData() {
  // RawDelta was computed with the frame (acceptLiveFrame).
  emit rawFrameShown(session_.CurrentFrame, session_.live.RawDelta);
}

void LiveMonitor::SetPanelData() {
  emit liveFrameShown(session_.CurrentFrame, session_.live,
                      outputLedsFollowFrame(session_.working.record));
}

void LiveMonitor::ShowGraph() {
  emit graphsShown(session_.live,
                   graphUpdateFor(figures_.bounds, session_.CurrentFrame, calculationMode()));
}

// --- Teach figures ------------------------------------------------------------------

void LiveMonitor::InitGraphs() {
  InitGraphInt2();
  figures_ = buildTeachFigures(session_.working.table, session_.RowColors, calculationMode());
  emit teachFiguresChanged(figures_);
}

void LiveMonitor::InitGraphInt2() {
  // The band follows the table control, which may differ from the working
  // set (after the table's reset, until the panels are read).
  TeachTable shown = session_.working.table;
  host_.readTeachTableControl(shown);
  InitGraphInt2(shown, host_.selectedTeachRow());
}

void LiveMonitor::InitGraphInt2(const TeachTable& table, int row) {
  const std::uint16_t mode = calculationMode();
  emit intensityBandChanged(intensityScaleFor(mode), intensityBandFor(table, mode, row));
}

// --- Labels and LED ---------------------------------------------------------------

void LiveMonitor::SetDispNames() {
  if (const auto names = dispNamesFor(calculationMode())) emit displayNamesChanged(*names);
}

void LiveMonitor::SetLedTrigVis() {
  emit triggerLedVisibilityChanged(triggerLedVisible(session_.working.record));
}

}  // namespace drq::gui
