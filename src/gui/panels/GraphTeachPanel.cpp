#include "gui/panels/GraphTeachPanel.h"

namespace drq::gui {

GraphTeachPanel::GraphTeachPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(QStringLiteral("TEACHP2"));
  layout_->setContentsMargins(6, 6, 6, 6);
  layout_->addStretch(1);
}

}  // namespace drq::gui
