#pragma once
// A clear mark on the control that has the keyboard focus. The style's own
// marks are faint on some controls (a slider, a checked toggle, a table) and
// missing on others (a chart), and thinner still at a large scale factor. The
// mark is a ring drawn over the control's edge: two pixels in a dark shade of
// the highlight colour and a light line inside them, so that it stands out on
// a light control and on a dark (checked) one alike, at every scale factor.
//
// As the style's marks do, it appears once the operator has moved the focus
// with the keyboard in that window (Tab, Shift+Tab, a mnemonic) and from then
// on follows the focus; a window used only with the mouse looks as before.
//
// The ring belongs to the top-level window, not to the control: a picture of
// a panel (printing, SAVE IMAGE) never shows it.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace drq::gui {

class FocusMark final : public QObject {
  Q_OBJECT
 public:
  // Marks the focused control of `window` and of the windows it owns (its
  // top-level panels and popups) for as long as `window` lives; `window` is
  // the owner (parent) of the mark.
  explicit FocusMark(QWidget& window);
  ~FocusMark() override;
  FocusMark(const FocusMark&) = delete;
  FocusMark& operator=(const FocusMark&) = delete;

  // The control the mark is shown on; null while none is.
  QWidget* markedControl() const;
  // The widget that draws the ring: a child of the control's top-level
  // window laid over the part of the control that is not scrolled or clipped
  // away. Null while no mark is shown.
  QWidget* ring() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow(QWidget* focus);
  bool belongsToWindow(const QWidget& widget) const;
  // Lays the ring over the marked control as it is shown now.
  void place();
  void unmark();

  QWidget& window_;
  QPointer<QWidget> marked_;
  // The marked control and its parents below its window: their moves and
  // resizes move the ring.
  std::vector<QPointer<QWidget>> watched_;
  QPointer<QWidget> ring_;
};

}  // namespace drq::gui
