#include "cli/WatchCommand.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/StopOnSignal.h"
#include "core/live/GetData.h"

namespace drq::cli {

namespace {

constexpr std::uint32_t kMaxCount = 1000000000;
constexpr std::string_view kOutputFailed = "drqctl watch: cannot write the output\n";

// Prints each frame; ends the loop after `limit` frames (0: no limit) or when
// the output fails (a closed pipe with SIGPIPE ignored, a full disk).
class PrintingHooks final : public LiveLoopHooks {
 public:
  PrintingHooks(Session& session, std::ostream& out, std::uint32_t limit)
      : session_(session), out_(out), limit_(limit) {}
  // The command line has no Send or Get buttons: nothing is ever pending.
  void sendPara() override {}
  void getPara() override {}
  void frameDecoded() override {
    out_ << watchLine(session_.CurrentFrame);
    out_.flush();
    if (!out_) {
      outputFailed_ = true;
      session_.RunFlag.clear();
    } else if (limit_ != 0 && ++frames_ >= limit_) {
      session_.RunFlag.clear();
    }
  }
  bool outputFailed() const { return outputFailed_; }

 private:
  Session& session_;
  std::ostream& out_;
  std::uint32_t limit_;
  std::uint32_t frames_ = 0;
  bool outputFailed_ = false;
};

}  // namespace

std::string watchHeaderLine() {
  std::string line;
  for (std::size_t i = 0; i < kWatchColumns.size(); ++i) {
    if (i != 0) line += '\t';
    line += kWatchColumns[i];
  }
  line += '\n';
  return line;
}

std::string watchLine(const LiveFrame& frame) {
  // 20 words of at most 6 characters, 19 tabs and the line end.
  char buf[kLiveFrameWords * 7 + 1];
  char* p = buf;
  char* const end = buf + sizeof buf;
  for (std::size_t i = 0; i < kLiveFrameWords; ++i) {
    if (i != 0) *p++ = '\t';
    p = std::to_chars(p, end, static_cast<int>(frame.words[i])).ptr;
  }
  *p++ = '\n';
  return std::string(buf, p);
}

int cmdWatch(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {valueOption("--count", "N")};
  const ParsedOptions parsed = parseOptions(ctx.args, kOptions);
  std::uint32_t count = 0;
  for (const ParsedWord& word : parsed.words) {
    if (word.positional()) return ctx.usageError("unexpected " + word.value);
    const auto n = parseUnsigned(word.value, kMaxCount);
    if (!n || *n == 0) return ctx.usageError("--count must be 1..1000000000");
    count = *n;
  }
  if (parsed.error) return ctx.usageError(*parsed.error);

  Session& session = ctx.session;
  // From here on a signal ends the command after the frame in flight; one
  // that comes before the loop starts leaves the table without frames.
  StopOnSignal stopOnSignal(session.RunFlag);
  if (const int rc = ctx.connect(&stopOnSignal.untilSignal());
      rc != kExitOk && !stopOnSignal.signalled())
    return rc;
  ctx.out << watchHeaderLine();
  ctx.out.flush();
  if (!ctx.out) {
    ctx.err << kOutputFailed;
    return kExitLinkFailure;
  }

  // The link is open; a failure report during the loop clears the flag again.
  session.link.state().linkUp = true;
  PrintingHooks hooks(session, ctx.out, count);
  // GetData sets RunFlag when it starts, which would undo an earlier signal.
  if (stopOnSignal.signalled()) return kExitOk;
  GetData(session, hooks);
  if (hooks.outputFailed()) {
    ctx.err << kOutputFailed;
    return kExitLinkFailure;
  }
  return session.link.state().linkUp ? kExitOk : kExitLinkFailure;
}

}  // namespace drq::cli
