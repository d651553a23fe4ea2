// SEND and GET of the working parameter set through the panels: with the
// virtual sensor's RAM and EEPROM, and with parameter files.
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>

#include <unistd.h>

#include <system_error>
#include <utility>
#include <vector>

#include "cli/CliRun.h"
#include "core/PopupTitles.h"
#include "core/params/ParaFile.h"
#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/common/TextConversion.h"
#include "gui/operations/ParameterFileTransfer.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/ValueRing.h"
#include "gui/widgets/WordTable.h"
#include "sim/EmbeddedSensor.h"
#include "sim/SensorHost.h"

namespace drq::gui::test {
namespace {

class ParameterFiles : public ShellTest {};

using W = ParaWord;
using drq::test::readFileBytes;
using drq::test::writeFileBytes;

QString qpath(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// A set the sensor finds plausible, different from the defaults everywhere,
// with spare words the tool never shows.
ParaSet sensorSet(std::uint16_t seed) {
  ParaSet set = defaultParaSet();
  auto& r = set.record;
  r[W::Power] = static_cast<std::uint16_t>(300 + seed);
  r[W::PowerMode] = 1;
  r[W::Average] = static_cast<std::uint16_t>(20 + seed);
  r[W::EvaluationMode] = 2;
  r[W::HoldFail] = 99;
  r[W::MaxVecNo] = 12;
  r[W::DigitalOutmode] = 2;
  r[W::CalculationMode] = 1;
  r[W::DynWinLo] = 1000;
  r[W::DynWinHi] = 2000;
  r[W::ColorGroup] = 1;
  r[W::LedMode] = 1;
  r[W::Gain] = 2;
  r[W::Integral] = 30;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    auto& v = set.table[row];
    for (std::size_t c = 0; c < kTeachCells; ++c) {
      v.cell(c) = static_cast<std::uint16_t>(seed * 1000 + row * 10 + c);
    }
    v.group() = static_cast<std::uint16_t>(row % 5);
    v.hold() = static_cast<std::uint16_t>(row + 20);
    v.spare() = static_cast<std::uint16_t>(0xA500 + row);
  }
  return set;
}

class ParameterTransfer : public ShellTest {
 protected:
  void SetUp() override { ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString(); }

  // Starts connected to the sensor; the start reads its RAM set 0.
  void startOnSensor() {
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
  }

  void click(const char* name) { find<QPushButton>(name)->click(); }

  // The operator's edits on the three pages.
  void editPanels() {
    ParameterPage& page = part<ParameterPage>(*window);
    page.powerSlider()->setValue(640);
    page.numeric(W::Average)->setValue(33);
    page.ring(W::Gain)->setValue(7);
    part<GroupHoldPage>(*window).holdTable()->commitValue(0, 0, 250);  // HOLD FAIL
    part<GroupHoldPage>(*window).groupTable()->commitValue(63, 0, 4);
    part<GroupHoldPage>(*window).holdTable()->commitValue(64, 0, 500);  // HOLD of row 63
    part<TeachTablePage>(*window).teachTable()->commitValue(31, 2, 4444);
    part<TeachTablePage>(*window).teachTable()->commitValue(32, 0, 65535);
  }

  static void expectEdits(const ParaSet& set) {
    EXPECT_EQ(set.record[W::Power], 640);
    EXPECT_EQ(set.record[W::Average], 33);
    EXPECT_EQ(set.record[W::Gain], 7);
    EXPECT_EQ(set.record[W::HoldFail], 250);
    EXPECT_EQ(set.table[63].group(), 4);
    EXPECT_EQ(set.table[63].hold(), 500);
    EXPECT_EQ(set.table[31].cell(2), 4444);
    EXPECT_EQ(set.table[32].cell(0), 65535);
  }

  sim::EmbeddedSensor sensor;
};

TEST_F(ParameterTransfer, EditedPanelsGoToRamEepromAndSetOne) {
  startOnSensor();
  editPanels();
  // While the blocks travel, the operation buttons are dimmed.
  std::vector<bool> enabledDuring;
  QObject::connect(&sensor.host(), &sim::SensorHost::requestLogged, window.get(), [&] {
    enabledDuring.push_back(find<QWidget>("ButtonGo")->isEnabled() ||
                            find<QWidget>("ButtonGet")->isEnabled());
  });
  click("SelectMemRam");
  click("ButtonSend");
  EXPECT_EQ(enabledDuring, std::vector<bool>(3, false));
  expectEdits(sensor.model().ramSet(0));
  EXPECT_EQ(sensor.model().eepromSet(0).record[W::Power], 500);
  EXPECT_TRUE(find<QWidget>("ButtonSend")->isEnabled());  // undimmed again

  part<ParameterPage>(*window).numeric(W::IntLim)->setValue(44);
  click("SelectMemEeprom");
  click("ButtonSend");
  EXPECT_EQ(sensor.model().eepromSet(0).record[W::IntLim], 44);
  expectEdits(sensor.model().eepromSet(0));

  // TRIGGER PARA lets the operator address set 1.
  choose(part<ParameterPage>(*window), W::Trigger, 6);
  click("SelectMemRam");
  click("SelectParaSet1");
  sensor.model().clearRequestLog();
  click("ButtonSend");
  const ParaSet& set1 = sensor.model().ramSet(1);
  EXPECT_EQ(set1.record[W::Trigger], 6);
  EXPECT_EQ(set1.record[W::IntLim], 44);
  EXPECT_EQ(set1.table[31].cell(2), 4444);
  std::vector<int> blocks;
  for (const auto& r : sensor.model().requestLog()) blocks.push_back(r.argument);
  EXPECT_EQ(blocks, (std::vector<int>{1, 4, 5}));
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(ParameterTransfer, GetShowsWhatTheSensorHoldsAndSpareWordsSurviveASend) {
  startOnSensor();
  // Changed behind the tool's back.
  const ParaSet changed = sensorSet(3);
  sensor.model().setRamSet(0, changed);
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);
  click("SelectMemRam");
  click("ButtonGet");
  EXPECT_EQ(loaded.size(), 1);
  EXPECT_EQ(session.working, changed);
  ParameterPage& page = part<ParameterPage>(*window);
  EXPECT_EQ(page.powerSlider()->value(), 303);
  EXPECT_EQ(page.ring(W::CalculationMode)->currentText(), QStringLiteral("s i M 2D"));
  EXPECT_EQ(page.ring(W::LedMode)->currentText(), QStringLiteral("AC"));
  EXPECT_EQ(part<GroupHoldPage>(*window).colorGroupSwitch()->value(), 1);
  EXPECT_EQ(part<GroupHoldPage>(*window).holdTable()->value(0, 0), 99);
  EXPECT_EQ(part<GroupHoldPage>(*window).holdTable()->value(1, 0), 20);
  EXPECT_EQ(part<GroupHoldPage>(*window).groupTable()->value(7, 0), 2);
  EXPECT_EQ(part<TeachTablePage>(*window).teachTable()->value(63, 4), 3634);

  // Get, edit, Send: the spare words go back as they came.
  part<TeachTablePage>(*window).teachTable()->commitValue(0, 0, 7);
  click("ButtonSend");
  ParaSet expected = changed;
  expected.table[0].cell(0) = 7;
  EXPECT_EQ(sensor.model().ramSet(0), expected);
}

TEST_F(ParameterTransfer, GuiFileEqualsTheCommandLineToolsFileForTheSameSet) {
  ParaSet set = sensorSet(5);
  set.record[W::Trigger] = 6;  // PARA: set 1 stays addressable after the Get
  sensor.model().setRamSet(1, set);
  startOnSensor();
  choose(part<ParameterPage>(*window), W::Trigger, 6);
  click("SelectMemRam");
  click("SelectParaSet1");
  click("ButtonGet");
  ASSERT_EQ(session.working, set);

  click("SelectMemFile");
  const auto guiFile = dir.file("gui.ini");
  popups.answerFile(2, qpath(guiFile));
  click("ButtonSend");
  EXPECT_TRUE(popups.records().back().kind == PopupKind::File);

  const auto cliFile = dir.file("cli.ini");
  const auto run = drq::test::runCliCaptured({"--tcp", "127.0.0.1:" + std::to_string(sensor.port()),
                                              "get-para", "--set", "1", "-o", cliFile.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string bytes = readFileBytes(guiFile);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes, readFileBytes(cliFile));
}

TEST_F(ParameterFiles, FileDialogsStartAtTheLastParameterFileAndRememberTheChoice) {
  startOffline();
  const auto sub = dir.path() / "sets";
  std::filesystem::create_directories(sub);
  session.parameterFile = sub / "old.ini";
  part<ParameterPage>(*window).numeric(W::IntLim)->setValue(1234);

  popups.answerFile(2, qpath(sub / "new.ini"));
  part<TransferBar>(*window).CBF_ButtonSend();
  const PopupRecord& dialog = popups.records().back();
  EXPECT_EQ(dialog.file.directory, qpath(sub));
  EXPECT_EQ(dialog.file.defaultName, QStringLiteral("Parameter.ini"));
  EXPECT_EQ(dialog.file.filter, QStringLiteral("*.ini"));
  EXPECT_EQ(dialog.file.title, QStringLiteral("Parameter"));
  EXPECT_TRUE(dialog.file.allowNew);
  EXPECT_EQ(session.parameterFile, sub / "new.ini");
  EXPECT_EQ(session.working.record[W::IntLim], 1234);  // the panels were read first

  // Reading it back into changed panels restores them, without any list.
  part<ParameterPage>(*window).numeric(W::IntLim)->setValue(1);
  part<TeachTablePage>(*window).teachTable()->commitValue(2, 2, 2);
  popups.clearRecords();
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);
  popups.answerFile(1, qpath(sub / "new.ini"));
  part<TransferBar>(*window).CBF_ButtonGet();
  EXPECT_FALSE(popups.records().front().file.allowNew);
  EXPECT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(loaded.size(), 1);
  EXPECT_EQ(part<ParameterPage>(*window).numeric(W::IntLim)->value(), 1234);
  EXPECT_EQ(part<TeachTablePage>(*window).teachTable()->value(2, 2), 1);
}

TEST_F(ParameterFiles, CancelledOrMissingFilesOnlySayNoFileWasSelected) {
  startOffline();
  const ParaSet before = session.working;
  const auto remembered = session.parameterFile;
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);
  popups.clearRecords();
  popups.answerFile(0, QString());
  part<TransferBar>(*window).CBF_ButtonSend();
  popups.answerFile(0, QString());
  part<TransferBar>(*window).CBF_ButtonGet();
  popups.answerFile(2, qpath(dir.file("absent.ini")));  // a new name is no file to read
  part<TransferBar>(*window).CBF_ButtonGet();

  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 3u);
  for (const auto& message : messages) {
    EXPECT_EQ(message.title, QString::fromLatin1(kTitleAttention));
    EXPECT_EQ(message.text, qStringFromLatin1(kMsgNoFileSelected));
  }
  EXPECT_EQ(loaded.size(), 0);
  EXPECT_EQ(session.working, before);
  EXPECT_EQ(session.parameterFile, remembered);
  EXPECT_FALSE(std::filesystem::exists(dir.file("absent.ini")));
}

TEST_F(ParameterFiles, ForeignFilesAskAndNoReadsNothingButRefreshes) {
  startOffline();
  const auto foreign = dir.file("foreign.ini");
  ASSERT_TRUE(writeFileBytes(foreign,
                             "[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n\r\n"
                             "[PARAMETER]\r\nPOWER = 900\r\n"));
  const auto otherVersion = dir.file("other.ini");
  ASSERT_TRUE(writeFileBytes(otherVersion,
                             "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                             "SCOPE VERSION: = \"VELMARON DRQ Scope V0.9\"\r\n\r\n"
                             "[PARAMETER]\r\nPOWER = 900\r\n"));
  // Panels edited but not read: the refresh after No shows the working set.
  part<ParameterPage>(*window).powerSlider()->setValue(100);
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);

  popups.clearRecords();
  popups.answerFile(1, qpath(foreign));
  popups.answerConfirm(false);
  part<TransferBar>(*window).CBF_ButtonGet();
  ASSERT_EQ(popups.records().size(), 3u);
  EXPECT_EQ(popups.records()[1].kind, PopupKind::Confirm);
  EXPECT_EQ(popups.records()[1].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[1].text, qStringFromLatin1(kMsgNotParameterFile));
  EXPECT_EQ(popups.records()[2].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[2].text, qStringFromLatin1(kMsgNothingRead));
  EXPECT_EQ(loaded.size(), 1);
  EXPECT_EQ(part<ParameterPage>(*window).powerSlider()->value(), 500);

  popups.clearRecords();
  popups.answerFile(1, qpath(otherVersion));
  popups.answerConfirm(false);
  part<TransferBar>(*window).CBF_ButtonGet();
  ASSERT_EQ(popups.records().size(), 3u);
  EXPECT_EQ(popups.records()[1].text, qStringFromLatin1(kMsgVersionMismatch));
  EXPECT_EQ(popups.records()[2].text, qStringFromLatin1(kMsgNothingRead));
  EXPECT_EQ(session.working.record[W::Power], 500);

  // Yes to both questions of the foreign file: everything it lacks takes its
  // default and both lists are shown.
  popups.clearRecords();
  popups.answerFile(1, qpath(foreign));
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  part<TransferBar>(*window).CBF_ButtonGet();
  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].title, QStringLiteral("Attention!"));
  EXPECT_TRUE(messages[0].text.startsWith(
      QStringLiteral("Following parameter could not be read \nand where set to default value:\n\n"
                     "POWER MODE\n")));
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\nEXTEACH\n")));
  EXPECT_TRUE(messages[1].text.endsWith(QStringLiteral("TEACH VECTOR 63\n")));
  EXPECT_EQ(part<ParameterPage>(*window).powerSlider()->value(), 900);
  EXPECT_EQ(loaded.size(), 3);
}

TEST_F(ParameterFiles, FileThatCannotBeReadIsToldWithItsReasonAndChangesNothing) {
  startOffline();
  const auto locked = dir.file("locked.ini");
  ASSERT_TRUE(writeParameterFile(locked, sensorSet(3)).ok());
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  // A folder cannot be read by anyone; a file without permissions by anyone but root.
  std::vector<std::pair<std::filesystem::path, std::errc>> unreadable = {
      {dir.path(), std::errc::is_a_directory}};
  if (::geteuid() != 0) unreadable.emplace_back(locked, std::errc::permission_denied);
  const ParaSet before = session.working;
  const auto remembered = session.parameterFile;
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);
  for (const auto& [path, error] : unreadable) {
    popups.clearRecords();
    popups.answerFile(1, qpath(path));
    part<TransferBar>(*window).CBF_ButtonGet();
    const auto messages = popups.records(PopupKind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(popups.records(PopupKind::Confirm).empty());
    EXPECT_EQ(messages[0].title, QString::fromLatin1(kTitleAttention));
    EXPECT_EQ(messages[0].text, QString::fromLatin1(kMsgParameterFileNotRead) + qpath(path) +
                                    QStringLiteral("\n\n") +
                                    QString::fromStdString(std::make_error_code(error).message()));
  }
  EXPECT_EQ(session.working, before);
  EXPECT_EQ(session.parameterFile, remembered);
  EXPECT_EQ(loaded.size(), 0);
}

TEST_F(ParameterFiles, FileTransfersRunAtOnceDuringAcquisitionAndWriteFailuresAreReported) {
  startOffline();
  session.RunFlag.set(1);
  const auto file = dir.file("during.ini");
  part<ParameterPage>(*window).numeric(W::DynWinLo)->setValue(1111);
  popups.answerFile(2, qpath(file));
  part<TransferBar>(*window).CBF_ButtonSend();
  EXPECT_FALSE(session.pendingSend);
  ParaSet written = defaultParaSet();
  ASSERT_TRUE(readParameterFile(file, written, {}).taken);
  EXPECT_EQ(written.record[W::DynWinLo], 1111);

  part<ParameterPage>(*window).numeric(W::DynWinLo)->setValue(5);
  popups.answerFile(1, qpath(file));
  part<TransferBar>(*window).CBF_ButtonGet();
  EXPECT_FALSE(session.pendingGet);
  EXPECT_EQ(part<ParameterPage>(*window).numeric(W::DynWinLo)->value(), 1111);
  session.RunFlag.clear();

  // A file that cannot be written is not passed over in silence.
  popups.clearRecords();
  const auto unwritable = dir.path() / "missing-dir" / "p.ini";
  popups.answerFile(2, qpath(unwritable));
  part<TransferBar>(*window).CBF_ButtonSend();
  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_TRUE(
      messages[0].text.startsWith(QStringLiteral("The parameter file could not be written!")));
  EXPECT_TRUE(messages[0].text.endsWith(qpath(unwritable) +
                                        QStringLiteral("\n\nNo such file or directory")));
  EXPECT_FALSE(std::filesystem::exists(unwritable));

  // An existing file in a write-protected directory keeps its content.
  popups.clearRecords();
  const auto protectedDir = dir.path() / "protected";
  std::filesystem::create_directory(protectedDir);
  const auto old = protectedDir / "p.ini";
  ASSERT_TRUE(writeFileBytes(old, "old"));
  std::filesystem::permissions(
      protectedDir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  popups.answerFile(2, qpath(old));
  part<TransferBar>(*window).CBF_ButtonSend();
  std::filesystem::permissions(protectedDir, std::filesystem::perms::owner_all);
  const auto refused = popups.records(PopupKind::Message);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].text, QString::fromLatin1(kMsgParameterFileNotWritten) + qpath(old) +
                                 QStringLiteral("\n\nPermission denied"));
  EXPECT_EQ(readFileBytes(old), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(protectedDir),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace drq::gui::test
