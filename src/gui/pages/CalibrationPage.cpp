#include "gui/pages/CalibrationPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/charts/ChartStyle.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/KeyRoute.h"

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
constexpr const char* kHelpSendCF =
    "Calibration factors for RED,GREEN and BLUE will be send to the EEPROM of the sensor.";
constexpr const char* kHelpGetCF =
    "Calibration factors for RED,GREEN and BLUE will be read from the sensor.";
constexpr const char* kHelpCalcCF = "Calculate the calibration factors for RED, GREEN and BLUE. ";
constexpr const char* kHelpStartSelfCalibration =
    " Sensor calculates the calibration factors for RED, GREEN and BLUE. ";
constexpr const char* kHelpEditCF =
    "Edit Box for the calibration factor.\nDefault value is 1024. \nMinimum value is 0. \nMaximum "
    "value is 4096.";
constexpr const char* kHelpEditSetValue = "Choose the setvalue for RED,GREEN and BLUE. ";
constexpr const char* kHelpEditMaxDelta = "Choose the maximum DELTA value of RED,GREEN and BLUE. ";

// Full scale of the bars: the converter's range.
constexpr int kBarMaximum = 4096;
// Initial set value and maximum delta: a white target well inside the
// converter's range, and a spread a white target stays within.
constexpr int kDefaultSetValue = 1500;
constexpr int kDefaultMaxDelta = 400;

}  // namespace

CalibrationPage::CalibrationPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("CALIBRATION"), parent) {
  setObjectName(QStringLiteral("CalibrationPage"));
  // The controls scroll when the window is made smaller than they need.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("CalibrationScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes to the controls, not to the area
  auto* body = new QWidget(scroll);
  body->setObjectName(QStringLiteral("CalibrationBody"));
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(buildLiveDisplays());
  layout->addWidget(buildFactorControls());
  layout->addWidget(buildCalibrationControls());
  // Made last, so that it is the last Tab stop, below the controls.
  decoration_ = new QFrame(body);
  decoration_->setObjectName(QStringLiteral("DecoCalibrate1"));
  decoration_->setAccessibleName(QStringLiteral("Calibration"));
  decoration_->setFrameShape(QFrame::StyledPanel);
  decoration_->setFrameShadow(QFrame::Sunken);
  decoration_->setMinimumHeight(24);
  // It draws nothing of its own: with the keyboard on it, its frame shows it.
  decoration_->setStyleSheet(QStringLiteral(
      "QFrame#DecoCalibrate1:focus { border: 2px solid palette(highlight); border-radius: 2px; }"));
  // The decoration has no help text; its right double-click opens the
  // password popup, and so do its keys.
  installRightDoubleClick(decoration_, [this] { emit passwordRequested(); });
  decoration_->setToolTip(QStringLiteral("Service: the password for the offset page."));
  installKeyRoute(*decoration_, KeyRouteKind::Press, [this] { emit passwordRequested(); });
  layout->addWidget(decoration_, 1);
  scroll->setWidget(body);
  pageLayout()->setContentsMargins(4, 4, 4, 4);
  pageLayout()->addWidget(scroll, 1);
}

QWidget* CalibrationPage::buildLiveDisplays() {
  Popups& popups = context().popups;
  auto* box = new QGroupBox(QStringLiteral("RAW DATA"), this);
  box->setObjectName(QStringLiteral("CalibrationLiveData"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  grid->setContentsMargins(6, 4, 6, 4);

  const char* captions[] = {"RED", "GREEN", "BLUE"};
  const char* names[] = {"Red", "Green", "Blue"};
  const QColor colors[] = {chart::kTraceRed, chart::kTraceGreen, chart::kTraceBlue};
  for (std::size_t c = 0; c < 3; ++c) {
    const int column = static_cast<int>(c);
    rawNumbers_[c] = new ValueDisplay(QString::fromLatin1(captions[c]), box);
    rawNumbers_[c]->setObjectName(QStringLiteral("DispRaw") + QLatin1String(names[c]));
    rawNumbers_[c]->setAccessibleName(QStringLiteral("RAW ") + QLatin1String(captions[c]));
    installHelp(rawNumbers_[c], popups, QString::fromLatin1(kHelpDispBarsRaw));
    grid->addWidget(rawNumbers_[c], 0, column);
  }
  rawDelta_ = new ValueDisplay(QStringLiteral("DELTA"), box);
  rawDelta_->setObjectName(QStringLiteral("DispRawDelta"));
  rawDelta_->setAccessibleName(QStringLiteral("RAW DELTA"));
  installHelp(rawDelta_, popups, QString::fromLatin1(kHelpDispRawDelta));
  grid->addWidget(rawDelta_, 0, 3);

  // Raw bars on the left, calibrated bars on the right.
  auto* rawCaption = new QLabel(QStringLiteral("RAW"), box);
  auto* calibratedCaption = new QLabel(QStringLiteral("CALIBRATED"), box);
  grid->addWidget(rawCaption, 1, 0, 1, 2);
  grid->addWidget(calibratedCaption, 1, 2, 1, 2);
  for (std::size_t c = 0; c < 3; ++c) {
    rawBars_[c] = new LevelBar(colors[c], kBarMaximum, box);
    rawBars_[c]->setObjectName(QStringLiteral("DispBarsRaw") + QLatin1String(names[c]));
    rawBars_[c]->setAccessibleName(QStringLiteral("RAW ") + QLatin1String(captions[c]) +
                                   QStringLiteral(" BAR"));
    installHelp(rawBars_[c], popups, QString::fromLatin1(kHelpDispBarsRaw));
    grid->addWidget(rawBars_[c], 2 + static_cast<int>(c), 0, 1, 2);
  }
  for (std::size_t c = 0; c < 3; ++c) {
    calibratedBars_[c] = new LevelBar(colors[c], kBarMaximum, box);
    calibratedBars_[c]->setObjectName(QStringLiteral("DispBars") + QLatin1String(names[c]));
    calibratedBars_[c]->setAccessibleName(QStringLiteral("CALIBRATED ") +
                                          QLatin1String(captions[c]) + QStringLiteral(" BAR"));
    installHelp(calibratedBars_[c], popups, QString::fromLatin1(kHelpDispBars));
    grid->addWidget(calibratedBars_[c], 2 + static_cast<int>(c), 2, 1, 2);
  }
  for (int column = 0; column < 4; ++column) grid->setColumnStretch(column, 1);
  return box;
}

QSpinBox* CalibrationPage::addWordField(const QString& name, const char* objectName, int maximum,
                                        int value, const char* help) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(QString::fromLatin1(objectName));
  spin->setAccessibleName(name);
  spin->setRange(0, maximum);
  spin->setValue(value);
  spin->setKeyboardTracking(false);
  spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  spin->setAccelerated(true);
  installHelp(spin, context().popups, QString::fromLatin1(help));
  return spin;
}

QPushButton* CalibrationPage::addButton(const QString& text, const char* objectName,
                                        const char* help) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setAccessibleName(text);
  installHelp(button, context().popups, QString::fromLatin1(help));
  return button;
}

QWidget* CalibrationPage::buildFactorControls() {
  auto* box = new QGroupBox(QStringLiteral("CALIBRATION FACTORS"), this);
  box->setObjectName(QStringLiteral("CalibrationFactors"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  grid->setContentsMargins(6, 4, 6, 4);
  const char* captions[] = {"CF RED", "CF GREEN", "CF BLUE"};
  const char* names[] = {"EditCFR", "EditCFG", "EditCFB"};
  for (std::size_t c = 0; c < 3; ++c) {
    const QString caption = QString::fromLatin1(captions[c]);
    factorFields_[c] = addWordField(caption, names[c], kMaxFactor, kNeutralFactor, kHelpEditCF);
    auto* label = new QLabel(caption, box);
    label->setBuddy(factorFields_[c]);
    installHelp(label, context().popups, QString::fromLatin1(kHelpEditCF));
    grid->addWidget(label, 0, static_cast<int>(c));
    grid->addWidget(factorFields_[c], 1, static_cast<int>(c));
  }
  sendCF_ = addButton(QStringLiteral("SEND CF"), "ButtonSendCF", kHelpSendCF);
  getCF_ = addButton(QStringLiteral("GET CF"), "ButtonGetCF", kHelpGetCF);
  connect(sendCF_, &QPushButton::clicked, this, &CalibrationPage::CBF_ButtonSendCF);
  connect(getCF_, &QPushButton::clicked, this, &CalibrationPage::CBF_ButtonGetCF);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(sendCF_);
  buttons->addWidget(getCF_);
  grid->addLayout(buttons, 2, 0, 1, 3);
  return box;
}

QWidget* CalibrationPage::buildCalibrationControls() {
  auto* box = new QGroupBox(QStringLiteral("CALCULATION"), this);
  box->setObjectName(QStringLiteral("CalibrationCalculation"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  grid->setContentsMargins(6, 4, 6, 4);
  const QString setValueName = QStringLiteral("SET VALUE");
  const QString maxDeltaName = QStringLiteral("MAXIMUM DELTA OF RAW DATAS");
  setValue_ = addWordField(setValueName, "EditSetValue", kMaxWhiteSetValue, kDefaultSetValue,
                           kHelpEditSetValue);
  setValue_->setMinimum(kMinWhiteSetValue);
  maxDelta_ =
      addWordField(maxDeltaName, "EditMaxDelta", 65535, kDefaultMaxDelta, kHelpEditMaxDelta);
  const std::array<std::pair<QString, QSpinBox*>, 2> fields = {std::pair{setValueName, setValue_},
                                                               std::pair{maxDeltaName, maxDelta_}};
  const char* helps[] = {kHelpEditSetValue, kHelpEditMaxDelta};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    auto* label = new QLabel(fields[i].first, box);
    label->setBuddy(fields[i].second);
    installHelp(label, context().popups, QString::fromLatin1(helps[i]));
    grid->addWidget(label, static_cast<int>(i), 0);
    grid->addWidget(fields[i].second, static_cast<int>(i), 1);
  }
  calcCF_ = addButton(QStringLiteral("CALCULATE CF"), "ButtonCalcCF", kHelpCalcCF);
  selfCalibration_ = addButton(QStringLiteral("START SELF CALIBRATION"),
                               "ButtonStartSelfCalibration", kHelpStartSelfCalibration);
  // The button's colour is set while it blinks; it needs a filled background.
  calcCF_->setAutoFillBackground(true);
  connect(calcCF_, &QPushButton::clicked, this, &CalibrationPage::CBF_ButtonCalcCF);
  connect(selfCalibration_, &QPushButton::clicked, this,
          &CalibrationPage::CBF_ButtonStartSelfCalibration);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(calcCF_);
  buttons->addWidget(selfCalibration_);
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  return box;
}

void CalibrationPage::registerOperationButtons(ButtonDimmer& dimmer) {
  for (QPushButton* button : {sendCF_, getCF_, calcCF_, selfCalibration_}) {
    dimmer.add(ButtonDimmer::Group::Always, button);
  }
}

// --- Displays and values --------------------------------------------------------

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

ChannelWords CalibrationPage::factors() const {
  ChannelWords words{};
  for (std::size_t c = 0; c < 3; ++c) {
    words[c] = static_cast<std::uint16_t>(factorFields_[c]->value());
  }
  return words;
}

void CalibrationPage::setFactors(const ChannelWords& factors) {
  // A factor above the field's range (only a sensor could report one) shows
  // at 4096, and the operator is told: SEND CF would send the limited value.
  QStringList limited;
  for (std::size_t c = 0; c < 3; ++c) showLimited(factorFields_[c], factors[c], limited);
  tellLimited(limited);
}

void CalibrationPage::showLimited(QSpinBox* field, int value, QStringList& limited) {
  const int shown = std::clamp(value, field->minimum(), field->maximum());
  if (shown != value) {
    limited.append(
        QStringLiteral("%1 %2 -> %3").arg(field->accessibleName()).arg(value).arg(shown));
  }
  field->setValue(shown);
}

void CalibrationPage::tellLimited(const QStringList& limited) {
  if (limited.isEmpty()) return;
  context().popups.MessagePopup(
      QString::fromLatin1(kTitleAttention),
      QString::fromLatin1(kMsgValuesLimited) + limited.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

std::uint16_t CalibrationPage::setValue() const {
  return static_cast<std::uint16_t>(setValue_->value());
}

std::uint16_t CalibrationPage::maxDelta() const {
  return static_cast<std::uint16_t>(maxDelta_->value());
}

void CalibrationPage::showCalibration(const CalibrationValues& values) {
  setFactors(values.factors);
}

// --- Operations -----------------------------------------------------------------

int CalibrationPage::GetCF() {
  CalibrationValues values;
  if (drq::GetCF(context().session.link, values) != 1) return -1;
  setFactors(values.factors);
  emit calibrationRead(values);
  return 1;
}

int CalibrationPage::SendCF() {
  return drq::SendCF(context().session.link, factors());
}

int CalibrationPage::StartSelfCalibration() {
  SelfCalibration self;
  if (drq::StartSelfCalibration(context().session.link, self) != 1) return -1;
  QStringList limited;
  for (std::size_t c = 0; c < 3; ++c) showLimited(factorFields_[c], self.factors[c], limited);
  showLimited(setValue_, self.setValue, limited);
  maxDelta_->setValue(self.maxDelta);
  tellLimited(limited);
  context().popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                                qStringFromLatin1(kMsgConfirmSelfCalibration));
  return 1;
}

void CalibrationPage::paintCalcButton(std::uint32_t rgb) {
  calcColor_ = rgb;
  QPalette palette = calcCF_->palette();
  palette.setColor(QPalette::Button, QColor::fromRgb(static_cast<QRgb>(rgb)));
  calcCF_->setPalette(palette);
  // Drawn now: the loop may not give the event loop a turn before the next
  // exchange.
  calcCF_->repaint();
}

std::optional<WhiteResult> CalibrationPage::CalcCF() {
  Session& session = context().session;
  Popups& popups = context().popups;
  session.RunFlag.clear();
  if (Transport* transport = session.link.transport();
      transport != nullptr && transport->kind() == TransportKind::Serial) {
    transport->flush();
  }
  if (!popups.ConfirmPopup(qStringFromLatin1(kTitleConfirmCalculation),
                           qStringFromLatin1(kMsgConfirmCalculation))) {
    popups.MessagePopup(QString::fromLatin1(kTitleInfo),
                        qStringFromLatin1(kMsgCalculationDeclined));
    return std::nullopt;
  }

  class PageHooks final : public WhiteCalibrationHooks {
   public:
    explicit PageHooks(CalibrationPage& page) : page_(page) {}
    void blink(std::uint32_t rgb) override { page_.paintCalcButton(rgb); }
    void frameDecoded() override {
      const Session& s = page_.context().session;
      const LiveFrame& f = s.CurrentFrame;
      page_.showRawData(f[FrameWord::RawRed], f[FrameWord::RawGreen], f[FrameWord::RawBlue],
                        s.live.RawDelta);
    }

   private:
    CalibrationPage& page_;
  } hooks(*this);

  const WhiteFrames frames = collectWhiteFrames(session, hooks);
  WhiteResult result = computeWhiteCalibration(frames, setValue(), maxDelta());
  lastWhite_ = result;
  if (result.passed()) setFactors(result.factors);
  popups.MessagePopup(qStringFromLatin1(result.title()), qStringFromLatin1(result.message()));
  return result;
}

// --- Callbacks ------------------------------------------------------------------

void CalibrationPage::CBF_ButtonSendCF() {
  if (OperationGuard guard = context().operations.start(Operation::SendCalibration)) SendCF();
}

void CalibrationPage::CBF_ButtonGetCF() {
  if (OperationGuard guard = context().operations.start(Operation::GetCalibration)) GetCF();
}

bool CalibrationPage::askSendPower() {
  return context().popups.ConfirmPopup(qStringFromLatin1(kTitleSendPower),
                                       qStringFromLatin1(kMsgSendPower));
}

void CalibrationPage::CBF_ButtonCalcCF() {
  Operations& operations = context().operations;
  if (!operations.canStart() || !askSendPower()) return;
  {
    OperationGuard guard = operations.start(Operation::WhiteCalibration);
    if (!guard) return;
    CalcCF();
    // Closed meanwhile: nothing more goes to the sensor.
    if (operations.ending()) return;
    // The factors the page shows go to the sensor whatever the calculation
    // gave: new ones, or the old ones after a rejection.
    SendCF();
  }
  // The calibration ends in live acquisition, an operation of its own.
  emit liveAcquisitionRequested();
}

void CalibrationPage::CBF_ButtonStartSelfCalibration() {
  Operations& operations = context().operations;
  if (!operations.canStart() || !askSendPower()) return;
  if (OperationGuard guard = operations.start(Operation::SelfCalibration)) StartSelfCalibration();
}

}  // namespace drq::gui
