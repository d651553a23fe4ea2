#include "cli/ParaCommands.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "cli/ParaFormat.h"
#include "core/connect/Identification.h"
#include "core/ini/IniStore.h"
#include "core/params/ControlLimits.h"
#include "core/params/ModeRules.h"
#include "core/params/ParaDiff.h"
#include "core/params/ParaFile.h"
#include "core/params/ParaNames.h"
#include "core/params/ParaTransfer.h"

namespace drq::cli {
namespace {

namespace fs = std::filesystem;

std::optional<std::uint16_t> parseSet(const std::optional<std::string>& text) {
  if (!text) return std::uint16_t{0};
  if (*text == "0") return std::uint16_t{0};
  if (*text == "1") return std::uint16_t{1};
  return std::nullopt;
}

std::optional<TransferTarget> parseMemory(const std::optional<std::string>& text) {
  if (!text || *text == "ram") return TransferTarget::Ram;
  if (*text == "eeprom") return TransferTarget::Eeprom;
  return std::nullopt;
}

// The sensor reads its EEPROM only by loading it into RAM (both sets). The
// commands that read it keep RAM's two sets first and write them back
// afterwards, so that reading never changes what the sensor runs with.
constexpr std::string_view kRamMayHoldEeprom =
    ": the sensor's RAM may now hold its EEPROM parameters\n";
constexpr std::string_view kRamNotRestored = ": the sensor's RAM could not be restored\n";

bool readRamSets(SensorLink& link, std::array<ParaSet, 2>& ram, const EepromNotice& notice) {
  for (std::uint16_t set = 0; set < 2; ++set) {
    if (GetPara(link, ram[set], TransferTarget::Ram, set, notice) != 1) return false;
  }
  return true;
}

bool restoreRamSets(SensorLink& link, const std::array<ParaSet, 2>& ram) {
  for (std::uint16_t set = 0; set < 2; ++set) {
    if (SendPara(link, ram[set], TransferTarget::Ram, set) != 1) return false;
  }
  return true;
}

// The first line of a question, without its trailing blank.
std::string firstLine(std::string_view text) {
  std::string line(text.substr(0, text.find('\n')));
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// "POWER", "TEACH VECTOR 3 CELL 0": a filed value's key, with its section for
// the teach rows.
std::string filedLabel(const FiledValue& v) {
  return v.teachRow ? filedSection(v) + ' ' + filedKey(v) : filedKey(v);
}

void printLists(std::ostream& os, const ParameterFileRead& read) {
  if (!read.parameters.empty()) os << read.parameters.text;
  if (!read.teachVectors.empty()) os << read.teachVectors.text;
}

// Reads a parameter file for a command. A wrong type or version is refused
// unless `force` (then noted on stderr). Returns kExitOk or kExitUsage.
int readFileFor(CliContext& ctx, const fs::path& path, bool force, ParaSet& set,
                ParameterFileRead& read) {
  // A pipe or a device would keep the reader waiting.
  std::error_code ec;
  if (const auto type = fs::status(path, ec).type();
      type != fs::file_type::not_found && type != fs::file_type::none &&
      type != fs::file_type::regular && type != fs::file_type::directory) {
    ctx.err << "drqctl " << ctx.command.name << ": cannot read " << path.string()
            << ": not a regular file\n";
    return kExitUsage;
  }
  std::string refused;
  read = readParameterFile(path, set, [&](std::string_view, std::string_view question) {
    const std::string line = firstLine(question);
    if (force) {
      ctx.err << path.string() << ": " << line << '\n';
      return true;
    }
    refused = line;
    return false;
  });
  if (read.readStatus < 0) {
    ctx.err << "drqctl " << ctx.command.name << ": cannot read " << path.string() << ": "
            << read.readError.message() << '\n';
    return kExitUsage;
  }
  if (!read.taken) {
    ctx.err << "drqctl " << ctx.command.name << ": " << path.string() << ": " << refused
            << " (--force uses it anyway)\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

int connectChecked(CliContext& ctx) {
  if (const int rc = ctx.connect(); rc != kExitOk) return rc;
  Identification id;
  if (identifySensor(ctx.link(), id) != 1) return kExitLinkFailure;
  if (!id.matches) {
    ctx.err << id.mismatchText() << '\n';
    return kExitFirmwareMismatch;
  }
  ctx.session.identification = id.text;
  ctx.link().state().linkUp = true;
  return kExitOk;
}

int cmdIdentify(CliContext& ctx) {
  if (!ctx.args.empty()) return ctx.usageError("identify takes no arguments");
  if (const int rc = ctx.connect(); rc != kExitOk) return rc;
  Identification id;
  if (identifySensor(ctx.link(), id) != 1) return kExitLinkFailure;
  if (!id.matches) {
    ctx.out << id.mismatchText() << '\n';
    return kExitFirmwareMismatch;
  }
  ctx.out << id.shownVersion << kSerialNumberPrefix << decimal(id.serialNumber) << '\n';
  return kExitOk;
}

int cmdGetPara(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {valueOption("--from"), valueOption("--set"),
                                     valueOption("-o")};
  const ParsedOptions args = parseOptions(ctx.args, kOptions);
  if (args.error) return ctx.usageError(*args.error);
  const std::vector<std::string> positional = args.positional();
  const auto source = parseMemory(args.value("--from"));
  if (!source) return ctx.usageError("--from must be ram or eeprom");
  const auto set = parseSet(args.value("--set"));
  if (!set) return ctx.usageError("--set must be 0 or 1");
  if (!positional.empty()) return ctx.usageError("unexpected " + positional.front());
  if (const auto given = args.value("-o"); given && given->empty())
    return ctx.usageError("-o: the file name is empty");
  const fs::path output = args.value("-o").value_or(std::string(kParameterFileName));

  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  ParaSet values = defaultParaSet();
  const auto notice = [&ctx](std::string_view text) { ctx.err << text; };
  SensorLink& link = ctx.link();
  if (*source == TransferTarget::Eeprom) {
    // Reading the EEPROM loads it into RAM: keep RAM's sets and put them back.
    std::array<ParaSet, 2> ram{defaultParaSet(), defaultParaSet()};
    if (!readRamSets(link, ram, notice)) return kExitLinkFailure;
    if (GetPara(link, values, TransferTarget::Eeprom, *set, notice) != 1) {
      ctx.err << "drqctl " << ctx.command.name << kRamMayHoldEeprom;
      return kExitLinkFailure;
    }
    if (!restoreRamSets(link, ram)) {
      ctx.err << "drqctl " << ctx.command.name << kRamNotRestored;
      return kExitLinkFailure;
    }
  } else if (GetPara(link, values, *source, *set, notice) != 1) {
    return kExitLinkFailure;
  }
  if (const files::FileWriteResult written = writeParameterFile(output, values); !written.ok()) {
    ctx.err << "drqctl get-para: cannot write " << output.string() << ": "
            << ini::iniStatusText(written.status) << " (status " << decimal(written.status) << ", "
            << files::failureReason(written) << "); the parameters were not saved\n";
    return kExitLinkFailure;
  }
  return kExitOk;
}

int cmdSendPara(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {valueOption("--to"), valueOption("--set"),
                                     flagOption("--force"), flagOption("--as-is")};
  const ParsedOptions args = parseOptions(ctx.args, kOptions);
  if (args.error) return ctx.usageError(*args.error);
  const std::vector<std::string> positional = args.positional();
  const auto target = parseMemory(args.value("--to"));
  if (!target) return ctx.usageError("--to must be ram or eeprom");
  const auto set = parseSet(args.value("--set"));
  if (!set) return ctx.usageError("--set must be 0 or 1");
  if (positional.size() != 1) return ctx.usageError("expected one FILE");

  ParaSet values = defaultParaSet();
  ParameterFileRead read;
  if (const int rc = readFileFor(ctx, positional.front(), args.flag("--force"), values, read);
      rc != kExitOk) {
    return rc;
  }
  printLists(ctx.err, read);

  if (args.flag("--as-is")) {
    // As filed, but never a value cut to its low 16 bits.
    for (const FiledValue& v : read.wideValues) {
      ctx.err << "drqctl send-para: " << positional.front() << ": " << filedLabel(v) << " = "
              << decimal(v.value) << " does not fit a 16-bit word\n";
    }
    if (!read.wideValues.empty()) return kExitUsage;
  } else {
    // What the operator tool would send after loading this file: its controls
    // take each value at their limits, then its mode rules correct the values.
    for (const LimitedValue& l : limitToControls(values, read.wideValues)) {
      ctx.err << filedLabel(l.from) << " = " << decimal(l.from.value) << " limited to "
              << decimal(l.to) << '\n';
    }
    const auto forced = applyModeRules(values, *set);
    for (const auto& f : forced.forced) {
      ctx.err << paraKey(f.word) << " set to " << decimal(f.value) << " by the mode rules\n";
    }
    for (const auto row : forced.groupCellsReset) {
      ctx.err << teachSectionName(row) << ' ' << kKeyGroup << " set to 0 by the mode rules\n";
    }
    for (const auto& m : forced.messages) ctx.err << m.text << '\n';
    if (forced.selectedSet != *set) {
      ctx.err << "drqctl send-para: parameter set 1 is only used with TRIGGER = PARA "
                 "(--as-is sends it anyway)\n";
      return kExitUsage;
    }
  }

  if (const int rc = connectChecked(ctx); rc != kExitOk) return rc;
  return SendPara(ctx.link(), values, *target, *set) == 1 ? kExitOk : kExitLinkFailure;
}

int cmdShowPara(CliContext& ctx) {
  const ParsedOptions args = parseOptions(ctx.args, {});
  if (args.error) return ctx.usageError(*args.error);
  const std::vector<std::string> positional = args.positional();
  if (positional.size() != 1) return ctx.usageError("expected one FILE");
  ParaSet values = defaultParaSet();
  ParameterFileRead read;
  if (const int rc = readFileFor(ctx, positional.front(), true, values, read); rc != kExitOk) {
    return rc;
  }
  ctx.out << formatParaSet(values);
  if (!read.parameters.empty() || !read.teachVectors.empty()) ctx.out << '\n';
  printLists(ctx.out, read);
  return kExitOk;
}

namespace {

// A source of diff-para: a parameter file or a set of the sensor's RAM or EEPROM.
struct DiffSource {
  std::string text;
  bool sensor = false;
  TransferTarget memory = TransferTarget::Ram;
  std::uint16_t set = 0;
  ParaSet values = defaultParaSet();
};

std::optional<DiffSource> parseSource(const std::string& text) {
  DiffSource s;
  s.text = text;
  for (const auto& [prefix, memory] :
       {std::pair{std::string_view("ram:"), TransferTarget::Ram},
        std::pair{std::string_view("eeprom:"), TransferTarget::Eeprom}}) {
    if (!text.starts_with(prefix)) continue;
    const auto set = parseSet(text.substr(prefix.size()));
    if (!set) return std::nullopt;
    s.sensor = true;
    s.memory = memory;
    s.set = *set;
  }
  return s;
}

}  // namespace

int cmdDiffPara(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {flagOption("--force")};
  const ParsedOptions args = parseOptions(ctx.args, kOptions);
  if (args.error) return ctx.usageError(*args.error);
  const std::vector<std::string> positional = args.positional();
  if (positional.size() != 2) return ctx.usageError("expected A and B");
  std::array<DiffSource, 2> sources;
  for (std::size_t i = 0; i < 2; ++i) {
    const auto parsed = parseSource(positional[i]);
    if (!parsed) return ctx.usageError(positional[i] + ": the set must be 0 or 1");
    sources[i] = *parsed;
  }

  for (auto& s : sources) {
    if (s.sensor) continue;
    ParameterFileRead read;
    if (readFileFor(ctx, s.text, args.flag("--force"), s.values, read) != kExitOk) {
      return kExitDiffTrouble;
    }
    printLists(ctx.err, read);
  }

  const bool anySensor = sources[0].sensor || sources[1].sensor;
  const bool anyEeprom = (sources[0].sensor && sources[0].memory == TransferTarget::Eeprom) ||
                         (sources[1].sensor && sources[1].memory == TransferTarget::Eeprom);
  if (anySensor) {
    if (const int rc = connectChecked(ctx); rc != kExitOk) {
      return rc == kExitFirmwareMismatch ? rc : kExitDiffTrouble;
    }
    SensorLink& link = ctx.link();
    const auto notice = [&ctx](std::string_view text) { ctx.err << text; };
    // The sensor reads its EEPROM only by loading it into RAM. Read RAM first,
    // both sets when the EEPROM is read, and write RAM back afterwards, so that
    // comparing never changes what the sensor runs with.
    std::array<ParaSet, 2> ram{defaultParaSet(), defaultParaSet()};
    for (std::uint16_t set = 0; set < 2; ++set) {
      const bool needed =
          anyEeprom ||
          (sources[0].sensor && sources[0].set == set &&
           sources[0].memory == TransferTarget::Ram) ||
          (sources[1].sensor && sources[1].set == set && sources[1].memory == TransferTarget::Ram);
      if (needed && GetPara(link, ram[set], TransferTarget::Ram, set, notice) != 1) {
        return kExitDiffTrouble;
      }
    }
    for (auto& s : sources) {
      if (s.sensor && s.memory == TransferTarget::Ram) s.values = ram[s.set];
    }
    if (anyEeprom) {
      for (auto& s : sources) {
        if (!s.sensor || s.memory != TransferTarget::Eeprom) continue;
        if (GetPara(link, s.values, TransferTarget::Eeprom, s.set, notice) != 1) {
          ctx.err << "drqctl " << ctx.command.name << kRamMayHoldEeprom;
          return kExitDiffTrouble;
        }
      }
      if (!restoreRamSets(link, ram)) {
        ctx.err << "drqctl " << ctx.command.name << kRamNotRestored;
        return kExitDiffTrouble;
      }
    }
  }

  const auto differences =
      diffParaSets(sources[0].values, sources[1].values, sources[0].sensor && sources[1].sensor);
  ctx.out << formatDifferences(differences);
  return differences.empty() ? kExitOk : kExitDiffers;
}

}  // namespace drq::cli
