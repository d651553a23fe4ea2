#include "core/params/ParaDiff.h"

#include "core/params/ParaNames.h"

namespace drq {

std::vector<ParaDifference> diffParaSets(const ParaSet& a, const ParaSet& b, bool compareSpare) {
  std::vector<ParaDifference> out;
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    if (a.record.words[w] != b.record.words[w]) {
      out.push_back({std::string(kSectionParameter), std::string(kParaKeys[w]), a.record.words[w],
                     b.record.words[w]});
    }
  }
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const TeachVector& va = a.table[row];
    const TeachVector& vb = b.table[row];
    const std::size_t words = compareSpare ? kTeachVectorWords : kTeachSpareWord;
    for (std::size_t w = 0; w < words; ++w) {
      if (va.words[w] == vb.words[w]) continue;
      std::string key = w < kTeachCells        ? cellKey(w)
                        : w == kTeachGroupWord ? std::string(kKeyGroup)
                        : w == kTeachHoldWord  ? std::string(kKeyHold)
                                               : std::string("SPARE");
      out.push_back({teachSectionName(row), std::move(key), va.words[w], vb.words[w]});
    }
  }
  return out;
}

}  // namespace drq
