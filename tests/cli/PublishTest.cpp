#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>

#include <csignal>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "cli/MqttBroker.h"
#include "cli/PublishCommand.h"
#include "cli/PublishQueue.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "link/Peers.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::Bytes;
using test::CliRun;
using test::MqttBroker;
using test::MqttSubscriber;

constexpr int kWaitMs = 15000;
const std::string kPrefix = "drq/4711";
const std::string kIdentity = R"({"identification": "VELMARON DRQ V1.0B", "serial": 4711})";

LiveFrame numbered(int base) {
  LiveFrame f;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w)
    f.words[w] = static_cast<std::int16_t>(base + static_cast<int>(w));
  return f;
}

// A sensor stand-in on a loopback port: identifies as serial 4711 and answers
// the n-th data request (from 0) with numbered(10 n - 50). `beforeData(n)`
// runs first; false sends that answer with a broken header.
struct ScriptedSensor {
  ScriptedSensor() {
    peer.onRequest = [this](const Bytes& request) {
      if (request[1] == ORDER_IDENTIFY) {
        const std::string text = "VELMARON DRQ V1.0.3 B";
        Bytes payload(text.begin(), text.end());
        payload.push_back(0);
        peer.send(buildFrame(ORDER_IDENTIFY, 4711, payload));
        return;
      }
      const int n = data++;
      Bytes answer = buildFrame(ORDER_GET_DATA, 0, encodeLiveFrame(numbered(10 * n - 50)));
      if (beforeData && !beforeData(n)) answer[7] ^= 0xFF;
      peer.send(answer);
    };
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(peer.port()); }

  test::TcpPeer peer;
  int data = 0;
  std::function<bool(int)> beforeData;
};

std::string lastLine(const std::string& text) {
  const auto end = text.size() > 0 && text.back() == '\n' ? text.size() - 1 : text.size();
  const auto start = text.rfind('\n', end == 0 ? 0 : end - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1));
}

// The seq of a frame message, or -1.
long seqOf(const std::string& message) {
  static const std::regex kSeq(R"(^\{"seq": (\d+), )");
  std::smatch m;
  return std::regex_search(message, m, kSeq) ? std::stol(m[1]) : -1;
}

// The seqs in the order they first arrived (a QoS 1 message may come twice).
std::vector<long> firstSeqs(const std::vector<std::string>& frames) {
  std::vector<long> seqs;
  std::set<long> seen;
  for (const auto& f : frames)
    if (seen.insert(seqOf(f)).second) seqs.push_back(seqOf(f));
  return seqs;
}

std::vector<long> range(long from, long to) {
  std::vector<long> r;
  for (long i = from; i < to; ++i) r.push_back(i);
  return r;
}

TEST(PublishMessages, FrameIdentityStatusAndTime) {
  using namespace std::chrono;
  EXPECT_EQ(utcTimestamp(system_clock::time_point(milliseconds(1796767200123))),
            "2026-12-08T22:00:00.123Z");
  EXPECT_EQ(utcTimestamp(system_clock::time_point(milliseconds(5))), "1970-01-01T00:00:00.005Z");
  EXPECT_EQ(utcTimestamp(system_clock::time_point(milliseconds(-1))), "1969-12-31T23:59:59.999Z");

  LiveFrame f = numbered(-7);
  f.words[0] = -32768;
  f.words[13] = 32767;
  f.words[14] = 99;  // the extreme values are not published
  EXPECT_EQ(frameMessage(12, "2026-12-08T22:00:00.123Z", f),
            R"({"seq": 12, "time": "2026-12-08T22:00:00.123Z", "RED": -32768, "GREEN": -6, )"
            R"("BLUE": -5, "X s": -4, "Y i": -3, "INT M": -2, "delta C": -1, "COLOR": 0, )"
            R"("GROUP": 1, "TRIGGER": 2, "TEMP": 3, "RAW RED": 4, "RAW GREEN": 5, )"
            R"("RAW BLUE": 32767})");
  const std::string odd = frameMessage(UINT64_MAX, "a\"b", f);
  EXPECT_TRUE(odd.starts_with(R"({"seq": 18446744073709551615, "time": "a\"b", "RED": -32768, )"))
      << odd;
  EXPECT_TRUE(odd.ends_with(R"("RAW BLUE": 32767})")) << odd;

  EXPECT_EQ(identityMessage("A \"B\"\\C\n\x01\xE9", 65535),
            R"({"identification": "A \"B\"\\C\u000a\u0001\u00e9", "serial": 65535})");
  EXPECT_EQ(failedStatus("ATTENTION! \nRECEIVED\r\nX\rY"), "failed: ATTENTION!  RECEIVED X Y");
}

TEST(PublishQueueTest, KeepsOrderOverLossesAndDropsTheOldest) {
  PublishQueue q(3);
  q.push("a");
  q.push("b");
  q.handed(1);  // a
  EXPECT_EQ(*q.nextPending(), "b");
  q.handed(2);  // b
  EXPECT_EQ(q.nextPending(), nullptr);
  q.push("c");
  q.push("d");  // full: c, the oldest pending, goes
  EXPECT_EQ(q.dropped(), 1u);
  EXPECT_EQ(*q.nextPending(), "d");
  EXPECT_TRUE(q.acknowledged(2));  // out of order
  EXPECT_FALSE(q.acknowledged(2));
  EXPECT_FALSE(q.acknowledged(9));
  EXPECT_EQ(q.published(), 1u);
  q.connectionLost();  // a is pending again, before d
  EXPECT_EQ(q.inFlight(), 0u);
  EXPECT_EQ(*q.nextPending(), "a");
  EXPECT_FALSE(q.acknowledged(1));  // an id of the old connection
  q.handed(1);
  q.sent();  // d at QoS 0
  EXPECT_EQ(q.published(), 2u);
  q.push("e");
  q.push("f");
  q.push("g");  // all but a pending: e goes
  q.handed(2);
  q.handed(3);
  q.push("h");  // all in flight: the oldest, a, goes; its late acknowledgement is ignored
  EXPECT_EQ(q.dropped(), 3u);
  EXPECT_FALSE(q.acknowledged(1));
  EXPECT_EQ(q.size(), 3u);
  q.dropAll();
  EXPECT_TRUE(q.empty());
  EXPECT_EQ(q.dropped(), 6u);
  EXPECT_EQ(q.published(), 2u);
}

TEST(Publish, UsageErrorsNameTheOptionAndPrintNoSummary) {
  test::TempDir dir;
  const auto password = dir.file("password").string();
  ASSERT_TRUE(test::writeFileBytes(password, "secret\n"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "--broker"},
      {{"--broker"}, "--broker"},
      {{"--broker", "h:0"}, "--broker"},
      {{"--broker", "h", "--qos", "2"}, "--qos"},
      {{"--broker", "h", "--interval", "-1"}, "--interval"},
      {{"--broker", "h", "--count", "0"}, "--count"},
      {{"--broker", "h", "--queue", "0"}, "--queue"},
      {{"--broker", "h", "--topic", "a/#"}, "--topic"},
      {{"--broker", "h", "--password-file", password}, "--password-file needs --username"},
      {{"--broker", "h", "--password", "secret"}, "--password"},
      {{"--broker", "h", "--username", "u", "--password-file", dir.file("none").string()},
       "cannot read --password-file " + dir.file("none").string()},
      {{"--broker", "h", "--cafile", dir.file("none.crt").string()},
       "cannot read --cafile " + dir.file("none.crt").string()},
      // A folder where the file belongs: the system's own reason.
      {{"--broker", "h", "--username", "u", "--password-file", dir.path().string()},
       "cannot read --password-file " + dir.path().string() + ": Is a directory"},
  };
  const CliRun noLink = test::runCliCaptured({"publish", "--broker", "h"});
  EXPECT_EQ(noLink.status, kExitUsage);
  EXPECT_EQ(noLink.err.find("published"), std::string::npos) << noLink.err;
  for (const auto& [extra, named] : cases) {
    std::vector<std::string> args = {"--tcp", "127.0.0.1:1", "publish"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliRun r = test::runCliCaptured(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(extra);
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("published"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("secret"), std::string::npos) << r.err;
  }
}

class PublishOnBroker : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(broker.start()) << broker.error(); }

  CliRun publish(std::vector<std::string> extra) {
    std::vector<std::string> args = {"--tcp", sensor.address(), "publish", "--broker",
                                     broker.address()};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::runCliCaptured(args);
  }

  MqttBroker broker{test::MqttBrokerConfig{true, {}, {}, {}}};
  ScriptedSensor sensor;
};

TEST_F(PublishOnBroker, FramesInOrderThenRetainedIdentityAndStatus) {
  MqttSubscriber sub(broker.port(), kPrefix + "/#");
  ASSERT_TRUE(sub.ready());
  const CliRun r = publish({"--count", "3"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "published 3 frames, dropped 0\n");
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return sub.payloads(kPrefix + "/status").size() == 2; }, kWaitMs));
  EXPECT_EQ(sub.payloads(kPrefix + "/status"), (std::vector<std::string>{"online", "offline"}));
  EXPECT_EQ(sub.payloads(kPrefix + "/identity"), std::vector<std::string>{kIdentity});
  const auto frames = sub.payloads(kPrefix + "/frame");
  ASSERT_EQ(frames.size(), 3u);
  static const std::regex kTime(R"re("time": "(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")re");
  for (std::size_t i = 0; i < frames.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(frames[i], m, kTime)) << frames[i];
    EXPECT_EQ(frames[i], frameMessage(i, m[1].str(), numbered(10 * static_cast<int>(i) - 50)));
  }
  for (const auto& m : sub.messages) EXPECT_FALSE(m.retained) << m.topic;

  // A later subscriber finds the identity and the last status kept.
  MqttSubscriber late(broker.port(), kPrefix + "/#");
  ASSERT_TRUE(late.ready());
  ASSERT_TRUE(QTest::qWaitFor([&] { return late.messages.size() == 2; }, kWaitMs));
  EXPECT_EQ(late.payloads(kPrefix + "/identity"), std::vector<std::string>{kIdentity});
  EXPECT_EQ(late.payloads(kPrefix + "/status"), std::vector<std::string>{"offline"});
  EXPECT_TRUE(late.messages[0].retained && late.messages[1].retained);
}

TEST_F(PublishOnBroker, QosZeroUnderAGivenPrefix) {
  MqttSubscriber sub(broker.port(), "plant/line 1/#");
  ASSERT_TRUE(sub.ready());
  const CliRun r = publish({"--qos", "0", "--topic", "plant/line 1", "--count", "4"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "published 4 frames, dropped 0\n");
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return sub.payloads("plant/line 1/status").size() == 2; }, kWaitMs));
  EXPECT_EQ(firstSeqs(sub.payloads("plant/line 1/frame")), range(0, 4));
}

TEST_F(PublishOnBroker, SensorLinkFailureIsKeptAsTheStatus) {
  sensor.beforeData = [](int n) { return n != 2; };
  MqttSubscriber sub(broker.port(), kPrefix + "/#");
  ASSERT_TRUE(sub.ready());
  const CliRun r = publish({});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.err, std::string(kMsgHeaderIncorrect) + "\npublished 2 frames, dropped 0\n");
  const std::string failed = "failed: ATTENTION!  RECEIVED HEADER FRAME IS INCORRECT!";
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return sub.payloads(kPrefix + "/status").size() == 2; }, kWaitMs));
  EXPECT_EQ(sub.payloads(kPrefix + "/status"), (std::vector<std::string>{"online", failed}));
  MqttSubscriber late(broker.port(), kPrefix + "/status");
  ASSERT_TRUE(late.ready());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !late.messages.empty(); }, kWaitMs));
  EXPECT_EQ(late.payloads(kPrefix + "/status"), std::vector<std::string>{failed});
}

TEST_F(PublishOnBroker, ASensorNeverReachedIsReportedUnderAGivenPrefix) {
  int closedPort = 0;
  {
    test::TcpPeer gone;
    closedPort = gone.port();
  }
  const CliRun r =
      test::runCliCaptured({"--tcp", "127.0.0.1:" + std::to_string(closedPort), "publish",
                            "--broker", broker.address(), "--topic", "plant/s9"});
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(lastLine(r.err), "published 0 frames, dropped 0");
  MqttSubscriber late(broker.port(), "plant/s9/#");
  ASSERT_TRUE(late.ready());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !late.messages.empty(); }, kWaitMs));
  ASSERT_EQ(late.messages.size(), 1u);  // no identity: the sensor never answered
  const std::string status = late.payloads("plant/s9/status").at(0);
  EXPECT_EQ(status.rfind("failed: ", 0), 0u) << status;
  EXPECT_EQ(status.find_first_of("\r\n"), std::string::npos) << status;
  EXPECT_NE(status.find("refused"), std::string::npos) << status;
}

TEST_F(PublishOnBroker, NothingLostOverABrokerRestart) {
  MqttSubscriber sub(broker.port(), kPrefix + "/frame", "drq-test-restart");
  ASSERT_TRUE(sub.ready());
  sensor.beforeData = [this](int n) {
    if (n == 10) {
      broker.stop();
      EXPECT_TRUE(broker.start()) << broker.error();
    }
    return true;
  };
  const CliRun r = publish({"--count", "60"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "published 60 frames, dropped 0\n");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return firstSeqs(sub.payloads(kPrefix + "/frame")).size() == 60; }, kWaitMs));
  EXPECT_EQ(firstSeqs(sub.payloads(kPrefix + "/frame")), range(0, 60));
}

TEST_F(PublishOnBroker, QueueOverflowDropsTheOldestAndCountsThem) {
  MqttSubscriber sub(broker.port(), kPrefix + "/frame", "drq-test-overflow");
  ASSERT_TRUE(sub.ready());
  sensor.beforeData = [this](int n) {
    if (n == 3) broker.stop();
    if (n == 39) {
      EXPECT_TRUE(broker.start()) << broker.error();
    }
    return true;
  };
  const CliRun r = publish({"--count", "40", "--queue", "5"});
  EXPECT_EQ(r.status, kExitOk);
  std::smatch m;
  const std::string summary = lastLine(r.err);
  static const std::regex kSummary(R"(published (\d+) frames, dropped (\d+))");
  ASSERT_TRUE(std::regex_match(summary, m, kSummary)) << r.err;
  const long published = std::stol(m[1]);
  EXPECT_EQ(published + std::stol(m[2]), 40);
  EXPECT_GE(published, 5);
  EXPECT_LE(published, 8);
  // The last five arrive after the restart; nothing from the gap.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return firstSeqs(sub.payloads(kPrefix + "/frame")).size() == std::size_t(published); },
      kWaitMs));
  const auto seqs = firstSeqs(sub.payloads(kPrefix + "/frame"));
  EXPECT_EQ(std::vector<long>(seqs.end() - 5, seqs.end()), range(35, 40));
  for (long s : seqs) EXPECT_TRUE(s < 3 || s >= 35) << s;
}

TEST_F(PublishOnBroker, SignalsEndCleanlyAndAKilledPublisherReadsOffline) {
  MqttSubscriber sub(broker.port(), kPrefix + "/status");
  ASSERT_TRUE(sub.ready());
  const QString drqctl = QStringLiteral(DRQ_BIN_DIR "/drqctl");
  const QStringList args = {"--tcp", QString::fromStdString(sensor.address()), "publish",
                            "--broker", QString::fromStdString(broker.address())};
  const auto statuses = [&] { return sub.payloads(kPrefix + "/status"); };
  const auto lastStatus = [&] { return statuses().empty() ? "" : statuses().back(); };

  QProcess p;
  p.start(drqctl, args);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return lastStatus() == "online" && sensor.data > 3; }, kWaitMs));
  p.terminate();  // SIGTERM
  // The sensor must go on answering while the publisher ends: no blocking wait.
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, kWaitMs));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
  const std::string err = p.readAllStandardError().toStdString();
  EXPECT_TRUE(
      std::regex_match(lastLine(err), std::regex(R"(published [1-9]\d* frames, dropped 0)")))
      << err;
  ASSERT_TRUE(QTest::qWaitFor([&] { return lastStatus() == "offline"; }, kWaitMs));

  p.start(drqctl, args);
  ASSERT_TRUE(QTest::qWaitFor([&] { return lastStatus() == "online"; }, kWaitMs));
  p.kill();  // SIGKILL: only the last will can tell
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return lastStatus() == "offline"; }, kWaitMs));
  EXPECT_EQ(statuses(), (std::vector<std::string>{"online", "offline", "online", "offline"}));
}

TEST(PublishLogin, PasswordFromAFileAndARefusedLogin) {
  MqttBroker broker({false, "plant", "s3cret pass", {}});
  ASSERT_TRUE(broker.start()) << broker.error();
  ScriptedSensor sensor;
  test::TempDir dir;
  const auto good = dir.file("good").string();
  const auto bad = dir.file("bad").string();
  ASSERT_TRUE(test::writeFileBytes(good, "s3cret pass\r\nsecond line\n"));
  ASSERT_TRUE(test::writeFileBytes(bad, "wrong"));
  const auto run = [&](std::vector<std::string> login) {
    std::vector<std::string> args = {"--tcp",          sensor.address(), "publish", "--broker",
                                     broker.address(), "--count",        "1"};
    args.insert(args.end(), login.begin(), login.end());
    return test::runCliCaptured(args);
  };
  CliRun r = run({"--username", "plant", "--password-file", good});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "published 1 frames, dropped 0\n");
  for (const auto& login :
       std::vector<std::vector<std::string>>{{"--username", "plant", "--password-file", bad}, {}}) {
    r = run(login);
    EXPECT_EQ(r.status, kExitBrokerFailure);
    EXPECT_EQ(r.err, "drqctl publish: broker " + broker.address() +
                         ": not authorised (Connection Refused: not authorised.)\n"
                         "published 0 frames, dropped 0\n");
  }
  broker.stop();
  r = run({});
  EXPECT_EQ(r.status, kExitBrokerFailure);
  EXPECT_EQ(r.err, "drqctl publish: broker " + broker.address() +
                       ": refused (Connection refused)\npublished 0 frames, dropped 0\n");
}

TEST(PublishTls, TheBrokerCertificateIsChecked) {
  test::TempDir certs;
  std::string error;
  ASSERT_TRUE(test::makeTestCertificates(certs.path().string(), error)) << error;
  MqttBroker broker({false, {}, {}, certs.path().string()});
  ASSERT_TRUE(broker.start()) << broker.error();
  ScriptedSensor sensor;
  const auto run = [&](const std::string& ca, const std::string& host = "127.0.0.1") {
    return test::runCliCaptured({"--tcp", sensor.address(), "publish", "--broker",
                                 host + ":" + std::to_string(broker.port()), "--count", "2",
                                 "--cafile", certs.file(ca).string()});
  };
  CliRun r = run("ca.crt");
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "published 2 frames, dropped 0\n");
  // A connection still being set up fails its handshake too, at once.
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    r = run("other-ca.crt", host);
    EXPECT_EQ(r.status, kExitBrokerFailure);
    EXPECT_EQ(r.err.rfind("drqctl publish: broker " + host + ":" + std::to_string(broker.port()) +
                              ": TLS failure (",
                          0),
              0u)
        << r.err;
    EXPECT_NE(r.err.find("certificate verify failed"), std::string::npos) << r.err;
    EXPECT_EQ(lastLine(r.err), "published 0 frames, dropped 0");
  }
  // No broker behind the port: the dead socket ends the attempt as refused
  // (before, its notifier fired on until the connect deadline).
  broker.stop();
  r = run("ca.crt", "localhost");
  EXPECT_EQ(r.status, kExitBrokerFailure);
  EXPECT_NE(r.err.find(": refused ("), std::string::npos) << r.err;
  EXPECT_EQ(lastLine(r.err), "published 0 frames, dropped 0");
}

}  // namespace
}  // namespace drq::cli
