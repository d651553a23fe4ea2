#pragma once
// Text output of the parameter commands of drqctl: the listing of a parameter
// set and the differences between two sets. Numbers are plain decimal
// integers, the same in every locale.

#include <string>
#include <vector>

#include "core/params/ParaDiff.h"
#include "core/params/ParaFile.h"
#include "core/params/ParaSet.h"

namespace drq::cli {

// The 17 parameters as "KEY = value" lines, coded values followed by their
// name in parentheses (e.g. "EVALUATION MODE = 1 (BEST HIT)"), then the active
// teach rows (rows 0 to MAX VEC NO - 1) under the column headings of the modes.
std::string formatParaSet(const ParaSet& set);

// One line per difference: section, key, value of A, value of B, separated by
// tabs.
std::string formatDifferences(const std::vector<ParaDifference>& differences);

}  // namespace drq::cli
