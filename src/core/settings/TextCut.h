#pragma once
// Cutting operator texts read from files to their field sizes.

#include <cstddef>
#include <string>
#include <string_view>

namespace drq::settings {

// The first `maxBytes` bytes of `text`, shortened further so that a UTF-8
// sequence is never split (a cut path or name stays valid text).
inline std::string cutUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t end = maxBytes;
  // When the first byte left out continues a sequence (10xxxxxx), leave out
  // that whole sequence too.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) --end;
  return std::string(text.substr(0, end));
}

}  // namespace drq::settings
