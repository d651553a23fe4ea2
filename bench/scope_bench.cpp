// Scope benchmark: the CPU time a capture uses while its trigger does not
// come. The sensor stand-in accepts the start and then stays silent; a timer
// breaks the capture off after the waiting time.
//
// Goal: under 1 % of a core while waiting, on TCP and on a serial line.
//
// Usage: scope_bench [SECONDS of waiting per link, default 5]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "RawPty.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "core/scope/ScopeCapture.h"
#include "core/util/CpuTime.h"
#include "link/LinkSetup.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class NullReport final : public drq::FailureReport {
 public:
  void linkFailed(std::string_view message) override { last = std::string(message); }
  std::string last;
};

bool readFully(int fd, std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Answers every request with a header of its order and no payload; sends no
// capture frames.
void respond(int fd) {
  std::uint8_t header[8];
  std::vector<std::uint8_t> payload;
  while (readFully(fd, header, 8)) {
    const std::size_t length = header[4] | (header[5] << 8);
    payload.resize(length);
    if (length > 0 && !readFully(fd, payload.data(), length)) return;
    const Bytes answer = drq::buildFrame(header[1], 0, {});
    if (::write(fd, answer.data(), answer.size()) < 0) return;
  }
}

struct Link {
  drq::SteadyClock clock;
  drq::ObservableFlag runFlag;
  drq::SensorLink link{runFlag, clock};
  NullReport report;
  Link() { link.setFailureReport(&report); }
  ~Link() { drq::closeLink(link); }
};

// Returns true when the wait stayed under 1 % of a core.
bool waitForTrigger(const char* name, drq::SensorLink& link, double seconds) {
  drq::ScopeState state;
  drq::ScopeSettings settings;
  settings.triggerMode = 4;
  QTimer breakTimer;
  breakTimer.setSingleShot(true);
  QObject::connect(&breakTimer, &QTimer::timeout, [&] { drq::BreakDataScan(link, state); });
  double cpu0 = 0;
  QElapsedTimer elapsed;
  const auto result = drq::GetScopeData(link, settings, state, [&] {
    cpu0 = drq::processCpuSeconds();
    elapsed.start();
    breakTimer.start(static_cast<int>(seconds * 1000));
  });
  const double cpu = drq::processCpuSeconds() - cpu0;
  const double wall = static_cast<double>(elapsed.nsecsElapsed()) * 1e-9;
  const double share = wall > 0 ? 100.0 * cpu / wall : 0;
  const bool abandoned = result == drq::CaptureResult::Abandoned;
  std::printf("%-18s %s after %.2f s, CPU %.4f s = %.3f %% of a core\n", name,
              abandoned ? "broken off" : "ended early", wall, cpu, share);
  return abandoned && share < 1.0;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  QCoreApplication app(argc, argv);
  bool ok = true;

  {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(listener, 1) != 0) {
      std::perror("listen");
      return 1;
    }
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::thread server([listener] {
      const int fd = ::accept(listener, nullptr, nullptr);
      respond(fd);
      ::close(fd);
    });
    Link l;
    l.link.state().serverAddress = "127.0.0.1";
    l.link.state().serverPort = ntohs(addr.sin_port);
    if (drq::InitTCP_IP(l.link) < 0) return 1;
    ok = waitForTrigger("loopback TCP:", l.link, seconds) && ok;
    drq::closeLink(l.link);
    server.join();
    ::close(listener);
  }
  {
    drq::bench::RawPty pty;
    if (!drq::bench::openRawPty(pty)) return 1;
    const int master = pty.master;
    const int slave = pty.slave;
    const std::string name = pty.slaveName;
    Link l;
    l.link.state().comDevice = name;
    if (drq::InitRS232(l.link) < 0) return 1;
    ::close(slave);
    std::thread responder([master] { respond(master); });
    ok = waitForTrigger("pty:", l.link, seconds) && ok;
    drq::closeLink(l.link);
    responder.join();
    ::close(master);
  }
  return ok ? 0 : 1;
}
