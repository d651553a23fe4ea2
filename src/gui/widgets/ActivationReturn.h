#pragma once
// Giving the keyboard back after a popup. While a modal popup is open it is
// the active window; once it has closed, the window it was opened over must
// be active again, with the focus where the operator left it, or the next
// keys reach no window's shortcuts (Alt+1 would type "1" into a field).
// Window managers re-activate that window on their own; a display without
// one (a bare X server, a kiosk session) does not.

#include <QPointer>
#include <QWidget>

namespace drq::gui {

// Remembers the active window and the focused control when it is made (or
// `fallback`'s window, when no window is active), and on destruction makes
// that window active again and gives the control back its focus. Nothing
// happens for a window that has been hidden or closed meanwhile, and a
// control that has been hidden, dimmed or moved to another window meanwhile
// is left alone (the window's own focus order then decides).
class ActivationReturn {
 public:
  explicit ActivationReturn(QWidget* fallback = nullptr);
  ~ActivationReturn();
  // Gives nothing back on destruction.
  void cancel() {
    window_ = nullptr;
    focus_ = nullptr;
  }
  ActivationReturn(const ActivationReturn&) = delete;
  ActivationReturn& operator=(const ActivationReturn&) = delete;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> focus_;
};

}  // namespace drq::gui
