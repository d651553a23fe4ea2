// The table attributes page on its own: its controls, setting
// colours by hand, the file round trip, odd files, failed writes, the reset
// and the manual / automatic switch.
#include <QApplication>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "core/attrs/TableAttributesFile.h"
#include "core/params/ParaFile.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/operations/ButtonDimmer.h"
#include "gui/pages/TableAttributesPage.h"
#include "support/TempDir.h"

namespace drq::gui::test {
namespace {

namespace fs = std::filesystem;

const fs::path kReference = fs::path(DRQ_TEST_DATA_DIR) / "attrs" / "TableAttributes.ini";

constexpr std::uint32_t kRed = 0xFF0000;

QString qpath(const fs::path& path) {
  return qStringFromPath(path);
}

QString q(std::string_view text) {
  return qStringFromLatin1(text);
}

// The page shows no child panel.
class NoPanels final : public ChildPanelSwitch {
 public:
  void ShowChildPanelDisp(ChildPanel) override {}
  ChildPanel currentChildPanel() const override { return ChildPanel::DATAP; }
};

class TableAttributesPageTest : public ::testing::Test {
 protected:
  TableAttributesPageTest() { session.programDir = dir.path(); }

  void TearDown() override {
    EXPECT_TRUE(popups.errors().isEmpty()) << popups.errors().join('\n').toStdString();
    EXPECT_EQ(popups.pendingAnswers(), 0u);
  }

  QString specText(int row) const { return page.specificationTable()->item(row, 0)->text(); }
  void setSpecText(int row, const QString& text) {
    page.specificationTable()->item(row, 0)->setText(text);
  }
  // The operator gives `row` the colour `rgb` with the manual controls.
  void setRowColorByHand(int row, std::uint32_t rgb) {
    page.rowNumber()->setValue(row);
    page.colorSelector()->setColor(rgb);
    QTest::mouseClick(page.setRowColorButton(), Qt::LeftButton);
  }
  int save(const fs::path& path) {
    popups.answerFile(2, qpath(path));
    return page.SaveTableSettings();
  }
  int get(const fs::path& path) {
    popups.answerFile(1, qpath(path));
    return page.GetTableSettings();
  }
  // The last popup's title and text.
  std::pair<QString, QString> lastPopup() const {
    if (popups.records().empty()) return {};
    return {popups.records().back().title, popups.records().back().text};
  }

  drq::test::TempDir dir;
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  NoPanels panels;
  ShellContext context{session, popups, operations, panels};
  TableAttributesPage page{context};
};

// A right click shows one help and never acts: no colour dialog, no file
// dialog. (The texts and the page's own title "Info": HelpTextsGoldenTest.)
TEST_F(TableAttributesPageTest, ARightClickOnAnyControlOnlyShowsItsHelp) {
  const QWidget* controls[] = {
      page.rowColorSwitch(),
      page.rowNumber(),
      page.colorSelector()->hexEdit(),
      page.colorSelector()->swatch(),
      page.setRowColorButton(),
      page.saveButton(),
      page.getButton(),
      page.resetButton(),
      page.temperatureDisplay(),
  };
  for (const QWidget* control : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    EXPECT_FALSE(control->accessibleName().isEmpty());
    popups.clearRecords();
    QTest::mouseClick(const_cast<QWidget*>(control), Qt::RightButton);
    ASSERT_EQ(popups.records().size(), 1u);
    EXPECT_EQ(popups.records()[0].kind, PopupKind::Message);
  }
  EXPECT_EQ(page.specificationTable()->rowCount(), 64);
  EXPECT_EQ(page.specificationTable()->columnCount(), 2);
  EXPECT_EQ(page.specificationTable()->verticalHeaderItem(0)->text(), QStringLiteral("1"));
  EXPECT_EQ(page.colorSelector()->dialog(), nullptr);
}

TEST_F(TableAttributesPageTest, SetRowColorPaintsTheCellAndRowColorsAndAnnouncesIt) {
  QSignalSpy changed(&page, &TableAttributesPage::rowColorsChanged);
  setRowColorByHand(7, 0x00FF80);
  EXPECT_EQ(page.rowColorCell(7), 0x00FF80u);
  EXPECT_EQ(session.RowColors[7], 0x00FF80u);
  EXPECT_EQ(changed.count(), 1);
  // Only the one row changes.
  EXPECT_EQ(page.rowColorCell(6), defaultRowColor(6));
  EXPECT_EQ(session.RowColors[8], defaultRowColor(8));
}

TEST_F(TableAttributesPageTest, ColorSelectorTakesTypedTextAndTheDialogsChoice) {
  ColorSelector* selector = page.colorSelector();
  QSignalSpy changed(selector, &ColorSelector::colorChanged);
  QLineEdit* hex = selector->hexEdit();
  hex->selectAll();
  QTest::keyClicks(hex, QStringLiteral("0x00ff80"));
  QTest::keyClick(hex, Qt::Key_Return);
  EXPECT_EQ(selector->color(), 0x00FF80u);
  EXPECT_EQ(hex->text(), QStringLiteral("0x00FF80"));
  EXPECT_EQ(changed.count(), 1);

  hex->setText(QStringLiteral("0x"));  // no digits: the value stays and is shown again
  emit hex->editingFinished();
  EXPECT_EQ(selector->color(), 0x00FF80u);
  EXPECT_EQ(hex->text(), QStringLiteral("0x00FF80"));

  QTest::mouseClick(selector->swatch(), Qt::LeftButton);
  QColorDialog* dialog = selector->dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->currentColor(), QColor(0x00, 0xFF, 0x80));
  dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
  dialog->accept();
  EXPECT_EQ(selector->color(), 0x123456u);
  EXPECT_EQ(changed.count(), 2);

  std::uint32_t rgb = 1;
  EXPECT_TRUE(ColorSelector::fromText(QStringLiteral(" FF "), rgb));
  EXPECT_EQ(rgb, 0xFFu);
  EXPECT_FALSE(ColorSelector::fromText(QStringLiteral("0x1234567"), rgb));
  EXPECT_FALSE(ColorSelector::fromText(QStringLiteral("red"), rgb));
  EXPECT_EQ(rgb, 0xFFu);
}

TEST_F(TableAttributesPageTest, DoubleClickOnAColourCellChoosesTheRowsColourInManualModeOnly) {
  QTableWidget* table = page.specificationTable();
  emit table->cellActivated(4, 1);
  auto* dialog = page.findChild<QColorDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->currentColor(), QColor(0xFF, 0x80, 0xC0));
  dialog->setCurrentColor(QColor(0x01, 0x02, 0x03));
  dialog->accept();
  EXPECT_EQ(page.rowColorCell(4), 0x010203u);
  EXPECT_EQ(session.RowColors[4], 0x010203u);
  EXPECT_EQ(page.rowNumber()->value(), 4);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  page.rowColorSwitch()->setChecked(true);
  emit table->cellActivated(5, 1);
  EXPECT_EQ(page.findChild<QColorDialog*>(), nullptr);
}

TEST_F(TableAttributesPageTest, SpecificationTextsAreLimitedTo99Bytes) {
  QTableWidget* table = page.specificationTable();
  table->setCurrentCell(3, 0);
  table->editItem(table->item(3, 0));
  auto* editor = table->findChild<QLineEdit*>(QStringLiteral("SpecificationEditor"));
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QString(120, QLatin1Char('a')));
  EXPECT_EQ(editor->text().size(), 99);
  editor->clear();
  for (int i = 0; i < 60; ++i) {  // two bytes each
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x00FC)));
    QApplication::sendEvent(editor, &press);
  }
  EXPECT_EQ(editor->text().size(), 49);
  EXPECT_EQ(editor->text().toUtf8().size(), 98);
}

TEST_F(TableAttributesPageTest, SaveAndGetRestoreEveryColourAndText) {
  for (int row = 0; row < 64; ++row) {
    setRowColorByHand(row, static_cast<std::uint32_t>(0x010203 * (row + 1)));
    setSpecText(row, QStringLiteral("Row %1 \"x\" \\ \u00FC").arg(row));
  }
  setSpecText(9, QString(99, QLatin1Char('z')));
  // A colour changed only in the table's cell is saved: saving reads the cells.
  page.specificationTable()->item(20, 1)->setBackground(QColor(0xAB, 0xCD, 0xEF));
  const RowColorArray shown = [&] {
    RowColorArray c = session.RowColors;
    c[20] = 0xABCDEF;
    return c;
  }();
  const auto path = dir.file("attrs.ini");
  QSignalSpy changed(&page, &TableAttributesPage::rowColorsChanged);
  ASSERT_EQ(save(path), 1);
  EXPECT_EQ(session.tableAttributesFile, path);
  EXPECT_EQ(session.RowColors, shown);
  EXPECT_EQ(changed.count(), 1);           // the cell's colour reached RowColors
  EXPECT_EQ(popups.records().size(), 1u);  // the file dialog only

  popups.answerConfirm(true);
  ASSERT_TRUE(page.ResetTableAttributes());
  ASSERT_EQ(page.rowColorCell(20), defaultRowColor(20));

  ASSERT_EQ(get(path), 1);
  EXPECT_EQ(session.RowColors, shown);
  for (int row = 0; row < 64; ++row) {
    EXPECT_EQ(page.rowColorCell(row), shown[static_cast<std::size_t>(row)]) << row;
  }
  EXPECT_EQ(specText(0), QStringLiteral("Row 0 \"x\" \\ \u00FC"));
  EXPECT_EQ(specText(63), QStringLiteral("Row 63 \"x\" \\ \u00FC"));
  EXPECT_EQ(specText(9), QString(99, QLatin1Char('z')));
  EXPECT_EQ(changed.count(), 3);  // reset and get
}

TEST_F(TableAttributesPageTest, TheReferenceFileReadAndSavedAgainKeepsEveryByte) {
  ASSERT_EQ(get(kReference), 1);
  EXPECT_EQ(session.RowColors[1], 0x123456u);
  EXPECT_EQ(specText(12), QStringLiteral("Gr\u00FCn"));
  const auto path = dir.file("again.ini");
  ASSERT_EQ(save(path), 1);
  EXPECT_EQ(drq::test::readFileBytes(path), drq::test::readFileBytes(kReference));
}

TEST_F(TableAttributesPageTest, FileWithoutRow12GivesItsDefaultAndListsIt) {
  std::string bytes = drq::test::readFileBytes(kReference);
  const auto from = bytes.find("[TABLE ATTR OF TEACH VECTOR 12]");
  bytes.erase(from, bytes.find("[TABLE ATTR OF TEACH VECTOR 13]") - from);
  const auto path = dir.file("no12.ini");
  ASSERT_TRUE(drq::test::writeFileBytes(path, bytes));
  setSpecText(12, QStringLiteral("stale"));
  setRowColorByHand(12, 0x000001);

  ASSERT_EQ(get(path), 1);
  EXPECT_EQ(session.RowColors[12], 0x008000u);
  EXPECT_EQ(page.rowColorCell(12), 0x008000u);
  EXPECT_EQ(specText(12), QString());
  EXPECT_EQ(lastPopup().first, q(attrs::kMissingRowsTitle));
  EXPECT_EQ(lastPopup().second,
            q(attrs::kMissingRowsText) + QStringLiteral("TABLE ATTR OF TEACH VECTOR 12\n"));
}

TEST_F(TableAttributesPageTest, FileThatCannotBeReadIsToldWithItsReasonAndChangesNothing) {
  const auto locked = dir.file("locked.ini");
  ASSERT_TRUE(drq::test::writeFileBytes(locked, drq::test::readFileBytes(kReference)));
  fs::permissions(locked, fs::perms::none);
  // A folder cannot be read by anyone; a file without permissions by anyone but root.
  std::vector<std::pair<fs::path, std::errc>> unreadable = {
      {dir.path(), std::errc::is_a_directory}};
  if (::geteuid() != 0) unreadable.emplace_back(locked, std::errc::permission_denied);

  setRowColorByHand(0, 0x0000FF);
  setSpecText(0, QStringLiteral("kept"));
  QSignalSpy changed(&page, &TableAttributesPage::rowColorsChanged);
  for (const auto& [path, error] : unreadable) {
    popups.clearRecords();
    EXPECT_EQ(get(path), -1);
    ASSERT_EQ(popups.records().size(), 2u);  // the file dialog, then the notice
    EXPECT_EQ(lastPopup().first, QString::fromLatin1(kTitleAttention));
    EXPECT_EQ(lastPopup().second,
              q(attrs::kMsgTableAttributesNotRead) + qpath(path) + QStringLiteral("\n\n") +
                  QString::fromStdString(std::make_error_code(error).message()));
  }
  EXPECT_EQ(session.RowColors[0], 0x0000FFu);
  EXPECT_EQ(session.RowColors[1], defaultRowColor(1));
  EXPECT_EQ(page.rowColorCell(0), 0x0000FFu);
  EXPECT_EQ(specText(0), QStringLiteral("kept"));
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(session.tableAttributesFile, fs::path());
}

TEST_F(TableAttributesPageTest, ParameterFileAsksAndNoLeavesEveryRow) {
  const auto path = dir.file("Parameter.ini");
  ASSERT_TRUE(writeParameterFile(path, defaultParaSet()).ok());
  setRowColorByHand(0, 0x0000FF);
  setSpecText(0, QStringLiteral("kept"));
  QSignalSpy changed(&page, &TableAttributesPage::rowColorsChanged);
  popups.clearRecords();

  popups.answerFile(1, qpath(path));
  popups.answerConfirm(false);
  EXPECT_EQ(page.GetTableSettings(), -1);
  const auto& records = popups.records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].kind, PopupKind::Confirm);
  EXPECT_EQ(records[1].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(records[1].text, q(attrs::kMsgNotTableAttributesFile));
  EXPECT_EQ(records[2].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(records[2].text, q(kMsgNothingRead));
  EXPECT_EQ(session.RowColors[0], 0x0000FFu);
  EXPECT_EQ(page.rowColorCell(0), 0x0000FFu);
  EXPECT_EQ(specText(0), QStringLiteral("kept"));
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(TableAttributesPageTest, NoFileChosenChangesNothing) {
  popups.answerFile(0, QString());
  EXPECT_EQ(page.SaveTableSettings(), 0);
  EXPECT_EQ(lastPopup().second, q(kMsgNoFileSelected));
  // Get takes existing files only.
  popups.answerFile(2, qpath(dir.file("new.ini")));
  EXPECT_EQ(page.GetTableSettings(), 0);
  EXPECT_EQ(lastPopup().first, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(lastPopup().second, q(kMsgNoFileSelected));
  EXPECT_EQ(session.tableAttributesFile, fs::path());

  // The dialog: its title, filter and proposed name, in the program directory.
  const std::vector<PopupRecord> dialogs = popups.records(PopupKind::File);
  const PopupRecord& asked = dialogs.front();
  EXPECT_EQ(asked.file.title, QStringLiteral("TableAttributes"));
  EXPECT_EQ(asked.file.filter, QStringLiteral("*.ini"));
  EXPECT_EQ(asked.file.defaultName, QStringLiteral("TableAttributes.ini"));
  EXPECT_EQ(asked.file.directory, qpath(dir.path()));
  EXPECT_TRUE(asked.file.allowNew);
  EXPECT_FALSE(dialogs.back().file.allowNew);
}

TEST_F(TableAttributesPageTest, FileThatCannotBeWrittenIsToldAndKeptIntact) {
  const fs::path locked = dir.file("locked");
  fs::create_directory(locked);
  const fs::path path = locked / "TableAttributes.ini";
  ASSERT_TRUE(drq::test::writeFileBytes(path, "old\r\n"));
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);

  EXPECT_EQ(save(path), -1);
  EXPECT_EQ(lastPopup().first, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(lastPopup().second,
            q(attrs::kMsgTableAttributesNotWritten) + qpath(path) + QStringLiteral("\n\n") +
                QString::fromStdString(std::generic_category().message(EACCES)));
  fs::permissions(locked, fs::perms::owner_all);
  EXPECT_EQ(drq::test::readFileBytes(path), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
}

TEST_F(TableAttributesPageTest, ResetMakesEveryFifteenthRowRedAndEmptiesTheTexts) {
  setRowColorByHand(15, 0x000001);
  setSpecText(30, QStringLiteral("text"));
  session.RowColors[70] = 0x000002;

  popups.answerConfirm(false);
  EXPECT_FALSE(page.ResetTableAttributes());
  EXPECT_EQ(page.rowColorCell(15), 0x000001u);
  EXPECT_EQ(specText(30), QStringLiteral("text"));

  popups.clearRecords();
  popups.answerConfirm(true);
  QTest::mouseClick(page.resetButton(), Qt::LeftButton);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(lastPopup().first, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(lastPopup().second, QString::fromLatin1(kConfirmResetTable));
  for (int row : {0, 15, 30, 45, 60}) {
    EXPECT_EQ(page.rowColorCell(row), kRed) << row;
    EXPECT_EQ(session.RowColors[static_cast<std::size_t>(row)], kRed) << row;
  }
  EXPECT_EQ(session.RowColors, defaultRowColors());  // all 75 entries
  for (int row = 0; row < 64; ++row) EXPECT_EQ(specText(row), QString()) << row;
}

TEST_F(TableAttributesPageTest, AutomaticModeDimsTheManualControlsAndShowsThePatch) {
  QSignalSpy patch(&page, &TableAttributesPage::colorPatchShown);
  page.show();
  page.rowColorSwitch()->setFocus();
  QTest::keyClick(page.rowColorSwitch(), Qt::Key_Space);
  ASSERT_TRUE(page.automaticRowColors());
  EXPECT_FALSE(page.rowNumber()->isEnabled());
  EXPECT_FALSE(page.colorSelector()->isEnabled());
  EXPECT_FALSE(page.setRowColorButton()->isEnabled());
  ASSERT_EQ(patch.count(), 1);
  EXPECT_TRUE(patch.back().at(0).toBool());

  QTest::mouseClick(page.rowColorSwitch(), Qt::LeftButton);
  EXPECT_FALSE(page.automaticRowColors());
  EXPECT_TRUE(page.rowNumber()->isEnabled());
  EXPECT_TRUE(page.colorSelector()->isEnabled());
  EXPECT_TRUE(page.setRowColorButton()->isEnabled());
  ASSERT_EQ(patch.count(), 2);
  EXPECT_FALSE(patch.back().at(0).toBool());

  // ROW and COLOR commit InitSrcPanel too.
  page.rowNumber()->setValue(5);
  page.colorSelector()->setColor(0x123456);
  EXPECT_EQ(patch.count(), 4);
}

}  // namespace
}  // namespace drq::gui::test
