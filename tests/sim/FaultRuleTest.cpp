// The fault rule grammar, its matching and what each fault does to a frame.

#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/FaultRule.h"

namespace drq::sim::test {
namespace {

FaultRule parsed(std::string_view text) {
  std::string error;
  const auto rule = parseFaultRule(text, &error);
  EXPECT_TRUE(rule) << error;
  return rule.value_or(FaultRule{});
}

TEST(FaultRule, ParsesAndFormatsTheGrammar) {
  const FaultRule a = parsed("order=8,nth=3,kind=silent");
  EXPECT_EQ(a.order, 8);
  EXPECT_EQ(a.nth, 3u);
  EXPECT_EQ(a.kind, FaultKind::Silent);
  const FaultRule b = parsed("index=5,kind=header-bytes:7");
  EXPECT_EQ(b.index, 5u);
  EXPECT_EQ(b.value, 7u);
  const FaultRule c = parsed("order=110,push=2,times=1,kind=bad-payload-crc");
  EXPECT_EQ(c.push, 2u);
  EXPECT_EQ(c.times, 1u);
  EXPECT_EQ(parsed("push=any,kind=oversize").value, kDefaultOversize);
  EXPECT_EQ(parsed("kind=split:3").gapMs, kDefaultSplitGapMs);
  EXPECT_EQ(parsed("kind=split:3:40").gapMs, 40u);

  for (std::string_view text :
       {"order=8,nth=3,kind=silent", "index=5,kind=header-bytes:7",
        "order=110,push=2,times=1,kind=bad-payload-crc", "push=any,kind=oversize:2041",
        "kind=split:3:2", "kind=delay:3500", "kind=error:1", "kind=close", "kind=bad-start",
        "kind=bad-header-crc"})
    EXPECT_EQ(formatFaultRule(parsed(text)), text);
}

TEST(FaultRule, RejectsMalformedRules) {
  for (std::string_view text :
       {"", "kind=", "order=8", "kind=silent,kind=close", "order=256,kind=silent",
        "order=-1,kind=silent", "index=0,kind=silent", "nth=0,kind=silent", "kind=header-bytes",
        "kind=header-bytes:8", "kind=silent:1", "kind=split:0", "kind=delay:1x", "kind=explode",
        "colour=red,kind=silent", "order=8 ,kind=silent", "index=2,push=1,kind=silent",
        "kind=silent,", "push=0,kind=silent"}) {
    std::string error;
    EXPECT_FALSE(parseFaultRule(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(FaultRule, ReadsRuleFilesWithCommentsAndAnyLineEnds) {
  std::string error;
  const auto rules = parseFaultRules(
      "# faults\r\norder=8,kind=silent\r\n\r\nindex=2,kind=close\rkind=error:2\n", &error);
  ASSERT_TRUE(rules) << error;
  ASSERT_EQ(rules->size(), 3u);
  EXPECT_EQ((*rules)[2].kind, FaultKind::Error);
  EXPECT_FALSE(parseFaultRules("kind=silent\n\nkind=bogus\n", &error));
  EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
}

TEST(FaultRule, InjectorMatchesOrderIndexNthTimesAndPushes) {
  FaultInjector inj;
  inj.setRules({parsed("order=8,nth=3,kind=silent"), parsed("index=5,kind=close"),
                parsed("order=7,times=2,kind=error:1"), parsed("order=110,push=4,kind=bad-start")});
  std::vector<int> fired;
  const std::uint8_t orders[] = {8, 8, 8, 7, 8, 7, 7, 8, 8};
  for (std::uint8_t o : orders) {
    const auto r = inj.onRequest(o);
    fired.push_back(r ? int(r->kind) : -1);
  }
  const int silent = int(FaultKind::Silent), close = int(FaultKind::Close),
            error = int(FaultKind::Error);
  // request 3: 3rd GET_DATA; 5: index; 4, 6: the two identifications; 9: 6th GET_DATA
  EXPECT_EQ(fired, (std::vector{-1, -1, silent, error, close, error, -1, -1, silent}));
  EXPECT_EQ(inj.requestCount(), 9u);
  EXPECT_EQ(inj.fired(2), 2u);

  EXPECT_FALSE(inj.onPush(110, 3));
  EXPECT_EQ(inj.onPush(110, 4)->kind, FaultKind::BadStart);
  EXPECT_FALSE(inj.onPush(30, 4));
  EXPECT_FALSE(inj.onRequest(110));  // push rules never touch answers

  inj.setRules({parsed("index=1,kind=silent")});
  EXPECT_TRUE(inj.onRequest(1));  // counting starts again
}

TEST(FaultRule, EachKindDamagesTheFrameAsNamed) {
  const Bytes frame = request(ORDER_GET_DATA, 0, Bytes(40, 0x11));
  auto only = [&](std::string_view text) { return applyFault(parsed(text), frame); };
  auto bytesOf = [](const Transmission& t) {
    Bytes all;
    for (const Piece& p : t.pieces) all.insert(all.end(), p.bytes.begin(), p.bytes.end());
    return all;
  };

  const Transmission plain = applyFault(std::nullopt, frame);
  ASSERT_EQ(plain.pieces.size(), 1u);
  EXPECT_EQ(plain.pieces[0].bytes, frame);

  EXPECT_TRUE(only("kind=silent").pieces.empty());
  EXPECT_EQ(bytesOf(only("kind=header-bytes:7")), Bytes(frame.begin(), frame.begin() + 7));
  EXPECT_TRUE(only("kind=header-bytes:0").pieces.empty());

  Bytes b = bytesOf(only("kind=bad-start"));
  EXPECT_EQ(b[0], 0xAA);
  EXPECT_EQ(crc8Update(b, 0, 8, crc8Table()), 0);  // only the start byte is wrong

  b = bytesOf(only("kind=bad-header-crc"));
  EXPECT_FALSE(headerIsValid(std::span(b).first<8>()));
  EXPECT_EQ(Bytes(b.begin() + 8, b.end()), Bytes(frame.begin() + 8, frame.end()));

  b = bytesOf(only("kind=bad-payload-crc"));
  EXPECT_TRUE(headerIsValid(std::span(b).first<8>()));
  EXPECT_NE(headerOf(b).payloadCrc, crc8(std::span(b).subspan(8)));

  b = bytesOf(only("kind=oversize"));
  EXPECT_TRUE(headerIsValid(std::span(b).first<8>()));
  EXPECT_EQ(headerOf(b).length, 2041);
  EXPECT_EQ(b.size(), frame.size());

  const Transmission late = only("kind=delay:250");
  ASSERT_EQ(late.pieces.size(), 1u);
  EXPECT_EQ(late.pieces[0].delayMs, 250u);

  const Transmission split = only("kind=split:20:5");
  ASSERT_EQ(split.pieces.size(), 3u);  // 48 bytes in 20, 20, 8
  EXPECT_EQ(split.pieces[0].delayMs, 0u);
  EXPECT_EQ(split.pieces[2].delayMs, 5u);
  EXPECT_EQ(split.pieces[2].bytes.size(), 8u);
  EXPECT_EQ(bytesOf(split), frame);

  const Transmission closing = only("kind=close");
  EXPECT_TRUE(closing.pieces.empty());
  EXPECT_TRUE(closing.closeAfter);

  EXPECT_TRUE(isErrorReport(bytesOf(only("kind=error:2")), 2));
}

}  // namespace
}  // namespace drq::sim::test
