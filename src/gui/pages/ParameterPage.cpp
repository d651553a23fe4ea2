#include "gui/pages/ParameterPage.h"

namespace drq::gui {

ParameterPage::ParameterPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("PARAMETER"), parent) {
  setObjectName(QStringLiteral("ParameterPage"));
  pageLayout()->addStretch(1);
}

}  // namespace drq::gui
