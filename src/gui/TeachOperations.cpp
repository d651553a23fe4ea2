#include "gui/TeachOperations.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include "core/teach/TeachTableOps.h"
#include "gui/LiveMonitor.h"
#include "gui/MainWindow.h"
#include "gui/charts/ColourGraph.h"
#include "gui/charts/IntensityBar.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

namespace {

using W = ParaWord;

// A displayed value back as the frame word it came from.
std::int16_t shownWord(const ValueDisplay* display) {
  return static_cast<std::int16_t>(display->value());
}

}  // namespace

TeachOperations::TeachOperations(MainWindow& window, ShellContext& context)
    : window_(window), context_(context) {}

bool TeachOperations::rowColorSwitchOn() const {
  // Colours follow teaching only when the operator switches it on, on the
  // table attributes page; that page does not offer the switch yet, so rows
  // keep the colours given by hand.
  return false;
}

void TeachOperations::readDisplayedValues() {
  // The teach takes exactly what the operator sees, running or not.
  const DataPanel& data = window_.dataPanel();
  LiveFrame& frame = context_.session.CurrentFrame;
  frame[FrameWord::X] = shownWord(data.xDisplay());
  frame[FrameWord::Y] = shownWord(data.yDisplay());
  frame[FrameWord::Int] = shownWord(data.intDisplay());
  frame[FrameWord::Red] = shownWord(data.redDisplay());
  frame[FrameWord::Green] = shownWord(data.greenDisplay());
  frame[FrameWord::Blue] = shownWord(data.blueDisplay());
}

void TeachOperations::TeachDataTo() {
  Session& session = context_.session;
  TeachTablePage& teach = window_.teachTablePage();
  ParameterPage& parameters = window_.parameterPage();

  readDisplayedValues();
  const LiveFrame& frame = session.CurrentFrame;
  ParaRecord& record = session.working.record;
  for (const W word : {W::CalculationMode, W::EvaluationMode, W::PowerMode}) {
    record[word] = parameters.controlValue(word);
  }

  TeachInput input;
  input.row = static_cast<std::size_t>(teach.rowNumber()->value());
  input.autoIncrement = teach.autoIncrement()->isChecked();
  input.toleranceOff = teach.teachToleranceOff();
  input.evaluationMode = record[W::EvaluationMode];
  input.calculationMode = record[W::CalculationMode];
  input.powerMode = record[W::PowerMode];
  input.x = frame[FrameWord::X];
  input.y = frame[FrameWord::Y];
  input.intensity = frame[FrameWord::Int];
  input.red = frame[FrameWord::Red];
  input.green = frame[FrameWord::Green];
  input.blue = frame[FrameWord::Blue];

  ParaSet shown = session.working;
  teach.GetPanelValues(shown);
  const TeachResult result = drq::TeachDataTo(shown.table, input);
  if (result.changed) teach.SetPanelValues(shown);
  if (static_cast<int>(result.nextRow) != teach.rowNumber()->value()) {
    const QSignalBlocker blocker(teach.rowNumber());
    teach.rowNumber()->setValue(static_cast<int>(result.nextRow));
  }
  if (result.colourRow && rowColorSwitchOn()) {
    session.RowColors[*result.colourRow] = session.live.ColorPatch;
    window_.applyRowColors();
  }
  window_.GetPanelValues();
  window_.liveMonitor().InitGraphs();
}

void TeachOperations::clearTeachFigures() {
  DataPanel& data = window_.dataPanel();
  data.twoDGraphPage().colourPlane().setFigures({});
  data.twoDGraphPage().intensityBar().setBand(std::nullopt);
  for (int view = 0; view < 3; ++view) data.threeDGraphPage().view(view).setFigures({});
}

bool TeachOperations::SortTableTolerance() {
  ParaSet& working = context_.session.working;
  const std::uint16_t oldMode = working.record[W::CalculationMode];
  window_.GetPanelValues();
  const std::uint16_t newMode = working.record[W::CalculationMode];
  if (!drq::SortTableTolerance(working.table, oldMode, newMode)) return false;
  window_.teachTablePage().SetPanelValues(working);
  return true;
}

}  // namespace drq::gui
