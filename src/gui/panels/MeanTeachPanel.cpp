#include "gui/panels/MeanTeachPanel.h"

namespace drq::gui {

MeanTeachPanel::MeanTeachPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("TEACHP1"), parent) {
  panelLayout()->addStretch(1);
}

}  // namespace drq::gui
