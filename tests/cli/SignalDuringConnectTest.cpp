// A signal while the TCP connection is still being made ends every long
// command at once, with its own summary, instead of after the connection
// attempt's time-out with a link failure.

#include <gtest/gtest.h>

#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::CliRun;

// A socket that owns its descriptor.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// A listener on 127.0.0.1 that never accepts, its queue filled by connections
// of its own: a further attempt to connect is left unanswered (its SYN is
// dropped), as with a sensor behind a slow or lossy network.
class StalledListener {
 public:
  StalledListener() {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener_.fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(listener_.fd, 0) != 0 ||
        ::getsockname(listener_.fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      return;
    addr_ = addr;
    port_ = ntohs(addr.sin_port);
    // Fill the queue until an attempt is left hanging.
    for (int i = 0; i < 8 && !stalled_; ++i) {
      fillers_.push_back(std::make_unique<Fd>(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)));
      const int fd = fillers_.back()->fd;
      if (::connect(fd, reinterpret_cast<sockaddr*>(&addr_), sizeof addr_) == 0) continue;
      pollfd p{fd, POLLOUT, 0};
      stalled_ = ::poll(&p, 1, 200) == 0;
    }
  }
  bool stalled() const { return stalled_; }
  std::uint16_t port() const { return port_; }

 private:
  Fd listener_{::socket(AF_INET, SOCK_STREAM, 0)};
  std::vector<std::unique_ptr<Fd>> fillers_;
  sockaddr_in addr_{};
  std::uint16_t port_ = 0;
  bool stalled_ = false;
};

struct Case {
  std::vector<std::string> command;
  int status;
  std::string err;  // what stderr ends with
};

TEST(SignalDuringConnect, EndsEveryLongCommandWithItsSummary) {
  const StalledListener listener;
  if (!listener.stalled()) GTEST_SKIP() << "this system accepts past a full listen queue";
  const test::TempDir dir;
  const std::string file = (dir.path() / "rec.txt").string();
  const std::string trace = (dir.path() / "trace.txt").string();
  const std::vector<Case> cases = {
      {{"record", "--count", "3", "-o", file}, kExitOk, "recorded 0 frames to " + file + "\n"},
      {{"record", "--mode", "trigger", "-o", file}, kExitOk, "recorded 0 frames to " + file + "\n"},
      {{"watch", "--count", "3"}, kExitOk, ""},
      {{"scope", "-o", trace}, kExitLinkFailure, "\n"},
      {{"publish", "--broker", "127.0.0.1:1"}, kExitOk, "published 0 frames, dropped 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command.front() + " " + c.command[1]);
    std::vector<std::string> args{"--tcp", "127.0.0.1:" + std::to_string(listener.port())};
    args.insert(args.end(), c.command.begin(), c.command.end());
    QTimer::singleShot(0, [] { std::raise(SIGINT); });
    const CliRun r = test::runCliCaptured(args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(r.err.ends_with(c.err)) << r.err;
    EXPECT_EQ(r.err.find("timed out"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Connection"), std::string::npos) << r.err;
    if (c.command.front() == "scope") {
      EXPECT_FALSE(std::filesystem::exists(trace));
    }
  }
}

}  // namespace
}  // namespace drq::cli
