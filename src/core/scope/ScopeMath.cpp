#include "core/scope/ScopeMath.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/params/Modes.h"

namespace drq {

namespace {

std::int32_t readLe32(std::span<const std::uint8_t, 8> bytes, std::size_t offset) {
  const std::uint32_t u = static_cast<std::uint32_t>(bytes[offset]) |
                          (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
                          (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
  return static_cast<std::int32_t>(u);
}

}  // namespace

double cycleTimeFromCounters(std::int32_t a, std::int32_t b) {
  if (b == 0) return 0;
  return static_cast<double>(a) / (static_cast<double>(b) * 0.01);
}

double cycleTimeFromPayload(std::span<const std::uint8_t> payload) {
  std::array<std::uint8_t, 8> bytes{};
  if (payload.size() < bytes.size()) return 0;  // no counters: nothing to show
  std::memcpy(bytes.data(), payload.data(), bytes.size());
  return cycleTimeFromCounters(readLe32(bytes, 0), readLe32(bytes, 4));
}

int cycleTimeDecimals(double cycleTimeMs) {
  if (cycleTimeMs > 1000) return 0;
  if (cycleTimeMs > 1) return 1;
  return 2;
}

double scanFrequency(double cycleTimeMs) {
  return cycleTimeMs > 0 ? 1000.0 / cycleTimeMs : 0.0;
}

int scanFrequencyDecimals(double cycleTimeMs) {
  if (cycleTimeMs > 10000) return 6;
  if (cycleTimeMs > 1) return 3;
  return 0;
}

std::string fixedText(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  char buf[400];  // enough for any finite double in fixed notation
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return "0";
  std::string text(buf, r.ptr);
  // "-0", "-0.000": a value that rounds to zero is shown without a sign.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string cycleTimeText(double cycleTimeMs) {
  return fixedText(cycleTimeMs, cycleTimeDecimals(cycleTimeMs));
}

std::string scanFrequencyText(double cycleTimeMs) {
  return fixedText(scanFrequency(cycleTimeMs), scanFrequencyDecimals(cycleTimeMs));
}

ScopeDeltas scopeDeltas(ScopeCursor cursor1, ScopeCursor cursor2, double cycleTimeMs,
                        int scanRate) {
  ScopeDeltas d;
  d.samples = std::fabs(std::trunc(cursor1.x - cursor2.x));
  d.deltaY = std::fabs(std::trunc(cursor1.y) - std::trunc(cursor2.y));
  d.deltaX = d.samples * cycleTimeMs * scanRate;
  return d;
}

int deltaXDecimals(double deltaXMs) {
  if (deltaXMs > 1000) return 0;
  if (deltaXMs > 1) return 3;
  return 6;
}

std::string deltaXText(double deltaXMs) {
  return fixedText(deltaXMs, deltaXDecimals(deltaXMs));
}

std::string deltaYText(double deltaY) {
  return fixedText(deltaY, 0);
}

std::uint16_t scopeYMaximum(std::uint16_t recordedSignal, std::uint16_t calculationMode) {
  return recordedSignal == 1 && isSimCalcMode(calculationMode) ? kScopeYMaximumSiM
                                                               : kScopeYMaximumRaw;
}

}  // namespace drq
