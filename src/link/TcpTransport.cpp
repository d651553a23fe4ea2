#include "link/TcpTransport.h"

#include <algorithm>

#include "core/protocol/LinkSettings.h"
#include "link/EventWait.h"
#include "link/TransportErrors.h"

namespace drq {

TcpTransport::TcpTransport(QObject* parent) : QObject(parent) {
  socket_.setReadBufferSize(static_cast<qint64>(kMaxUnreadInput));
  connect(&socket_, &QTcpSocket::disconnected, this, &TcpTransport::onDisconnected);
}

TcpTransport::~TcpTransport() {
  socket_.disconnect(this);
  socket_.abort();
}

int TcpTransport::connectTo(const QString& host, std::uint16_t port, int timeoutMs,
                            const ObservableFlag* stopWhenCleared) {
  close();
  if (host.trimmed().isEmpty() || port == 0) {
    lastError_ = QAbstractSocket::UnsupportedSocketOperationError;
    lastErrorString_ = QStringLiteral("no server address or port");
    return kTcpInvalidParameter;
  }
  EventWait wait(timeoutMs / 1000.0, stopWhenCleared);
  connect(&socket_, &QTcpSocket::connected, wait.context(),
          [&] { wait.finish(WaitResult::Ready); });
  connect(&socket_, &QTcpSocket::errorOccurred, wait.context(),
          [&] { wait.finish(WaitResult::Closed); });
  socket_.connectToHost(host, port);
  const WaitResult r = wait.exec();
  if (r == WaitResult::Ready && socket_.state() == QAbstractSocket::ConnectedState) {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connected_ = true;
    lastError_ = QAbstractSocket::UnknownSocketError;
    lastErrorString_.clear();
    return 0;
  }
  if (r == WaitResult::Stopped) {
    socket_.abort();
    lastError_ = QAbstractSocket::OperationError;
    lastErrorString_ = QStringLiteral("connection attempt stopped");
    return kTcpConnectStopped;
  }
  lastError_ = r == WaitResult::Timeout ? QAbstractSocket::SocketTimeoutError : socket_.error();
  lastErrorString_ =
      r == WaitResult::Timeout ? QStringLiteral("connection timed out") : socket_.errorString();
  socket_.abort();
  return tcpResultFor(lastError_);
}

bool TcpTransport::isOpen() const {
  return connected_ && socket_.state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::close() {
  const bool wasConnected = connected_;
  connected_ = false;  // a local close is not reported as the server's
  socket_.abort();
  if (wasConnected) emit conversationEnded();
}

void TcpTransport::setClosedHandler(std::function<void()> handler) {
  closedHandler_ = std::move(handler);
}

void TcpTransport::onDisconnected() {
  if (!connected_) return;
  connected_ = false;
  emit conversationEnded();
  const auto handler = closedHandler_;  // may be replaced while it runs
  if (handler) handler();
}

void TcpTransport::write(std::span<const std::uint8_t> bytes) {
  if (!isOpen() || bytes.empty()) return;
  socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  socket_.flush();
}

std::size_t TcpTransport::bytesAvailable() {
  return static_cast<std::size_t>(std::max<qint64>(socket_.bytesAvailable(), 0));
}

std::size_t TcpTransport::read(std::span<std::uint8_t> out) {
  if (out.empty()) return 0;
  const qint64 n =
      socket_.read(reinterpret_cast<char*>(out.data()), static_cast<qint64>(out.size()));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void TcpTransport::flush() {
  const qint64 pending = socket_.bytesAvailable();
  if (pending > 0) socket_.skip(pending);
}

WaitResult TcpTransport::waitFor(std::size_t count, double timeoutSeconds,
                                 const ObservableFlag* stopWhenCleared) {
  if (bytesAvailable() >= count) return WaitResult::Ready;
  if (!isOpen()) return WaitResult::Closed;
  EventWait wait(timeoutSeconds, stopWhenCleared);
  if (wait.finished()) return wait.exec();
  connect(&socket_, &QTcpSocket::readyRead, wait.context(), [&] {
    if (bytesAvailable() >= count) wait.finish(WaitResult::Ready);
  });
  connect(this, &TcpTransport::conversationEnded, wait.context(),
          [&] { wait.finish(WaitResult::Closed); });
  return wait.exec();
}

}  // namespace drq
