#pragma once

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "GROUP/HOLD": the colour-group switch and the group and hold tables.
class GroupHoldPage : public TabPage {
  Q_OBJECT
 public:
  explicit GroupHoldPage(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
