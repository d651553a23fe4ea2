#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/calib/Calibration.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes words(std::initializer_list<std::uint16_t> values) {
  Bytes out;
  for (const std::uint16_t v : values) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return out;
}

// The calibration orders on a scripted TCP peer.
class CalibOrders : public testing::Test {
 protected:
  CalibOrders() {
    auto transport = std::make_unique<test::FakeTransport>(clock, TransportKind::Tcp);
    fake = transport.get();
    link.setTransport(std::move(transport));
    link.setFailureReport(&report);
    link.state().linkUp = true;
  }

  void answer(std::uint8_t order, std::uint16_t argument, const Bytes& payload = {}) {
    fake->answerNext().send(buildFrame(order, argument, payload));
  }

  test::FakeClock clock;
  ObservableFlag run;
  SensorLink link{run, clock};
  test::FakeTransport* fake = nullptr;
  test::RecordingReport report;
};

TEST_F(CalibOrders, GetCFTakesFactorsThenOffsetsAndIgnoresFurtherWords) {
  answer(ORDER_GET_CALIB, 0, words({1152, 1024, 921, 12, 7, 65535, 99}));
  CalibrationValues values;
  EXPECT_EQ(GetCF(link, values), 1);
  EXPECT_EQ(values.factors, (ChannelWords{1152, 1024, 921}));
  EXPECT_EQ(values.offsets, (ChannelWords{12, 7, 65535}));
  EXPECT_EQ(fake->written().at(0), buildFrame(ORDER_GET_CALIB, 0, {}));
  EXPECT_TRUE(report.messages.empty());
}

TEST_F(CalibOrders, ShortAnswersChangeNothingAndAreReportedAsBadDataFrames) {
  answer(ORDER_GET_CALIB, 0, words({1, 2, 3, 4, 5}));  // five words of six
  answer(ORDER_SELF_CALIBRATION, 0, words({1, 2, 3, 4}));
  answer(ORDER_GET_CALIB, 0);  // no payload at all
  CalibrationValues values;
  values.offsets = {9, 9, 9};
  const CalibrationValues before = values;
  SelfCalibration self;
  const SelfCalibration selfBefore = self;

  EXPECT_EQ(GetCF(link, values), -1);
  EXPECT_EQ(StartSelfCalibration(link, self), -1);
  EXPECT_EQ(GetCF(link, values), -1);
  EXPECT_EQ(values, before);
  EXPECT_EQ(self, selfBefore);
  EXPECT_EQ(report.messages, std::vector<std::string>(3, std::string(kMsgDataIncorrect)));
  EXPECT_FALSE(link.state().linkUp);
}

TEST_F(CalibOrders, SendCFAndSendOffsetWriteThreeWordsWithTheirArgument) {
  answer(ORDER_SEND_CALIB, 0);
  answer(ORDER_SEND_CALIB, 0);
  EXPECT_EQ(SendCF(link, {1152, 1024, 4096}), 1);
  EXPECT_EQ(SendOffset(link, {12, 0, 300}), 1);
  EXPECT_EQ(fake->written().at(0), buildFrame(ORDER_SEND_CALIB, 0, words({1152, 1024, 4096})));
  EXPECT_EQ(fake->written().at(1), buildFrame(ORDER_SEND_CALIB, 1, words({12, 0, 300})));
  EXPECT_TRUE(report.messages.empty());
}

TEST_F(CalibOrders, APlausibilityCountIsPostedAsNoticeAndTheSendStillSucceeds) {
  answer(ORDER_SEND_CALIB, 2);
  EXPECT_EQ(SendCF(link, {5000, 6000, 1024}), 1);
  ASSERT_EQ(report.messages.size(), 1u);
  EXPECT_EQ(report.messages[0],
            "INFO!\n2 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
            "VALUE!");
}

TEST_F(CalibOrders, CalcOffsetReadsBackFactorsAndOffsetsOnlyAfterASuccess) {
  answer(ORDER_CALC_OFFSET, 0);
  answer(ORDER_GET_CALIB, 0, words({1000, 1001, 1002, 31, 32, 33}));
  CalibrationValues values;
  EXPECT_EQ(CalcOffset(link, values), 1);
  EXPECT_EQ(values.offsets, (ChannelWords{31, 32, 33}));
  EXPECT_EQ(values.factors, (ChannelWords{1000, 1001, 1002}));
  ASSERT_EQ(fake->written().size(), 2u);
  EXPECT_EQ(fake->written()[0], buildFrame(ORDER_CALC_OFFSET, 1, {}));

  // The sensor refuses the order: nothing is read afterwards.
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  EXPECT_EQ(CalcOffset(link, values), -1);
  EXPECT_EQ(fake->written().size(), 3u);
  EXPECT_EQ(values.offsets, (ChannelWords{31, 32, 33}));
}

TEST_F(CalibOrders, SelfCalibrationReportsFactorsSetValueAndMaximumDelta) {
  answer(ORDER_SELF_CALIBRATION, 0, words({1100, 990, 1300, 1500, 400}));
  SelfCalibration self;
  EXPECT_EQ(StartSelfCalibration(link, self), 1);
  EXPECT_EQ(self.factors, (ChannelWords{1100, 990, 1300}));
  EXPECT_EQ(self.setValue, 1500);
  EXPECT_EQ(self.maxDelta, 400);
  EXPECT_EQ(fake->written().at(0), buildFrame(ORDER_SELF_CALIBRATION, 0, {}));
}

}  // namespace
}  // namespace drq
