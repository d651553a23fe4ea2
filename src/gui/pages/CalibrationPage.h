#pragma once

#include <QFrame>

#include <array>
#include <cstdint>

#include "gui/pages/TabPage.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

// Main tab page "CALIBRATION": calibration factors and self-calibration. It
// shows the raw channels of the live frame twice (numbers and bars), their
// spread (raw delta) and bars of the calibrated channels. Its decoration opens
// the password popup on a right double-click.
class CalibrationPage : public TabPage {
  Q_OBJECT
 public:
  explicit CalibrationPage(ShellContext& context, QWidget* parent = nullptr);

  QFrame* decoration() const { return decoration_; }

  // SetPanelCalibData's displays: raw red, green and blue (words 11 to 13) in
  // the numbers, then in the bars, then the raw delta.
  void showRawData(int red, int green, int blue, std::uint16_t rawDelta);
  // The calibrated channels (words 0 to 2) in their bars.
  void showCalibratedData(int red, int green, int blue);

  // Channel 0 red, 1 green, 2 blue.
  ValueDisplay* rawDisplay(int channel) const { return rawNumbers_[index(channel)]; }
  LevelBar* rawBar(int channel) const { return rawBars_[index(channel)]; }
  ValueDisplay* rawDeltaDisplay() const { return rawDelta_; }
  LevelBar* calibratedBar(int channel) const { return calibratedBars_[index(channel)]; }

 signals:
  // CBF_DecoCalibrate1: the operator asks for the password popup.
  void passwordRequested();

 private:
  static std::size_t index(int channel) { return static_cast<std::size_t>(channel); }
  QWidget* buildLiveDisplays();

  QFrame* decoration_;
  std::array<ValueDisplay*, 3> rawNumbers_{};
  std::array<LevelBar*, 3> rawBars_{};
  std::array<LevelBar*, 3> calibratedBars_{};
  ValueDisplay* rawDelta_ = nullptr;
};

}  // namespace drq::gui
