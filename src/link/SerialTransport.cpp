#include "link/SerialTransport.h"

#include <QElapsedTimer>

#include <algorithm>

#include "core/protocol/LinkSettings.h"
#include "link/EventWait.h"
#include "link/TransportErrors.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace drq {

SerialTransport::SerialTransport(QObject* parent) : QObject(parent) {
  port_.setReadBufferSize(static_cast<qint64>(kMaxUnreadInput));
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() {
  port_.disconnect(this);
  port_.close();
}

int SerialTransport::open(const QString& device, std::int32_t baudRate) {
  close();
  hungUp_ = false;
  status_ = 0;
  countersAvailable_ = true;
  port_.setPortName(device);
  if (!port_.open(QIODevice::ReadWrite)) {
    lastError_ = port_.error();
    lastErrorString_ = port_.errorString();
    port_.clearError();
    // A failure Qt files without a reason of its own is still a failure.
    const int result = serialResultFor(lastError_);
    return result < 0 ? result : kSerialSystemError;
  }
  if (!port_.setBaudRate(baudRate) || !port_.setDataBits(QSerialPort::Data8) ||
      !port_.setParity(QSerialPort::NoParity) || !port_.setStopBits(QSerialPort::OneStop) ||
      !port_.setFlowControl(QSerialPort::NoFlowControl)) {
    lastError_ = port_.error();
    lastErrorString_ = port_.errorString();
    port_.close();
    port_.clearError();
    return kSerialInvalidBaudrate;
  }
  lastError_ = QSerialPort::NoError;
  lastErrorString_.clear();
  flush();
  return 0;
}

std::int32_t SerialTransport::baudRate() const {
  return port_.baudRate();
}

bool SerialTransport::isOpen() const {
  return port_.isOpen();
}

void SerialTransport::close() {
  salvaged_.clear();
  if (!port_.isOpen()) return;
  port_.close();
  emit portClosed();
}

void SerialTransport::setClosedHandler(std::function<void()> handler) {
  closedHandler_ = std::move(handler);
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError: {
      if (!port_.isOpen()) return;
      // What arrived before the hang-up stays readable.
      salvaged_.append(port_.readAll());
      status_ |= kLineHangUp;
      hungUp_ = true;
      port_.close();
      port_.clearError();
      emit portClosed();
      const auto handler = closedHandler_;  // may be replaced while it runs
      if (handler) handler();
      return;
    }
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
      // While the port opens, its error belongs to open(), which reads it.
      if (!port_.isOpen()) return;
      status_ |= kLineIoError;
      port_.clearError();
      emit lineErrorRecorded();
      return;
    default:
      // Opening errors are returned by open(); the others come from calls on a
      // closed port and change nothing on the line.
      return;
  }
}

void SerialTransport::takeErrorCounters(bool record) {
#ifdef Q_OS_LINUX
  if (!port_.isOpen() || !countersAvailable_) return;
  serial_icounter_struct icount{};
  if (::ioctl(static_cast<int>(port_.handle()), TIOCGICOUNT, &icount) != 0) {
    countersAvailable_ = false;  // e.g. a pty or a USB adapter without counters
    return;
  }
  const std::uint32_t now[4] = {static_cast<std::uint32_t>(icount.frame),
                                static_cast<std::uint32_t>(icount.parity),
                                static_cast<std::uint32_t>(icount.overrun + icount.buf_overrun),
                                static_cast<std::uint32_t>(icount.brk)};
  constexpr int bits[4] = {kLineFraming, kLineParity, kLineOverrun, kLineBreak};
  for (int i = 0; i < 4; ++i) {
    if (record && now[i] != counters_[i]) status_ |= bits[i];
    counters_[i] = now[i];
  }
#else
  (void)record;
#endif
}

int SerialTransport::lineStatus() {
  takeErrorCounters(true);
  int status = status_;
  status_ = 0;
  if (hungUp_) status |= kLineHangUp;
  return status;
}

void SerialTransport::write(std::span<const std::uint8_t> bytes) {
  if (!port_.isOpen() || bytes.empty()) return;
  port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  port_.flush();
}

std::size_t SerialTransport::bytesAvailable() {
  const qint64 queued = port_.isOpen() ? port_.bytesAvailable() : 0;
  return static_cast<std::size_t>(salvaged_.size() + queued);
}

std::size_t SerialTransport::read(std::span<std::uint8_t> out) {
  std::size_t moved = 0;
  if (!salvaged_.isEmpty()) {
    moved = std::min(out.size(), static_cast<std::size_t>(salvaged_.size()));
    std::copy_n(salvaged_.constData(), moved, reinterpret_cast<char*>(out.data()));
    salvaged_.remove(0, static_cast<qsizetype>(moved));
  }
  if (moved < out.size() && port_.isOpen()) {
    const qint64 n = port_.read(reinterpret_cast<char*>(out.data() + moved),
                                static_cast<qint64>(out.size() - moved));
    if (n > 0) moved += static_cast<std::size_t>(n);
  }
  return moved;
}

std::size_t SerialTransport::readWithPortTimeout(std::span<std::uint8_t> out) {
  std::size_t got = read(out);
  QElapsedTimer elapsed;
  elapsed.start();
  while (got < out.size() && isOpen()) {
    const double remaining = portTimeout_ - static_cast<double>(elapsed.nsecsElapsed()) * 1e-9;
    if (remaining <= 0) break;
    const WaitResult r = waitFor(out.size() - got, remaining, nullptr);
    got += read(out.subspan(got));
    if (r == WaitResult::Timeout || r == WaitResult::Closed) break;
  }
  return got;
}

void SerialTransport::flush() {
  salvaged_.clear();
  if (!port_.isOpen()) return;
  port_.clear(QSerialPort::AllDirections);
  takeErrorCounters(false);  // errors of discarded input do not count
}

WaitResult SerialTransport::waitFor(std::size_t count, double timeoutSeconds,
                                    const ObservableFlag* stopWhenCleared) {
  if (bytesAvailable() >= count) return WaitResult::Ready;
  if (!isOpen()) return WaitResult::Closed;
  EventWait wait(timeoutSeconds, stopWhenCleared);
  if (wait.finished()) return wait.exec();
  connect(&port_, &QSerialPort::readyRead, wait.context(), [&] {
    if (bytesAvailable() >= count) wait.finish(WaitResult::Ready);
  });
  connect(this, &SerialTransport::portClosed, wait.context(),
          [&] { wait.finish(WaitResult::Closed); });
  connect(this, &SerialTransport::lineErrorRecorded, wait.context(),
          [&] { wait.finish(WaitResult::LineError); });
  return wait.exec();
}

}  // namespace drq
