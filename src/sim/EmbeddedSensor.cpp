#include "sim/EmbeddedSensor.h"

#include <QHostAddress>

#include "sim/SensorHost.h"
#include "sim/TcpSensorServer.h"

namespace drq::sim {

EmbeddedSensor::EmbeddedSensor(QObject* parent, std::uint64_t seed)
    : QObject(parent),
      model_(seed),
      host_(std::make_unique<SensorHost>(model_)),
      server_(std::make_unique<TcpSensorServer>(*host_)) {}

EmbeddedSensor::~EmbeddedSensor() {
  server_.reset();  // the connections go before the host they report to
  host_.reset();
}

bool EmbeddedSensor::start() {
  if (server_->isListening()) return true;
  return server_->listen(QHostAddress(QHostAddress::LocalHost), 0);
}

void EmbeddedSensor::stop() {
  server_->close();
}

bool EmbeddedSensor::isRunning() const {
  return server_->isListening();
}

quint16 EmbeddedSensor::port() const {
  return server_->isListening() ? server_->port() : 0;
}

QString EmbeddedSensor::errorString() const {
  return server_->errorString();
}

}  // namespace drq::sim
