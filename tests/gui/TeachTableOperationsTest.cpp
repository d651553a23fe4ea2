// The teach table's operations on the real page: Teach data to with the
// default tolerances, the context menu with its prompts, and the
// rearrangement when the calculation mode changes family.
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QSpinBox>

#include "core/PopupTitles.h"
#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/charts/ColourGraph.h"
#include "gui/charts/IntensityBar.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/shell/TeachOperations.h"
#include "gui/shell/WindowParts.h"

namespace drq::gui::test {
namespace {

using W = ParaWord;
using Item = TeachTablePage::MenuItem;

class TeachTableOperationsTest : public ShellTest {
 protected:
  void SetUp() override {
    startOffline();
    popups.clearRecords();
    session.CurrentFrame[FrameWord::X] = 300;
    session.CurrentFrame[FrameWord::Y] = 400;
    session.CurrentFrame[FrameWord::Int] = 2000;
    session.CurrentFrame[FrameWord::Red] = 1000;
    session.CurrentFrame[FrameWord::Green] = 2000;
    session.CurrentFrame[FrameWord::Blue] = 3000;
    // What the display panel shows is what gets taught.
    part<DataPanel>(*window).showFrame(session.CurrentFrame, 0x102030, false);
    session.CurrentFrame = LiveFrame{};
  }
  ParameterPage& parameters() { return part<ParameterPage>(*window); }
  TeachTablePage& page() { return part<TeachTablePage>(*window); }
  WordTable* table() { return page().teachTable(); }

  std::vector<int> row(int r) {
    std::vector<int> cells;
    for (int c = 0; c < 5; ++c) cells.push_back(table()->value(r, c));
    return cells;
  }
  void setRow(int r, std::initializer_list<std::uint16_t> cells) {
    int c = 0;
    for (std::uint16_t v : cells) table()->setValue(r, c++, v);
  }
  void teachRow(int r) {
    page().rowNumber()->setValue(r);
    window->teachOperations().TeachDataTo();
  }
  void select(int top, int left, int bottom, int right) {
    table()->clearSelection();
    table()->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
  }
  void runMenu(Item item) { page().menuAction(item)->trigger(); }
};

TEST_F(TeachTableOperationsTest, TaughtRowsGetTheDefaultTolerancesOfTheModes) {
  struct Case {
    std::uint16_t eval, calc, power;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {0, 0, 1, {300, 400, 100, 2000, 50}},   // FIRST HIT, DYN
      {0, 0, 0, {300, 400, 100, 2000, 100}},  // FIRST HIT, STAT
      {1, 0, 0, {300, 400, 200, 2000, 200}},  // BEST HIT
      {2, 0, 1, {300, 400, 40, 2000, 100}},   // MIN DIST, DYN
      {1, 1, 0, {300, 400, 200, 2000, 50}},   // s i M 2D
      {3, 0, 1, {300, 400, 100, 2000, 50}},   // COL5 as FIRST HIT
      {1, 2, 0, {300, 400, 2000, 200, 1}},    // 3D: intensity in column 3, TOL, 1
      {2, 3, 0, {300, 400, 2000, 40, 1}},
  };
  for (const Case& c : cases) {
    // The controls as the operator left them, without the rules' help.
    parameters().setControlValue(W::EvaluationMode, c.eval);
    parameters().setControlValue(W::CalculationMode, c.calc);
    parameters().setControlValue(W::PowerMode, c.power);
    setRow(6, {9, 9, 9, 9, 9});
    teachRow(6);
    EXPECT_EQ(row(6), c.expected) << c.eval << " " << c.calc << " " << c.power;
    EXPECT_EQ(session.working.table[6].cell(4), c.expected[4]);  // read back at once
  }
  EXPECT_EQ(session.working.record[W::EvaluationMode], 2);
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(TeachTableOperationsTest, TeachingDrawsTheRowAndTheResetDeletesEveryPlot) {
  TwoDGraphPage& twoD = part<DataPanel>(*window).twoDGraphPage();
  teachRow(0);
  EXPECT_EQ(session.CurrentFrame[FrameWord::X], 300);  // read back from the display
  EXPECT_EQ(twoD.colourPlane().figureCount(), 64);
  EXPECT_EQ(twoD.colourPlane().figureRect(0).left, 100);  // X 300 - CTO 200
  ASSERT_TRUE(twoD.intensityBar().band().has_value());
  EXPECT_EQ(twoD.intensityBar().band()->to, 2200);

  popups.answerConfirm(false);
  page().resetButton()->click();
  EXPECT_EQ(twoD.colourPlane().figureCount(), 64);
  page().rowNumber()->setValue(9);
  popups.answerConfirm(true);
  page().resetButton()->click();
  EXPECT_EQ(page().rowNumber()->value(), 0);
  EXPECT_EQ(row(0), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(twoD.colourPlane().figureCount(), 0);
  EXPECT_FALSE(twoD.intensityBar().band().has_value());
  EXPECT_EQ(part<DataPanel>(*window).threeDGraphPage().view(2).figureCount(), 0);
  // The working set keeps the taught row until the panels are read; a chosen
  // row's band comes from the table as shown.
  EXPECT_EQ(session.working.table[0].cell(0), 300);
  page().rowNumber()->setValue(1);
  page().rowNumber()->setValue(0);
  ASSERT_TRUE(twoD.intensityBar().band().has_value());
  EXPECT_EQ(twoD.intensityBar().band()->to, 2);
}

TEST_F(TeachTableOperationsTest, TheBandAfterAResetShowsTheRowAsTheTableShowsIt) {
  IntensityBar& bar = part<DataPanel>(*window).twoDGraphPage().intensityBar();
  teachRow(0);
  ASSERT_EQ(bar.band()->to, 2200);
  popups.answerConfirm(true);
  page().resetButton()->click();
  // The working set still holds the taught row; the graphs drawn now (as
  // GO or a table edit draws them) show the row as the table shows it.
  ASSERT_EQ(session.working.table[0].cell(3), 2000);
  part<LiveMonitor>(*window).InitGraphs();
  ASSERT_TRUE(bar.band().has_value());
  EXPECT_EQ(bar.band()->from, 0);
  EXPECT_EQ(bar.band()->to, 2);
}

TEST_F(TeachTableOperationsTest, ToleranceOffKeepsTheRowsTolerances) {
  QAction* off = page().menuAction(Item::TolOff);
  QAction* on = page().menuAction(Item::TolOn);
  EXPECT_TRUE(off->isEnabled());
  EXPECT_FALSE(on->isEnabled());
  EXPECT_FALSE(page().teachToleranceOff());

  runMenu(Item::TolOff);
  EXPECT_TRUE(page().teachToleranceOff());
  EXPECT_FALSE(off->isEnabled());
  EXPECT_TRUE(on->isEnabled());
  setRow(2, {7, 7, 77, 7, 88});
  teachRow(2);
  EXPECT_EQ(row(2), (std::vector<int>{300, 400, 77, 2000, 88}));

  runMenu(Item::TolOn);
  EXPECT_FALSE(page().teachToleranceOff());
  EXPECT_TRUE(off->isEnabled());
  teachRow(2);
  EXPECT_EQ(row(2), (std::vector<int>{300, 400, 200, 2000, 200}));
}

TEST_F(TeachTableOperationsTest, IncAdvancesNoUpToTheLastRow) {
  page().autoIncrement()->setChecked(true);
  teachRow(10);
  EXPECT_EQ(page().rowNumber()->value(), 11);
  teachRow(63);
  EXPECT_EQ(page().rowNumber()->value(), 63);
  EXPECT_EQ(row(63)[0], 300);
  page().autoIncrement()->setChecked(false);
  teachRow(20);
  EXPECT_EQ(page().rowNumber()->value(), 20);
}

TEST_F(TeachTableOperationsTest, ThdRgbTeachesTheThreeThresholds) {
  choose(parameters(), W::EvaluationMode, 4);
  EXPECT_FALSE(page().teachDataToButton()->isEnabled());
  page().autoIncrement()->setChecked(true);
  setRow(10, {5, 5, 5, 5, 5});
  teachRow(10);
  EXPECT_EQ(table()->value(0, 0), 1000);
  EXPECT_EQ(table()->value(1, 0), 2000);
  EXPECT_EQ(table()->value(2, 0), 3000);
  EXPECT_EQ(row(10), (std::vector<int>{5, 5, 5, 5, 5}));
  EXPECT_EQ(page().rowNumber()->value(), 10);
  EXPECT_EQ(session.working.table[1].cell(0), 2000);
}

TEST_F(TeachTableOperationsTest, TheMenuReplacesTheHelpOnARightClick) {
  QMenu* menu = page().contextMenu();
  QStringList items;
  for (QAction* action : menu->actions()) {
    items << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  EXPECT_EQ(items,
            (QStringList{"Help", "-", "Set selection to", "Increment selection with",
                         "Reset selection", "-", "Teach tolerance off", "Teach tolerance on"}));
  page().show();
  const QPoint inside(30, 30);
  QContextMenuEvent event(QContextMenuEvent::Mouse, inside,
                          table()->viewport()->mapToGlobal(inside));
  QApplication::sendEvent(table()->viewport(), &event);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_TRUE(popups.records().empty());
  menu->hide();

  runMenu(Item::Help);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleInfo));
  EXPECT_TRUE(popups.records()[0].text.startsWith(QStringLiteral("TEACH TABLE")));
}

TEST_F(TeachTableOperationsTest, SelectionOperationsWriteOnlyEditableSelectedCells) {
  // Increment 5 over 1 x 4 cells from 10.
  table()->setValue(2, 0, 10);
  select(2, 0, 2, 3);
  popups.answerPrompt(QStringLiteral("5"));
  runMenu(Item::IncrementSelectionWith);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].kind, PopupKind::Prompt);
  EXPECT_EQ(popups.records()[0].title, QStringLiteral("VALUE!"));
  EXPECT_EQ(popups.records()[0].text, QStringLiteral("Insert a cell value!"));
  EXPECT_EQ(row(2), (std::vector<int>{10, 15, 20, 25, 1}));
  EXPECT_EQ(session.working.table[2].cell(3), 25);

  // Row by row, the colour column untouched, 16-bit wrap.
  table()->setValue(5, 3, 65534);
  select(5, 3, 6, 5);
  popups.answerPrompt(QStringLiteral(" 1 "));
  runMenu(Item::IncrementSelectionWith);
  EXPECT_EQ(table()->value(5, 4), 65535);
  EXPECT_EQ(table()->value(6, 3), 0);
  EXPECT_EQ(table()->value(6, 4), 1);

  select(8, 1, 9, 5);
  popups.answerPrompt(QStringLiteral("65535"));
  runMenu(Item::SetSelectionTo);
  EXPECT_EQ(row(9), (std::vector<int>{1, 65535, 65535, 65535, 65535}));
  runMenu(Item::ResetSelection);
  EXPECT_EQ(row(8), (std::vector<int>{1, 1, 1, 1, 1}));

  // A column the mode hides (CTO in MIN DIST) is written like the others.
  choose(parameters(), W::EvaluationMode, 2);
  ASSERT_TRUE(table()->isColumnHidden(2));
  select(12, 0, 12, 4);
  popups.answerPrompt(QStringLiteral("7"));
  runMenu(Item::SetSelectionTo);
  EXPECT_EQ(row(12), (std::vector<int>{7, 7, 7, 7, 7}));
  EXPECT_EQ(session.working.table[12].cell(2), 7);
  EXPECT_EQ(popups.unscripted(), 0);
}

TEST_F(TeachTableOperationsTest, TheNumberAtTheStartOfAnAnswerIsTaken) {
  select(3, 0, 3, 1);
  popups.answerPrompt(QStringLiteral("12abc"));
  runMenu(Item::SetSelectionTo);
  EXPECT_EQ(row(3), (std::vector<int>{12, 12, 1, 1, 1}));
  popups.answerPrompt(QStringLiteral("5 more"));
  runMenu(Item::IncrementSelectionWith);
  EXPECT_EQ(row(3), (std::vector<int>{12, 17, 1, 1, 1}));
  EXPECT_TRUE(popups.records(PopupKind::Message).empty());
}

TEST_F(TeachTableOperationsTest, AnswersThatDoNotFitChangeNothing) {
  select(3, 0, 3, 2);
  popups.answerPrompt(QStringLiteral("abc"));
  popups.answerPrompt(std::nullopt);
  popups.answerPrompt(QStringLiteral("70000"));
  popups.answerPrompt(QStringLiteral("-1"));
  for (int i = 0; i < 4; ++i) runMenu(Item::SetSelectionTo);
  popups.answerPrompt(QStringLiteral("65536"));
  runMenu(Item::IncrementSelectionWith);
  EXPECT_EQ(row(3), (std::vector<int>{1, 1, 1, 1, 1}));
  // Only the whole numbers out of range are explained.
  const auto messages = popups.records(PopupKind::Message);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("0...65535")));
  EXPECT_TRUE(messages[2].text.contains(QStringLiteral("-65535...65535")));

  // Without a selection nothing is asked.
  table()->clearSelection();
  popups.clearRecords();
  runMenu(Item::SetSelectionTo);
  runMenu(Item::IncrementSelectionWith);
  runMenu(Item::ResetSelection);
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(TeachTableOperationsTest, CalculationModeFamilyChangeRearrangesTheRows) {
  setRow(4, {100, 200, 50, 1000, 80});
  window->GetPanelValues();
  choose(parameters(), W::CalculationMode, 1);  // within 2D: unchanged
  EXPECT_EQ(row(4), (std::vector<int>{100, 200, 50, 1000, 80}));
  choose(parameters(), W::CalculationMode, 2);
  EXPECT_EQ(row(4), (std::vector<int>{100, 200, 1000, 50, 1}));
  EXPECT_EQ(session.working.table[4].cell(2), 1000);
  EXPECT_EQ(session.working.record[W::CalculationMode], 2);
  choose(parameters(), W::CalculationMode, 0);
  EXPECT_EQ(row(4), (std::vector<int>{100, 200, 50, 1000, 50}));
  EXPECT_EQ(row(0), (std::vector<int>{1, 1, 1, 1, 1}));
}

}  // namespace
}  // namespace drq::gui::test
