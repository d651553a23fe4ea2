#pragma once
// A field's typed value is taken when the field loses the focus (or on Enter
// and the arrows): a click on a button takes the focus, so a mouse user's
// typed value is always in before the button acts. A key that presses a
// button (its F-key or its letter) or opens a page leaves the focus where it
// is, so the value would stay behind and the button act on the old one.
// PendingEditCommit takes the typed value first, whenever a key shortcut of
// the application fires, as leaving the field would.

#include <QObject>

class QWidget;

namespace drq::gui {

// Takes what was typed into `focus` (or the spin box or line edit it is part
// of) as leaving the field does: a spin box interprets its text (its value
// changes, valueChanged is emitted; an unusable text falls back to the value
// it had); a line edit whose text the operator changed reports
// editingFinished and counts as unchanged from then on. Anything else, or
// null, is left as it is.
void commitPendingEdit(QWidget* focus);

class PendingEditCommit final : public QObject {
  Q_OBJECT
 public:
  // Watches the application's shortcuts for as long as `window` (its owner)
  // lives.
  explicit PendingEditCommit(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace drq::gui
