#pragma once
// The command line of drqsim:
//   drqsim [--tcp [HOST:]PORT] [--pty [--link PATH]] [--eeprom FILE] [--seed N]
//          [--id TEXT] [--serial N] [--pace] [--fault RULE]...
// Without --tcp and --pty the sensor listens on TCP 127.0.0.1:10001. `--fault
// @FILE` reads rules from a file, one per line.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/LinkSettings.h"
#include "sim/FaultRule.h"

namespace drq::sim {

inline constexpr std::string_view kSimUsage =
    "usage: drqsim [--tcp [HOST:]PORT] [--pty [--link PATH]] [--eeprom FILE] [--seed N]\n"
    "              [--id TEXT] [--serial N] [--pace] [--fault RULE]...\n"
    "  --tcp [HOST:]PORT  listen on TCP (HOST default 127.0.0.1; PORT 0 = any free port)\n"
    "  --pty              serve on a pseudo-terminal; --link PATH adds a symbolic link to it\n"
    "  --eeprom FILE      keep the sensor's EEPROM in FILE\n"
    "  --seed N           seed of the measurement noise (default 1)\n"
    "  --id TEXT          identification text (default \"VELMARON DRQ V1.0.3 B\")\n"
    "  --serial N         serial number 0..65535 (default 1001)\n"
    "  --pace             delay answers by their time on the wire at the current baud rate\n"
    "  --fault RULE       inject a fault (see the README); --fault @FILE reads rules from FILE\n"
    "  -h, --help         this text; --version: the program's version\n"
    "Without --tcp and --pty: TCP on 127.0.0.1:10001.\n";

struct SimOptions {
  bool help = false;
  bool version = false;
  bool tcp = false;
  std::string tcpHost = "127.0.0.1";
  std::uint16_t tcpPort = kDefaultTcpPort;
  bool pty = false;
  std::string linkPath;
  std::string eepromFile;
  std::uint64_t seed = 1;
  std::optional<std::string> identification;
  std::optional<std::uint16_t> serial;
  bool pace = false;
  std::vector<FaultRule> faults;
};

// Parses the arguments after the program name. nullopt with `error` set (one
// line, without the usage) on any bad input.
std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string* error);

}  // namespace drq::sim
