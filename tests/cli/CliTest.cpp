#include <gtest/gtest.h>

#include <QSerialPort>

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "core/protocol/Frame.h"
#include "link/Peers.h"

namespace drq::cli {
namespace {

using test::Bytes;

using test::CliRun;

CliRun run(const std::vector<std::string>& args) {
  return test::runCliCaptured(args);
}

std::string tcpTarget(const test::TcpPeer& peer) {
  return "127.0.0.1:" + std::to_string(peer.port());
}

TEST(Cli, UsageErrorsExitWithTwoBeforeTouchingTheLink) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"--tcp"},
      {"--tcp", "host:0", "raw", "7"},
      {"--tcp", "host:65536", "raw", "7"},
      {"--tcp", "host:", "raw", "7"},
      {"--tcp", "a", "--serial", "/dev/ttyS0", "raw", "7"},
      {"--serial", "/dev/ttyS0", "--baud", "1234", "raw", "7"},
      {"--serial", "/dev/ttyS0", "--baud", "9600", "--baud-index", "0", "raw", "7"},
      {"--tcp", "a", "--baud", "9600", "raw", "7"},
      {"--tcp", "a", "raw"},
      {"--tcp", "a", "raw", "256"},
      {"--tcp", "a", "raw", "7", "65536"},
      {"--tcp", "a", "raw", "7", "0", "1"},
      {"--tcp", "a", "raw", "-1"},
      {"--tcp", "a", "raw", "7x"},
      {"--tcp", "a", "raw", "7", "--payload", "123"},
      {"--tcp", "a", "raw", "7", "--payload", "zz"},
      {"--tcp", "a", "raw", "7", "--payload", std::string(1026, '0')},
      {"--tcp", "a", "raw", "7", "--verbose"},
      {"raw", "7"},  // no link given
  };
  for (const auto& args : cases) {
    const CliRun r = run(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("usage: drqctl"), std::string::npos) << r.err;
  }
  const CliRun help = run({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("raw ORDER [ARG] [--payload HEX]"), std::string::npos);
}

// Needs no link; one "name<TAB>what it is" line per port (none in a container).
TEST(Cli, PortsListsTheSerialPortsWithoutALink) {
  const CliRun r = run({"ports"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  std::size_t start = 0;
  for (std::size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_NE(r.out.substr(start, end - start).find('\t'), std::string::npos);
  EXPECT_EQ(start, r.out.size());
  EXPECT_EQ(run({"ports", "extra"}).status, kExitUsage);
}

TEST(Cli, RawPrintsTheFourResponseLines) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) {
    peer.send(buildFrame(ORDER_READ_PARA, 300, Bytes{0x00, 0xFF, 0x10}));
  };
  const CliRun r = run({"--tcp", tcpTarget(peer), "raw", "0x02", "5", "--payload", "0a0B"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, "order=2\nargument=300\nlength=3\npayload=00ff10\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(peer.requests, std::vector<Bytes>{buildFrame(ORDER_READ_PARA, 5, Bytes{0x0A, 0x0B})});

  // Options after the command and an empty payload.
  peer.onRequest = [&](const Bytes&) { peer.send(buildFrame(ORDER_IDENTIFY, 65535, {})); };
  const CliRun empty = run({"raw", "7", "--tcp=" + tcpTarget(peer)});
  EXPECT_EQ(empty.status, kExitOk) << empty.err;
  EXPECT_EQ(empty.out, "order=7\nargument=65535\nlength=0\npayload=\n");
}

TEST(Cli, LinkFailuresPrintTheExactTextAndExitWithOne) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) { peer.send(buildFrame(kErrorReportOrder, 1, {})); };
  const CliRun refused = run({"--tcp", tcpTarget(peer), "raw", "99"});
  EXPECT_EQ(refused.status, kExitLinkFailure);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!\n");

  std::uint16_t closedPort = 0;
  {
    test::TcpPeer gone;
    closedPort = gone.port();
  }
  const CliRun noServer = run({"--tcp", "127.0.0.1:" + std::to_string(closedPort), "raw", "7"});
  EXPECT_EQ(noServer.status, kExitLinkFailure);
  // The operator's text first, then the system's reason on a line of its own,
  // then what to do about it.
  EXPECT_TRUE(
      noServer.err.starts_with("UnableToEstablishConnection\nConnection refused\n127.0.0.1 "
                               "refused the connection"))
      << noServer.err;

  const CliRun noPort = run({"--serial", "/dev/drq-no-such-port", "raw", "7"});
  EXPECT_EQ(noPort.status, kExitLinkFailure);
  QSerialPort probe(QStringLiteral("/dev/drq-no-such-port"));
  ASSERT_FALSE(probe.open(QIODevice::ReadWrite));
  EXPECT_TRUE(noPort.err.starts_with("No serial port found\n" + probe.errorString().toStdString() +
                                     "\nThere is no port /dev/drq-no-such-port.\n"))
      << noPort.err;
}

TEST(Cli, RawOverASerialLineAt921600) {
  test::PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  peer.onRequest = [&](const Bytes&) { peer.send(buildFrame(ORDER_GET_DATA, 0, Bytes(40, 0xAB))); };
  const CliRun r = run({"--serial", peer.slavePath(), "--baud", "921600", "raw", "8"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  std::string payload;
  for (int i = 0; i < 40; ++i) payload += "ab";
  EXPECT_EQ(r.out, "order=8\nargument=0\nlength=40\npayload=" + payload + "\n");
}

TEST(CliSupport, TcpTargetsAndNumbers) {
  std::string host;
  int port = 0;
  ASSERT_TRUE(parseTcpTarget("sensor.local", host, port));
  EXPECT_EQ(host, "sensor.local");
  EXPECT_EQ(port, 10001);
  ASSERT_TRUE(parseTcpTarget("10.0.0.7:502", host, port));
  EXPECT_EQ(host, "10.0.0.7");
  EXPECT_EQ(port, 502);
  ASSERT_TRUE(parseTcpTarget("[::1]:10002", host, port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 10002);
  ASSERT_TRUE(parseTcpTarget("fe80::1", host, port));
  EXPECT_EQ(host, "fe80::1");
  EXPECT_FALSE(parseTcpTarget(":10001", host, port));
  EXPECT_FALSE(parseTcpTarget("[::1", host, port));

  EXPECT_EQ(parseUnsigned("0xFF", 255), 255u);
  EXPECT_EQ(parseUnsigned("0x", 255), std::nullopt);
  EXPECT_EQ(parseUnsigned("+1", 255), std::nullopt);
  EXPECT_EQ(parseUnsigned(" 1", 255), std::nullopt);
  EXPECT_EQ(parseUnsigned("99999999999999999999", 255), std::nullopt);
  EXPECT_EQ(toHex(Bytes{0x00, 0x0F, 0xA0}), "000fa0");
  EXPECT_EQ(parseHex(""), Bytes{});
  EXPECT_EQ(parseHex("0x"), std::nullopt);
  EXPECT_EQ(decimal(-32768), "-32768");
}

}  // namespace
}  // namespace drq::cli
