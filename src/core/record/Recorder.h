#pragma once
// The recorder: measurement frames of the connected sensor appended to the
// record file in four modes.
//
//   0 counted interval: one request every `interval` seconds until `count`
//     frames have been requested;
//   1 open interval:    one request every `interval` seconds until stopped;
//   2 manual:           each call appends the most recent frame (CurrentFrame);
//   3 triggered:        the sensor pushes one frame per trigger event
//                       (ORDER_AUTO_SEND 1) until stopped; then ORDER_AUTO_SEND 0.
//
// The loops run on the user-interface thread like the live loop: they set
// RunFlag and go on until someone clears it (Stop, a mode change, a page
// change, a link failure, the hooks). All waiting happens in the link's
// event-loop wait: the pause between two requests and the wait for a pushed
// frame (which has no time limit) wake on bytes, the deadline or the run
// flag, never by polling.
//
// The window (RecorderPage) and drqctl record share this code; they plug in
// through RecorderHooks.

#include <cstdint>
#include <optional>

#include "core/Session.h"
#include "core/record/RecordFile.h"
#include "core/util/Clock.h"

namespace drq {

enum class RecordMode : std::uint16_t { Counted = 0, Open = 1, Manual = 2, Triggered = 3 };

// Shortest period between two requests, seconds.
inline constexpr double kMinRecordInterval = 0.25;
// Longest period between two requests that the window and drqctl record
// accept, seconds (one day).
inline constexpr double kMaxRecordInterval = 86400;

// Predicted duration of a counted recording.
struct RecordTime {
  double interval = kMinRecordInterval;  // the interval after the floor
  std::uint16_t days = 0;
  std::uint16_t hours = 0;
  std::uint16_t minutes = 0;
  double seconds = 0;  // with its fraction: 10 frames at 0.25 s give 2.5
};

// CalcRecTime's arithmetic: the interval is raised to 0.25 s when below (also
// for a NaN); total = interval * count seconds, split into whole days, hours
// and minutes (each truncated) and the remaining seconds with their fraction.
RecordTime CalcRecTime(double interval, std::uint16_t count);

// The counters a recording shows.
struct RecordCounters {
  std::uint16_t recorded = 0;   // frames requested in mode 0, appended in mode 2
  std::uint16_t remaining = 0;  // mode 0: count - recorded
  double runCounter = 0;        // frames of this run in modes 1 (requested) and 3 (appended)
};

// How a recording ended.
enum class RecordOutcome {
  Ended,       // stopped, count reached, or the loop's flag cleared otherwise
  LinkFailed,  // an exchange or the stream failed (reported by the link)
  FileFailed,  // a line could not be written: see Recorder::fileError()
  Refused,     // not started: counted mode with a count of 0
};

class RecorderHooks {
 public:
  virtual ~RecorderHooks() = default;
  // The mode selector's value, read on every pass (never cached): a mode 0
  // recording counts frames only while the selector says 0.
  virtual std::uint16_t recordMode() = 0;
  // A frame has been stored in CurrentFrame and the live state: show it
  // (SetPanelGraphData, SetPanelData, ShowGraph). Its line is appended next.
  virtual void frameRecorded() = 0;
  // The counters changed. May clear RunFlag to end the recording; in the
  // triggered mode it then ends at this frame, without finishing one that
  // has begun to arrive.
  virtual void countersChanged(const RecordCounters& counters) = 0;
};

class Recorder {
 public:
  // `timer` times the interval (the platform timer); `wallClock` gives the
  // date and time written into each line.
  Recorder(Session& session, RecorderHooks& hooks, const Clock& timer, const WallClock& wallClock);

  const RecordCounters& counters() const { return counters_; }
  // Sets the recorded counter (mode 2 starts again at 0).
  void setRecorded(std::uint16_t recorded) { counters_.recorded = recorded; }
  // The record file's failure that ended the last recording or manual record.
  const std::optional<RecordFileError>& fileError() const { return fileError_; }

  // True when a counted recording with this count may start (count >= 1).
  static bool countIsRecordable(RecordMode mode, std::uint16_t count) {
    return mode != RecordMode::Counted || count != 0;
  }

  // The interval recording loop (modes 0 and 1). Refused (nothing sent) in
  // mode 0 with count 0. Sets RunFlag, the recorded counter to 0 and the run
  // counter to 0, then per cycle:
  //  1. takes the request time stamp;
  //  2. ORDER_GET_DATA, argument 0: on success the frame goes to
  //     CurrentFrame (acceptLiveFrame), hooks.frameRecorded(), and its line is
  //     appended; a line that cannot be written ends the recording at once
  //     (FileFailed); a failed exchange appends nothing (the link cleared
  //     RunFlag);
  //  3. mode 0: recorded + 1 (also after a failed exchange), remaining =
  //     count - recorded, RunFlag cleared when recorded reaches count;
  //     mode 1: run counter + 1; hooks.countersChanged();
  //  4. waits until `interval` (at least 0.25 s) has passed since the time
  //     stamp, ending at once when RunFlag is cleared.
  // Returns with RunFlag 0.
  RecordOutcome RecordFrame(double interval, std::uint16_t count);

  // The triggered recording loop (mode 3): sets RunFlag and the run counter
  // to 0, sends ORDER_AUTO_SEND 1; on success every pushed frame is stored,
  // shown (hooks.frameRecorded()), appended and counted until RunFlag is
  // cleared, the stream fails or a line cannot be written. A stop (RunFlag
  // cleared, also while the start is exchanged) ends the loop between two
  // frames: a frame that has begun to arrive is received and recorded first.
  // Then ORDER_AUTO_SEND 0, whatever ended it, while the line is open (after
  // a hang-up or the server closing, nothing is sent and LinkFailed returned:
  // the failure was reported once already); frames pushed before its answer
  // are dropped (SensorLink::endStream). Returns with RunFlag 0.
  RecordOutcome TriggeredRecord();

  // Mode 2: appends CurrentFrame (as it is: the same frame again if none has
  // arrived since) and counts it. False when the line could not be written
  // (fileError() tells why; nothing counted).
  bool RecordManually();

  // Appends the line of CurrentFrame with the current date and time to the
  // session's record file.
  std::optional<RecordFileError> ToFile();

 private:
  // Waits until `interval` seconds have passed since `stamp` on the timer, or
  // RunFlag is cleared, or the link has no open channel to wait on.
  void waitForNextRequest(double stamp, double interval);
  // ToFile; on failure keeps the error and clears RunFlag. False on failure.
  bool appendOrStop();

  Session& session_;
  RecorderHooks& hooks_;
  const Clock& timer_;
  const WallClock& wallClock_;
  RecordCounters counters_;
  std::optional<RecordFileError> fileError_;
};

}  // namespace drq
