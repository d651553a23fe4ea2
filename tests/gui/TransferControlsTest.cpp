// The transfer controls and the dimming of the operation buttons.
#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

#include <algorithm>

#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui::test {
namespace {

class TransferControls : public ShellTest {};

TEST_F(TransferControls, TargetAndSetSelectorsActAsRadioGroups) {
  startOffline();
  auto* ram = find<QPushButton>("SelectMemRam");
  auto* eeprom = find<QPushButton>("SelectMemEeprom");
  auto* file = find<QPushButton>("SelectMemFile");
  for (QPushButton* button : {ram, eeprom, file}) button->setEnabled(true);
  eeprom->click();
  EXPECT_EQ(session.target, TransferTarget::Eeprom);
  EXPECT_TRUE(eeprom->isChecked());
  EXPECT_FALSE(file->isChecked());
  eeprom->click();  // pressing the chosen one again keeps it
  EXPECT_TRUE(eeprom->isChecked());
  EXPECT_EQ(session.target, TransferTarget::Eeprom);
  ram->click();
  EXPECT_EQ(session.target, TransferTarget::Ram);

  auto* set1 = find<QPushButton>("SelectParaSet1");
  // Usable as with TRIGGER PARA (the rules dim both otherwise).
  for (const char* name : {"SelectParaSet0", "SelectParaSet1"}) {
    find<QPushButton>(name)->setEnabled(true);
  }
  set1->click();
  EXPECT_EQ(session.selectedSet, 1);
  EXPECT_FALSE(find<QPushButton>("SelectParaSet0")->isChecked());
  find<QPushButton>("SelectParaSet0")->click();
  EXPECT_EQ(session.selectedSet, 0);
}

TEST_F(TransferControls, SendAndGetDuringAcquisitionOnlyPostTheirRequests) {
  startOffline();
  TransferBar& bar = part<TransferBar>(*window);
  QSignalSpy toSensor(&bar, &TransferBar::sendToSensorRequested);
  QSignalSpy fromSensor(&bar, &TransferBar::getFromSensorRequested);
  QSignalSpy toFile(&bar, &TransferBar::sendToFileRequested);
  QSignalSpy fromFile(&bar, &TransferBar::getFromFileRequested);

  session.target = TransferTarget::Ram;
  session.RunFlag.set(1);
  bar.CBF_ButtonSend();
  bar.CBF_ButtonGet();
  EXPECT_TRUE(session.pendingSend);
  EXPECT_TRUE(session.pendingGet);
  EXPECT_EQ(toSensor.size() + fromSensor.size(), 0);

  bar.CBF_ButtonStop();
  EXPECT_FALSE(session.RunFlag.isSet());
  bar.CBF_ButtonSend();
  EXPECT_EQ(toSensor.size(), 1);

  session.target = TransferTarget::File;
  session.RunFlag.set(1);
  bar.CBF_ButtonSend();
  bar.CBF_ButtonGet();
  EXPECT_EQ(toFile.size(), 1);
  EXPECT_EQ(fromFile.size(), 1);
}

TEST_F(TransferControls, DimmingKeepsTheTransferControlsWhenAsked) {
  startOffline();
  ButtonDimmer& dimmer = window->operations().dimmer();
  dimmer.SetButtonsDimmed(false, false);
  dimmer.SetButtonsDimmed(true, true);
  EXPECT_TRUE(find<QWidget>("ButtonSend")->isEnabled());
  EXPECT_TRUE(find<QWidget>("SelectMemEeprom")->isEnabled());
  EXPECT_FALSE(find<QWidget>("ButtonGo")->isEnabled());
  EXPECT_FALSE(find<QWidget>("ButtonTryToConnect")->isEnabled());
  EXPECT_FALSE(find<QWidget>("EditSelectBaudrate")->isEnabled());
  EXPECT_FALSE(find<QWidget>("ButtonChangeBaudrate")->isEnabled());

  // Undimming leaves the buttons that need a verified link dimmed.
  dimmer.SetButtonsDimmed(false, false);
  EXPECT_TRUE(find<QWidget>("ButtonGo")->isEnabled());
  EXPECT_TRUE(find<QWidget>("ButtonDisconnect")->isEnabled());
  EXPECT_FALSE(find<QWidget>("ButtonChangeBaudrate")->isEnabled());
  EXPECT_FALSE(find<QWidget>("ButtonGenHwInfoFile")->isEnabled());
}

// An operation dims, works and undims inside its callback; a click the
// operator gave meanwhile is handled after the callback has returned, never
// as a second operation inside the first.
TEST_F(TransferControls, AClickQueuedDuringAnOperationDoesNotNestASecondOne) {
  startOffline();
  ButtonDimmer& dimmer = window->operations().dimmer();
  QPushButton operation(QStringLiteral("OPERATION"), window.get());
  dimmer.add(ButtonDimmer::Group::Always, &operation);
  int depth = 0;
  int deepest = 0;
  int runs = 0;
  QObject::connect(&operation, &QPushButton::clicked, [&] {
    ++runs;
    deepest = std::max(deepest, ++depth);
    dimmer.SetButtonsDimmed(false, true);
    if (runs == 1) {
      // The operator clicks the button again while the operation runs.
      const QPointF at(operation.rect().center());
      QCoreApplication::postEvent(&operation,
                                  new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                  Qt::LeftButton, Qt::NoModifier));
      QCoreApplication::postEvent(
          &operation, new QMouseEvent(QEvent::MouseButtonRelease, at, at, Qt::LeftButton,
                                      Qt::NoButton, Qt::NoModifier));
    }
    dimmer.SetButtonsDimmed(false, false);
    --depth;
  });
  operation.click();
  EXPECT_EQ(runs, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(runs, 2);  // the queued click ran on its own
  EXPECT_EQ(deepest, 1);
}

TEST_F(TransferControls, SendAndGetMoveTheWorkingSetThroughTheSensor) {
  sim::EmbeddedSensor sensor;
  ASSERT_TRUE(sensor.start());
  writeSettings(settingsFileText("127.0.0.1", sensor.port()));
  start();
  ASSERT_TRUE(session.link.state().linkUp);
  ASSERT_EQ(session.working, sensor.model().ramSet(0));

  // SEND reads the panels and writes them into the selected set of the
  // sensor's RAM.
  part<ParameterPage>(*window).numeric(ParaWord::Average)->setValue(7);
  part<TeachTablePage>(*window).teachTable()->setValue(40, 0, 321);
  // Set 1 is addressable while TRIGGER is PARA.
  choose(part<ParameterPage>(*window), ParaWord::Trigger, 6);
  find<QPushButton>("SelectParaSet1")->click();
  find<QPushButton>("ButtonSend")->click();
  EXPECT_EQ(sensor.model().ramSet(1).table[40].cell(0), 321);
  EXPECT_EQ(sensor.model().ramSet(1).record[ParaWord::Average], 7);
  EXPECT_TRUE(find<QWidget>("ButtonSend")->isEnabled());

  // GET replaces it from the sensor and tells the pages.
  QSignalSpy loaded(window.get(), &MainWindow::parametersLoaded);
  session.working = ParaSet{};
  find<QPushButton>("ButtonGet")->click();
  EXPECT_EQ(session.working, sensor.model().ramSet(1));
  EXPECT_EQ(loaded.size(), 1);
  EXPECT_TRUE(popups.records().empty());
}

TEST(ScriptedPopupsTest, AnswersInOrderAndNotesWhatWasNotScripted) {
  ScriptedPopups popups;
  popups.answerChoice(2);
  popups.answerConfirm(true);
  EXPECT_EQ(popups.GenericMessagePopup("T", "pick", {"A", "B"}, 1, 1), 2);
  EXPECT_TRUE(popups.ConfirmPopup("T", "sure?"));
  EXPECT_FALSE(popups.ConfirmPopup("T", "again?"));                         // unscripted: no
  EXPECT_EQ(popups.GenericMessagePopup("T", "pick", {"A", "B"}, 1, 2), 2);  // unscripted: escape
  EXPECT_EQ(popups.unscripted(), 2);
  popups.answerFile(2, "/x/new.ini");
  EXPECT_FALSE(popups.PromptPopup("T", "name", 5).has_value());  // wrong kind
  EXPECT_EQ(popups.errors().size(), 1);
  const FileSelection selection = popups.FileSelectPopup({"/x", "new.ini", "*.ini", "T", true});
  EXPECT_EQ(selection.result, 2);
  EXPECT_EQ(selection.path, QStringLiteral("/x/new.ini"));
  popups.answerPrompt(QStringLiteral("abcdefgh"));
  EXPECT_EQ(popups.PromptPopup("T", "name", 5), QStringLiteral("abcde"));
  EXPECT_EQ(popups.records().size(), 7u);
  EXPECT_EQ(popups.texts().first(), QStringLiteral("pick"));
}

}  // namespace
}  // namespace drq::gui::test
