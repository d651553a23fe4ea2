#pragma once
// One wait of the user-interface thread: a local event loop that ends at the
// first finish(), at the deadline (Timeout) or when the stop flag is cleared
// (Stopped). Everything else that is pending (nested callbacks, socket and
// port notifications) is processed meanwhile. Never a busy poll.

#include <QEventLoop>
#include <QTimer>

#include <optional>

#include "core/protocol/Transport.h"
#include "core/util/ObservableFlag.h"

namespace drq {

class EventWait {
 public:
  // timeoutSeconds: kNoTimeout for none; 0 or less ends the wait at once.
  EventWait(double timeoutSeconds, const ObservableFlag* stopWhenCleared);
  EventWait(const EventWait&) = delete;
  EventWait& operator=(const EventWait&) = delete;

  // Ends the wait with `result` unless it has ended already.
  void finish(WaitResult result);
  bool finished() const { return result_.has_value(); }

  // Runs the loop unless the wait has ended already; returns the result.
  WaitResult exec();

  // Context for connections that must end with the wait.
  QObject* context() { return &loop_; }

 private:
  QEventLoop loop_;
  QTimer timer_;
  bool hasDeadline_ = false;
  ObservableFlag::Subscription stop_;
  std::optional<WaitResult> result_;
};

}  // namespace drq
