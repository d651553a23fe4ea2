#include "gui/widgets/ActivationReturn.h"

#include <QApplication>

namespace drq::gui {

ActivationReturn::ActivationReturn(QWidget* fallback)
    : window_(QApplication::activeWindow()), focus_(QApplication::focusWidget()) {
  if (!window_ && fallback) window_ = fallback->window();
  if (focus_ && focus_->window() != window_) focus_ = nullptr;
}

ActivationReturn::~ActivationReturn() {
  if (!window_ || !window_->isVisible()) return;
  if (focus_ && focus_->isVisible() && focus_->isEnabled()) {
    // In a window that is not active this only chooses the control that gets
    // the focus when the window becomes active.
    focus_->setFocus(Qt::ActiveWindowFocusReason);
  }
  window_->activateWindow();
}

}  // namespace drq::gui
