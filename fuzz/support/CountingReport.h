#pragma once
// The engine's failure reports as the targets count them: every report but
// the closed conversation's own ("SERVER HAS CLOSED CONNECTION!") and the
// notices ("INFO!" ...), which are not failures of the operation at hand.

#include <string_view>

#include "core/protocol/SensorLink.h"
#include "support/FuzzCheck.h"

namespace drq::fuzz {

class CountingReport final : public FailureReport {
 public:
  void linkFailed(std::string_view message) override {
    DRQ_FUZZ_CHECK(message.size() <= kMaxErrorText);
    if (message == kMsgServerClosed || message.starts_with("INFO!\n")) return;
    ++failures;
  }
  int failures = 0;
};

// An operation's result is 1 or -1; a failure is reported exactly once,
// success not at all.
inline void checkOutcome(int result, int failuresBefore, const CountingReport& report) {
  DRQ_FUZZ_CHECK(result == 1 || result == -1);
  DRQ_FUZZ_CHECK(report.failures - failuresBefore == (result == -1 ? 1 : 0));
}

}  // namespace drq::fuzz
