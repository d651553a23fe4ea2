#pragma once
// The command line of drqsim:
//   drqsim [--tcp [HOST:]PORT] [--pty [--link PATH]] [--eeprom FILE] [--seed N]
//          [--id TEXT] [--serial N] [--pace] [--fault RULE]...
// Without --tcp and --pty the sensor listens on TCP 127.0.0.1 at the sensor's
// port (kDefaultTcpPort). `--fault @FILE` reads rules from a file, one per line.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/LinkSettings.h"
#include "sim/FaultRule.h"

namespace drq::sim {

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

// The usage text: the options with their defaults.
std::string simUsage();

// Parses the arguments after the program name. nullopt with `error` set (one
// line, without the usage) on any bad input.
std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string* error);

}  // namespace drq::sim
