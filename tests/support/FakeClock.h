#pragma once
// A clock that only moves when told to. FakeTransport advances it while a wait
// "passes", so a test of a 3-second time-out runs in no time.

#include "core/util/Clock.h"

namespace drq::test {

class FakeClock final : public Clock {
 public:
  // Starts at `start` seconds (not 0, so that differences are exercised).
  explicit FakeClock(double start = 100.0) : now_(start) {}
  double now() const override { return now_; }
  // Moves to `t`; never backwards.
  void advanceTo(double t) {
    if (t > now_) now_ = t;
  }
  void advance(double seconds) { advanceTo(now_ + seconds); }

 private:
  double now_;
};

}  // namespace drq::test
