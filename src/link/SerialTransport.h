#pragma once
// The sensor's serial line on QSerialPort: 8 data bits, no parity, 1 stop bit,
// no handshake. A port that reports a read or resource error (a USB adapter
// pulled out, a pseudo-terminal whose other side hung up) is closed at once:
// left open it would report the same error on every turn of the event loop.

#include <QByteArray>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <functional>

#include "core/protocol/Transport.h"

namespace drq {

// Bits of the serial line-status word (lineStatus()).
inline constexpr int kLineOverrun = 0x0001;
inline constexpr int kLineParity = 0x0004;
inline constexpr int kLineFraming = 0x0008;
inline constexpr int kLineBreak = 0x0010;
inline constexpr int kLineIoError = 0x0100;  // write or other device error
inline constexpr int kLineHangUp = 0x0200;   // the port went away (kept while closed)

class SerialTransport final : public QObject, public Transport {
  Q_OBJECT

 public:
  explicit SerialTransport(QObject* parent = nullptr);
  ~SerialTransport() override;

  // Opens `device` (a device path such as /dev/ttyUSB0, or COMn on Windows)
  // at `baudRate` bit/s, 8N1, no handshake, and flushes both queues. Returns 0,
  // or a negative serial result code (core/protocol/LinkSettings.h), never 0
  // for a port that did not open (kSerialSystemError when Qt names no reason);
  // lastError() and lastErrorString() then tell Qt's reason.
  int open(const QString& device, std::int32_t baudRate);
  QSerialPort::SerialPortError lastError() const { return lastError_; }
  QString lastErrorString() const { return lastErrorString_; }
  std::int32_t baudRate() const;

  // Read time-out of readWithPortTimeout (default 2.0 s).
  void setPortTimeout(double seconds) { portTimeout_ = seconds; }

  TransportKind kind() const override { return TransportKind::Serial; }
  bool isOpen() const override;
  void close() override;
  void write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesAvailable() override;
  std::size_t read(std::span<std::uint8_t> out) override;
  std::size_t readWithPortTimeout(std::span<std::uint8_t> out) override;
  int lineStatus() override;
  void flush() override;
  WaitResult waitFor(std::size_t count, double timeoutSeconds,
                     const ObservableFlag* stopWhenCleared) override;
  void setClosedHandler(std::function<void()> handler) override;

 signals:
  // Emitted when the port closes (hang-up or close()); ends running waits.
  void portClosed();
  // Emitted when a line error is recorded; wakes running waits.
  void lineErrorRecorded();

 private:
  void onError(QSerialPort::SerialPortError error);
  void takeErrorCounters(bool record);

  QSerialPort port_;
  QByteArray salvaged_;  // bytes received before a hang-up closed the port
  int status_ = 0;
  bool hungUp_ = false;
  double portTimeout_ = kPortTimeoutSeconds;
  QSerialPort::SerialPortError lastError_ = QSerialPort::NoError;
  QString lastErrorString_;
  std::function<void()> closedHandler_;
  // Driver error counters at the last query (framing, parity, overrun, break).
  std::uint32_t counters_[4] = {0, 0, 0, 0};
  bool countersAvailable_ = true;
};

}  // namespace drq
