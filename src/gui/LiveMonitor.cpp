#include "gui/LiveMonitor.h"

#include "core/graph/GraphUpdate.h"
#include "core/live/DisplayRules.h"
#include "core/params/Modes.h"
#include "gui/TextConversion.h"
#include "gui/charts/IntensityBar.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/RgbChartPage.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"

namespace drq::gui {

namespace {

// The intensity bar spans what the intensity can show: M ends at 1200 in the
// s/i/M 2D mode (where the cursor stops), INT at the converter's 4096.
int intensityScaleFor(std::uint16_t calculationMode) {
  return isMode(calculationMode, CalculationMode::Sim2d) ? kMCursorLimit : kIntensityCeiling;
}

}  // namespace

LiveMonitor::LiveMonitor(Session& session, Operations& operations, LiveHost& host,
                         LiveDisplays displays, QObject* parent)
    : QObject(parent),
      session_(session),
      operations_(operations),
      host_(host),
      displays_(displays) {
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
  GetData(session_, *this);
  running_ = false;
}

void LiveMonitor::runLiveLoop() {
  if (running_) return;
  running_ = true;
  GetData(session_, *this);
  running_ = false;
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
  SetPanelCalibData();
  SetPanelData();
  ShowGraph();
  ++framesShown_;
  emit frameShown();
}

// --- Per frame ------------------------------------------------------------------

void LiveMonitor::SetPanelCalibData() {
  const LiveFrame& f = session_.CurrentFrame;
  // RawDelta was computed with the frame (acceptLiveFrame).
  displays_.calibration.showRawData(f[FrameWord::RawRed], f[FrameWord::RawGreen],
                                    f[FrameWord::RawBlue], session_.live.RawDelta);
}

void LiveMonitor::SetPanelData() {
  const LiveFrame& f = session_.CurrentFrame;
  displays_.data.showFrame(f, session_.live.ColorPatch,
                           outputLedsFollowFrame(session_.working.record));
  displays_.calibration.showCalibratedData(f[FrameWord::Red], f[FrameWord::Green],
                                           f[FrameWord::Blue]);
  displays_.tableAttributes.showTemperature(f[FrameWord::Temp]);
  displays_.bigColor.setValue(f[FrameWord::Color]);
  displays_.bigGroup.setValue(f[FrameWord::Group]);
  displays_.meanTeach.showLiveColour(f);
}

void LiveMonitor::ShowGraph() {
  DataPanel& data = displays_.data;
  const LiveState& live = session_.live;
  data.rgbChartPage().showWindow(live);
  data.intensityChartPage().showWindows(live);
  const GraphUpdate update =
      graphUpdateFor(figures_.bounds, session_.CurrentFrame, calculationMode());
  if (update.twoD) data.twoDGraphPage().showUpdate(*update.twoD);
  if (update.threeD) {
    data.threeDGraphPage().showUpdate(*update.threeD);
    data.threeDGraphPage().showWindow(live);
  }
}

// --- Teach figures ------------------------------------------------------------------

void LiveMonitor::InitGraphs() {
  InitGraphInt2();
  figures_ = buildTeachFigures(session_.working.table, session_.RowColors, calculationMode());
  // Each page redraws its figures only when they differ from the ones drawn.
  displays_.data.twoDGraphPage().setFigures(figures_);
  displays_.data.threeDGraphPage().setFigures(figures_);
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
  IntensityBar& bar = displays_.data.twoDGraphPage().intensityBar();
  bar.setScale(intensityScaleFor(mode));
  bar.setBand(intensityBandFor(table, mode, row));
}

// --- Labels and LED ---------------------------------------------------------------

void LiveMonitor::SetDispNames() {
  const auto names = dispNamesFor(calculationMode());
  if (!names) return;
  displays_.data.SetDispNames(*names);
  const auto labels = names->labels();
  displays_.signalGraph.setSignalLabels(
      {qStringFromLatin1(labels[0]), qStringFromLatin1(labels[1]), qStringFromLatin1(labels[2])});
}

void LiveMonitor::SetLedTrigVis() {
  displays_.data.setTriggerLedVisible(triggerLedVisible(session_.working.record));
}

}  // namespace drq::gui
