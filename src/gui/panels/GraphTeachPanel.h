#pragma once

#include "gui/panels/ChildPanelWidget.h"

namespace drq::gui {

// TEACHP2, the graph teach panel: teaching from a position on a recorded graph. Shown in the main
// window's display area.
class GraphTeachPanel : public ChildPanelWidget {
  Q_OBJECT
 public:
  explicit GraphTeachPanel(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
