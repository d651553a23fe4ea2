#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Session.h"
#include "core/calib/WhiteCalibration.h"
#include "core/protocol/Frame.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sums of `n` identical frames.
WhiteFrames framesOf(std::size_t n, std::int32_t red, std::int32_t green, std::int32_t blue,
                     std::uint32_t delta) {
  WhiteFrames f;
  const auto count = static_cast<std::int32_t>(n);
  f.rawSums = {red * count, green * count, blue * count};
  f.deltaSum = delta * static_cast<std::uint32_t>(n);
  f.exchanges = n;
  f.goodFrames = n;
  return f;
}

TEST(WhiteCalibrationMaths, SetValue900OnMeans800_900_1000Gives1152_1024_921) {
  const WhiteResult r = computeWhiteCalibration(framesOf(100, 800, 900, 1000, 200), 900, 200);
  ASSERT_TRUE(r.passed());
  EXPECT_EQ(r.means, (std::array<std::int16_t, 3>{800, 900, 1000}));
  EXPECT_EQ(r.meanDelta, 200);  // equal to the maximum: accepted
  EXPECT_EQ(r.factors, (ChannelWords{1152, 1024, 921}));
  EXPECT_EQ(r.title(), "CALIBRATION PASSED!");
  EXPECT_EQ(r.message(), kMsgCalibrationPassed);
}

TEST(WhiteCalibrationMaths, ADeltaAboveTheMaximumIsRejectedBeforeAnyFactor) {
  const WhiteResult r = computeWhiteCalibration(framesOf(100, 800, 900, 1000, 201), 900, 200);
  EXPECT_EQ(r.outcome, WhiteOutcome::DeltaTooHigh);
  EXPECT_EQ(r.meanDelta, 201);
  EXPECT_EQ(r.factors, kNeutralFactors);
  EXPECT_EQ(r.title(), "ATTENTION!");
  EXPECT_EQ(r.message(), kMsgDeltaTooHigh);
}

TEST(WhiteCalibrationMaths, DarkChannelsCountAsOneAndTheRangeEndsAt4096) {
  EXPECT_EQ(factorFor(4, 0), 4096u);
  EXPECT_EQ(factorFor(5, 0), 5120u);
  // A negative mean is darker still: it never gives a factor of 0.
  EXPECT_EQ(factorFor(4, -7), 4096u);
  EXPECT_EQ(factorFor(65535, 1), 65535u * 1024u);

  WhiteResult r = computeWhiteCalibration(framesOf(100, 0, 4, 4, 4), 4, 10);
  ASSERT_TRUE(r.passed());
  EXPECT_EQ(r.factors, (ChannelWords{4096, 1024, 1024}));

  r = computeWhiteCalibration(framesOf(100, 5, 0, 5, 5), 5, 10);
  EXPECT_EQ(r.outcome, WhiteOutcome::FactorOutOfRange);
  EXPECT_EQ(r.quotients, (std::array<std::uint32_t, 3>{1024, 5120, 1024}));
  EXPECT_EQ(r.factors, kNeutralFactors);
  EXPECT_EQ(r.message(), kMsgFactorOutOfRange);

  r = computeWhiteCalibration(framesOf(100, -3, 100, 100, 103), 1000, 200);
  EXPECT_EQ(r.outcome, WhiteOutcome::FactorOutOfRange);
}

TEST(WhiteCalibrationMaths, AQuotientBeyond16BitsIsOutOfRangeNotWrappedIntoIt) {
  // 1000 * 1024 / 10 = 102400, which as a 16-bit word would read 36864 and
  // as 17 bits' remainder could look small; it must be rejected whole.
  const WhiteResult r = computeWhiteCalibration(framesOf(100, 10, 1000, 1000, 0), 1000, 0);
  EXPECT_EQ(r.outcome, WhiteOutcome::FactorOutOfRange);
  EXPECT_EQ(r.quotients[0], 102400u);
}

TEST(WhiteCalibrationMaths, MeansAreTakenOverTheFramesThatArrivedAndTruncateTowardZero) {
  WhiteFrames f;
  f.rawSums = {90 * 900 + 89, -181, 90 * 1000};
  f.deltaSum = 90 * 100 + 89;
  f.exchanges = 100;
  f.goodFrames = 90;
  const WhiteResult r = computeWhiteCalibration(f, 900, 100);
  EXPECT_EQ(r.means, (std::array<std::int16_t, 3>{900, -2, 1000}));
  EXPECT_EQ(r.meanDelta, 100);

  f.goodFrames = 0;
  EXPECT_EQ(computeWhiteCalibration(f, 900, 100).outcome, WhiteOutcome::NoGoodFrames);
  EXPECT_EQ(computeWhiteCalibration(f, 900, 100).message(), kMsgNoGoodFrames);
  f.goodFrames = 97;
  f.sensorStopped = true;
  EXPECT_EQ(computeWhiteCalibration(f, 900, 100).outcome, WhiteOutcome::SensorStopped);
}

TEST(WhiteCalibrationMaths, FewerThanNinetyGoodFramesAreRejectedWithoutMeans) {
  WhiteFrames f = framesOf(89, 800, 900, 1000, 100);
  f.exchanges = 100;
  WhiteResult r = computeWhiteCalibration(f, 900, 200);
  EXPECT_EQ(r.outcome, WhiteOutcome::TooFewGoodFrames);
  EXPECT_EQ(r.title(), "ATTENTION!");
  EXPECT_EQ(r.message(), kMsgTooFewGoodFrames);
  EXPECT_EQ(r.factors, kNeutralFactors);
  f = framesOf(90, 800, 900, 1000, 100);
  f.exchanges = 100;
  EXPECT_TRUE(computeWhiteCalibration(f, 900, 200).passed());
}

// --- The measurement loop on a scripted sensor ---------------------------------

class RecordingHooks final : public WhiteCalibrationHooks {
 public:
  explicit RecordingHooks(const LiveFrame& f) : current(f) {}
  void blink(std::uint32_t rgb) override { colours.push_back(rgb); }
  void frameDecoded() override { rawRed.push_back(current[FrameWord::RawRed]); }
  const LiveFrame& current;
  std::vector<std::uint32_t> colours;
  std::vector<int> rawRed;
};

LiveFrame whiteFrame(std::int16_t red, std::int16_t green, std::int16_t blue) {
  LiveFrame f;
  f[FrameWord::RawRed] = red;
  f[FrameWord::RawGreen] = green;
  f[FrameWord::RawBlue] = blue;
  f[FrameWord::Red] = 7;
  return f;
}

Bytes dataAnswer(const LiveFrame& f) {
  return buildFrame(ORDER_GET_DATA, 0, encodeLiveFrame(f));
}

// An answer whose payload does not match its CRC.
Bytes damagedAnswer(const LiveFrame& f) {
  Bytes frame = dataAnswer(f);
  frame[kHeaderSize + 3] ^= 0x40;
  return frame;
}

// The link runs on the fake clock, so that time-outs pass at once.
class WhiteLoop : public testing::Test {
 protected:
  WhiteLoop() : hooks(current) {
    auto t = std::make_unique<test::FakeTransport>(clock, TransportKind::Tcp);
    fake = t.get();
    link.setTransport(std::move(t));
    link.setFailureReport(&report);
    link.state().linkUp = true;
  }

  WhiteFrames collect() { return collectWhiteFrames(link, current, live, hooks); }

  test::FakeClock clock;
  ObservableFlag run;
  SensorLink link{run, clock};
  LiveFrame current;
  LiveState live;
  test::RecordingReport report;
  test::FakeTransport* fake = nullptr;
  RecordingHooks hooks;
};

TEST_F(WhiteLoop, HundredFramesBlinkTwentyTimesRedFirstAndEndGrey) {
  run.set(1);
  for (int i = 0; i < 100; ++i) {
    fake->answerNext().send(
        dataAnswer(whiteFrame(static_cast<std::int16_t>(800 + i % 2), 900, 1000)));
  }
  const WhiteFrames f = collect();
  EXPECT_FALSE(run.isSet());
  EXPECT_EQ(f.exchanges, 100u);
  EXPECT_EQ(f.goodFrames, 100u);
  EXPECT_FALSE(f.sensorStopped);
  EXPECT_EQ(f.rawSums, (std::array<std::int32_t, 3>{80050, 90000, 100000}));
  EXPECT_EQ(f.deltaSum, 100u * 200u - 50u);
  ASSERT_EQ(hooks.colours.size(), 20u);
  for (std::size_t i = 0; i < 20; ++i) {
    EXPECT_EQ(hooks.colours[i], i % 2 == 0 ? kBlinkRed : kBlinkGrey) << i;
  }
  EXPECT_EQ(hooks.rawRed.size(), 100u);
  // The last frame is the current one; the strip charts were not fed.
  EXPECT_EQ(current, whiteFrame(801, 900, 1000));
  EXPECT_EQ(live.RawDelta, 199);
  EXPECT_EQ(live.RgbWindow.newest(), 0.0);
  for (const auto& request : fake->written()) EXPECT_EQ(request, buildFrame(ORDER_GET_DATA, 0, {}));
  EXPECT_TRUE(report.messages.empty());
}

TEST_F(WhiteLoop, FailedExchangesLeaveMeansOverTheGoodFrames) {
  for (int i = 0; i < 100; ++i) {
    const LiveFrame f = whiteFrame(800, 900, 1000);
    fake->answerNext().send(i % 10 != 0 ? dataAnswer(f) : damagedAnswer(whiteFrame(0, 0, 0)));
  }
  const WhiteFrames f = collect();
  EXPECT_EQ(f.exchanges, 100u);
  EXPECT_EQ(f.goodFrames, 90u);
  EXPECT_FALSE(f.sensorStopped);
  EXPECT_EQ(report.messages.size(), 10u);
  EXPECT_EQ(report.messages.front(), kMsgDataIncorrect);

  const WhiteResult r = computeWhiteCalibration(f, 900, 200);
  ASSERT_TRUE(r.passed());
  // Divided by 100 the means would be 720, 810, 900.
  EXPECT_EQ(r.means, (std::array<std::int16_t, 3>{800, 900, 1000}));
  EXPECT_EQ(r.factors, (ChannelWords{1152, 1024, 921}));
}

// An error report with an argument the link lets pass, or a cut payload,
// carries no whole frame: a failed exchange, reported as a bad data frame.
TEST_F(WhiteLoop, AnswersShorterThanAFrameAreFailedExchanges) {
  const LiveFrame white = whiteFrame(800, 900, 1000);
  const auto bytes = encodeLiveFrame(white);
  for (int i = 0; i < 100; ++i) {
    if (i % 20 == 3) {
      fake->answerNext().send(buildFrame(kErrorReportOrder, 3, {}));
    } else if (i % 20 == 13) {
      fake->answerNext().send(buildFrame(ORDER_GET_DATA, 0, Bytes(bytes.begin(), bytes.end() - 1)));
    } else {
      fake->answerNext().send(dataAnswer(white));
    }
  }
  const WhiteFrames f = collect();
  EXPECT_EQ(f.exchanges, 100u);
  EXPECT_EQ(f.goodFrames, 90u);
  EXPECT_FALSE(f.sensorStopped);
  EXPECT_EQ(report.messages, std::vector<std::string>(10, std::string(kMsgDataIncorrect)));
  EXPECT_EQ(hooks.rawRed, std::vector<int>(90, 800));
  const WhiteResult r = computeWhiteCalibration(f, 900, 200);
  ASSERT_TRUE(r.passed());
  EXPECT_EQ(r.means, (std::array<std::int16_t, 3>{800, 900, 1000}));
}

// Damaged answers come from a sensor that answers: wherever three of them fall
// in a row, the measurement goes on and the good frames decide.
TEST_F(WhiteLoop, DamagedAnswersInARowNeverEndTheMeasurementWhereverTheyFall) {
  for (const int first : {0, 47, 96, 97}) {
    report.messages.clear();
    for (int i = 0; i < 100; ++i) {
      const LiveFrame f = whiteFrame(800, 900, 1000);
      const bool damaged = i >= first && i < first + 3;
      fake->answerNext().send(damaged ? damagedAnswer(f) : dataAnswer(f));
    }
    const WhiteFrames f = collect();
    EXPECT_EQ(f.exchanges, 100u) << first;
    EXPECT_EQ(f.goodFrames, 97u) << first;
    EXPECT_FALSE(f.sensorStopped) << first;
    EXPECT_TRUE(computeWhiteCalibration(f, 900, 200).passed()) << first;
  }
}

TEST_F(WhiteLoop, ASilentSensorEndsTheMeasurementAfterThreeTimeOuts) {
  for (int i = 0; i < 40; ++i) fake->answerNext().send(dataAnswer(whiteFrame(800, 900, 1000)));
  const double start = clock.now();
  const WhiteFrames f = collect();
  EXPECT_EQ(f.exchanges, 43u);
  EXPECT_EQ(f.goodFrames, 40u);
  EXPECT_TRUE(f.sensorStopped);
  EXPECT_EQ(report.messages.size(), 3u);
  EXPECT_LT(clock.now() - start, 10.0);  // three waits of 3 s, not 60
  // The button does not stay red: the last change (frame 40) was red.
  ASSERT_FALSE(hooks.colours.empty());
  EXPECT_EQ(hooks.colours.size(), 10u);
  EXPECT_EQ(hooks.colours.back(), kBlinkGrey);
  EXPECT_EQ(computeWhiteCalibration(f, 900, 200).outcome, WhiteOutcome::SensorStopped);

  link.setTransport(nullptr);
  fake = nullptr;
  const WhiteFrames none = collect();
  EXPECT_EQ(none.exchanges, 1u);  // no connection: nothing to wait for
  EXPECT_EQ(none.goodFrames, 0u);
  EXPECT_EQ(computeWhiteCalibration(none, 900, 200).outcome, WhiteOutcome::NoGoodFrames);
}

TEST_F(WhiteLoop, ThreeTimeOutsAtTheEndAreASensorThatStoppedAnsweringToo) {
  for (int i = 0; i < 97; ++i) fake->answerNext().send(dataAnswer(whiteFrame(800, 900, 1000)));
  const WhiteFrames f = collect();
  EXPECT_EQ(f.exchanges, 100u);
  EXPECT_EQ(f.goodFrames, 97u);
  EXPECT_TRUE(f.sensorStopped);
  EXPECT_EQ(computeWhiteCalibration(f, 900, 200).outcome, WhiteOutcome::SensorStopped);
}

TEST_F(WhiteLoop, AClosedConnectionEndsTheMeasurementAtOnce) {
  for (int i = 0; i < 7; ++i) fake->answerNext().send(dataAnswer(whiteFrame(800, 900, 1000)));
  fake->answerNext().close();
  const WhiteFrames f = collect();
  EXPECT_EQ(f.exchanges, 8u);
  EXPECT_EQ(f.goodFrames, 7u);
  EXPECT_TRUE(f.sensorStopped);
}

}  // namespace
}  // namespace drq
