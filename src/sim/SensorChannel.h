#pragma once
// One byte channel of the virtual sensor (a TCP connection, a pseudo-terminal):
// assembles requests from the received bytes, hands them to the host, and sends
// the answers and pushed frames in order, with their fault delays and the wire
// pacing. Subclasses provide the bytes' way out.

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "sim/FaultRule.h"
#include "sim/RequestFramer.h"

class QSocketNotifier;

namespace drq::sim {

class SensorHost;

// The timing of the serial line between the tool and the sensor as the wire
// pacing models it: full duplex, 10 bits a byte, each direction busy while its
// bytes pass. Times are microseconds of the host's clock; a baud rate of 0 (no
// pacing) makes bytes take no time, so only the order of the frames is kept.
// Every time is rounded up: nothing is ever released before a real line could
// have delivered it.
class WireTiming {
 public:
  // Microseconds `bytes` take on the line at `baudRate`, rounded up; 0 when
  // `baudRate` is 0.
  static std::uint64_t span(std::size_t bytes, std::uint32_t baudRate);

  // `bytes` from the tool, seen at `nowMicros`: they went onto the line at the
  // latest then, or once the bytes before them had passed. Returns the time
  // their last byte has arrived at the sensor.
  std::uint64_t receive(std::uint64_t nowMicros, std::size_t bytes, std::uint32_t baudRate);
  // When the last byte received so far has arrived (0 before any).
  std::uint64_t inboundEnd() const { return inboundEnd_; }

  // A burst of `bytes` to the tool that the sensor starts at `startMicros`: it
  // goes out once the line is free and streams at the line's rate. Returns the
  // time its last byte has arrived at the tool (the line is busy until then).
  std::uint64_t transmit(std::uint64_t startMicros, std::size_t bytes, std::uint32_t baudRate);
  // When the last byte sent so far has arrived (0 before any).
  std::uint64_t outboundEnd() const { return outboundEnd_; }

 private:
  std::uint64_t inboundEnd_ = 0;
  std::uint64_t outboundEnd_ = 0;
};

class SensorChannel : public QObject {
  Q_OBJECT

 public:
  // Answer: the reply to the request (or the corrupt bytes) the channel is
  // handing to the host right now. Pushed: a frame the sensor sends on its own.
  enum class Outgoing { Answer, Pushed };

  SensorChannel(SensorHost& host, QObject* parent = nullptr);
  ~SensorChannel() override;

  // Bytes from the peer, in any pieces.
  void receive(std::span<const std::uint8_t> bytes);

  // Queues a transmission after everything queued before. With pacing on
  // (`baudRate` > 0 and the host's pacing set), an answer starts when the
  // request's last byte would have arrived on a real line, a pushed frame when
  // it is sent; each piece (after its fault delay) then takes its wire time at
  // `baudRate` and is written in one go when its last byte would have arrived.
  void send(const Transmission& transmission, Outgoing kind, std::uint32_t baudRate);

  // True once the channel has hung up (fault `close` or the peer went away).
  bool closed() const { return closed_; }
  // Nothing waits to be sent.
  bool idle() const { return queue_.empty(); }

 protected:
  // Writes bytes to the peer (subclasses buffer what cannot go out at once).
  virtual void writeBytes(std::span<const std::uint8_t> bytes) = 0;
  // Ends the connection (called once).
  virtual void hangUp() = 0;
  // The peer has gone: stop sending, tell the host.
  void markClosed();

  SensorHost& host_;

 private:
  struct Scheduled {
    std::uint64_t dueMicros = 0;
    std::vector<std::uint8_t> bytes;
    bool close = false;
  };
  std::uint32_t inboundBaudRate();
  void pump();
  void armSendTimer(std::uint64_t dueMicros, std::uint64_t nowMicros);
  void stopSendTimer();
  void onWakeFd();
  // Hands the framer's timed reports (a stalled request, the end of a
  // discard) to the host when they fall due.
  void checkStall();
  void armStallTimer();

  RequestFramer framer_;
  WireTiming wire_;
  std::deque<Scheduled> queue_;
  // While a request is being handed to the host: when its last byte would
  // have arrived on the line (the start of its answer).
  std::uint64_t answerStartMicros_ = 0;
  bool delivering_ = false;
  // Wakes pump() at a due time: a microsecond timer descriptor where the
  // system has one, else sendTimer_ (whole milliseconds, rounded up).
  int wakeFd_ = -1;
  std::unique_ptr<QSocketNotifier> wakeNotifier_;
  QTimer sendTimer_;
  QTimer stallTimer_;
  bool closed_ = false;
  bool attached_ = true;
};

}  // namespace drq::sim
