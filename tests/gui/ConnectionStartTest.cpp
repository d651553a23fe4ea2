// Start-up and the connection page against the virtual sensor: what the
// operator sees when the sensor answers, does not answer or does not match.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "core/PopupTitles.h"
#include "core/Session.h"
#include "core/params/Modes.h"
#include "gui/ShellFixture.h"
#include "gui/panels/DataPanel.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "sim/DemoColours.h"
#include "sim/EmbeddedSensor.h"
#include "sim/PtySensorServer.h"

namespace drq::gui::test {
namespace {

const QString kCouldNotConnect =
    QStringLiteral("Could not establish connection! \nClose window or work in offline mode!");

class ConnectionStart : public ShellTest {
 protected:
  // Starts the window towards the virtual sensor.
  MainWindow& startOnSensor() {
    EXPECT_TRUE(sensor.start()) << sensor.errorString().toStdString();
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    return start();
  }

  QString messages() const { return part<ConnectionPage>(*window).messages(); }

  sim::EmbeddedSensor sensor;
};

TEST_F(ConnectionStart, FirstStartTriesCom1At115200ThenOfflineKeepsFileTransfers) {
  popups.answerChoice(2);  // OFFLINE
  start();

  const LinkState& state = session.link.state();
  EXPECT_EQ(state.protocol, kProtocolRs232);
  EXPECT_EQ(state.comPort, 1);
  EXPECT_EQ(state.baudIndex, 4);
  EXPECT_EQ(find<QComboBox>("EditSelectBaudrate")->currentText(), QStringLiteral("115200"));

  const auto choices = popups.records(PopupKind::Choice);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(choices[0].text, kCouldNotConnect);
  EXPECT_EQ(choices[0].buttons, (QStringList{QStringLiteral("CLOSE"), QStringLiteral("OFFLINE")}));
  EXPECT_EQ(choices[0].defaultButton, 1);
  EXPECT_EQ(choices[0].escapeButton, 1);
  EXPECT_FALSE(window->quitRequested());

  // Offline: FILE selected, SEND and GET usable, the link buttons dimmed.
  EXPECT_EQ(session.target, TransferTarget::File);
  EXPECT_TRUE(find<QPushButton>("SelectMemFile")->isChecked());
  EXPECT_FALSE(find<QPushButton>("SelectMemRam")->isChecked());
  EXPECT_TRUE(find<QPushButton>("ButtonSend")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("ButtonGet")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("ButtonTryToConnect")->isEnabled());
  EXPECT_TRUE(find<QComboBox>("EditSelectBaudrate")->isEnabled());
  for (const char* name : {"ButtonGo", "ButtonDisconnect", "ButtonAccept", "ButtonChangeBaudrate",
                           "ButtonGenHwInfoFile"}) {
    EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(state.linkUp);
  EXPECT_EQ(part<DataPanel>(*window).status(), QStringLiteral("NO SENSOR CONNECTED!"));
  EXPECT_TRUE(messages().startsWith(QStringLiteral("TRY TO CONNECT!\n")));
  EXPECT_TRUE(messages().endsWith(QStringLiteral("NO SENSOR CONNECTED!\n\n")));
  EXPECT_EQ(window->activePage(), kPageConnection);
}

TEST_F(ConnectionStart, TcpToTheVirtualSensorShowsVersionAndSerialNumberAndReadsParameters) {
  sensor.model().setSerialNumber(65535);
  startOnSensor();

  EXPECT_TRUE(popups.records().empty());
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_TRUE(session.link.state().tcpConnected);
  EXPECT_EQ(part<DataPanel>(*window).status(), QStringLiteral("VELMARON DRQ V1.0B"));
  EXPECT_EQ(part<DataPanel>(*window).statusLabel(), QStringLiteral("VELMARON DRQ V1.0.3 B"));
  EXPECT_EQ(session.identification, "VELMARON DRQ V1.0.3 B");
  EXPECT_EQ(messages(), QStringLiteral("TRY TO CONNECT!\nVELMARON DRQ V1.0B\nSERIAL NUMBER: "
                                       "65535\n\n"));
  EXPECT_EQ(find<QLineEdit>("DispIpAddress")->text(), QStringLiteral("127.0.0.1"));
  EXPECT_TRUE(find<QLineEdit>("DispIpAddress")->isVisibleTo(&part<DataPanel>(*window)));
  EXPECT_FALSE(find<QLineEdit>("DispComPort")->isVisibleTo(&part<DataPanel>(*window)));
  // The parameters were read from the sensor's RAM; every button is usable.
  EXPECT_EQ(session.working, sensor.model().ramSet(0));
  EXPECT_EQ(session.target, TransferTarget::Ram);
  for (const char* name :
       {"ButtonGo", "ButtonSend", "ButtonDisconnect", "ButtonAccept", "ButtonGenHwInfoFile"}) {
    EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
  }
  EXPECT_EQ(window->activePage(), kPageParameter);
}

TEST_F(ConnectionStart, FirmwareMismatchesAskCloseOrOffline) {
  ASSERT_TRUE(sensor.start());
  struct Case {
    const char* identification;
    const char* firmware;
  };
  const Case cases[] = {{"VELMARON DRQ V1.1", "VELMARON DRQ V1.1"},
                        {"VELMARON DRQ V1.0 B", "VELMARON DRQ V1.0 B"},
                        {"VELMARON DRQ", "VELMARON DRQ."}};
  sensor.model().setSerialNumber(65535);
  writeSettings(settingsFileText("127.0.0.1", sensor.port()));
  build();
  window->InitAll();  // connected once with the matching default text
  for (const Case& c : cases) {
    ASSERT_TRUE(sensor.model().setIdentification(c.identification));
    popups.clearRecords();
    popups.answerChoice(2);
    find<QPushButton>("ButtonTryToConnect")->click();
    const auto choices = popups.records(PopupKind::Choice);
    ASSERT_EQ(choices.size(), 1u) << c.identification;
    EXPECT_EQ(choices[0].text,
              QStringLiteral("Sensor firmware and scope version do not match! \nFirmware of "
                             "connected sensor is: %1\nThe serial number is: 65535\n\nClose "
                             "window or work in offline mode!")
                  .arg(QLatin1String(c.firmware)));
    EXPECT_EQ(part<DataPanel>(*window).statusLabel(), QLatin1String(c.identification));
    EXPECT_FALSE(session.link.state().linkUp);
    EXPECT_EQ(session.target, TransferTarget::File);
  }
}

TEST_F(ConnectionStart, CloseChoiceEndsWithoutStoringAndClosingStores) {
  writeSettings(settingsFileText("127.0.0.1", 1));
  const std::string before = drq::test::readFileBytes(settingsPath());
  popups.answerChoice(1);  // CLOSE
  build();
  QSignalSpy endRequests(window.get(), &MainWindow::programEndRequested);
  window->InitAll();
  EXPECT_TRUE(window->quitRequested());
  EXPECT_EQ(endRequests.size(), 1);
  window->CleanUp();
  EXPECT_EQ(drq::test::readFileBytes(settingsPath()), before);

  // A window closed by the operator stores its settings.
  window.reset();
  popups.answerChoice(2);
  start();
  std::filesystem::remove(settingsPath());
  QSignalSpy closeRequests(window.get(), &MainWindow::programEndRequested);
  session.RunFlag.set(1);
  window->close();
  EXPECT_EQ(closeRequests.size(), 1);
  EXPECT_FALSE(window->quitRequested());
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_NE(drq::test::readFileBytes(settingsPath()).find("FILE TYPE: = \"Panel Settings\""),
            std::string::npos);
}

TEST_F(ConnectionStart, ASettingsFileThatCannotBeWrittenIsReported) {
  popups.answerChoice(2);
  start();
  // Something that cannot be replaced by a file stands where the settings go.
  std::filesystem::remove(settingsPath());
  std::filesystem::create_directory(settingsPath());
  ASSERT_TRUE(drq::test::writeFileBytes(settingsPath() / "keep", "x"));
  popups.clearRecords();
  window->close();
  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_TRUE(
      messages[0].text.startsWith(QStringLiteral("The panel settings could not be stored!")));
  EXPECT_TRUE(messages[0].text.contains(QString::fromStdU16String(settingsPath().u16string())));
  EXPECT_TRUE(std::filesystem::is_directory(settingsPath()));
}

TEST_F(ConnectionStart, ClosingDuringTheFirstConnectionEndsTheProgramWithoutAQuestion) {
  ASSERT_TRUE(sensor.start());
  writeSettings(settingsFileText("127.0.0.1", sensor.port()));
  build();
  QSignalSpy endRequests(window.get(), &MainWindow::programEndRequested);
  bool busyAtEnd = true;
  QObject::connect(window.get(), &MainWindow::programEndRequested,
                   [&] { busyAtEnd = window->operations().busy(); });
  // The operator closes the window while InitAll waits for the sensor.
  bool closedWhileStarting = false;
  QTimer::singleShot(0, window.get(), [&] {
    closedWhileStarting = true;
    window->close();
  });
  window->InitAll();
  ASSERT_TRUE(closedWhileStarting);
  // The program ends as a close ends it: the settings are stored, no
  // question is asked, no parameters are read, and WinMain ends at once
  // instead of running an event loop without a window.
  EXPECT_TRUE(window->quitRequested());
  EXPECT_FALSE(window->isVisible());
  // The end came once the connection had returned: the pending wait was not
  // cut short.
  EXPECT_EQ(endRequests.size(), 1);
  EXPECT_FALSE(busyAtEnd);
  EXPECT_TRUE(popups.records(PopupKind::Choice).empty());
  EXPECT_NE(drq::test::readFileBytes(settingsPath()).find("MAINPANEL WIDTH"), std::string::npos);
  for (const auto& request : sensor.model().requestLog()) {
    EXPECT_NE(request.order, ORDER_READ_PARA);
  }
}

TEST_F(ConnectionStart, DisconnectAndReconnect) {
  startOnSensor();
  find<QPushButton>("ButtonDisconnect")->click();
  EXPECT_FALSE(session.link.state().linkUp);
  EXPECT_FALSE(session.link.state().tcpConnected);
  EXPECT_EQ(session.target, TransferTarget::File);
  EXPECT_TRUE(messages().endsWith(QStringLiteral("NO SENSOR CONNECTED!\n\n")));

  find<QPushButton>("ButtonTryToConnect")->click();
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_TRUE(find<QPushButton>("ButtonGo")->isEnabled());
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(ConnectionStart, SerialDevicePathConnectsAndTheBaudRateChanges) {
  ASSERT_TRUE(sensor.start());
  sim::PtySensorServer pty(sensor.host());
  ASSERT_TRUE(pty.open()) << pty.errorString().toStdString();
  writeSettings(
      "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
      "COMPORT DEVICE = \"" +
      pty.slavePath().toStdString() + "\"\r\n");
  start();
  ASSERT_TRUE(session.link.state().linkUp);
  EXPECT_EQ(find<QLineEdit>("DispComPort")->text(), pty.slavePath());

  // Coming to the connection page needs a new connection before the change.
  window->setActivePage(kPageConnection);
  auto* change = find<QPushButton>("ButtonChangeBaudrate");
  EXPECT_TRUE(change->isVisibleTo(window.get()));
  EXPECT_FALSE(change->isEnabled());
  find<QPushButton>("ButtonTryToConnect")->click();
  EXPECT_TRUE(change->isEnabled());

  part<ConnectionPage>(*window).clearMessages();
  find<QComboBox>("EditSelectBaudrate")->setCurrentIndex(6);
  find<QPushButton>("ButtonChangeBaudrate")->click();
  EXPECT_EQ(sensor.model().baudIndex(), 6);
  EXPECT_EQ(session.link.state().baudIndex, 6);
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_EQ(messages(),
            QStringLiteral("TRY TO CHANGE BAUDRATE!\nSUCCESS!\nTRY TO CONNECT!\nVELMARON DRQ "
                           "V1.0B\nSERIAL NUMBER: 1001\n\nATTENTION!!!   CONFIRM NEW BAUDRATE "
                           "WITH EEPROM AND SEND!\n\n"));
  EXPECT_TRUE(find<QPushButton>("ButtonGo")->isEnabled());
  window->CleanUp();
}

TEST_F(ConnectionStart, ALinkFailureIsReportedOnTheConnectionPage) {
  startOnSensor();
  window->setActivePage(kPageParameter);
  session.RunFlag.set(1);
  session.link.reportFailure(kMsgServerClosed);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_FALSE(session.link.state().linkUp);
  EXPECT_EQ(part<DataPanel>(*window).status(), QStringLiteral("TIMEOUT!"));
  EXPECT_TRUE(
      messages().endsWith(QString::fromLatin1(kMsgServerClosed.data()) + QStringLiteral("\n\n")));
  EXPECT_EQ(window->activePage(), kPageConnection);
  for (const char* name : {"ButtonAccept", "ButtonChangeBaudrate", "ButtonGenHwInfoFile"}) {
    EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
  }
}

TEST_F(ConnectionStart, DemoConnectsWithoutOverwritingTheStoredCommunicationSettings) {
  ASSERT_TRUE(sensor.start());
  const std::string stored =
      "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
      "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"10.1.2.3\"\r\n\r\n"
      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 4\r\nBAUDRATE = 2\r\n"
      "IP ADRESS = \"10.1.2.3\"\r\nPORT NUMBER = \"4001\"\r\nCOMPORT DEVICE = \"/dev/ttyUSB1\"\r\n";
  writeSettings(stored);
  StartOptions options;
  options.demo = StartOptions::Demo{QStringLiteral("127.0.0.1"), sensor.port()};
  start(options);
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_EQ(session.link.state().serverAddress, "127.0.0.1");
  // The operator may even commit another address while the demo runs.
  auto* address = find<QComboBox>("StringIpAdress");
  address->setEditText(QStringLiteral("demo.local"));
  part<ConnectionPage>(*window).CBF_StringIpAdress();
  window->close();

  const std::string written = drq::test::readFileBytes(settingsPath());
  const auto section = [&](const std::string& name) {
    const auto begin = written.find("[" + name + "]");
    return written.substr(begin, written.find("\r\n\r\n", begin) - begin);
  };
  EXPECT_EQ(section("IP ADDRESSES"),
            "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"10.1.2.3\"");
  EXPECT_EQ(section("COMMUNICATION SETTINGS"),
            "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 4\r\nBAUDRATE = 2\r\n"
            "IP ADRESS = \"10.1.2.3\"\r\nPORT NUMBER = \"4001\"\r\n"
            "COMPORT DEVICE = \"/dev/ttyUSB1\"");
}

// The demo's sensor as --demo prepares it: its set raises no message at start
// or on a Get, so the connection page stays where the operator is and the
// hardware file can be written after connecting.
TEST_F(ConnectionStart, TheDemoSetRaisesNoMessageAndLeavesTheHardwareFileUsable) {
  ASSERT_TRUE(sensor.start());
  sim::teachDemoColours(sensor.model(), code(CalculationMode::XyInt2d));
  sensor.model().setEepromSet(0, sensor.model().ramSet(0));
  StartOptions options;
  options.demo = StartOptions::Demo{QStringLiteral("127.0.0.1"), sensor.port()};
  start(options);
  ASSERT_TRUE(session.link.state().linkUp);
  part<TransferBar>(*window).CBF_ButtonGet();
  window->setActivePage(kPageConnection);
  find<QPushButton>("ButtonTryToConnect")->click();
  EXPECT_TRUE(popups.records().empty()) << popups.records()[0].text.toStdString();
  EXPECT_EQ(window->activePage(), kPageConnection);
  EXPECT_TRUE(find<QPushButton>("ButtonGenHwInfoFile")->isEnabled());
  EXPECT_EQ(session.working.record[ParaWord::MaxVecNo], 16);
}

}  // namespace
}  // namespace drq::gui::test
