#include "gui/shell/HostWiring.h"

#include "gui/pages/ParameterPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"

namespace drq::gui {

void LiveWiring::showDisplayPanelForLive() {
  if (parts_.panels.currentChildPanel() != ChildPanel::TEACHP1) {
    parts_.panels.ShowChildPanelDisp(ChildPanel::DATAP);
  }
}

int LiveWiring::selectedTeachRow() const {
  return parts_.teachTable.rowNumber()->value();
}

void LiveWiring::readTeachTableControl(TeachTable& table) const {
  ParaSet shown;
  shown.table = table;
  parts_.teachTable.GetPanelValues(shown);
  table = shown.table;
}

void TeachWiring::readShownValues(LiveFrame& frame) const {
  parts_.data.readShownValues(frame);
}

std::uint16_t TeachWiring::parameterControlValue(ParaWord word) const {
  return parts_.parameters.controlValue(word);
}

bool TeachWiring::automaticRowColors() const {
  return parts_.tableAttributes.automaticRowColors();
}

}  // namespace drq::gui
