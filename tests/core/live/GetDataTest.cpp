#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Session.h"
#include "core/live/GetData.h"
#include "core/protocol/Frame.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using test::FakeClock;
using test::FakeTransport;
using Bytes = std::vector<std::uint8_t>;

using test::RecordingReport;

LiveFrame numbered(std::int16_t base) {
  LiveFrame f;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w) {
    f.words[w] = static_cast<std::int16_t>(base + static_cast<int>(w));
  }
  return f;
}

Bytes dataAnswer(const LiveFrame& f) {
  const auto image = encodeLiveFrame(f);
  return buildFrame(ORDER_GET_DATA, 0, image);
}

// Hooks that log what the loop asked for, and optionally act like the GUI:
// a parameter write on Send, and an end after a number of frames.
class ScriptedHooks final : public LiveLoopHooks {
 public:
  explicit ScriptedHooks(Session& s) : session(s) {}
  void sendPara() override {
    events.push_back("send");
    if (writeOnSend) session.link.exchange(ORDER_WRITE_PARA, 0, Bytes(34, 0));
    if (stopOnSend) session.RunFlag.clear();
  }
  void getPara() override { events.push_back("get"); }
  void frameDecoded() override {
    events.push_back("frame " + std::to_string(session.CurrentFrame.words[0]));
    if (++frames == stopAfter) session.RunFlag.clear();
  }

  Session& session;
  std::vector<std::string> events;
  int frames = 0;
  int stopAfter = 0;
  bool writeOnSend = false;
  bool stopOnSend = false;
};

class LiveLoop : public ::testing::Test {
 protected:
  LiveLoop() : hooks(session) {
    auto t = std::make_unique<FakeTransport>(clock, TransportKind::Tcp);
    fake = t.get();
    session.link.setTransport(std::move(t));
    session.link.setFailureReport(&report);
    session.link.state().linkUp = true;
  }

  std::vector<unsigned> writtenOrders() const {
    std::vector<unsigned> orders;
    for (const auto& w : fake->written()) orders.push_back(w.size() > 1 ? w[1] : 0);
    return orders;
  }

  FakeClock clock;
  Session session;
  RecordingReport report;
  FakeTransport* fake = nullptr;
  ScriptedHooks hooks;
};

TEST_F(LiveLoop, StopWhileWaitingStillDecodesTheFrameInFlight) {
  fake->answerNext().run([this] { session.RunFlag.clear(); }).send(dataAnswer(numbered(7)), 0.05);
  GetData(session, hooks);
  EXPECT_EQ(session.CurrentFrame, numbered(7));
  EXPECT_EQ(hooks.events, (std::vector<std::string>{"frame 7"}));
  EXPECT_EQ(writtenOrders(), (std::vector<unsigned>{ORDER_GET_DATA}));
  EXPECT_EQ(fake->written()[0], buildFrame(ORDER_GET_DATA, 0, {}));
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_TRUE(report.messages.empty());
  // The live state followed the frame.
  EXPECT_EQ(session.live.RawDelta, 2);  // raw words 18, 19, 20
  EXPECT_EQ(session.live.XWindow.newest(), 10.0);
}

TEST_F(LiveLoop, SendAndGetPressedWhileRunningAreServedBetweenFramesAndAcquisitionGoesOn) {
  hooks.writeOnSend = true;
  hooks.stopAfter = 3;
  fake->answerNext()
      .run([this] {
        session.pendingSend = true;
        session.pendingGet = true;
      })
      .send(dataAnswer(numbered(1)), 0.01);
  fake->answerNext().send(buildFrame(ORDER_WRITE_PARA, 0, {}));
  fake->answerNext().send(dataAnswer(numbered(2)));
  fake->answerNext().send(dataAnswer(numbered(3)));
  GetData(session, hooks);

  EXPECT_EQ(hooks.events,
            (std::vector<std::string>{"frame 1", "send", "get", "frame 2", "frame 3"}));
  EXPECT_EQ(writtenOrders(), (std::vector<unsigned>{ORDER_GET_DATA, ORDER_WRITE_PARA,
                                                    ORDER_GET_DATA, ORDER_GET_DATA}));
  EXPECT_FALSE(session.pendingSend);
  EXPECT_FALSE(session.pendingGet);
  EXPECT_EQ(session.CurrentFrame, numbered(3));
  EXPECT_EQ(session.live.RgbWindow.newest(), 5.0);  // blue of frame 3
  EXPECT_EQ(session.live.RgbWindow[291], 1.0);      // red of frame 1, two samples earlier
}

TEST_F(LiveLoop, PendingRequestsBeforeTheFirstFrameAndATransferThatEndsTheRun) {
  session.pendingSend = true;
  session.pendingGet = true;
  hooks.stopOnSend = true;  // e.g. a plausibility notice, reported like a failure
  GetData(session, hooks);
  EXPECT_EQ(hooks.events, (std::vector<std::string>{"send"}));
  EXPECT_TRUE(fake->written().empty());
  EXPECT_TRUE(session.pendingGet);  // waits for the next run
  EXPECT_FALSE(session.RunFlag.isSet());
}

TEST_F(LiveLoop, FailedExchangeLeavesTheFrameAndEndsTheLoop) {
  fake->answerNext().send(dataAnswer(numbered(4)));
  Bytes corrupt = dataAnswer(numbered(5));
  corrupt[7] ^= 0x01;  // header CRC
  fake->answerNext().send(corrupt);
  fake->answerNext().send(dataAnswer(numbered(6)));  // never asked for
  GetData(session, hooks);

  EXPECT_EQ(session.CurrentFrame, numbered(4));
  EXPECT_EQ(hooks.events, (std::vector<std::string>{"frame 4"}));
  EXPECT_EQ(fake->written().size(), 2u);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgHeaderIncorrect)}));
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(session.live.XWindow[98], 0.0);  // one sample appended, not two
  EXPECT_EQ(session.live.XWindow.newest(), 7.0);
}

TEST_F(LiveLoop, ShortAnswerZeroesTheMissingWords) {
  hooks.stopAfter = 1;
  const Bytes image = [] {
    const auto full = encodeLiveFrame(numbered(9));
    return Bytes(full.begin(), full.begin() + 6);
  }();
  fake->answerNext().send(buildFrame(ORDER_GET_DATA, 0, image));
  GetData(session, hooks);
  LiveFrame expected;
  expected.words[0] = 9;
  expected.words[1] = 10;
  expected.words[2] = 11;
  EXPECT_EQ(session.CurrentFrame, expected);
}

}  // namespace
}  // namespace drq
