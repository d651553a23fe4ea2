#pragma once
// The sensor's TCP conversation on QTcpSocket, with Nagle's delay switched off
// (LowDelayOption) so that each request leaves at once.

#include <QAbstractSocket>
#include <QString>
#include <QTcpSocket>

#include <cstdint>
#include <functional>

#include "core/protocol/Transport.h"

namespace drq {

inline constexpr int kConnectTimeoutMs = 5000;

class TcpTransport final : public QObject, public Transport {
  Q_OBJECT

 public:
  explicit TcpTransport(QObject* parent = nullptr);
  ~TcpTransport() override;

  // Connects to `host` (name or address) on `port`, waiting at most
  // `timeoutMs` in a local event loop. Returns 0, or a negative TCP result
  // code (core/protocol/LinkSettings.h); lastError() then tells Qt's reason.
  // Clearing `stopWhenCleared` (if given) during the wait abandons the
  // attempt at once: kTcpConnectStopped.
  int connectTo(const QString& host, std::uint16_t port, int timeoutMs = kConnectTimeoutMs,
                const ObservableFlag* stopWhenCleared = nullptr);
  QAbstractSocket::SocketError lastError() const { return lastError_; }
  QString lastErrorString() const { return lastErrorString_; }

  TransportKind kind() const override { return TransportKind::Tcp; }
  bool isOpen() const override;
  void close() override;
  void write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesAvailable() override;
  std::size_t read(std::span<std::uint8_t> out) override;
  std::size_t readWithPortTimeout(std::span<std::uint8_t> out) override { return read(out); }
  int lineStatus() override { return 0; }
  void flush() override;
  WaitResult waitFor(std::size_t count, double timeoutSeconds,
                     const ObservableFlag* stopWhenCleared) override;
  void setClosedHandler(std::function<void()> handler) override;

 signals:
  // Emitted when the conversation ends (peer closed, error, or close()).
  void conversationEnded();

 private:
  void onDisconnected();

  QTcpSocket socket_;
  bool connected_ = false;
  QAbstractSocket::SocketError lastError_ = QAbstractSocket::UnknownSocketError;
  QString lastErrorString_;
  std::function<void()> closedHandler_;
};

}  // namespace drq
