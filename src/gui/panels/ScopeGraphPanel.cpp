#include "gui/panels/ScopeGraphPanel.h"

namespace drq::gui {

ScopeGraphPanel::ScopeGraphPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(QStringLiteral("SCOPEP"));
  layout_->setContentsMargins(6, 6, 6, 6);
  layout_->addStretch(1);
}

}  // namespace drq::gui
