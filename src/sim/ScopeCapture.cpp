#include "sim/ScopeCapture.h"

#include "core/protocol/Frame.h"

namespace drq::sim {

namespace {

// A capture more samples behind than this skips ahead (a paused clock).
constexpr std::uint64_t kMaxCatchUpSamples = 1'000'000;

void putWord(std::vector<std::uint8_t>& out, std::uint16_t w) {
  out.push_back(static_cast<std::uint8_t>(w & 0xFF));
  out.push_back(static_cast<std::uint8_t>(w >> 8));
}

}  // namespace

ScopeCapture::ScopeCapture(const ScopeSettings& settings, std::uint64_t firstCycle)
    : settings_(settings), firstCycle_(firstCycle) {}

bool ScopeCapture::triggerFires(const ScopeSample& sample, int row) const {
  const ScopeSettings& s = settings_;
  const std::uint64_t k = taken_;
  if (s.mode == 0) return k == 0;
  if (k < s.preTrigger) return false;
  const bool edge = k >= 1;
  switch (s.mode) {
    case 1:
      return edge && previous_[2] <= s.level && sample[2] > s.level;
    case 2:
      return edge && previous_[2] >= s.level && sample[2] < s.level;
    case 3:
      return row == 0;
    case 4:
      return edge && !(previous_[3] & 0x20) && (sample[3] & 0x20);
    default:
      return false;
  }
}

bool ScopeCapture::advance(std::uint64_t now,
                           const std::function<ScopeInput(std::uint64_t cycle)>& measure) {
  const std::uint64_t rate = settings_.scanRate;
  if (!triggerIndex_ && cycleOf(taken_) <= now) {
    const std::uint64_t behind = (now - cycleOf(taken_)) / rate;
    if (behind > kMaxCatchUpSamples) taken_ += behind - kScopeSamples * 2;
  }
  while (cycleOf(taken_) <= now) {
    const ScopeInput input = measure(cycleOf(taken_));
    if (!triggerIndex_ && triggerFires(input.sample, input.hitRow)) triggerIndex_ = taken_;
    ring_[taken_ % kScopeSamples] = input.sample;
    previous_ = input.sample;
    ++taken_;
    if (triggerIndex_ && taken_ == *triggerIndex_ + samplesAfterTrigger()) return true;
  }
  return false;
}

std::vector<PushedFrame> ScopeCapture::frames(std::uint32_t cycleMicros) const {
  const std::uint64_t lastCycle = cycleOf(taken_ - 1);
  const std::uint16_t position =
      settings_.mode == 0 ? 0 : static_cast<std::uint16_t>(*triggerIndex_ % kScopeSamples);
  std::vector<PushedFrame> out;
  for (std::size_t channel = 0; channel < 4; ++channel) {
    std::vector<std::uint8_t> payload;
    payload.reserve(kScopeFramePayload);
    for (const auto& sample : ring_) putWord(payload, sample[channel]);
    putWord(payload, position);
    PushedFrame p;
    p.stream = StreamKind::Scope;
    p.startOrder = ORDER_SCOPE;
    p.sequence = static_cast<std::uint32_t>(channel + 1);
    p.timeMicros = lastCycle * cycleMicros;
    p.frame = buildFrame(ORDER_SCOPE, static_cast<std::uint16_t>(channel), payload);
    out.push_back(std::move(p));
  }
  return out;
}

std::uint64_t ScopeCapture::nextDueCycle() const {
  if (triggerIndex_) return cycleOf(*triggerIndex_ + samplesAfterTrigger() - 1);
  return cycleOf(taken_);
}

}  // namespace drq::sim
