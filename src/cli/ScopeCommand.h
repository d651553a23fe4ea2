#pragma once
// drqctl cycle-time and drqctl scope: the scope page on the command line.

#include "cli/Commands.h"

namespace drq::cli {

// cycle-time: reads the sensor's cycle time; prints "cycle-time-ms=C" and
// "scan-frequency-hz=F" with the displays' decimals.
int cmdCycleTime(CliContext& ctx);

// scope [--trigger-mode M] [--level L] [--pre N] [--scan-rate R] [--signal S]
//       [--timeout SEC] [-o FILE]
// One capture; prints (or writes to FILE) the trace table (traceTable). On
// SIGINT, SIGTERM or after SEC seconds the capture is broken off (the break
// is sent) and the command fails with "capture abandoned".
int cmdScope(CliContext& ctx);

}  // namespace drq::cli
