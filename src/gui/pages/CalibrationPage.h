#pragma once

#include <QFrame>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

#include "core/calib/Calibration.h"
#include "core/calib/WhiteCalibration.h"
#include "gui/pages/TabPage.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

// Main tab page "CALIBRATION": the calibration factors CF red, green and blue
// (0..4096, 1024 leaves a channel as it is), reading and sending them, the
// white calibration (the tool averages 100 frames of a white target and
// computes the factors for the set value) and the sensor's self-calibration.
// It shows the raw channels of the live frame twice (numbers and bars), their
// spread (raw delta) and bars of the calibrated channels. Its decoration
// opens the password popup on a right double-click.
//
// The operations run on the user-interface thread with blocking exchanges;
// they dim the shared operation buttons around their work. A failed exchange
// has been reported by the link and changes nothing on the page.
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
  QSpinBox* factorField(int channel) const { return factorFields_[index(channel)]; }
  QSpinBox* setValueField() const { return setValue_; }
  QSpinBox* maxDeltaField() const { return maxDelta_; }
  QPushButton* sendCFButton() const { return sendCF_; }
  QPushButton* getCFButton() const { return getCF_; }
  QPushButton* calcCFButton() const { return calcCF_; }
  QPushButton* selfCalibrationButton() const { return selfCalibration_; }

  // The factors as the page shows them, and showing new ones (a factor above
  // 4096 shows at 4096, named in an "ATTENTION!" popup).
  ChannelWords factors() const;
  void setFactors(const ChannelWords& factors);
  std::uint16_t setValue() const;
  std::uint16_t maxDelta() const;

  // The averages of the last white calibration (none before the first).
  const std::optional<WhiteResult>& lastWhiteCalibration() const { return lastWhite_; }
  // The colour (0xRRGGBB) the calculate button was given last; none before
  // the first white calibration.
  std::optional<std::uint32_t> calcButtonColor() const { return calcColor_; }

  // The four operation buttons, always dimmed with the others.
  void registerOperationButtons(ButtonDimmer& dimmer) override;

  // --- Operations (also used by the offset page and the hardware file) ------
  // GetCF: reads factors and offsets; shows the factors here and hands both
  // on (calibrationRead). 1, or -1 when the exchange failed.
  int GetCF();
  // SendCF: sends the factors shown. 1, or -1 when the exchange failed.
  int SendCF();
  // StartSelfCalibration: the sensor computes the factors; they, the set
  // value and the maximum delta are shown, followed by the reminder to send
  // them. Nothing is stored in the sensor.
  int StartSelfCalibration();
  // CalcCF: the white calibration's measurement and computation, up to its
  // popups; the factors change only when it passes. Returns the result, or
  // nothing when the operator declined.
  std::optional<WhiteResult> CalcCF();

 public slots:
  // Shows the factors of a GetCF run elsewhere (the offset page).
  void showCalibration(const drq::CalibrationValues& values);

  // Control callbacks.
  void CBF_ButtonSendCF();
  void CBF_ButtonGetCF();
  // The white calibration: SEND POWER question, CalcCF, SendCF (always),
  // then the live acquisition (liveAcquisitionRequested), which runs until
  // stopped.
  void CBF_ButtonCalcCF();
  void CBF_ButtonStartSelfCalibration();
  // The edit fields have no callback: their values act only when the
  // factors are sent or filed.

 signals:
  // CBF_DecoCalibrate1: the operator asks for the password popup.
  void passwordRequested();
  // GetCF succeeded here: the offsets belong on the offset page.
  void calibrationRead(const drq::CalibrationValues& values);
  // The white calibration ends in continuous live acquisition (GO); the
  // receiver runs it and returns when it has stopped.
  void liveAcquisitionRequested();

 private:
  static std::size_t index(int channel) { return static_cast<std::size_t>(channel); }
  QWidget* buildLiveDisplays();
  QWidget* buildFactorControls();
  QWidget* buildCalibrationControls();
  QSpinBox* addWordField(const QString& name, const char* objectName, int maximum, int value,
                         const char* help);
  QPushButton* addButton(const QString& text, const char* objectName, const char* help);
  bool askSendPower();
  // Shows `value` in `field`, held to its range; a held value is noted in
  // `limited` ("CF RED 5000 -> 4096").
  static void showLimited(QSpinBox* field, int value, QStringList& limited);
  // The notice of values the fields had to limit, if any.
  void tellLimited(const QStringList& limited);
  void paintCalcButton(std::uint32_t rgb);

  QFrame* decoration_ = nullptr;
  std::array<ValueDisplay*, 3> rawNumbers_{};
  std::array<LevelBar*, 3> rawBars_{};
  std::array<LevelBar*, 3> calibratedBars_{};
  ValueDisplay* rawDelta_ = nullptr;
  std::array<QSpinBox*, 3> factorFields_{};
  QSpinBox* setValue_ = nullptr;
  QSpinBox* maxDelta_ = nullptr;
  QPushButton* sendCF_ = nullptr;
  QPushButton* getCF_ = nullptr;
  QPushButton* calcCF_ = nullptr;
  QPushButton* selfCalibration_ = nullptr;
  std::optional<WhiteResult> lastWhite_;
  std::optional<std::uint32_t> calcColor_;
};

}  // namespace drq::gui
