#pragma once

#include <QTableWidget>

#include "core/attrs/RowAttributeSections.h"
#include "gui/pages/TabPage.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

// Main tab page "TABLE ATTR.": the specification table lists every teach row
// with its specification text (column 1) and its colour (column 2). Below it
// the sensor temperature of the live frame.
class TableAttributesPage : public TabPage {
  Q_OBJECT
 public:
  explicit TableAttributesPage(ShellContext& context, QWidget* parent = nullptr);

  QTableWidget* specificationTable() const { return table_; }

  // Specification texts of the 64 rows (column 1).
  attrs::RowSpecifications rowSpecifications() const;
  void setRowSpecifications(const attrs::RowSpecifications& rowTexts);

  // Copies the colours shown in column 2 into colors[0..63].
  void readRowColors(RowColorArray& colors) const;

  void applyRowColors(const RowColorArray& colors) override;
  void colorRowLabels(const RowLabelPlan& plan) override;

  // The temperature display (word 10 of the live frame).
  void showTemperature(int value) { temperature_->setValue(value); }
  ValueDisplay* temperatureDisplay() const { return temperature_; }

 private:
  QTableWidget* table_;
  ValueDisplay* temperature_;
};

}  // namespace drq::gui
