#pragma once
// Test helpers for drqctl publish: Debian's mosquitto broker on a free loopback
// port with its own configuration in a temporary directory (never the
// system's broker on 1883), a subscriber that records what arrives, and a
// test certificate authority made with openssl.

#include <QProcess>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/MqttConnection.h"
#include "support/TempDir.h"

namespace drq::test {

struct MqttBrokerConfig {
  bool persistence = false;  // keep sessions and queued messages over a restart
  std::string user;          // with `password`: the only login; anonymous refused
  std::string password;
  std::string certDir;  // TLS with certDir/server.crt and server.key
};

class MqttBroker {
 public:
  using Config = MqttBrokerConfig;
  MqttBroker() : MqttBroker(Config{false, {}, {}, {}}) {}
  explicit MqttBroker(Config config);
  ~MqttBroker();
  MqttBroker(const MqttBroker&) = delete;
  MqttBroker& operator=(const MqttBroker&) = delete;

  // Starts the broker and returns once it listens: on a free port the first
  // time, on the same port again after stop(). False with error() on failure.
  bool start();
  // Ends the broker with SIGTERM and waits for it.
  void stop();
  int port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::string& error() const { return error_; }

 private:
  bool launch();

  Config config_;
  TempDir dir_;
  int port_ = 0;
  std::string error_;
  std::unique_ptr<QProcess> process_;
};

struct MqttMessage {
  std::string topic;
  std::string payload;
  bool retained = false;
};

// Subscribes to a topic filter and records every message. With a client id
// its session is persistent and it reconnects whenever the connection ends.
class MqttSubscriber {
 public:
  MqttSubscriber(int port, std::string filter, std::string clientId = {});
  // Waits until the broker has acknowledged the subscription.
  bool ready(int timeoutMs = 10000);

  std::vector<MqttMessage> messages;
  // The payloads received on `topic`, in order.
  std::vector<std::string> payloads(const std::string& topic) const;

 private:
  void connect();

  int port_;
  std::string filter_;
  std::string clientId_;
  bool subscribed_ = false;
  std::unique_ptr<cli::MqttConnection> conn_;
  std::unique_ptr<cli::MqttConnection> retired_;
};

// Makes dir/ca.crt, dir/server.crt and dir/server.key (for 127.0.0.1 and
// localhost) and a second authority dir/other-ca.crt. False with `error`.
bool makeTestCertificates(const std::string& dir, std::string& error);

// The path of an installed program (also in /usr/sbin), or empty.
std::string findProgram(const std::string& name);

}  // namespace drq::test
