#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "core/protocol/Frame.h"
#include "core/protocol/LinkSettings.h"
#include "core/protocol/SensorLink.h"
#include "link/LinkSetup.h"
#include "link/Peers.h"
#include "link/SerialTransport.h"
#include "link/TcpTransport.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using test::Bytes;
using test::PtyPeer;
using test::TcpPeer;

using test::RecordingReport;

Bytes counting(std::size_t n) {
  Bytes b(n);
  std::iota(b.begin(), b.end(), std::uint8_t{1});
  return b;
}

double secondsSince(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) * 1e-9;
}

class LinkFixture : public ::testing::Test {
 protected:
  LinkFixture() : link(runFlag, clock) {
    link.setFailureReport(&report);
    runFlag.set(1);
  }
  ~LinkFixture() override { closeLink(link); }

  int connectTcp(std::uint16_t port) {
    link.state().protocol = kProtocolTcp;
    link.state().serverAddress = "127.0.0.1";
    link.state().serverPort = port;
    return InitTCP_IP(link);
  }
  int openPty(PtyPeer& peer, std::uint16_t baudIndex = kDefaultBaudIndex) {
    link.state().protocol = kProtocolRs232;
    link.state().comDevice = peer.slavePath();
    link.state().baudIndex = baudIndex;
    const int result = InitRS232(link);
    peer.closeSlave();
    return result;
  }

  SteadyClock clock;
  ObservableFlag runFlag;
  SensorLink link;
  RecordingReport report;
};

// --- TCP ----------------------------------------------------------------------

TEST_F(LinkFixture, TcpResponseInOneBytePieces) {
  TcpPeer peer;
  const Bytes answer = buildFrame(ORDER_IDENTIFY, 4711, counting(72));
  peer.onRequest = [&](const Bytes&) { peer.sendInPieces(answer, 1, 1); };
  ASSERT_EQ(connectTcp(peer.port()), 0);
  EXPECT_TRUE(link.state().tcpConnected);
  EXPECT_EQ(link.state().lastTransportError, 0);
  ASSERT_EQ(link.exchange(ORDER_IDENTIFY, 0), 1);
  EXPECT_EQ(peer.requests, std::vector<Bytes>{buildFrame(ORDER_IDENTIFY, 0, {})});
  EXPECT_EQ(link.responseArgument(), 4711);
  EXPECT_EQ(Bytes(link.responsePayload().begin(), link.responsePayload().end()), counting(72));
  EXPECT_TRUE(report.messages.empty());
}

TEST_F(LinkFixture, TcpServerClosingMidExchange) {
  TcpPeer peer;
  const Bytes answer = buildFrame(ORDER_GET_DATA, 0, counting(40));
  peer.onRequest = [&](const Bytes&) {
    peer.send(Bytes(answer.begin(), answer.begin() + 12));
    peer.later(20, [&] { peer.hangUp(); });
  };
  ASSERT_EQ(connectTcp(peer.port()), 0);
  // How soon the close ends the wait: bench/link_bench ("wake-ups").
  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_EQ(report.messages,
            (std::vector<std::string>{std::string(kMsgServerClosed), std::string(kMsgTimeout)}));
  EXPECT_FALSE(link.state().tcpConnected);
  EXPECT_EQ(runFlag.value(), 0);
}

TEST_F(LinkFixture, TcpSilentPeerTimesOutAfterThreeSeconds) {
  TcpPeer peer;
  ASSERT_EQ(connectTcp(peer.port()), 0);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  const double seconds = secondsSince(elapsed);
  // Never before the deadline. How soon after it the wait returns depends
  // on the machine's load: no upper bound here.
  EXPECT_GT(seconds, 3.0);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

TEST_F(LinkFixture, TcpConnectFailuresReportTheirText) {
  std::uint16_t freePort = 0;
  {
    TcpPeer probe;  // a port that was free a moment ago and is closed now
    freePort = probe.port();
  }
  EXPECT_EQ(connectTcp(freePort), kTcpUnableToEstablishConnection);
  EXPECT_EQ(link.state().lastTransportError, kTcpUnableToEstablishConnection);
  EXPECT_FALSE(link.state().tcpConnected);
  link.state().serverPort = 0;
  bool cursorShown = false;
  EXPECT_EQ(InitTCP_IP(link, [&](bool on) { cursorShown = cursorShown || on; }),
            kTcpInvalidParameter);
  EXPECT_TRUE(cursorShown);
  ASSERT_EQ(report.messages.size(), 2u);
  EXPECT_TRUE(report.messages[0].starts_with("UnableToEstablishConnection\n"));
  EXPECT_EQ(report.messages[1], "InvalidParameter");  // nothing was tried
}

TEST_F(LinkFixture, StreamWaitWakesWhenTheFlagIsClearedByACallback) {
  TcpPeer peer;
  ASSERT_EQ(connectTcp(peer.port()), 0);
  QTimer::singleShot(50, [&] { runFlag.clear(); });
  // The wait has no time limit: only the cleared flag can end it.
  EXPECT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Stopped);
  // Frames pushed back to back are received one by one.
  runFlag.set(1);
  peer.send(buildFrame(ORDER_GET_DATA, 1, counting(40)));
  peer.send(buildFrame(ORDER_GET_DATA, 2, counting(40)));
  ASSERT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.responseArgument(), 1);
  ASSERT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.responseArgument(), 2);
  EXPECT_TRUE(report.messages.empty());
}

// --- Serial over a pseudo-terminal ---------------------------------------------

TEST_F(LinkFixture, SerialOpensAt921600AndFallsBackTo115200ForUnknownIndexes) {
  PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  ASSERT_EQ(openPty(peer, 7), 0);
  auto* port = dynamic_cast<SerialTransport*>(link.transport());
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->baudRate(), 921600);
  PtyPeer other;
  ASSERT_EQ(openPty(other, 12), 0);
  EXPECT_EQ(dynamic_cast<SerialTransport*>(link.transport())->baudRate(), 115200);
  EXPECT_TRUE(report.messages.empty());
}

TEST_F(LinkFixture, SerialResponseInOneBytePieces) {
  PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  const Bytes answer = buildFrame(ORDER_READ_PARA, 0, counting(34));
  peer.onRequest = [&](const Bytes&) { peer.sendInPieces(answer, 1, 1); };
  ASSERT_EQ(openPty(peer, 7), 0);
  ASSERT_EQ(link.exchange(ORDER_READ_PARA, 0), 1);
  EXPECT_EQ(peer.requests, std::vector<Bytes>{buildFrame(ORDER_READ_PARA, 0, {})});
  EXPECT_EQ(Bytes(link.responsePayload().begin(), link.responsePayload().end()), counting(34));
}

TEST_F(LinkFixture, SerialHangUpIsALineErrorAndClosesThePort) {
  PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  const Bytes answer = buildFrame(ORDER_GET_DATA, 0, counting(40));
  peer.onRequest = [&](const Bytes&) {
    peer.send(Bytes(answer.begin(), answer.begin() + 10));
    peer.later(20, [&] { peer.hangUp(); });
  };
  ASSERT_EQ(openPty(peer), 0);
  // How soon the hang-up ends the wait: bench/link_bench ("wake-ups").
  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  EXPECT_GT(link.state().lineStatus, 0);
  ASSERT_NE(link.transport(), nullptr);
  EXPECT_FALSE(link.transport()->isOpen());  // closed, so the event loop does not spin
  // A stream on the dead line ends with the line-status message.
  runFlag.set(1);
  EXPECT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Failed);
  EXPECT_EQ(report.messages.back(), kMsgStreamLineError);
}

TEST_F(LinkFixture, SerialSilentPeerTimesOutAfterThreeSecondsPlusThePortTimeout) {
  PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  ASSERT_EQ(openPty(peer), 0);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  const double seconds = secondsSince(elapsed);
  // Only the lower bound (see above).
  EXPECT_GT(seconds, 3.0);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

TEST_F(LinkFixture, SerialOpenFailuresReportTheirText) {
  link.state().comDevice = "/dev/drq-no-such-port";
  runFlag.set(1);
  EXPECT_EQ(InitRS232(link), kSerialNoPortFound);
  EXPECT_EQ(link.state().lastTransportError, kSerialNoPortFound);
  EXPECT_EQ(link.transport(), nullptr);
  EXPECT_EQ(runFlag.value(), 0);
  link.state().comDevice.clear();
  link.state().comPort = 0;
  EXPECT_EQ(InitRS232(link), kSerialInvalidPort);
  ASSERT_EQ(report.messages.size(), 2u);
  EXPECT_TRUE(report.messages[0].starts_with("No serial port found\n"));
  EXPECT_EQ(report.messages[1], "Invalid port number");  // nothing was opened
}

// What the operator tool says first, and then on a line of its own what the
// system said.
TEST_F(LinkFixture, OpenFailuresAddTheSystemsReason) {
  link.state().comDevice = "/dev/drq-no-such-port";
  QSerialPort probe(QString::fromStdString(link.state().comDevice));
  ASSERT_FALSE(probe.open(QIODevice::ReadWrite));
  ASSERT_FALSE(probe.errorString().isEmpty());
  EXPECT_EQ(InitRS232(link), kSerialNoPortFound);

  std::uint16_t freePort = 0;
  {
    TcpPeer gone;
    freePort = gone.port();
  }
  EXPECT_EQ(connectTcp(freePort), kTcpUnableToEstablishConnection);
  ASSERT_EQ(report.messages.size(), 2u);
  EXPECT_TRUE(report.messages[0].starts_with("No serial port found\n" +
                                             probe.errorString().toStdString() + "\nThere is"));
  EXPECT_TRUE(
      report.messages[1].starts_with("UnableToEstablishConnection\nConnection refused\n127.0.0.1"));
}

// Qt files some failures (a directory, a path through a plain file) as an
// unknown error: they must still fail, with the table's text.
TEST_F(LinkFixture, SerialOpenFailuresQtCannotNameAreNeverSuccess) {
  test::TempDir dir;
  const std::string file = dir.file("plain").string();
  ASSERT_TRUE(test::writeFileBytes(file, "x"));
  for (const std::string& device : {dir.path().string(), file + "/ttyS0"}) {
    report.messages.clear();
    link.state().comDevice = device;
    const int result = InitRS232(link);
    EXPECT_LT(result, 0) << device;
    EXPECT_EQ(link.state().lastTransportError, result);
    EXPECT_EQ(link.transport(), nullptr);
    ASSERT_EQ(report.messages.size(), 1u) << device;
    EXPECT_EQ(report.messages[0].substr(0, report.messages[0].find('\n')), serialErrorText(result));
  }
}

TEST(SerialNames, DevicePathsAndComNumbers) {
  LinkState s;
  s.comPort = 1;
#ifdef Q_OS_WIN
  EXPECT_EQ(serialDeviceName(s), "COM1");
#else
  EXPECT_EQ(serialDeviceName(s), "/dev/ttyS0");
  s.comDevice = "COM3";
  EXPECT_EQ(serialDeviceName(s), "/dev/ttyS2");
  s.comDevice = "/dev/ttyUSB0";
  EXPECT_EQ(serialDeviceName(s), "/dev/ttyUSB0");
  s.comDevice = "COMX";
  EXPECT_EQ(serialDeviceName(s), "COMX");
#endif
  s.comDevice.clear();
  s.comPort = 0;
  EXPECT_TRUE(serialDeviceName(s).isEmpty());
  for (const auto& entry : availableSerialPorts()) EXPECT_FALSE(entry.device.isEmpty());
}

}  // namespace
}  // namespace drq
