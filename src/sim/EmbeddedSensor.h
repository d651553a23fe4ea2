#pragma once
// A virtual sensor inside the calling process: a SensorModel on a TCP port of
// 127.0.0.1 chosen free by the system, served on the caller's thread. The
// operator tool's demonstration mode connects to it (TCP/IP, address(),
// port()); tests use it the same way. While the caller waits for an answer in
// a local event loop, the sensor answers.

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

#include "sim/SensorModel.h"

namespace drq::sim {

class SensorHost;
class TcpSensorServer;

class EmbeddedSensor : public QObject {
  Q_OBJECT

 public:
  explicit EmbeddedSensor(QObject* parent = nullptr, std::uint64_t seed = 1);
  ~EmbeddedSensor() override;

  // Starts listening; false with errorString() set on failure. Calling it
  // again while running does nothing and returns true.
  bool start();
  // Closes every connection and stops listening.
  void stop();
  bool isRunning() const;

  QString address() const { return QStringLiteral("127.0.0.1"); }
  quint16 port() const;  // 0 before start()
  QString errorString() const;

  SensorModel& model() { return model_; }
  // Fault rules, pacing, clock mode.
  SensorHost& host() { return *host_; }
  TcpSensorServer& server() { return *server_; }

 private:
  SensorModel model_;
  std::unique_ptr<SensorHost> host_;
  std::unique_ptr<TcpSensorServer> server_;
};

}  // namespace drq::sim
