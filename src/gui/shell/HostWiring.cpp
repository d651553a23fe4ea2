#include "gui/shell/HostWiring.h"

#include "gui/pages/ParameterPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"

namespace drq::gui {

void LiveWiring::showDisplayPanelForLive() {
  if (needs_.panels.currentChildPanel() != ChildPanel::TEACHP1) {
    needs_.panels.ShowChildPanelDisp(ChildPanel::DATAP);
  }
}

int LiveWiring::selectedTeachRow() const {
  return needs_.teachTable.rowNumber()->value();
}

void LiveWiring::readTeachTableControl(TeachTable& table) const {
  ParaSet shown;
  shown.table = table;
  needs_.teachTable.GetPanelValues(shown);
  table = shown.table;
}

void TeachWiring::readShownValues(LiveFrame& frame) const {
  needs_.data.readShownValues(frame);
}

std::uint16_t TeachWiring::parameterControlValue(ParaWord word) const {
  return needs_.parameters.controlValue(word);
}

bool TeachWiring::automaticRowColors() const {
  return needs_.tableAttributes.automaticRowColors();
}

}  // namespace drq::gui
