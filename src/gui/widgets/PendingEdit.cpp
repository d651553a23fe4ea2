#include "gui/widgets/PendingEdit.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QWidget>

namespace drq::gui {

void commitPendingEdit(QWidget* focus) {
  for (QWidget* w = focus; w; w = w->parentWidget()) {
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
      if (!spin->isReadOnly()) spin->interpretText();
      return;
    }
    if (w->isWindow()) break;
  }
  auto* edit = qobject_cast<QLineEdit*>(focus);
  if (!edit || edit->isReadOnly() || !edit->isModified()) return;
  if (!edit->hasAcceptableInput()) return;  // leaving it reports nothing either
  emit edit->editingFinished();
  edit->setModified(false);
}

PendingEditCommit::PendingEditCommit(QWidget& window) : QObject(&window) {
  qApp->installEventFilter(this);
}

bool PendingEditCommit::eventFilter(QObject* watched, QEvent* event) {
  // Delivered before the shortcut's own receiver (a button, a QShortcut)
  // sees it.
  if (event->type() == QEvent::Shortcut) commitPendingEdit(QApplication::focusWidget());
  return QObject::eventFilter(watched, event);
}

}  // namespace drq::gui
