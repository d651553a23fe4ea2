#include "gui/pages/CalibrationPage.h"

#include "gui/Help.h"

namespace drq::gui {

CalibrationPage::CalibrationPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("CALIBRATION"), parent), decoration_(new QFrame(this)) {
  setObjectName(QStringLiteral("CalibrationPage"));
  decoration_->setObjectName(QStringLiteral("DecoCalibrate1"));
  decoration_->setFrameShape(QFrame::StyledPanel);
  decoration_->setFrameShadow(QFrame::Sunken);
  decoration_->setMinimumHeight(120);
  // The decoration has no help text; only its right double-click acts.
  installRightDoubleClick(decoration_, [this] { emit passwordRequested(); });
  pageLayout()->addWidget(decoration_);
  pageLayout()->addStretch(1);
}

}  // namespace drq::gui
