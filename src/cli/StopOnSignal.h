#pragma once
// SIGINT and SIGTERM as an operator's Stop for drqctl's loops (watch, record):
// while a StopOnSignal exists, either signal clears the given flag from within
// the event loop the link waits in, so the loop ends after the frame (or line)
// in flight. A second signal takes its default action, so a stuck run can
// still be interrupted. One StopOnSignal at a time.

#include <QSocketNotifier>

#include <csignal>
#include <memory>

#include "core/util/ObservableFlag.h"

namespace drq::cli {

class StopOnSignal {
 public:
  explicit StopOnSignal(ObservableFlag& flag);
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  // True once a signal has cleared the flag.
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
