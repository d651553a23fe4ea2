#include "gui/operations/ButtonDimmer.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace drq::gui {

void ButtonDimmer::add(Group group, QWidget* control) {
  if (control) entries_.push_back({group, control});
}

void ButtonDimmer::SetButtonsDimmed(bool keepTransfer, bool dim) {
  for (const Entry& entry : entries_) {
    if (!entry.control) continue;
    if (entry.group == Group::Transfer && keepTransfer) continue;
    if (entry.group == Group::DimOnly && !dim) continue;
    entry.control->setEnabled(!dim);
  }
  // Before a long operation the dimmed buttons are drawn; the operator's
  // input waits (it is delivered by the operation's own wait, to dimmed
  // buttons, or after the callback has returned). Undimming processes
  // nothing: a click queued meanwhile must not start a second operation
  // inside the callback that is about to return.
  if (dim) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace drq::gui
