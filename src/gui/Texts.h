#pragma once
// Texts of the main window that several panels share, used exactly as the
// operators know them.

#include "core/ToolFiles.h"

namespace drq::gui {

inline constexpr const char* kWindowTitle = kScopeVersion.data();
// Label text of the title line: the full version.
inline constexpr const char* kFullVersion = kFullScopeVersion.data();

// Popup titles.
inline constexpr const char* kTitleInfo = "INFO!";
inline constexpr const char* kTitleAttention = "ATTENTION!";

// Values from the sensor or a file that a control cannot show (title
// "ATTENTION!"), followed by one line per value: "POWER 1500 -> 1000".
inline constexpr const char* kMsgValuesLimited =
    "Following parameters are out of range \nand were set to the nearest allowed value:\n\n";

// Help of the tab controls (main window and display panel).
inline constexpr const char* kHelpSelectTab = "Select TAB-window.";

// Default size of the main window.
inline constexpr int kDefaultWidth = 790;
inline constexpr int kDefaultHeight = 548;

}  // namespace drq::gui
