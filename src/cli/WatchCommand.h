#pragma once
// drqctl watch: the live loop on the command line. One tab-separated line per
// frame, C locale, "\n" line ends, flushed per line: first the 20 column
// names, then the 20 words of each frame as signed decimals.

#include <array>
#include <string>
#include <string_view>

#include "core/live/LiveFrame.h"

namespace drq::cli {

// Column names of words 0 to 19. Words 0 to 10 carry the record file's column
// names; the sensor does not say which extreme is the minimum, so the two
// triples are numbered.
inline constexpr std::array<std::string_view, kLiveFrameWords> kWatchColumns = {
    "RED",      "GREEN",      "BLUE",      "X s",      "Y i",        "INT M",     "delta C",
    "COLOR",    "GROUP",      "TRIGGER",   "TEMP",     "RAW RED",    "RAW GREEN", "RAW BLUE",
    "EXT1 RED", "EXT1 GREEN", "EXT1 BLUE", "EXT2 RED", "EXT2 GREEN", "EXT2 BLUE"};

// The header line, with its line end.
std::string watchHeaderLine();
// One frame's line, with its line end.
std::string watchLine(const LiveFrame& frame);

}  // namespace drq::cli
