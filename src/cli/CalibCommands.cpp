#include "cli/CalibCommands.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/Options.h"
#include "cli/ParaCommands.h"
#include "core/calib/Calibration.h"
#include "core/calib/HardwareFile.h"
#include "core/calib/WhiteCalibration.h"
#include "core/params/ParaTransfer.h"

namespace drq::cli {
namespace {

namespace fs = std::filesystem;

template <typename Word>
std::string threeWords(const std::array<Word, 3>& words) {
  return decimal(words[0]) + ' ' + decimal(words[1]) + ' ' + decimal(words[2]);
}

void printCalibration(std::ostream& out, const CalibrationValues& values) {
  out << "factors=" << threeWords(values.factors) << '\n'
      << "offsets=" << threeWords(values.offsets) << '\n';
}

// Three words 0..maximum from args[first..first+2].
std::optional<ChannelWords> parseThree(const std::vector<std::string>& args, std::size_t first,
                                       std::uint16_t maximum) {
  if (args.size() != first + 3) return std::nullopt;
  ChannelWords words{};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto value = parseUnsigned(args[first + i], maximum);
    if (!value) return std::nullopt;
    words[i] = static_cast<std::uint16_t>(*value);
  }
  return words;
}

int calibGet(CliContext& ctx, bool calculateOffsets) {
  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  CalibrationValues values;
  const int result = calculateOffsets ? CalcOffset(ctx.link(), values) : GetCF(ctx.link(), values);
  if (result != 1) return kExitLinkFailure;
  printCalibration(ctx.out, values);
  return kExitOk;
}

int calibSend(CliContext& ctx, std::uint16_t argument) {
  // A factor scales a channel by factor / 1024 and the sensor takes at most
  // 4096; an offset may be any word.
  const std::uint16_t maximum = argument == kSendFactors ? kMaxFactor : 65535;
  const auto words = parseThree(ctx.args, 1, maximum);
  if (!words) {
    return ctx.usageError("expected three values 0.." + decimal(maximum) + " (red green blue)");
  }
  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  const int result =
      argument == kSendFactors ? SendCF(ctx.link(), *words) : SendOffset(ctx.link(), *words);
  return result == 1 ? kExitOk : kExitLinkFailure;
}

// The measurement has nothing to show while it runs on the command line.
class QuietHooks final : public WhiteCalibrationHooks {
 public:
  void blink(std::uint32_t) override {}
  void frameDecoded() override {}
};

int calibWhite(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {valueOption("--set-value"), valueOption("--max-delta")};
  const ParsedOptions parsed =
      parseOptions(std::span(ctx.args).subspan(1), kOptions);  // after "white"
  std::optional<std::uint32_t> setValue;
  std::optional<std::uint32_t> maxDelta;
  for (const ParsedWord& word : parsed.words) {
    if (word.positional()) return ctx.usageError("unexpected " + word.value);
    const std::string& name = word.name;
    const std::string& value = word.value;
    if (name == "--set-value") {
      // A set value of 0 would make factors that darken every channel.
      setValue = parseUnsigned(value, kMaxWhiteSetValue);
      if (!setValue || *setValue < kMinWhiteSetValue) {
        return ctx.usageError(name + " must be " + decimal(kMinWhiteSetValue) + ".." +
                              decimal(kMaxWhiteSetValue));
      }
    } else {
      maxDelta = parseUnsigned(value, 65535);
      if (!maxDelta) return ctx.usageError(name + " must be 0..65535");
    }
  }
  if (parsed.error) return ctx.usageError(*parsed.error);
  if (!setValue || !maxDelta) return ctx.usageError("white needs --set-value V and --max-delta D");

  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  QuietHooks hooks;
  const WhiteFrames frames = collectWhiteFrames(ctx.session, hooks);
  const WhiteResult result = computeWhiteCalibration(frames, static_cast<std::uint16_t>(*setValue),
                                                     static_cast<std::uint16_t>(*maxDelta));
  if (result.outcome == WhiteOutcome::NoGoodFrames ||
      result.outcome == WhiteOutcome::SensorStopped) {
    ctx.err << result.message() << '\n';
    return kExitLinkFailure;
  }
  // Too few good frames rejects the calibration, as a delta too large does.
  if (result.outcome == WhiteOutcome::TooFewGoodFrames) {
    ctx.err << result.message() << '\n';
    return kExitCalibrationRejected;
  }
  ctx.out << "means=" << threeWords(result.means) << '\n'
          << "delta=" << decimal(result.meanDelta) << '\n';
  if (!result.passed()) {
    ctx.err << result.message() << '\n';
    return kExitCalibrationRejected;
  }
  ctx.out << "factors=" << threeWords(result.factors) << '\n';
  return SendCF(ctx.link(), result.factors) == 1 ? kExitOk : kExitLinkFailure;
}

int calibSelf(CliContext& ctx) {
  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  SelfCalibration self;
  if (StartSelfCalibration(ctx.link(), self) != 1) return kExitLinkFailure;
  ctx.out << "factors=" << threeWords(self.factors) << '\n'
          << "set-value=" << decimal(self.setValue) << '\n'
          << "max-delta=" << decimal(self.maxDelta) << '\n';
  return kExitOk;
}

// The command line's side of GenerateHWInfoFile: nothing to show the values
// on, the dialog is -o, failures go to stderr.
class CliHardwareHost final : public HardwareFileHost {
 public:
  CliHardwareHost(CliContext& ctx, std::uint16_t set, fs::path output)
      : ctx_(ctx), set_(set), output_(std::move(output)) {}

  void getPara(ParaSet& read) override {
    const auto notice = [this](std::string_view text) { ctx_.err << text; };
    GetPara(ctx_.link(), read, ctx_.session.target, set_, notice);
  }
  void getCF(CalibrationValues& read) override { GetCF(ctx_.link(), read); }
  std::optional<fs::path> chooseFile(const fs::path&) override { return output_; }
  void appendMessage(std::string_view text) override { messages_ += text; }
  const std::string& messages() const { return messages_; }

 private:
  CliContext& ctx_;
  std::uint16_t set_;
  fs::path output_;
  std::string messages_;
};

}  // namespace

int cmdCalib(CliContext& ctx) {
  if (ctx.args.empty()) return ctx.usageError("expected a subcommand");
  const std::string_view sub = ctx.args.front();
  const bool alone = ctx.args.size() == 1;
  if (sub == "get" || sub == "self" || sub == "offset") {
    if (!alone) return ctx.usageError(std::string(sub) + " takes no arguments");
    if (sub == "self") return calibSelf(ctx);
    return calibGet(ctx, sub == "offset");
  }
  if (sub == "send-factors") return calibSend(ctx, kSendFactors);
  if (sub == "send-offsets") return calibSend(ctx, kSendOffsets);
  if (sub == "white") return calibWhite(ctx);
  return ctx.usageError("unknown subcommand " + std::string(sub));
}

int cmdHwInfo(CliContext& ctx) {
  std::uint16_t set = 0;
  fs::path output{std::string(kHardwareFileName)};
  constexpr OptionSpec kOptions[] = {valueOption("--set"), valueOption("-o")};
  const ParsedOptions parsed = parseOptions(ctx.args, kOptions);
  for (const ParsedWord& word : parsed.words) {
    if (word.positional()) return ctx.usageError("unexpected " + word.value);
    const std::string& name = word.name;
    const std::string& value = word.value;
    if (name == "--set" && (value == "0" || value == "1")) {
      set = value == "1" ? 1 : 0;
    } else if (name == "--set") {
      return ctx.usageError("--set must be 0 or 1");
    } else if (name == "-o" && value.empty()) {
      return ctx.usageError("-o: the file name is empty");
    } else {
      output = value;
    }
  }
  if (parsed.error) return ctx.usageError(*parsed.error);

  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  ctx.session.target = TransferTarget::Ram;
  ctx.session.selectedSet = set;
  CliHardwareHost host(ctx, set, output);
  const int result = GenerateHWInfoFile(ctx.session, host);
  if (result == 1) return kExitOk;
  ctx.err << host.messages();
  return kExitLinkFailure;
}

}  // namespace drq::cli
