#pragma once
// What every page and panel of the main window is given when it is built: the
// program-wide state, the popups, the dimmer of long operations and the switch
// of the display area's child panels.

#include "core/Session.h"
#include "gui/ButtonDimmer.h"
#include "gui/ChildPanelSwitch.h"
#include "gui/Popups.h"

namespace drq::gui {

struct ShellContext {
  Session& session;
  Popups& popups;
  ButtonDimmer& dimmer;
  ChildPanelSwitch& panels;
};

}  // namespace drq::gui
