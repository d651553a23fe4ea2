#include "gui/panels/GraphTeachPanel.h"

namespace drq::gui {

GraphTeachPanel::GraphTeachPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("TEACHP2"), parent) {
  panelLayout()->addStretch(1);
}

}  // namespace drq::gui
