#pragma once

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "SCOPE": the scope capture controls.
class ScopePage : public TabPage {
  Q_OBJECT
 public:
  explicit ScopePage(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
