#pragma once
// The scope's arithmetic: the cycle time from the sensor's two counters, the
// cursor deltas, the analogue graph's range, and the number of decimals each
// display uses. Texts are C-locale decimals.

#include <cstdint>
#include <span>
#include <string>

namespace drq {

// Cycle time in milliseconds from the counters of an ORDER_GET_CYCLE_TIME
// answer: A / (B * 0.01). B = 0 gives 0 (there is no cycle time to show).
double cycleTimeFromCounters(std::int32_t a, std::int32_t b);
// The same from the answer's payload: A and B are its first two signed 32-bit
// little-endian words; a payload shorter than 8 bytes gives 0.
double cycleTimeFromPayload(std::span<const std::uint8_t> payload);

// Decimals of the cycle time display: 0 above 1000 ms, 1 above 1 ms, else 2.
int cycleTimeDecimals(double cycleTimeMs);
// Scan frequency in Hz: 1000 / cycle time, 0 when the cycle time is not above 0.
double scanFrequency(double cycleTimeMs);
// Decimals of the scan frequency display, decided by the cycle time: 6 above
// 10000 ms, 3 above 1 ms, else 0.
int scanFrequencyDecimals(double cycleTimeMs);

// `value` with `decimals` digits after the point (C locale, rounded).
std::string fixedText(double value, int decimals);

// The displays' texts.
std::string cycleTimeText(double cycleTimeMs);
std::string scanFrequencyText(double cycleTimeMs);

// A cursor of the analogue graph (x in samples, y in digits).
struct ScopeCursor {
  double x = 0;
  double y = 0;
};

struct ScopeDeltas {
  double samples = 0;  // |trunc(x1 - x2)|
  double deltaX = 0;   // samples * cycle time * scan rate, milliseconds
  double deltaY = 0;   // |trunc(y1) - trunc(y2)|, digits
};

// calcScopDeltaXY's arithmetic. The difference of the x positions is
// truncated toward zero before its absolute value is taken; each y is
// truncated toward zero first. Before the cycle time is read (0) delta X is 0.
ScopeDeltas scopeDeltas(ScopeCursor cursor1, ScopeCursor cursor2, double cycleTimeMs, int scanRate);

// Decimals of the delta X display: 0 above 1000, 3 above 1, else 6.
int deltaXDecimals(double deltaXMs);
std::string deltaXText(double deltaXMs);
// Delta Y as an integer.
std::string deltaYText(double deltaY);

// The analogue graph's x axis: 0 to 128 samples.
inline constexpr double kScopeXMaximum = 128;
// Top of the analogue graph's y axis: 10000 for the calculated values in the
// s i M calculation modes (1 and 3), otherwise 4100.
inline constexpr std::uint16_t kScopeYMaximumRaw = 4100;
inline constexpr std::uint16_t kScopeYMaximumSiM = 10000;
std::uint16_t scopeYMaximum(std::uint16_t recordedSignal, std::uint16_t calculationMode);

}  // namespace drq
