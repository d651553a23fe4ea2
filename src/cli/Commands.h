#pragma once
// drqctl's commands. Adding one is one function and one row:
//
//   1. Write `int cmdName(CliContext& ctx)` (in this folder; declare it below).
//      Parse ctx.args (the words after the command name) with parseOptions
//      (Options.h) and the value helpers of CliSupport.h; on bad input return
//      ctx.usageError("what is wrong"), or ctx.usageError(*parsed.error).
//      Then `if (int rc = ctx.connect(); rc != kExitOk) return rc;` opens the
//      link of the global options (a failure has been printed by then), use
//      ctx.link() / ctx.session, print results to ctx.out in the C locale,
//      and return kExitOk, or kExitLinkFailure when an exchange returned -1
//      (its text is already on stderr).
//   2. Add a row to the table in Commands.cpp: name, argument synopsis, one
//      line of help, the function.
//
// Global options (--tcp, --serial, --baud, --baud-index) are parsed once by
// the runner, anywhere on the command line; the command sees only its own
// words.

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliSupport.h"
#include "core/Session.h"
#include "core/protocol/LinkSettings.h"

namespace drq::cli {

struct Command;

// How the link of this run is reached (from the global options).
struct LinkOptions {
  enum class Kind { None, Tcp, Serial } kind = Kind::None;
  std::string host;
  int port = kDefaultTcpPort;
  std::string device;  // path, COMn, or empty with comPort
  int comPort = 0;
  int baudIndex = kDefaultBaudIndex;  // 115200
};

struct CliContext {
  Session& session;
  const LinkOptions& linkOptions;
  const Command& command;
  std::vector<std::string> args;  // the command's own words
  std::ostream& out;
  std::ostream& err;

  SensorLink& link() { return session.link; }

  // Opens the link of the global options: kExitOk, kExitUsage when no link
  // was given, or kExitLinkFailure (the transport's text is on stderr).
  // Clearing `stopWhenCleared` (StopOnSignal::untilSignal()) abandons a TCP
  // connection attempt at once: kExitLinkFailure with nothing reported.
  int connect(const ObservableFlag* stopWhenCleared = nullptr);

  // Prints "drqctl <command>: <message>" and the command's synopsis to err;
  // returns kExitUsage.
  int usageError(std::string_view message);
};

struct Command {
  std::string_view name;
  std::string_view synopsis;  // arguments after the name
  std::string_view summary;   // one line of help
  int (*run)(CliContext& ctx);
};

// Every command, in the order the usage lists them.
std::span<const Command> commands();

// --- The commands -------------------------------------------------------------
// raw ORDER [ARG] [--payload HEX]: one request; prints order=, argument=,
// length= and payload= of the response.
int cmdRaw(CliContext& ctx);

// watch [--count N]: the live loop; prints the column names, then one line per
// frame (WatchCommand.h) until N frames (1..1000000000) were printed, SIGINT or
// SIGTERM arrived (exit 0), or the link or the output failed (exit 1).
int cmdWatch(CliContext& ctx);

// publish --broker HOST[:PORT] [options]: identifies the sensor, then polls it
// like watch and publishes every good frame to an MQTT broker
// (PublishCommand.h). Exit 0 after --count frames or SIGINT/SIGTERM, 1 on a
// link failure, 2 on a usage error or an unreadable --password-file/--cafile,
// 4 when the broker cannot be reached or refuses at the start. Once the
// options are accepted, stderr ends with "published N frames, dropped D".
int cmdPublish(CliContext& ctx);

// ports: the machine's serial ports, one line each: the name to pass to
// --serial (the stable /dev/serial/by-id name where there is one), a tab, and
// what the port is ("ttyUSB0 - FTDI FT232R USB UART, USB 0403:6001"). Needs
// no link.
int cmdPorts(CliContext& ctx);

}  // namespace drq::cli
