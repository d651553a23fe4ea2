#include "support/FakeTransport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace drq::test {

namespace {
constexpr double kNever = std::numeric_limits<double>::infinity();
}

PeerScript& PeerScript::send(std::vector<std::uint8_t> bytes, double after) {
  Step s;
  s.after = after;
  s.bytes = std::move(bytes);
  steps_.push_back(std::move(s));
  return *this;
}

PeerScript& PeerScript::sendInPieces(const std::vector<std::uint8_t>& bytes, std::size_t pieceSize,
                                     double interval, double after) {
  pieceSize = std::max<std::size_t>(pieceSize, 1);
  for (std::size_t i = 0; i < bytes.size(); i += pieceSize) {
    const auto end =
        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), i + pieceSize));
    send(std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(i), end),
         i == 0 ? after : interval);
  }
  return *this;
}

PeerScript& PeerScript::lineError(int status, double after) {
  Step s;
  s.after = after;
  s.kind = Kind::LineError;
  s.status = status;
  steps_.push_back(std::move(s));
  return *this;
}

PeerScript& PeerScript::close(double after) {
  Step s;
  s.after = after;
  s.kind = Kind::Close;
  steps_.push_back(std::move(s));
  return *this;
}

PeerScript& PeerScript::run(std::function<void()> action, double after) {
  Step s;
  s.after = after;
  s.kind = Kind::Action;
  s.action = std::move(action);
  steps_.push_back(std::move(s));
  return *this;
}

FakeTransport::FakeTransport(FakeClock& clock, TransportKind kind) : clock_(clock), kind_(kind) {}

PeerScript& FakeTransport::answerNext() {
  answers_.push_back(std::make_unique<PeerScript>());
  return *answers_.back();
}

PeerScript& FakeTransport::push() {
  running_.push_back(std::make_unique<PeerScript>());
  running_.back()->start_ = clock_.now();
  return *running_.back();
}

void FakeTransport::close() {
  open_ = false;
  closedLocally_ = true;
}

void FakeTransport::write(std::span<const std::uint8_t> bytes) {
  written_.emplace_back(bytes.begin(), bytes.end());
  // Scripts whose steps are all done take no further part (long runs of
  // exchanges would otherwise slow every step down).
  std::erase_if(running_,
                [](const auto& script) { return script->next_ >= script->steps_.size(); });
  if (!open_ || answers_.empty()) return;
  running_.push_back(std::move(answers_.front()));
  answers_.pop_front();
  running_.back()->start_ = clock_.now();
}

std::size_t FakeTransport::read(std::span<std::uint8_t> out) {
  const std::size_t n = std::min(out.size(), input_.size());
  std::copy_n(input_.begin(), n, out.begin());
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

std::size_t FakeTransport::readWithPortTimeout(std::span<std::uint8_t> out) {
  if (kind_ == TransportKind::Tcp) return read(out);
  const double deadline = clock_.now() + portTimeout_;
  std::size_t got = read(out);
  while (got < out.size() && open_) {
    const double next = nextStepTime();
    if (next > deadline) {
      clock_.advanceTo(deadline);
      break;
    }
    clock_.advanceTo(next);
    performNextStep();
    got += read(out.subspan(got));
  }
  return got;
}

int FakeTransport::lineStatus() {
  if (kind_ == TransportKind::Tcp) return 0;
  int s = status_;
  status_ = 0;
  if (hungUp_) s |= kFakeHangUp;
  return s;
}

void FakeTransport::flush() {
  ++flushes_;
  input_.clear();
}

double FakeTransport::nextStepTime() const {
  double best = kNever;
  for (const auto& script : running_) {
    if (script->next_ < script->steps_.size())
      best = std::min(best, script->start_ + script->offset_ + script->steps_[script->next_].after);
  }
  return best;
}

bool FakeTransport::performNextStep() {
  PeerScript* due = nullptr;
  double best = kNever;
  for (const auto& script : running_) {
    if (script->next_ >= script->steps_.size()) continue;
    const double t = script->start_ + script->offset_ + script->steps_[script->next_].after;
    if (t < best) {
      best = t;
      due = script.get();
    }
  }
  if (due == nullptr) return false;
  // Copy the step out first: an action may write, which adds scripts.
  PeerScript::Step step = due->steps_[due->next_];
  due->offset_ += step.after;
  ++due->next_;
  switch (step.kind) {
    case PeerScript::Kind::Bytes:
      if (open_) input_.insert(input_.end(), step.bytes.begin(), step.bytes.end());
      return false;
    case PeerScript::Kind::LineError:
      status_ |= step.status;
      return kind_ == TransportKind::Serial;
    case PeerScript::Kind::Close:
      if (!open_) return false;
      open_ = false;
      hungUp_ = kind_ == TransportKind::Serial;
      if (closedHandler_) {
        const auto handler = closedHandler_;
        handler();
      }
      return false;
    case PeerScript::Kind::Action:
      if (step.action) step.action();
      return false;
  }
  return false;
}

WaitResult FakeTransport::waitFor(std::size_t count, double timeoutSeconds,
                                  const ObservableFlag* stopWhenCleared) {
  ++waits_;
  const double deadline = timeoutSeconds == kNoTimeout ? kNever : clock_.now() + timeoutSeconds;
  for (;;) {
    if (input_.size() >= count) return WaitResult::Ready;
    if (stopWhenCleared != nullptr && !stopWhenCleared->isSet()) return WaitResult::Stopped;
    if (!open_) return WaitResult::Closed;
    const double next = nextStepTime();
    if (next <= deadline && next != kNever) {
      clock_.advanceTo(next);
      if (performNextStep()) return WaitResult::LineError;
      continue;
    }
    if (deadline == kNever) {
      ADD_FAILURE() << "an endless wait with nothing scheduled would hang";
      return WaitResult::Timeout;
    }
    clock_.advanceTo(deadline);
    return WaitResult::Timeout;
  }
}

}  // namespace drq::test
