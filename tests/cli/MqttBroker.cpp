#include "cli/MqttBroker.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

#include <fstream>

namespace drq::test {

namespace {

constexpr int kStartMs = 10000;

bool run(const std::string& program, const QStringList& args, std::string& error) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QString::fromStdString(program), args);
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    error = program + " " + args.join(' ').toStdString() + ": " + p.readAll().toStdString();
    return false;
  }
  return true;
}

int freePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

}  // namespace

std::string findProgram(const std::string& name) {
  QString path = QStandardPaths::findExecutable(QString::fromStdString(name));
  if (path.isEmpty())
    path = QStandardPaths::findExecutable(QString::fromStdString(name),
                                          {"/usr/sbin", "/usr/local/sbin", "/usr/local/bin"});
  return path.toStdString();
}

MqttBroker::MqttBroker(Config config) : config_(std::move(config)) {}

MqttBroker::~MqttBroker() {
  stop();
}

bool MqttBroker::start() {
  if (process_) return true;
  if (port_ != 0) return launch();
  // Another program may take the free port before the broker does.
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_ = freePort();
    if (port_ != 0 && launch()) return true;
    if (error_.find("in use") == std::string::npos) break;
  }
  return false;
}

bool MqttBroker::launch() {
  const std::string program = findProgram("mosquitto");
  if (program.empty()) {
    error_ = "mosquitto is not installed (scripts/install-deps installs it)";
    return false;
  }
  std::ofstream conf(dir_.file("mosquitto.conf"), std::ios::binary | std::ios::trunc);
  // Started as root, the broker would switch to its own user and could not
  // read this directory: it stays the user the tests run as.
  if (const passwd* pw = ::getpwuid(::getuid())) conf << "user " << pw->pw_name << '\n';
  conf << "listener " << port_ << " 127.0.0.1\n"
       << "log_dest stderr\n"
       << "log_type error\nlog_type warning\nlog_type notice\nlog_type information\n";
  if (config_.persistence) {
    conf << "persistence true\npersistence_location " << dir_.path().string() << "/\n";
  }
  if (!config_.user.empty()) {
    const std::string passwords = dir_.file("passwords").string();
    std::ofstream(passwords, std::ios::trunc).close();
    if (!run(findProgram("mosquitto_passwd"),
             {"-b", QString::fromStdString(passwords), QString::fromStdString(config_.user),
              QString::fromStdString(config_.password)},
             error_))
      return false;
    conf << "allow_anonymous false\npassword_file " << passwords << '\n';
  } else {
    conf << "allow_anonymous true\n";
  }
  if (!config_.certDir.empty()) {
    conf << "certfile " << config_.certDir << "/server.crt\n"
         << "keyfile " << config_.certDir << "/server.key\n";
  }
  conf.close();

  process_ = std::make_unique<QProcess>();
  process_->setProcessChannelMode(QProcess::MergedChannels);
  process_->start(QString::fromStdString(program),
                  {"-c", QString::fromStdString(dir_.file("mosquitto.conf").string())});
  std::string log;
  const QDeadlineTimer deadline(kStartMs);
  while (log.find(" running") == std::string::npos) {
    if (process_->state() == QProcess::NotRunning ||
        !process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      log += process_->readAll().toStdString();
      error_ = "mosquitto did not start: " + log;
      process_->kill();
      process_->waitForFinished();
      process_.reset();
      return false;
    }
    log += process_->readAll().toStdString();
  }
  return true;
}

void MqttBroker::stop() {
  if (!process_) return;
  process_->terminate();
  if (!process_->waitForFinished(kStartMs)) {
    process_->kill();
    process_->waitForFinished();
  }
  process_.reset();
}

MqttSubscriber::MqttSubscriber(int port, std::string filter, std::string clientId)
    : port_(port), filter_(std::move(filter)), clientId_(std::move(clientId)) {
  connect();
}

void MqttSubscriber::connect() {
  cli::BrokerOptions options;
  options.host = "127.0.0.1";
  options.port = port_;
  options.clientId = clientId_;
  options.cleanSession = clientId_.empty();
  cli::MqttConnection::Events events;
  events.connected = [this] { conn_->subscribe(filter_, 1); };
  events.subscribed = [this] { subscribed_ = true; };
  events.lost = [this](const std::string&) {
    subscribed_ = false;
    retired_ = std::move(conn_);
    if (!clientId_.empty()) QTimer::singleShot(50, [this] { connect(); });
  };
  events.message = [this](const std::string& topic, const std::string& payload, bool retained) {
    messages.push_back({topic, payload, retained});
  };
  retired_.reset();
  conn_ = std::make_unique<cli::MqttConnection>(options, std::move(events));
  std::string reason;
  if (!conn_->start(reason)) {
    retired_ = std::move(conn_);
    if (!clientId_.empty()) QTimer::singleShot(50, [this] { connect(); });
  }
}

bool MqttSubscriber::ready(int timeoutMs) {
  return QTest::qWaitFor([this] { return subscribed_; }, timeoutMs);
}

std::vector<std::string> MqttSubscriber::payloads(const std::string& topic) const {
  std::vector<std::string> result;
  for (const MqttMessage& m : messages)
    if (m.topic == topic) result.push_back(m.payload);
  return result;
}

bool makeTestCertificates(const std::string& dir, std::string& error) {
  const std::string openssl = findProgram("openssl");
  if (openssl.empty()) {
    error = "openssl is not installed";
    return false;
  }
  const auto path = [&dir](const char* name) { return QString::fromStdString(dir + "/" + name); };
  {
    std::ofstream ext(dir + "/server.ext", std::ios::trunc);
    ext << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
  }
  const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
  return run(openssl,
             QStringList{"req", "-x509"} + ec +
                 QStringList{"-keyout", path("ca.key"), "-out", path("ca.crt"), "-subj",
                             "/CN=DRQ Test CA", "-days", "2"},
             error) &&
         run(openssl,
             QStringList{"req", "-x509"} + ec +
                 QStringList{"-keyout", path("other-ca.key"), "-out", path("other-ca.crt"), "-subj",
                             "/CN=Other CA", "-days", "2"},
             error) &&
         run(openssl,
             QStringList{"req"} + ec +
                 QStringList{"-keyout", path("server.key"), "-out", path("server.csr"), "-subj",
                             "/CN=127.0.0.1"},
             error) &&
         run(openssl,
             {"x509", "-req", "-in", path("server.csr"), "-CA", path("ca.crt"), "-CAkey",
              path("ca.key"), "-CAcreateserial", "-out", path("server.crt"), "-days", "2",
              "-extfile", path("server.ext")},
             error);
}

}  // namespace drq::test
