#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <cstdint>

#include "gui/pages/TabPage.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui {

// Main tab page "TEACH TABLE": the teach table (64 rows shown as 1..64;
// columns 0..4 CELL 0..4 of the teach row, column 5 its row colour), the row
// No. (0..63) that Teach data to writes, Inc (advance No. after each teach),
// and the Reset and Teach data to buttons.
//
// Object names: GridCtt, EditNo, RadioInc, ButtonResetTable,
// ButtonTeachDataTo; the No. field with its caption is "EditNoCell".
class TeachTablePage final : public TabPage {
  Q_OBJECT
 public:
  explicit TeachTablePage(ShellContext& context, QWidget* parent = nullptr);

  // CELL 0..4 of the 64 teach rows.
  void GetPanelValues(ParaSet& working) override;
  void SetPanelValues(const ParaSet& working) override;
  // Colour column: teach row r in row r.
  void applyRowColors(const RowColorArray& colors) override;

  // --- Access for the mode rules, teaching and tests --------------------------
  // Headings (setColumnHeading 0..4), row labels (setRowLabelColor) and the
  // column visibility (setColumnHidden) are the table's own.
  WordTable* teachTable() const { return table_; }
  QSpinBox* rowNumber() const { return no_; }
  // No. with its caption (hide this to hide No.).
  QWidget* rowNumberCell() const { return noCell_; }
  QCheckBox* autoIncrement() const { return inc_; }
  QPushButton* resetButton() const { return reset_; }
  QPushButton* teachDataToButton() const { return teachDataTo_; }

  // ResetTable: No. becomes 0 and CELL 0..4 of every row 1. The working set
  // takes them at the next reading of the panels.
  void ResetTable();

 public slots:
  // The operator changed a cell: teachTableEdited follows.
  void CBF_GridCtt(int row, int column, std::uint16_t value);
  // No. committed: teachRowChosen follows.
  void CBF_EditNo();
  // Help only.
  void CBF_RadioInc();
  // After the operator confirms, ResetTable and tableReset.
  void CBF_ButtonResetTable();
  // Teach the current measurement into row No.: teachDataToRequested.
  void CBF_ButtonTeachDataTo();

 signals:
  void teachTableEdited(int row, int column);
  void teachRowChosen(int row);
  void tableReset();
  void teachDataToRequested();

 private:
  WordTable* table_;
  QSpinBox* no_;
  QWidget* noCell_;
  QCheckBox* inc_;
  QPushButton* reset_;
  QPushButton* teachDataTo_;
};

}  // namespace drq::gui
