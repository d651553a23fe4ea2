// Right-click help, the password popup, the big displays and the
// screenshots.
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <string_view>

#include "app/Application.h"
#include "app/Screenshots.h"
#include "core/PopupTitles.h"
#include "gui/ShellFixture.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/popups/Help.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Mnemonics.h"

namespace drq::gui::test {
namespace {

class HelpAndPanels : public ShellTest {};

// The help part of a control's tooltip (the keys follow it).
QString helpOf(const QWidget* control) {
  return control->toolTip().section(QStringLiteral("\n\nKeys: "), 0, 0);
}

// The mechanism; the texts themselves are the golden file's
// (HelpTextsGoldenTest.cpp).
TEST_F(HelpAndPanels, RightClickOnlyShowsHelpWhichIsAlsoTheTooltip) {
  startOffline();
  window->setActivePage(kPageConnection);
  popups.clearRecords();
  const QString log = part<ConnectionPage>(*window).messages();

  auto* tryButton = find<QPushButton>("ButtonTryToConnect");
  QTest::mouseClick(tryButton, Qt::RightButton);
  auto* send = find<QPushButton>("ButtonSend");
  QTest::mouseClick(send, Qt::RightButton);
  auto* file = find<QPushButton>("SelectMemFile");
  QTest::mouseClick(file, Qt::RightButton);
  auto* tabs = &part<QTabWidget>(*window, "TabMain1");
  QTest::mouseClick(tabs->tabBar(), Qt::RightButton, {},
                    tabs->tabBar()->tabRect(kPageRecorder).center());

  ASSERT_EQ(popups.records().size(), 4u);
  for (const auto& record : popups.records()) {
    EXPECT_EQ(record.kind, PopupKind::Message);
    EXPECT_EQ(record.title, QString::fromLatin1(kTitleInfo));
    EXPECT_FALSE(record.text.isEmpty());
  }
  EXPECT_EQ(popups.records()[0].text, helpOf(tryButton));
  EXPECT_EQ(popups.records()[2].text, helpOf(file));
  // The tooltip is the help, then the keys (the help names F9 already).
  EXPECT_EQ(send->toolTip(), popups.records()[1].text + QStringLiteral("\n\nKeys: Alt+") +
                                 mnemonicLetter(*send));
  // Nothing else happened: no connection attempt, no transfer, no page change.
  EXPECT_EQ(part<ConnectionPage>(*window).messages(), log);
  EXPECT_EQ(window->activePage(), kPageConnection);
  EXPECT_TRUE(file->isChecked());
  EXPECT_EQ(popups.records(PopupKind::File).size(), 0u);

  // The help of a spin-box-like control reaches through its inner edit field.
  auto* port = find<QLineEdit>("StringPortNumber");
  QTest::mouseClick(port, Qt::RightButton);
  ASSERT_EQ(popups.records().size(), 5u);
  EXPECT_EQ(popups.records().back().text, helpOf(port));
}

// From the keyboard: the context-menu key (which the platform delivers as a
// keyboard context-menu event) and Shift+F10 show the focused control's
// help; F10 alone stays GET's shortcut.
TEST_F(HelpAndPanels, ContextMenuKeyAndShiftF10ShowTheHelp) {
  startOffline();
  window->setActivePage(kPageConnection);
  popups.clearRecords();
  auto* tryButton = find<QPushButton>("ButtonTryToConnect");
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                            tryButton->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(tryButton, &menuKey);
  auto* port = find<QLineEdit>("StringPortNumber");
  QTest::keyClick(port, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[0].text, helpOf(tryButton));
  EXPECT_EQ(popups.records()[1].text, helpOf(port));
  EXPECT_EQ(port->text().contains(QLatin1Char('F')), false);
}

TEST_F(HelpAndPanels, TheTransferButtonsHaveTheirFunctionKeys) {
  build();
  EXPECT_EQ(find<QPushButton>("ButtonSend")->shortcut(), QKeySequence(Qt::Key_F9));
  EXPECT_EQ(find<QPushButton>("ButtonGet")->shortcut(), QKeySequence(Qt::Key_F10));
  EXPECT_EQ(find<QPushButton>("ButtonGo")->shortcut(), QKeySequence(Qt::Key_F11));
  EXPECT_EQ(find<QPushButton>("ButtonStop")->shortcut(), QKeySequence(Qt::Key_F12));
}

TEST_F(HelpAndPanels, StatusFieldRightDoubleClickEmptiesTheMessageBoxWithoutHelp) {
  startOffline();
  ASSERT_FALSE(part<ConnectionPage>(*window).messages().isEmpty());
  popups.clearRecords();
  auto* status = find<QLineEdit>("DispStatus");
  const auto* pendingHelp = status->findChild<QTimer*>(QString::fromLatin1(kDeferredHelpTimerName));
  ASSERT_NE(pendingHelp, nullptr);
  QTest::mouseDClick(status, Qt::RightButton);
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().isEmpty());
  EXPECT_FALSE(pendingHelp->isActive());  // the double-click dropped the help
  EXPECT_TRUE(popups.records().empty());
  // A single right click still shows the help once the double-click time passed.
  QTest::mouseClick(status, Qt::RightButton);
  EXPECT_TRUE(pendingHelp->isActive());
  EXPECT_TRUE(popups.records().empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popups.records().empty(); }));
  EXPECT_EQ(popups.records().back().text, helpOf(status));
}

TEST_F(HelpAndPanels, PasswordUnlocksTheOffsetPage) {
  startOffline();
  popups.clearRecords();
  PasswordPanel& password = part<PasswordPanel>(*window);
  QLineEdit* field = password.field();
  EXPECT_EQ(field->maxLength(), 20);
  EXPECT_EQ(field->echoMode(), QLineEdit::Password);
  EXPECT_EQ(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field), '*');

  // A right double-click on the calibration page's decoration opens it.
  window->setActivePage(kPageCalibration);
  QTest::mouseClick(part<CalibrationPage>(*window).decoration(), Qt::RightButton);
  EXPECT_FALSE(password.isVisible());
  QTest::mouseDClick(part<CalibrationPage>(*window).decoration(), Qt::RightButton);
  ASSERT_TRUE(password.isVisible());
  EXPECT_TRUE(password.isModal());

  QTest::keyClicks(field, QStringLiteral("qortal "));
  QTest::keyClick(field, Qt::Key_Return);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_FALSE(popups.records()[0].text.isEmpty());
  EXPECT_TRUE(field->text().isEmpty());
  EXPECT_TRUE(password.isVisible());
  EXPECT_FALSE(window->isPageVisible(kPageOffset));

  QTest::keyClicks(field, QStringLiteral("QORTAL"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_FALSE(window->isPageVisible(kPageOffset));

  // Closing the popup leaves the page hidden; the next opening starts empty.
  field->setText(QStringLiteral("qort"));
  password.close();
  EXPECT_FALSE(password.isVisible());
  EXPECT_FALSE(window->isPageVisible(kPageOffset));
  QTest::mouseDClick(part<CalibrationPage>(*window).decoration(), Qt::RightButton);
  EXPECT_TRUE(field->text().isEmpty());

  field->setText(QStringLiteral("qortalqortalqortalqortal"));
  EXPECT_EQ(field->text().size(), 20);
  field->setText(QStringLiteral("qortal"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_FALSE(password.isVisible());
  EXPECT_TRUE(window->isPageVisible(kPageOffset));
  EXPECT_EQ(window->activePage(), kPageOffset);

  // The offset page's close button hides it and shows the parameter page.
  find<QPushButton>("ButtonCloseOffsetCompensation")->click();
  EXPECT_FALSE(window->isPageVisible(kPageOffset));
  EXPECT_EQ(window->activePage(), kPageParameter);
}

// Once the password popup has closed, the window is active again with the
// focus where it was, so that Alt+1…9 switch pages at once.
TEST_F(HelpAndPanels, AfterThePasswordPopupTheWindowHasTheKeyboardAgain) {
  startOffline();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->setActivePage(kPageCalibration);
  auto* setValue = find<QWidget>("EditSetValue");
  setValue->setFocus();
  PasswordPanel& password = part<PasswordPanel>(*window);
  password.openPopup();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&password));
  QTest::keyClick(password.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(password.isVisible());

  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), setValue);
  QTest::keyClick(window->windowHandle(), Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(window->activePage(), kPageParameter);

  // Unlocked: the window is active again on the offset page.
  password.openPopup();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&password));
  for (const char c : std::string_view("qortal")) QTest::keyClick(password.windowHandle(), c);
  QTest::keyClick(password.windowHandle(), Qt::Key_Return);
  EXPECT_EQ(window->activePage(), kPageOffset);
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window->windowHandle(), Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(window->activePage(), kPageParameter);
}

TEST_F(HelpAndPanels, ClosingTheOffsetPageGoesStraightToTheParameterPage) {
  startOffline();
  window->setPageVisible(kPageOffset, true);
  window->setActivePage(kPageOffset);
  ASSERT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  session.RunFlag.set(1);  // a GO in progress
  QSignalSpy activated((&part<QTabWidget>(*window, "TabMain1")), &QTabWidget::currentChanged);
  find<QPushButton>("ButtonCloseOffsetCompensation")->click();
  EXPECT_FALSE(window->isPageVisible(kPageOffset));
  EXPECT_EQ(window->activePage(), kPageParameter);
  ASSERT_EQ(activated.size(), 1);
  EXPECT_EQ(activated.front().front().toInt(), kPageParameter);
  EXPECT_TRUE(session.RunFlag.isSet());
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::DATAP);
  session.RunFlag.clear();
}

TEST_F(HelpAndPanels, TheHeaderShowsFinishedMakerLines) {
  startOffline();
  QStringList lines;
  for (const char* name : {"TextMaker1", "TextMaker2", "TextMaker3"}) {
    lines << find<QLabel>(name)->text();
  }
  for (const QString& line : lines) {
    EXPECT_FALSE(line.trimmed().isEmpty());
    EXPECT_FALSE(line.contains(QStringLiteral("0000")) || line.contains(QStringLiteral("example")))
        << line.toStdString();
  }
}

TEST_F(HelpAndPanels, AcceptFillsItsRowWhenChangeBaudRateIsHidden) {
  startOffline();  // TCP/IP: no baud rate
  window->resize(790, 548);
  window->show();
  window->setActivePage(kPageConnection);
  QCoreApplication::processEvents();
  auto* accept = find<QPushButton>("ButtonAccept");
  auto* hardware = find<QPushButton>("ButtonGenHwInfoFile");
  ASSERT_FALSE(find<QPushButton>("ButtonChangeBaudrate")->isVisible());
  EXPECT_EQ(accept->width(), hardware->width());
  EXPECT_EQ(accept->x(), hardware->x());
}

TEST_F(HelpAndPanels, BigDisplaysHideOnARightClickAndKeepTheirValue) {
  startOffline();
  BigColorPanel& big = part<BigColorPanel>(*window);
  EXPECT_FALSE(big.isVisible());
  big.setValue(17);
  big.showDisplay();
  EXPECT_TRUE(big.isVisible());
  QTest::mouseClick(&big, Qt::RightButton);
  EXPECT_FALSE(big.isVisible());
  big.setValue(23);  // updated while hidden
  big.showDisplay();
  EXPECT_EQ(big.valueText(), QStringLiteral("23"));
  big.close();
  EXPECT_FALSE(big.isVisible());

  // The sensor ID text follows the connection page.
  auto* id = find<QLineEdit>("EditID");
  id->setText(QStringLiteral("PRESS 4"));
  part<ConnectionPage>(*window).CBF_EditID();
  EXPECT_EQ(big.sensorId(), QStringLiteral("PRESS 4"));
  EXPECT_EQ(part<BigGroupPanel>(*window).sensorId(), QStringLiteral("PRESS 4"));
  EXPECT_EQ(find<QLineEdit>("DispRecordID")->text(), QStringLiteral("PRESS 4"));
}

TEST_F(HelpAndPanels, ScreenshotsCoverEveryPageAndPanel) {
  startOffline();
  drq::test::TempDir shots;
  const QString dirPath = QString::fromStdString(shots.path().string());
  const QStringList written = renderScreenshots(*window, QDir(dirPath));
  EXPECT_EQ(written.size(), 1 + kMainPageCount + 5 + 4 + 3);
  for (const QString& file : written) EXPECT_GT(QFileInfo(file).size(), 1000) << file.toStdString();
  EXPECT_TRUE(QFileInfo::exists(QDir(dirPath).filePath(QStringLiteral("main.png"))));
  EXPECT_FALSE(window->isPageVisible(kPageOffset));
}

}  // namespace
}  // namespace drq::gui::test
