#include "cli/PublishQueue.h"

#include <algorithm>
#include <utility>

namespace drq::cli {

void PublishQueue::push(std::string payload) {
  if (entries_.size() >= bound_) {
    if (inFlight_ < entries_.size()) {
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(inFlight_));
    } else {
      entries_.pop_front();
      --inFlight_;
    }
    ++dropped_;
  }
  entries_.push_back({std::move(payload), 0});
}

const std::string* PublishQueue::nextPending() const {
  return inFlight_ < entries_.size() ? &entries_[inFlight_].payload : nullptr;
}

void PublishQueue::handed(int mid) {
  if (inFlight_ >= entries_.size()) return;
  entries_[inFlight_].mid = mid;
  ++inFlight_;
}

void PublishQueue::sent() {
  if (inFlight_ >= entries_.size()) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(inFlight_));
  ++published_;
}

bool PublishQueue::acknowledged(int mid) {
  const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(inFlight_);
  const auto it =
      std::find_if(entries_.begin(), end, [mid](const Entry& e) { return e.mid == mid; });
  if (it == end) return false;
  entries_.erase(it);
  --inFlight_;
  ++published_;
  return true;
}

void PublishQueue::connectionLost() {
  for (std::size_t i = 0; i < inFlight_; ++i) entries_[i].mid = 0;
  inFlight_ = 0;
}

void PublishQueue::dropAll() {
  dropped_ += entries_.size();
  entries_.clear();
  inFlight_ = 0;
}

}  // namespace drq::cli
