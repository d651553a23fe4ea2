#include "gui/panels/ChildPanelWidget.h"

namespace drq::gui {

ChildPanelWidget::ChildPanelWidget(ShellContext& context, const QString& panelName, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(panelName);
  layout_->setContentsMargins(6, 6, 6, 6);
}

void ChildPanelWidget::registerOperationButtons(ButtonDimmer&) {}

void ChildPanelWidget::registerRuleControls(RuleControls&) {}

}  // namespace drq::gui
