#include "gui/shell/ModeRulesWiring.h"

#include "gui/LiveMonitor.h"
#include "gui/TransferBar.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/IntensityChartPage.h"

namespace drq::gui {

void ModeRulesWiring::readRuleInputs(PanelState& state) {
  parts_.parameters.GetPanelValues(state.values);
  parts_.groups.GetPanelValues(state.values);
  state.triggerRingItems = parts_.parameters.triggerRingItems();
  state.activeDataPage = parts_.data.pages()->currentIndex();
}

void ModeRulesWiring::setTriggerRingItems(std::size_t count) {
  parts_.parameters.setTriggerRingItems(count);
}

void ModeRulesWiring::showGroupCell(const GroupCellState& cell) {
  parts_.groups.showGroupCell(cell);
}

void ModeRulesWiring::showSelectedSet() {
  parts_.transfer.showSelection();
}

void ModeRulesWiring::setActiveDataPage(int page) {
  parts_.data.pages()->setCurrentIndex(page);
}

void ModeRulesWiring::colorRowLabels(const RowLabelPlan& plan) {
  for (TabPage* page : parts_.pages) page->colorRowLabels(plan);
}

void ModeRulesWiring::applyIntensityRanges(const std::array<ChartRange, 3>& ranges) {
  parts_.data.intensityChartPage().applyModeRanges(ranges);
}

void ModeRulesWiring::refreshDisplayNames() {
  parts_.live.SetDispNames();
}

}  // namespace drq::gui
