#include "gui/panels/ScopeGraphPanel.h"

namespace drq::gui {

ScopeGraphPanel::ScopeGraphPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("SCOPEP"), parent) {
  panelLayout()->addStretch(1);
}

}  // namespace drq::gui
