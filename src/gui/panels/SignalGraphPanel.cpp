#include "gui/panels/SignalGraphPanel.h"

namespace drq::gui {

SignalGraphPanel::SignalGraphPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent), context_(context), layout_(new QVBoxLayout(this)) {
  setObjectName(QStringLiteral("GRAPHP"));
  layout_->setContentsMargins(6, 6, 6, 6);
  layout_->addStretch(1);
}

}  // namespace drq::gui
