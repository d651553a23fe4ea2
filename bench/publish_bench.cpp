// Publisher benchmark: drqctl publish against the virtual sensor (drqsim) and
// Debian's mosquitto broker on free loopback ports, every program a process
// of its own as in the plant:
//   1. frames per second: drqctl watch and drqctl publish (QoS 1) on the same
//      sensor, each N frames timed from the program's start to its exit (for
//      publish that includes the broker's acknowledgement of every frame);
//      R = publish / watch; and a one-frame run of each, what a run costs
//      beyond its frames;
//   2. a broker restart in the middle of a QoS 1 run: L = frames missing at a
//      subscriber with a persistent session (the broker keeps its sessions
//      over the restart);
//   3. C = the publisher's CPU share of one core while the sensor is silent
//      (it answers the identification, then no frame request), as a fraction.
//
// Goals: R >= 0.95, L = 0, C < 0.01. The last line is
//   publish_bench: ratio=R lost=L cpu-idle=C
//
// Usage: publish_bench [FRAMES, default 20000]
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/MqttConnection.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "publish_bench: %s\n", what.c_str());
  std::exit(1);
}

QString program(const char* name) {
  return QCoreApplication::applicationDirPath() + "/" + name;
}

// Runs the event loop until `done` holds (checked every 10 ms) or `ms` passed.
bool waitUntil(const std::function<bool()>& done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
  return true;
}

int freePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) fail("no free port");
  return probe.serverPort();
}

class Broker {
 public:
  Broker() : port_(freePort()) {
    std::ofstream conf(dir_.filePath("mosquitto.conf").toStdString());
    if (const passwd* pw = ::getpwuid(::getuid())) conf << "user " << pw->pw_name << '\n';
    conf << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\nlog_dest stderr\n"
         << "persistence true\npersistence_location " << dir_.path().toStdString() << "/\n"
         << "max_queued_messages 0\n";
  }
  ~Broker() { stop(); }
  void start() {
    QString exe = QStandardPaths::findExecutable("mosquitto");
    if (exe.isEmpty()) exe = QStandardPaths::findExecutable("mosquitto", {"/usr/sbin"});
    if (exe.isEmpty()) fail("mosquitto is not installed (scripts/install-deps)");
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(exe, {"-c", dir_.filePath("mosquitto.conf")});
    std::string log;
    while (log.find(" running") == std::string::npos) {
      if (!process_->waitForReadyRead(10000)) fail("mosquitto did not start: " + log);
      log += process_->readAll().toStdString();
    }
  }
  void stop() {
    if (!process_) return;
    process_->terminate();
    process_->waitForFinished(10000);
    process_.reset();
  }
  int port() const { return port_; }

 private:
  QTemporaryDir dir_;
  int port_;
  std::unique_ptr<QProcess> process_;
};

// drqsim on a free port; extra arguments such as a fault rule.
class Sensor {
 public:
  explicit Sensor(const QStringList& extra = {}) {
    process_.setReadChannel(QProcess::StandardOutput);
    process_.start(program("drqsim"), QStringList{"--tcp", "127.0.0.1:0"} + extra);
    std::string out;
    static const std::regex kReady(R"(READY tcp \S+ (\d+))");
    std::smatch m;
    while (!std::regex_search(out, m, kReady)) {
      if (!process_.waitForReadyRead(10000)) fail("drqsim did not start");
      out += process_.readAllStandardOutput().toStdString();
    }
    address_ = "127.0.0.1:" + m[1].str();
  }
  ~Sensor() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  QString address() const { return QString::fromStdString(address_); }

 private:
  QProcess process_;
  std::string address_;
};

// Records the seqs of the frame messages; reconnects whenever the connection
// ends (a persistent session).
class Subscriber {
 public:
  Subscriber(int port, std::string topic, std::string clientId)
      : port_(port), topic_(std::move(topic)), clientId_(std::move(clientId)) {
    connect();
  }
  bool subscribed = false;
  std::set<long> seqs;
  long messages = 0;

 private:
  void connect() {
    drq::cli::BrokerOptions o;
    o.host = "127.0.0.1";
    o.port = port_;
    o.clientId = clientId_;
    o.cleanSession = false;
    drq::cli::MqttConnection::Events e;
    e.connected = [this] { conn_->subscribe(topic_, 1); };
    e.subscribed = [this] { subscribed = true; };
    e.lost = [this](const std::string&) {
      subscribed = false;
      retired_ = std::move(conn_);
      QTimer::singleShot(50, [this] { connect(); });
    };
    e.message = [this](const std::string&, const std::string& payload, bool) {
      static const std::regex kSeq(R"(^\{"seq": (\d+),)");
      std::smatch m;
      if (!std::regex_search(payload, m, kSeq)) return;
      ++messages;
      seqs.insert(std::stol(m[1]));
    };
    retired_.reset();
    conn_ = std::make_unique<drq::cli::MqttConnection>(o, std::move(e));
    std::string reason;
    if (!conn_->start(reason)) {
      retired_ = std::move(conn_);
      QTimer::singleShot(50, [this] { connect(); });
    }
  }

  int port_;
  std::string topic_;
  std::string clientId_;
  std::unique_ptr<drq::cli::MqttConnection> conn_, retired_;
};

QStringList publishArgs(const Sensor& sensor, const Broker& broker, long frames) {
  return {"--tcp",
          sensor.address(),
          "publish",
          "--broker",
          QString("127.0.0.1:%1").arg(broker.port()),
          "--count",
          QString::number(frames)};
}

std::string finish(QProcess& p) {
  if (!waitUntil([&] { return p.state() == QProcess::NotRunning; }, 120000)) fail("hung");
  return p.readAllStandardError().toStdString();
}

std::string lastLine(const std::string& text) {
  const std::size_t end = text.empty() || text.back() != '\n' ? text.size() : text.size() - 1;
  const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1));
}

// Frames per second of one drqctl run of `frames` frames, from its start to
// its exit (for publish: every frame acknowledged by the broker).
double runRate(const QStringList& args, long frames, std::string& err) {
  QProcess p;
  QElapsedTimer wall;
  wall.start();
  p.start(program("drqctl"), args);
  err = lastLine(finish(p));
  if (p.exitCode() != 0) fail("drqctl " + args.join(' ').toStdString() + ": " + err);
  return static_cast<double>(frames) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
}

// CPU time of a process's main thread, seconds (nanosecond resolution).
double cpuSeconds(qint64 pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
  unsigned long long ns = 0;
  in >> ns;
  return static_cast<double>(ns) * 1e-9;
}

}  // namespace
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const long frames = argc > 1 ? std::max(100L, std::atol(argv[1])) : 20000;
  Broker broker;
  broker.start();

  // 1. Frames per second, each command twice in turn (the machine may be
  //    busy with other work); the better run of each counts.
  double ratio = 0;
  {
    Sensor sensor;
    QStringList watchArgs = {"--tcp", sensor.address(), "watch", "--count",
                             QString::number(frames)};
    double watch = 0, published = 0;
    std::string err;
    for (int round = 0; round < 2; ++round) {
      watch = std::max(watch, runRate(watchArgs, frames, err));
      published = std::max(published, runRate(publishArgs(sensor, broker, frames), frames, err));
      std::printf("  publish: %s\n", err.c_str());
    }
    ratio = published / watch;
    std::printf("watch   %.0f frames/s\npublish %.0f frames/s (QoS 1, all acknowledged)\n", watch,
                published);
    // What a run costs beyond its frames: start, broker connection, the
    // final status and the disconnection (a one-frame run, best of five).
    double watchOne = 1e9, publishOne = 1e9;
    for (int round = 0; round < 5; ++round) {
      watchOne = std::min(
          watchOne, 1.0 / runRate({"--tcp", sensor.address(), "watch", "--count", "1"}, 1, err));
      publishOne = std::min(publishOne, 1.0 / runRate(publishArgs(sensor, broker, 1), 1, err));
    }
    std::printf("one-frame run: watch %.1f ms, publish %.1f ms\n", watchOne * 1e3,
                publishOne * 1e3);
  }

  // 2. A broker restart in the middle of a run.
  long lost = 0;
  {
    Sensor sensor;
    Subscriber sub(broker.port(), "drq/1001/frame", "bench-restart");
    if (!waitUntil([&] { return sub.subscribed; }, 10000)) fail("no subscription");
    QProcess p;
    p.start(program("drqctl"), publishArgs(sensor, broker, frames));
    if (!waitUntil([&] { return sub.messages >= frames / 4; }, 60000)) fail("no frames arrived");
    broker.stop();
    broker.start();
    const std::string err = finish(p);
    waitUntil([&] { return static_cast<long>(sub.seqs.size()) >= frames; }, 20000);
    lost = frames - static_cast<long>(sub.seqs.size());
    std::printf("restart: %ld of %ld frames arrived (%ld messages with repeats)\n  publish: %s\n",
                static_cast<long>(sub.seqs.size()), frames, sub.messages, lastLine(err).c_str());
  }

  // 3. The CPU while the sensor is silent.
  double idle = 0;
  {
    Sensor sensor({"--fault", "order=8,kind=silent"});
    QProcess p;
    p.start(program("drqctl"), {"--tcp", sensor.address(), "publish", "--broker",
                                QString("127.0.0.1:%1").arg(broker.port())});
    if (!p.waitForStarted()) fail("drqctl did not start");
    // Identification and broker connection take a few milliseconds; the
    // request for the first frame then waits 3 s for its answer.
    QElapsedTimer wall;
    waitUntil([] { return false; }, 300);
    const double cpu0 = cpuSeconds(p.processId());
    wall.start();
    waitUntil([] { return false; }, 2400);
    idle = (cpuSeconds(p.processId()) - cpu0) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
    std::printf("silent sensor: %.3f %% of a core\n", 100.0 * idle);
    p.terminate();
    finish(p);
  }

  std::printf("publish_bench: ratio=%.3f lost=%ld cpu-idle=%.4f\n", ratio, lost, idle);
  return 0;
}
