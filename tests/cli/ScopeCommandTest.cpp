#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "core/protocol/Frame.h"
#include "core/scope/ScopeTrace.h"
#include "link/Peers.h"
#include "sim/EmbeddedSensor.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::Bytes;
using test::CliRun;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// Capture frame k: sample i = 1000 * (k + 1) + i, ring position p.
Bytes captureFrame(std::uint16_t k, std::uint16_t p) {
  Bytes payload(kScopeFramePayload);
  for (std::size_t i = 0; i < kScopeSamples; ++i) {
    writeLe16(payload, 2 * i, static_cast<std::uint16_t>(1000u * (k + 1u) + i));
  }
  writeLe16(payload, 2 * kScopeSamples, p);
  return buildFrame(ORDER_SCOPE, k, payload);
}

std::string tcp(const test::TcpPeer& peer) {
  return "127.0.0.1:" + std::to_string(peer.port());
}

TEST(CycleTimeCommand, PrintsCycleTimeAndFrequencyWithTheirDecimals) {
  test::TcpPeer peer;
  std::int32_t b = 1000;
  peer.onRequest = [&](const Bytes&) {
    Bytes counters(8);
    writeLe16(counters, 0, 250);
    writeLe16(counters, 4, static_cast<std::uint16_t>(b));
    peer.send(buildFrame(ORDER_GET_CYCLE_TIME, 0, counters));
  };
  const CliRun r = test::runCliCaptured({"--tcp", tcp(peer), "cycle-time"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, "cycle-time-ms=25.0\nscan-frequency-hz=40.000\n");
  ASSERT_EQ(peer.requests.size(), 1u);
  EXPECT_EQ(peer.requests[0], buildFrame(ORDER_GET_CYCLE_TIME, 0, {}));

  b = 0;  // a sensor that counted nothing
  const CliRun zero = test::runCliCaptured({"--tcp", tcp(peer), "cycle-time"});
  EXPECT_EQ(zero.status, kExitOk) << zero.err;
  EXPECT_EQ(zero.out, "cycle-time-ms=0.00\nscan-frequency-hz=0\n");
}

TEST(CycleTimeCommand, AnAnswerWithoutBothCountersIsABadDataFrame) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) {
    Bytes counters(7);
    writeLe16(counters, 0, 250);
    writeLe16(counters, 4, 1000);
    peer.send(buildFrame(ORDER_GET_CYCLE_TIME, 0, counters));
  };
  const CliRun r = test::runCliCaptured({"--tcp", tcp(peer), "cycle-time"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, std::string(kMsgDataIncorrect) + "\n");
}

TEST(ScopeCommand, TriggeredCaptureOnASerialLineIsUnwrapped) {
  test::PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  peer.onRequest = [&](const Bytes& request) {
    if (request[1] != ORDER_SCOPE) return;
    peer.send(buildFrame(ORDER_SCOPE, 0, {}));
    for (std::uint16_t k = 0; k < 4; ++k) {
      peer.later(20 * (k + 1), [&peer, k] { peer.send(captureFrame(k, 5)); });
    }
  };
  const CliRun r =
      test::runCliCaptured({"--serial", peer.slavePath(), "scope", "--trigger-mode", "1",
                            "--pre=20", "--level", "3000", "--scan-rate", "7", "--signal", "1"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  const auto printed = lines(r.out);
  ASSERT_EQ(printed.size(), 129u);
  EXPECT_EQ(printed[0], "index\tred\tgreen\tblue\tstates");
  EXPECT_EQ(printed[1], "0\t1113\t2113\t3113\t4113");
  EXPECT_EQ(printed[21], "20\t1005\t2005\t3005\t4005");
  ASSERT_EQ(peer.requests.size(), 1u);
  EXPECT_EQ(peer.requests[0],
            buildFrame(ORDER_SCOPE, 1, Bytes{0xB8, 0x0B, 1, 0, 20, 0, 7, 0, 1, 0}));
}

// A damaged capture frame on a serial line is reported and its trace stays
// empty: the capture is neither printed nor filed.
TEST(ScopeCommand, ADamagedSerialFrameLeavesTheFileAndStdoutAlone) {
  test::PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  peer.onRequest = [&](const Bytes& request) {
    if (request[1] != ORDER_SCOPE) return;
    peer.send(buildFrame(ORDER_SCOPE, 0, {}));
    for (std::uint16_t k = 0; k < 4; ++k) {
      peer.later(20 * (k + 1), [&peer, k] {
        Bytes frame = captureFrame(k, 5);
        if (k == 2) frame[100] ^= 1;
        peer.send(frame);
      });
    }
  };
  test::TempDir dir;
  const auto file = dir.file("trace.tsv");
  ASSERT_TRUE(test::writeFileBytes(file, "an earlier capture\n"));
  for (const bool toFile : {true, false}) {
    std::vector<std::string> words = {"--serial", peer.slavePath(), "scope"};
    if (toFile) words.insert(words.end(), {"-o", file.string()});
    const CliRun r = test::runCliCaptured(words);
    EXPECT_EQ(r.status, kExitLinkFailure) << toFile;
    EXPECT_EQ(r.out, "") << toFile;
    EXPECT_NE(r.err.find(std::string(kMsgDataIncorrect)), std::string::npos) << r.err;
    EXPECT_EQ(test::readFileBytes(file), "an earlier capture\n");
  }
}

TEST(ScopeCommand, SingleShotOnTheVirtualSensorIntoAFile) {
  sim::EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  test::TempDir dir;
  const auto file = dir.file("trace.tsv");
  const CliRun r = test::runCliCaptured(
      {"--tcp", "127.0.0.1:" + std::to_string(sensor.port()), "scope", "-o", file.string()});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  const auto written = lines(test::readFileBytes(file));
  ASSERT_EQ(written.size(), 129u);
  EXPECT_TRUE(written[128].starts_with("127\t"));
  // The defaults: level 2000, mode 0, pre-trigger 0, scan rate 1, signal 0.
  bool started = false;
  for (const auto& req : sensor.model().requestLog()) {
    if (req.order == ORDER_SCOPE && req.argument == 1) {
      started = true;
      EXPECT_EQ(req.payload, (Bytes{0xD0, 0x07, 0, 0, 0, 0, 1, 0, 0, 0}));
    }
  }
  EXPECT_TRUE(started);
}

TEST(ScopeCommand, TimeoutOrSignalSendsTheBreakAndFails) {
  for (const char* how : {"timeout", "SIGINT", "SIGTERM"}) {
    SCOPED_TRACE(how);
    test::TcpPeer peer;
    const std::string way = how;
    peer.onRequest = [&](const Bytes& request) {
      peer.send(buildFrame(ORDER_SCOPE, 0, {}));  // the trigger never comes
      if (request[2] == 1 && way != "timeout") {
        peer.later(50, [&way] { std::raise(way == "SIGINT" ? SIGINT : SIGTERM); });
      }
    };
    std::vector<std::string> words = {"--tcp", tcp(peer), "scope", "--trigger-mode", "4"};
    if (way == "timeout") words.insert(words.end(), {"--timeout", "0.2"});
    const CliRun r = test::runCliCaptured(words);
    EXPECT_EQ(r.status, kExitLinkFailure);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "capture abandoned\n");
    ASSERT_EQ(peer.requests.size(), 2u);
    EXPECT_EQ(peer.requests[1], buildFrame(ORDER_SCOPE, 0, {}));
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
  }
}

TEST(ScopeCommand, SignalBeforeTheCaptureStartsIsAnAbandonedCapture) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) { peer.send(buildFrame(ORDER_SCOPE, 0, {})); };
  QTimer::singleShot(0, [] { std::raise(SIGINT); });
  const CliRun r = test::runCliCaptured({"--tcp", tcp(peer), "scope", "--trigger-mode", "4"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.err, "capture abandoned\n");
  // Noticed while connecting: nothing is sent; while the start is answered:
  // the break follows it.
  if (!peer.requests.empty()) {
    ASSERT_EQ(peer.requests.size(), 2u);
    EXPECT_EQ(peer.requests[1], buildFrame(ORDER_SCOPE, 0, {}));
  }
}

TEST(ScopeCommand, BadTcpBlockFailsWithItsText) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) {
    Bytes all = buildFrame(ORDER_SCOPE, 0, {});
    for (std::uint16_t k = 0; k < 4; ++k) {
      Bytes f = captureFrame(k, 0);
      if (k == 2) f[100] ^= 1;
      all.insert(all.end(), f.begin(), f.end());
    }
    peer.sendInPieces(all, 300, 5);
  };
  const CliRun r = test::runCliCaptured({"--tcp", tcp(peer), "scope"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, std::string(kMsgDataIncorrect) + "\n");
}

TEST(ScopeCommand, BadOptionsAreUsageErrors) {
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"--pre", "128"},
           {"--trigger-mode", "5"},
           {"--signal", "2"},
           {"--scan-rate", "0"},
           {"--level", "65536"},
           {"--timeout", "0"},
           {"--timeout", "-1"},
           {"--timeout", "1s"},
           {"--pre", "1", "--pre", "2"},
           {"--level"},
           {"extra"},
       }) {
    std::vector<std::string> args = {"--tcp", "127.0.0.1:1", "scope"};
    args.insert(args.end(), words.begin(), words.end());
    const CliRun r = test::runCliCaptured(args);
    EXPECT_EQ(r.status, kExitUsage) << words.front();
    EXPECT_TRUE(r.err.starts_with("drqctl scope: ")) << r.err;
  }
  EXPECT_EQ(test::runCliCaptured({"--tcp", "127.0.0.1:1", "cycle-time", "x"}).status, kExitUsage);
}

}  // namespace
}  // namespace drq::cli
