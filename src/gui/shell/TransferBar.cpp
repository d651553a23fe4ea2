#include "gui/shell/TransferBar.h"

#include <QGridLayout>

#include "gui/popups/Help.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpSend =
    "All the parameters of the PC-User-Interface are transferred to the sensor or to a selectable "
    "file. \nThe target of the parameter transfer is determined by the select button (RAM, "
    "EEPROM, FILE). \n\nShortcut Key: F9. ";
constexpr const char* kHelpGet =
    "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of the "
    "parameter transfer is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut "
    "Key: F10. ";
constexpr const char* kHelpMem =
    "Select source respectively the target for the parameter transfer.";
constexpr const char* kHelpParaSet = "Select parameter set which should be transfered.";
constexpr const char* kHelpGo =
    "Start reading the current measurement from the sensor continuously. \n\nShortcut Key: F11. ";
constexpr const char* kHelpStop =
    "Stop reading measurements from the sensor. \n\nShortcut Key: F12. ";

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setMinimumHeight(26);
  return button;
}

QPushButton* makeToggle(const QString& text, const QString& name, QWidget* parent) {
  QPushButton* button = makeButton(text, name, parent);
  button->setCheckable(true);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

}  // namespace

TransferBar::TransferBar(ShellContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      send_(makeButton(QStringLiteral("SEND"), QStringLiteral("ButtonSend"), this)),
      get_(makeButton(QStringLiteral("GET"), QStringLiteral("ButtonGet"), this)),
      go_(makeButton(QStringLiteral("GO"), QStringLiteral("ButtonGo"), this)),
      stop_(makeButton(QStringLiteral("STOP"), QStringLiteral("ButtonStop"), this)),
      ram_(makeToggle(QStringLiteral("RAM"), QStringLiteral("SelectMemRam"), this)),
      eeprom_(makeToggle(QStringLiteral("EEPROM"), QStringLiteral("SelectMemEeprom"), this)),
      file_(makeToggle(QStringLiteral("FILE"), QStringLiteral("SelectMemFile"), this)),
      set0_(makeToggle(QStringLiteral("ParaSet0"), QStringLiteral("SelectParaSet0"), this)),
      set1_(makeToggle(QStringLiteral("ParaSet1"), QStringLiteral("SelectParaSet1"), this)),
      memGroup_(new QButtonGroup(this)),
      setGroup_(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("TransferBar"));
  // The chosen target and set stand out clearly.
  setStyleSheet(QStringLiteral(
      "QPushButton:checked { background-color: #2E4A70; color: white; border: 1px solid #1B2B45;"
      " border-radius: 3px; padding: 3px; }"
      "QPushButton:checked:disabled { background-color: #8A9AB0; color: #EEEEEE; }"));
  Popups& popups = context.popups;

  send_->setShortcut(QKeySequence(Qt::Key_F9));
  get_->setShortcut(QKeySequence(Qt::Key_F10));
  go_->setShortcut(QKeySequence(Qt::Key_F11));
  stop_->setShortcut(QKeySequence(Qt::Key_F12));
  installHelp(send_, popups, QString::fromLatin1(kHelpSend));
  installHelp(get_, popups, QString::fromLatin1(kHelpGet));
  installHelp(go_, popups, QString::fromLatin1(kHelpGo));
  installHelp(stop_, popups, QString::fromLatin1(kHelpStop));
  for (QPushButton* button : {ram_, eeprom_, file_}) {
    installHelp(button, popups, QString::fromLatin1(kHelpMem));
  }
  for (QPushButton* button : {set0_, set1_}) {
    installHelp(button, popups, QString::fromLatin1(kHelpParaSet));
  }

  memGroup_->addButton(ram_, static_cast<int>(TransferTarget::Ram));
  memGroup_->addButton(eeprom_, static_cast<int>(TransferTarget::Eeprom));
  memGroup_->addButton(file_, static_cast<int>(TransferTarget::File));
  memGroup_->setExclusive(true);
  setGroup_->addButton(set0_, 0);
  setGroup_->addButton(set1_, 1);
  setGroup_->setExclusive(true);

  connect(send_, &QPushButton::clicked, this, &TransferBar::CBF_ButtonSend);
  connect(get_, &QPushButton::clicked, this, &TransferBar::CBF_ButtonGet);
  connect(go_, &QPushButton::clicked, this, &TransferBar::CBF_ButtonGo);
  connect(stop_, &QPushButton::clicked, this, &TransferBar::CBF_ButtonStop);
  connect(memGroup_, &QButtonGroup::buttonClicked, this, &TransferBar::CBF_SelectMem);
  connect(setGroup_, &QButtonGroup::buttonClicked, this, &TransferBar::CBF_SelectParaSet);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setHorizontalSpacing(4);
  layout->setVerticalSpacing(4);
  layout->addWidget(send_, 0, 0, 1, 3);
  layout->addWidget(get_, 0, 3, 1, 3);
  layout->addWidget(go_, 0, 6, 1, 3);
  layout->addWidget(stop_, 0, 9, 1, 3);
  layout->addWidget(ram_, 1, 0, 1, 2);
  layout->addWidget(eeprom_, 1, 2, 1, 3);
  layout->addWidget(file_, 1, 5, 1, 2);
  layout->addWidget(set0_, 1, 7, 1, 3);
  layout->addWidget(set1_, 1, 10, 1, 2);
  for (int column = 0; column < 12; ++column) layout->setColumnStretch(column, 1);

  showSelection();
}

void TransferBar::registerOperationButtons(ButtonDimmer& dimmer) {
  for (QWidget* control :
       {static_cast<QWidget*>(send_), static_cast<QWidget*>(get_), static_cast<QWidget*>(ram_),
        static_cast<QWidget*>(eeprom_), static_cast<QWidget*>(file_)}) {
    dimmer.add(ButtonDimmer::Group::Transfer, control);
  }
  dimmer.add(ButtonDimmer::Group::Always, go_);
}

void TransferBar::registerRuleControls(RuleControls& controls) {
  controls.addWidget(PanelControl::ParaSet0, set0_);
  controls.addWidget(PanelControl::ParaSet1, set1_);
}

void TransferBar::selectFileTarget() {
  context_.session.target = TransferTarget::File;
  showSelection();
}

void TransferBar::showSelection() {
  ram_->setChecked(context_.session.target == TransferTarget::Ram);
  eeprom_->setChecked(context_.session.target == TransferTarget::Eeprom);
  file_->setChecked(context_.session.target == TransferTarget::File);
  set0_->setChecked(context_.session.selectedSet == 0);
  set1_->setChecked(context_.session.selectedSet != 0);
}

void TransferBar::setSendGetEnabled(bool enabled) {
  send_->setEnabled(enabled);
  get_->setEnabled(enabled);
}

void TransferBar::CBF_ButtonSend() {
  Session& session = context_.session;
  if (session.target == TransferTarget::File) {
    if (OperationGuard guard =
            context_.operations.startWithin(Operation::Live, Operation::SendParameterFile)) {
      emit sendToFileRequested();
    }
  } else if (session.RunFlag.isSet()) {
    session.pendingSend = true;
  } else if (OperationGuard guard = context_.operations.start(Operation::SendParameters)) {
    emit sendToSensorRequested();
  }
}

void TransferBar::CBF_ButtonGet() {
  Session& session = context_.session;
  if (session.target == TransferTarget::File) {
    if (OperationGuard guard =
            context_.operations.startWithin(Operation::Live, Operation::GetParameterFile)) {
      emit getFromFileRequested();
    }
  } else if (session.RunFlag.isSet()) {
    session.pendingGet = true;
  } else if (OperationGuard guard = context_.operations.start(Operation::GetParameters)) {
    emit getFromSensorRequested();
  }
}

void TransferBar::CBF_ButtonGo() {
  emit goRequested();
}

void TransferBar::CBF_ButtonStop() {
  context_.session.RunFlag.clear();
}

void TransferBar::CBF_SelectMem(QAbstractButton* button) {
  const int id = memGroup_->id(button);
  if (id < 1 || id > 3) return;
  context_.session.target = static_cast<TransferTarget>(id);
  showSelection();
}

void TransferBar::CBF_SelectParaSet(QAbstractButton* button) {
  const int id = setGroup_->id(button);
  if (id < 0) return;
  context_.session.selectedSet = static_cast<std::uint16_t>(id);
  showSelection();
}

}  // namespace drq::gui
