// The parameter, group and hold, and teach table pages: their controls, the
// way they show and read the working parameter set, and their help.
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>

#include "gui/ShellFixture.h"
#include "gui/common/Texts.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/ValueRing.h"
#include "gui/widgets/WordTable.h"

namespace drq::gui::test {
namespace {

class ParameterPages : public ShellTest {};

using W = ParaWord;

// A set in which every word and cell differs from the defaults.
ParaSet distinctSet() {
  ParaSet set = defaultParaSet();
  auto& r = set.record;
  r[W::Power] = 733;
  r[W::PowerMode] = 1;
  r[W::Average] = 40000;
  r[W::EvaluationMode] = 2;
  r[W::HoldFail] = 65535;
  r[W::IntLim] = 17;
  r[W::MaxVecNo] = 64;
  r[W::DigitalOutmode] = 3;
  r[W::Trigger] = 6;
  r[W::ExternTeach] = 0;
  r[W::CalculationMode] = 3;
  r[W::DynWinLo] = 100;
  r[W::DynWinHi] = 4000;
  r[W::ColorGroup] = 1;
  r[W::LedMode] = 3;
  r[W::Gain] = 7;
  r[W::Integral] = 250;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    auto& v = set.table[row];
    for (std::size_t c = 0; c < kTeachCells; ++c) {
      v.cell(c) = static_cast<std::uint16_t>(1000 * c + row + (row == 63 ? 60000 : 0));
    }
    v.group() = static_cast<std::uint16_t>(row % 31);
    v.hold() = static_cast<std::uint16_t>(row * 3 + 1);
  }
  return set;
}

TEST_F(ParameterPages, ControlsStartAtTheFileDefaultsAndAreTheFirstWorkingSet) {
  startOffline();
  EXPECT_EQ(session.working, defaultParaSet());
  ParameterPage& page = part<ParameterPage>(*window);
  EXPECT_EQ(page.powerSlider()->value(), 500);
  EXPECT_EQ(page.powerField()->value(), 500);
  EXPECT_EQ(page.ring(W::Gain)->currentText(), QStringLiteral("AMP6"));
  EXPECT_EQ(page.ring(W::EvaluationMode)->currentText(), QStringLiteral("BEST HIT"));
  EXPECT_EQ(page.ring(W::LedMode)->currentText(), QStringLiteral("DC"));
  EXPECT_EQ(page.triggerRingItems(), 7u);
  EXPECT_EQ(page.triggerRing()->itemText(6), QStringLiteral("PARA"));
  EXPECT_EQ(page.triggerRing()->itemData(6).toUInt(), 6u);

  WordTable* hold = part<GroupHoldPage>(*window).holdTable();
  EXPECT_EQ(hold->rowCount(), 65);
  EXPECT_TRUE(hold->rowLabel(0).contains(QStringLiteral("FAIL")));
  EXPECT_EQ(hold->rowLabel(64), QStringLiteral("65"));
  EXPECT_EQ(part<GroupHoldPage>(*window).groupTable()->rowLabel(63), QStringLiteral("64"));
  WordTable* teach = part<TeachTablePage>(*window).teachTable();
  EXPECT_EQ(teach->columnCount(), 6);
  EXPECT_EQ(teach->columnHeading(2), QStringLiteral("CTO"));
  // Row colours: teach row 15 is red again in every table.
  EXPECT_EQ(teach->rowColor(15), 0xFF0000u);
  EXPECT_EQ(part<GroupHoldPage>(*window).groupTable()->rowColor(15), 0xFF0000u);
  EXPECT_EQ(hold->rowColor(16), 0xFF0000u);
}

TEST_F(ParameterPages, PanelsShowAndReadBackEveryValueWithoutTouchingSpareWords) {
  startOffline();
  const ParaSet shown = distinctSet();
  session.working = shown;
  window->SetPanelValues();
  EXPECT_EQ(part<ParameterPage>(*window).ring(W::Trigger)->currentText(), QStringLiteral("PARA"));
  EXPECT_EQ(part<TeachTablePage>(*window).teachTable()->value(63, 4), 64063);
  EXPECT_EQ(part<GroupHoldPage>(*window).holdTable()->value(0, 0), 65535);  // HOLD FAIL
  EXPECT_EQ(part<GroupHoldPage>(*window).holdTable()->value(64, 0), 63 * 3 + 1);

  ParaSet read = defaultParaSet();
  for (std::size_t row = 0; row < kTeachRows; ++row) read.table[row].spare() = 0xBEEF;
  session.working = read;
  window->GetPanelValues();
  ParaSet expected = shown;
  for (std::size_t row = 0; row < kTeachRows; ++row) expected.table[row].spare() = 0xBEEF;
  EXPECT_EQ(session.working, expected);
}

TEST_F(ParameterPages, TriggerRingGetsItsItemsFromExternTeachBeforeTriggerIsSet) {
  startOffline();
  ParameterPage& page = part<ParameterPage>(*window);
  // EXTERN TEACH ON leaves CONT and SELF.
  session.working.record[W::ExternTeach] = 1;
  session.working.record[W::Trigger] = 1;
  window->SetPanelValues();
  EXPECT_EQ(page.triggerRingItems(), 2u);
  EXPECT_EQ(page.controlValue(W::Trigger), 1);

  // Back to OFF with PARA: the items return before PARA is chosen.
  session.working.record[W::ExternTeach] = 0;
  session.working.record[W::Trigger] = 6;
  window->SetPanelValues();
  EXPECT_EQ(page.triggerRingItems(), 7u);
  EXPECT_EQ(page.controlValue(W::Trigger), 6);

  // An external trigger cannot stand beside EXTERN TEACH: it shows as CONT.
  session.working.record[W::ExternTeach] = 2;
  session.working.record[W::Trigger] = 3;
  window->SetPanelValues();
  EXPECT_EQ(page.triggerRingItems(), 2u);
  EXPECT_EQ(page.controlValue(W::Trigger), 0);
  EXPECT_FALSE(page.triggerRing()->showsUnknownValue());
}

TEST_F(ParameterPages, UnknownCodesSurviveAndOutOfRangeNumbersAreReported) {
  startOffline();
  ParameterPage& page = part<ParameterPage>(*window);
  session.working.record[W::LedMode] = 7;
  session.working.record[W::Gain] = 8;
  session.working.record[W::ColorGroup] = 2;
  session.working.record[W::Power] = 1500;
  session.working.record[W::Integral] = 251;
  session.working.record[W::MaxVecNo] = 65;
  popups.clearRecords();
  window->refreshPanelsFromWorkingSet();

  EXPECT_EQ(page.ring(W::LedMode)->currentText(), QStringLiteral("?(7)"));
  EXPECT_EQ(part<GroupHoldPage>(*window).colorGroupSwitch()->currentText(), QStringLiteral("?(2)"));
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[0].text,
            QString::fromLatin1(kMsgValuesLimited) +
                QStringLiteral("POWER 1500 -> 1000\nMAX VEC NO 65 -> 64\nINTEGRAL 251 -> 250\n"));
  EXPECT_EQ(page.powerSlider()->value(), 1000);

  window->GetPanelValues();
  EXPECT_EQ(session.working.record[W::LedMode], 7);  // kept as it came
  EXPECT_EQ(session.working.record[W::Gain], 8);
  EXPECT_EQ(session.working.record[W::ColorGroup], 2);
  EXPECT_EQ(session.working.record[W::Power], 1000);

  // The operator picks a named item: the unknown one goes.
  ValueRing* led = page.ring(W::LedMode);
  QSignalSpy committed(led, &ValueRing::valueCommitted);
  led->setCurrentIndex(2);
  emit led->activated(2);
  EXPECT_EQ(committed.size(), 1);
  EXPECT_EQ(led->value(), 2);
  EXPECT_FALSE(led->showsUnknownValue());
  EXPECT_EQ(led->count(), 4);
}

TEST(WordTableTest, CellsHoldOnlySixteenBitValuesAndReportOperatorEdits) {
  WordTable table(3, {QStringLiteral("A"), QStringLiteral("B")}, true);
  QSignalSpy changed(&table, &WordTable::cellValueChanged);
  table.setValue(1, 1, 65535);
  EXPECT_EQ(table.value(1, 1), 65535);
  table.item(1, 1)->setText(QStringLiteral("65536"));
  table.item(1, 1)->setText(QStringLiteral("-1"));
  table.item(1, 1)->setText(QStringLiteral("12abc"));
  table.item(1, 1)->setData(Qt::EditRole, QStringLiteral(""));
  EXPECT_EQ(table.value(1, 1), 65535);
  table.setValue(7, 0, 5);  // outside the table: nothing happens
  table.setValue(0, 2, 5);  // the colour column holds no value
  EXPECT_EQ(table.value(0, 2), 0);
  EXPECT_EQ(changed.size(), 0);  // programmatic changes are silent

  // The operator edits in a spin box limited to 0..65535.
  table.show();
  table.setCurrentCell(2, 0);
  table.editItem(table.item(2, 0));
  auto* editor = table.findChild<QSpinBox*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maximum(), 65535);
  EXPECT_EQ(editor->minimum(), 0);
  QTest::keyClicks(editor, QStringLiteral("999999"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();   // the view commits the editor's data posted
  EXPECT_EQ(table.value(2, 0), 9999);  // digits beyond 65535 are refused
  ASSERT_EQ(changed.size(), 1);
  EXPECT_EQ(changed[0][0].toInt(), 2);
  EXPECT_FALSE(table.commitValue(2, 0, 9999));  // unchanged: no signal
  EXPECT_EQ(changed.size(), 1);

  table.setRowColor(0, 0x123456);
  EXPECT_EQ(table.rowColor(0), 0x123456u);
  EXPECT_FALSE(table.isValueCell(0, 2));
  table.setRowLabelColor(1, 0x008000);
  EXPECT_EQ(table.rowLabelColor(1), 0x008000u);
  EXPECT_FALSE(table.rowLabelColor(0).has_value());
}

TEST_F(ParameterPages, TeachCellEditsReachTheWorkingSetAtOnce) {
  startOffline();
  part<TeachTablePage>(*window).teachTable()->commitValue(5, 3, 4321);
  EXPECT_EQ(session.working.table[5].cell(3), 4321);
}

TEST_F(ParameterPages, ResetButtonsAskFirstAndResetTheirTable) {
  startOffline();
  session.working = distinctSet();
  window->SetPanelValues();
  GroupHoldPage& groups = part<GroupHoldPage>(*window);
  TeachTablePage& teach = part<TeachTablePage>(*window);
  groups.groupTable()->setCellBackground(4, 0, 0xFF0000);
  teach.rowNumber()->setValue(12);

  popups.answerConfirm(false);
  popups.answerConfirm(false);
  popups.answerConfirm(false);
  groups.groupResetButton()->click();
  groups.holdResetButton()->click();
  teach.resetButton()->click();
  EXPECT_EQ(groups.groupTable()->value(4, 0), 4);
  EXPECT_EQ(groups.holdTable()->value(0, 0), 65535);
  EXPECT_EQ(teach.teachTable()->value(2, 1), 1002);
  EXPECT_EQ(teach.rowNumber()->value(), 12);

  popups.clearRecords();
  groups.holdResetValue()->setValue(77);
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  groups.groupResetButton()->click();
  groups.holdResetButton()->click();
  teach.resetButton()->click();
  ASSERT_EQ(popups.records().size(), 3u);
  for (const auto& record : popups.records()) {
    EXPECT_EQ(record.title, QString::fromLatin1(kTitleAttention));
    EXPECT_EQ(record.text, QString::fromLatin1(kConfirmResetTable));
  }
  for (int row = 0; row < 64; ++row) {
    EXPECT_EQ(groups.groupTable()->value(row, 0), 0);
    EXPECT_EQ(teach.teachTable()->value(row, 4), 1);
  }
  EXPECT_EQ(groups.groupTable()->cellBackground(4, 0), 0xFFFFFFu);
  EXPECT_EQ(groups.holdTable()->value(0, 0), 77);  // HOLD FAIL too
  EXPECT_EQ(groups.holdTable()->value(64, 0), 77);
  EXPECT_EQ(teach.rowNumber()->value(), 0);
  // The working set takes them with the next reading of the panels.
  EXPECT_EQ(session.working.table[0].hold(), 1);
  window->GetPanelValues();
  EXPECT_EQ(session.working.table[0].hold(), 77);
}

TEST_F(ParameterPages, ModeControlsAnnounceTheirCommitForTheRules) {
  startOffline();
  ParameterPage& page = part<ParameterPage>(*window);
  QSignalSpy modes(&page, &ParameterPage::modeControlCommitted);
  page.numeric(W::MaxVecNo)->setValue(9);  // as the operator's arrows do
  page.numeric(W::Average)->setValue(9);   // help only
  ValueRing* calc = page.ring(W::CalculationMode);
  emit calc->activated(2);
  ASSERT_EQ(modes.size(), 2);
  EXPECT_EQ(modes[0][0].toInt(), static_cast<int>(W::MaxVecNo));
  EXPECT_EQ(modes[1][0].toInt(), static_cast<int>(W::CalculationMode));
  // A SetPanelValues is no commit.
  window->SetPanelValues();
  EXPECT_EQ(modes.size(), 2);

  QSignalSpy groups(&part<GroupHoldPage>(*window), &GroupHoldPage::groupCellCommitted);
  part<GroupHoldPage>(*window).groupTable()->commitValue(9, 0, 3);
  ASSERT_EQ(groups.size(), 1);
  EXPECT_EQ(groups[0][0].toInt(), 9);
}

}  // namespace
}  // namespace drq::gui::test
