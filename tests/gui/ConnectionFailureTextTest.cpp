// What the connection page's message box says when the link cannot be opened.
#include <QSerialPort>

#include "core/Session.h"
#include "core/protocol/LinkSettings.h"
#include "gui/ShellFixture.h"
#include "gui/shell/WindowParts.h"

namespace drq::gui::test {
namespace {

class ConnectionFailureText : public ShellTest {};

TEST_F(ConnectionFailureText, FailedOpeningShowsTheTextThenTheSystemsReasonThenHelp) {
  const QString device = QStringLiteral("/dev/drq-no-such-port");
  QSerialPort probe(device);
  ASSERT_FALSE(probe.open(QIODevice::ReadWrite));
  writeSettings(
      "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
      "COMPORT DEVICE = \"" +
      device.toStdString() + "\"\r\n");
  popups.answerChoice(2);  // OFFLINE
  start();
  EXPECT_EQ(session.link.state().lastTransportError, kSerialNoPortFound);
  EXPECT_EQ(part<ConnectionPage>(*window).messages(),
            QStringLiteral("TRY TO CONNECT!\nNo serial port found\n") + probe.errorString() +
                QStringLiteral("\nThere is no port ") + device +
                QStringLiteral(".\nCheck the cable or USB adapter, or choose a port from the list."
                               "\n\nNO SENSOR CONNECTED!\n\n"));
}

}  // namespace
}  // namespace drq::gui::test
