#include "cli/Commands.h"

#include <optional>

#include "cli/CalibCommands.h"
#include "cli/Options.h"
#include "cli/ParaCommands.h"
#include "cli/RecordCommand.h"
#include "cli/ScopeCommand.h"
#include "link/SerialPorts.h"

namespace drq::cli {

namespace {

constexpr Command kCommands[] = {
    {"raw", "ORDER [ARG] [--payload HEX]", "send one request and print the response", &cmdRaw},
    {"identify", "", "print the sensor's firmware version and serial number", &cmdIdentify},
    {"get-para", "[--from ram|eeprom] [--set 0|1] [-o FILE]",
     "read a set into a parameter file (default Parameter.ini)", &cmdGetPara},
    {"send-para", "[--to ram|eeprom] [--set 0|1] [--force] [--as-is] FILE",
     "write a parameter file into the sensor", &cmdSendPara},
    {"show-para", "FILE", "print a parameter file's values and what took defaults", &cmdShowPara},
    {"diff-para", "[--force] A B",
     "print where two sets (FILE, ram:S, eeprom:S) differ; exit 1 if they do", &cmdDiffPara},
    {"watch", "[--count N]", "print live frames, one tab-separated line each", &cmdWatch},
    {"calib",
     "get | send-factors R G B | send-offsets R G B | white --set-value V --max-delta D | self "
     "| offset",
     "read, send or calculate calibration factors and offsets", &cmdCalib},
    {"hwinfo", "[--set 0|1] [-o FILE]",
     "write the hardware information file (default HardwareInitialFile.ini)", &cmdHwInfo},
    {"record", "-o FILE [--mode count|open|trigger] [--interval S] [--count N] [--id TEXT]",
     "record frames into a record file (count: N frames, default 10)", &cmdRecord},
    {"cycle-time", "", "print the sensor's cycle time and scan frequency", &cmdCycleTime},
    {"scope",
     "[--trigger-mode M] [--level L] [--pre N] [--scan-rate R] [--signal S] [--timeout SEC] "
     "[-o FILE]",
     "capture one scope trace and print it tab-separated", &cmdScope},
    {"publish",
     "--broker HOST[:PORT] [--topic PREFIX] [--qos 0|1] [--interval S] [--count N] "
     "[--client-id ID] [--username U --password-file FILE] [--cafile FILE] [--queue N]",
     "publish live frames to an MQTT broker until stopped", &cmdPublish},
    {"ports", "", "list the serial ports: the name for --serial, and what each is", &cmdPorts},
};

}  // namespace

std::span<const Command> commands() {
  return kCommands;
}

int cmdRaw(CliContext& ctx) {
  constexpr OptionSpec kOptions[] = {valueOption("--payload", "HEX")};
  const ParsedOptions options = parseOptions(ctx.args, kOptions);
  std::vector<std::string> positional;
  std::vector<std::uint8_t> payload;
  for (const ParsedWord& word : options.words) {
    if (word.positional()) {
      positional.push_back(word.value);
      continue;
    }
    const auto bytes = parseHex(word.value);
    if (!bytes) return ctx.usageError("--payload needs an even number of hex digits");
    if (bytes->size() > kMaxRequestPayload) return ctx.usageError("payload longer than 512 bytes");
    payload = *bytes;
  }
  if (options.error) return ctx.usageError(*options.error);
  if (positional.empty() || positional.size() > 2) return ctx.usageError("expected ORDER [ARG]");
  const auto order = parseUnsigned(positional[0], 255);
  if (!order) return ctx.usageError("ORDER must be 0..255");
  std::uint32_t argument = 0;
  if (positional.size() == 2) {
    const auto parsed = parseUnsigned(positional[1], 65535);
    if (!parsed) return ctx.usageError("ARG must be 0..65535");
    argument = *parsed;
  }

  if (const int rc = ctx.connect(); rc != kExitOk) return rc;
  SensorLink& link = ctx.link();
  if (link.exchange(static_cast<std::uint8_t>(*order), static_cast<std::uint16_t>(argument),
                    payload) != 1)
    return kExitLinkFailure;
  ctx.out << "order=" << decimal(link.responseOrder()) << '\n'
          << "argument=" << decimal(link.responseArgument()) << '\n'
          << "length=" << decimal(link.responseLength()) << '\n'
          << "payload=" << toHex(link.responsePayload()) << '\n';
  return kExitOk;
}

int cmdPorts(CliContext& ctx) {
  if (!ctx.args.empty()) return ctx.usageError("takes no arguments");
  for (const SerialPortEntry& port : availableSerialPorts())
    ctx.out << port.device.toStdString() << '\t' << port.summary().toStdString() << '\n';
  return kExitOk;
}

}  // namespace drq::cli
