#pragma once
// The frames drqctl publish holds for the broker: a bounded queue, oldest
// first, of messages not yet handed to the connection (pending) and, at its
// front, messages handed over but not yet acknowledged (in flight, QoS 1).
// When the connection is lost, the messages in flight become pending again,
// in their order, to be published once more on the next connection. Past the
// bound the oldest message is dropped and counted.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace drq::cli {

class PublishQueue {
 public:
  // At most `bound` messages (at least 1) are held, pending and in flight.
  explicit PublishQueue(std::size_t bound) : bound_(bound == 0 ? 1 : bound) {}

  // Appends a message. A full queue first drops its oldest pending message,
  // or, when every message is in flight, its oldest message in flight (an
  // acknowledgement arriving for it later is ignored).
  void push(std::string payload);

  // The oldest pending message, or nullptr.
  const std::string* nextPending() const;
  // The oldest pending message was handed to the connection as `mid` and
  // waits for its acknowledgement.
  void handed(int mid);
  // The oldest pending message was handed over and needs no acknowledgement
  // (QoS 0): it counts as published at once.
  void sent();
  // The broker acknowledged `mid`: the message counts as published. Unknown
  // ids (a dropped message, a retained status) are ignored; returns whether
  // the id was one of the queue's.
  bool acknowledged(int mid);
  // Every message in flight is pending again, in order.
  void connectionLost();
  // Counts every message still held as dropped and empties the queue.
  void dropAll();

  std::size_t size() const { return entries_.size(); }
  std::size_t inFlight() const { return inFlight_; }
  bool empty() const { return entries_.empty(); }
  std::uint64_t published() const { return published_; }
  std::uint64_t dropped() const { return dropped_; }

 private:
  struct Entry {
    std::string payload;
    int mid = 0;
  };
  std::size_t bound_;
  std::deque<Entry> entries_;  // [0, inFlight_) in flight, the rest pending
  std::size_t inFlight_ = 0;
  std::uint64_t published_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace drq::cli
