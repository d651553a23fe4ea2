#include "gui/panels/ChildPanelWidget.h"

#include "gui/common/TextConversion.h"
#include "gui/popups/Help.h"

namespace drq::gui {

ChildPanelWidget::ChildPanelWidget(ShellContext& context, const QString& panelName, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(panelName);
  layout_->setContentsMargins(6, 6, 6, 6);
}

QPushButton* ChildPanelWidget::addButton(const char* text, const char* name, const char* help) {
  auto* button = new QPushButton(qStringFromLatin1(text), this);
  button->setObjectName(QLatin1String(name));
  installHelp(button, context_.popups, qStringFromLatin1(help));
  return button;
}

void ChildPanelWidget::registerOperationButtons(ButtonDimmer&) {}

void ChildPanelWidget::registerRuleControls(RuleControls&) {}

}  // namespace drq::gui
