#pragma once
// What every page and panel of the main window is given when it is built: the
// program-wide state, the popups, the owner of running operations (and the
// dimming of their buttons) and the switch of the display area's child panels.

#include "core/Session.h"
#include "gui/common/ChildPanelSwitch.h"
#include "gui/operations/Operations.h"
#include "gui/popups/Popups.h"

namespace drq::gui {

struct ShellContext {
  Session& session;
  Popups& popups;
  Operations& operations;
  ChildPanelSwitch& panels;
};

}  // namespace drq::gui
