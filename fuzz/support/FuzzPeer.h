#pragma once
// A sensor played by the fuzzer: a Transport whose incoming bytes, pauses,
// line errors, hang-ups and operator actions are taken from the fuzz input
// as the engine waits, on a fake clock (a 3-second time-out passes at once).
//
// Each peer event is a pause followed by one of: raw bytes; a frame with good
// CRCs (order, argument and payload from the input), delivered whole or in
// pieces with pauses between them, optionally with one byte damaged; a header
// whose CRC is right but whose length or payload CRC lies; a line error; a
// hang-up; the operator clearing the run flag; the operator disconnecting.
// When the input is used up the peer stays silent: an endless wait then ends
// as the operator would end it, by clearing the run flag (or, with none to
// clear, by the line going away).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "core/protocol/Transport.h"
#include "core/util/Clock.h"
#include "core/util/ObservableFlag.h"

namespace drq::fuzz {

class FakeClock final : public Clock {
 public:
  double now() const override { return now_; }
  void advanceTo(double t) {
    if (t > now_) now_ = t;
  }

 private:
  double now_ = 1000.0;
};

struct OperatorActions {
  ObservableFlag* runFlag = nullptr;  // cleared by a Stop
  std::function<void()> disconnect;   // runs nested inside a wait
};

class FuzzPeer final : public Transport {
 public:
  FuzzPeer(FuzzedDataProvider& input, FakeClock& clock, TransportKind kind,
           OperatorActions actions);

  TransportKind kind() const override { return kind_; }
  bool isOpen() const override { return open_; }
  void close() override { open_ = false; }
  void write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesAvailable() override { return incoming_.size(); }
  std::size_t read(std::span<std::uint8_t> out) override;
  std::size_t readWithPortTimeout(std::span<std::uint8_t> out) override;
  int lineStatus() override;
  void flush() override { incoming_.clear(); }
  WaitResult waitFor(std::size_t count, double timeoutSeconds,
                     const ObservableFlag* stopWhenCleared) override;
  void setClosedHandler(std::function<void()> handler) override {
    closedHandler_ = std::move(handler);
  }

  // Bytes received and not read yet: bounded by what the peer sent.
  std::size_t pending() const { return incoming_.size(); }

 private:
  enum class Kind { Bytes, LineError, HangUp, Stop, Disconnect };
  struct Event {
    double at = 0;
    Kind kind = Kind::Bytes;
    std::vector<std::uint8_t> bytes;
  };

  // Schedules the next event(s) from the input; false when it is used up.
  bool schedule();
  // Performs the first scheduled event; true when it was a line error.
  bool perform();

  FuzzedDataProvider& input_;
  FakeClock& clock_;
  TransportKind kind_;
  OperatorActions actions_;
  bool open_ = true;
  bool hungUp_ = false;
  int status_ = 0;
  std::deque<std::uint8_t> incoming_;
  std::deque<Event> scheduled_;
  std::function<void()> closedHandler_;
};

}  // namespace drq::fuzz
