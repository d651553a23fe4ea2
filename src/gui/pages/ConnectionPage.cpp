#include "gui/pages/ConnectionPage.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextCursor>

#include <charconv>

#include "core/connect/Identification.h"
#include "core/protocol/Frame.h"
#include "core/settings/TextCut.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/operations/LinkControl.h"
#include "gui/popups/Help.h"
#include "link/SerialPorts.h"

namespace drq::gui {

namespace {

// Help texts of the page's controls.
constexpr const char* kHelpProtocol = "Select RS232 or TCP/IP Interface. ";
constexpr const char* kHelpComPort = "Select a serial COM-PORT.";
constexpr const char* kHelpBaudrate =
    "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust work "
    "with the same Baudrate. ";
constexpr const char* kHelpIpAddress = "Select a Server by name or IP address.";
constexpr const char* kHelpPortNumber = "Select a port number.";
constexpr const char* kHelpTryToConnect = "Try to connect sensor.";
constexpr const char* kHelpDisconnect = "Disconnect from sensor.!";
constexpr const char* kHelpAccept = "Accept settings for communication \nand switch to parapanel. ";
constexpr const char* kHelpChangeBaudrate =
    "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.";
constexpr const char* kHelpGenHwInfoFile =
    "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance.";
constexpr const char* kHelpSensorId =
    "Insert sensor identification. \nThis ID will be displayed in some panels of the software.";

// Texts of the connection log and the status field.
constexpr const char* kTryToConnect = "TRY TO CONNECT!";
constexpr const char* kNoSensor = "NO SENSOR CONNECTED!";
constexpr const char* kTimeout = "TIMEOUT!";
constexpr const char* kTryToChangeBaudrate = "TRY TO CHANGE BAUDRATE!\n";
constexpr const char* kSuccess = "SUCCESS!\n";
constexpr const char* kConfirmBaudrate =
    "ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n";
constexpr const char* kButtonClose = "CLOSE";
constexpr const char* kButtonOffline = "OFFLINE";

// The connection log keeps at most this many lines: the messages of about a
// hundred connections. A laid-out line costs some 0.6 KB, so a tool that
// reconnects often holds a few hundred KB here, not megabytes.
constexpr int kMessageBoxLines = 1000;

// The port-number text read as a decimal integer: leading blanks, an optional
// sign, the digits up to the first other character; 0 when there are none or
// the number does not fit.
int portFromText(const QString& text) {
  const std::string s = text.trimmed().toStdString();
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto result = std::from_chars(first, last, value);
  return result.ec == std::errc() ? value : 0;
}

// The port list shows what each port is beside its name ("(ttyUSB0 - FTDI
// FT232R USB UART, USB 0403:6001)"); choosing one puts only the name in the
// field.
class PortItemDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString summary = index.data(Qt::ToolTipRole).toString();
    if (!summary.isEmpty()) option->text += QStringLiteral("   (") + summary + QLatin1Char(')');
  }
};

// A COM port selector that looks for the system's serial ports whenever its
// list is opened: their stable names (/dev/serial/by-id) where the system has
// them, with what each port is; a device path or COMn can also be typed.
class PortComboBox final : public QComboBox {
 public:
  explicit PortComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new PortItemDelegate(this));
  }
  void refreshPorts() {
    const QString current = currentText();
    const QSignalBlocker block(this);
    clear();
    for (const SerialPortEntry& port : availableSerialPorts()) {
      addItem(port.device);
      setItemData(count() - 1, port.summary(), Qt::ToolTipRole);
      setItemData(count() - 1, port.summary(), Qt::AccessibleDescriptionRole);
    }
    setEditText(current);
    view()->setMinimumWidth(view()->sizeHintForColumn(0));
  }
  void showPopup() override {
    refreshPorts();
    QComboBox::showPopup();
  }
};

}  // namespace

ConnectionPage::ConnectionPage(ShellContext& context, ConnectionHost& host, QWidget* parent)
    : TabPage(context, QStringLiteral("CONNECTION"), parent), host_(host) {
  setObjectName(QStringLiteral("ConnectionPage"));
  buildControls();
  setConnectionSettings(settings::ConnectionSettings{});
}

void ConnectionPage::buildControls() {
  Popups& popups = context().popups;

  auto* interfaceBox = new QGroupBox(QStringLiteral("INTERFACE"), this);
  form_ = new QFormLayout(interfaceBox);
  form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

  protocol_ = new QComboBox(interfaceBox);
  protocol_->setObjectName(QStringLiteral("EditCommunicationProtocol"));
  protocol_->addItems({QStringLiteral("RS232"), QStringLiteral("TCP/IP")});
  installHelp(protocol_, popups, QString::fromLatin1(kHelpProtocol));
  connect(protocol_, &QComboBox::activated, this, &ConnectionPage::CBF_EditCommunicationProtocol);

  auto* portBox = new PortComboBox(interfaceBox);
  comPort_ = portBox;
  comPort_->setObjectName(QStringLiteral("EditSelectComPort"));
  comPort_->setEditable(true);
  comPort_->setInsertPolicy(QComboBox::NoInsert);
  portBox->refreshPorts();
  installHelp(comPort_, popups, QString::fromLatin1(kHelpComPort));
  connect(comPort_, &QComboBox::activated, this, &ConnectionPage::CBF_EditSelectComPort);
  connect(comPort_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    if (comPort_->lineEdit()->isModified()) CBF_EditSelectComPort();
  });

  baudRate_ = new QComboBox(interfaceBox);
  baudRate_->setObjectName(QStringLiteral("EditSelectBaudrate"));
  baudRate_->addItems(baudRateLabels());
  installHelp(baudRate_, popups, QString::fromLatin1(kHelpBaudrate));
  connect(baudRate_, &QComboBox::activated, this, &ConnectionPage::CBF_EditSelectBaudrate);

  address_ = new QComboBox(interfaceBox);
  address_->setObjectName(QStringLiteral("StringIpAdress"));
  address_->setEditable(true);
  address_->setInsertPolicy(QComboBox::NoInsert);
  address_->setMaxCount(static_cast<int>(settings::kRecentAddressCount));
  address_->lineEdit()->setMaxLength(static_cast<int>(settings::kServerAddressMax));
  installHelp(address_, popups, QString::fromLatin1(kHelpIpAddress));
  connect(address_, &QComboBox::textActivated, this, &ConnectionPage::CBF_StringIpAdress);
  connect(address_->lineEdit(), &QLineEdit::returnPressed, this,
          &ConnectionPage::CBF_StringIpAdress);
  connect(address_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    if (address_->lineEdit()->isModified()) CBF_StringIpAdress();
  });

  portNumber_ = new QLineEdit(interfaceBox);
  portNumber_->setObjectName(QStringLiteral("StringPortNumber"));
  portNumber_->setMaxLength(static_cast<int>(settings::kPortNumberMax));
  installHelp(portNumber_, popups, QString::fromLatin1(kHelpPortNumber));
  connect(portNumber_, &QLineEdit::editingFinished, this, [this] {
    if (portNumber_->isModified()) CBF_StringPortNumber();
  });

  form_->addRow(QStringLiteral("PROTOCOL"), protocol_);
  form_->addRow(QStringLiteral("COM PORT"), comPort_);
  form_->addRow(QStringLiteral("BAUDRATE"), baudRate_);
  form_->addRow(QStringLiteral("SERVER"), address_);
  form_->addRow(QStringLiteral("PORT"), portNumber_);

  tryToConnect_ = new QPushButton(QStringLiteral("TRY TO CONNECT"), this);
  tryToConnect_->setObjectName(QStringLiteral("ButtonTryToConnect"));
  installHelp(tryToConnect_, popups, QString::fromLatin1(kHelpTryToConnect));
  connect(tryToConnect_, &QPushButton::clicked, this, &ConnectionPage::CBF_ButtonTryToConnect);

  disconnect_ = new QPushButton(QStringLiteral("DISCONNECT"), this);
  disconnect_->setObjectName(QStringLiteral("ButtonDisconnect"));
  installHelp(disconnect_, popups, QString::fromLatin1(kHelpDisconnect));
  connect(disconnect_, &QPushButton::clicked, this, &ConnectionPage::CBF_ButtonDisconnect);

  messageBox_ = new QPlainTextEdit(this);
  messageBox_->setObjectName(QStringLiteral("MessageBox"));
  messageBox_->setAccessibleName(QStringLiteral("connection messages"));
  messageBox_->setReadOnly(true);
  messageBox_->setMaximumBlockCount(kMessageBoxLines);
  messageBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

  accept_ = new QPushButton(QStringLiteral("ACCEPT"), this);
  accept_->setObjectName(QStringLiteral("ButtonAccept"));
  installHelp(accept_, popups, QString::fromLatin1(kHelpAccept));
  connect(accept_, &QPushButton::clicked, this, &ConnectionPage::CBF_ButtonAccept);

  changeBaudrate_ = new QPushButton(QStringLiteral("CHANGE BAUDRATE"), this);
  changeBaudrate_->setObjectName(QStringLiteral("ButtonChangeBaudrate"));
  installHelp(changeBaudrate_, popups, QString::fromLatin1(kHelpChangeBaudrate));
  connect(changeBaudrate_, &QPushButton::clicked, this, &ConnectionPage::CBF_ButtonChangeBaudrate);

  genHwInfoFile_ = new QPushButton(QStringLiteral("HARDWARE FILE"), this);
  genHwInfoFile_->setObjectName(QStringLiteral("ButtonGenHwInfoFile"));
  installHelp(genHwInfoFile_, popups, QString::fromLatin1(kHelpGenHwInfoFile));
  connect(genHwInfoFile_, &QPushButton::clicked, this, &ConnectionPage::CBF_ButtonGenHwInfoFile);

  idField_ = new QLineEdit(this);
  idField_->setObjectName(QStringLiteral("EditID"));
  idField_->setMaxLength(static_cast<int>(settings::kSensorIdMax));
  installHelp(idField_, popups, QString::fromLatin1(kHelpSensorId));
  connect(idField_, &QLineEdit::editingFinished, this, &ConnectionPage::CBF_EditID);

  auto* linkButtons = new QHBoxLayout();
  linkButtons->addWidget(tryToConnect_);
  linkButtons->addWidget(disconnect_);

  verifiedButtons_ = new QGridLayout();
  verifiedButtons_->addWidget(accept_, 0, 0);
  verifiedButtons_->addWidget(changeBaudrate_, 0, 1);
  verifiedButtons_->addWidget(genHwInfoFile_, 1, 0, 1, 2);

  auto* idForm = new QFormLayout();
  idForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  idForm->addRow(QStringLiteral("SENSOR ID"), idField_);

  pageLayout()->addWidget(interfaceBox);
  pageLayout()->addLayout(linkButtons);
  pageLayout()->addWidget(messageBox_, 1);
  pageLayout()->addLayout(verifiedButtons_);
  pageLayout()->addLayout(idForm);
}

void ConnectionPage::registerOperationButtons(ButtonDimmer& dimmer) {
  dimmer.add(ButtonDimmer::Group::Always, tryToConnect_);
  dimmer.add(ButtonDimmer::Group::Always, disconnect_);
  dimmer.add(ButtonDimmer::Group::Always, baudRate_);
  dimmer.add(ButtonDimmer::Group::DimOnly, changeBaudrate_);
  dimmer.add(ButtonDimmer::Group::DimOnly, genHwInfoFile_);
}

// --- Settings --------------------------------------------------------------

void ConnectionPage::setConnectionSettings(const settings::ConnectionSettings& s) {
  // Values the controls cannot show fall back to the defaults: a protocol
  // other than TCP/IP is RS-232, an unknown baud-rate index opens at 115200
  // anyway, and COM ports count from 1.
  protocol_->setCurrentIndex(s.protocol == kProtocolTcp ? 1 : 0);
  comPortNumber_ = s.comPort >= 1 ? s.comPort : 1;
  comPort_->setEditText(s.comDevice.empty() ? deviceForComPort(comPortNumber_)
                                            : qStringFromUtf8(s.comDevice));
  comPort_->lineEdit()->setModified(false);
  baudRate_->setCurrentIndex(s.baudIndex >= 0 && s.baudIndex < baudRate_->count() ? s.baudIndex
                                                                                  : 4);
  address_->setEditText(qStringFromUtf8(s.serverAddress));
  address_->lineEdit()->setModified(false);
  portNumber_->setText(qStringFromUtf8(s.portNumber));
  portNumber_->setModified(false);
}

settings::ConnectionSettings ConnectionPage::connectionSettings() const {
  settings::ConnectionSettings s;
  s.protocol = protocol_->currentIndex() == 1 ? kProtocolTcp : kProtocolRs232;
  const QString device = comPort_->currentText().trimmed();
  s.comPort = comPortForDevice(device).value_or(comPortNumber_);
  s.comDevice = utf8FromQString(device);
  s.baudIndex = baudRate_->currentIndex();
  s.serverAddress =
      settings::cutUtf8(utf8FromQString(address_->currentText()), settings::kServerAddressMax);
  s.portNumber = settings::cutUtf8(utf8FromQString(portNumber_->text()), settings::kPortNumberMax);
  return s;
}

std::vector<std::string> ConnectionPage::recentAddresses() const {
  std::vector<std::string> list;
  for (int i = 0; i < address_->count(); ++i)
    list.push_back(utf8FromQString(address_->itemText(i)));
  return list;
}

void ConnectionPage::appendRecentAddress(const QString& address) {
  if (address_->count() >= static_cast<int>(settings::kRecentAddressCount)) return;
  const QString text = address_->currentText();
  address_->addItem(address);
  address_->setEditText(text);
}

void ConnectionPage::clearRecentAddresses() {
  setRecentAddresses({}, address_->currentText());
}

void ConnectionPage::setRecentAddresses(const std::vector<std::string>& list,
                                        const QString& editText) {
  const QSignalBlocker block(address_);
  address_->clear();
  for (const auto& entry : list) address_->addItem(qStringFromUtf8(entry));
  address_->setEditText(editText);
  address_->lineEdit()->setModified(false);
}

void ConnectionPage::setSensorId(const QString& text) {
  idField_->setText(text.left(static_cast<int>(settings::kSensorIdMax)));
}

void ConnectionPage::appendMessage(const QString& text) {
  QTextCursor cursor(messageBox_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  messageBox_->verticalScrollBar()->setValue(messageBox_->verticalScrollBar()->maximum());
}

void ConnectionPage::clearMessages() {
  messageBox_->clear();
}

void ConnectionPage::dimLinkButtons() {
  accept_->setEnabled(false);
  changeBaudrate_->setEnabled(false);
  genHwInfoFile_->setEnabled(false);
}

settings::ConnectionSettings ConnectionPage::GetConnectionSettingsFromFile(
    const std::filesystem::path& file) {
  const settings::ConnectionSettings read = settings::readConnectionSettings(file);
  setConnectionSettings(read);
  return read;
}

void ConnectionPage::InitConnectPanel() {
  const bool tcp = protocol_->currentIndex() == 1;
  form_->setRowVisible(comPort_, !tcp);
  form_->setRowVisible(baudRate_, !tcp);
  changeBaudrate_->setVisible(!tcp);
  // Without Change baud rate (TCP/IP) ACCEPT takes the whole row.
  verifiedButtons_->removeWidget(accept_);
  verifiedButtons_->addWidget(accept_, 0, 0, 1, tcp ? 2 : 1);
  form_->setRowVisible(address_, tcp);
  form_->setRowVisible(portNumber_, tcp);
}

// --- Connecting --------------------------------------------------------------

void ConnectionPage::readSettingsIntoLink() {
  const settings::ConnectionSettings s = connectionSettings();
  LinkState& state = context().session.link.state();
  state.protocol = static_cast<std::uint16_t>(s.protocol);
  state.comPort = static_cast<std::uint16_t>(s.comPort);
  state.comDevice = s.comDevice;
  state.baudIndex = static_cast<std::uint16_t>(s.baudIndex);
  state.serverAddress = s.serverAddress;
  state.serverPort = portFromText(portNumber_->text());
}

void ConnectionPage::TryToConnect() {
  SensorLink& link = context().session.link;
  CloseCom(link);
  emit sensorStatusShown(QString::fromLatin1(kTryToConnect));
  appendMessage(QString::fromLatin1(kTryToConnect) + QLatin1Char('\n'));
  readSettingsIntoLink();
  // The status is drawn before the attempt; the operator's input waits for
  // the connection's own wait.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  const LinkState& state = link.state();
  const bool serial = state.protocol == kProtocolRs232;
  emit linkTargetShown(serial, comPort_->currentText(), address_->currentText());
  if (serial) {
    InitRS232(link);
  } else {
    InitTCP_IP(link);
  }
  if (link.state().lastTransportError >= 0) {
    CheckComLine();
    return;
  }
  askCloseOrOffline(qStringFromUtf8(kConnectFailedText));
}

void ConnectionPage::askCloseOrOffline(const QString& text) {
  // A window the operator closed meanwhile ends the program anyway.
  if (context().operations.ending()) return;
  const int choice = context().popups.GenericMessagePopup(
      QString::fromLatin1(kTitleAttention), text,
      {QString::fromLatin1(kButtonClose), QString::fromLatin1(kButtonOffline)}, 1, 1);
  if (choice == 2) {
    Disconnect();
  } else {
    host_.requestQuit();
  }
}

void ConnectionPage::CheckComLine() {
  Session& session = context().session;
  Identification id;
  if (identifySensor(session.link, id) != 1) {
    askCloseOrOffline(qStringFromUtf8(kConnectFailedText));
    return;
  }
  session.identification = id.text;
  emit sensorStatusLabelShown(qStringFromLatin1(id.text));
  if (!id.matches) {
    askCloseOrOffline(qStringFromLatin1(id.mismatchText()));
    return;
  }
  emit sensorStatusShown(qStringFromLatin1(id.shownVersion));
  appendMessage(qStringFromLatin1(id.messageBoxText()));
  session.link.state().linkUp = true;
  if (context().operations.ending()) return;
  host_.readSensorParameters();
  if (session.link.state().linkUp) {
    accept_->setEnabled(true);
    changeBaudrate_->setEnabled(true);
    genHwInfoFile_->setEnabled(true);
  }
}

void ConnectionPage::Disconnect() {
  Session& session = context().session;
  context().operations.dimmer().SetButtonsDimmed(false, true);
  CloseCom(session.link);
  if (session.link.state().tcpConnected) DisconnectFromTCPServer(session.link);
  emit sensorStatusShown(QString::fromLatin1(kNoSensor));
  appendMessage(QString::fromLatin1(kNoSensor) + QStringLiteral("\n\n"));
  emit fileTargetSelected();
  tryToConnect_->setEnabled(true);
  emit sendGetUndimmed();
  baudRate_->setEnabled(true);
  session.link.state().linkUp = false;
}

void ConnectionPage::ChangeBaudrate() {
  SensorLink& link = context().session.link;
  const int index = baudRate_->currentIndex();
  appendMessage(QString::fromLatin1(kTryToChangeBaudrate));
  if (link.exchange(ORDER_SET_BAUDRATE, static_cast<std::uint16_t>(index)) != 1) return;
  appendMessage(QString::fromLatin1(kSuccess));
  link.state().baudIndex = static_cast<std::uint16_t>(index);
  InitRS232(link);
  link.state().linkUp = true;
  TryToConnect();
  if (link.state().linkUp) appendMessage(QString::fromLatin1(kConfirmBaudrate));
}

void ConnectionPage::linkFailed(std::string_view message) {
  emit sensorStatusShown(QString::fromLatin1(kTimeout));
  appendMessage(qStringFromUtf8(message) + QStringLiteral("\n\n"));
  dimLinkButtons();
  host_.activatePage(kPageConnection);
}

// --- Callbacks ----------------------------------------------------------------

void ConnectionPage::CBF_ButtonTryToConnect() {
  OperationGuard guard = context().operations.start(Operation::Connect);
  if (!guard) return;
  TryToConnect();
  // Only a sensor that answered makes the operation buttons usable again.
  if (!context().session.link.state().linkUp) guard.keepDimmed();
}

void ConnectionPage::CBF_ButtonDisconnect() {
  OperationGuard guard = context().operations.start(Operation::Disconnect);
  if (!guard) return;
  // Disconnect leaves exactly its own controls usable.
  guard.keepDimmed();
  Disconnect();
}

void ConnectionPage::CBF_ButtonAccept() {
  host_.StorePanelSettings();
  host_.activatePage(kPageParameter);
}

void ConnectionPage::CBF_ButtonChangeBaudrate() {
  OperationGuard guard = context().operations.start(Operation::ChangeBaudrate);
  if (!guard) return;
  dimLinkButtons();
  ChangeBaudrate();
}

void ConnectionPage::CBF_ButtonGenHwInfoFile() {
  OperationGuard guard = context().operations.start(Operation::HardwareFile);
  if (!guard) return;
  emit hardwareFileRequested();
}

void ConnectionPage::CBF_EditCommunicationProtocol() {
  InitConnectPanel();
  dimLinkButtons();
}

void ConnectionPage::CBF_EditSelectComPort() {
  comPort_->lineEdit()->setModified(false);
  if (const auto number = comPortForDevice(comPort_->currentText().trimmed())) {
    comPortNumber_ = *number;
  }
  dimLinkButtons();
}

void ConnectionPage::CBF_EditSelectBaudrate() {
  accept_->setEnabled(false);
}

void ConnectionPage::CBF_StringIpAdress() {
  accept_->setEnabled(false);
  const QString address = address_->currentText();
  std::vector<std::string> list = recentAddresses();
  settings::insertRecentAddress(list, utf8FromQString(address));
  setRecentAddresses(list, address);
}

void ConnectionPage::CBF_StringPortNumber() {
  portNumber_->setModified(false);
  accept_->setEnabled(false);
}

void ConnectionPage::CBF_EditID() {
  context().session.sensorId = utf8FromQString(idField_->text());
  emit sensorIdEdited(idField_->text());
}

}  // namespace drq::gui
