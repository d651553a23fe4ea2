#pragma once
// The display area's child panels as every page and panel may switch them: a
// page shows the panel it works with (the recorder shows GRAPHP), a panel
// returns to DATAP when it closes. The main window implements it; pages and
// panels reach it through ShellContext::panels.

#include "core/params/PanelIds.h"

namespace drq::gui {

class ChildPanelSwitch {
 public:
  virtual ~ChildPanelSwitch() = default;
  // ShowChildPanelDisp: makes `panel` the child panel shown; a value that
  // names no panel shows DATAP.
  virtual void ShowChildPanelDisp(ChildPanel panel) = 0;
  virtual ChildPanel currentChildPanel() const = 0;
};

}  // namespace drq::gui
