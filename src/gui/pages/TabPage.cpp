#include "gui/pages/TabPage.h"

namespace drq::gui {

TabPage::TabPage(ShellContext& context, const QString& tabLabel, QWidget* parent)
    : QWidget(parent), context_(context), tabLabel_(tabLabel), layout_(new QVBoxLayout(this)) {
  layout_->setContentsMargins(8, 8, 8, 8);
  layout_->setSpacing(6);
}

void TabPage::registerOperationButtons(ButtonDimmer&) {}

void TabPage::registerRuleControls(RuleControls&) {}

void TabPage::colorRowLabels(const RowLabelPlan&) {}

void TabPage::applyRowColors(const RowColorArray&) {}

void TabPage::GetPanelValues(ParaSet&) {}

void TabPage::SetPanelValues(const ParaSet&) {}

}  // namespace drq::gui
