#include "core/params/ControlLimits.h"

#include <algorithm>

#include "core/params/ParaNames.h"

namespace drq {

std::string filedSection(const FiledValue& where) {
  return where.teachRow ? teachSectionName(*where.teachRow) : std::string(kSectionParameter);
}

std::string filedKey(const FiledValue& where) {
  if (!where.teachRow) return std::string(paraKey(static_cast<ParaWord>(where.word)));
  if (where.word == kTeachGroupWord) return std::string(kKeyGroup);
  if (where.word == kTeachHoldWord) return std::string(kKeyHold);
  return cellKey(where.word);
}

namespace {

// Limits one word; notes the change in `out`.
void limitWord(std::uint16_t& word, FiledValue where, ControlRange range,
               std::span<const FiledValue> wide, std::vector<LimitedValue>& out) {
  int value = word;
  for (const FiledValue& w : wide) {
    if (w.teachRow == where.teachRow && w.word == where.word) value = w.value;
  }
  if (range.holds(value)) return;
  const auto limited = static_cast<std::uint16_t>(value < range.min ? range.min : range.max);
  where.value = value;
  word = limited;
  out.push_back(LimitedValue{where, limited});
}

}  // namespace

std::vector<LimitedValue> limitToControls(ParaSet& set, std::span<const FiledValue> wide) {
  std::vector<LimitedValue> out;
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    limitWord(set.record.words[w], FiledValue{std::nullopt, w, 0},
              paraControlRange(static_cast<ParaWord>(w)), wide, out);
  }
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    for (std::size_t w = 0; w < kTeachSpareWord; ++w) {
      limitWord(set.table[row].words[w], FiledValue{row, w, 0}, kTeachWordRange, wide, out);
    }
  }
  return out;
}

}  // namespace drq
