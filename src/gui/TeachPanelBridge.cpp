#include "gui/TeachPanelBridge.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include "gui/LiveMonitor.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"

namespace drq::gui {

TeachPanelBridge::TeachPanelBridge(ShellContext& context, Parts parts)
    : context_(context), parts_(parts) {
  parts_.meanTeach.setHost(*this);
  parts_.graphTeach.setHost(*this);
}

void TeachPanelBridge::openMeanValueTeach() {
  context_.panels.ShowChildPanelDisp(ChildPanel::TEACHP1);
  parts_.modeRules.InitTeachPanel();
  parts_.meanTeach.startAcquisitionIfIdle();
}

void TeachPanelBridge::openGraphTeach() {
  context_.panels.ShowChildPanelDisp(ChildPanel::TEACHP2);
  parts_.modeRules.InitTeachPanel();
}

TeachModes TeachPanelBridge::readTeachModes() {
  ParaRecord& record = context_.session.working.record;
  for (const ParaWord word :
       {ParaWord::CalculationMode, ParaWord::EvaluationMode, ParaWord::PowerMode}) {
    record[word] = parts_.teachHost.parameterControlValue(word);
  }
  return {record[ParaWord::EvaluationMode], record[ParaWord::CalculationMode],
          record[ParaWord::PowerMode]};
}

TeachTable TeachPanelBridge::shownTeachTable() const {
  ParaSet shown = context_.session.working;
  parts_.teachTable.GetPanelValues(shown);
  return shown.table;
}

std::size_t TeachPanelBridge::teachRow() const {
  return static_cast<std::size_t>(parts_.teachTable.rowNumber()->value());
}

bool TeachPanelBridge::teachAutoIncrement() const {
  return parts_.teachTable.autoIncrement()->isChecked();
}

void TeachPanelBridge::showTaughtTable(const TeachTable& table, std::size_t nextRow) {
  ParaSet shown = context_.session.working;
  shown.table = table;
  parts_.teachTable.SetPanelValues(shown);
  QSpinBox* no = parts_.teachTable.rowNumber();
  if (static_cast<int>(nextRow) != no->value()) {
    const QSignalBlocker blocker(no);
    no->setValue(static_cast<int>(nextRow));
  }
  parts_.teachHost.GetPanelValues();
  parts_.teachHost.InitGraphs();
}

void TeachPanelBridge::teachShownValues(std::int16_t x, std::int16_t y, std::int16_t intensity) {
  LiveFrame& frame = context_.session.CurrentFrame;
  frame[FrameWord::X] = x;
  frame[FrameWord::Y] = y;
  frame[FrameWord::Int] = intensity;
  parts_.teachOperations.TeachCurrentFrame();
}

void TeachPanelBridge::readPanels() {
  parts_.teachHost.GetPanelValues();
}

void TeachPanelBridge::redrawTeachFigures() {
  parts_.teachHost.InitGraphs();
}

void TeachPanelBridge::runLiveLoop() {
  parts_.live.runLiveLoop();
}

}  // namespace drq::gui
