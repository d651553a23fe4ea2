#pragma once
// Main tab page "CONNECTION": the transport and its settings, connecting,
// identifying the sensor, disconnecting, changing the sensor's baud rate and
// naming the sensor. It also receives the link's failure reports.

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string_view>

#include "core/protocol/SensorLink.h"
#include "core/settings/PanelSettings.h"
#include "gui/pages/TabPage.h"

namespace drq::gui {

// What the connection page needs from the rest of the main window.
class ConnectionHost {
 public:
  virtual ~ConnectionHost() = default;
  virtual void activatePage(int page) = 0;
  // The operator chose CLOSE: end the program without storing the settings.
  virtual void requestQuit() = 0;
  virtual void StorePanelSettings() = 0;
  // GetPara after a successful identification, with the panels refreshed.
  virtual void readSensorParameters() = 0;
};

class ConnectionPage : public TabPage, public FailureReport {
  Q_OBJECT
 public:
  ConnectionPage(ShellContext& context, ConnectionHost& host, QWidget* parent = nullptr);

  void registerOperationButtons(ButtonDimmer& dimmer) override;

  // Puts the settings into the page's controls (no callbacks run).
  void setConnectionSettings(const settings::ConnectionSettings& settings);
  // The settings as the page's controls show them now.
  settings::ConnectionSettings connectionSettings() const;

  // The recent server addresses, most recent first.
  std::vector<std::string> recentAddresses() const;
  // Appends an address to the end of the drop-down list (loading).
  void appendRecentAddress(const QString& address);
  void clearRecentAddresses();

  QString sensorId() const { return idField_->text(); }
  void setSensorId(const QString& text);

  // The connection log.
  void appendMessage(const QString& text);
  void clearMessages();
  QString messages() const { return messageBox_->toPlainText(); }

  // Dims Accept, Change baud rate and Generate hardware file (the buttons
  // that need a verified link).
  void dimLinkButtons();

  // GetConnectionSettingsFromFile: the file's communication settings, or the
  // defaults, into the controls. Returns them as read.
  settings::ConnectionSettings GetConnectionSettingsFromFile(const std::filesystem::path& file);
  // InitConnectPanel: shows the controls of the selected protocol.
  void InitConnectPanel();
  // TryToConnect: opens the transport and identifies the sensor; on failure
  // asks CLOSE / OFFLINE.
  void TryToConnect();
  // CheckComLine: identification, firmware check, then the parameters.
  void CheckComLine();
  // Disconnect: closes the link and switches to offline work.
  void Disconnect();
  // ChangeBaudrate: moves the sensor and the PC to the selected baud rate.
  void ChangeBaudrate();

  // FailureReport (SetTimeout's effects on the window).
  void linkFailed(std::string_view message) override;

 signals:
  // The operator asks for the hardware information file.
  void hardwareFileRequested();
  // The sensor-status field of the display panel: its value and its label.
  void sensorStatusShown(const QString& value);
  void sensorStatusLabelShown(const QString& label);
  // The display panel shows the COM port (serial) or the server address.
  void linkTargetShown(bool serial, const QString& comPort, const QString& address);
  // Offline work: FILE becomes the transfer target; SEND and GET stay usable.
  void fileTargetSelected();
  void sendGetUndimmed();
  // The sensor ID text was edited (recorder page and big displays follow).
  void sensorIdEdited(const QString& text);

 public slots:
  void CBF_ButtonTryToConnect();
  void CBF_ButtonDisconnect();
  void CBF_ButtonAccept();
  void CBF_ButtonChangeBaudrate();
  void CBF_ButtonGenHwInfoFile();
  void CBF_EditCommunicationProtocol();
  void CBF_EditSelectComPort();
  void CBF_EditSelectBaudrate();
  void CBF_StringIpAdress();
  void CBF_StringPortNumber();
  void CBF_EditID();

 private:
  void buildControls();
  // The CLOSE / OFFLINE question; CLOSE ends the program, OFFLINE disconnects.
  void askCloseOrOffline(const QString& text);
  // Reads the page into the link state.
  void readSettingsIntoLink();
  void setRecentAddresses(const std::vector<std::string>& list, const QString& editText);

  ConnectionHost& host_;
  QFormLayout* form_ = nullptr;
  QGridLayout* verifiedButtons_ = nullptr;
  QComboBox* protocol_ = nullptr;
  QComboBox* comPort_ = nullptr;
  QComboBox* baudRate_ = nullptr;
  QComboBox* address_ = nullptr;
  QLineEdit* portNumber_ = nullptr;
  QPushButton* tryToConnect_ = nullptr;
  QPushButton* disconnect_ = nullptr;
  QPlainTextEdit* messageBox_ = nullptr;
  QPushButton* accept_ = nullptr;
  QPushButton* changeBaudrate_ = nullptr;
  QPushButton* genHwInfoFile_ = nullptr;
  QLineEdit* idField_ = nullptr;
  int comPortNumber_ = 1;  // COM port number kept for the settings file
};

}  // namespace drq::gui
