#include "support/FuzzPeer.h"

#include <algorithm>
#include <limits>

#include "core/protocol/Frame.h"

namespace drq::fuzz {

namespace {
constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr int kHangUpStatus = 0x200;
}  // namespace

FuzzPeer::FuzzPeer(FuzzedDataProvider& input, FakeClock& clock, TransportKind kind,
                   OperatorActions actions)
    : input_(input), clock_(clock), kind_(kind), actions_(std::move(actions)) {}

void FuzzPeer::write(std::span<const std::uint8_t>) {}

std::size_t FuzzPeer::read(std::span<std::uint8_t> out) {
  const std::size_t n = std::min(out.size(), incoming_.size());
  std::copy_n(incoming_.begin(), n, out.begin());
  incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

std::size_t FuzzPeer::readWithPortTimeout(std::span<std::uint8_t> out) {
  if (kind_ == TransportKind::Tcp) return read(out);
  std::size_t got = read(out);
  if (got < out.size() && open_) {
    // The port's read time-out; events due meanwhile happen.
    waitFor(out.size() - got, kPortTimeoutSeconds, nullptr);
    got += read(out.subspan(got));
  }
  return got;
}

int FuzzPeer::lineStatus() {
  if (kind_ == TransportKind::Tcp) return 0;
  int s = status_;
  status_ = 0;
  if (hungUp_) s |= kHangUpStatus;
  return s;
}

bool FuzzPeer::schedule() {
  if (input_.remaining_bytes() == 0) return false;
  // Mostly short pauses, sometimes long enough for every time-out.
  double at = clock_.now();
  if (input_.ConsumeBool()) at += input_.ConsumeIntegralInRange<int>(0, 7000) * 0.001;

  Event event;
  event.at = at;
  switch (input_.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
    case 1:
      event.bytes =
          input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange<std::size_t>(0, 64));
      break;
    case 2:
    case 3:
    case 4: {
      const auto order = input_.ConsumeIntegral<std::uint8_t>();
      const auto argument = input_.ConsumeIntegral<std::uint16_t>();
      const auto length = input_.ConsumeIntegralInRange<std::size_t>(0, kMaxResponsePayload + 8);
      std::vector<std::uint8_t> payload = input_.ConsumeBytes<std::uint8_t>(length);
      payload.resize(length);
      std::vector<std::uint8_t> frame = buildFrame(order, argument, payload);
      if (input_.ConsumeIntegralInRange<int>(0, 7) == 0) {
        frame[input_.ConsumeIntegralInRange<std::size_t>(0, frame.size() - 1)] ^=
            input_.ConsumeIntegralInRange<std::uint8_t>(1, 255);
      }
      // Whole, or in pieces with pauses between them.
      const auto piece = input_.ConsumeBool()
                             ? frame.size()
                             : input_.ConsumeIntegralInRange<std::size_t>(1, frame.size());
      const double gap = input_.ConsumeIntegralInRange<int>(0, 4000) * 0.001;
      for (std::size_t from = 0; from < frame.size(); from += piece) {
        Event part;
        part.at = at;
        const auto end = std::min(frame.size(), from + piece);
        part.bytes.assign(frame.begin() + static_cast<std::ptrdiff_t>(from),
                          frame.begin() + static_cast<std::ptrdiff_t>(end));
        scheduled_.push_back(std::move(part));
        at += gap;
      }
      return true;
    }
    case 5: {
      FrameHeader fields;
      fields.order = input_.ConsumeIntegral<std::uint8_t>();
      fields.argument = input_.ConsumeIntegral<std::uint16_t>();
      fields.length = input_.ConsumeIntegral<std::uint16_t>();
      fields.payloadCrc = input_.ConsumeIntegral<std::uint8_t>();
      const HeaderBytes header = encodeHeaderFields(fields);
      event.bytes.assign(header.begin(), header.end());
      break;
    }
    case 6:
      event.kind = Kind::LineError;
      break;
    case 7:
      event.kind = Kind::HangUp;
      break;
    case 8:
      event.kind = Kind::Stop;
      break;
    case 9:
      event.kind = Kind::Disconnect;
      break;
  }
  scheduled_.push_back(std::move(event));
  return true;
}

bool FuzzPeer::perform() {
  Event event = std::move(scheduled_.front());
  scheduled_.pop_front();
  clock_.advanceTo(event.at);
  switch (event.kind) {
    case Kind::Bytes:
      if (open_) incoming_.insert(incoming_.end(), event.bytes.begin(), event.bytes.end());
      return false;
    case Kind::LineError:
      status_ |= 1;
      return kind_ == TransportKind::Serial;
    case Kind::HangUp:
      if (!open_) return false;
      open_ = false;
      hungUp_ = kind_ == TransportKind::Serial;
      if (closedHandler_) {
        const auto handler = closedHandler_;
        handler();
      }
      return false;
    case Kind::Stop:
      if (actions_.runFlag != nullptr) actions_.runFlag->clear();
      return false;
    case Kind::Disconnect:
      if (actions_.disconnect) actions_.disconnect();
      return false;
  }
  return false;
}

WaitResult FuzzPeer::waitFor(std::size_t count, double timeoutSeconds,
                             const ObservableFlag* stopWhenCleared) {
  const double deadline = timeoutSeconds == kNoTimeout ? kNever : clock_.now() + timeoutSeconds;
  for (;;) {
    if (incoming_.size() >= count) return WaitResult::Ready;
    if (stopWhenCleared != nullptr && !stopWhenCleared->isSet()) return WaitResult::Stopped;
    if (!open_) return WaitResult::Closed;
    if (scheduled_.empty() && !schedule()) {
      if (deadline != kNever) {
        clock_.advanceTo(deadline);
        return WaitResult::Timeout;
      }
      // Nothing will ever come: the operator gives up.
      if (actions_.runFlag != nullptr && stopWhenCleared == actions_.runFlag) {
        actions_.runFlag->clear();
        return WaitResult::Stopped;
      }
      open_ = false;
      return WaitResult::Closed;
    }
    if (scheduled_.front().at > deadline) {
      clock_.advanceTo(deadline);
      return WaitResult::Timeout;
    }
    if (perform()) return WaitResult::LineError;
  }
}

}  // namespace drq::fuzz
