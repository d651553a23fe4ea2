#pragma once

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <cstdint>

#include "gui/pages/TabPage.h"
#include "gui/widgets/ValueRing.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui {

// Main tab page "GROUP/HOLD": the COLOR GROUP switch, the group table (GROUP
// of teach row r in row r + 1, shown as 1..64, with the row colour), the hold
// table (row 1 HOLD FAIL, then HOLD of teach row r in row r + 2, with the row
// colour), the hold reset value and the reset buttons of both tables.
//
// Object names: EditColorGroups, EditGridGroups, EditGridHold, EditHold (the
// hold table's caption, which carries the hold time help), EditResetHold,
// ButtonResetGroupTable, ButtonResetHoldTable.
class GroupHoldPage final : public TabPage {
  Q_OBJECT
 public:
  explicit GroupHoldPage(ShellContext& context, QWidget* parent = nullptr);

  // HOLD FAIL, COLOR GROUP, and GROUP and HOLD of the 64 teach rows.
  void GetPanelValues(ParaSet& working) override;
  void SetPanelValues(const ParaSet& working) override;
  // Colour column: teach row r in row r of the group table and row r + 1 of
  // the hold table.
  void applyRowColors(const RowColorArray& colors) override;
  // COLOR GROUP (its cell), the group table and its RESET; COLOR GROUP's value.
  void registerRuleControls(RuleControls& controls) override;
  // The group and hold tables' row labels.
  void colorRowLabels(const RowLabelPlan& plan) override;
  // A GROUP cell after the group limit: its value and background.
  void showGroupCell(const GroupCellState& cell);

  // --- Access for the mode rules and tests ---------------------------------
  ValueRing* colorGroupSwitch() const { return colorGroup_; }
  // The switch with its caption (dim this).
  QWidget* colorGroupCell() const { return colorGroupCell_; }
  // Group table: value column 0, row index = teach row. Its cells' backgrounds
  // (setCellBackground) mark values the group limit changed.
  WordTable* groupTable() const { return groupTable_; }
  // Hold table: value column 0, row 0 HOLD FAIL, row index r + 1 = teach row r.
  WordTable* holdTable() const { return holdTable_; }
  QSpinBox* holdResetValue() const { return holdReset_; }
  QPushButton* groupResetButton() const { return resetGroups_; }
  QPushButton* holdResetButton() const { return resetHold_; }

 public slots:
  // COLOR GROUP committed: the mode rules join through modeControlCommitted.
  void CBF_EditColorGroups();
  // A group cell changed: the mode rules join through groupCellCommitted.
  void CBF_EditGridGroups(int row, int column, std::uint16_t value);
  // Help only.
  void CBF_EditGridHold();
  void CBF_EditResetHold();
  // After the operator confirms, every GROUP becomes 0 with a white
  // background / every hold time (HOLD FAIL included) the hold reset value.
  // The working set takes them at the next reading of the panels.
  void CBF_ButtonResetGroupTable();
  void CBF_ButtonResetHoldTable();

 signals:
  // `word` is the ParaWord of the control.
  void modeControlCommitted(int word);
  // The operator changed the GROUP of teach row `row`.
  void groupCellCommitted(int row);

 private:
  ValueRing* colorGroup_;
  QWidget* colorGroupCell_;
  WordTable* groupTable_;
  WordTable* holdTable_;
  QSpinBox* holdReset_;
  QPushButton* resetGroups_;
  QPushButton* resetHold_;
};

}  // namespace drq::gui
