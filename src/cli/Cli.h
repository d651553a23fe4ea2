#pragma once
// drqctl's runner: parses the global options once, picks the command from the
// table (Commands.h) and runs it. Needs a QCoreApplication (or QApplication)
// in the calling thread: the transports wait in local event loops.

#include <ostream>
#include <span>
#include <string>

namespace drq::cli {

// Runs drqctl with the words after the program name. Results go to `out`,
// usage and failure texts to `err`. Returns the exit status: 0 success, 1 link
// failure, 2 usage error.
int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The usage text (global options and every command of the table).
void printUsage(std::ostream& os);

}  // namespace drq::cli
