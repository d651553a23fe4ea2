#pragma once
// The release of the three programs, as `--version` prints it. The build sets
// DRQ_VERSION from the project's version.

#include <string_view>

namespace drq {

#ifndef DRQ_VERSION
#define DRQ_VERSION "0.0.0"
#endif

inline constexpr std::string_view kVersion = DRQ_VERSION;

}  // namespace drq
