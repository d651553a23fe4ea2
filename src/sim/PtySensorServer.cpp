#include "sim/PtySensorServer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <system_error>
#include <vector>

#include "sim/SensorChannel.h"
#include "sim/SensorHost.h"

namespace drq::sim {

// The master side of one pseudo-terminal.
class PtyChannel final : public SensorChannel {
 public:
  PtyChannel(SensorHost& host, PtySensorServer& server, int master, int slave)
      : SensorChannel(host),
        server_(server),
        master_(master),
        slave_(slave),
        readNotifier_(master, QSocketNotifier::Read),
        writeNotifier_(master, QSocketNotifier::Write) {
    writeNotifier_.setEnabled(false);
    connect(&readNotifier_, &QSocketNotifier::activated, this, &PtyChannel::onReadable);
    connect(&writeNotifier_, &QSocketNotifier::activated, this, &PtyChannel::onWritable);
  }
  ~PtyChannel() override {
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    ::close(master_);
    ::close(slave_);
  }

 protected:
  void writeBytes(std::span<const std::uint8_t> bytes) override {
    outbox_.insert(outbox_.end(), bytes.begin(), bytes.end());
    flushOutbox();
  }
  void hangUp() override {
    // Leave the call chain first: the server replaces this object.
    QTimer::singleShot(0, &server_, &PtySensorServer::hangUpAndReopen);
  }

 private:
  void onReadable() {
    std::uint8_t buffer[4096];
    for (;;) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        receive(std::span(buffer, static_cast<std::size_t>(n)));
        if (closed()) return;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      // EIO (no slave open) or end of file: stop listening until the next write
      // tells us the line is usable again.
      readNotifier_.setEnabled(false);
      QTimer::singleShot(50, this, [this] {
        if (!closed()) readNotifier_.setEnabled(true);
      });
      return;
    }
  }
  void onWritable() { flushOutbox(); }
  void flushOutbox() {
    while (!outbox_.empty()) {
      const ssize_t n = ::write(master_, outbox_.data(), outbox_.size());
      if (n > 0) {
        outbox_.erase(outbox_.begin(), outbox_.begin() + n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        writeNotifier_.setEnabled(true);
        return;
      }
      outbox_.clear();  // the line is gone; what was not taken is lost, as on a wire
      break;
    }
    writeNotifier_.setEnabled(false);
  }

  PtySensorServer& server_;
  int master_;
  int slave_;
  QSocketNotifier readNotifier_;
  QSocketNotifier writeNotifier_;
  std::vector<std::uint8_t> outbox_;
};

PtySensorServer::PtySensorServer(SensorHost& host, QObject* parent)
    : QObject(parent), host_(host) {}

PtySensorServer::~PtySensorServer() {
  close();
}

bool PtySensorServer::isOpen() const {
  return channel_ != nullptr;
}

bool PtySensorServer::open(const QString& linkPath) {
  close();
  linkPath_ = linkPath;
  if (!openPty()) return false;
  if (!placeLink()) {
    channel_.reset();
    slavePath_.clear();
    linkPath_.clear();
    return false;
  }
  return true;
}

bool PtySensorServer::openPty() {
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    error_ = QStringLiteral("cannot create a pseudo-terminal: %1")
                 .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  termios raw{};
  if (::tcgetattr(slave, &raw) == 0) {
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
  }
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  char name[256] = {};
  if (::ttyname_r(slave, name, sizeof name) != 0) {
    error_ = QStringLiteral("cannot name the pseudo-terminal");
    ::close(master);
    ::close(slave);
    return false;
  }
  slavePath_ = QString::fromLocal8Bit(name);
  channel_ = std::make_unique<PtyChannel>(host_, *this, master, slave);
  return true;
}

bool PtySensorServer::placeLink() {
  if (linkPath_.isEmpty()) return true;
  const std::filesystem::path link(linkPath_.toStdString());
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(link, ec);
  if (!ec && std::filesystem::exists(status)) {
    if (!std::filesystem::is_symlink(status)) {
      error_ = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath_);
      return false;
    }
  }
  // Make the new link beside the old one and rename it over, so the path never vanishes.
  std::filesystem::path temp = link;
  temp += ".new";
  std::filesystem::remove(temp, ec);
  std::filesystem::create_symlink(slavePath_.toStdString(), temp, ec);
  if (!ec) std::filesystem::rename(temp, link, ec);
  if (ec) {
    error_ =
        QStringLiteral("cannot link %1: %2").arg(linkPath_, QString::fromStdString(ec.message()));
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

void PtySensorServer::removeLink() {
  if (linkPath_.isEmpty()) return;
  const std::filesystem::path link(linkPath_.toStdString());
  std::error_code ec;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, ec)) &&
      std::filesystem::read_symlink(link, ec) == std::filesystem::path(slavePath_.toStdString()))
    std::filesystem::remove(link, ec);
}

void PtySensorServer::close() {
  removeLink();
  channel_.reset();
  slavePath_.clear();
}

void PtySensorServer::hangUpAndReopen() {
  if (!channel_ || !channel_->closed()) return;
  channel_.reset();
  if (!openPty()) return;
  placeLink();
  emit reopened(slavePath_);
}

}  // namespace drq::sim
