#pragma once
// A scripted peer behind the Transport interface, on a FakeClock: the exchange
// engine's tests run without sockets, ports or real time.
//
// The peer's behaviour is a list of steps, each `after` seconds after the
// previous one (the first one after the script's start):
//
//   FakeClock clock;
//   FakeTransport fake(clock, TransportKind::Tcp);
//   fake.answerNext().send(buildFrame(ORDER_IDENTIFY, 42, text));   // answer to the 1st request
//   fake.answerNext().sendInPieces(frame, 1, 0.01);                  // 2nd: 1-byte pieces, 10 ms
//   apart fake.answerNext().send(header, 0.5).close(0.2);                  // 3rd: header, then
//   hang-up fake.push().send(pushedFrame, 2.0);                              // unasked, 2 s from
//   now
//
// An answer script starts when the next request is written (answers are used
// in order; a request without a scripted answer meets silence). A push script
// starts when push() is called. Steps happen only while the engine waits
// (waitFor, readWithPortTimeout): the wait moves the clock to the next step
// that is due before its deadline and performs it, or moves the clock to the
// deadline and times out. An endless wait with nothing scheduled fails the
// test (it would hang for real) and returns Timeout.
//
// Steps:
//   send(bytes)           bytes become readable
//   sendInPieces(b, n, d) b split into pieces of n bytes, d seconds apart
//   lineError(status)     a line error: serial lineStatus() reports it once;
//                         a wait running at that moment returns LineError
//   close()               the peer hangs up: the closed handler runs (as the
//                         socket or port would signal it); bytes already
//                         received stay readable; serial lineStatus() then
//                         always reports kFakeHangUp
//   run(action)           a nested callback, e.g. an operator clearing RunFlag
//
// Serial semantics: readWithPortTimeout waits up to portTimeout() (2.0 s) for
// missing bytes; lineStatus() returns the errors since the last query. TCP:
// lineStatus() is always 0. flush() drops readable bytes (not scripted ones)
// and counts the call.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "core/protocol/Transport.h"
#include "support/FakeClock.h"

namespace drq::test {

inline constexpr int kFakeHangUp = 0x200;

class PeerScript {
 public:
  PeerScript& send(std::vector<std::uint8_t> bytes, double after = 0);
  PeerScript& sendInPieces(const std::vector<std::uint8_t>& bytes, std::size_t pieceSize,
                           double interval = 0, double after = 0);
  PeerScript& lineError(int status = 1, double after = 0);
  PeerScript& close(double after = 0);
  PeerScript& run(std::function<void()> action, double after = 0);

 private:
  friend class FakeTransport;
  enum class Kind { Bytes, LineError, Close, Action };
  struct Step {
    double after = 0;
    Kind kind = Kind::Bytes;
    std::vector<std::uint8_t> bytes;
    int status = 0;
    std::function<void()> action;
  };
  std::vector<Step> steps_;
  // While running: start time and the next step.
  double start_ = 0;
  double offset_ = 0;  // sum of the `after` of the steps done
  std::size_t next_ = 0;
};

class FakeTransport final : public Transport {
 public:
  FakeTransport(FakeClock& clock, TransportKind kind);

  // The peer's answer to the next request that has no answer yet.
  PeerScript& answerNext();
  // Steps that start now, whatever is written.
  PeerScript& push();

  // Every write, in order.
  const std::vector<std::vector<std::uint8_t>>& written() const { return written_; }
  int flushCount() const { return flushes_; }
  int waitCount() const { return waits_; }
  bool closedLocally() const { return closedLocally_; }
  // Readable bytes not read yet.
  std::size_t pending() const { return input_.size(); }
  void setPortTimeout(double seconds) { portTimeout_ = seconds; }

  TransportKind kind() const override { return kind_; }
  bool isOpen() const override { return open_; }
  void close() override;
  void write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesAvailable() override { return input_.size(); }
  std::size_t read(std::span<std::uint8_t> out) override;
  std::size_t readWithPortTimeout(std::span<std::uint8_t> out) override;
  int lineStatus() override;
  void flush() override;
  WaitResult waitFor(std::size_t count, double timeoutSeconds,
                     const ObservableFlag* stopWhenCleared) override;
  void setClosedHandler(std::function<void()> handler) override { closedHandler_ = handler; }

 private:
  // Time of the next due step, or infinity.
  double nextStepTime() const;
  // Performs the next due step; returns true for a line error.
  bool performNextStep();

  FakeClock& clock_;
  TransportKind kind_;
  bool open_ = true;
  bool hungUp_ = false;
  bool closedLocally_ = false;
  int status_ = 0;
  double portTimeout_ = kPortTimeoutSeconds;
  int flushes_ = 0;
  int waits_ = 0;
  std::deque<std::uint8_t> input_;
  std::vector<std::vector<std::uint8_t>> written_;
  std::deque<std::unique_ptr<PeerScript>> answers_;   // not started yet
  std::vector<std::unique_ptr<PeerScript>> running_;  // started
  std::function<void()> closedHandler_;
};

}  // namespace drq::test
