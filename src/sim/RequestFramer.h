#pragma once
// Assembles request frames from the bytes of a byte stream, whatever pieces
// they arrive in, as the sensor's receiver does.
//
// Rules (times are the caller's clock, in microseconds):
// - Hunting: a frame starts with 0x55. Any other byte there makes the request
//   corrupt.
// - With 8 header bytes in, the header CRC must be right and the announced
//   payload no longer than 512 bytes; otherwise the request is corrupt.
// - With the payload in, its CRC must match; otherwise the request is corrupt.
//   The frame boundary is known then, so hunting resumes right after it.
// - After a corrupt start byte or header the receiver ignores everything until
//   the line has been quiet for kQuietMicros, then reports the damage and
//   hunts again. So one damaged request gives one error report, not one per
//   stray byte, and a request sent as soon as the report arrives is taken.
// - A request whose bytes stop for longer than kStallMicros before it is
//   complete is dropped as corrupt.
// Every corrupt request is reported once (the sensor answers error report 2).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace drq::sim {

class RequestFramer {
 public:
  static constexpr std::uint64_t kQuietMicros = 20'000;
  static constexpr std::uint64_t kStallMicros = 250'000;

  enum class Corruption { None, BadStart, BadHeader, Oversized, BadPayload, Stalled };

  struct Event {
    Corruption corruption = Corruption::None;  // None: `frame` is a complete, valid request
    std::vector<std::uint8_t> frame;
  };

  // Takes bytes received at `nowMicros`; returns the requests completed and the
  // corruptions found, in order.
  std::vector<Event> feed(std::span<const std::uint8_t> bytes, std::uint64_t nowMicros);
  // Reports a stalled partial request, or the end of a discard, once its time
  // has passed (call it when deadline() is reached; harmless at any other
  // time). feed() polls first, so a report due before new bytes precedes them.
  std::vector<Event> poll(std::uint64_t nowMicros);
  // Time at which poll() will report a stalled request or an ended discard;
  // nullopt when nothing is pending.
  std::optional<std::uint64_t> deadline() const;
  // Bytes of an incomplete request held so far.
  std::size_t pendingBytes() const { return buffer_.size(); }
  void reset();

 private:
  enum class State { Hunting, Collecting, Discarding };
  void corrupt(std::vector<Event>& out, Corruption why, State next);

  State state_ = State::Hunting;
  std::vector<std::uint8_t> buffer_;
  std::size_t expected_ = 0;  // total frame size once the header is in
  std::uint64_t lastByteMicros_ = 0;
  Corruption discarded_ = Corruption::None;  // what started the discard, reported at its end
};

}  // namespace drq::sim
