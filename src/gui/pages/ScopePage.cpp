#include "gui/pages/ScopePage.h"

namespace drq::gui {

ScopePage::ScopePage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("SCOPE"), parent) {
  setObjectName(QStringLiteral("ScopePage"));
  pageLayout()->addStretch(1);
}

}  // namespace drq::gui
