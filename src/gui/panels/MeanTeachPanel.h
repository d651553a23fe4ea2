#pragma once
// TEACHP1, the mean-value teach panel, shown in the main window's display area
// in place of the display panel while the operator captures frames of one
// target (live acquisition runs underneath and feeds its red, green and blue
// displays).
//
// Controls (object names after their callbacks): the live displays
// DispTP1Red/Green/Blue; the counter DispTP1Counter; the values table
// GridTP1Values (100 x 6: red, green, blue, X/s, Y/i, INT/M; capture k in row
// k) and the mean table GridTP1Mean; the distance displays DispTP1MaxDeltaXY
// and DispTP1MaxDeltaInt; the colour and intensity tolerance rings
// EditTP1TeachCtoWith / EditTP1TeachItoWith (VALUE, d, d + VALUE, KEEP TABLE
// VALUE) with their values EditTP1ValueCto / EditTP1ValueIto; the buttons
// ButtonTP1Capture, ButtonTP1Undo, ButtonTP1ResetTable, ButtonTP1Teach and
// ButtonCloseTeachPanel.
//
// The captures, means and counter live in the panel (MeanTeachState) for the
// whole run of the tool, across closing and reopening, until Undo or Reset
// removes them. The arithmetic is the core's (core/teach/MeanTeach.h).

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <array>

#include "core/live/LiveFrame.h"
#include "core/teach/MeanTeach.h"
#include "gui/panels/ChildPanelWidget.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/ValueRing.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui {

class TeachPanelHost;

class MeanTeachPanel : public ChildPanelWidget {
  Q_OBJECT
 public:
  explicit MeanTeachPanel(ShellContext& context, QWidget* parent = nullptr);

  // The window's side of the panel; nothing that needs it happens before.
  void setHost(TeachPanelHost& host) { host_ = &host; }

  // Opening (CBF_ButtonTeachMeanVal, after the panel is shown and labelled):
  // when no operation runs, starts the mean-value teach operation (the other
  // controls dimmed), redraws the teach figures and runs the live loop until
  // it ends.
  void startAcquisitionIfIdle();

  // SetPanelData's part: red, green and blue of the current frame.
  void showLiveColour(const LiveFrame& frame);

  const MeanTeachState& state() const { return state_; }

  // --- Controls (the mode rules relabel, dim and hide them; tests) ----------
  ValueDisplay* liveDisplay(int channel) const { return live_[static_cast<std::size_t>(channel)]; }
  ValueDisplay* counterDisplay() const { return counter_; }
  WordTable* valuesTable() const { return values_; }
  WordTable* meanTable() const { return means_; }
  ValueDisplay* colorDistanceDisplay() const { return colorDistance_; }
  ValueDisplay* intensityDistanceDisplay() const { return intensityDistance_; }
  ValueRing* colorSourceRing() const { return colorSource_; }
  ValueRing* intensitySourceRing() const { return intensitySource_; }
  QSpinBox* colorValue() const { return colorValue_; }
  QSpinBox* intensityValue() const { return intensityValue_; }
  // The rings and values with their captions (hide these to hide them).
  QWidget* colorSourceCell() const { return colorSourceCell_; }
  QWidget* intensitySourceCell() const { return intensitySourceCell_; }
  QWidget* colorValueCell() const { return colorValueCell_; }
  QWidget* intensityValueCell() const { return intensityValueCell_; }
  QPushButton* captureButton() const { return capture_; }
  QPushButton* undoButton() const { return undo_; }
  QPushButton* resetButton() const { return reset_; }
  QPushButton* teachButton() const { return teach_; }
  QPushButton* closeButton() const { return close_; }
  // The colour the Reset button shows (0xE0E0E0; 0xFF0000 while asking).
  std::uint32_t resetButtonColor() const { return resetColor_; }

  // The mode rules' controls: the headings of columns 4..6, the distances,
  // the tolerance rings and values, TEACH (InitTeachPanel). Relabelling the
  // colour distance recomputes the means and distances for the working
  // set's calculation mode.
  void registerRuleControls(RuleControls& controls) override;

  // Captions the rules set.
  // Column 4 + index (0..2) of both tables: "X", "Y", "INT" or "s", "i", "M".
  void setCoordinateHeading(int index, const QString& heading);
  void setColorDistanceLabel(const QString& text);
  void setIntensityDistanceLabel(const QString& text);
  void setColorValueLabel(const QString& text);
  void setIntensityValueLabel(const QString& text);
  void setColorSourceLabel(const QString& text);
  void setIntensitySourceLabel(const QString& text);
  QString colorSourceLabel() const { return colorSourceLabel_->text(); }
  // Items 0..2 of a tolerance ring; the fourth stays "KEEP TABLE VALUE".
  void setColorSourceItems(const std::array<QString, 3>& items);
  void setIntensitySourceItems(const std::array<QString, 3>& items);

 public slots:
  void CBF_ButtonTP1Capture();
  void CBF_ButtonTP1Undo();
  // The button turns red while the operator is asked; Yes resets.
  void CBF_ButtonTP1ResetTable();
  // TeachToTable into row No. of the teach table page, with the means and
  // distances recomputed for the calculation mode of the parameter page
  // first. TEACH is dimmed while nothing is captured and in THD RGB (the
  // mode rules); the slot does nothing then either.
  void CBF_ButtonTP1Teach();
  // A values cell edited by the operator: the means follow at once.
  void CBF_GridTP1Values(int row, int column, std::uint16_t value);
  // Clears RunFlag (the live loop ends) and shows the display panel again.
  void CBF_ButtonCloseTeachPanel();

 private:
  std::uint16_t calculationMode();
  // Shows the whole state in the controls.
  void showState();
  // The counter, the mean table and the distances.
  void showMeans();
  void makeActiveRow(std::size_t row);
  // Column widths for the headings, sideways scrolling where they do not fit.
  void fitColumnsToHeadings();
  // TEACH usable: captures to teach and a mode that teaches colours.
  void updateTeachButton();
  // The means and distances for `calculationMode` (with captures only).
  void recalculate(std::uint16_t calculationMode);
  void setResetColor(std::uint32_t rgb);
  static void setRingItems(ValueRing* ring, const std::array<QString, 3>& items);

  TeachPanelHost* host_ = nullptr;
  MeanTeachState state_;
  std::array<ValueDisplay*, 3> live_{};
  ValueDisplay* counter_;
  ValueDisplay* colorDistance_;
  ValueDisplay* intensityDistance_;
  WordTable* values_;
  WordTable* means_;
  QLabel* colorSourceLabel_;
  QLabel* intensitySourceLabel_;
  QLabel* colorValueLabel_;
  QLabel* intensityValueLabel_;
  ValueRing* colorSource_;
  ValueRing* intensitySource_;
  QSpinBox* colorValue_;
  QSpinBox* intensityValue_;
  QWidget* colorSourceCell_ = nullptr;
  QWidget* intensitySourceCell_ = nullptr;
  QWidget* colorValueCell_ = nullptr;
  QWidget* intensityValueCell_ = nullptr;
  QPushButton* capture_;
  QPushButton* undo_;
  QPushButton* reset_;
  QPushButton* teach_;
  QPushButton* close_;
  std::uint32_t resetColor_ = 0xE0E0E0;
  bool teachDimmedByMode_ = false;
};

}  // namespace drq::gui
