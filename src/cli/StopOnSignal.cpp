#include "cli/StopOnSignal.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <utility>

namespace drq::cli {

namespace {

// Write end of the pipe the signal handler wakes the event loop with. A signal
// handler can reach nothing but such a process-wide value; it is set only while
// a StopOnSignal exists.
std::atomic<int> gSignalWakeFd{-1};

extern "C" void onStopSignal(int) {
  const int fd = gSignalWakeFd.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(fd, &byte, 1);
  }
}

}  // namespace

StopOnSignal::StopOnSignal(std::function<void()> onSignal) {
  if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  gSignalWakeFd.store(fds_[1]);
  notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this, onSignal = std::move(onSignal)] {
                     char buf[16];
                     while (::read(fds_[0], buf, sizeof buf) > 0) {
                     }
                     signalled_ = true;
                     onSignal();
                     untilSignal_.clear();
                   });
  intInstalled_ = install(SIGINT, oldInt_);
  termInstalled_ = install(SIGTERM, oldTerm_);
}

bool StopOnSignal::install(int sig, struct sigaction& previous) {
  if (::sigaction(sig, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) return false;
  struct sigaction action {};
  action.sa_handler = &onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = static_cast<int>(SA_RESETHAND | SA_RESTART);
  return ::sigaction(sig, &action, nullptr) == 0;
}

StopOnSignal::~StopOnSignal() {
  if (intInstalled_) ::sigaction(SIGINT, &oldInt_, nullptr);
  if (termInstalled_) ::sigaction(SIGTERM, &oldTerm_, nullptr);
  gSignalWakeFd.store(-1);
  notifier_.reset();
  for (int fd : fds_) {
    if (fd >= 0) ::close(fd);
  }
}

}  // namespace drq::cli
