// Peers that misbehave for a long time: a flood of junk that never makes a
// frame, and a serial line that goes away in the middle of the live loop.
// The engine ends with the failure each case calls for, reports it once,
// holds a bounded amount of the flood and closes the line that is gone.
// (Its pace, wake-up times and processor time: bench/link_bench and the
// soak, gui/HangUpAndFloodTest.)

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Session.h"
#include "core/live/GetData.h"
#include "core/protocol/Frame.h"
#include "core/protocol/LinkSettings.h"
#include "core/protocol/SensorLink.h"
#include "link/LinkSetup.h"
#include "link/Peers.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using test::Bytes;
using test::PtyPeer;
using test::RecordingReport;
using test::TcpPeer;

// Junk at about a megabyte a second, in 10 KB pieces every 10 ms. No byte is
// a start byte, so no frame ever begins.
class Flood {
 public:
  explicit Flood(TcpPeer& peer) : peer_(peer) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      peer_.send(Bytes(10 * 1024, 0xA5));
      sent_ += 10 * 1024;
    });
  }
  void start() { timer_.start(10); }
  std::size_t sent() const { return sent_; }

 private:
  TcpPeer& peer_;
  QTimer timer_;
  std::size_t sent_ = 0;
};

TEST(Flood, JunkWithoutAFrameFailsTheExchangeAndStaysBounded) {
  TcpPeer peer;
  Flood flood(peer);
  peer.onRequest = [&](const Bytes&) { flood.start(); };

  SteadyClock clock;
  ObservableFlag runFlag(1);
  SensorLink link(runFlag, clock);
  RecordingReport report;
  link.setFailureReport(&report);
  link.state().protocol = kProtocolTcp;
  link.state().serverAddress = "127.0.0.1";
  link.state().serverPort = peer.port();
  ASSERT_EQ(InitTCP_IP(link), 0);

  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgHeaderIncorrect)});

  // The link stays open after the failure, as it does for the operator, and
  // the flood goes on while nobody reads: far more than the transport holds.
  // (The event loop's pace meanwhile: the soak, gui/HangUpAndFloodTest.)
  ASSERT_TRUE(QTest::qWaitFor([&] { return flood.sent() >= 1'000'000; }, 60'000));
  ASSERT_NE(link.transport(), nullptr);
  EXPECT_LE(link.transport()->bytesAvailable(), kMaxUnreadInput);

  // Every later exchange ends the same way, once.
  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_EQ(report.messages.size(), 2u);
  EXPECT_EQ(report.messages.back(), kMsgHeaderIncorrect);
  closeLink(link);
}

TEST(HangUp, SerialLineGoneDuringTheLiveLoopIsReportedOnceAndLeavesTheProcessorIdle) {
  PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    if (++answered <= 5) {
      peer.send(buildFrame(ORDER_GET_DATA, 0, Bytes(40, 7)));
      return;
    }
    peer.send(Bytes{kStartByte, ORDER_GET_DATA});  // a frame cut short by the hang-up
    peer.later(20, [&] { peer.hangUp(); });
  };

  Session session;
  RecordingReport report;
  session.link.setFailureReport(&report);
  session.link.state().protocol = kProtocolRs232;
  session.link.state().comDevice = peer.slavePath();
  ASSERT_EQ(InitRS232(session.link), 0);
  peer.closeSlave();

  struct Hooks final : LiveLoopHooks {
    void sendPara() override {}
    void getPara() override {}
    void frameDecoded() override { ++frames; }
    int frames = 0;
  } hooks;
  // How soon the hang-up ends the loop and what the idle process costs
  // afterwards: bench/link_bench and the soak (gui/HangUpAndFloodTest).
  GetData(session, hooks);
  EXPECT_EQ(hooks.frames, 5);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  EXPECT_EQ(session.RunFlag.value(), 0);
  ASSERT_NE(session.link.transport(), nullptr);
  // Closed, so nothing is left that wakes the process.
  EXPECT_FALSE(session.link.transport()->isOpen());
  EXPECT_EQ(report.messages.size(), 1u);
  closeLink(session.link);
}

}  // namespace
}  // namespace drq
