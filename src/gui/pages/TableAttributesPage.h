#pragma once

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <cstdint>

#include "core/attrs/RowAttributeSections.h"
#include "gui/pages/TabPage.h"
#include "gui/widgets/ColorSelector.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/ToggleSwitch.h"

namespace drq::gui {

// Main tab page "TABLE ATTR.": the colour and the specification text of every
// teach row, kept on the PC only.
//
// - The row-colour switch (MANUALLY / AUTOMATICALLY): in automatic mode
//   Teach data to gives the taught row the measured colour, and the controls
//   for setting colours by hand are dimmed.
// - ROW (0..63), COLOR (0xRRGGBB) and SET ROW COLOR: assign a colour by hand.
// - The specification table: 64 rows shown as 1..64 (teach row r in row
//   r + 1); column 1 the row specification (up to 99 bytes of UTF-8 text),
//   column 2 the row colour as the cell's background. In manual mode a double
//   click (or Enter) on a colour cell opens a colour dialog for that row.
// - SAVE TO FILE, GET FROM FILE: the table attributes file; RESET: the default
//   colours and empty texts.
// - The sensor temperature of the live frame.
//
// Session::RowColors and the colour cells change together. The other tables
// and the graphs follow through rowColorsChanged; the display panel's colour
// patch through colorPatchShown.
//
// Object names: EditSetColor, EditRow, EditColorNumericRow, ButtonSetRowColor,
// TableSpecification, ButtonSaveArray, ButtonGetArray, ButtonTableAttrReset,
// DispTemp.
class TableAttributesPage : public TabPage {
  Q_OBJECT
 public:
  explicit TableAttributesPage(ShellContext& context, QWidget* parent = nullptr);

  // --- Controls ---------------------------------------------------------------
  QTableWidget* specificationTable() const { return table_; }
  ToggleSwitch* rowColorSwitch() const { return switch_; }
  QSpinBox* rowNumber() const { return row_; }
  ColorSelector* colorSelector() const { return color_; }
  QPushButton* setRowColorButton() const { return setRowColor_; }
  QPushButton* saveButton() const { return save_; }
  QPushButton* getButton() const { return get_; }
  QPushButton* resetButton() const { return reset_; }

  // The row-colour switch is on: teaching a row gives it the measured colour.
  bool automaticRowColors() const { return switch_->isChecked(); }

  // --- The table's content ------------------------------------------------------
  // Specification texts of the 64 rows (column 1), each cut to 99 bytes.
  attrs::RowSpecifications rowSpecifications() const;
  void setRowSpecifications(const attrs::RowSpecifications& rowTexts);
  // The colour shown in column 2 of teach row `row` (0..63).
  std::uint32_t rowColorCell(int row) const;
  // Copies the colours shown in column 2 into colors[0..63].
  void readRowColors(RowColorArray& colors) const;
  // Paints column 2 with colors[0..63].
  void applyRowColors(const RowColorArray& colors) override;
  void colorRowLabels(const RowLabelPlan& plan) override;

  // What the table attributes file and the panel settings file store: the
  // colour cells are read into Session::RowColors (a colour changed only in
  // a cell is kept) and copied with the texts into `colors` and `rowTexts`.
  void readRowAttributes(RowColorArray& colors, attrs::RowSpecifications& rowTexts);
  // Takes read row attributes: Session::RowColors[0..63] = colors[0..63] and
  // the texts into column 1. Painting follows with applyRowColors.
  void takeRowAttributes(const RowColorArray& colors, const attrs::RowSpecifications& rowTexts);

  // --- Operations -------------------------------------------------------------
  // Reads the switch: in automatic mode ROW, COLOR and SET ROW COLOR are
  // dimmed, in manual mode undimmed; colorPatchShown(automatic) follows.
  void InitSrcPanel();
  // Gives teach row ROW the colour COLOR: the cell, Session::RowColors, then
  // rowColorsChanged.
  void SetRowColor();
  // Asks for a file (new or existing) and writes the table attributes file.
  // Returns 1 when written, 0 when no file was chosen ("No file was
  // selected!"), -1 when the write failed (told under "ATTENTION!" with the
  // path and the system's reason; the old file stays intact).
  int SaveTableSettings();
  // Asks for an existing file and reads it, asking about another file type or
  // scope version (No: "No parameter where read!", nothing changes); rows
  // without a valid colour are listed under "Attention!"; then
  // rowColorsChanged. A file that cannot be read is told under "ATTENTION!"
  // with its path and the system's reason, and nothing changes. Returns 1
  // when the rows were taken, 0 when no file was chosen, -1 when the file
  // could not be read or the operator declined.
  int GetTableSettings();
  // After "Do you really want to reset the table?" is answered Yes: all 75
  // RowColors take their defaults, every text is emptied, rowColorsChanged.
  // Returns true when it reset.
  bool ResetTableAttributes();

  // The temperature display (word 10 of the live frame).
  void showTemperature(int value) { temperature_->setValue(value); }
  ValueDisplay* temperatureDisplay() const { return temperature_; }

 public slots:
  void CBF_EditSetColor();
  void CBF_EditRow();
  void CBF_EditColorNumericRow();
  void CBF_ButtonSetRowColor();
  void CBF_ButtonSaveArray();
  void CBF_ButtonGetArray();
  void CBF_ButtonTableAttrReset();

 signals:
  // Session::RowColors changed: paint the tables that list teach rows and
  // redraw the graphs.
  void rowColorsChanged();
  // InitSrcPanel ran: the display panel shows its colour patch only in
  // automatic mode.
  void colorPatchShown(bool shown);

 private:
  QTableWidgetItem* colorItem(int row) const;
  // Paints the colour cell of `row` and names it for a screen reader.
  void showRowColor(int row, std::uint32_t rgb);
  // A colour cell was activated: in manual mode, a colour dialog for its row.
  void chooseCellColor(int row, int column);
  FileSelection chooseFile(bool allowNew);

  QTableWidget* table_;
  ToggleSwitch* switch_;
  QSpinBox* row_;
  ColorSelector* color_;
  // The ROW and COLOR controls with their captions (what InitSrcPanel dims).
  QWidget* rowCell_;
  QWidget* colorCell_;
  QPushButton* setRowColor_;
  QPushButton* save_;
  QPushButton* get_;
  QPushButton* reset_;
  ValueDisplay* temperature_;
};

}  // namespace drq::gui
