#include "sim/TcpSensorServer.h"

#include <QTcpSocket>

#include "sim/SensorChannel.h"
#include "sim/SensorHost.h"

namespace drq::sim {

namespace {

// One accepted connection.
class TcpChannel final : public SensorChannel {
 public:
  TcpChannel(SensorHost& host, QTcpSocket* socket, QObject* parent)
      : SensorChannel(host, parent), socket_(socket) {
    socket_->setParent(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpChannel::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpChannel::onDisconnected);
  }
  ~TcpChannel() override {
    socket_->disconnect(this);
    socket_->abort();
  }

 protected:
  void writeBytes(std::span<const std::uint8_t> bytes) override {
    socket_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  void hangUp() override { socket_->disconnectFromHost(); }

 private:
  void onReadyRead() {
    const QByteArray data = socket_->readAll();
    receive(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                      static_cast<std::size_t>(data.size())));
  }
  void onDisconnected() {
    markClosed();
    deleteLater();
  }

  QTcpSocket* socket_;
};

}  // namespace

TcpSensorServer::TcpSensorServer(SensorHost& host, QObject* parent) : QObject(parent), host_(host) {
  connect(&server_, &QTcpServer::newConnection, this, &TcpSensorServer::onNewConnection);
}

TcpSensorServer::~TcpSensorServer() {
  close();
}

bool TcpSensorServer::listen(const QHostAddress& address, quint16 port) {
  return server_.listen(address, port);
}

void TcpSensorServer::close() {
  server_.close();
  const auto channels = findChildren<SensorChannel*>(Qt::FindDirectChildrenOnly);
  for (SensorChannel* c : channels) delete c;
}

int TcpSensorServer::clientCount() const {
  int n = 0;
  for (SensorChannel* c : findChildren<SensorChannel*>(Qt::FindDirectChildrenOnly))
    if (!c->closed()) ++n;
  return n;
}

void TcpSensorServer::onNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    auto* channel = new TcpChannel(host_, socket, this);
    connect(channel, &QObject::destroyed, this, &TcpSensorServer::clientDisconnected);
    emit clientConnected();
  }
}

}  // namespace drq::sim
