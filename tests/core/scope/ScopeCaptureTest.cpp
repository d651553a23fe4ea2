#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/Frame.h"
#include "core/scope/ScopeCapture.h"
#include "core/scope/ScopeMath.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using test::FakeClock;
using test::FakeTransport;
using test::RecordingReport;
using Bytes = std::vector<std::uint8_t>;

// A capture frame for buffer k: sample word i = base + i, ring position p.
Bytes captureFrame(std::uint16_t k, std::uint16_t base, std::uint16_t p) {
  Bytes payload(kScopeFramePayload);
  for (std::size_t i = 0; i < kScopeSamples; ++i) {
    writeLe16(payload, 2 * i, static_cast<std::uint16_t>(base + i));
  }
  writeLe16(payload, 2 * kScopeSamples, p);
  return buildFrame(ORDER_SCOPE, k, payload);
}

Bytes startAnswer() {
  return buildFrame(ORDER_SCOPE, 0, {});
}

class ScopeCapture : public ::testing::TestWithParam<TransportKind> {
 protected:
  void SetUp() override { useTransport(GetParam()); }

  void useTransport(TransportKind kind) {
    auto t = std::make_unique<FakeTransport>(clock, kind);
    fake = t.get();
    link.setTransport(std::move(t));
    link.setFailureReport(&report);
    link.state().linkUp = true;
  }

  // The four frames of a capture, buffer k's samples starting at 1000 * (k + 1).
  std::vector<Bytes> frames(std::uint16_t p) const {
    std::vector<Bytes> all;
    for (std::uint16_t k = 0; k < 4; ++k) {
      all.push_back(captureFrame(k, static_cast<std::uint16_t>(1000 * (k + 1)), p));
    }
    return all;
  }

  // Scripts the start's answer and, `after` seconds later, the frames.
  void answerStart(const std::vector<Bytes>& captured, double after = 1.0) {
    test::PeerScript& script = fake->answerNext().send(startAnswer());
    for (const Bytes& f : captured) {
      script.send(f, after);
      after = 0.001;
    }
  }

  CaptureResult capture() {
    return GetScopeData(link, settings, state, [this] {
      ++startedCalls;
      runningWhenStarted = state.captureRunning.isSet();
    });
  }

  // A previous capture that must survive a capture that does not complete.
  void givePreviousCapture() {
    for (auto& trace : state.traces) trace.fill(7);
    state.captures = 1;
  }

  FakeClock clock;
  ObservableFlag runFlag;
  SensorLink link{runFlag, clock};
  RecordingReport report;
  FakeTransport* fake = nullptr;
  ScopeSettings settings;
  ScopeState state;
  int startedCalls = 0;
  bool runningWhenStarted = false;
};

TEST_P(ScopeCapture, StartsWithTheSettingsAndUnwrapsTheFourFrames) {
  settings.triggerLevel = 2500;
  settings.triggerMode = 1;
  settings.preTrigger = 20;
  settings.scanRate = 3;
  settings.signal = 1;
  answerStart(frames(5), 30.0);  // the trigger comes late: no time limit
  EXPECT_EQ(capture(), CaptureResult::Captured);

  ASSERT_EQ(fake->written().size(), 1u);
  EXPECT_EQ(fake->written()[0],
            buildFrame(ORDER_SCOPE, 1, Bytes{0xC4, 0x09, 1, 0, 20, 0, 3, 0, 1, 0}));
  EXPECT_EQ(startedCalls, 1);
  EXPECT_TRUE(runningWhenStarted);
  EXPECT_FALSE(state.captureRunning.isSet());
  EXPECT_EQ(state.captures, 1u);
  for (std::size_t k = 0; k < 4; ++k) {
    const auto base = 1000 * (k + 1);
    EXPECT_EQ(state.traces[k][0], base + 113) << "buffer " << k;
    EXPECT_EQ(state.traces[k][20], base + 5) << "buffer " << k;
  }
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(ScopeCapture, SingleShotDrawsTheSamplesInReceivedOrder) {
  settings.preTrigger = 20;
  answerStart(frames(77));
  EXPECT_EQ(capture(), CaptureResult::Captured);
  for (std::size_t i = 0; i < kScopeSamples; ++i) EXPECT_EQ(state.traces[kScopeBlue][i], 3000 + i);
}

TEST_P(ScopeCapture, BreakDuringTheWaitKeepsThePreviousCapture) {
  givePreviousCapture();
  fake->answerNext().send(startAnswer());
  fake->answerNext().send(startAnswer());  // the break's answer
  int breakResult = 0;
  fake->push().run([&] { breakResult = BreakDataScan(link, state); }, 5.0);
  EXPECT_EQ(capture(), CaptureResult::Abandoned);

  EXPECT_EQ(breakResult, 1);
  ASSERT_EQ(fake->written().size(), 2u);
  EXPECT_EQ(fake->written()[1], buildFrame(ORDER_SCOPE, 0, {}));
  EXPECT_EQ(state.traces[kScopeRed][0], 7);
  EXPECT_EQ(state.captures, 1u);
  EXPECT_FALSE(state.captureRunning.isSet());
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(ScopeCapture, RefusedStartIsNoCapture) {
  givePreviousCapture();
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  EXPECT_EQ(capture(), CaptureResult::NotStarted);
  EXPECT_EQ(startedCalls, 0);
  EXPECT_EQ(state.traces[kScopeStates][127], 7);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgInvalidOrder)}));
}

TEST_P(ScopeCapture, CycleTimeIsReadOrReset) {
  Bytes counters(8);
  counters[0] = 250;
  counters[4] = 0xE8;
  counters[5] = 0x03;
  fake->answerNext().send(buildFrame(ORDER_GET_CYCLE_TIME, 0, counters));
  EXPECT_EQ(GetCycleTime(link, state), 1);
  EXPECT_EQ(fake->written()[0], buildFrame(ORDER_GET_CYCLE_TIME, 0, {}));
  EXPECT_DOUBLE_EQ(state.cycleTime, 25.0);
  // No answer: reported by the link, and the cycle time is 0 again.
  EXPECT_EQ(GetCycleTime(link, state), -1);
  EXPECT_EQ(state.cycleTime, 0.0);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgTimeout)}));
}

INSTANTIATE_TEST_SUITE_P(BothLinks, ScopeCapture,
                         ::testing::Values(TransportKind::Serial, TransportKind::Tcp),
                         [](const ::testing::TestParamInfo<TransportKind>& kind) {
                           return kind.param == TransportKind::Tcp ? std::string("Tcp")
                                                                   : std::string("Serial");
                         });

class ScopeCaptureSerial : public ScopeCapture {
 protected:
  void SetUp() override { useTransport(TransportKind::Serial); }
};

TEST_F(ScopeCaptureSerial, BadFrameKeepsItsBufferAndTheCaptureGoesOn) {
  givePreviousCapture();
  auto captured = frames(0);
  captured[1][kHeaderSize + 3] ^= 0xFF;  // a sample of the green frame
  answerStart(captured);
  EXPECT_EQ(capture(), CaptureResult::Captured);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgDataIncorrect)}));
  EXPECT_EQ(state.traces[kScopeRed][0], 1000);
  EXPECT_EQ(state.traces[kScopeGreen][0], 7);  // the previous capture's trace
  EXPECT_EQ(state.traces[kScopeBlue][0], 3000);
  EXPECT_EQ(state.traces[kScopeStates][0], 4000);
  EXPECT_EQ(state.captures, 2u);
}

TEST_F(ScopeCaptureSerial, LineErrorWhileWaitingEndsWithoutDrawing) {
  givePreviousCapture();
  fake->answerNext().send(startAnswer()).send(frames(0)[0], 0.5).lineError(4, 2.0);
  EXPECT_EQ(capture(), CaptureResult::Failed);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgStreamLineError)}));
  EXPECT_EQ(state.traces[kScopeRed][0], 7);  // the frame that did arrive is not shown
  EXPECT_FALSE(state.captureRunning.isSet());
}

class ScopeCaptureTcp : public ScopeCapture {
 protected:
  void SetUp() override { useTransport(TransportKind::Tcp); }
};

TEST_F(ScopeCaptureTcp, FramesInPiecesAreAwaitedUntilAll1072BytesAreThere) {
  Bytes all = startAnswer();
  for (const Bytes& f : frames(0)) all.insert(all.end(), f.begin(), f.end());
  ASSERT_EQ(all.size(), kScopeStreamBytes);
  fake->answerNext().sendInPieces(all, 100, 0.5);
  EXPECT_EQ(capture(), CaptureResult::Captured);
  EXPECT_EQ(state.traces[kScopeStates][127], 4127);
}

TEST_F(ScopeCaptureTcp, BadHeaderOrPayloadEndsWithoutDrawing) {
  struct Case {
    const char* name;
    std::size_t frame;
    std::size_t byte;  // in the frame; its bits are flipped
    std::string_view message;
  };
  const Case cases[] = {
      {"header CRC of the red frame", 0, 7, kMsgHeaderIncorrect},
      {"start byte of the digital frame", 3, 0, kMsgHeaderIncorrect},
      {"sample of the blue frame", 2, 20, kMsgDataIncorrect},
      {"ring position of the green frame", 1, kHeaderSize + 257, kMsgDataIncorrect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    useTransport(TransportKind::Tcp);
    report.messages.clear();
    givePreviousCapture();
    auto captured = frames(0);
    captured[c.frame][c.byte] ^= 0xFF;
    answerStart(captured);
    EXPECT_EQ(capture(), CaptureResult::Failed);
    EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(c.message)}));
    for (const auto& trace : state.traces) EXPECT_EQ(trace[0], 7);
    EXPECT_EQ(state.captures, 1u);
  }
}

TEST_F(ScopeCaptureTcp, BlockWithoutPayloadIsAnIncorrectHeader) {
  auto captured = frames(0);
  // 266 bytes whose header announces no payload (padding keeps the size).
  captured[2] = buildFrame(ORDER_SCOPE, 2, {});
  captured[2].resize(kScopeFrameBytes, 0);
  answerStart(captured);
  EXPECT_EQ(capture(), CaptureResult::Failed);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgHeaderIncorrect)}));
}

TEST_F(ScopeCaptureTcp, ServerClosingDuringTheWaitEndsTheCapture) {
  fake->answerNext().send(startAnswer()).send(frames(0)[0], 0.5).close(1.0);
  EXPECT_EQ(capture(), CaptureResult::Failed);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgServerClosed)}));
  EXPECT_FALSE(state.captureRunning.isSet());
}

}  // namespace
}  // namespace drq
