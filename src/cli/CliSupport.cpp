#include "cli/CliSupport.h"

#include <charconv>
#include <cmath>

namespace drq::cli {

std::optional<double> parseSeconds(std::string_view text) {
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<std::uint32_t> parseUnsigned(std::string_view text, std::uint32_t max) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    std::uint8_t byte = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
    if (ec != std::errc() || end != text.data() + i + 2 || text[i] == '+' || text[i] == '-')
      return std::nullopt;
    bytes.push_back(byte);
  }
  return bytes;
}

std::string toHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

std::string decimal(long long value) {
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? end : buf);
}

bool parseTcpTarget(std::string_view text, std::string& host, int& port) {
  std::string_view hostPart = text;
  std::string_view portPart;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    hostPart = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      portPart = rest.substr(1);
      if (portPart.empty()) return false;
    }
  } else if (const std::size_t colon = text.find(':');
             colon != std::string_view::npos &&
             text.find(':', colon + 1) == std::string_view::npos) {
    hostPart = text.substr(0, colon);
    portPart = text.substr(colon + 1);
    if (portPart.empty()) return false;
  }
  if (hostPart.empty()) return false;
  int value = kDefaultTcpPort;
  if (!portPart.empty()) {
    const auto parsed = parseUnsigned(portPart, 65535);
    if (!parsed || *parsed == 0) return false;
    value = static_cast<int>(*parsed);
  }
  host.assign(hostPart);
  port = value;
  return true;
}

void StreamFailureReport::linkFailed(std::string_view message) {
  ++count_;
  err_ << message << '\n';
  err_.flush();
}

}  // namespace drq::cli
