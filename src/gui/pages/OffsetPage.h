#pragma once

#include <QPushButton>
#include <QSpinBox>

#include <array>

#include "core/calib/Calibration.h"
#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "OFFSET", hidden until the password unlocks it: the dark
// offsets of the receiver's red, green and blue channels. They can be read
// (with the factors, which go to the calibration page), sent, or measured by
// the sensor with its receiver covered. Its close button hides it again.
class OffsetPage : public TabPage {
  Q_OBJECT
 public:
  explicit OffsetPage(ShellContext& context, QWidget* parent = nullptr);

  // Channel 0 red, 1 green, 2 blue.
  QSpinBox* offsetField(int channel) const { return fields_[static_cast<std::size_t>(channel)]; }
  QPushButton* sendOffsetButton() const { return sendOffset_; }
  QPushButton* getOffsetButton() const { return getOffset_; }
  QPushButton* calcOffsetButton() const { return calcOffset_; }
  QPushButton* closeButton() const { return closeButton_; }

  ChannelWords offsets() const;
  void setOffsets(const ChannelWords& offsets);

  // The three operation buttons, always dimmed with the others (not close).
  void registerOperationButtons(ButtonDimmer& dimmer) override;

  // --- Operations ----------------------------------------------------------
  // GetCF: reads factors and offsets; shows the offsets here and hands both
  // on (calibrationRead). 1, or -1 when the exchange failed.
  int GetCF();
  // SendOffset: sends the offsets shown.
  int SendOffset();
  // CalcOffset: the sensor measures and stores its offsets; then GetCF.
  int CalcOffset();

 public slots:
  // Shows the offsets of a GetCF run elsewhere (the calibration page, the
  // hardware file).
  void showCalibration(const drq::CalibrationValues& values);

  // Control callbacks.
  void CBF_ButtonSendOffset();
  void CBF_ButtonGetOffset();
  // Asks "Make sure, that the receiver of the sensor is covered!" (CALCULATE
  // OFFSET); on yes CalcOffset.
  void CBF_ButtonCalcOffset();
  // The edit fields have no callback: their values act only when the
  // offsets are sent or filed.
  // Hides the page and shows the parameter page (closeRequested); nothing is
  // dimmed.
  void CBF_ButtonCloseOffsetCompensation() { emit closeRequested(); }

 signals:
  // CBF_ButtonCloseOffsetCompensation: hide the page, show the parameter page.
  void closeRequested();
  // GetCF succeeded here: the factors belong on the calibration page.
  void calibrationRead(const drq::CalibrationValues& values);

 private:
  void showRead(const CalibrationValues& values);

  std::array<QSpinBox*, 3> fields_{};
  QPushButton* sendOffset_;
  QPushButton* getOffset_;
  QPushButton* calcOffset_;
  QPushButton* closeButton_;
};

}  // namespace drq::gui
