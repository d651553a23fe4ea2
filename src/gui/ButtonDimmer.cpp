#include "gui/ButtonDimmer.h"

#include <QCoreApplication>

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
  QCoreApplication::processEvents();
}

}  // namespace drq::gui
