#pragma once

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "TEACH TABLE": the teach table and its teach controls.
class TeachTablePage : public TabPage {
  Q_OBJECT
 public:
  explicit TeachTablePage(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
