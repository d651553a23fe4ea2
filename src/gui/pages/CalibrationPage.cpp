#include "gui/pages/CalibrationPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "gui/Help.h"
#include "gui/charts/ChartStyle.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpDispBarsRaw = "Displays the RAW values of RED, GREEN and BLUE.";
constexpr const char* kHelpDispRawDelta =
    "Displays the delta of the raw values of RED, GREEN and BLUE. \nDelta is the peak to peak "
    "value of the lowest number of RED, GREEN or BLUE \nand the highest number of RED, GREEN or "
    "BLUE of the RAW-DATAS.";
constexpr const char* kHelpDispBars =
    "Displays the calibrated values of RED, GREEN and BLUE. \nFormula: CALIBRATED DATA = (RAW DATA "
    "* CF) / 1024 ";

// Full scale of the bars: the converter's range.
constexpr int kBarMaximum = 4096;

}  // namespace

CalibrationPage::CalibrationPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("CALIBRATION"), parent), decoration_(new QFrame(this)) {
  setObjectName(QStringLiteral("CalibrationPage"));
  decoration_->setObjectName(QStringLiteral("DecoCalibrate1"));
  decoration_->setFrameShape(QFrame::StyledPanel);
  decoration_->setFrameShadow(QFrame::Sunken);
  decoration_->setMinimumHeight(120);
  // The decoration has no help text; only its right double-click acts.
  installRightDoubleClick(decoration_, [this] { emit passwordRequested(); });
  pageLayout()->addWidget(buildLiveDisplays());
  pageLayout()->addWidget(decoration_);
  pageLayout()->addStretch(1);
}

QWidget* CalibrationPage::buildLiveDisplays() {
  Popups& popups = context().popups;
  auto* box = new QGroupBox(QStringLiteral("RAW DATA"), this);
  box->setObjectName(QStringLiteral("CalibrationLiveData"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);

  const char* captions[] = {"RED", "GREEN", "BLUE"};
  const char* names[] = {"Red", "Green", "Blue"};
  const QColor colors[] = {chart::kTraceRed, chart::kTraceGreen, chart::kTraceBlue};
  for (std::size_t c = 0; c < 3; ++c) {
    const int column = static_cast<int>(c);
    rawNumbers_[c] = new ValueDisplay(QString::fromLatin1(captions[c]), box);
    rawNumbers_[c]->setObjectName(QStringLiteral("DispRaw") + QLatin1String(names[c]));
    installHelp(rawNumbers_[c], popups, QString::fromLatin1(kHelpDispBarsRaw));
    grid->addWidget(rawNumbers_[c], 0, column);
  }
  rawDelta_ = new ValueDisplay(QStringLiteral("DELTA"), box);
  rawDelta_->setObjectName(QStringLiteral("DispRawDelta"));
  installHelp(rawDelta_, popups, QString::fromLatin1(kHelpDispRawDelta));
  grid->addWidget(rawDelta_, 0, 3);

  auto* rawCaption = new QLabel(QStringLiteral("RAW"), box);
  auto* calibratedCaption = new QLabel(QStringLiteral("CALIBRATED"), box);
  grid->addWidget(rawCaption, 1, 0, 1, 5);
  for (std::size_t c = 0; c < 3; ++c) {
    rawBars_[c] = new LevelBar(colors[c], kBarMaximum, box);
    rawBars_[c]->setObjectName(QStringLiteral("DispBarsRaw") + QLatin1String(names[c]));
    installHelp(rawBars_[c], popups, QString::fromLatin1(kHelpDispBarsRaw));
    grid->addWidget(rawBars_[c], 2 + static_cast<int>(c), 0, 1, 5);
  }
  grid->addWidget(calibratedCaption, 5, 0, 1, 5);
  for (std::size_t c = 0; c < 3; ++c) {
    calibratedBars_[c] = new LevelBar(colors[c], kBarMaximum, box);
    calibratedBars_[c]->setObjectName(QStringLiteral("DispBars") + QLatin1String(names[c]));
    installHelp(calibratedBars_[c], popups, QString::fromLatin1(kHelpDispBars));
    grid->addWidget(calibratedBars_[c], 6 + static_cast<int>(c), 0, 1, 5);
  }
  grid->setColumnStretch(4, 1);
  return box;
}

void CalibrationPage::showRawData(int red, int green, int blue, std::uint16_t rawDelta) {
  const int raw[] = {red, green, blue};
  for (std::size_t c = 0; c < 3; ++c) rawNumbers_[c]->setValue(raw[c]);
  for (std::size_t c = 0; c < 3; ++c) rawBars_[c]->setValue(raw[c]);
  rawDelta_->setValue(rawDelta);
}

void CalibrationPage::showCalibratedData(int red, int green, int blue) {
  const int calibrated[] = {red, green, blue};
  for (std::size_t c = 0; c < 3; ++c) calibratedBars_[c]->setValue(calibrated[c]);
}

}  // namespace drq::gui
