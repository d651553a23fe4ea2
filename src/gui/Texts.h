#pragma once
// Texts of the main window that several panels share.

namespace drq::gui {

inline constexpr const char* kWindowTitle = "VELMARON DRQ Scope V1.0";

}  // namespace drq::gui
