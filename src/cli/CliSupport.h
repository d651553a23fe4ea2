#pragma once
// Helpers of drqctl's commands: strict parsing of numbers and hex strings,
// C-locale number output, and the failure report that prints to stderr.

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/SensorLink.h"

namespace drq::cli {

// Exit status of drqctl.
inline constexpr int kExitOk = 0;
inline constexpr int kExitLinkFailure = 1;
inline constexpr int kExitUsage = 2;

// Seconds as a finite decimal number (C locale: a point, no sign), nothing
// around it; nullopt otherwise.
std::optional<double> parseSeconds(std::string_view text);

// Unsigned number in decimal or with a 0x prefix in hex, nothing else around
// it, at most `max`; nullopt otherwise.
std::optional<std::uint32_t> parseUnsigned(std::string_view text, std::uint32_t max);

// Bytes from hex digits (either case, no separators, even count); nullopt on
// anything else. The empty string gives no bytes.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);

// Lower-case hex of the bytes, no separators.
std::string toHex(std::span<const std::uint8_t> bytes);

// Decimal in the C locale.
std::string decimal(long long value);

// HOST[:PORT], also [IPv6]:PORT; the port defaults to kDefaultTcpPort and must be
// 1..65535. False for an empty host or a bad port.
bool parseTcpTarget(std::string_view text, std::string& host, int& port);

// Prints every failure report's text exactly, with a line end, to `err`.
class StreamFailureReport final : public FailureReport {
 public:
  explicit StreamFailureReport(std::ostream& err) : err_(err) {}
  void linkFailed(std::string_view message) override;
  int count() const { return count_; }

 private:
  std::ostream& err_;
  int count_ = 0;
};

}  // namespace drq::cli
