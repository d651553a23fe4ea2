// The main window's shell: the panel settings file as the window applies and
// stores it, the page and panel switching, and the recent-address list.
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>

#include "app/Application.h"
#include "gui/ShellFixture.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/panels/DataPanel.h"
#include "gui/shell/WindowGeometry.h"
#include "gui/shell/WindowParts.h"
#include "support/TempDir.h"

namespace drq::gui::test {
namespace {

class MainWindowShell : public ShellTest {};

const std::filesystem::path kReference =
    std::filesystem::path(DRQ_TEST_DATA_DIR) / "gui" / "PanelSettingsReference.cfg";

TEST_F(MainWindowShell, SettingsFileWrittenByTheWindowEqualsTheReference) {
  // The reference starts towards 127.0.0.1 port 1, which refuses.
  std::filesystem::copy_file(kReference, settingsPath());
  popups.answerChoice(2);
  start();
  EXPECT_EQ(window->geometry(), QRect(10, 40, 790, 548));
  EXPECT_EQ(part<ConnectionPage>(*window).sensorId(), QStringLiteral("LINE 3 / STATION 12"));
  EXPECT_EQ(part<TableAttributesPage>(*window).specificationTable()->item(12, 0)->text(),
            QStringLiteral("Bottle \"B\" \\ 2"));
  EXPECT_EQ(session.RowColors[0], 0x0000FFu);
  std::filesystem::remove(settingsPath());
  window->close();
  EXPECT_EQ(drq::test::readFileBytes(settingsPath()), drq::test::readFileBytes(kReference));
}

TEST_F(MainWindowShell, MaximisedWindowIsRestoredMaximisedAndStoredSo) {
  startOffline(
      "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 2\r\nMAINPANEL LEFT = 300\r\n"
      "MAINPANEL WIDTH = 500\r\n\r\n");
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(placementOf(*window).zoom, 2);
}

TEST_F(MainWindowShell, WithoutTheFullscreenTagThePositionIsNotApplied) {
  build();
  window->setGeometry(60, 70, 790, 548);
  writeSettings(
      settingsFileText("127.0.0.1", 1,
                       "[PANEL POSITION]\r\nMAINPANEL LEFT = 300\r\nMAINPANEL TOP = 200\r\n"
                       "MAINPANEL WIDTH = 700\r\nMAINPANEL HEIGHT = 500\r\n\r\n"));
  popups.answerChoice(2);
  window->InitAll();
  EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(window->geometry(), QRect(60, 70, 790, 548));
}

TEST_F(MainWindowShell, PositionOffEveryScreenKeepsTheWindowInSight) {
  startOffline(
      "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 0\r\nMAINPANEL LEFT = 30000\r\n"
      "MAINPANEL TOP = -30000\r\nMAINPANEL WIDTH = 760\r\nMAINPANEL HEIGHT = 560\r\n\r\n");
  EXPECT_EQ(window->geometry(), QRect(10, 40, 760, 560));
}

TEST_F(MainWindowShell, RecentAddressesLoadWithTheirLimitAndGaps) {
  startOffline(
      "[IP ADDRESSES]\r\nLIST ITEMS = 3\r\nIP ADDR 1 = \"alpha\"\r\nIP ADDR 3 = \"gamma\"\r\n\r\n");
  auto* box = find<QComboBox>("StringIpAdress");
  ASSERT_EQ(box->count(), 2);
  EXPECT_EQ(box->itemText(0), QStringLiteral("alpha"));
  EXPECT_EQ(box->itemText(1), QStringLiteral("gamma"));
  // The address field still shows the stored server address.
  EXPECT_EQ(box->currentText(), QStringLiteral("127.0.0.1"));

  window.reset();
  std::string twelve = "[IP ADDRESSES]\r\nLIST ITEMS = 12\r\n";
  for (int k = 1; k <= 12; ++k) {
    twelve += "IP ADDR " + std::to_string(k) + " = \"h" + std::to_string(k) + "\"\r\n";
  }
  startOffline(twelve + "\r\n");
  box = find<QComboBox>("StringIpAdress");
  EXPECT_EQ(box->count(), 10);
  EXPECT_EQ(box->itemText(9), QStringLiteral("h10"));
}

TEST_F(MainWindowShell, CommittingAddressesMovesThemToTheTopAndKeepsTen) {
  startOffline(
      "[IP ADDRESSES]\r\nLIST ITEMS = 3\r\nIP ADDR 1 = \"a\"\r\nIP ADDR 2 = \"b\"\r\n"
      "IP ADDR 3 = \"c\"\r\n\r\n");
  auto* box = find<QComboBox>("StringIpAdress");
  QLineEdit* edit = box->lineEdit();
  const auto commit = [&](const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  };
  const auto items = [&] {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list.append(box->itemText(i));
    return list;
  };
  find<QPushButton>("ButtonAccept")->setEnabled(true);
  commit(QStringLiteral("c"));
  EXPECT_EQ(items(), (QStringList{"c", "a", "b"}));
  EXPECT_FALSE(find<QPushButton>("ButtonAccept")->isEnabled());
  EXPECT_EQ(box->currentText(), QStringLiteral("c"));
  for (int k = 1; k <= 8; ++k) commit(QStringLiteral("n%1").arg(k));
  EXPECT_EQ(items().size(), 10);
  commit(QStringLiteral("eleventh"));
  EXPECT_EQ(items().size(), 10);
  EXPECT_EQ(items().front(), QStringLiteral("eleventh"));
  EXPECT_FALSE(items().contains(QStringLiteral("b")));

  window->close();
  const std::string written = drq::test::readFileBytes(settingsPath());
  EXPECT_NE(written.find("LIST ITEMS = 10\r\nIP ADDR 1 = \"eleventh\"\r\nIP ADDR 2 = \"n8\"\r\n"),
            std::string::npos);
}

TEST_F(MainWindowShell, ForeignSettingsFileIsIgnoredIncludingItsCommunicationSettings) {
  writeSettings(
      "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nPANEL ID: = \"X\"\r\n\r\n"
      "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"10.0.0.9\"\r\n\r\n"
      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nBAUDRATE = 2\r\n");
  build();
  window->LoadPanelSettings();
  part<ConnectionPage>(*window).GetConnectionSettingsFromFile(settingsPath());
  EXPECT_EQ(part<ConnectionPage>(*window).sensorId(), QString());
  EXPECT_EQ(find<QComboBox>("StringIpAdress")->count(), 0);
  EXPECT_EQ(find<QComboBox>("EditCommunicationProtocol")->currentIndex(), 0);
  EXPECT_EQ(find<QComboBox>("EditSelectBaudrate")->currentIndex(), 4);
}

TEST_F(MainWindowShell, AcceptStoresTheSettingsAndShowsTheParameterPage) {
  startOffline();
  window->setActivePage(kPageConnection);
  find<QLineEdit>("EditID")->setText(QStringLiteral("OVEN 2"));
  find<QPushButton>("ButtonAccept")->setEnabled(true);
  find<QPushButton>("ButtonAccept")->click();
  EXPECT_EQ(window->activePage(), kPageParameter);
  EXPECT_NE(drq::test::readFileBytes(settingsPath()).find("PANEL ID: = \"OVEN 2\""),
            std::string::npos);
}

TEST_F(MainWindowShell, ProtocolSelectsItsControls) {
  startOffline();
  auto* protocol = find<QComboBox>("EditCommunicationProtocol");
  EXPECT_EQ(protocol->currentIndex(), 1);
  EXPECT_FALSE(find<QWidget>("EditSelectComPort")->isVisibleTo(window.get()));
  EXPECT_FALSE(find<QWidget>("ButtonChangeBaudrate")->isVisibleTo(window.get()));
  EXPECT_TRUE(find<QWidget>("StringIpAdress")->isVisibleTo(window.get()));
  protocol->setCurrentIndex(0);
  part<ConnectionPage>(*window).CBF_EditCommunicationProtocol();
  EXPECT_TRUE(find<QWidget>("EditSelectComPort")->isVisibleTo(window.get()));
  EXPECT_TRUE(find<QWidget>("EditSelectBaudrate")->isVisibleTo(window.get()));
  EXPECT_TRUE(find<QWidget>("ButtonChangeBaudrate")->isVisibleTo(window.get()));
  EXPECT_FALSE(find<QWidget>("StringPortNumber")->isVisibleTo(window.get()));
  // A typed device path is kept, and its COM number where it has one.
  auto* port = find<QComboBox>("EditSelectComPort");
  port->setEditText(QStringLiteral("/dev/ttyS3"));
  part<ConnectionPage>(*window).CBF_EditSelectComPort();
  EXPECT_EQ(part<ConnectionPage>(*window).connectionSettings().comPort, 4);
  port->setEditText(QStringLiteral("/dev/ttyUSB0"));
  const auto typed = part<ConnectionPage>(*window).connectionSettings();
  EXPECT_EQ(typed.comDevice, "/dev/ttyUSB0");
  EXPECT_EQ(typed.comPort, 4);
}

TEST_F(MainWindowShell, TabsAndChildPanelsSwitchAsOperatorsExpect) {
  startOffline();
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  // The 3D graph page starts active; the rules then show the page of the
  // start-up calculation mode (X Y INT 2D).
  EXPECT_EQ(part<DataPanel>(*window).pages()->currentIndex(), kDataPage2dGraph);
  EXPECT_FALSE(window->isPageVisible(kPageOffset));

  session.RunFlag.set(1);
  window->setActivePage(kPageScope);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::SCOPEP);

  window->ShowChildPanelDisp(static_cast<ChildPanel>(42));
  EXPECT_EQ(window->childPanelWidget(ChildPanel::DATAP)->isVisibleTo(window.get()), true);

  window->setActivePage(kPageParameter);
  session.RunFlag.set(1);
  for (const char* name : {"ButtonAccept", "ButtonChangeBaudrate", "ButtonGenHwInfoFile"}) {
    find<QWidget>(name)->setEnabled(true);
  }
  window->setActivePage(kPageConnection);
  EXPECT_FALSE(session.RunFlag.isSet());
  for (const char* name : {"ButtonAccept", "ButtonChangeBaudrate", "ButtonGenHwInfoFile"}) {
    EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
  }
}

TEST_F(MainWindowShell, RightDoubleClickOnTheBackgroundRestoresTheDefaultSize) {
  startOffline();
  window->showMaximized();
  QTest::mouseDClick(find<QWidget>("MainBackground"), Qt::RightButton, {}, QPoint(2, 70));
  EXPECT_FALSE(window->isMaximized());
  EXPECT_EQ(window->size(), QSize(790, 548));
  const QRect screen = window->screen()->availableGeometry();
  EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(window->frameGeometry().center().y() - screen.center().y()), 1);
}

TEST(CommandLine, OptionsAndProgramDirectory) {
  const char* args[] = {"drqscope", "--dir", "line3/scope", "--demo", "--screenshots", "shots"};
  const CommandLine line = parseCommandLine(6, args);
  EXPECT_TRUE(line.error.empty());
  EXPECT_EQ(line.dir, std::filesystem::path("line3/scope"));
  EXPECT_TRUE(line.demo);
  EXPECT_EQ(line.screenshots, std::filesystem::path("shots"));
  const char* bad[] = {"drqscope", "--dir"};
  EXPECT_FALSE(parseCommandLine(2, bad).error.empty());
  const char* unknown[] = {"drqscope", "--frobnicate"};
  EXPECT_FALSE(parseCommandLine(2, unknown).error.empty());

  drq::test::TempDir dir;
  const auto config = dir.path() / "home" / ".config" / "drqscope";
  const auto requested = dir.path() / "new" / "home";
  EXPECT_EQ(chooseProgramDir(requested, "/nonexistent", config), requested);
  EXPECT_TRUE(std::filesystem::is_directory(requested));
  EXPECT_FALSE(std::filesystem::exists(config));
}

// An installed copy keeps its files in the user's configuration directory,
// even where it could write beside itself (root running /usr/bin/drqscope);
// only a build tree keeps them beside the executable.
TEST(CommandLine, OnlyABuildTreeKeepsItsFilesBesideTheExecutable) {
  drq::test::TempDir dir;
  const auto config = dir.path() / "home" / ".config" / "drqscope";
  const auto installed = dir.path() / "usr" / "bin";
  std::filesystem::create_directories(installed);
  EXPECT_FALSE(isBuildTreeDir(installed));
  EXPECT_EQ(chooseProgramDir(std::nullopt, installed, config), config);
  EXPECT_TRUE(std::filesystem::is_directory(config));
  EXPECT_TRUE(std::filesystem::is_empty(installed));

  const auto built = dir.path() / "build" / "bin";
  std::filesystem::create_directories(built);
  ASSERT_TRUE(drq::test::writeFileBytes(dir.path() / "build" / "CMakeCache.txt", ""));
  EXPECT_TRUE(isBuildTreeDir(built));
  EXPECT_EQ(chooseProgramDir(std::nullopt, built, config), built);
  // --dir wins over both.
  EXPECT_EQ(chooseProgramDir(dir.path() / "line3", built, config), dir.path() / "line3");
  EXPECT_EQ(chooseProgramDir(dir.path() / "line4", installed, config), dir.path() / "line4");

  const std::filesystem::path xdg = dir.path() / "xdg";
  const std::filesystem::path home = dir.path() / "home";
  EXPECT_EQ(userConfigDir(xdg.string(), home.string()), xdg / "drqscope");
  EXPECT_EQ(userConfigDir("", home.string()), home / ".config" / "drqscope");
  // A relative XDG_CONFIG_HOME is not a valid one.
  EXPECT_EQ(userConfigDir("cfg", home.string()), home / ".config" / "drqscope");
}

// The program itself, on a display that cannot be reached: it ends with -1
// (exit status 255) and prints nothing, instead of Qt's abort.
TEST(ProgramStart, AnUnreachableDisplayEndsWithMinusOneAndNoMessage) {
  drq::test::TempDir dir;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4711"));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(DRQ_BIN_DIR "/drqscope"),
                {QStringLiteral("--dir"), QString::fromStdU16String(dir.path().u16string())});
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 255);
  EXPECT_EQ(program.readAllStandardError(), QByteArray());
  EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "PanelSettings.cfg"));
}

}  // namespace
}  // namespace drq::gui::test
