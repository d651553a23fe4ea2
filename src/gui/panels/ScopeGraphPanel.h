#pragma once

#include "gui/panels/ChildPanelWidget.h"

namespace drq::gui {

// SCOPEP, the scope graph panel: the 128-sample scope trace. Shown in the main window's display
// area.
class ScopeGraphPanel : public ChildPanelWidget {
  Q_OBJECT
 public:
  explicit ScopeGraphPanel(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
