#pragma once

#include <QPushButton>

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "OFFSET", hidden until the password unlocks it: the receiver
// offsets. Its close button hides it again.
class OffsetPage : public TabPage {
  Q_OBJECT
 public:
  explicit OffsetPage(ShellContext& context, QWidget* parent = nullptr);

 signals:
  // CBF_ButtonCloseOffsetCompensation: hide the page, show the parameter page.
  void closeRequested();

 private:
  QPushButton* closeButton_;
};

}  // namespace drq::gui
