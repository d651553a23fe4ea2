// Wire pacing: the line's timing arithmetic, and answers held for their wire
// time or split at their fault's gaps.

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <utility>

#include "SimTestSupport.h"
#include "sim/FaultRule.h"
#include "sim/SensorChannel.h"
#include "sim/SensorHost.h"

namespace drq::sim::test {
namespace {

constexpr std::uint32_t k921600 = 921'600;
constexpr std::uint32_t k9600 = 9'600;

TEST(WireTiming, SpanIsTenBitsAByteRoundedUp) {
  EXPECT_EQ(WireTiming::span(8, k921600), 87u);    // 86.8 us
  EXPECT_EQ(WireTiming::span(48, k921600), 521u);  // 520.8 us
  EXPECT_EQ(WireTiming::span(56, k9600), 58'334u);
  EXPECT_EQ(WireTiming::span(1, 10'000), 1'000u);  // exact: no extra microsecond
  EXPECT_EQ(WireTiming::span(0, k9600), 0u);
  EXPECT_EQ(WireTiming::span(520, 0), 0u);  // no pacing
  EXPECT_EQ(WireTiming::span(1'000'000, 300), 33'333'333'334u);
}

TEST(WireTiming, AnswerStartsWhenTheRequestHasArrived) {
  WireTiming wire;
  // The request seen at 1000 us needs its own wire time to arrive; the answer
  // then streams out and is complete 8 + 48 byte times after the request was seen.
  const std::uint64_t arrived = wire.receive(1'000, 8, k921600);
  EXPECT_EQ(arrived, 1'087u);
  EXPECT_EQ(wire.transmit(arrived, 48, k921600), 1'608u);
  EXPECT_EQ(wire.outboundEnd(), 1'608u);
  // The next request, seen after the answer: timed from when it is seen.
  EXPECT_EQ(wire.receive(5'000, 8, k921600), 5'087u);
  EXPECT_EQ(wire.transmit(5'087, 48, k921600), 5'608u);
}

TEST(WireTiming, BytesQueueBehindTheBytesStillOnTheLine) {
  WireTiming wire;
  // A request written in two pieces: the second is seen while the first is
  // still on its way, so it arrives right after it, not a whole span after it
  // was seen.
  EXPECT_EQ(wire.receive(0, 4, k9600), 4'167u);
  EXPECT_EQ(wire.receive(1'000, 4, k9600), 8'334u);
  // A piece seen after the line went quiet starts when it is seen.
  EXPECT_EQ(wire.receive(20'000, 8, k9600), 28'334u);
  EXPECT_EQ(wire.inboundEnd(), 28'334u);

  // Outgoing: a pushed frame occupies the line; an answer that could start
  // earlier waits for it, then streams.
  EXPECT_EQ(wire.transmit(0, 48, k921600), 521u);
  EXPECT_EQ(wire.transmit(100, 8, k921600), 608u);
  // A frame delayed past the line's end (fault delay) starts at its own time.
  EXPECT_EQ(wire.transmit(10'000, 8, k921600), 10'087u);
  // The two directions do not wait for each other.
  EXPECT_EQ(wire.inboundEnd(), 28'334u);
}

TEST(WireTiming, WithoutPacingOnlyTheOrderIsKept) {
  WireTiming wire;
  EXPECT_EQ(wire.receive(700, 520, 0), 700u);
  EXPECT_EQ(wire.transmit(500, 48, 0), 500u);
  EXPECT_EQ(wire.transmit(300, 48, 0), 500u);  // never before the frame queued earlier
  EXPECT_EQ(wire.transmit(900, 48, 0), 900u);
}

// A channel that notes when each write happens.
class RecordingChannel final : public SensorChannel {
 public:
  using SensorChannel::SensorChannel;
  std::vector<std::pair<std::uint64_t, Bytes>> writes;

 protected:
  void writeBytes(std::span<const std::uint8_t> bytes) override {
    writes.emplace_back(host_.wallMicros(), Bytes(bytes.begin(), bytes.end()));
  }
  void hangUp() override {}
};

TEST(SensorPacing, PipelinedAnswersEachTakeTheLineInTurn) {
  SensorModel model;
  model.setBaudIndex(4);  // 115200 bit/s
  SensorHost host(model);
  host.setPacing(true);
  RecordingChannel channel(host);
  Bytes both = request(ORDER_GET_DATA);
  const Bytes second = request(ORDER_IDENTIFY);
  both.insert(both.end(), second.begin(), second.end());

  const std::uint64_t seen = host.wallMicros();
  channel.receive(both);
  ASSERT_TRUE(QTest::qWaitFor([&] { return channel.writes.size() == 2; }, 5000));
  // Each answer in one write, none before a real line could have carried it:
  // the first after its request (8 bytes) and its 48 bytes, the second after
  // the first answer and its own 80 bytes.
  const std::uint32_t baud = 115'200;
  const std::uint64_t first = WireTiming::span(8, baud) + WireTiming::span(48, baud);
  EXPECT_EQ(channel.writes[0].second.size(), 48u);
  EXPECT_GE(channel.writes[0].first - seen, first);
  EXPECT_EQ(channel.writes[1].second.size(), 80u);
  EXPECT_GE(channel.writes[1].first - seen, first + WireTiming::span(80, baud));
}

// A split answer (fault injection) leaves in its pieces: the first at once,
// the rest once the gap has passed, never earlier.
TEST(SensorPacing, ASplitAnswerLeavesInItsPiecesAfterTheGap) {
  SensorModel model;
  SensorHost host(model);
  std::string error;
  const auto rule = parseFaultRule("order=8,times=1,kind=split:24:150", &error);
  ASSERT_TRUE(rule) << error;
  host.setFaultRules({*rule});
  RecordingChannel channel(host);

  const std::uint64_t seen = host.wallMicros();
  channel.receive(request(ORDER_GET_DATA));
  ASSERT_EQ(channel.writes.size(), 1u);
  EXPECT_EQ(channel.writes[0].second.size(), 24u);
  EXPECT_FALSE(channel.idle());  // the second piece waits for its time

  ASSERT_TRUE(QTest::qWaitFor([&] { return channel.writes.size() == 2; }, 5000));
  EXPECT_TRUE(channel.idle());
  EXPECT_GE(channel.writes[1].first - seen, 150'000u);
  Bytes whole = channel.writes[0].second;
  whole.insert(whole.end(), channel.writes[1].second.begin(), channel.writes[1].second.end());
  ASSERT_EQ(whole.size(), 48u);
  EXPECT_TRUE(headerIsValid(std::span(whole).first<8>()));
}

}  // namespace
}  // namespace drq::sim::test
