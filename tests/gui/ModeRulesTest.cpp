// The mode rules on the real panels: what a mode control's commit forces,
// dims, hides and relabels, the two limit messages, the row-label colours and
// the parameter-set buttons.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

#include <set>
#include <utility>

#include "core/params/ModeRules.h"
#include "gui/PanelDriver.h"
#include "gui/ShellFixture.h"
#include "gui/charts/StripChart.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/shell/ModeRulesApplier.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui::test {
namespace {

using W = ParaWord;

constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kRed = 0xFF0000;

class ModeRulesTest : public ShellTest {
 protected:
  void SetUp() override {
    startOffline();
    popups.clearRecords();
  }
  ParameterPage& page() { return part<ParameterPage>(*window); }
  GroupHoldPage& groups() { return part<GroupHoldPage>(*window); }
  TeachTablePage& teach() { return part<TeachTablePage>(*window); }
  std::uint16_t value(W word) { return page().controlValue(word); }
  bool dimmed(W word) { return page().isControlDimmed(word); }
  QStringList headings() {
    QStringList out;
    for (int c = 0; c < 5; ++c) out << teach().teachTable()->columnHeading(c);
    return out;
  }
  QTabWidget* dataPages() { return part<DataPanel>(*window).pages(); }
  DataPanel& data() { return part<DataPanel>(*window); }
  // OUT0..OUT4 as shown (1) or hidden (0).
  std::vector<int> outputs() {
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i) shown.push_back(data().outputLed(i)->isHidden() ? 0 : 1);
    return shown;
  }
};

TEST_F(ModeRulesTest, RulesApplyAtStartUpAndAfterEveryRefresh) {
  // Applied to the start-up values: TRIGGER is CONT, so ParaSet1 cannot be
  // chosen before the first Get.
  EXPECT_FALSE(part<TransferBar>(*window).paraSetButton(1)->isEnabled());
  EXPECT_EQ(teach().teachTable()->rowLabelColor(0), kGreen);
  EXPECT_EQ(session.selectedSet, 0);

  // A loaded set that breaks the limits: the controls are corrected and the
  // message appears, each time such a set is loaded.
  ParaSet loaded = defaultParaSet();
  loaded.record[W::MaxVecNo] = 12;  // above 5 with DIRECT LO and groups off
  loaded.record[W::Trigger] = 5;    // TRANS
  session.selectedSet = 1;
  for (int round = 0; round < 2; ++round) {
    session.working = loaded;
    window->refreshPanelsFromWorkingSet();
    EXPECT_EQ(value(W::MaxVecNo), 5);
  }
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[1].title, QStringLiteral("INFO!"));
  EXPECT_EQ(popups.records()[1].text, QString::fromLatin1(kMsgMaxColTooHigh.data()));
  EXPECT_EQ(teach().teachTable()->rowLabelColor(4), kGreen);
  EXPECT_EQ(teach().teachTable()->rowLabelColor(5), kRed);
  EXPECT_EQ(session.selectedSet, 0);
  EXPECT_FALSE(part<TransferBar>(*window).paraSetButton(1)->isEnabled());
  EXPECT_TRUE(page().isControlDimmed(W::ExternTeach));
  // Forced values reach the working set with the next reading of the panels.
  EXPECT_EQ(session.working.record[W::MaxVecNo], 12);
  window->GetPanelValues();
  EXPECT_EQ(session.working.record[W::MaxVecNo], 5);
}

TEST_F(ModeRulesTest, LightSourceOffStopsThePowerControlsAndDyn1) {
  choose(page(), W::PowerMode, 1);
  EXPECT_TRUE(dimmed(W::Power));
  EXPECT_FALSE(dimmed(W::DynWinLo));
  choose(page(), W::ExternTeach, 3);  // DYN1
  EXPECT_EQ(value(W::PowerMode), 0);
  EXPECT_TRUE(dimmed(W::PowerMode));
  EXPECT_TRUE(dimmed(W::Power));
  EXPECT_FALSE(dimmed(W::DynWinHi));

  choose(page(), W::LedMode, 2);  // OFF
  EXPECT_EQ(value(W::ExternTeach), 0);
  EXPECT_EQ(value(W::Power), 0);
  EXPECT_EQ(page().powerSlider()->value(), 0);
  EXPECT_EQ(value(W::PowerMode), 0);
  for (W word : {W::Power, W::PowerMode, W::DynWinLo, W::DynWinHi}) {
    EXPECT_TRUE(dimmed(word)) << paraKey(word);
  }
  EXPECT_TRUE(popups.records().empty());

  // Light on again in STAT: POWER is free, the window is not.
  choose(page(), W::LedMode, 0);
  EXPECT_FALSE(dimmed(W::PowerMode));
  EXPECT_FALSE(dimmed(W::Power));
  EXPECT_TRUE(dimmed(W::DynWinLo));
  EXPECT_EQ(value(W::Power), 0);  // nothing is given back
}

TEST_F(ModeRulesTest, ExternTeachAndTriggerExcludeEachOther) {
  // A set in which EXT2 stands beside EXTERN TEACH ON (no rule has run yet).
  page().setControlValue(W::Trigger, 3);
  page().setControlValue(W::ExternTeach, 1);
  choose(page(), W::ExternTeach, 1);
  EXPECT_EQ(value(W::Trigger), 0);
  EXPECT_EQ(page().triggerRingItems(), 2u);
  EXPECT_EQ(page().triggerRing()->count(), 2);

  choose(page(), W::ExternTeach, 0);
  EXPECT_EQ(page().triggerRingItems(), 7u);
  EXPECT_EQ(page().triggerRing()->itemText(5), QStringLiteral("TRANS"));
  EXPECT_EQ(value(W::Trigger), 0);

  // The set buttons are dimmed unless TRIGGER is PARA.
  EXPECT_FALSE(part<TransferBar>(*window).paraSetButton(1)->isEnabled());
  choose(page(), W::Trigger, 6);
  EXPECT_TRUE(part<TransferBar>(*window).paraSetButton(1)->isEnabled());
  part<TransferBar>(*window).paraSetButton(1)->click();
  EXPECT_EQ(session.selectedSet, 1);

  // TRANS: EXTERN TEACH OFF and dimmed; parameter set 0 only.
  choose(page(), W::Trigger, 5);
  EXPECT_EQ(value(W::ExternTeach), 0);
  EXPECT_TRUE(dimmed(W::ExternTeach));
  EXPECT_EQ(session.selectedSet, 0);
  EXPECT_TRUE(part<TransferBar>(*window).paraSetButton(0)->isChecked());
  EXPECT_FALSE(part<TransferBar>(*window).paraSetButton(0)->isEnabled());
  EXPECT_FALSE(part<TransferBar>(*window).paraSetButton(1)->isEnabled());

  // CONT frees EXTERN TEACH again.
  choose(page(), W::Trigger, 0);
  EXPECT_FALSE(dimmed(W::ExternTeach));
}

TEST_F(ModeRulesTest, MaxColLimitFollowsTheOutmodeAndReportsEveryTime) {
  window->setActivePage(kPageTeachTable);
  choose(page(), W::DigitalOutmode, 1);  // DIRECT HI
  enter(page(), W::MaxVecNo, 10);
  EXPECT_EQ(value(W::MaxVecNo), 5);
  EXPECT_EQ(window->activePage(), kPageParameter);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QStringLiteral("INFO!"));
  EXPECT_TRUE(popups.records()[0].text.startsWith(QStringLiteral("ATTENTION! \n\nMAXCOL-No.")));

  choose(page(), W::DigitalOutmode, 3);  // BINARY LO
  enter(page(), W::MaxVecNo, 10);
  EXPECT_EQ(value(W::MaxVecNo), 10);
  enter(page(), W::MaxVecNo, 40);
  EXPECT_EQ(value(W::MaxVecNo), 31);
  choose(page(), W::DigitalOutmode, 0);  // DIRECT LO again: 31 is too many
  EXPECT_EQ(value(W::MaxVecNo), 5);
  EXPECT_EQ(popups.records().size(), 3u);

  // With colour groups all 64 rows may be active.
  chooseColorGroup(groups(), 1);
  enter(page(), W::MaxVecNo, 64);
  EXPECT_EQ(value(W::MaxVecNo), 64);
  EXPECT_EQ(popups.records().size(), 3u);
  EXPECT_EQ(teach().teachTable()->rowLabelColor(63), kGreen);
}

TEST_F(ModeRulesTest, GroupCellsAboveTheLimitBecomeZeroWithOneMessage) {
  chooseColorGroup(groups(), 1);  // DIRECT LO: groups 0..4
  WordTable* table = groups().groupTable();
  table->setValue(3, 0, 5);
  table->setValue(7, 0, 30);
  window->setActivePage(kPageParameter);
  popups.clearRecords();
  EXPECT_TRUE(table->commitValue(10, 0, 6));
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QStringLiteral("INFO!"));
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kMsgGroupTooHigh.data()));
  EXPECT_EQ(window->activePage(), kPageGroupHold);
  for (int row : {3, 7, 10}) {
    EXPECT_EQ(table->value(row, 0), 0) << row;
    EXPECT_EQ(table->cellBackground(row, 0), kRed) << row;
  }
  EXPECT_EQ(table->cellBackground(4, 0), 0xFFFFFFu);

  // In range: no message, the cell turns white again.
  popups.clearRecords();
  EXPECT_TRUE(table->commitValue(3, 0, 4));
  EXPECT_TRUE(popups.records().empty());
  EXPECT_EQ(table->cellBackground(3, 0), 0xFFFFFFu);
  // BINARY allows 30.
  choose(page(), W::DigitalOutmode, 2);
  EXPECT_TRUE(table->commitValue(5, 0, 30));
  EXPECT_EQ(table->value(5, 0), 30);
  EXPECT_TRUE(popups.records().empty());
  // A changed group cell always brings the group page forward.
  window->setActivePage(kPageTeachTable);
  EXPECT_TRUE(table->commitValue(5, 0, 29));
  EXPECT_EQ(window->activePage(), kPageGroupHold);
}

TEST_F(ModeRulesTest, ActiveRowsAreLabelledGreenInEveryTeachRowTable) {
  enter(page(), W::MaxVecNo, 3);
  WordTable* tables[] = {teach().teachTable(), groups().groupTable()};
  for (WordTable* table : tables) {
    for (int row = 0; row < 64; ++row) {
      EXPECT_EQ(table->rowLabelColor(row), row < 3 ? kGreen : kRed) << row;
    }
  }
  QTableWidget* attributes = part<TableAttributesPage>(*window).specificationTable();
  EXPECT_EQ(attributes->verticalHeaderItem(2)->foreground().color().rgb() & 0xFFFFFFu, kGreen);
  EXPECT_EQ(attributes->verticalHeaderItem(3)->foreground().color().rgb() & 0xFFFFFFu, kRed);
  WordTable* hold = groups().holdTable();
  for (int row = 0; row < 65; ++row) {
    EXPECT_EQ(hold->rowLabelColor(row), row < 4 ? kGreen : kRed) << row;
  }

  // No active row: every teach row red, HOLD FAIL keeps its colour.
  enter(page(), W::MaxVecNo, 0);
  EXPECT_EQ(teach().teachTable()->rowLabelColor(0), kRed);
  EXPECT_EQ(hold->rowLabelColor(1), kRed);
  EXPECT_EQ(hold->rowLabelColor(0), kGreen);
}

TEST_F(ModeRulesTest, Col5ForcesItsOutputSettingsAndReleasesThemAfterwards) {
  chooseColorGroup(groups(), 1);
  enter(page(), W::MaxVecNo, 20);
  part<BigGroupPanel>(*window).showDisplay();
  choose(page(), W::EvaluationMode, 3);
  EXPECT_EQ(value(W::MaxVecNo), 5);
  EXPECT_EQ(value(W::DigitalOutmode), 2);
  EXPECT_EQ(groups().colorGroupSwitch()->value(), 0);
  EXPECT_TRUE(dimmed(W::MaxVecNo));
  EXPECT_TRUE(dimmed(W::DigitalOutmode));
  EXPECT_FALSE(dimmed(W::IntLim));
  EXPECT_FALSE(groups().colorGroupCell()->isEnabled());
  EXPECT_FALSE(groups().groupTable()->isEnabled());
  EXPECT_FALSE(groups().groupResetButton()->isEnabled());
  EXPECT_TRUE(part<BigGroupPanel>(*window).isHidden());
  EXPECT_EQ(outputs(), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_TRUE(data().deltaCDisplay()->isHidden());
  EXPECT_TRUE(data().colorNumberDisplay()->isHidden());
  EXPECT_TRUE(data().colorGroupDisplay()->isHidden());
  EXPECT_TRUE(popups.records().empty());
  EXPECT_EQ(teach().teachTable()->rowLabelColor(4), kGreen);
  EXPECT_EQ(teach().teachTable()->rowLabelColor(5), kRed);

  choose(page(), W::EvaluationMode, 0);
  EXPECT_EQ(outputs(), (std::vector<int>{0, 0, 0, 0, 0}));
  EXPECT_FALSE(data().deltaCDisplay()->isHidden());
  EXPECT_FALSE(data().colorNumberDisplay()->isHidden());
  EXPECT_FALSE(dimmed(W::MaxVecNo));
  EXPECT_FALSE(dimmed(W::DigitalOutmode));
  EXPECT_TRUE(groups().colorGroupCell()->isEnabled());
  EXPECT_TRUE(groups().groupTable()->isEnabled());
  EXPECT_EQ(value(W::MaxVecNo), 5);  // stays as forced
}

TEST_F(ModeRulesTest, ThdRgbLeavesOnlyTheThresholdColumnAndTheRgbChart) {
  enter(page(), W::IntLim, 300);
  choose(page(), W::Trigger, 1);
  part<BigColorPanel>(*window).showDisplay();
  dataPages()->setCurrentIndex(kDataPage2dGraph);
  choose(page(), W::EvaluationMode, 4);
  EXPECT_EQ(headings(), (QStringList{"THD", "", "", "", ""}));
  EXPECT_EQ(value(W::MaxVecNo), 3);
  EXPECT_EQ(value(W::IntLim), 0);
  EXPECT_EQ(value(W::DigitalOutmode), 2);
  EXPECT_EQ(value(W::Trigger), 0);
  for (W word : {W::MaxVecNo, W::IntLim, W::DigitalOutmode, W::Trigger, W::CalculationMode}) {
    EXPECT_TRUE(dimmed(word)) << paraKey(word);
  }
  EXPECT_TRUE(teach().rowNumberCell()->isHidden());
  EXPECT_TRUE(teach().autoIncrement()->isHidden());
  EXPECT_FALSE(teach().resetButton()->isEnabled());
  EXPECT_FALSE(teach().teachDataToButton()->isEnabled());
  EXPECT_TRUE(part<BigColorPanel>(*window).isHidden());
  for (int p : {kDataPageIntensityChart, kDataPage2dGraph, kDataPage3dGraph}) {
    EXPECT_FALSE(dataPages()->isTabVisible(p)) << p;
  }
  EXPECT_EQ(dataPages()->currentIndex(), kDataPageRgbChart);
  EXPECT_EQ(outputs(), (std::vector<int>{1, 1, 1, 0, 0}));
  EXPECT_TRUE(data().deltaCDisplay()->isHidden());
  EXPECT_TRUE(data().xDisplay()->isHidden());
  EXPECT_TRUE(data().intDisplay()->isHidden());
  const auto titles = data().threeDGraphPage().viewTitles();
  EXPECT_TRUE(popups.records().empty());
  // Taught thresholds drive OUT3 and OUT4 only with an external teach.
  choose(page(), W::ExternTeach, 1);
  EXPECT_EQ(outputs(), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_FALSE(data().triggerLed()->isHidden());
  choose(page(), W::CalculationMode, 3);  // dimmed, but a file may bring it
  EXPECT_EQ(data().threeDGraphPage().viewTitles(), titles);
  EXPECT_EQ(headings(), (QStringList{"THD", "", "", "", ""}));
  choose(page(), W::ExternTeach, 0);
  choose(page(), W::CalculationMode, 0);

  // Back to a colour mode: everything returns, with the headings of the mode.
  choose(page(), W::EvaluationMode, 1);
  EXPECT_EQ(headings(), (QStringList{"X", "Y", "CTO", "INT", "ITO"}));
  EXPECT_FALSE(teach().rowNumberCell()->isHidden());
  EXPECT_TRUE(teach().teachDataToButton()->isEnabled());
  EXPECT_TRUE(dataPages()->isTabVisible(kDataPage2dGraph));
  EXPECT_FALSE(dataPages()->isTabVisible(kDataPage3dGraph));
  EXPECT_FALSE(data().xDisplay()->isHidden());
  EXPECT_FALSE(dimmed(W::Trigger));
}

TEST_F(ModeRulesTest, MinDistHidesTheColourToleranceColumnOfTheCalculationMode) {
  QTableWidget* table = teach().teachTable();
  choose(page(), W::EvaluationMode, 2);
  EXPECT_TRUE(table->isColumnHidden(2));  // CTO
  EXPECT_FALSE(table->isColumnHidden(3));
  choose(page(), W::CalculationMode, 2);
  EXPECT_FALSE(table->isColumnHidden(2));
  EXPECT_TRUE(table->isColumnHidden(3));  // TOL
  EXPECT_EQ(headings(), (QStringList{"X", "Y", "INT", "TOL", ""}));
  choose(page(), W::EvaluationMode, 1);
  EXPECT_FALSE(table->isColumnHidden(3));
  choose(page(), W::CalculationMode, 3);
  EXPECT_EQ(headings(), (QStringList{"s", "i", "M", "TOL", ""}));
  choose(page(), W::CalculationMode, 1);
  EXPECT_EQ(headings(), (QStringList{"s", "i", "siTO", "M", "MTO"}));
}

TEST_F(ModeRulesTest, DisplayPanelFollowsGroupsTriggerAndCalculationMode) {
  chooseColorGroup(groups(), 1);
  EXPECT_FALSE(data().colorGroupDisplay()->isHidden());
  part<BigGroupPanel>(*window).showDisplay();
  chooseColorGroup(groups(), 0);
  EXPECT_TRUE(data().colorGroupDisplay()->isHidden());
  EXPECT_TRUE(part<BigGroupPanel>(*window).isHidden());

  choose(page(), W::Trigger, 1);
  EXPECT_FALSE(data().triggerLed()->isHidden());
  choose(page(), W::Trigger, 0);
  EXPECT_TRUE(data().triggerLed()->isHidden());

  ThreeDGraphPage& threeD = data().threeDGraphPage();
  IntensityChartPage& intensity = data().intensityChartPage();
  choose(page(), W::CalculationMode, 3);
  EXPECT_EQ(data().xDisplay()->caption(), QStringLiteral("s"));
  EXPECT_EQ(threeD.viewTitles()[1], QStringLiteral("s/M"));
  EXPECT_EQ(intensity.chart(0).fixedRange().max, 10000);
  EXPECT_EQ(intensity.chart(2).fixedRange().max, 1200);
  choose(page(), W::CalculationMode, 2);
  EXPECT_EQ(data().intDisplay()->caption(), QStringLiteral("INT"));
  EXPECT_EQ(threeD.viewTitles()[2], QStringLiteral("Y/INT"));
  EXPECT_EQ(intensity.chart(2).fixedRange().max, 4096);
  // Autoscaled charts stay autoscaled through a mode change.
  intensity.setAutoscale();
  choose(page(), W::CalculationMode, 1);
  EXPECT_TRUE(intensity.chart(2).isAutoscale());
  EXPECT_EQ(intensity.chart(0).fixedRange().max, 4096);
  EXPECT_EQ(threeD.viewTitles()[2], QStringLiteral("Y/INT"));  // 2D modes leave them
}

TEST_F(ModeRulesTest, CalculationModeMovesTheDisplayBetweenThe2dAnd3dPages) {
  dataPages()->setCurrentIndex(kDataPage2dGraph);
  choose(page(), W::CalculationMode, 2);
  EXPECT_EQ(dataPages()->currentIndex(), kDataPage3dGraph);
  EXPECT_FALSE(dataPages()->isTabVisible(kDataPage2dGraph));
  EXPECT_TRUE(dataPages()->isTabVisible(kDataPage3dGraph));
  // The intensity chart stays where the operator left it.
  dataPages()->setCurrentIndex(kDataPageIntensityChart);
  choose(page(), W::CalculationMode, 0);
  EXPECT_EQ(dataPages()->currentIndex(), kDataPageIntensityChart);
  EXPECT_TRUE(dataPages()->isTabVisible(kDataPage2dGraph));
  EXPECT_FALSE(dataPages()->isTabVisible(kDataPage3dGraph));
}

// Every control and word the core rules can name, over the modes, reaches a
// widget through the controls the pages and panels registered.
TEST_F(ModeRulesTest, EveryControlTheRulesNameIsMappedToAWidget) {
  using C = PanelControl;
  using A = RuleControls::Action;
  std::set<std::pair<C, A>> named;
  std::set<W> forced;
  const auto collect = [&](const PanelUpdate& u) {
    for (const auto& f : u.dimmed) named.insert({f.control, A::Dim});
    for (const auto& f : u.visible) named.insert({f.control, A::Show});
    for (const auto& t : u.labels) named.insert({t.control, A::Relabel});
    for (const auto& i : u.ringItems) named.insert({i.control, A::RingItems});
    for (const auto& c : u.colors) named.insert({c.control, A::Colors});
    for (const auto& v : u.values) forced.insert(v.word);
  };
  for (std::uint16_t eval = 0; eval <= 5; ++eval) {
    for (std::uint16_t calc = 0; calc <= 4; ++calc) {
      for (std::uint16_t exteach = 0; exteach <= 3; ++exteach) {
        for (std::uint16_t led = 0; led <= 3; ++led) {
          for (std::uint16_t groups = 0; groups <= 1; ++groups) {
            for (const std::uint16_t trigger : {std::uint16_t{0}, std::uint16_t{3}}) {
              PanelState state;
              state.values.record[W::EvaluationMode] = eval;
              state.values.record[W::CalculationMode] = calc;
              state.values.record[W::ExternTeach] = exteach;
              state.values.record[W::LedMode] = led;
              state.values.record[W::PowerMode] = led % 2;
              state.values.record[W::ColorGroup] = groups;
              state.values.record[W::Trigger] = trigger;
              state.values.record[W::MaxVecNo] = 40;
              state.values.table[3].group() = 31;
              state.activeDataPage = calc % 4;
              for (const PanelUpdate& u : drq::InitPanelCtrlAttr(state)) collect(u);
            }
          }
        }
      }
    }
  }
  const RuleControls& controls = window->modeRules().controls();
  for (const auto& [control, action] : named) {
    EXPECT_TRUE(controls.maps(control, action))
        << "control " << static_cast<int>(control) << " action " << static_cast<int>(action);
  }
  for (const W word : forced) EXPECT_TRUE(controls.mapsValue(word)) << paraKey(word);
  EXPECT_TRUE(controls.duplicates().empty());
  // What the window itself ran so far missed nothing.
  EXPECT_TRUE(controls.misses().empty());
}

}  // namespace
}  // namespace drq::gui::test
