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
// interrupted. A signal that is ignored when it is made (SIG_IGN inherited
// from nohup or a shell's background job) stays ignored. One StopOnSignal at
// a time; commands make it before their first connection, so that a signal
// at any point ends them through their own summary.
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
  // Set until a signal arrives, then cleared (after `onSignal` has run): a
  // stop flag for waits outside the command's own loop, such as connecting.
  const ObservableFlag& untilSignal() const { return untilSignal_; }

 private:
  // Installs the handler for `sig` unless it is ignored; true when installed.
  static bool install(int sig, struct sigaction& previous);

  int fds_[2] = {-1, -1};
  bool intInstalled_ = false;
  bool termInstalled_ = false;
  bool signalled_ = false;
  ObservableFlag untilSignal_{1};
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace drq::cli
