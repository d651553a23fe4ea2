#pragma once
// Differences between two parameter sets, word by word: the 17 record words
// (section "PARAMETER") and CELL 0..4, GROUP and HOLD of every teach row
// (section "TEACH VECTOR n"), optionally also the spare words (key "SPARE"),
// which parameter files do not hold.

#include <cstdint>
#include <string>
#include <vector>

#include "core/params/ParaSet.h"

namespace drq {

struct ParaDifference {
  std::string section;  // "PARAMETER" or "TEACH VECTOR n"
  std::string key;      // file key; "SPARE" for the spare word
  std::uint16_t a;
  std::uint16_t b;
  bool operator==(const ParaDifference&) const = default;
};

// In record order, then row by row in word order.
std::vector<ParaDifference> diffParaSets(const ParaSet& a, const ParaSet& b, bool compareSpare);

}  // namespace drq
