#include "cli/RecordCommand.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/Options.h"
#include "cli/StopOnSignal.h"
#include "core/record/Recorder.h"
#include "core/settings/PanelSettings.h"

namespace drq::cli {

namespace {

constexpr std::uint32_t kDefaultCount = 10;
constexpr std::uint32_t kMaxCountedFrames = 65535;  // the recorded counter is 16 bits wide
constexpr std::uint32_t kMaxFrames = 1000000000;
constexpr double kDefaultInterval = 1.0;

struct RecordOptions {
  std::string file;
  RecordMode mode = RecordMode::Counted;
  double interval = kDefaultInterval;
  std::optional<std::uint32_t> count;
  std::string id;
};

// Parses the command's words; an error text or nothing.
std::optional<std::string> parseRecordOptions(const std::vector<std::string>& args,
                                              RecordOptions& o) {
  constexpr OptionSpec kOptions[] = {valueOption("-o"), valueOption("--mode"),
                                     valueOption("--interval"), valueOption("--count"),
                                     valueOption("--id")};
  const ParsedOptions parsed = parseOptions(args, kOptions);
  for (const ParsedWord& word : parsed.words) {
    if (word.positional()) return "unexpected " + word.value;
    const std::string_view name = word.name;
    const std::string_view value = word.value;
    if (name == "-o") {
      if (value.empty()) return "-o needs a FILE";
      o.file.assign(value);
    } else if (name == "--mode") {
      if (value == "count") {
        o.mode = RecordMode::Counted;
      } else if (value == "open") {
        o.mode = RecordMode::Open;
      } else if (value == "trigger") {
        o.mode = RecordMode::Triggered;
      } else {
        return "--mode must be count, open or trigger";
      }
    } else if (name == "--interval") {
      const auto seconds = parseSeconds(value);
      if (!seconds || *seconds > kMaxRecordInterval) {
        return "--interval must be seconds, at most " +
               decimal(static_cast<long long>(kMaxRecordInterval));
      }
      o.interval = *seconds;
    } else if (name == "--count") {
      const auto n = parseUnsigned(value, kMaxFrames);
      if (!n || *n == 0) return "--count must be at least 1";
      o.count = *n;
    } else {
      if (value.size() > settings::kSensorIdMax) {
        return "--id must be at most " + decimal(static_cast<long long>(settings::kSensorIdMax)) +
               " characters";
      }
      if (value.find_first_of("\r\n") != std::string_view::npos) return "--id must be one line";
      o.id.assign(value);
    }
  }
  if (parsed.error) return parsed.error;
  if (o.file.empty()) return "-o FILE is required";
  if (o.mode == RecordMode::Counted && o.count && *o.count > kMaxCountedFrames)
    return "--count must be 1..65535 in count mode";
  return std::nullopt;
}

// Counts the lines and ends the run after `limit` frames (0: none) in the
// modes whose loop has no count of its own.
class CountingHooks final : public RecorderHooks {
 public:
  CountingHooks(Session& session, RecordMode mode, std::uint32_t limit)
      : session_(session), mode_(mode), limit_(limit) {}
  std::uint16_t recordMode() override { return static_cast<std::uint16_t>(mode_); }
  void frameRecorded() override { ++frames_; }
  void countersChanged(const RecordCounters& counters) override {
    if (limit_ != 0 && counters.runCounter >= limit_) session_.RunFlag.clear();
  }
  // Frames handed over for appending; the last one is missing from the file
  // when a line failed.
  std::uint64_t frames() const { return frames_; }

 private:
  Session& session_;
  RecordMode mode_;
  std::uint32_t limit_;
  std::uint64_t frames_ = 0;
};

}  // namespace

int cmdRecord(CliContext& ctx) {
  RecordOptions options;
  if (const auto error = parseRecordOptions(ctx.args, options)) return ctx.usageError(*error);

  // Every exit from here on ends with the summary line, 0 frames when none
  // was recorded.
  const auto summary = [&ctx, &options](std::uint64_t lines, int status) {
    ctx.err << "recorded " << decimal(static_cast<long long>(lines)) << " frames to "
            << options.file << '\n';
    return status;
  };
  Session& session = ctx.session;
  // From here on a signal ends the command with its summary line: before the
  // recording starts, with no frame recorded; during it, after the frame in
  // flight.
  StopOnSignal stopOnSignal(session.RunFlag);
  // A signal during the connection attempt ends it at once: no frames, exit 0.
  if (const int rc = ctx.connect(&stopOnSignal.untilSignal()); rc != kExitOk)
    return summary(0, stopOnSignal.signalled() ? kExitOk : rc);
  session.recordFile = std::filesystem::path(options.file);
  session.sensorId = options.id;
  if (const auto error = writeRecordHeader(session.recordFile, session.sensorId)) {
    ctx.err << "drqctl record: cannot write " << options.file << ": " << error->reason << '\n';
    return summary(0, kExitUsage);
  }

  // The link is open; a failure report during the run clears the flag again.
  session.link.state().linkUp = true;
  const std::uint32_t limit = options.mode == RecordMode::Counted ? 0 : options.count.value_or(0);
  CountingHooks hooks(session, options.mode, limit);
  const LocalWallClock wallClock;
  Recorder recorder(session, hooks, session.clock, wallClock);
  RecordOutcome outcome = RecordOutcome::Ended;
  // The recorder sets RunFlag when it starts, which would undo a signal that
  // has come already.
  if (!stopOnSignal.signalled()) {
    if (options.mode == RecordMode::Triggered) {
      outcome = recorder.TriggeredRecord();
    } else {
      const auto count = static_cast<std::uint16_t>(
          options.mode == RecordMode::Counted ? options.count.value_or(kDefaultCount) : 0);
      outcome = recorder.RecordFrame(options.interval, count);
    }
  }

  std::uint64_t lines = hooks.frames();
  int status = kExitOk;
  if (outcome == RecordOutcome::FileFailed) {
    --lines;
    ctx.err << "drqctl record: cannot write " << options.file << ": "
            << recorder.fileError()->reason << '\n';
    status = kExitUsage;
  } else if (outcome == RecordOutcome::LinkFailed) {
    status = kExitLinkFailure;
  }
  return summary(lines, status);
}

}  // namespace drq::cli
