// Link benchmark: exchanges per second over loopback TCP and over a
// pseudo-terminal against a minimal responder (one 40-byte measurement frame
// per request, as in live monitoring), the CPU time used while an exchange
// waits for an answer that never comes, and the wake-ups: how soon a wait
// ends when the TCP peer closes in the middle of an answer, when the serial
// line hangs up in the middle of one, and when the run flag is cleared during
// a stream wait; and the CPU time of the idle process after the hang-up.
//
// Goals: at least 10,000 exchanges/s on loopback TCP; at most 0.03 CPU-seconds
// per 3 s of waiting; every wake-up within 1 s of its event (the exchange's
// time-out is 3 s); at most 0.05 CPU-seconds in 0.5 s after the hang-up.
// The exit status is 1 when a wake-up goal is missed.
//
// Usage: link_bench [SECONDS per throughput run, default 2]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "RawPty.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
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

// Answers every request frame on `fd` with `answer` until the fd closes.
void respond(int fd, const Bytes& answer) {
  std::uint8_t header[8];
  std::vector<std::uint8_t> payload;
  while (readFully(fd, header, 8)) {
    const std::size_t length = header[4] | (header[5] << 8);
    payload.resize(length);
    if (length > 0 && !readFully(fd, payload.data(), length)) return;
    if (::write(fd, answer.data(), answer.size()) < 0) return;
  }
}

int listenLoopback(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
    std::perror("listen");
    std::exit(1);
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

struct Link {
  drq::SteadyClock clock;
  drq::ObservableFlag runFlag;
  drq::SensorLink link{runFlag, clock};
  NullReport report;
  Link() { link.setFailureReport(&report); }
  ~Link() { drq::closeLink(link); }
};

void throughput(const char* name, drq::SensorLink& link, double seconds) {
  for (int i = 0; i < 200; ++i) link.exchange(drq::ORDER_GET_DATA, 0);  // warm up
  QElapsedTimer timer;
  timer.start();
  long count = 0;
  int failures = 0;
  while (timer.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
    for (int i = 0; i < 100; ++i, ++count)
      if (link.exchange(drq::ORDER_GET_DATA, 0) != 1) ++failures;
  }
  const double elapsed = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
  std::printf("%-22s %8ld exchanges in %.2f s = %8.0f exchanges/s (%d failed)\n", name, count,
              elapsed, static_cast<double>(count) / elapsed, failures);
}

void silentWait(const char* name, drq::SensorLink& link) {
  QElapsedTimer timer;
  timer.start();
  const double cpu0 = drq::processCpuSeconds();
  const int result = link.exchange(drq::ORDER_IDENTIFY, 0);
  const double cpu = drq::processCpuSeconds() - cpu0;
  const double elapsed = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
  std::printf("%-22s result %d after %.3f s, CPU %.4f s = %.4f CPU-s per 3 s of waiting\n", name,
              result, elapsed, cpu, cpu * 3.0 / elapsed);
}

void runEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Prints how long `wait` took after its event, `eventSeconds` after the start;
// false when that is 1 s or more.
bool wakeUp(const char* name, double eventSeconds, const std::function<int()>& wait) {
  QElapsedTimer timer;
  timer.start();
  const int result = wait();
  const double after = static_cast<double>(timer.nsecsElapsed()) * 1e-9 - eventSeconds;
  const bool ok = after < 1.0;
  std::printf("%-22s result %d, %.3f s after the event%s\n", name, result, after,
              ok ? "" : "  MISSED (goal: under 1 s)");
  return ok;
}

// Wake-ups: the peer answers 12 bytes of a frame, then goes away 20 ms later.
bool wakeUps() {
  bool ok = true;
  const Bytes answer = drq::buildFrame(drq::ORDER_GET_DATA, 0, Bytes(40, 0x5A));
  const auto answerPartlyThenClose = [&](int fd) {
    std::uint8_t header[8];
    if (readFully(fd, header, 8) && ::write(fd, answer.data(), 12) == 12) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::close(fd);
  };
  {
    std::uint16_t port = 0;
    const int listener = listenLoopback(port);
    Link l;
    l.link.state().serverAddress = "127.0.0.1";
    l.link.state().serverPort = port;
    std::thread peer([&] { answerPartlyThenClose(::accept(listener, nullptr, nullptr)); });
    if (drq::InitTCP_IP(l.link) < 0) return false;
    ok = wakeUp("TCP peer closing:", 0.02,
                [&] { return l.link.exchange(drq::ORDER_GET_DATA, 0); }) &&
         ok;
    peer.join();
    ::close(listener);
  }
  {
    drq::bench::RawPty pty;
    if (!drq::bench::openRawPty(pty)) return false;
    const int master = pty.master;
    const int slave = pty.slave;
    const std::string name = pty.slaveName;
    Link l;
    l.link.state().comDevice = name;
    if (drq::InitRS232(l.link) < 0) return false;
    ::close(slave);
    std::thread peer([&] { answerPartlyThenClose(master); });
    ok = wakeUp("serial hang-up:", 0.02, [&] { return l.link.exchange(drq::ORDER_GET_DATA, 0); }) &&
         ok;
    peer.join();
    runEventLoopFor(100);  // what was already due
    const double cpu0 = drq::processCpuSeconds();
    runEventLoopFor(500);
    const double cpu = drq::processCpuSeconds() - cpu0;
    const bool idle = cpu <= 0.05;
    std::printf("%-22s CPU %.4f s in 0.5 s of event loop%s\n", "after the hang-up:", cpu,
                idle ? "" : "  MISSED (goal: at most 0.05)");
    ok = idle && ok;
  }
  {
    std::uint16_t port = 0;
    const int listener = listenLoopback(port);  // the kernel accepts; nobody sends
    Link l;
    l.link.state().serverAddress = "127.0.0.1";
    l.link.state().serverPort = port;
    if (drq::InitTCP_IP(l.link) < 0) return false;
    l.runFlag.set(1);
    QTimer::singleShot(50, [&] { l.runFlag.clear(); });
    ok = wakeUp("run flag cleared:", 0.05,
                [&] { return static_cast<int>(l.link.ReceivePushedFrame(l.runFlag)); }) &&
         ok;
    ::close(listener);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  QCoreApplication app(argc, argv);
  const Bytes answer = drq::buildFrame(drq::ORDER_GET_DATA, 0, Bytes(40, 0x5A));

  // Loopback TCP against a responder thread.
  {
    std::uint16_t port = 0;
    const int listener = listenLoopback(port);
    std::thread server([&] {
      const int fd = ::accept(listener, nullptr, nullptr);
      const int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      respond(fd, answer);
      ::close(fd);
    });
    Link l;
    l.link.state().serverAddress = "127.0.0.1";
    l.link.state().serverPort = port;
    if (drq::InitTCP_IP(l.link) < 0) return 1;
    throughput("loopback TCP:", l.link, seconds);
    drq::closeLink(l.link);
    server.join();
    ::close(listener);
  }

  // Pseudo-terminal against a responder thread.
  {
    drq::bench::RawPty pty;
    if (!drq::bench::openRawPty(pty)) return 1;
    const int master = pty.master;
    const int slave = pty.slave;
    const std::string name = pty.slaveName;
    Link l;
    l.link.state().comDevice = name;
    l.link.state().baudIndex = 7;
    if (drq::InitRS232(l.link) < 0) return 1;
    ::close(slave);
    std::thread responder([&] { respond(master, answer); });
    throughput("pty at 921600:", l.link, seconds);
    drq::closeLink(l.link);  // the responder's read ends with the hang-up
    responder.join();
    ::close(master);
  }

  // Waiting for an answer that never comes.
  {
    std::uint16_t port = 0;
    const int listener = listenLoopback(port);  // the kernel accepts; nobody answers
    Link l;
    l.link.state().serverAddress = "127.0.0.1";
    l.link.state().serverPort = port;
    if (drq::InitTCP_IP(l.link) < 0) return 1;
    silentWait("silent TCP peer:", l.link);
    drq::closeLink(l.link);
    ::close(listener);
  }
  {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;
    Link l;
    l.link.state().comDevice = name;
    if (drq::InitRS232(l.link) < 0) return 1;
    ::close(slave);
    silentWait("silent serial peer:", l.link);
    drq::closeLink(l.link);
    ::close(master);
  }
  return wakeUps() ? 0 : 1;
}
