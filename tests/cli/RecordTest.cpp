#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "core/protocol/Frame.h"
#include "core/record/RecordFile.h"
#include "link/Peers.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::Bytes;
using test::CliRun;
using test::TempDir;

LiveFrame numbered(int base) {
  LiveFrame f;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w)
    f.words[w] = static_cast<std::int16_t>(base + static_cast<int>(w));
  return f;
}

Bytes dataFrame(const LiveFrame& f, std::uint16_t argument = 0) {
  const auto image = encodeLiveFrame(f);
  return buildFrame(ORDER_GET_DATA, argument, image);
}

// The record lines of a file (after the header), without date and time; each
// line's date and time are checked for their form.
std::vector<std::string> recordedWords(const std::string& file, const std::string& header) {
  EXPECT_EQ(file.substr(0, header.size()), header);
  std::vector<std::string> words;
  static const std::regex kLine(R"(\d\d-\d\d-\d{4}\t\d\d:\d\d:\d\d\t([-0-9\t]+)\r)");
  std::istringstream in(file.substr(std::min(header.size(), file.size())));
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_match(line, m, kLine)) {
      words.push_back(m[1]);
    } else {
      ADD_FAILURE() << "not a record line: " << line;
    }
  }
  return words;
}

std::string wordsOf(int base) {
  std::string s;
  for (int w = 0; w < 11; ++w) {
    if (w != 0) s += '\t';
    s += std::to_string(base + w);
  }
  return s;
}

class RecordCommand : public ::testing::Test {
 protected:
  std::vector<std::string> args(std::initializer_list<std::string> extra) const {
    std::vector<std::string> a = {"--tcp", "127.0.0.1:" + std::to_string(peer.port()), "record",
                                  "-o", file.string()};
    a.insert(a.end(), extra);
    return a;
  }
  std::vector<std::pair<int, int>> requests() const {
    std::vector<std::pair<int, int>> r;
    for (const Bytes& b : peer.requests) r.emplace_back(b[1], b[2] | (b[3] << 8));
    return r;
  }

  TempDir dir;
  std::filesystem::path file = dir.file("run.dat");
  test::TcpPeer peer;
};

TEST_F(RecordCommand, CountedRecordingReplacesTheFileWithHeaderAndLines) {
  ASSERT_TRUE(test::writeFileBytes(file, "an older recording\r\n"));
  int answered = 0;
  peer.onRequest = [&](const Bytes&) { peer.send(dataFrame(numbered(-5 + 10 * answered++))); };
  const CliRun r =
      test::runCliCaptured(args({"--count", "3", "--interval", "0.1", "--id", "CELL 7"}));
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "recorded 3 frames to " + file.string() + "\n");
  EXPECT_EQ(recordedWords(test::readFileBytes(file), recordHeader("CELL 7")),
            (std::vector<std::string>{wordsOf(-5), wordsOf(5), wordsOf(15)}));
  EXPECT_EQ(requests(), (std::vector<std::pair<int, int>>(3, {ORDER_GET_DATA, 0})));
}

TEST_F(RecordCommand, TriggeredRecordingStopsThePushingAfterNFrames) {
  peer.onRequest = [&](const Bytes& request) {
    if (request[1] != ORDER_AUTO_SEND) return;
    peer.send(buildFrame(ORDER_AUTO_SEND, 0, {}));
    if (request[2] == 1) {
      for (int i = 1; i <= 4; ++i)
        peer.send(dataFrame(numbered(100 * i), static_cast<std::uint16_t>(i)));
    }
  };
  const CliRun r = test::runCliCaptured(args({"--mode", "trigger", "--count", "2"}));
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "recorded 2 frames to " + file.string() + "\n");
  EXPECT_EQ(recordedWords(test::readFileBytes(file), recordHeader("")),
            (std::vector<std::string>{wordsOf(100), wordsOf(200)}));
  EXPECT_EQ(requests(),
            (std::vector<std::pair<int, int>>{{ORDER_AUTO_SEND, 1}, {ORDER_AUTO_SEND, 0}}));
}

TEST_F(RecordCommand, SignalEndsTheRunAfterTheLineInFlight) {
  for (int sig : {SIGINT, SIGTERM}) {
    peer.requests.clear();
    int answered = 0;
    peer.onRequest = [&](const Bytes&) {
      if (++answered == 2) std::raise(sig);
      peer.send(dataFrame(numbered(answered)));
    };
    const CliRun r = test::runCliCaptured(args({"--mode", "open", "--interval", "0.25"}));
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.err, "recorded 2 frames to " + file.string() + "\n");
    EXPECT_EQ(recordedWords(test::readFileBytes(file), recordHeader("")),
              (std::vector<std::string>{wordsOf(1), wordsOf(2)}));
    struct sigaction now {};
    ::sigaction(sig, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
  }
}

TEST_F(RecordCommand, LinkFailureKeepsTheLinesSoFar) {
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    Bytes answer = dataFrame(numbered(1));
    if (++answered == 2) answer[7] ^= 0xFF;
    peer.send(answer);
  };
  const CliRun r = test::runCliCaptured(args({"--interval", "0.25"}));
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.err,
            std::string(kMsgHeaderIncorrect) + "\nrecorded 1 frames to " + file.string() + "\n");
  EXPECT_EQ(recordedWords(test::readFileBytes(file), recordHeader("")),
            std::vector<std::string>{wordsOf(1)});
}

TEST_F(RecordCommand, UnwritableFileIsAFileError) {
  peer.onRequest = [&](const Bytes&) { peer.send(dataFrame(numbered(1))); };
  file = dir.path() / "missing" / "run.dat";
  const CliRun r = test::runCliCaptured(args({}));
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, "drqctl record: cannot write " + file.string() +
                       ": No such file or directory\nrecorded 0 frames to " + file.string() + "\n");
  EXPECT_TRUE(peer.requests.empty());
}

TEST_F(RecordCommand, AFailedConnectionEndsWithTheSummaryLineAllTheSame) {
  const CliRun r = test::runCliCaptured({"--tcp", "127.0.0.1:1", "record", "-o", file.string()});
  EXPECT_EQ(r.status, kExitLinkFailure) << r.err;
  EXPECT_TRUE(r.err.ends_with("\nrecorded 0 frames to " + file.string() + "\n")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RecordCommand, UsageErrorsTouchNeitherTheFileNorTheSensor) {
  for (const auto& extra : std::vector<std::vector<std::string>>{{"--count", "0"},
                                                                 {"--count", "65536"},
                                                                 {"--count=x"},
                                                                 {"--mode", "fast"},
                                                                 {"--interval", "-1"},
                                                                 {"--interval", "1,5"},
                                                                 {"--interval", "nan"},
                                                                 {"--interval", "86400.5"},
                                                                 {"--id", "two\nlines"},
                                                                 {"--interval"},
                                                                 {"now"}}) {
    std::vector<std::string> a = args({});
    a.insert(a.end(), extra.begin(), extra.end());
    const CliRun r = test::runCliCaptured(a);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(extra);
    EXPECT_NE(r.err.find("usage: drqctl [link options] record -o FILE"), std::string::npos)
        << r.err;
  }
  const CliRun r = test::runCliCaptured({"--tcp", "127.0.0.1:1", "record"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("-o FILE is required"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(peer.connected());
}

// A stop while a pushed frame arrives, over both kinds of line: the frame is
// finished and recorded, the stop order follows, and a frame pushed before
// its answer is dropped. Half the frame comes with the start's answer, the
// signal at once, the rest a moment later: whichever of them the command sees
// first, the outcome is the same.
class RecordStopOnLine : public ::testing::TestWithParam<bool> {
 protected:
  RecordStopOnLine() {
    if (GetParam()) {
      auto pty = std::make_unique<test::PtyPeer>();
      link = {"--serial", pty->slavePath()};
      peer = std::move(pty);
    } else {
      auto tcp = std::make_unique<test::TcpPeer>();
      link = {"--tcp", "127.0.0.1:" + std::to_string(tcp->port())};
      peer = std::move(tcp);
    }
  }

  TempDir dir;
  std::filesystem::path file = dir.file("run.dat");
  std::unique_ptr<test::ScriptedPeer> peer;
  std::vector<std::string> link;
};

INSTANTIATE_TEST_SUITE_P(TcpAndSerial, RecordStopOnLine, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Serial" : "Tcp"; });

TEST_P(RecordStopOnLine, SignalWhileAPushedFrameArrivesRecordsItAndEndsCleanly) {
  const Bytes frame = dataFrame(numbered(40), 1);
  const auto half = frame.begin() + 20;
  peer->onRequest = [&](const Bytes& request) {
    if (request[1] != ORDER_AUTO_SEND) return;
    Bytes answer = buildFrame(ORDER_AUTO_SEND, 0, {});
    if (request[2] == 1) {
      answer.insert(answer.end(), frame.begin(), half);
      peer->send(answer);
      std::raise(SIGINT);
      peer->later(20, [&] { peer->send(Bytes(half, frame.end())); });
    } else {
      Bytes pushed = dataFrame(numbered(50), 2);
      pushed.insert(pushed.end(), answer.begin(), answer.end());
      peer->send(pushed);
    }
  };
  std::vector<std::string> a = link;
  a.insert(a.end(), {"record", "-o", file.string(), "--mode", "trigger"});
  const CliRun r = test::runCliCaptured(a);
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "recorded 1 frames to " + file.string() + "\n");
  EXPECT_EQ(recordedWords(test::readFileBytes(file), recordHeader("")),
            std::vector<std::string>{wordsOf(40)});
  ASSERT_EQ(peer->requests.size(), 2u);
  EXPECT_EQ(peer->requests[1], buildFrame(ORDER_AUTO_SEND, 0, {}));
}

// A signal that comes before the recording runs (here while the connection is
// made or the start is answered) ends the command with its summary line, and
// the sensor is left not pushing.
TEST_F(RecordCommand, SignalBeforeTheRecordingRunsEndsWithTheSummary) {
  for (const char* mode : {"count", "trigger"}) {
    SCOPED_TRACE(mode);
    peer.requests.clear();
    peer.onRequest = [&](const Bytes& request) {
      if (request[1] == ORDER_AUTO_SEND)
        peer.send(buildFrame(ORDER_AUTO_SEND, 0, {}));
      else
        peer.send(dataFrame(numbered(3)));
    };
    QTimer::singleShot(0, [] { std::raise(SIGINT); });
    const CliRun r = test::runCliCaptured(args({"--mode", mode, "--count", "5"}));
    EXPECT_EQ(r.status, kExitOk) << r.err;
    const auto lines = recordedWords(test::readFileBytes(file), recordHeader(""));
    EXPECT_LE(lines.size(), 1u);
    EXPECT_EQ(r.err,
              "recorded " + std::to_string(lines.size()) + " frames to " + file.string() + "\n");
    const auto sent = requests();
    if (std::string_view(mode) == "count") {
      EXPECT_EQ(sent.size(), lines.size());
    } else if (!sent.empty()) {
      EXPECT_EQ(sent,
                (std::vector<std::pair<int, int>>{{ORDER_AUTO_SEND, 1}, {ORDER_AUTO_SEND, 0}}));
    }
  }
}

TEST_F(RecordCommand, AnIgnoredSignalStaysIgnored) {
  struct sigaction ignore {};
  struct sigaction before {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ASSERT_EQ(::sigaction(SIGINT, &ignore, &before), 0);
  int answered = 0;
  peer.onRequest = [&](const Bytes&) {
    if (++answered == 1) std::raise(SIGINT);
    peer.send(dataFrame(numbered(answered)));
  };
  const CliRun r = test::runCliCaptured(args({"--count", "3", "--interval", "0.01"}));
  struct sigaction after {};
  ::sigaction(SIGINT, &before, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "recorded 3 frames to " + file.string() + "\n");
}

}  // namespace
}  // namespace drq::cli
