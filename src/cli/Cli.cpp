#include "cli/Cli.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "core/Version.h"
#include "core/protocol/LinkSettings.h"
#include "link/LinkSetup.h"

namespace drq::cli {

namespace {

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct ParsedLine {
  LinkOptions link;
  bool help = false;
  bool version = false;
  bool baudGiven = false;
  std::vector<std::string> rest;  // command name and its words
};

constexpr OptionSpec kGlobalOptions[] = {valueOption("--tcp"),   valueOption("--serial"),
                                         valueOption("--baud"),  valueOption("--baud-index"),
                                         flagOption("-h"),       flagOption("--help"),
                                         flagOption("--version")};

// The rates of the baud-rate table, separated by spaces.
std::string baudRateList() {
  std::string list;
  for (const std::int32_t rate : kBaudRates) {
    if (!list.empty()) list += ' ';
    list += std::to_string(rate);
  }
  return list;
}

// Parses the global options; returns an error text or nothing.
std::optional<std::string> parseGlobalOptions(std::span<const std::string> args, ParsedLine& p) {
  const ParsedOptions parsed = parseOptions(args, kGlobalOptions, UnknownOptions::Keep);
  for (const ParsedWord& word : parsed.words) {
    const std::string_view name = word.name;
    const std::string_view value = word.value;
    if (word.positional()) {
      p.rest.push_back(word.value);
    } else if (name == "-h" || name == "--help") {
      p.help = true;
    } else if (name == "--version") {
      p.version = true;
    } else if (name == "--tcp" || name == "--serial") {
      if (p.link.kind != LinkOptions::Kind::None) return "give one link: --tcp or --serial";
      if (name == "--tcp") {
        if (!parseTcpTarget(value, p.link.host, p.link.port))
          return "--tcp needs HOST or HOST:PORT with a port 1..65535";
        p.link.kind = LinkOptions::Kind::Tcp;
      } else {
        if (value.empty()) return "--serial needs a device";
        if (allDigits(value)) {
          const auto n = parseUnsigned(value, 255);
          if (!n || *n == 0) return "--serial needs a device or a COM port number 1..255";
          p.link.comPort = static_cast<int>(*n);
        } else {
          p.link.device.assign(value);
        }
        p.link.kind = LinkOptions::Kind::Serial;
      }
    } else {
      if (p.baudGiven) return "give one of --baud and --baud-index";
      p.baudGiven = true;
      if (name == "--baud") {
        const auto rate = parseUnsigned(value, 10000000);
        const int index = rate ? baudIndexForRate(static_cast<std::int32_t>(*rate)) : -1;
        if (index < 0) return "--baud must be one of " + baudRateList();
        p.link.baudIndex = index;
      } else {
        const auto index = parseUnsigned(value, 65535);
        if (!index) return "--baud-index must be a number 0..65535";
        p.link.baudIndex = static_cast<int>(*index);
      }
    }
  }
  if (parsed.error) return parsed.error;
  if (p.baudGiven && p.link.kind == LinkOptions::Kind::Tcp)
    return "--baud and --baud-index apply to --serial only";
  return std::nullopt;
}

}  // namespace

void printUsage(std::ostream& os) {
  os << "usage: drqctl [--tcp HOST[:PORT] | --serial DEVICE [--baud RATE | --baud-index N]]\n"
        "              COMMAND [ARGS]\n"
        "\n"
        "link:\n"
        "  --tcp HOST[:PORT]   the sensor's TCP server (port "
     << kDefaultTcpPort
     << " unless given)\n"
        "  --serial DEVICE     a serial port: a device path (/dev/ttyUSB0), COMn, or a COM port\n"
        "                      number N (/dev/ttyS(N-1) on Linux)\n";
  const std::int32_t defaultRate = kBaudRates[kDefaultBaudIndex];
  os << "  --baud RATE         " << baudRateList() << " (default " << defaultRate << ")\n"
     << "  --baud-index N      the rate by its index 0.." << kBaudRates.size() - 1
     << "; any other index opens at " << defaultRate << "\n"
     << "\n"
        "commands:\n";
  for (const Command& c : commands()) {
    std::string head = "  " + std::string(c.name) + " " + std::string(c.synopsis);
    if (head.size() < 40)
      head.resize(40, ' ');
    else
      head += "\n" + std::string(40, ' ');
    os << head << c.summary << '\n';
  }
  os << "\nsend-para sends what the operator tool would after loading FILE: each value within its\n"
        "control's limits (POWER 0..1000, INTEGRAL 0..250, MAX VEC NO 0..64, others 0..65535;\n"
        "stderr names every key limited), then corrected by the mode rules. --as-is sends the\n"
        "values as filed and refuses a value that does not fit 16 bits.\n"
        "get-para --from eeprom and diff-para eeprom:S load the EEPROM into RAM to read it and\n"
        "write RAM's two sets back afterwards.\n";
  os << "\nother options:\n"
        "  -h, --help          this text\n"
        "  --version           the program's version\n";
  os << "\nexit status: 0 success, 1 link failure, 2 usage error or unusable file,\n"
        "             3 firmware mismatch or calibration rejected; diff-para: 0 equal,\n"
        "             1 different; publish: 4 broker not reachable or refused\n";
}

int CliContext::connect(const ObservableFlag* stopWhenCleared) {
  LinkState& state = link().state();
  int result = 0;
  switch (linkOptions.kind) {
    case LinkOptions::Kind::None:
      return usageError("no link given: use --tcp HOST[:PORT] or --serial DEVICE");
    case LinkOptions::Kind::Tcp:
      state.protocol = kProtocolTcp;
      state.serverAddress = linkOptions.host;
      state.serverPort = linkOptions.port;
      result = InitTCP_IP(link(), {}, stopWhenCleared);
      break;
    case LinkOptions::Kind::Serial:
      state.protocol = kProtocolRs232;
      state.comDevice = linkOptions.device;
      state.comPort = static_cast<std::uint16_t>(linkOptions.comPort);
      state.baudIndex = static_cast<std::uint16_t>(linkOptions.baudIndex);
      result = InitRS232(link());
      break;
  }
  return result < 0 ? kExitLinkFailure : kExitOk;
}

int CliContext::usageError(std::string_view message) {
  err << "drqctl " << command.name << ": " << message << '\n'
      << "usage: drqctl [link options] " << command.name << ' ' << command.synopsis << '\n';
  return kExitUsage;
}

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  ParsedLine line;
  if (const auto error = parseGlobalOptions(args, line)) {
    err << "drqctl: " << *error << '\n';
    printUsage(err);
    return kExitUsage;
  }
  if (line.help) {
    printUsage(out);
    return kExitOk;
  }
  if (line.version) {
    out << "drqctl " << kVersion << '\n';
    return kExitOk;
  }
  if (line.rest.empty()) {
    printUsage(err);
    return kExitUsage;
  }
  const auto all = commands();
  const auto found = std::find_if(all.begin(), all.end(),
                                  [&](const Command& c) { return c.name == line.rest.front(); });
  if (found == all.end()) {
    err << "drqctl: unknown command '" << line.rest.front() << "'\n";
    printUsage(err);
    return kExitUsage;
  }

  Session session;
  StreamFailureReport report(err);
  session.link.setFailureReport(&report);
  CliContext ctx{session, line.link,
                 *found,  std::vector<std::string>(line.rest.begin() + 1, line.rest.end()),
                 out,     err};
  const int status = found->run(ctx);
  closeLink(session.link);
  session.link.setFailureReport(nullptr);
  out.flush();
  return status;
}

}  // namespace drq::cli
