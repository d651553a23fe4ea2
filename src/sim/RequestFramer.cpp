#include "sim/RequestFramer.h"

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"

namespace drq::sim {

void RequestFramer::reset() {
  state_ = State::Hunting;
  buffer_.clear();
  expected_ = 0;
}

void RequestFramer::corrupt(std::vector<Event>& out, Corruption why, State next) {
  // A discard is reported when it ends: the peer's next request then finds
  // the receiver hunting again.
  if (next == State::Discarding)
    discarded_ = why;
  else
    out.push_back(Event{why, {}});
  buffer_.clear();
  expected_ = 0;
  state_ = next;
}

std::vector<RequestFramer::Event> RequestFramer::poll(std::uint64_t nowMicros) {
  std::vector<Event> out;
  if (state_ == State::Collecting && nowMicros >= lastByteMicros_ + kStallMicros) {
    corrupt(out, Corruption::Stalled, State::Hunting);
  } else if (state_ == State::Discarding && nowMicros >= lastByteMicros_ + kQuietMicros) {
    out.push_back(Event{discarded_, {}});
    state_ = State::Hunting;
  }
  return out;
}

std::optional<std::uint64_t> RequestFramer::deadline() const {
  switch (state_) {
    case State::Collecting:
      return lastByteMicros_ + kStallMicros;
    case State::Discarding:
      return lastByteMicros_ + kQuietMicros;
    case State::Hunting:
      break;
  }
  return std::nullopt;
}

std::vector<RequestFramer::Event> RequestFramer::feed(std::span<const std::uint8_t> bytes,
                                                      std::uint64_t nowMicros) {
  std::vector<Event> out = poll(nowMicros);
  if (bytes.empty()) return out;
  lastByteMicros_ = nowMicros;

  std::size_t i = 0;
  while (i < bytes.size()) {
    switch (state_) {
      case State::Discarding:
        return out;
      case State::Hunting:
        if (bytes[i] != kStartByte) {
          corrupt(out, Corruption::BadStart, State::Discarding);
          return out;
        }
        state_ = State::Collecting;
        expected_ = kHeaderSize;
        break;
      case State::Collecting: {
        const std::size_t take = std::min(expected_ - buffer_.size(), bytes.size() - i);
        buffer_.insert(buffer_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                       bytes.begin() + static_cast<std::ptrdiff_t>(i + take));
        i += take;
        if (buffer_.size() < expected_) break;
        if (buffer_.size() == kHeaderSize && expected_ == kHeaderSize) {
          const auto header =
              std::span<const std::uint8_t, kHeaderSize>(buffer_.data(), kHeaderSize);
          if (!headerIsValid(header)) {
            corrupt(out, Corruption::BadHeader, State::Discarding);
            return out;
          }
          const FrameHeader h = decodeHeader(header);
          if (h.length > kMaxRequestPayload) {
            corrupt(out, Corruption::Oversized, State::Discarding);
            return out;
          }
          expected_ = kHeaderSize + h.length;
          if (h.length > 0) break;
        }
        const FrameHeader h =
            decodeHeader(std::span<const std::uint8_t, kHeaderSize>(buffer_.data(), kHeaderSize));
        if (crc8(std::span(buffer_).subspan(kHeaderSize)) != h.payloadCrc) {
          corrupt(out, Corruption::BadPayload, State::Hunting);
          break;
        }
        out.push_back(Event{Corruption::None, std::move(buffer_)});
        buffer_.clear();
        expected_ = 0;
        state_ = State::Hunting;
        break;
      }
    }
  }
  return out;
}

}  // namespace drq::sim
