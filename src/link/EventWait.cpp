#include "link/EventWait.h"

#include <climits>
#include <cmath>

namespace drq {

EventWait::EventWait(double timeoutSeconds, const ObservableFlag* stopWhenCleared) {
  if (stopWhenCleared != nullptr) {
    if (!stopWhenCleared->isSet()) {
      finish(WaitResult::Stopped);
      return;
    }
    stop_ = stopWhenCleared->subscribe([this](std::uint16_t value) {
      if (value == 0) finish(WaitResult::Stopped);
    });
  }
  if (timeoutSeconds <= 0) {
    finish(WaitResult::Timeout);
  } else if (timeoutSeconds != kNoTimeout) {
    const double ms = std::ceil(timeoutSeconds * 1000.0);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(ms >= INT_MAX ? INT_MAX : static_cast<int>(ms));
    hasDeadline_ = true;
    QObject::connect(&timer_, &QTimer::timeout, &loop_, [this] { finish(WaitResult::Timeout); });
  }
}

void EventWait::finish(WaitResult result) {
  if (result_) return;
  result_ = result;
  timer_.stop();
  loop_.quit();
}

WaitResult EventWait::exec() {
  if (!result_) {
    if (hasDeadline_) timer_.start();
    loop_.exec();
  }
  stop_.reset();
  return result_.value_or(WaitResult::Timeout);
}

}  // namespace drq
