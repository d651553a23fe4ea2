#pragma once
// What every page and panel of the main window is given when it is built.

#include "core/Session.h"
#include "gui/ButtonDimmer.h"
#include "gui/Popups.h"

namespace drq::gui {

struct ShellContext {
  Session& session;
  Popups& popups;
  ButtonDimmer& dimmer;
};

}  // namespace drq::gui
