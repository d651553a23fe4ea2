#pragma once
// The byte channel to the sensor, as the exchange engine needs it. The Qt
// layer implements it on a serial port and on a TCP socket; tests use a fake
// with a fake clock. Everything runs on the user-interface thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>

#include "core/util/ObservableFlag.h"

namespace drq {

enum class TransportKind { Serial, Tcp };

enum class WaitResult {
  Ready,      // at least the requested number of bytes can be read
  Timeout,    // the time-out passed first
  Stopped,    // the stop flag was cleared first
  Closed,     // the channel went away; no more bytes will come
  LineError,  // a line error was signalled during this wait (serial only)
};

// Read time-out of the serial port (readWithPortTimeout), seconds.
inline constexpr double kPortTimeoutSeconds = 2.0;

inline constexpr double kNoTimeout = std::numeric_limits<double>::infinity();

// Received bytes a transport holds unread at most. A peer that floods the
// line while nobody reads (after a failure, or with junk that never makes a
// frame) fills this much; then TCP holds the rest back in the peer, and a
// serial port drops it as a full input queue does. Every wait of the engine
// asks for far less (a whole receive buffer is 2048 bytes).
inline constexpr std::size_t kMaxUnreadInput = 64 * 1024;

class Transport {
 public:
  virtual ~Transport() = default;

  virtual TransportKind kind() const = 0;
  virtual bool isOpen() const = 0;
  virtual void close() = 0;

  // Writes all bytes with one write call. Failures are not reported here: a
  // lost request shows up as a time-out of the answer.
  virtual void write(std::span<const std::uint8_t> bytes) = 0;

  // Number of received bytes not yet read.
  virtual std::size_t bytesAvailable() = 0;

  // Moves up to out.size() received bytes into out without waiting; returns
  // how many were moved.
  virtual std::size_t read(std::span<std::uint8_t> out) = 0;

  // Serial: moves exactly out.size() bytes, waiting at most the port's
  // read time-out (2.0 s) for missing ones; returns how many were moved.
  // TCP: same as read().
  virtual std::size_t readWithPortTimeout(std::span<std::uint8_t> out) = 0;

  // Serial line-status word: the line errors (framing, overrun, hang-up, ...)
  // seen since the previous query; any value above 0 is a line error. A port
  // that went away keeps reporting one. Always 0 on TCP.
  virtual int lineStatus() = 0;

  // Discards pending input and output (TCP: the received bytes not yet read).
  virtual void flush() = 0;

  // Waits, keeping the user interface alive (nested callbacks run), until
  // bytesAvailable() >= count, `timeoutSeconds` have passed (kNoTimeout for
  // none), `stopWhenCleared` (if given) is 0, the channel is closed, or a line
  // error is signalled while waiting. Returns at once when one of the first
  // four already holds (a line error signalled before the call does not end
  // it: lineStatus() tells of that). Never a busy poll.
  virtual WaitResult waitFor(std::size_t count, double timeoutSeconds,
                             const ObservableFlag* stopWhenCleared) = 0;

  // Called once when the peer closes the connection (TCP) or the port goes
  // away (serial hang-up); the engine reports it. Never called for close().
  virtual void setClosedHandler(std::function<void()> handler) = 0;
};

}  // namespace drq
