// drqctl: command-line access to a sensor.
#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  QCoreApplication app(argc, argv);  // the transports wait in local event loops
  return drq::cli::runCli(args, std::cout, std::cerr);
}
