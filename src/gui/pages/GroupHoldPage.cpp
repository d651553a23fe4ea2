#include "gui/pages/GroupHoldPage.h"

namespace drq::gui {

GroupHoldPage::GroupHoldPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("GROUP/HOLD"), parent) {
  setObjectName(QStringLiteral("GroupHoldPage"));
  pageLayout()->addStretch(1);
}

}  // namespace drq::gui
