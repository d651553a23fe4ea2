#include "sim/SimOptions.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>

#include "sim/SensorModel.h"
#include "sim/Text.h"

namespace drq::sim {

namespace {

template <typename T>
std::optional<T> parseNumber(std::string_view s) {
  T v{};
  if (s.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

std::string simUsage() {
  const SimOptions defaults;
  const std::string host = defaults.tcpHost;
  return "usage: drqsim [--tcp [HOST:]PORT] [--pty [--link PATH]] [--eeprom FILE] [--seed N]\n"
         "              [--id TEXT] [--serial N] [--pace] [--fault RULE]...\n"
         "  --tcp [HOST:]PORT  listen on TCP (HOST default " +
         host +
         "; PORT 0 = any free port)\n"
         "  --pty              serve on a pseudo-terminal; --link PATH adds a symbolic link to it\n"
         "  --eeprom FILE      keep the sensor's EEPROM in FILE\n"
         "  --seed N           seed of the measurement noise (default " +
         std::to_string(defaults.seed) +
         ")\n"
         "  --id TEXT          identification text (default \"" +
         std::string(kDefaultIdentification) +
         "\")\n"
         "  --serial N         serial number 0..65535 (default " +
         std::to_string(kDefaultSerialNumber) +
         ")\n"
         "  --pace             delay answers by their time on the wire at the current baud rate\n"
         "  --fault RULE       inject a fault (see the README); --fault @FILE reads rules from "
         "FILE\n"
         "  -h, --help         this text; --version: the program's version\n"
         "Without --tcp and --pty: TCP on " +
         host + ":" + std::to_string(defaults.tcpPort) + ".\n";
}

std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string* error) {
  SimOptions o;
  std::vector<std::string> seen;
  std::string why;
  auto fail = [&](std::string reason) -> std::optional<SimOptions> {
    if (error) *error = std::move(reason);
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt == "-h" || opt == "--help") {
      o.help = true;
      continue;
    }
    if (opt == "--version") {
      o.version = true;
      continue;
    }
    static constexpr std::string_view kValued[] = {"--tcp", "--link",   "--eeprom", "--seed",
                                                   "--id",  "--serial", "--fault"};
    static constexpr std::string_view kFlags[] = {"--pty", "--pace"};
    bool valued = false, flag = false;
    for (auto v : kValued) valued = valued || opt == v;
    for (auto f : kFlags) flag = flag || opt == f;
    if (!valued && !flag) return fail(joinText("unknown argument '", opt, "'"));
    if (opt != "--fault") {
      for (const auto& s : seen)
        if (s == opt) return fail(joinText(opt, " given twice"));
      seen.push_back(opt);
    }
    if (flag) {
      (opt == "--pty" ? o.pty : o.pace) = true;
      continue;
    }
    if (i + 1 >= args.size()) return fail(joinText(opt, " needs a value"));
    const std::string& value = args[++i];
    if (opt == "--tcp") {
      o.tcp = true;
      std::string_view portText = value;
      const std::size_t colon = value.rfind(':');
      if (colon != std::string::npos) {
        o.tcpHost = value.substr(0, colon);
        portText = std::string_view(value).substr(colon + 1);
        if (o.tcpHost.empty()) return fail(joinText("--tcp: empty host in '", value, "'"));
      }
      const auto port = parseNumber<std::uint16_t>(portText);
      if (!port) return fail(joinText("--tcp: bad port in '", value, "'"));
      o.tcpPort = *port;
    } else if (opt == "--link") {
      if (value.empty()) return fail("--link: empty path");
      o.linkPath = value;
    } else if (opt == "--eeprom") {
      if (value.empty()) return fail("--eeprom: empty path");
      o.eepromFile = value;
    } else if (opt == "--seed") {
      const auto v = parseNumber<std::uint64_t>(value);
      if (!v) return fail(joinText("--seed: bad number '", value, "'"));
      o.seed = *v;
    } else if (opt == "--id") {
      if (value.size() > kIdentificationBytes)
        return fail(joinText("--id: longer than ", std::to_string(kIdentificationBytes), " bytes"));
      o.identification = value;
    } else if (opt == "--serial") {
      const auto v = parseNumber<std::uint16_t>(value);
      if (!v) return fail(joinText("--serial: not a number 0..65535: '", value, "'"));
      o.serial = *v;
    } else if (opt == "--fault") {
      if (!value.empty() && value.front() == '@') {
        std::ifstream in(value.substr(1), std::ios::binary);
        if (!in) return fail(joinText("--fault: cannot read '", value.substr(1), "'"));
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        auto rules = parseFaultRules(text, &why);
        if (!rules) return fail(joinText(value.substr(1), ": ", why));
        o.faults.insert(o.faults.end(), rules->begin(), rules->end());
      } else {
        auto rule = parseFaultRule(value, &why);
        if (!rule) return fail(why);
        o.faults.push_back(*rule);
      }
    }
  }
  if (!o.linkPath.empty() && !o.pty) return fail("--link needs --pty");
  if (!o.tcp && !o.pty) o.tcp = true;
  return o;
}

}  // namespace drq::sim
