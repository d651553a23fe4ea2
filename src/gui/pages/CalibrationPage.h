#pragma once

#include <QFrame>

#include "gui/pages/TabPage.h"

namespace drq::gui {

// Main tab page "CALIBRATION": calibration factors and self-calibration. Its
// decoration opens the password popup on a right double-click.
class CalibrationPage : public TabPage {
  Q_OBJECT
 public:
  explicit CalibrationPage(ShellContext& context, QWidget* parent = nullptr);

  QFrame* decoration() const { return decoration_; }

 signals:
  // CBF_DecoCalibrate1: the operator asks for the password popup.
  void passwordRequested();

 private:
  QFrame* decoration_;
};

}  // namespace drq::gui
