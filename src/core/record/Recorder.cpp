#include "core/record/Recorder.h"

#include <cmath>

#include "core/live/GetData.h"
#include "core/protocol/Frame.h"

namespace drq {

namespace {

constexpr double kSecondsPerDay = 86400;
constexpr double kSecondsPerHour = 3600;
constexpr double kSecondsPerMinute = 60;

// Whole units of `unit` in `total`, truncated toward zero, held to 16 bits.
std::uint16_t wholeUnits(double total, double unit) {
  const double units = std::trunc(total / unit);
  if (!(units > 0)) return 0;
  return units >= 65535 ? std::uint16_t{65535} : static_cast<std::uint16_t>(units);
}

}  // namespace

RecordTime CalcRecTime(double interval, std::uint16_t count) {
  RecordTime t;
  // "Not above the floor" also catches a NaN.
  t.interval = interval >= kMinRecordInterval ? interval : kMinRecordInterval;
  const double total = t.interval * count;
  t.days = wholeUnits(total, kSecondsPerDay);
  double rest = total - t.days * kSecondsPerDay;
  t.hours = wholeUnits(rest, kSecondsPerHour);
  rest -= t.hours * kSecondsPerHour;
  t.minutes = wholeUnits(rest, kSecondsPerMinute);
  t.seconds = rest - t.minutes * kSecondsPerMinute;
  return t;
}

Recorder::Recorder(Session& session, RecorderHooks& hooks, const Clock& timer,
                   const WallClock& wallClock)
    : session_(session), hooks_(hooks), timer_(timer), wallClock_(wallClock) {}

std::optional<RecordFileError> Recorder::ToFile() {
  return appendToRecordFile(session_.recordFile,
                            recordLine(session_.CurrentFrame, wallClock_.now()));
}

bool Recorder::appendOrStop() {
  fileError_ = ToFile();
  if (!fileError_) return true;
  session_.RunFlag.clear();
  return false;
}

void Recorder::waitForNextRequest(double stamp, double interval) {
  ObservableFlag& run = session_.RunFlag;
  for (;;) {
    if (!run.isSet()) return;
    const double elapsed = timer_.now() - stamp;
    if (!(interval > elapsed)) return;
    // Without an open channel the next request fails at once and ends the
    // recording; there is nothing to wait on until then.
    if (session_.link.waitIdle(interval - elapsed, run) == WaitResult::Closed) return;
  }
}

RecordOutcome Recorder::RecordFrame(double interval, std::uint16_t count) {
  fileError_.reset();
  ObservableFlag& run = session_.RunFlag;
  if (!countIsRecordable(static_cast<RecordMode>(hooks_.recordMode()), count)) {
    run.clear();
    return RecordOutcome::Refused;
  }
  if (!(interval >= kMinRecordInterval)) interval = kMinRecordInterval;
  bool linkFailed = false;
  run.set(1);
  counters_.recorded = 0;
  counters_.remaining = count;
  counters_.runCounter = 0;
  while (run.isSet()) {
    const double stamp = timer_.now();
    if (session_.link.exchange(ORDER_GET_DATA, 0) == 1) {
      acceptLiveFrame(session_, session_.link.responsePayload());
      hooks_.frameRecorded();
      appendOrStop();
    } else {
      linkFailed = true;
    }
    const auto mode = static_cast<RecordMode>(hooks_.recordMode());
    if (mode == RecordMode::Counted) {
      ++counters_.recorded;
      counters_.remaining = static_cast<std::uint16_t>(count - counters_.recorded);
      hooks_.countersChanged(counters_);
      if (counters_.recorded == count) run.clear();
    } else if (mode == RecordMode::Open) {
      counters_.runCounter += 1;
      hooks_.countersChanged(counters_);
    }
    waitForNextRequest(stamp, interval);
  }
  run.clear();
  if (fileError_) return RecordOutcome::FileFailed;
  return linkFailed ? RecordOutcome::LinkFailed : RecordOutcome::Ended;
}

RecordOutcome Recorder::TriggeredRecord() {
  fileError_.reset();
  ObservableFlag& run = session_.RunFlag;
  bool linkFailed = false;
  // The flag is set before the start is exchanged, so that a stop given while
  // it is answered is not lost.
  run.set(1);
  counters_.runCounter = 0;
  if (session_.link.exchange(ORDER_AUTO_SEND, 1) == 1) {
    for (;;) {
      // After a stop this still receives a frame that has begun to arrive;
      // once one has been received that way, the loop ends.
      const bool stopped = !run.isSet();
      const SensorLink::StreamResult r = session_.link.ReceivePushedFrame(run);
      if (r == SensorLink::StreamResult::Stopped) break;
      if (r != SensorLink::StreamResult::Frame) {
        // Reported by the link, which cleared RunFlag.
        linkFailed = true;
        break;
      }
      acceptLiveFrame(session_, session_.link.responsePayload());
      hooks_.frameRecorded();
      if (!appendOrStop()) break;
      counters_.runCounter += 1;
      const bool stopGiven = !run.isSet();
      hooks_.countersChanged(counters_);
      // The counters' hook ends the recording at this frame (a count
      // reached); a stop given before it is handled by the next pass.
      if (stopped || (!stopGiven && !run.isSet())) break;
    }
  } else {
    linkFailed = true;
  }
  const bool atFrameBoundary = !linkFailed;
  run.clear();
  // The sensor is told to stop pushing whatever ended the recording, unless
  // the line itself is gone (a hang-up, the server closing): that has been
  // reported, and a request on it could only fail and report it again.
  // Frames it pushes until it has read the order are not recorded.
  const Transport* line = session_.link.transport();
  if (line == nullptr || !line->isOpen()) {
    linkFailed = true;
  } else if (session_.link.endStream(ORDER_AUTO_SEND, 0, atFrameBoundary) != 1) {
    linkFailed = true;
  }
  run.clear();
  if (fileError_) return RecordOutcome::FileFailed;
  return linkFailed ? RecordOutcome::LinkFailed : RecordOutcome::Ended;
}

bool Recorder::RecordManually() {
  fileError_ = ToFile();
  if (fileError_) return false;
  ++counters_.recorded;
  hooks_.countersChanged(counters_);
  return true;
}

}  // namespace drq
