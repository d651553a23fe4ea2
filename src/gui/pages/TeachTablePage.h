#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

#include <cstdint>
#include <vector>

#include "core/teach/CellSelection.h"
#include "gui/pages/TabPage.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui {

// Main tab page "TEACH TABLE": the teach table (64 rows shown as 1..64;
// columns 0..4 CELL 0..4 of the teach row, column 5 its row colour), the row
// No. (0..63) that Teach data to writes, Inc (advance No. after each teach),
// and the Reset and Teach data to buttons.
//
// A right click on the table opens its menu instead of the help: "Help",
// "Set selection to", "Increment selection with", "Reset selection", "Teach
// tolerance off", "Teach tolerance on". The selection operations change only
// the editable cells (columns 0..4, also where the mode hides a column), then
// announce
// selectionEdited.
//
// Object names: GridCtt, EditNo, RadioInc, ButtonResetTable,
// ButtonTeachDataTo; the No. field with its caption is "EditNoCell"; the menu
// GridCttMenu and its items GridCttHelp, GridCttSetSelectionTo,
// GridCttIncrementSelectionWith, GridCttResetSelection, GridCttTeachTolOff,
// GridCttTeachTolOn.
class TeachTablePage final : public TabPage {
  Q_OBJECT
 public:
  explicit TeachTablePage(ShellContext& context, QWidget* parent = nullptr);

  // CELL 0..4 of the 64 teach rows.
  void GetPanelValues(ParaSet& working) override;
  void SetPanelValues(const ParaSet& working) override;
  // Colour column: teach row r in row r.
  void applyRowColors(const RowColorArray& colors) override;
  // Column headings 1..5 (shown, hidden, relabelled), Reset, Teach data to,
  // No. and Inc.
  void registerRuleControls(RuleControls& controls) override;
  void colorRowLabels(const RowLabelPlan& plan) override;

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

  // The table's context menu and its items.
  enum class MenuItem {
    Help,
    SetSelectionTo,
    IncrementSelectionWith,
    ResetSelection,
    TolOff,
    TolOn
  };
  QMenu* contextMenu() const { return menu_; }
  QAction* menuAction(MenuItem item) const;
  // TeachTolOff: true while taught rows keep their tolerance cells. False at
  // start; the menu item naming the current state is dimmed.
  bool teachToleranceOff() const { return teachTolOff_; }

  // The table's selection as the operator sees it (rows and columns from 1);
  // empty when nothing is selected.
  GridSelection selection() const;
  // True for a cell the selection operations may change: a value cell of a
  // column the operator can see.
  bool isEditableCell(GridCell cell) const;

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

  // The context menu's items.
  void CBF_GridCttHelp();
  // Prompt for a value (0..65535) and give it to every editable selected cell.
  void CBF_GridCttSetSelectionTo();
  // Prompt for an increment (-65535..65535): the first editable cell keeps
  // its value, each following one gets the increment more (16-bit wrap).
  void CBF_GridCttIncrementSelectionWith();
  // Every editable selected cell becomes 1.
  void CBF_GridCttResetSelection();
  void CBF_GridCttTeachTolOff();
  void CBF_GridCttTeachTolOn();

 signals:
  void teachTableEdited(int row, int column);
  void teachRowChosen(int row);
  void tableReset();
  void teachDataToRequested();
  // A selection operation changed cells.
  void selectionEdited();

 private:
  QMenu* buildMenu();
  void showContextMenu(const QPoint& position);
  // Writes the planned cells; announces selectionEdited when any were written.
  void writeCells(const std::vector<CellAssignment>& cells);
  // The prompt "VALUE!" / "Insert a cell value!"; nullopt when cancelled.
  std::optional<QString> promptValue();
  // An answer the parsers refused: a whole number out of range gets a short
  // notice (`rangeNotice`); anything else is dropped silently, like a cancel.
  void refuseAnswer(const QString& answer, const char* rangeNotice);
  void showToleranceState();

  WordTable* table_;
  QSpinBox* no_;
  QWidget* noCell_;
  QCheckBox* inc_;
  QPushButton* reset_;
  QPushButton* teachDataTo_;
  QMenu* menu_ = nullptr;
  bool teachTolOff_ = false;
};

}  // namespace drq::gui
