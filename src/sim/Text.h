#pragma once
// Joins pieces of text into one string (messages of the virtual sensor).

#include <string>
#include <string_view>

namespace drq::sim {

template <typename... Parts>
std::string joinText(const Parts&... parts) {
  std::string out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

}  // namespace drq::sim
