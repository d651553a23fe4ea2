#pragma once
// One byte channel of the virtual sensor (a TCP connection, a pseudo-terminal):
// assembles requests from the received bytes, hands them to the host, and sends
// the answers and pushed frames in order, with their fault delays and the wire
// pacing. Subclasses provide the bytes' way out.

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "sim/FaultRule.h"
#include "sim/RequestFramer.h"

namespace drq::sim {

class SensorHost;

class SensorChannel : public QObject {
  Q_OBJECT

 public:
  SensorChannel(SensorHost& host, QObject* parent = nullptr);
  ~SensorChannel() override;

  // Bytes from the peer, in any pieces.
  void receive(std::span<const std::uint8_t> bytes);

  // Queues a transmission. `requestBytes` is the size of the request it
  // answers (0 for pushed frames); with pacing on, the first piece leaves after
  // (requestBytes + bytes sent) * 10 bits at `baudRate`.
  void send(const Transmission& transmission, std::size_t requestBytes, std::uint32_t baudRate);

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
  void pump();
  void checkStall();
  void armStallTimer();

  RequestFramer framer_;
  std::deque<Scheduled> queue_;
  std::uint64_t lastDueMicros_ = 0;
  QTimer sendTimer_;
  QTimer stallTimer_;
  bool closed_ = false;
  bool attached_ = true;
};

}  // namespace drq::sim
