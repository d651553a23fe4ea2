#include "gui/pages/TeachTablePage.h"

namespace drq::gui {

TeachTablePage::TeachTablePage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("TEACH TABLE"), parent) {
  setObjectName(QStringLiteral("TeachTablePage"));
  pageLayout()->addStretch(1);
}

}  // namespace drq::gui
