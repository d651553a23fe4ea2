#include "gui/panels/MeanTeachPanel.h"

namespace drq::gui {

MeanTeachPanel::MeanTeachPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(QStringLiteral("TEACHP1"));
  layout_->setContentsMargins(6, 6, 6, 6);
  layout_->addStretch(1);
}

}  // namespace drq::gui
