#pragma once
// Small sensor stand-ins for the real-transport tests, running in the test's
// own thread: the link waits in nested event loops, so a QTcpServer or a
// QSocketNotifier on a pseudo-terminal answers while an exchange waits.
//
// Each peer collects request frames (8-byte header plus the payload it
// announces) and hands every complete one to onRequest, which answers with
// send(), sendInPieces(), hangUp() or nothing at all (a silent sensor).

#include <QByteArray>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace drq::test {

using Bytes = std::vector<std::uint8_t>;

class ScriptedPeer {
 public:
  virtual ~ScriptedPeer() = default;

  std::function<void(const Bytes& request)> onRequest;
  std::vector<Bytes> requests;

  void send(const Bytes& bytes) { writeRaw(bytes.data(), bytes.size()); }

  // Writes `bytes` in pieces of `pieceSize`, `intervalMs` apart.
  void sendInPieces(const Bytes& bytes, std::size_t pieceSize, int intervalMs) {
    for (std::size_t i = 0, n = 0; i < bytes.size(); i += pieceSize, ++n) {
      Bytes piece(
          bytes.begin() + static_cast<std::ptrdiff_t>(i),
          bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), i + pieceSize)));
      QTimer::singleShot(static_cast<int>(n) * intervalMs, &context_,
                         [this, piece] { writeRaw(piece.data(), piece.size()); });
    }
  }

  // Runs `action` after `ms` milliseconds (from the test's event loop).
  void later(int ms, std::function<void()> action) {
    QTimer::singleShot(ms, &context_, std::move(action));
  }

  virtual void hangUp() = 0;

 protected:
  virtual void writeRaw(const std::uint8_t* data, std::size_t size) = 0;

  void received(const char* data, std::size_t size) {
    pending_.insert(pending_.end(), data, data + size);
    while (pending_.size() >= 8) {
      const auto length = static_cast<std::size_t>(pending_[4] | (pending_[5] << 8));
      if (pending_.size() < 8 + length) break;
      Bytes request(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(8 + length));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(8 + length));
      requests.push_back(request);
      if (onRequest) onRequest(request);
    }
  }

  QObject context_;  // owns the timers of this peer

 private:
  Bytes pending_;
};

// A TCP server on a free loopback port; one connection at a time.
class TcpPeer final : public ScriptedPeer {
 public:
  TcpPeer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &context_, [this] {
      QTcpSocket* s = server_.nextPendingConnection();
      if (s == nullptr) return;
      s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
      socket_ = s;
      QObject::connect(s, &QTcpSocket::readyRead, &context_, [this, s] {
        const QByteArray data = s->readAll();
        received(data.constData(), static_cast<std::size_t>(data.size()));
      });
    });
  }
  std::uint16_t port() const { return server_.serverPort(); }
  bool connected() const { return socket_ != nullptr; }
  // Bytes written but not yet taken by the system: a peer that keeps this
  // small is held back by TCP, as a real one is.
  qint64 unsent() const { return socket_ ? socket_->bytesToWrite() : 0; }
  void hangUp() override {
    if (socket_) socket_->disconnectFromHost();
  }

 protected:
  void writeRaw(const std::uint8_t* data, std::size_t size) override {
    if (!socket_) return;
    socket_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    socket_->flush();
  }

 private:
  QTcpServer server_;
  QTcpSocket* socket_ = nullptr;  // child of server_
};

// The far side of a pseudo-terminal; the link opens slavePath() as its port.
class PtyPeer final : public ScriptedPeer {
 public:
  PtyPeer() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    slavePath_ = name;
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_, [this] {
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) received(buf, static_cast<std::size_t>(n));
      if (n <= 0) notifier_->setEnabled(false);
    });
  }
  ~PtyPeer() override {
    notifier_.reset();
    closeSlave();
    if (master_ >= 0) ::close(master_);
  }
  bool ok() const { return master_ >= 0; }
  const std::string& slavePath() const { return slavePath_; }
  // The test's own handle of the terminal side; closed once the port is open.
  void closeSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
  }
  // The line hangs up, as a pulled USB adapter does.
  void hangUp() override {
    notifier_.reset();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 protected:
  void writeRaw(const std::uint8_t* data, std::size_t size) override {
    if (master_ >= 0 && ::write(master_, data, size) < 0) hangUp();
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace drq::test
