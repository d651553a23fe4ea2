// The help that follows a failed opening: which trouble it was, and what the
// operator can do.
#include <QSerialPort>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <grp.h>

#include "core/protocol/LinkSettings.h"
#include "core/protocol/SensorLink.h"
#include "link/ConnectionHelp.h"
#include "link/LinkSetup.h"
#include "link/Peers.h"
#include "link/TcpTransport.h"
#include "support/FakeClock.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

namespace drq {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  out.push_back(text.substr(start));
  return out;
}

class HelpFixture : public ::testing::Test {
 protected:
  HelpFixture() : link(runFlag, clock) { link.setFailureReport(&report); }
  ~HelpFixture() override { closeLink(link); }

  ObservableFlag runFlag;
  test::FakeClock clock;
  SensorLink link;
  test::RecordingReport report;
};

// Tests run as root, whom no device refuses: the refusal is injected.
TEST(ConnectionHelp, ADeniedPortNamesItsGroupAndTheCommandToJoinIt) {
  const DeviceAccess denied{true, false, QStringLiteral("dialout")};
  for (const auto error : {QSerialPort::PermissionError, QSerialPort::OpenError})
    EXPECT_EQ(classifySerialOpen(error, denied), LinkTrouble::PortPermission);
  HelpSubject s;
  s.device = QStringLiteral("/dev/ttyUSB0");
  s.access = denied;
  s.user = QStringLiteral("operator");
  EXPECT_EQ(lines(connectionHelp(LinkTrouble::PortPermission, s)),
            (std::vector<std::string>{
                "You may not open /dev/ttyUSB0: it belongs to the group \"dialout\".",
                "Join the group with: sudo usermod -a -G dialout operator",
                "then log out and in again."}));
  // A device only root may use: no group to join.
  s.access.group = QStringLiteral("root");
  EXPECT_EQ(
      connectionHelp(LinkTrouble::PortPermission, s),
      "You may not open /dev/ttyUSB0.\nAsk the administrator for read and write access to it.");
  s.user.clear();
  s.access.group = QStringLiteral("uucp");
  EXPECT_NE(connectionHelp(LinkTrouble::PortPermission, s).find("usermod -a -G uucp $USER"),
            std::string::npos);
}

TEST(ConnectionHelp, TheFileSystemTellsDeniedFromBusyAndMissing) {
  const DeviceAccess open{true, true, QStringLiteral("dialout")};
  const DeviceAccess missing{};
  EXPECT_EQ(classifySerialOpen(QSerialPort::PermissionError, open), LinkTrouble::PortBusy);
  EXPECT_EQ(classifySerialOpen(QSerialPort::PermissionError, missing), LinkTrouble::PortMissing);
  EXPECT_EQ(classifySerialOpen(QSerialPort::DeviceNotFoundError, open), LinkTrouble::PortMissing);
  EXPECT_EQ(classifySerialOpen(QSerialPort::UnsupportedOperationError, open), LinkTrouble::Unknown);
  EXPECT_EQ(connectionHelp(LinkTrouble::Unknown, {}), "");

  test::TempDir dir;
  const auto file = dir.file("ttyFAKE");
  ASSERT_TRUE(test::writeFileBytes(file, ""));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  const group* owner = ::getgrgid(info.st_gid);
  ASSERT_NE(owner, nullptr);
  const DeviceAccess probed = probeDeviceAccess(QString::fromStdString(file.string()));
  EXPECT_TRUE(probed.exists);
  EXPECT_TRUE(probed.readWrite);
  EXPECT_EQ(probed.group, QString::fromLocal8Bit(owner->gr_name));
  EXPECT_FALSE(probeDeviceAccess(QString::fromStdString(dir.file("gone").string())).exists);
}

TEST_F(HelpFixture, APortHeldByAnotherOpenIsBusy) {
  test::PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  const QString path = QString::fromStdString(peer.slavePath());
  QSerialPort holder(path);
  ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  link.state().protocol = kProtocolRs232;
  link.state().comDevice = peer.slavePath();
  EXPECT_EQ(InitRS232(link), kSerialCannotOpen);
  ASSERT_EQ(report.messages.size(), 1u);
  const auto text = lines(report.messages[0]);
  // Only the busy text follows: not the system's "permission error" on the lock.
  ASSERT_EQ(text.size(), 3u) << report.messages[0];
  EXPECT_EQ(text[0], "Cannot open port");
  EXPECT_EQ(text[1], "Another program holds " + peer.slavePath() + ".");
  EXPECT_EQ(report.messages[0].find("ermission"), std::string::npos) << report.messages[0];

  holder.close();  // released: it opens
  EXPECT_EQ(InitRS232(link), 0);
}

TEST_F(HelpFixture, ARefusedConnectionSaysSoAfterTheReason) {
  std::uint16_t freePort = 0;
  {
    test::TcpPeer gone;
    freePort = gone.port();
  }
  link.state().protocol = kProtocolTcp;
  link.state().serverAddress = "127.0.0.1";
  link.state().serverPort = freePort;
  EXPECT_EQ(InitTCP_IP(link), kTcpUnableToEstablishConnection);
  ASSERT_EQ(report.messages.size(), 1u);
  const auto text = lines(report.messages[0]);
  ASSERT_EQ(text.size(), 4u);
  EXPECT_EQ(text[0], "UnableToEstablishConnection");
  EXPECT_EQ(text[1], "Connection refused");
  EXPECT_EQ(text[2], "127.0.0.1 refused the connection: nothing accepts connections on port " +
                         std::to_string(freePort) + ".");
}

// A loopback listener whose one-place queue is full drops further
// connection requests: the connect runs out of time.
TEST(ConnectionHelp, AConnectionWithoutAnswerTimesOut) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  TcpTransport tcp;
  const std::uint16_t port = ntohs(address.sin_port);
  EXPECT_EQ(tcp.connectTo(QStringLiteral("127.0.0.1"), port, 300), kTcpTimeOut);
  EXPECT_EQ(classifyTcpConnect(tcp.lastError()), LinkTrouble::TcpTimedOut);
  HelpSubject s;
  s.host = QStringLiteral("127.0.0.1");
  s.port = port;
  s.timeoutMs = 300;
  EXPECT_EQ(lines(connectionHelp(LinkTrouble::TcpTimedOut, s))[0],
            "127.0.0.1 did not answer within 0.3 s.");
  ::close(filler);
  ::close(listener);
}

TEST(ConnectionHelp, UnreachableAndUnknownHosts) {
  EXPECT_EQ(classifyTcpConnect(QAbstractSocket::NetworkError), LinkTrouble::TcpUnreachable);
  EXPECT_EQ(classifyTcpConnect(QAbstractSocket::HostNotFoundError), LinkTrouble::TcpUnknownHost);
  EXPECT_EQ(classifyTcpConnect(QAbstractSocket::UnsupportedSocketOperationError),
            LinkTrouble::Unknown);
  HelpSubject s;
  s.host = QStringLiteral("192.168.100.9");
  EXPECT_EQ(lines(connectionHelp(LinkTrouble::TcpUnreachable, s))[0],
            "192.168.100.9 cannot be reached from this computer.");
  s.host = QStringLiteral("sensor-7");
  EXPECT_EQ(lines(connectionHelp(LinkTrouble::TcpUnknownHost, s))[0],
            "The name sensor-7 is not known.");
}

}  // namespace
}  // namespace drq
