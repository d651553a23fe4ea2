#include "gui/pages/OffsetPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "gui/common/TextConversion.h"
#include "gui/popups/Help.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpSendOffset =
    "Offset values for RED,GREEN and BLUE will be send to the EEPROM of the sensor.";
constexpr const char* kHelpGetOffset =
    "Offset values for RED,GREEN and BLUE will be read from the sensor.";
constexpr const char* kHelpCalcOffset = "Detect the offset values for RED, GREEN and BLUE. ";
constexpr const char* kHelpEditOffset = "Edit Box for the offset values. ";
constexpr const char* kHelpClose = "Close PANEL and return to MAIN PANEL. ";

}  // namespace

OffsetPage::OffsetPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("OFFSET"), parent),
      sendOffset_(new QPushButton(QStringLiteral("SEND OFFSET"), this)),
      getOffset_(new QPushButton(QStringLiteral("GET OFFSET"), this)),
      calcOffset_(new QPushButton(QStringLiteral("CALCULATE OFFSET"), this)),
      closeButton_(new QPushButton(QStringLiteral("CLOSE"), this)) {
  setObjectName(QStringLiteral("OffsetPage"));
  Popups& popups = context.popups;

  auto* box = new QGroupBox(QStringLiteral("OFFSET COMPENSATION"), this);
  box->setObjectName(QStringLiteral("OffsetCompensation"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  const char* captions[] = {"OFFSET RED", "OFFSET GREEN", "OFFSET BLUE"};
  const char* names[] = {"EditOffsetR", "EditOffsetG", "EditOffsetB"};
  for (std::size_t c = 0; c < 3; ++c) {
    const QString caption = QString::fromLatin1(captions[c]);
    auto* spin = new QSpinBox(box);
    spin->setObjectName(QString::fromLatin1(names[c]));
    spin->setAccessibleName(caption);
    spin->setRange(0, 65535);
    spin->setKeyboardTracking(false);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    spin->setAccelerated(true);
    installHelp(spin, popups, QString::fromLatin1(kHelpEditOffset));
    auto* label = new QLabel(caption, box);
    label->setBuddy(spin);
    installHelp(label, popups, QString::fromLatin1(kHelpEditOffset));
    grid->addWidget(label, 0, static_cast<int>(c));
    grid->addWidget(spin, 1, static_cast<int>(c));
    fields_[c] = spin;
  }

  const std::array<std::pair<QPushButton*, const char*>, 4> buttons = {
      std::pair{sendOffset_, "ButtonSendOffset"}, std::pair{getOffset_, "ButtonGetOffset"},
      std::pair{calcOffset_, "ButtonCalcOffset"},
      std::pair{closeButton_, "ButtonCloseOffsetCompensation"}};
  const char* helps[] = {kHelpSendOffset, kHelpGetOffset, kHelpCalcOffset, kHelpClose};
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    QPushButton* button = buttons[i].first;
    button->setObjectName(QString::fromLatin1(buttons[i].second));
    button->setAccessibleName(button->text());
    installHelp(button, popups, QString::fromLatin1(helps[i]));
  }
  connect(sendOffset_, &QPushButton::clicked, this, &OffsetPage::CBF_ButtonSendOffset);
  connect(getOffset_, &QPushButton::clicked, this, &OffsetPage::CBF_ButtonGetOffset);
  connect(calcOffset_, &QPushButton::clicked, this, &OffsetPage::CBF_ButtonCalcOffset);
  connect(closeButton_, &QPushButton::clicked, this,
          &OffsetPage::CBF_ButtonCloseOffsetCompensation);

  auto* operations = new QHBoxLayout();
  operations->addWidget(sendOffset_);
  operations->addWidget(getOffset_);
  operations->addWidget(calcOffset_);
  grid->addLayout(operations, 2, 0, 1, 3);

  pageLayout()->addWidget(box);
  pageLayout()->addStretch(1);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(closeButton_);
  pageLayout()->addLayout(row);
  // The buttons, created first, are read after the values they act on.
  chainTabOrder(*this, {fields_[0], fields_[1], fields_[2], sendOffset_, getOffset_, calcOffset_,
                        closeButton_});
}

void OffsetPage::registerOperationButtons(ButtonDimmer& dimmer) {
  for (QPushButton* button : {sendOffset_, getOffset_, calcOffset_}) {
    dimmer.add(ButtonDimmer::Group::Always, button);
  }
}

ChannelWords OffsetPage::offsets() const {
  ChannelWords words{};
  for (std::size_t c = 0; c < 3; ++c) words[c] = static_cast<std::uint16_t>(fields_[c]->value());
  return words;
}

void OffsetPage::setOffsets(const ChannelWords& offsets) {
  for (std::size_t c = 0; c < 3; ++c) fields_[c]->setValue(offsets[c]);
}

void OffsetPage::showCalibration(const CalibrationValues& values) {
  setOffsets(values.offsets);
}

void OffsetPage::showRead(const CalibrationValues& values) {
  setOffsets(values.offsets);
  emit calibrationRead(values);
}

int OffsetPage::GetCF() {
  CalibrationValues values;
  if (drq::GetCF(context().session.link, values) != 1) return -1;
  showRead(values);
  return 1;
}

int OffsetPage::SendOffset() {
  return drq::SendOffset(context().session.link, offsets());
}

int OffsetPage::CalcOffset() {
  CalibrationValues values;
  if (drq::CalcOffset(context().session.link, values) != 1) return -1;
  showRead(values);
  return 1;
}

void OffsetPage::CBF_ButtonSendOffset() {
  if (OperationGuard guard = context().operations.start(Operation::SendOffsets)) SendOffset();
}

void OffsetPage::CBF_ButtonGetOffset() {
  if (OperationGuard guard = context().operations.start(Operation::GetOffsets)) GetCF();
}

void OffsetPage::CBF_ButtonCalcOffset() {
  if (!context().operations.canStart()) return;
  if (!context().popups.ConfirmPopup(qStringFromLatin1(kTitleCalculateOffset),
                                     qStringFromLatin1(kMsgCoverReceiver))) {
    return;
  }
  if (OperationGuard guard = context().operations.start(Operation::OffsetCalculation)) {
    CalcOffset();
  }
}

}  // namespace drq::gui
