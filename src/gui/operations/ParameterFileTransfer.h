#pragma once
// Send and Get with the target FILE: the working parameter set to and from a
// parameter file the operator chooses. Both run at once, also while an
// acquisition loop runs.

#include <functional>

#include "core/Session.h"
#include "gui/popups/Popups.h"

namespace drq::gui {

// Text shown when the parameter file could not be written (title
// "ATTENTION!"), followed by the path, an empty line and the system's reason.
inline constexpr const char* kMsgParameterFileNotWritten =
    "The parameter file could not be written! \nThe parameters were NOT saved:\n\n";
// Text shown when the parameter file could not be read (title "ATTENTION!"),
// followed by the path, an empty line and the system's reason.
inline constexpr const char* kMsgParameterFileNotRead =
    "The parameter file could not be read! \nThe parameters were NOT changed:\n\n";

// SendParaToFile: asks for a file ("Parameter.ini", "*.ini", title
// "Parameter", starting in the directory of session.parameterFile; new or
// existing). Cancel: "No file was selected!" and nothing else. Otherwise the
// choice becomes session.parameterFile, `getPanelValues` reads the panels into
// the working set and the set is written (replacing the file atomically).
// A write that fails is reported (kMsgParameterFileNotWritten).
// Returns 1 when the file was written, 0 when nothing was chosen, -1 when the
// write failed.
int SendParaToFile(Session& session, Popups& popups, const std::function<void()>& getPanelValues);

// ReadParaFromFile: asks for an existing file the same way; anything else
// shows "No file was selected!" and changes nothing. A choice that exists but
// cannot be read (no permission, a folder) is reported with its path and the
// system's reason (kMsgParameterFileNotRead) and changes nothing. Otherwise
// the choice becomes session.parameterFile and the file is read into the
// working set, asking about a wrong file type or scope version (No: "No
// parameter where read!"), showing the lists of values that took their
// defaults, and then `refreshPanels` shows the working set as after a Get
// (also after No). Returns 1 when the values were taken, 0 when no file was
// chosen, -1 when the file could not be read or the operator declined.
int ReadParaFromFile(Session& session, Popups& popups, const std::function<void()>& refreshPanels);

}  // namespace drq::gui
