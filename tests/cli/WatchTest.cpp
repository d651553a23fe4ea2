#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "cli/WatchCommand.h"
#include "core/protocol/Frame.h"
#include "link/Peers.h"

namespace drq::cli {
namespace {

using test::Bytes;

using test::CliRun;

CliRun run(const std::vector<std::string>& args) {
  return test::runCliCaptured(args);
}

LiveFrame numbered(int base) {
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

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

const char* const kHeader =
    "RED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\t"
    "RAW RED\tRAW GREEN\tRAW BLUE\t"
    "EXT1 RED\tEXT1 GREEN\tEXT1 BLUE\tEXT2 RED\tEXT2 GREEN\tEXT2 BLUE\n";

TEST(Watch, HeaderAndOneSignedLinePerFrame) {
  EXPECT_EQ(watchHeaderLine(), kHeader);
  LiveFrame extremes;
  extremes.words[0] = -32768;
  extremes.words[6] = -1;
  extremes.words[19] = 32767;
  EXPECT_EQ(watchLine(extremes),
            "-32768\t0\t0\t0\t0\t0\t-1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t32767\n");

  test::TcpPeer peer;
  int answered = 0;
  peer.onRequest = [&](const Bytes&) { peer.send(dataAnswer(numbered(-10 + 10 * answered++))); };
  const CliRun r =
      run({"--tcp", "127.0.0.1:" + std::to_string(peer.port()), "watch", "--count", "3"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            kHeader + watchLine(numbered(-10)) + watchLine(numbered(0)) + watchLine(numbered(10)));
  EXPECT_EQ(lines(r.out)[1],
            "-10\t-9\t-8\t-7\t-6\t-5\t-4\t-3\t-2\t-1\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9");
  EXPECT_EQ(peer.requests, std::vector<Bytes>(3, buildFrame(ORDER_GET_DATA, 0, {})));
}

TEST(Watch, LinkFailureEndsWithOneAfterTheGoodFrames) {
  test::TcpPeer peer;
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    Bytes answer = dataAnswer(numbered(100));
    if (++answered == 3) answer[7] ^= 0xFF;  // header CRC
    peer.send(answer);
  };
  const CliRun r = run({"--tcp", "127.0.0.1:" + std::to_string(peer.port()), "watch"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, kHeader + watchLine(numbered(100)) + watchLine(numbered(100)));
  EXPECT_EQ(r.err, std::string(kMsgHeaderIncorrect) + "\n");
}

TEST(Watch, FloodOfJunkEndsWithTheHeaderFailureOnce) {
  test::TcpPeer peer;
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    if (++answered < 3) {
      peer.send(dataAnswer(numbered(answered)));
      return;
    }
    // A megabyte of junk that never starts a frame, as a runaway peer sends it.
    for (int k = 0; k < 100; ++k) peer.send(Bytes(10 * 1024, 0xA5));
  };
  const CliRun r = run({"--tcp", "127.0.0.1:" + std::to_string(peer.port()), "watch"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, kHeader + watchLine(numbered(1)) + watchLine(numbered(2)));
  EXPECT_EQ(r.err, std::string(kMsgHeaderIncorrect) + "\n");
}

TEST(Watch, SerialHangUpEndsWithTheFailureOnce) {
  test::PtyPeer peer;
  ASSERT_TRUE(peer.ok());
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    peer.closeSlave();  // the port is open by now
    if (++answered < 3) {
      peer.send(dataAnswer(numbered(answered)));
      return;
    }
    peer.later(20, [&] { peer.hangUp(); });
  };
  const CliRun r = run({"--serial", peer.slavePath(), "watch"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, kHeader + watchLine(numbered(1)) + watchLine(numbered(2)));
  EXPECT_EQ(r.err, std::string(kMsgTimeout) + "\n");
}

TEST(Watch, InterruptEndsTheRunCleanlyAfterTheFrameInFlight) {
  for (int sig : {SIGINT, SIGTERM}) {
    test::TcpPeer peer;
    int answered = 0;
    peer.onRequest = [&](const Bytes&) {
      if (++answered == 3) std::raise(sig);
      peer.send(dataAnswer(numbered(answered)));
    };
    const CliRun r = run({"watch", "--tcp", "127.0.0.1:" + std::to_string(peer.port())});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    const auto printed = lines(r.out);
    // The pipe may be noticed while frame 3 or frame 4 is on its way.
    EXPECT_GE(printed.size(), 4u);
    EXPECT_LE(printed.size(), 5u);
    struct sigaction now {};
    ::sigaction(sig, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);  // the previous handler is back
  }
}

TEST(Watch, SignalBeforeTheLoopRunsLeavesTheTableWithoutFrames) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) { peer.send(dataAnswer(numbered(1))); };
  // Noticed while the connection is made or the first frame is on its way.
  QTimer::singleShot(0, [] { std::raise(SIGTERM); });
  const CliRun r = run({"watch", "--tcp", "127.0.0.1:" + std::to_string(peer.port())});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  const auto printed = lines(r.out);
  ASSERT_GE(printed.size(), 1u);
  EXPECT_EQ(printed[0] + "\n", kHeader);
  EXPECT_EQ(printed.size(), 1 + peer.requests.size());
  EXPECT_LE(peer.requests.size(), 1u);
}

// Accepts `room` characters, then fails like a closed pipe or a full disk.
class FailingBuffer final : public std::streambuf {
 public:
  explicit FailingBuffer(std::size_t room) : room_(room) {}

 protected:
  int_type overflow(int_type c) override {
    if (room_ == 0) return traits_type::eof();
    --room_;
    return traits_type::not_eof(c);
  }

 private:
  std::size_t room_;
};

TEST(Watch, FailingOutputEndsTheRun) {
  test::TcpPeer peer;
  peer.onRequest = [&](const Bytes&) { peer.send(dataAnswer(numbered(1))); };
  for (std::size_t room : {std::size_t{0}, std::string(kHeader).size() + 10}) {
    FailingBuffer buffer(room);
    std::ostream out(&buffer);
    std::ostringstream err;
    const std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(peer.port()),
                                           "watch"};
    EXPECT_EQ(runCli(args, out, err), kExitLinkFailure);
    EXPECT_EQ(err.str(), "drqctl watch: cannot write the output\n");
  }
  EXPECT_EQ(peer.requests.size(), 1u);  // none after the failed header, one for the failed line
}

TEST(Watch, UsageErrors) {
  for (const auto& extra : std::vector<std::vector<std::string>>{
           {"--count"}, {"--count", "0"}, {"--count", "x"}, {"--count=1000000001"}, {"now"}}) {
    std::vector<std::string> args = {"--tcp", "127.0.0.1:1", "watch"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliRun r = run(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(extra);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("watch [--count N]"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace drq::cli
