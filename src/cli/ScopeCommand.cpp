#include "cli/ScopeCommand.h"

#include <QTimer>

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Options.h"
#include "cli/StopOnSignal.h"
#include "core/files/FileWrite.h"
#include "core/scope/ScopeCapture.h"
#include "core/scope/ScopeMath.h"

namespace drq::cli {

namespace {

constexpr std::string_view kCaptureAbandoned = "capture abandoned\n";
// Longest --timeout: a day.
constexpr double kMaxTimeoutSeconds = 86400;

// The command's options, each at most once; an error text or nothing.
std::optional<std::string> parseScopeOptions(const CliContext& ctx, ParsedOptions& parsed) {
  constexpr OptionSpec kOptions[] = {valueOption("--trigger-mode"),
                                     valueOption("--level"),
                                     valueOption("--pre"),
                                     valueOption("--scan-rate"),
                                     valueOption("--signal"),
                                     valueOption("--timeout"),
                                     valueOption("-o")};
  parsed = parseOptions(ctx.args, kOptions);
  for (std::size_t i = 0; i < parsed.words.size(); ++i) {
    const ParsedWord& word = parsed.words[i];
    if (word.positional()) return "unexpected " + word.value;
    for (std::size_t j = 0; j < i; ++j) {
      if (parsed.words[j].name == word.name) return "give " + word.name + " once";
    }
  }
  return parsed.error;
}

// A positive number of seconds (digits with an optional fraction).
std::optional<double> parseTimeout(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto r = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != end || !(value > 0) || value > kMaxTimeoutSeconds) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

int cmdCycleTime(CliContext& ctx) {
  if (!ctx.args.empty()) return ctx.usageError("cycle-time takes no arguments");
  if (const int rc = ctx.connect(); rc != kExitOk) return rc;
  ScopeState& scope = ctx.session.scope;
  if (GetCycleTime(ctx.link(), scope) != 1) return kExitLinkFailure;
  ctx.out << "cycle-time-ms=" << cycleTimeText(scope.cycleTime) << '\n'
          << "scan-frequency-hz=" << scanFrequencyText(scope.cycleTime) << '\n';
  return kExitOk;
}

int cmdScope(CliContext& ctx) {
  ParsedOptions args;
  if (const auto error = parseScopeOptions(ctx, args)) return ctx.usageError(*error);
  ScopeSettings settings;
  struct Numeric {
    const char* name;
    std::uint32_t min;
    std::uint32_t max;
    std::uint32_t value;
  };
  Numeric numbers[] = {{"--trigger-mode", 0, kScopeTriggerModes - 1, settings.triggerMode},
                       {"--level", 0, 65535, settings.triggerLevel},
                       {"--pre", 0, kScopeSamples - 1, 0},
                       {"--scan-rate", 1, 32767, 1},
                       {"--signal", 0, 1, settings.signal}};
  for (Numeric& n : numbers) {
    const auto text = args.value(n.name);
    if (!text) continue;
    const auto parsed = parseUnsigned(*text, n.max);
    if (!parsed || *parsed < n.min) {
      return ctx.usageError(std::string(n.name) + " must be " + decimal(n.min) + ".." +
                            decimal(n.max));
    }
    n.value = *parsed;
  }
  settings.triggerMode = static_cast<std::uint16_t>(numbers[0].value);
  settings.triggerLevel = static_cast<std::uint16_t>(numbers[1].value);
  settings.preTrigger = static_cast<std::int16_t>(numbers[2].value);
  settings.scanRate = static_cast<std::int16_t>(numbers[3].value);
  settings.signal = static_cast<std::uint16_t>(numbers[4].value);
  std::optional<double> timeout;
  if (const auto text = args.value("--timeout")) {
    timeout = parseTimeout(*text);
    if (!timeout) return ctx.usageError("--timeout must be a number of seconds above 0");
  }
  const auto output = args.value("-o");
  if (output && output->empty()) return ctx.usageError("-o needs a FILE");

  SensorLink& link = ctx.link();
  ScopeState& scope = ctx.session.scope;
  // A signal or the time limit ends the wait; one that comes while the start
  // is still being exchanged ends it as soon as the capture runs, one that
  // comes before (during the connection) keeps the start from being sent.
  bool abandon = false;
  const auto breakOff = [&] {
    abandon = true;
    scope.captureRunning.clear();
  };
  StopOnSignal stopOnSignal(breakOff);
  if (const int rc = ctx.connect(&stopOnSignal.untilSignal()); rc != kExitOk && !abandon) return rc;
  if (abandon) {
    ctx.err << kCaptureAbandoned;
    return kExitLinkFailure;
  }
  // The link is open; a failure report during the capture clears the flag.
  link.state().linkUp = true;

  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, breakOff);
  if (timeout) timer.start(static_cast<int>(std::ceil(*timeout * 1000)));

  const CaptureResult result = GetScopeData(link, settings, scope, [&] {
    if (abandon) scope.captureRunning.clear();
  });
  timer.stop();
  switch (result) {
    case CaptureResult::NotStarted:
    case CaptureResult::Failed:
      return kExitLinkFailure;
    case CaptureResult::Abandoned:
      BreakDataScan(link, scope);
      ctx.err << kCaptureAbandoned;
      return kExitLinkFailure;
    case CaptureResult::Captured:
      break;
  }
  // A frame that failed its checks on a serial link has been reported and its
  // trace left empty: such a capture is neither printed nor filed (an
  // existing file stays as it was).
  if (!link.state().linkUp) return kExitLinkFailure;

  if (output) {
    if (const files::FileWriteResult written = writeTraceFile(*output, scope.traces);
        !written.ok()) {
      ctx.err << "drqctl scope: cannot write " << *output << ": " << files::failureReason(written)
              << '\n';
      return kExitLinkFailure;
    }
  } else {
    ctx.out << traceTable(scope.traces);
    ctx.out.flush();
    if (!ctx.out) {
      ctx.err << "drqctl scope: cannot write the output\n";
      return kExitLinkFailure;
    }
  }
  return kExitOk;
}

}  // namespace drq::cli
