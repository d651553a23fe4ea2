#pragma once
// Text rules of the INI syntax, byte by byte in the C locale: white space,
// names that compare without regard to letter case and surrounding blanks,
// the escaped form of string values and the strict integer form.
//
// Multi-byte characters (UTF-8) pass every rule unchanged: none of their
// bytes is below 0x80, so none can be taken for a blank, a quote, a backslash
// or a control character.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace drq::ini {

// Blank, tab, line feed, vertical tab, form feed and carriage return.
constexpr bool isIniSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `text` without white space before and after it.
std::string_view trimIniSpace(std::string_view text);

// Section and item names match when they are equal once trimmed, ignoring
// the case of A to Z: when their keys, the trimmed name with A to Z in lower
// case, are equal.
std::string nameKey(std::string_view name);

// Appends the escaped form of `text` to `out`: tab, line feed and carriage
// return become \t, \n and \r; the double quote \"; the backslash \\; every
// other control character (0x00 to 0x1F, 0x7F) \x and two lower-case hex
// digits; all other bytes are copied.
void appendEscaped(std::string& out, std::string_view text);

// Undoes the escaping, giving at most `limit` bytes: \n, \r, \t, \x with two
// hex digits of either case, a backslash before any other character gives that
// character (so "\x4" gives "x4"), a backslash at the very end is dropped.
std::string unescapeIniText(std::string_view escaped,
                            std::size_t limit = std::numeric_limits<std::size_t>::max());

// The strict integer form: optional white space, at most one sign directly
// before one or more decimal digits, optional white space, nothing else, within
// the range of a 32-bit signed integer.
struct ParsedInt {
  enum class Kind { Valid, Blank, Invalid };
  Kind kind = Kind::Invalid;
  std::int32_t value = 0;  // meaningful only when kind is Valid
};
ParsedInt parseIniInt(std::string_view text);

}  // namespace drq::ini
