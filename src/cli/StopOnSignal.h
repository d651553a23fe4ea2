#pragma once
// SIGINT and SIGTERM delivered into the event loop that drqctl waits in.

#include <csignal>
#include <functional>
#include <memory>

#include "core/util/ObservableFlag.h"

class QSocketNotifier;

namespace drq::cli {

// While it exists, SIGINT and SIGTERM run `onSignal` from within the event loop
// the link waits in (the handler itself only writes a byte into a pipe). A
// second signal takes its default action, so a stuck run can still be
// interrupted. One StopOnSignal at a time.
class StopOnSignal {
 public:
  explicit StopOnSignal(std::function<void()> onSignal);
  // The common case: a signal clears `flag` (the loop's run flag).
  explicit StopOnSignal(ObservableFlag& flag) : StopOnSignal([&flag] { flag.clear(); }) {}
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  // True once a signal has arrived.
  bool signalled() const { return signalled_; }

 private:
  int fds_[2] = {-1, -1};
  bool installed_ = false;
  bool signalled_ = false;
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace drq::cli
