// The mode rules' wiring on the real panels: the rules run at start-up, after
// a refresh and on a mode control's commit, and what they decide reaches the
// widgets of every page and panel. The rules themselves are the core's
// (tests/core/params/ModeRulesTest.cpp); here one or two of each kind of
// action stand for the rest.
#include <QPushButton>

#include <set>
#include <utility>

#include "core/PopupTitles.h"
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
  EXPECT_EQ(popups.records()[1].title, QString::fromLatin1(kTitleInfo));
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

// A mode control's commit reaches the controls of its own page: a value
// forced (also onto the slider that mirrors it), controls dimmed and freed.
TEST_F(ModeRulesTest, ACommitForcesAndDimsTheControlsOfItsPage) {
  enter(page(), W::Power, 500);
  choose(page(), W::LedMode, 2);  // OFF
  EXPECT_EQ(value(W::Power), 0);
  EXPECT_EQ(page().powerSlider()->value(), 0);
  EXPECT_TRUE(dimmed(W::Power));
  EXPECT_TRUE(dimmed(W::PowerMode));
  EXPECT_TRUE(popups.records().empty());

  choose(page(), W::LedMode, 0);
  EXPECT_FALSE(dimmed(W::Power));
  EXPECT_EQ(value(W::Power), 0);  // nothing is given back
}

// The rules' ring items, and the parameter-set buttons of the transfer bar.
TEST_F(ModeRulesTest, RingItemsAndTheSetButtonsFollowTheRules) {
  choose(page(), W::ExternTeach, 1);
  EXPECT_EQ(page().triggerRing()->count(), 2);
  choose(page(), W::ExternTeach, 0);
  EXPECT_EQ(page().triggerRing()->count(), 7);
  EXPECT_EQ(page().triggerRing()->itemText(5), QStringLiteral("TRANS"));

  TransferBar& bar = part<TransferBar>(*window);
  EXPECT_FALSE(bar.paraSetButton(1)->isEnabled());
  choose(page(), W::Trigger, 6);  // PARA
  ASSERT_TRUE(bar.paraSetButton(1)->isEnabled());
  bar.paraSetButton(1)->click();
  EXPECT_EQ(session.selectedSet, 1);
  choose(page(), W::Trigger, 5);  // TRANS: set 0 only
  EXPECT_EQ(session.selectedSet, 0);
  EXPECT_TRUE(bar.paraSetButton(0)->isChecked());
  EXPECT_FALSE(bar.paraSetButton(1)->isEnabled());
}

// A limit the rules enforce shows its message and brings the page of the
// control forward, from the parameter page and from the group table.
TEST_F(ModeRulesTest, LimitMessagesAppearAndBringTheirPageForward) {
  window->setActivePage(kPageTeachTable);
  enter(page(), W::MaxVecNo, 10);  // above 5 with DIRECT LO and groups off
  EXPECT_EQ(value(W::MaxVecNo), 5);
  EXPECT_EQ(window->activePage(), kPageParameter);
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleInfo));
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kMsgMaxColTooHigh.data()));

  chooseColorGroup(groups(), 1);  // DIRECT LO: groups 0..4
  WordTable* table = groups().groupTable();
  table->setValue(3, 0, 5);
  window->setActivePage(kPageParameter);
  popups.clearRecords();
  EXPECT_TRUE(table->commitValue(10, 0, 6));
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].text, QString::fromLatin1(kMsgGroupTooHigh.data()));
  EXPECT_EQ(window->activePage(), kPageGroupHold);
  for (int row : {3, 10}) {
    EXPECT_EQ(table->value(row, 0), 0) << row;
    EXPECT_EQ(table->cellBackground(row, 0), kRed) << row;
  }
  EXPECT_EQ(table->cellBackground(4, 0), 0xFFFFFFu);
  // A changed group cell in range brings the group page forward too.
  window->setActivePage(kPageTeachTable);
  popups.clearRecords();
  EXPECT_TRUE(table->commitValue(5, 0, 4));
  EXPECT_EQ(window->activePage(), kPageGroupHold);
  EXPECT_TRUE(popups.records().empty());
}

// The row-label colours reach every table that lists teach rows.
TEST_F(ModeRulesTest, ActiveRowsAreLabelledGreenInEveryTeachRowTable) {
  enter(page(), W::MaxVecNo, 3);
  for (WordTable* table : {teach().teachTable(), groups().groupTable()}) {
    EXPECT_EQ(table->rowLabelColor(2), kGreen);
    EXPECT_EQ(table->rowLabelColor(3), kRed);
  }
  QTableWidget* attributes = part<TableAttributesPage>(*window).specificationTable();
  EXPECT_EQ(attributes->verticalHeaderItem(2)->foreground().color().rgb() & 0xFFFFFFu, kGreen);
  EXPECT_EQ(attributes->verticalHeaderItem(3)->foreground().color().rgb() & 0xFFFFFFu, kRed);
  WordTable* hold = groups().holdTable();  // HOLD FAIL first
  EXPECT_EQ(hold->rowLabelColor(3), kGreen);
  EXPECT_EQ(hold->rowLabelColor(4), kRed);
}

// One mode change reaches every part of the window the rules name: the
// other pages, the display panel with its graph pages, the big displays.
TEST_F(ModeRulesTest, AnEvaluationModeChangeReachesEveryPageAndPanel) {
  part<BigColorPanel>(*window).showDisplay();
  dataPages()->setCurrentIndex(kDataPage2dGraph);
  choose(page(), W::EvaluationMode, 4);  // THD RGB
  EXPECT_EQ(headings(), (QStringList{"THD", "", "", "", ""}));
  EXPECT_TRUE(dimmed(W::CalculationMode));
  EXPECT_TRUE(teach().rowNumberCell()->isHidden());
  EXPECT_FALSE(teach().teachDataToButton()->isEnabled());
  EXPECT_TRUE(part<BigColorPanel>(*window).isHidden());
  EXPECT_FALSE(dataPages()->isTabVisible(kDataPage2dGraph));
  EXPECT_EQ(dataPages()->currentIndex(), kDataPageRgbChart);
  EXPECT_EQ(outputs(), (std::vector<int>{1, 1, 1, 0, 0}));
  EXPECT_TRUE(data().xDisplay()->isHidden());
  EXPECT_TRUE(popups.records().empty());

  // Back to a colour mode: everything returns.
  choose(page(), W::EvaluationMode, 1);
  EXPECT_EQ(headings(), (QStringList{"X", "Y", "CTO", "INT", "ITO"}));
  EXPECT_FALSE(teach().rowNumberCell()->isHidden());
  EXPECT_TRUE(teach().teachDataToButton()->isEnabled());
  EXPECT_TRUE(dataPages()->isTabVisible(kDataPage2dGraph));
  EXPECT_FALSE(data().xDisplay()->isHidden());
  EXPECT_FALSE(dimmed(W::CalculationMode));
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
