// The virtual sensor on a loopback TCP port, on a pseudo-terminal, and as the drqsim program.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>

#include "SimTestSupport.h"
#include "sim/EmbeddedSensor.h"
#include "sim/PtySensorServer.h"
#include "sim/SensorHost.h"
#include "sim/TcpSensorServer.h"
#include "support/TempDir.h"

namespace drq::sim::test {
namespace {

constexpr int kWaitMs = 5000;

QByteArray asQt(const Bytes& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

Bytes asBytes(const QByteArray& a) {
  return Bytes(a.begin(), a.end());
}

std::vector<FaultRule> rules(std::initializer_list<std::string_view> texts) {
  std::vector<FaultRule> out;
  for (std::string_view t : texts) out.push_back(*parseFaultRule(t, nullptr));
  return out;
}

class Client {
 public:
  explicit Client(quint16 port) {
    socket_.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    EXPECT_TRUE(socket_.waitForConnected(kWaitMs));
  }
  void send(const Bytes& b) {
    socket_.write(asQt(b));
    socket_.flush();
  }
  // Waits (running the event loop) until n bytes have arrived; returns them.
  Bytes receive(qint64 n) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket_.bytesAvailable() >= n; }, kWaitMs))
        << "got " << socket_.bytesAvailable() << " of " << n;
    return asBytes(socket_.read(n));
  }
  Bytes exchange(const Bytes& request) {
    send(request);
    const Bytes header = receive(8);
    if (header.size() < 8) return header;
    Bytes all = header;
    const Bytes payload = receive(headerOf(header).length);
    all.insert(all.end(), payload.begin(), payload.end());
    return all;
  }
  QTcpSocket& socket() { return socket_; }

 private:
  QTcpSocket socket_;
};

// The sensor's end of `client`'s connection, once the server has taken it.
QTcpSocket* sensorEndOf(EmbeddedSensor& sensor, Client& client) {
  QTcpSocket* found = nullptr;
  const bool accepted = QTest::qWaitFor(
      [&] {
        for (QTcpSocket* s : sensor.server().findChildren<QTcpSocket*>()) {
          if (s->peerPort() == client.socket().localPort()) found = s;
        }
        return found != nullptr;
      },
      kWaitMs);
  EXPECT_TRUE(accepted);
  return found;
}

TEST(SensorServer, EmbeddedSensorAnswersSeveralClientsAndSplitRequests) {
  EmbeddedSensor sensor;
  EXPECT_EQ(sensor.port(), 0);
  ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString();
  ASSERT_NE(sensor.port(), 0);
  EXPECT_EQ(sensor.address(), "127.0.0.1");

  Client a(sensor.port()), b(sensor.port());
  const Bytes identify = request(ORDER_IDENTIFY);
  QTcpSocket* sensorEnd = sensorEndOf(sensor, a);
  ASSERT_NE(sensorEnd, nullptr);
  QSignalSpy firstPieceRead(sensorEnd, &QTcpSocket::readyRead);
  a.send(Bytes(identify.begin(), identify.begin() + 3));
  ASSERT_TRUE(firstPieceRead.wait(kWaitMs));  // the sensor holds the first piece
  a.send(Bytes(identify.begin() + 3, identify.end()));
  const Bytes reply = a.receive(80);
  EXPECT_EQ(headerOf(reply).argument, kDefaultSerialNumber);
  EXPECT_EQ(b.exchange(request(ORDER_GET_DATA)).size(), 48u);
  EXPECT_EQ(sensor.server().clientCount(), 2);
  EXPECT_EQ(sensor.model().requestLog().size(), 2u);

  a.send(Bytes{'X', 'Y', 'Z'});
  EXPECT_TRUE(isErrorReport(a.receive(8), kErrorCommunication));
}

TEST(SensorServer, FaultsReachTheWire) {
  EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  sensor.host().setFaultRules(rules(
      {"order=8,times=1,kind=split:24:150", "order=7,kind=header-bytes:7", "order=3,kind=close"}));
  Client c(sensor.port());

  // The pieces' timing is the channel's (SensorPacingTest); here the whole
  // answer arrives in order.
  c.send(request(ORDER_GET_DATA));
  const Bytes whole = c.receive(48);
  ASSERT_EQ(whole.size(), 48u);
  EXPECT_TRUE(headerIsValid(std::span(whole).first<8>()));
  EXPECT_EQ(headerOf(whole).order, ORDER_GET_DATA);

  c.send(request(ORDER_IDENTIFY));
  EXPECT_EQ(c.receive(7).size(), 7u);
  // Nothing more of that answer follows: the next bytes are the next answer.
  const Bytes next = c.exchange(request(ORDER_GET_DATA));
  ASSERT_EQ(next.size(), 48u);
  EXPECT_EQ(headerOf(next).order, ORDER_GET_DATA);

  QSignalSpy closed(&c.socket(), &QTcpSocket::disconnected);
  c.send(request(ORDER_STORE_EEPROM));
  EXPECT_TRUE(closed.wait(kWaitMs));
  const RequestRecord& last = sensor.model().requestLog().back();
  EXPECT_EQ(last.order, ORDER_STORE_EEPROM);
  EXPECT_FALSE(last.handled);
  EXPECT_TRUE(QTest::qWaitFor([&] { return sensor.server().clientCount() == 0; }, kWaitMs));
}

// A client that sends its next request as soon as the error report for a
// damaged one arrives is heard; the damaged request gives one report.
TEST(SensorServer, RequestRightAfterAnErrorReportIsAnswered) {
  EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString();
  Client c(sensor.port());
  Bytes damaged = request(ORDER_GET_DATA);
  damaged[6] ^= 0x01;  // header CRC no longer matches
  for (const Bytes& bad : {damaged, Bytes{0x00, 0x55, 0x07}}) {
    // The next request goes out the moment the report is in.
    // A plain event loop: the test's usual wait sleeps between its turns.
    QEventLoop loop;
    Bytes report;
    QObject::connect(&c.socket(), &QTcpSocket::readyRead, &loop, [&] {
      if (report.empty() && c.socket().bytesAvailable() >= 8) {
        report = asBytes(c.socket().read(8));
        c.send(request(ORDER_IDENTIFY));
      }
      if (c.socket().bytesAvailable() >= 80) loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    c.send(bad);
    loop.exec();
    const Bytes reply = asBytes(c.socket().read(80));
    EXPECT_TRUE(isErrorReport(report, kErrorCommunication));
    ASSERT_EQ(reply.size(), 80u);
    EXPECT_EQ(headerOf(reply).order, ORDER_IDENTIFY);
    EXPECT_EQ(c.socket().bytesAvailable(), 0);
  }
  EXPECT_EQ(sensor.model().corruptRequestCount(), 2u);
}

TEST(SensorServer, PushedFramesGoToTheClientThatStartedThem) {
  EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  sensor.host().setClockMode(SensorHost::ClockMode::Manual);
  Client owner(sensor.port()), other(sensor.port());

  EXPECT_EQ(owner.exchange(request(ORDER_AUTO_SEND, 1)).size(), 8u);
  sensor.host().advance(600'000);
  for (std::uint16_t n = 1; n <= 3; ++n) {
    const Bytes f = owner.receive(48);
    EXPECT_EQ(headerOf(f).argument, n);
  }
  EXPECT_EQ(other.exchange(request(ORDER_IDENTIFY)).size(), 80u);
  EXPECT_EQ(other.socket().bytesAvailable(), 0);
  EXPECT_EQ(owner.exchange(request(ORDER_AUTO_SEND, 0)).size(), 8u);

  // A single-shot capture: the header, then four frames of 266 bytes.
  const std::uint16_t settings[] = {0, 0, 0, 1, 0};
  owner.send(request(ORDER_SCOPE, 1, words(settings)));
  EXPECT_EQ(owner.receive(8).size(), 8u);
  sensor.host().advance(100'000);
  const Bytes capture = owner.receive(4 * 266);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(capture[266 * k + 1], ORDER_SCOPE);

  // The owner going away ends its stream.
  owner.send(request(ORDER_AUTO_SEND, 1));
  owner.receive(8);
  EXPECT_TRUE(sensor.model().autoSending());
  owner.socket().disconnectFromHost();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !sensor.model().autoSending(); }, kWaitMs));
}

TEST(SensorServer, WallClockDrivesAutomaticSendingAndCaptures) {
  EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  sensor.model().setAutoSendPeriodMs(10);
  Client c(sensor.port());
  c.exchange(request(ORDER_AUTO_SEND, 1));
  const Bytes frames = c.receive(3 * 48);
  EXPECT_EQ(headerOf(std::span(frames).subspan(96)).argument, 3);
  // Frames that were on their way before the stop come first, then its answer.
  c.send(request(ORDER_AUTO_SEND, 0));
  for (int frame = 0;; ++frame) {
    ASSERT_LT(frame, 1000) << "no answer to the stop";
    const Bytes header = c.receive(8);
    ASSERT_EQ(header.size(), 8u);
    c.receive(headerOf(header).length);
    if (headerOf(header).order == ORDER_AUTO_SEND) break;
  }

  sensor.model().setIn0Pattern(20, 20);
  const std::uint16_t settings[] = {0, 4, 64, 1, 0};  // IN0 rising, 64 before, every cycle
  EXPECT_EQ(c.exchange(request(ORDER_SCOPE, 1, words(settings))).size(), 8u);
  const Bytes capture = c.receive(4 * 266);
  ASSERT_EQ(capture.size(), 4u * 266);
  const std::uint16_t p = readLe16(capture, 3 * 266 + 8 + 256);
  const int start = (p + 128 - 64) % 128;
  EXPECT_EQ(readLe16(capture, 3 * 266 + 8 + 2 * std::size_t((start + 63) % 128)) & 0x20, 0);
  EXPECT_EQ(readLe16(capture, 3 * 266 + 8 + 2 * std::size_t((start + 64) % 128)) & 0x20, 0x20);
}

TEST(SensorServer, PacingHoldsAnswersForTheirWireTime) {
  EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  sensor.host().setPacing(true);
  sensor.model().setBaudIndex(0);  // 9600 bit/s: 8 + 48 bytes take 58.3 ms
  Client c(sensor.port());
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(c.exchange(request(ORDER_GET_DATA)).size(), 48u);
  EXPECT_GE(timer.elapsed(), 58);
}

class PtyTest : public ::testing::Test {
 protected:
  static int openDevice(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  }
  // Reads until n bytes came (running the event loop), or fails.
  static Bytes readDevice(int fd, std::size_t n) {
    Bytes got;
    const bool complete = QTest::qWaitFor(
        [&] {
          std::uint8_t buf[512];
          const ssize_t k = ::read(fd, buf, sizeof buf);
          if (k > 0) got.insert(got.end(), buf, buf + k);
          return got.size() >= n;
        },
        kWaitMs);
    EXPECT_TRUE(complete) << "got " << got.size() << " of " << n;
    return got;
  }
  static void writeDevice(int fd, const Bytes& b) {
    ASSERT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size()));
  }

  drq::test::TempDir dir;
  SensorModel model;
  SensorHost host{model};
};

TEST_F(PtyTest, ServesTheSlaveThroughItsLinkAndReopensAfterHangUp) {
  const auto link = dir.file("sensor-tty");
  PtySensorServer pty(host);
  ASSERT_TRUE(pty.open(QString::fromStdString(link.string()))) << pty.errorString().toStdString();
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), pty.slavePath().toStdString());

  int fd = openDevice(link);
  ASSERT_GE(fd, 0);
  writeDevice(fd, request(ORDER_IDENTIFY));
  const Bytes reply = readDevice(fd, 80);
  ASSERT_EQ(reply.size(), 80u);
  EXPECT_EQ(headerOf(reply).order, ORDER_IDENTIFY);

  // A client may close and come back.
  ::close(fd);
  fd = openDevice(link);
  writeDevice(fd, request(ORDER_GET_DATA));
  EXPECT_EQ(readDevice(fd, 48).size(), 48u);

  host.setFaultRules(rules({"order=7,kind=close"}));
  const QString oldSlave = pty.slavePath();
  QSignalSpy reopened(&pty, &PtySensorServer::reopened);
  writeDevice(fd, request(ORDER_IDENTIFY));
  ASSERT_TRUE(reopened.wait(kWaitMs));
  EXPECT_NE(pty.slavePath(), oldSlave);
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), pty.slavePath().toStdString());
  std::uint8_t b = 0;
  const ssize_t k = ::read(fd, &b, 1);
  EXPECT_TRUE(k == 0 || (k < 0 && errno == EIO)) << k;  // the old line is hung up
  ::close(fd);

  host.setFaultRules({});
  fd = openDevice(link);
  writeDevice(fd, request(ORDER_IDENTIFY));
  EXPECT_EQ(readDevice(fd, 80).size(), 80u);
  ::close(fd);

  pty.close();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(PtyTest, RefusesToReplaceAFileThatIsNotALink) {
  ASSERT_TRUE(drq::test::writeFileBytes(dir.file("precious"), "keep"));
  PtySensorServer pty(host);
  EXPECT_FALSE(pty.open(QString::fromStdString(dir.file("precious").string())));
  EXPECT_FALSE(pty.isOpen());
  EXPECT_EQ(drq::test::readFileBytes(dir.file("precious")), "keep");
}

TEST(SensorProgram, AnnouncesItsServersAndStopsOnSigterm) {
  drq::test::TempDir dir;
  const QString link = QString::fromStdString(dir.file("tty").string());
  QProcess sim;
  sim.start(QStringLiteral(DRQ_BIN_DIR "/drqsim"),
            {"--tcp", "0", "--pty", "--link", link, "--serial", "4242", "--fault",
             "order=105,kind=error:1"});
  ASSERT_TRUE(sim.waitForStarted(kWaitMs));
  QByteArray out;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        out += sim.readAllStandardOutput();
        return out.count('\n') >= 2;
      },
      kWaitMs))
      << out.toStdString();
  const QList<QByteArray> lines = out.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 2);
  const QList<QByteArray> tcp = lines[0].split(' ');
  ASSERT_EQ(tcp.size(), 4);
  EXPECT_EQ(tcp[0], "READY");
  EXPECT_EQ(tcp[1], "tcp");
  EXPECT_EQ(tcp[2], "127.0.0.1");
  EXPECT_EQ(lines[1], "READY pty " + link.toLocal8Bit());

  {
    Client c(static_cast<quint16>(tcp[3].toUInt()));
    EXPECT_EQ(headerOf(c.exchange(request(ORDER_IDENTIFY))).argument, 4242);
    EXPECT_TRUE(isErrorReport(c.exchange(request(ORDER_GET_CYCLE_TIME)), kErrorUnknownOrder));
  }

  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(kWaitMs));
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(sim.exitCode(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.file("tty"))));
}

TEST(SensorProgram, BadCommandLineExitsWithUsage) {
  QProcess sim;
  sim.start(QStringLiteral(DRQ_BIN_DIR "/drqsim"), {"--fault", "kind=explode"});
  ASSERT_TRUE(sim.waitForFinished(kWaitMs));
  EXPECT_EQ(sim.exitCode(), 2);
  const QByteArray err = sim.readAllStandardError();
  EXPECT_TRUE(err.contains("unknown kind 'explode'")) << err.toStdString();
  EXPECT_TRUE(err.contains("usage: drqsim")) << err.toStdString();
}

}  // namespace
}  // namespace drq::sim::test
