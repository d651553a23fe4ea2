#include "gui/shell/ModeRulesWiring.h"

#include "gui/operations/LiveMonitor.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/shell/TransferBar.h"

namespace drq::gui {

void ModeRulesWiring::readRuleInputs(PanelState& state) {
  needs_.parameters.GetPanelValues(state.values);
  needs_.groups.GetPanelValues(state.values);
  state.triggerRingItems = needs_.parameters.triggerRingItems();
  state.activeDataPage = needs_.data.pages()->currentIndex();
}

void ModeRulesWiring::setTriggerRingItems(std::size_t count) {
  needs_.parameters.setTriggerRingItems(count);
}

void ModeRulesWiring::showGroupCell(const GroupCellState& cell) {
  needs_.groups.showGroupCell(cell);
}

void ModeRulesWiring::showSelectedSet() {
  needs_.transfer.showSelection();
}

void ModeRulesWiring::setActiveDataPage(int page) {
  needs_.data.pages()->setCurrentIndex(page);
}

void ModeRulesWiring::colorRowLabels(const RowLabelPlan& plan) {
  for (TabPage* page : needs_.pages) page->colorRowLabels(plan);
}

void ModeRulesWiring::applyIntensityRanges(const std::array<ChartRange, 3>& ranges) {
  needs_.data.intensityChartPage().applyModeRanges(ranges);
}

void ModeRulesWiring::refreshDisplayNames() {
  needs_.live.SetDispNames();
}

}  // namespace drq::gui
