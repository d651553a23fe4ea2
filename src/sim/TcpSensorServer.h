#pragma once
// The virtual sensor on a TCP port: every accepted connection is one channel of
// the same sensor (one model). Port 0 chooses a free port.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace drq::sim {

class SensorHost;

class TcpSensorServer : public QObject {
  Q_OBJECT

 public:
  explicit TcpSensorServer(SensorHost& host, QObject* parent = nullptr);
  ~TcpSensorServer() override;

  // Starts listening; false with errorString() set when the port is taken or
  // the address is not local to this machine.
  bool listen(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
              quint16 port = 0);
  // Stops listening and closes every connection.
  void close();

  bool isListening() const { return server_.isListening(); }
  QHostAddress address() const { return server_.serverAddress(); }
  quint16 port() const { return server_.serverPort(); }
  QString errorString() const { return server_.errorString(); }
  int clientCount() const;

 signals:
  void clientConnected();
  void clientDisconnected();

 private:
  void onNewConnection();

  SensorHost& host_;
  QTcpServer server_;
};

}  // namespace drq::sim
