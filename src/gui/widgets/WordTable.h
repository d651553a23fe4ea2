#pragma once
// A table of unsigned 16-bit cells, as the teach, group and hold tables show
// them: `valueColumns` editable columns whose cells hold 0..65535, optionally
// followed by a colour column whose cells only show a background colour (the
// row colour of a teach row).
//
// Rows and columns are counted from 0 here; the row labels the operator sees
// are set by the owner (teach row r shows as row r + 1). The operator edits a
// cell in a spin box limited to 0..65535; nothing else can reach a cell, and a
// value outside the range is refused whatever way it comes.

#include <QString>
#include <QStringList>
#include <QTableWidget>

#include <cstdint>
#include <optional>

namespace drq::gui {

class WordTable final : public QTableWidget {
  Q_OBJECT
 public:
  WordTable(int rows, const QStringList& valueHeadings, bool colorColumn,
            QWidget* parent = nullptr);

  // Index of the colour column, -1 when the table has none.
  int colorColumn() const { return hasColorColumn_ ? valueColumns_ : -1; }
  // True for an editable value cell.
  bool isValueCell(int row, int column) const;

  // Value cells; out-of-table positions read 0 and are not written.
  std::uint16_t value(int row, int column) const;
  // Shows `value` without telling anyone (cellValueChanged is not emitted).
  void setValue(int row, int column, std::uint16_t value);
  // The operator's edit: stores `value` and emits cellValueChanged when it
  // differs from what the cell held. Returns true when it changed.
  bool commitValue(int row, int column, std::uint16_t value);

  // Backgrounds as 0xRRGGBB: the colour column's cell of a row, and any cell.
  void setRowColor(int row, std::uint32_t rgb);
  std::uint32_t rowColor(int row) const;
  void setCellBackground(int row, int column, std::uint32_t rgb);
  std::uint32_t cellBackground(int row, int column) const;

  // Row labels (the vertical header) and their text colours.
  void setRowLabel(int row, const QString& label);
  QString rowLabel(int row) const;
  void setRowLabelColor(int row, std::uint32_t rgb);
  // The label colour set last; nullopt while the style's colour is used.
  std::optional<std::uint32_t> rowLabelColor(int row) const;

  // Column headings (value and colour columns).
  void setColumnHeading(int column, const QString& text);
  QString columnHeading(int column) const;

 signals:
  // The operator changed the value of a cell.
  void cellValueChanged(int row, int column, std::uint16_t value);

 private:
  QTableWidgetItem* cell(int row, int column) const;
  QTableWidgetItem* rowHeader(int row) const;

  int valueColumns_;
  bool hasColorColumn_;
};

}  // namespace drq::gui
