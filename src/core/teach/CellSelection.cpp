#include "core/teach/CellSelection.h"

#include <algorithm>
#include <charconv>

namespace drq {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The decimal integer at the start of `text`: blanks, an optional sign, then
// the digits up to the first other character, which ends the number ("12abc"
// is 12). None when no digit follows or the digits overflow.
std::optional<std::int64_t> parseDecimal(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc()) return std::nullopt;
  return negative ? -value : value;
}

bool inTable(GridCell c, int rows, int columns) {
  return c.row >= 1 && c.row <= rows && c.column >= 1 && c.column <= columns;
}

}  // namespace

bool teachGridEditable(GridCell cell) {
  return cell.row >= 1 && cell.row <= kTeachGridRows && cell.column >= 1 &&
         cell.column <= static_cast<int>(kTeachCells);
}

std::vector<GridCell> selectionCells(const GridSelection& s, int rows, int columns) {
  std::vector<GridCell> cells;
  if (s.empty()) return cells;
  const int lastRow = static_cast<int>(
      std::min<std::int64_t>(static_cast<std::int64_t>(s.top) + s.height - 1, rows));
  const int lastColumn = static_cast<int>(
      std::min<std::int64_t>(static_cast<std::int64_t>(s.left) + s.width - 1, columns));
  for (int r = s.top; r <= lastRow; ++r) {
    for (int c = s.left; c <= lastColumn; ++c) cells.push_back({r, c});
  }
  return cells;
}

std::optional<std::uint16_t> parseCellValue(std::string_view answer) {
  const auto v = parseDecimal(answer);
  if (!v || *v < 0 || *v > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(*v);
}

std::optional<std::int32_t> parseIncrement(std::string_view answer) {
  const auto v = parseDecimal(answer);
  if (!v || *v < -0xFFFF || *v > 0xFFFF) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::vector<CellAssignment> setSelectionTo(const GridSelection& s, int rows, int columns,
                                           const CellEditable& editable, std::uint16_t value) {
  std::vector<CellAssignment> out;
  for (const GridCell c : selectionCells(s, rows, columns)) {
    if (editable(c)) out.push_back({c, value});
  }
  return out;
}

std::vector<CellAssignment> resetSelection(const GridSelection& s, int rows, int columns,
                                           const CellEditable& editable) {
  return setSelectionTo(s, rows, columns, editable, kDefaultCell);
}

std::vector<CellAssignment> incrementSelectionWith(const GridSelection& s, int rows, int columns,
                                                   const CellEditable& editable,
                                                   std::uint16_t topLeftValue,
                                                   std::int32_t increment) {
  std::vector<CellAssignment> out;
  if (s.empty()) return out;
  const GridCell topLeft{s.top, s.left};
  if (!inTable(topLeft, rows, columns) || !editable(topLeft)) return out;
  std::uint16_t v = topLeftValue;
  for (const GridCell c : selectionCells(s, rows, columns)) {
    if (!editable(c)) continue;
    out.push_back({c, v});
    v = static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) +
                                   static_cast<std::uint32_t>(increment));
  }
  return out;
}

void applyToTeachTable(TeachTable& table, const std::vector<CellAssignment>& assignments) {
  for (const auto& a : assignments) {
    if (!teachGridEditable(a.cell)) continue;
    table[static_cast<std::size_t>(a.cell.row - 1)].cell(
        static_cast<std::size_t>(a.cell.column - 1)) = a.value;
  }
}

}  // namespace drq
