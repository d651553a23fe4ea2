#include "gui/shell/TeachOperations.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include "core/teach/TeachTableOps.h"
#include "gui/pages/TeachTablePage.h"

namespace drq::gui {

namespace {

using W = ParaWord;

}  // namespace

TeachOperations::TeachOperations(TeachHost& host, TeachTablePage& teachTable, ShellContext& context)
    : host_(host), teach_(teachTable), context_(context) {}

bool TeachOperations::rowColorSwitchOn() const {
  return host_.automaticRowColors();
}

void TeachOperations::TeachDataTo() {
  // The teach takes exactly what the operator sees, running or not.
  host_.readShownValues(context_.session.CurrentFrame);
  TeachCurrentFrame();
}

void TeachOperations::TeachCurrentFrame() {
  Session& session = context_.session;
  const LiveFrame& frame = session.CurrentFrame;
  ParaRecord& record = session.working.record;
  for (const W word : {W::CalculationMode, W::EvaluationMode, W::PowerMode}) {
    record[word] = host_.parameterControlValue(word);
  }

  TeachInput input;
  input.row = static_cast<std::size_t>(teach_.rowNumber()->value());
  input.autoIncrement = teach_.autoIncrement()->isChecked();
  input.toleranceOff = teach_.teachToleranceOff();
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
  teach_.GetPanelValues(shown);
  const TeachResult result = drq::TeachDataTo(shown.table, input);
  if (result.changed) teach_.SetPanelValues(shown);
  if (static_cast<int>(result.nextRow) != teach_.rowNumber()->value()) {
    const QSignalBlocker blocker(teach_.rowNumber());
    teach_.rowNumber()->setValue(static_cast<int>(result.nextRow));
  }
  if (result.colourRow && rowColorSwitchOn()) {
    session.RowColors[*result.colourRow] = session.live.ColorPatch;
    host_.applyRowColors();
  }
  host_.GetPanelValues();
  host_.InitGraphs();
}

bool TeachOperations::SortTableTolerance() {
  ParaSet& working = context_.session.working;
  const std::uint16_t oldMode = working.record[W::CalculationMode];
  host_.GetPanelValues();
  const std::uint16_t newMode = working.record[W::CalculationMode];
  if (!drq::SortTableTolerance(working.table, oldMode, newMode)) return false;
  teach_.SetPanelValues(working);
  return true;
}

}  // namespace drq::gui
