#include "cli/ParaFormat.h"

#include <algorithm>
#include <string_view>

#include "core/params/ModeRules.h"
#include "core/params/ParaNames.h"

namespace drq::cli {
namespace {

void appendPadded(std::string& out, std::string_view text, std::size_t width) {
  out += text;
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += ' ';
}

}  // namespace

std::string formatParaSet(const ParaSet& set) {
  std::string out = "[PARAMETER]\n";
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    const auto word = static_cast<ParaWord>(w);
    const std::uint16_t value = set.record.words[w];
    out += kParaKeys[w];
    out += " = ";
    out += std::to_string(value);
    if (paraWordIsCoded(word)) {
      const auto name = paraValueName(word, value);
      out += " (";
      out += name.empty() ? std::string_view("UNKNOWN") : name;
      out += ')';
    }
    out += '\n';
  }

  const auto& r = set.record;
  const std::size_t active = std::min<std::size_t>(r[ParaWord::MaxVecNo], kTeachRows);
  out += "\nACTIVE TEACH ROWS: " + std::to_string(active) + "\n";
  if (active == 0) return out;

  constexpr std::size_t kWidth = 6;
  const auto headings =
      teachColumnHeadings(r[ParaWord::EvaluationMode], r[ParaWord::CalculationMode]);
  appendPadded(out, "ROW", kWidth);
  for (std::size_t c = 0; c < kTeachCells; ++c) {
    const std::string fallback = cellKey(c);
    std::string_view heading = headings ? (*headings)[c] : std::string_view(fallback);
    appendPadded(out, heading.empty() ? std::string_view("-") : heading, kWidth);
  }
  appendPadded(out, kKeyGroup, kWidth);
  out += kKeyHold;
  out += '\n';
  for (std::size_t row = 0; row < active; ++row) {
    const TeachVector& v = set.table[row];
    appendPadded(out, std::to_string(row), kWidth);
    for (std::size_t c = 0; c < kTeachCells; ++c)
      appendPadded(out, std::to_string(v.cell(c)), kWidth);
    appendPadded(out, std::to_string(v.group()), kWidth);
    out += std::to_string(v.hold());
    out += '\n';
  }
  return out;
}

std::string formatDifferences(const std::vector<ParaDifference>& differences) {
  std::string out;
  for (const auto& d : differences) {
    out +=
        d.section + '\t' + d.key + '\t' + std::to_string(d.a) + '\t' + std::to_string(d.b) + '\n';
  }
  return out;
}

}  // namespace drq::cli
