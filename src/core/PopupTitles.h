#pragma once
// Titles of the popups that every part of the tool shows, used exactly as the
// operators know them. Character arrays, so that they serve both as
// std::string_view and as the C strings the window's texts are built from.

namespace drq {

inline constexpr char kTitleInfo[] = "INFO!";
inline constexpr char kTitleAttention[] = "ATTENTION!";

}  // namespace drq
