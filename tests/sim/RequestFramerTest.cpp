// Assembling requests from a byte stream, and resynchronising after damage.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/RequestFramer.h"

namespace drq::sim::test {
namespace {

using Corruption = RequestFramer::Corruption;
constexpr std::uint64_t kQuiet = RequestFramer::kQuietMicros;

std::vector<Corruption> kinds(const std::vector<RequestFramer::Event>& events) {
  std::vector<Corruption> out;
  for (const auto& e : events) out.push_back(e.corruption);
  return out;
}

Bytes joined(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(RequestFramer, AssemblesFramesFromAnyPieces) {
  const Bytes payload(512, 0x5A);
  const Bytes write = request(ORDER_WRITE_PARA, 2, payload);
  const Bytes identify = request(ORDER_IDENTIFY);
  const Bytes stream = joined({write, identify, write});
  for (std::size_t piece :
       {std::size_t(1), std::size_t(7), std::size_t(9), std::size_t(600), stream.size()}) {
    RequestFramer f;
    std::vector<Bytes> frames;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      const auto part = std::span(stream).subspan(at, std::min(piece, stream.size() - at));
      for (auto& e : f.feed(part, at)) {
        ASSERT_EQ(e.corruption, Corruption::None);
        frames.push_back(e.frame);
      }
    }
    ASSERT_EQ(frames.size(), 3u) << piece;
    EXPECT_EQ(frames[0], write);
    EXPECT_EQ(frames[1], identify);
    EXPECT_EQ(frames[2], write);
    EXPECT_EQ(f.pendingBytes(), 0u);
  }
}

TEST(RequestFramer, BadStartGivesOneReportOnceTheLineIsQuiet) {
  RequestFramer f;
  EXPECT_TRUE(f.feed(joined({Bytes{0x00, 0x55}, request(ORDER_IDENTIFY)}), 0).empty());
  // More bytes soon after still belong to the damaged burst.
  EXPECT_TRUE(f.feed(request(ORDER_IDENTIFY), kQuiet - 1).empty());
  EXPECT_EQ(f.deadline(), 2 * kQuiet - 1);
  EXPECT_TRUE(f.poll(2 * kQuiet - 2).empty());
  // The report goes out when the discard ends, so a request sent after it is taken.
  EXPECT_EQ(kinds(f.poll(2 * kQuiet - 1)), std::vector{Corruption::BadStart});
  EXPECT_FALSE(f.deadline());
  const auto events = f.feed(request(ORDER_IDENTIFY), 2 * kQuiet);
  ASSERT_EQ(kinds(events), std::vector{Corruption::None});
  EXPECT_EQ(events[0].frame, request(ORDER_IDENTIFY));
}

TEST(RequestFramer, ReportDueBeforeNewBytesComesFirst) {
  RequestFramer f;
  EXPECT_TRUE(f.feed(Bytes{0x01}, 0).empty());
  // Nobody polled when the line went quiet: the report still precedes the request.
  EXPECT_EQ(kinds(f.feed(request(ORDER_IDENTIFY), 5 * kQuiet)),
            (std::vector{Corruption::BadStart, Corruption::None}));
}

TEST(RequestFramer, HeaderDamageAndOversizedLengthAreCorrupt) {
  Bytes badCrc = request(ORDER_GET_DATA);
  badCrc[7] ^= 0x80;
  RequestFramer f;
  EXPECT_TRUE(f.feed(badCrc, 0).empty());
  EXPECT_EQ(kinds(f.poll(kQuiet)), std::vector{Corruption::BadHeader});

  FrameHeader big;
  big.order = ORDER_WRITE_PARA;
  big.length = 513;
  const auto header = encodeHeaderFields(big);
  RequestFramer g;
  EXPECT_TRUE(g.feed(header, 0).empty());
  EXPECT_EQ(kinds(g.poll(kQuiet)), std::vector{Corruption::Oversized});
}

TEST(RequestFramer, PayloadDamageKeepsTheFrameBoundary) {
  Bytes bad = request(ORDER_SEND_CALIB, 0, Bytes{1, 2, 3, 4, 5, 6});
  bad[9] ^= 1;
  RequestFramer f;
  const auto events = f.feed(joined({bad, request(ORDER_IDENTIFY)}), 0);
  EXPECT_EQ(kinds(events), (std::vector{Corruption::BadPayload, Corruption::None}));

  // An empty payload must carry the CRC start value.
  FrameHeader h;
  h.order = ORDER_IDENTIFY;
  h.payloadCrc = 0x00;
  RequestFramer g;
  EXPECT_EQ(kinds(g.feed(encodeHeaderFields(h), 0)), std::vector{Corruption::BadPayload});
}

TEST(RequestFramer, StalledPartialRequestIsDroppedOnce) {
  RequestFramer f;
  const Bytes frame = request(ORDER_WRITE_PARA, 0, Bytes(34, 1));
  EXPECT_TRUE(f.feed(std::span(frame).first(20), 1000).empty());
  EXPECT_EQ(f.deadline(), 1000 + RequestFramer::kStallMicros);
  EXPECT_TRUE(f.poll(1000 + RequestFramer::kStallMicros - 1).empty());
  EXPECT_EQ(kinds(f.poll(1000 + RequestFramer::kStallMicros)), std::vector{Corruption::Stalled});
  EXPECT_FALSE(f.deadline());
  // The late rest does not start with 0x55: one more report once quiet.
  EXPECT_TRUE(f.feed(std::span(frame).subspan(20), 900'000).empty());
  EXPECT_EQ(kinds(f.feed(frame, 900'000 + kQuiet)),
            (std::vector{Corruption::BadStart, Corruption::None}));
}

}  // namespace
}  // namespace drq::sim::test
