#pragma once

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "PARAMETER": the parameter record's controls.
class ParameterPage : public TabPage {
  Q_OBJECT
 public:
  explicit ParameterPage(ShellContext& context, QWidget* parent = nullptr);
};

}  // namespace drq::gui
