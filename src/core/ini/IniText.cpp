#include "core/ini/IniText.h"

#include <algorithm>

namespace drq::ini {
namespace {

constexpr char asciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string_view trimIniSpace(std::string_view text) {
  while (!text.empty() && isIniSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string nameKey(std::string_view name) {
  name = trimIniSpace(name);
  std::string key(name);
  for (char& c : key) c = asciiLower(c);
  return key;
}

void appendEscaped(std::string& out, std::string_view text) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\x";
          out += kHexDigits[byte >> 4];
          out += kHexDigits[byte & 0x0F];
        } else {
          out += ch;
        }
    }
  }
}

std::string unescapeIniText(std::string_view escaped, std::size_t limit) {
  std::string out;
  out.reserve(std::min(escaped.size(), limit));
  for (std::size_t i = 0; i < escaped.size() && out.size() < limit; ++i) {
    if (escaped[i] != '\\') {
      out += escaped[i];
      continue;
    }
    if (++i == escaped.size()) break;  // a lone backslash at the very end
    const char code = escaped[i];
    switch (code) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        const int high = i + 2 < escaped.size() ? hexDigitValue(escaped[i + 1]) : -1;
        const int low = high >= 0 ? hexDigitValue(escaped[i + 2]) : -1;
        if (low >= 0) {
          out += static_cast<char>(high * 16 + low);
          i += 2;
        } else {
          out += code;
        }
        break;
      }
      default:
        out += code;
    }
  }
  return out;
}

ParsedInt parseIniInt(std::string_view text) {
  text = trimIniSpace(text);
  if (text.empty()) return {ParsedInt::Kind::Blank, 0};
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {};
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;  // magnitude of the lowest value
  std::uint64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return {};
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    if (magnitude > kLimit) return {};
  }
  if (!negative && magnitude == kLimit) return {};
  const auto signedValue =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return {ParsedInt::Kind::Valid, static_cast<std::int32_t>(signedValue)};
}

}  // namespace drq::ini
