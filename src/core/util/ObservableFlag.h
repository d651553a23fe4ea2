#pragma once
// A 16-bit flag whose changes can be observed. RunFlag and the capture-running
// flag are of this type, so that a wait for sensor bytes wakes up at once when
// an operator's callback clears the flag.

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace drq {

class ObservableFlag {
 public:
  using Listener = std::function<void(std::uint16_t newValue)>;

  // Unsubscribes when destroyed.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(const ObservableFlag* flag, int id) : flag_(flag), id_(id) {}
    Subscription(Subscription&& other) noexcept
        : flag_(std::exchange(other.flag_, nullptr)), id_(other.id_) {}
    Subscription& operator=(Subscription&& other) noexcept {
      if (this != &other) {
        reset();
        flag_ = std::exchange(other.flag_, nullptr);
        id_ = other.id_;
      }
      return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }
    void reset() {
      if (flag_) flag_->listeners_.erase(id_);
      flag_ = nullptr;
    }

   private:
    const ObservableFlag* flag_ = nullptr;
    int id_ = 0;
  };

  ObservableFlag() = default;
  explicit ObservableFlag(std::uint16_t initial) : value_(initial) {}
  ObservableFlag(const ObservableFlag&) = delete;
  ObservableFlag& operator=(const ObservableFlag&) = delete;

  std::uint16_t value() const { return value_; }
  bool isSet() const { return value_ != 0; }

  // Stores the value; listeners are told only when it actually changes.
  void set(std::uint16_t v) {
    if (v == value_) return;
    value_ = v;
    // A listener may unsubscribe itself or others while being called: only
    // listeners still subscribed are called, each through a copy.
    std::vector<int> ids;
    ids.reserve(listeners_.size());
    for (const auto& entry : listeners_) ids.push_back(entry.first);
    for (int id : ids) {
      const auto it = listeners_.find(id);
      if (it == listeners_.end()) continue;
      const Listener listener = it->second;
      listener(v);
    }
  }
  void clear() { set(0); }

  // Observing does not change the flag, so a const flag can be watched.
  [[nodiscard]] Subscription subscribe(Listener listener) const {
    const int id = nextId_++;
    listeners_.emplace(id, std::move(listener));
    return Subscription(this, id);
  }

 private:
  std::uint16_t value_ = 0;
  mutable int nextId_ = 1;
  mutable std::map<int, Listener> listeners_;
};

}  // namespace drq
