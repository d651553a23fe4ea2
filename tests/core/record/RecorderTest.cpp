#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Session.h"
#include "core/protocol/Frame.h"
#include "core/record/Recorder.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using test::FakeClock;
using test::FakeTransport;
using test::RecordingReport;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

LiveFrame numbered(int base) {
  LiveFrame f;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w) f.words[w] = static_cast<std::int16_t>(base);
  return f;
}

Bytes dataFrame(const LiveFrame& f, std::uint16_t argument = 0) {
  const auto image = encodeLiveFrame(f);
  return buildFrame(ORDER_GET_DATA, argument, image);
}

class FixedWallClock final : public WallClock {
 public:
  LocalDateTime now() const override { return t; }
  LocalDateTime t{2026, 6, 1, 8, 0, 0};
};

// Hooks that log and can end the recording after a number of counted frames.
class LoggingHooks final : public RecorderHooks {
 public:
  explicit LoggingHooks(Session& s) : session(s) {}
  std::uint16_t recordMode() override { return mode; }
  void frameRecorded() override {
    shown.push_back(session.CurrentFrame.words[0]);
    showTimes.push_back(clock ? clock->now() : 0);
  }
  void countersChanged(const RecordCounters& c) override {
    counters.push_back(c);
    if (stopAfterRunCounter != 0 && c.runCounter >= stopAfterRunCounter) session.RunFlag.clear();
  }

  Session& session;
  const FakeClock* clock = nullptr;
  std::uint16_t mode = 0;
  double stopAfterRunCounter = 0;
  std::vector<int> shown;
  std::vector<double> showTimes;
  std::vector<RecordCounters> counters;
};

class RecorderTest : public ::testing::TestWithParam<TransportKind> {
 protected:
  RecorderTest() : hooks(session), recorder(session, hooks, clock, wall) {
    auto t = std::make_unique<FakeTransport>(clock, GetParam());
    fake = t.get();
    session.link.setTransport(std::move(t));
    session.link.setFailureReport(&report);
    session.link.state().linkUp = true;
    session.recordFile = dir.file("RecordFile.dat");
    hooks.clock = &clock;
  }

  std::vector<std::pair<unsigned, unsigned>> requests() const {
    std::vector<std::pair<unsigned, unsigned>> r;
    for (const auto& w : fake->written()) r.emplace_back(w[1], w[2] | (w[3] << 8));
    return r;
  }
  std::string recorded() const { return test::readFileBytes(session.recordFile); }
  std::string lineOf(int base) const { return recordLine(numbered(base), wall.t); }

  TempDir dir;
  FakeClock clock;
  FixedWallClock wall;
  Session session;
  RecordingReport report;
  FakeTransport* fake = nullptr;
  LoggingHooks hooks;
  Recorder recorder;
};

std::string transportName(const ::testing::TestParamInfo<TransportKind>& param) {
  return param.param == TransportKind::Tcp ? "Tcp" : "Serial";
}

INSTANTIATE_TEST_SUITE_P(BothTransports, RecorderTest,
                         ::testing::Values(TransportKind::Tcp, TransportKind::Serial),
                         transportName);

using GetData = std::pair<unsigned, unsigned>;
const GetData kGetData{ORDER_GET_DATA, 0};
const GetData kAutoSendOn{ORDER_AUTO_SEND, 1};
const GetData kAutoSendOff{ORDER_AUTO_SEND, 0};

TEST_P(RecorderTest, CountedRecordingRequestsOneFrameEveryIntervalFromRequestStartToStart) {
  // The second answer takes 0.6 s, longer than the interval: the third
  // request follows at once.
  fake->answerNext().send(dataFrame(numbered(1)), 0.1);
  fake->answerNext().send(dataFrame(numbered(2)), 0.6);
  fake->answerNext().send(dataFrame(numbered(-3)), 0.1);
  const double start = clock.now();
  EXPECT_EQ(recorder.RecordFrame(0.5, 3), RecordOutcome::Ended);

  EXPECT_EQ(requests(), std::vector<GetData>(3, kGetData));
  EXPECT_EQ(hooks.shown, (std::vector<int>{1, 2, -3}));
  ASSERT_EQ(hooks.showTimes.size(), 3u);
  EXPECT_NEAR(hooks.showTimes[0] - start, 0.1, 1e-9);
  EXPECT_NEAR(hooks.showTimes[1] - start, 0.5 + 0.6, 1e-9);
  EXPECT_NEAR(hooks.showTimes[2] - start, 1.1 + 0.1, 1e-9);
  // No pause after the last frame.
  EXPECT_NEAR(clock.now() - start, 1.2, 1e-9);
  EXPECT_EQ(recorded(), lineOf(1) + lineOf(2) + lineOf(-3));
  ASSERT_EQ(hooks.counters.size(), 3u);
  EXPECT_EQ(hooks.counters.back().recorded, 3);
  EXPECT_EQ(hooks.counters.back().remaining, 0);
  EXPECT_EQ(hooks.counters[0].remaining, 2);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_TRUE(report.messages.empty());
  // The recorded frames reached the live state like live frames.
  EXPECT_EQ(session.CurrentFrame, numbered(-3));
  EXPECT_EQ(session.live.XWindow.newest(), -3.0);
}

TEST_P(RecorderTest, IntervalBelowTheFloorIsRaisedToAQuarterSecond) {
  fake->answerNext().send(dataFrame(numbered(1)));
  fake->answerNext().send(dataFrame(numbered(2)));
  const double start = clock.now();
  EXPECT_EQ(recorder.RecordFrame(0.1, 2), RecordOutcome::Ended);
  EXPECT_NEAR(hooks.showTimes[1] - start, 0.25, 1e-9);
}

TEST_P(RecorderTest, FailedExchangeCountsAsOneFrameAndEndsTheCountedRecording) {
  fake->answerNext().send(dataFrame(numbered(1)));
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  EXPECT_EQ(recorder.RecordFrame(1.0, 5), RecordOutcome::LinkFailed);
  EXPECT_EQ(requests(), std::vector<GetData>(2, kGetData));
  EXPECT_EQ(recorded(), lineOf(1));
  EXPECT_EQ(recorder.counters().recorded, 2);
  EXPECT_EQ(recorder.counters().remaining, 3);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgInvalidOrder)});
  EXPECT_FALSE(session.RunFlag.isSet());
}

TEST_P(RecorderTest, StopDuringTheWaitEndsWithoutAFurtherRequest) {
  hooks.mode = static_cast<std::uint16_t>(RecordMode::Open);
  fake->answerNext().send(dataFrame(numbered(1)));
  fake->answerNext()
      .send(dataFrame(numbered(2)))
      .run([this] { session.RunFlag.clear(); }, 3.0);  // the operator's Stop
  const double start = clock.now();
  EXPECT_EQ(recorder.RecordFrame(10.0, 0), RecordOutcome::Ended);
  EXPECT_EQ(requests(), std::vector<GetData>(2, kGetData));
  EXPECT_NEAR(clock.now() - start, 13.0, 1e-9);  // ended at the Stop, not after 20 s
  EXPECT_EQ(recorder.counters().runCounter, 2);
  EXPECT_EQ(recorder.counters().recorded, 0);
  EXPECT_EQ(recorded(), lineOf(1) + lineOf(2));
}

TEST_P(RecorderTest, CountZeroIsRefusedInCountedModeOnly) {
  EXPECT_EQ(recorder.RecordFrame(1.0, 0), RecordOutcome::Refused);
  EXPECT_TRUE(fake->written().empty());
  EXPECT_FALSE(std::filesystem::exists(session.recordFile));
  EXPECT_FALSE(Recorder::countIsRecordable(RecordMode::Counted, 0));
  EXPECT_TRUE(Recorder::countIsRecordable(RecordMode::Open, 0));
  EXPECT_TRUE(Recorder::countIsRecordable(RecordMode::Counted, 1));
}

TEST_P(RecorderTest, UnwritableRecordFileStopsAtTheFirstLine) {
  session.recordFile = dir.path() / "gone" / "RecordFile.dat";
  fake->answerNext().send(dataFrame(numbered(1)));
  fake->answerNext().send(dataFrame(numbered(2)));
  EXPECT_EQ(recorder.RecordFrame(1.0, 5), RecordOutcome::FileFailed);
  EXPECT_EQ(requests(), std::vector<GetData>{kGetData});
  ASSERT_TRUE(recorder.fileError());
  EXPECT_EQ(recorder.fileError()->path, session.recordFile);
  EXPECT_EQ(recorder.fileError()->reason, "No such file or directory");
  EXPECT_EQ(recorder.counters().recorded, 1);  // the request counts
  EXPECT_FALSE(session.RunFlag.isSet());
}

TEST_P(RecorderTest, TriggeredRecordingAppendsEveryPushedFrameAndAlwaysStopsTheStream) {
  hooks.mode = static_cast<std::uint16_t>(RecordMode::Triggered);
  hooks.stopAfterRunCounter = 3;
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .send(dataFrame(numbered(1), 1), 0.5)
      .send(dataFrame(numbered(-2), 2), 60.0)  // no time limit between triggers
      .send(dataFrame(numbered(3), 3), 0.001)
      .send(dataFrame(numbered(4), 4), 0.001);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::Ended);
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));
  EXPECT_EQ(hooks.shown, (std::vector<int>{1, -2, 3}));
  EXPECT_EQ(recorded(), lineOf(1) + lineOf(-2) + lineOf(3));
  EXPECT_EQ(recorder.counters().runCounter, 3);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_FALSE(session.RunFlag.isSet());
}

TEST_P(RecorderTest, TriggeredRecordingStoppedWhileWaitingForATrigger) {
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .run([this] { session.RunFlag.clear(); }, 1000.0);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::Ended);
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));
  EXPECT_FALSE(std::filesystem::exists(session.recordFile));
}

TEST_P(RecorderTest, LinkFailuresDuringATriggeredRecordingStillStopTheStream) {
  // Start refused: no frames are waited for, the stop is sent all the same.
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::LinkFailed);
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));

  // A corrupt pushed frame ends the recording after the good ones.
  Bytes bad = dataFrame(numbered(9));
  bad[7] ^= 0x5A;
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .send(dataFrame(numbered(8)), 0.2)
      .send(bad, 0.2);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  report.messages.clear();
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::LinkFailed);
  EXPECT_EQ(recorded(), lineOf(8));
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgHeaderIncorrect)});
  EXPECT_EQ(requests().back(), kAutoSendOff);
}

TEST_P(RecorderTest, AHangUpWhileWaitingForATriggerIsReportedOnceAndNothingIsSentAfterIt) {
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .send(dataFrame(numbered(6)), 0.2)
      .close(30.0);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::LinkFailed);
  const std::string_view expected =
      GetParam() == TransportKind::Serial ? kMsgStreamLineError : kMsgServerClosed;
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(expected)});
  EXPECT_EQ(recorded(), lineOf(6));
  EXPECT_EQ(requests(), std::vector<GetData>{kAutoSendOn});
  EXPECT_FALSE(session.RunFlag.isSet());
}

// Line errors exist on serial links only.
class SerialRecorderTest : public RecorderTest {};
INSTANTIATE_TEST_SUITE_P(SerialOnly, SerialRecorderTest, ::testing::Values(TransportKind::Serial),
                         transportName);

TEST_P(SerialRecorderTest, LineErrorWhileWaitingForATriggerIsReportedAndEndsTheRecording) {
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .send(dataFrame(numbered(5)), 0.2)
      .lineError(0x10, 5.0);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::LinkFailed);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgStreamLineError)});
  EXPECT_EQ(session.link.state().errorText, kMsgStreamLineError);
  EXPECT_EQ(recorded(), lineOf(5));
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));
}

TEST_P(RecorderTest, UnwritableFileEndsATriggeredRecordingAfterTheFirstFrame) {
  session.recordFile = dir.path();  // a folder
  fake->answerNext()
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
      .send(dataFrame(numbered(1)), 0.2)
      .send(dataFrame(numbered(2)), 0.2);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::FileFailed);
  EXPECT_EQ(hooks.shown, std::vector<int>{1});
  EXPECT_EQ(recorder.counters().runCounter, 0);
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));
}

// A stop while a pushed frame arrives piece by piece (as on a serial line):
// the frame is finished and recorded, the stop order follows, and a frame the
// sensor pushed before reading it is dropped, wherever the stop falls.
TEST_P(RecorderTest, StopWhileAPushedFrameArrivesRecordsItAndDropsTheFramesBeforeTheAnswer) {
  hooks.mode = static_cast<std::uint16_t>(RecordMode::Triggered);
  for (const std::size_t split :
       {std::size_t{1}, std::size_t{7}, std::size_t{8}, std::size_t{30}}) {
    SCOPED_TRACE(split);
    std::filesystem::remove(session.recordFile);
    hooks.shown.clear();
    const Bytes frame = dataFrame(numbered(7), 1);
    fake->answerNext()
        .send(buildFrame(ORDER_AUTO_SEND, 0, {}))
        .send(Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(split)), 0.5)
        .run([this] { session.RunFlag.clear(); }, 0.01)
        .sendInPieces(Bytes(frame.begin() + static_cast<std::ptrdiff_t>(split), frame.end()), 1,
                      0.001, 0.01);
    fake->answerNext()
        .send(dataFrame(numbered(8), 2))
        .send(buildFrame(ORDER_AUTO_SEND, 0, {}), 0.01);
    EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::Ended);
    EXPECT_EQ(hooks.shown, std::vector<int>{7});
    EXPECT_EQ(recorded(), lineOf(7));
    EXPECT_EQ(recorder.counters().runCounter, 1);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(session.link.state().linkUp);
    EXPECT_EQ(fake->pending(), 0u);
  }
  EXPECT_EQ(requests(),
            (std::vector<GetData>{kAutoSendOn, kAutoSendOff, kAutoSendOn, kAutoSendOff, kAutoSendOn,
                                  kAutoSendOff, kAutoSendOn, kAutoSendOff}));
}

TEST_P(RecorderTest, StopWhileTheStartIsAnsweredIsKept) {
  fake->answerNext()
      .run([this] { session.RunFlag.clear(); }, 0.1)
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}), 0.1);
  fake->answerNext().send(buildFrame(ORDER_AUTO_SEND, 0, {}));
  EXPECT_EQ(recorder.TriggeredRecord(), RecordOutcome::Ended);
  EXPECT_EQ(requests(), (std::vector<GetData>{kAutoSendOn, kAutoSendOff}));
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(RecorderTest, ManualRecordAppendsTheSameFrameAgainWhenNoNewOneArrived) {
  session.CurrentFrame = numbered(-40);
  EXPECT_TRUE(recorder.RecordManually());
  wall.t.second = 1;
  EXPECT_TRUE(recorder.RecordManually());
  EXPECT_EQ(recorded(), recordLine(numbered(-40), {2026, 6, 1, 8, 0, 0}) + lineOf(-40));
  EXPECT_EQ(recorder.counters().recorded, 2);
  EXPECT_TRUE(fake->written().empty());

  session.recordFile = dir.path();
  EXPECT_FALSE(recorder.RecordManually());
  EXPECT_EQ(recorder.counters().recorded, 2);
  EXPECT_TRUE(recorder.fileError());
}

}  // namespace
}  // namespace drq
