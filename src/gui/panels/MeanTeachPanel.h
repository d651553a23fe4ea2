#pragma once

#include "gui/panels/ChildPanelWidget.h"

namespace drq::gui {

// TEACHP1, the mean-value teach panel: teaching from averaged captures. Shown in the main window's
// display area.
class MeanTeachPanel : public ChildPanelWidget {
  Q_OBJECT
 public:
  explicit MeanTeachPanel(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
