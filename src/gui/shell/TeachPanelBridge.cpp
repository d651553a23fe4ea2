#include "gui/shell/TeachPanelBridge.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include "gui/operations/LiveMonitor.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"

namespace drq::gui {

TeachPanelBridge::TeachPanelBridge(ShellContext& context, Needs needs)
    : context_(context), needs_(needs) {
  needs_.meanTeach.setHost(*this);
  needs_.graphTeach.setHost(*this);
}

void TeachPanelBridge::openMeanValueTeach() {
  context_.panels.ShowChildPanelDisp(ChildPanel::TEACHP1);
  needs_.modeRules.InitTeachPanel();
  needs_.meanTeach.startAcquisitionIfIdle();
}

void TeachPanelBridge::openGraphTeach() {
  context_.panels.ShowChildPanelDisp(ChildPanel::TEACHP2);
  needs_.modeRules.InitTeachPanel();
}

TeachModes TeachPanelBridge::readTeachModes() {
  ParaRecord& record = context_.session.working.record;
  for (const ParaWord word :
       {ParaWord::CalculationMode, ParaWord::EvaluationMode, ParaWord::PowerMode}) {
    record[word] = needs_.teachHost.parameterControlValue(word);
  }
  return {record[ParaWord::EvaluationMode], record[ParaWord::CalculationMode],
          record[ParaWord::PowerMode]};
}

TeachTable TeachPanelBridge::shownTeachTable() const {
  ParaSet shown = context_.session.working;
  needs_.teachTable.GetPanelValues(shown);
  return shown.table;
}

std::size_t TeachPanelBridge::teachRow() const {
  return static_cast<std::size_t>(needs_.teachTable.rowNumber()->value());
}

bool TeachPanelBridge::teachAutoIncrement() const {
  return needs_.teachTable.autoIncrement()->isChecked();
}

void TeachPanelBridge::showTaughtTable(const TeachTable& table, std::size_t nextRow) {
  ParaSet shown = context_.session.working;
  shown.table = table;
  needs_.teachTable.SetPanelValues(shown);
  QSpinBox* no = needs_.teachTable.rowNumber();
  if (static_cast<int>(nextRow) != no->value()) {
    const QSignalBlocker blocker(no);
    no->setValue(static_cast<int>(nextRow));
  }
  needs_.teachHost.GetPanelValues();
  needs_.teachHost.InitGraphs();
}

void TeachPanelBridge::teachShownValues(std::int16_t x, std::int16_t y, std::int16_t intensity) {
  LiveFrame& frame = context_.session.CurrentFrame;
  frame[FrameWord::X] = x;
  frame[FrameWord::Y] = y;
  frame[FrameWord::Int] = intensity;
  needs_.teachOperations.TeachCurrentFrame();
}

void TeachPanelBridge::readPanels() {
  needs_.teachHost.GetPanelValues();
}

void TeachPanelBridge::redrawTeachFigures() {
  needs_.teachHost.InitGraphs();
}

void TeachPanelBridge::runLiveLoop() {
  needs_.live.runLiveLoop();
}

void TeachPanelBridge::showCurrentFrame() {
  needs_.live.showCurrentFrame();
}

}  // namespace drq::gui
