#pragma once
// drqctl record: the recorder on the command line, writing the same bytes as
// the operator tool's recorder page.
//
//   record -o FILE [--mode count|open|trigger] [--interval S] [--count N] [--id TEXT]
//
// The header comes first and replaces an existing FILE ("PANEL ID: TEXT" only
// with --id). count (the default): N frames (default 10, 1..65535), one
// request every S seconds (default 1; below 0.25 taken as 0.25). open: one
// every S seconds until SIGINT or SIGTERM, or N frames when --count is given.
// trigger: the sensor pushes a frame per trigger event (order 30, argument 1),
// each is appended until SIGINT/SIGTERM or N frames, then order 30 with
// argument 0, always. A signal ends the run after the line in flight.
//
// Nothing on stdout; at the end one line on stderr, "recorded N frames to
// FILE" (after the failure's own text, if any). Exit status: 0 done, 1 link
// failure (the lines so far stay), 2 usage error or a file that cannot be
// written.

#include "cli/Commands.h"

namespace drq::cli {

int cmdRecord(CliContext& ctx);

}  // namespace drq::cli
