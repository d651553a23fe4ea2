#include <gtest/gtest.h>

#include <vector>

#include "core/scope/ScopeMath.h"

namespace drq {
namespace {

TEST(ScopeMath, CycleTimeFromTheTwoCounters) {
  EXPECT_DOUBLE_EQ(cycleTimeFromCounters(250, 1000), 25.0);
  EXPECT_EQ(cycleTimeText(25.0), "25.0");
  EXPECT_EQ(scanFrequencyText(25.0), "40.000");
  // The virtual sensor's 500 us: A = 80, B = 16000.
  EXPECT_DOUBLE_EQ(cycleTimeFromCounters(80, 16000), 0.5);
  EXPECT_EQ(cycleTimeText(0.5), "0.50");
  EXPECT_EQ(scanFrequencyText(0.5), "2000");
  // B = 0: no cycle time, no frequency.
  EXPECT_EQ(cycleTimeFromCounters(250, 0), 0.0);
  EXPECT_EQ(cycleTimeText(0), "0.00");
  EXPECT_EQ(scanFrequencyText(0), "0");
}

TEST(ScopeMath, CountersComeFromThePayloadAsSignedWords) {
  const std::vector<std::uint8_t> payload = {0xFA, 0, 0, 0, 0xE8, 0x03, 0, 0, 0x55};
  EXPECT_DOUBLE_EQ(cycleTimeFromPayload(payload), 25.0);
  const std::vector<std::uint8_t> negative = {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
  EXPECT_DOUBLE_EQ(cycleTimeFromPayload(negative), -100.0);
  // A short payload has no B: 0, as for B = 0.
  EXPECT_EQ(cycleTimeFromPayload(std::vector<std::uint8_t>{0xFA, 0, 0, 0, 1}), 0.0);
  EXPECT_EQ(cycleTimeFromPayload({}), 0.0);
}

TEST(ScopeMath, DecimalsChangeStrictlyAboveTheirLimits) {
  EXPECT_EQ(cycleTimeText(1000.0), "1000.0");
  EXPECT_EQ(cycleTimeText(1000.4), "1000");
  EXPECT_EQ(cycleTimeText(1.0), "1.00");
  EXPECT_EQ(cycleTimeText(1.25), "1.2");  // 1.25 is exact: round half to even
  // The frequency's decimals follow the cycle time.
  EXPECT_EQ(scanFrequencyText(20000.0), "0.050000");
  EXPECT_EQ(scanFrequencyText(10000.0), "0.100");
  EXPECT_EQ(scanFrequencyText(1.0), "1000");
  EXPECT_EQ(scanFrequencyText(3.0), "333.333");
  EXPECT_EQ(fixedText(-0.0001, 2), "0.00");
}

TEST(ScopeMath, CursorDeltasTruncateBeforeTheAbsoluteValue) {
  // The difference -19.5 is truncated to -19.
  const ScopeDeltas d = scopeDeltas({10.7, 0}, {30.2, 0}, 0.5, 4);
  EXPECT_EQ(d.samples, 19.0);
  EXPECT_DOUBLE_EQ(d.deltaX, 38.0);
  EXPECT_EQ(deltaXText(d.deltaX), "38.000");
  // Each y is truncated first: trunc(-0.9) - trunc(2.9) = 0 - 2.
  EXPECT_EQ(scopeDeltas({0, -0.9}, {0, 2.9}, 1, 1).deltaY, 2.0);
  EXPECT_EQ(scopeDeltas({0, 3999.99}, {0, 0.5}, 1, 1).deltaY, 3999.0);
  EXPECT_EQ(deltaYText(3999.0), "3999");
  // x positions less than a sample apart: no samples.
  EXPECT_EQ(scopeDeltas({5.2, 0}, {5.9, 0}, 1, 1).samples, 0.0);
}

TEST(ScopeMath, DeltaXIsZeroBeforeTheCycleTimeIsRead) {
  const ScopeDeltas d = scopeDeltas({0, 0}, {128, 4100}, 0.0, 100);
  EXPECT_EQ(d.samples, 128.0);
  EXPECT_EQ(d.deltaX, 0.0);
  EXPECT_EQ(deltaXText(d.deltaX), "0.000000");
  EXPECT_EQ(deltaXText(0.25), "0.250000");
  EXPECT_EQ(deltaXText(1000.0), "1000.000");
  EXPECT_EQ(deltaXText(64000.0), "64000");
}

TEST(ScopeMath, YMaximumFollowsSignalAndCalculationMode) {
  EXPECT_EQ(scopeYMaximum(1, 2), 4100);
  EXPECT_EQ(scopeYMaximum(1, 3), 10000);
  EXPECT_EQ(scopeYMaximum(1, 1), 10000);
  EXPECT_EQ(scopeYMaximum(1, 0), 4100);
  EXPECT_EQ(scopeYMaximum(0, 3), 4100);  // raw channels
}

}  // namespace
}  // namespace drq
