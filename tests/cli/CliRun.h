#pragma once
// Runs drqctl's command line in this process and captures what it prints.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace drq::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliRun runCliCaptured(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun r;
  r.status = cli::runCli(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace drq::test
