#pragma once
// The teach table's context-menu operations on a selected block of cells:
// "Set selection to", "Increment selection with" and "Reset selection". They
// plan the cell values; the widget layer writes them into the table control and
// then reads the panels back into the working set.
//
// Typed values: the prompt's answer must be a decimal integer (blanks around it
// allowed, nothing else). A value for "Set selection to" must fit a cell
// (0..65535); an increment must lie within -65535..65535. Anything else is
// refused and nothing changes, like a cancelled or non-numeric answer: clamping
// would write a value the operator did not type, and wrapping a mistyped value
// would scatter unrelated numbers over the table.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/params/ParaSet.h"

namespace drq {

// A cell of a table control, 1-based as the control counts.
struct GridCell {
  int row;
  int column;
  bool operator==(const GridCell&) const = default;
};

// A selection as the table control reports it; none when top or left is below 1.
struct GridSelection {
  int top = 0;
  int left = 0;
  int height = 0;
  int width = 0;
  bool empty() const { return top < 1 || left < 1 || height < 1 || width < 1; }
};

struct CellAssignment {
  GridCell cell;
  std::uint16_t value;
  bool operator==(const CellAssignment&) const = default;
};

// Whether a cell may be edited (hot); indicator cells keep their values.
using CellEditable = std::function<bool(GridCell)>;

// The teach table control: 64 rows, columns 1..5 the cells (editable), column 6
// the row colour (not editable).
inline constexpr int kTeachGridRows = 64;
inline constexpr int kTeachGridColumns = 6;
bool teachGridEditable(GridCell cell);

// Cells of `selection` within a rows x columns table, row by row and left to
// right; empty for an empty selection. Parts beyond the table are dropped.
std::vector<GridCell> selectionCells(const GridSelection& selection, int rows, int columns);

// The answer to "Set selection to": the decimal integer at its start (blanks
// and a sign before the digits; what follows them is ignored, "12abc" is 12)
// when it lies in 0..65535, else none.
std::optional<std::uint16_t> parseCellValue(std::string_view answer);
// The answer to "Increment selection with", read the same way: -65535..65535,
// else none.
std::optional<std::int32_t> parseIncrement(std::string_view answer);

// Every editable cell of the selection set to `value`.
std::vector<CellAssignment> setSelectionTo(const GridSelection& selection, int rows, int columns,
                                           const CellEditable& editable, std::uint16_t value);

// Every editable cell set to 1.
std::vector<CellAssignment> resetSelection(const GridSelection& selection, int rows, int columns,
                                           const CellEditable& editable);

// The first editable cell keeps `topLeftValue`, each following editable cell
// gets `increment` more than the previous one (16-bit, wrapping). Nothing when
// the top-left cell of the selection is not editable or lies outside the table.
std::vector<CellAssignment> incrementSelectionWith(const GridSelection& selection, int rows,
                                                   int columns, const CellEditable& editable,
                                                   std::uint16_t topLeftValue,
                                                   std::int32_t increment);

// Writes assignments of teach-table cells (columns 1..5) into `table`; other
// columns are ignored.
void applyToTeachTable(TeachTable& table, const std::vector<CellAssignment>& assignments);

}  // namespace drq
