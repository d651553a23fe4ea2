#pragma once
// Texts of the main window that several panels share, used exactly as the
// operators know them.

#include "core/PopupTitles.h"

namespace drq::gui {

// Values from the sensor or a file that a control cannot show (title
// "ATTENTION!"), followed by one line per value: "POWER 1500 -> 1000".
inline constexpr const char* kMsgValuesLimited =
    "Following parameters are out of range \nand were set to the nearest allowed value:\n\n";

// The question before a table is reset (teach table, group hold, table
// attributes and the two teach panels).
inline constexpr const char* kConfirmResetTable = "Do you really want to reset the table?";

// Help of the tab controls (main window and display panel).
inline constexpr const char* kHelpSelectTab = "Select TAB-window.";

}  // namespace drq::gui
