#include "sim/Plausibility.h"

namespace drq::sim {

ParaRecord defaultRecord() {
  ParaRecord r;
  for (const WordLimit& l : kRecordLimits) r[l.word] = l.fallback;
  return r;
}

TeachVector defaultTeachVector() {
  TeachVector v;
  for (std::size_t i = 0; i < kTeachCells; ++i) v.cell(i) = kDefaultCell;
  v.group() = 0;
  v.hold() = kDefaultHold;
  v.spare() = 0;
  return v;
}

ParaSet defaultParaSet() {
  ParaSet set;
  set.record = defaultRecord();
  set.table.fill(defaultTeachVector());
  return set;
}

int correctRecord(ParaRecord& record) {
  const ParaRecord received = record;
  for (const WordLimit& l : kRecordLimits) {
    if (record[l.word] < l.min || record[l.word] > l.max) record[l.word] = l.fallback;
  }
  if (record[ParaWord::DynWinLo] > record[ParaWord::DynWinHi]) {
    record[ParaWord::DynWinLo] =
        kRecordLimits[static_cast<std::size_t>(ParaWord::DynWinLo)].fallback;
    record[ParaWord::DynWinHi] =
        kRecordLimits[static_cast<std::size_t>(ParaWord::DynWinHi)].fallback;
  }
  int changed = 0;
  for (std::size_t i = 0; i < kParaRecordWords; ++i) {
    if (record.words[i] != received.words[i]) ++changed;
  }
  return changed;
}

int correctTeachVector(TeachVector& vector) {
  int changed = 0;
  if (vector.group() > kMaxTeachGroup) {
    vector.group() = 0;
    ++changed;
  }
  if (vector.hold() > kMaxHold) {
    vector.hold() = kDefaultHold;
    ++changed;
  }
  return changed;
}

int correctTeachRows(std::span<TeachVector> rows) {
  int changed = 0;
  for (TeachVector& v : rows) changed += correctTeachVector(v);
  return changed;
}

int correctParaSet(ParaSet& set) {
  return correctRecord(set.record) + correctTeachRows(set.table);
}

}  // namespace drq::sim
