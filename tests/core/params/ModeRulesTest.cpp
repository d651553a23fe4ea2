#include <gtest/gtest.h>

#include <algorithm>

#include "core/params/ModeRules.h"

namespace drq {
namespace {

using C = PanelControl;
using W = ParaWord;

PanelState stateWith(std::initializer_list<ForcedValue> values) {
  PanelState s;
  for (const auto& v : values) s.values.record[v.word] = v.value;
  return s;
}

std::uint16_t value(const PanelState& s, W w) {
  return s.values.record[w];
}

TEST(ModeRules, LedOffWithDyn1TurnsTeachOffAndDimsPowerControls) {
  auto s = stateWith({{W::LedMode, 2}, {W::ExternTeach, 3}, {W::Power, 700}, {W::PowerMode, 1}});
  const auto u = InitPowerMode(s);
  EXPECT_EQ(u.valueOf(W::ExternTeach), 0);
  EXPECT_EQ(u.valueOf(W::Power), 0);
  EXPECT_EQ(u.valueOf(W::PowerMode), 0);
  for (C c : {C::Power, C::PowerMode, C::DynWinLo, C::DynWinHi}) EXPECT_EQ(u.dimmedOf(c), true);
}

TEST(ModeRules, PowerModeDecidesBetweenPowerAndWindow) {
  auto s = stateWith({{W::PowerMode, 1}});
  auto u = InitPowerMode(s);
  EXPECT_EQ(u.dimmedOf(C::Power), true);
  EXPECT_EQ(u.dimmedOf(C::DynWinLo), false);
  EXPECT_EQ(u.dimmedOf(C::PowerMode), false);
  // STAT1 forces STAT, keeps POWER usable and the window dimmed.
  s = stateWith({{W::PowerMode, 1}, {W::ExternTeach, 2}});
  u = InitPowerMode(s);
  EXPECT_EQ(u.valueOf(W::PowerMode), 0);
  EXPECT_EQ(u.dimmedOf(C::Power), false);
  EXPECT_EQ(u.dimmedOf(C::DynWinHi), true);
}

TEST(ModeRules, ExternTeachShortensTriggerRingAndOffRestoresIt) {
  PanelState s = stateWith({{W::Trigger, 3}, {W::ExternTeach, 1}});
  auto u = InitExteach(s);
  EXPECT_EQ(u.valueOf(W::Trigger), 0);
  EXPECT_EQ(u.triggerRingItems, kTriggerItemsShort);
  applyToState(u, s);
  s.values.record[W::ExternTeach] = 0;
  u = InitExteach(s);
  EXPECT_EQ(u.triggerRingItems, kTriggerItemsFull);
  EXPECT_FALSE(u.valueOf(W::Trigger).has_value());  // stays CONT
}

TEST(ModeRules, TriggerTransTurnsTeachOffAndOnlyParaSelectsSet1) {
  PanelState s = stateWith({{W::Trigger, 5}, {W::ExternTeach, 1}});
  s.selectedSet = 1;
  auto u = InitTrigger(s);
  EXPECT_EQ(u.valueOf(W::ExternTeach), 0);
  EXPECT_EQ(u.dimmedOf(C::ExternTeach), true);
  EXPECT_EQ(u.selectedSet, 0);
  EXPECT_EQ(u.dimmedOf(C::ParaSet1), true);
  EXPECT_EQ(u.visibleOf(C::TriggerLed), true);

  s = stateWith({{W::Trigger, 6}});
  s.selectedSet = 1;
  u = InitTrigger(s);
  EXPECT_FALSE(u.selectedSet.has_value());
  EXPECT_EQ(u.dimmedOf(C::ParaSet1), false);

  u = InitTrigger(stateWith({}));
  EXPECT_EQ(u.visibleOf(C::TriggerLed), false);
}

TEST(ModeRules, MaxVecNoLimitAndItsMessage) {
  auto s = stateWith({{W::MaxVecNo, 10}, {W::DigitalOutmode, 1}});
  auto u = InitMaxVecNo(s);
  EXPECT_EQ(u.valueOf(W::MaxVecNo), 5);
  ASSERT_TRUE(u.message.has_value());
  EXPECT_EQ(u.message->title, "INFO!");
  EXPECT_EQ(u.message->text, kMsgMaxColTooHigh);
  EXPECT_EQ(u.activeMainPage, kPageParameter);
  EXPECT_EQ(u.activeRows, 5);

  u = InitMaxVecNo(stateWith({{W::MaxVecNo, 10}, {W::DigitalOutmode, 3}}));
  EXPECT_FALSE(u.valueOf(W::MaxVecNo).has_value());
  EXPECT_FALSE(u.message.has_value());

  // Groups on: up to the table's 64 rows, never more.
  u = InitMaxVecNo(stateWith({{W::MaxVecNo, 64}, {W::ColorGroup, 1}}));
  EXPECT_FALSE(u.valueOf(W::MaxVecNo).has_value());
  u = InitMaxVecNo(stateWith({{W::MaxVecNo, 900}, {W::ColorGroup, 1}}));
  EXPECT_EQ(u.valueOf(W::MaxVecNo), 64);
  EXPECT_EQ(u.activeRows, 64);
}

TEST(ModeRules, GroupCellsAboveLimitBecomeZeroRedWithOneMessage) {
  auto s = stateWith({{W::ColorGroup, 1}, {W::DigitalOutmode, 0}});
  s.values.table[3].group() = 5;
  s.values.table[40].group() = 9;
  s.values.table[7].group() = 4;
  const auto u = InitMaxVecNo(s);
  ASSERT_EQ(u.groupCells.size(), kTeachRows);
  EXPECT_EQ(u.groupCells[3], (GroupCellState{3, 0, kGroupCellOutOfRange, true}));
  EXPECT_EQ(u.groupCells[40].value, 0);
  EXPECT_EQ(u.groupCells[7], (GroupCellState{7, 4, kGroupCellInRange, false}));
  ASSERT_TRUE(u.message.has_value());
  EXPECT_EQ(u.message->text, kMsgGroupTooHigh);
  EXPECT_EQ(u.activeMainPage, kPageGroupHold);
  // With a BINARY outmode up to 30 is fine.
  s.values.record[W::DigitalOutmode] = 2;
  EXPECT_FALSE(InitMaxVecNo(s).message.has_value());
}

TEST(ModeRules, RowLabelPlan) {
  auto p = rowLabelPlan(3);
  EXPECT_EQ(p.teachGreen, (RowRange{1, 3}));  // teach rows 0..2
  EXPECT_EQ(p.teachRed, (RowRange{4, 64}));   // teach rows 3..63
  EXPECT_EQ(p.holdGreen, (RowRange{1, 4}));   // HOLD FAIL and rows 0..2
  EXPECT_EQ(p.holdRed, (RowRange{5, 65}));
  p = rowLabelPlan(0);
  EXPECT_FALSE(p.teachGreen.contains(1));
  EXPECT_FALSE(p.holdGreen.contains(1));  // HOLD FAIL keeps its colour
  EXPECT_FALSE(p.holdRed.contains(1));
  p = rowLabelPlan(64);
  EXPECT_FALSE(p.teachRed.contains(64));
  EXPECT_FALSE(p.holdRed.contains(65));
  EXPECT_TRUE(p.holdGreen.contains(65));
}

TEST(ModeRules, Col5ForcesRowsOutmodeAndGroupsAndShowsOutputs) {
  PanelState s = stateWith({{W::EvaluationMode, 3}, {W::ColorGroup, 1}, {W::MaxVecNo, 20}});
  const auto u = InitEvalMode(s);
  EXPECT_EQ(u.valueOf(W::MaxVecNo), 5);
  EXPECT_EQ(u.valueOf(W::DigitalOutmode), 2);
  EXPECT_EQ(u.valueOf(W::ColorGroup), 0);
  for (C c : {C::Out0, C::Out1, C::Out2, C::Out3, C::Out4}) EXPECT_EQ(u.visibleOf(c), true);
  EXPECT_EQ(u.visibleOf(C::DeltaC), false);
  EXPECT_EQ(u.visibleOf(C::ColorNumber), false);
  EXPECT_EQ(u.visibleOf(C::BigGroupDisplay), false);
  EXPECT_EQ(u.activeRows, 5);  // its own InitMaxVecNo ran
  EXPECT_FALSE(u.message.has_value());
}

TEST(ModeRules, ThdRgbWithTeachOffShowsThreeOutputsHidesPagesAndLabelsThd) {
  PanelState s = stateWith({{W::EvaluationMode, 4}, {W::Trigger, 3}, {W::IntLim, 50}});
  s.activeDataPage = kDataPage3dGraph;
  const auto updates = InitPanelCtrlAttr(s);
  PanelUpdate all;
  for (const auto& u : updates) all += u;
  EXPECT_EQ(all.visibleOf(C::Out2), true);
  EXPECT_EQ(all.visibleOf(C::Out3), false);
  EXPECT_EQ(all.visibleOf(C::Out4), false);
  EXPECT_EQ(all.visibleOf(C::BigColorDisplay), false);
  for (C c : {C::IntensityChartPage, C::Graph2dPage, C::Graph3dPage, C::ValueDisplays}) {
    EXPECT_EQ(all.visibleOf(c), false);
  }
  EXPECT_EQ(s.activeDataPage, kDataPageRgbChart);
  EXPECT_EQ(all.labelOf(C::TeachColumn1), "THD");
  EXPECT_EQ(all.labelOf(C::TeachColumn2), "");
  EXPECT_EQ(all.labelOf(C::TeachColumn5), "");
  EXPECT_EQ(value(s, W::MaxVecNo), 3);
  EXPECT_EQ(value(s, W::IntLim), 0);
  EXPECT_EQ(value(s, W::Trigger), 0);
  EXPECT_EQ(all.dimmedOf(C::TeachDataTo), true);
  EXPECT_EQ(all.visibleOf(C::TeachNo), false);
}

TEST(ModeRules, TeachPanelsTeachNoColourIntoTheThresholdsOfThdRgb) {
  for (const std::uint16_t eval : {std::uint16_t{4}, std::uint16_t{5}}) {
    const auto u = InitTeachPanel(stateWith({{W::EvaluationMode, eval}}));
    EXPECT_EQ(u.dimmedOf(C::MeanTeach), true) << eval;
    EXPECT_EQ(u.dimmedOf(C::GraphTeachTeach), true) << eval;
  }
  const auto u = InitTeachPanel(stateWith({{W::EvaluationMode, 3}}));
  EXPECT_EQ(u.dimmedOf(C::MeanTeach), false);
  EXPECT_EQ(u.dimmedOf(C::GraphTeachTeach), false);
}

TEST(ModeRules, MinDistHidesTheToleranceColumnOfItsFamily) {
  auto u = InitEvalMode(stateWith({{W::EvaluationMode, 2}, {W::CalculationMode, 0}}));
  EXPECT_EQ(u.visibleOf(C::TeachColumn3), false);
  EXPECT_EQ(u.visibleOf(C::TeachColumn4), true);
  u = InitEvalMode(stateWith({{W::EvaluationMode, 2}, {W::CalculationMode, 2}}));
  EXPECT_EQ(u.visibleOf(C::TeachColumn3), true);
  EXPECT_EQ(u.visibleOf(C::TeachColumn4), false);
  EXPECT_EQ(InitTeachPanel(stateWith({{W::EvaluationMode, 2}})).dimmedOf(C::MeanFirstRing), true);
}

TEST(ModeRules, CalculationModeHeadingsPagesAndTeachPanelLabels) {
  PanelState s = stateWith({{W::CalculationMode, 2}});
  s.activeDataPage = kDataPage2dGraph;
  auto u = InitCalcMode(s);
  EXPECT_EQ(u.labelOf(C::TeachColumn3), "INT");
  EXPECT_EQ(u.labelOf(C::TeachColumn4), "TOL");
  EXPECT_EQ(u.labelOf(C::Graph3dView2), "X/INT");
  EXPECT_EQ(u.activeDataPage, kDataPage3dGraph);
  EXPECT_EQ(u.visibleOf(C::Graph2dPage), false);
  EXPECT_EQ(u.intensityRanges, intensityChartRanges(2));

  s = stateWith({{W::CalculationMode, 1}});
  s.activeDataPage = kDataPageRgbChart;  // another page stays active
  u = InitCalcMode(s);
  EXPECT_EQ(u.labelOf(C::TeachColumn3), "siTO");
  EXPECT_FALSE(u.activeDataPage.has_value());
  EXPECT_FALSE(u.labelOf(C::Graph3dView1).has_value());
  EXPECT_EQ(u.intensityRanges, intensityChartRanges(1));

  u = InitTeachPanel(stateWith({{W::CalculationMode, 3}}));
  EXPECT_EQ(u.labelOf(C::MeanDistance), "d (s/i/INT)");
  EXPECT_EQ(u.labelOf(C::MeanSecondDistance), "d M");
  EXPECT_EQ(u.visibleOf(C::MeanSecondDistance), false);
  EXPECT_EQ(u.labelOf(C::GraphTeachGraph2), "s/M");
  const auto colors = u.colors;
  ASSERT_EQ(colors.size(), 2u);
  EXPECT_EQ(colors[1], (ControlColors{C::GraphTeachValue2, kYellow, kLightCyan}));
  u = InitTeachPanel(stateWith({{W::CalculationMode, 0}}));
  ASSERT_EQ(u.ringItems.size(), 2u);
  EXPECT_EQ(u.ringItems[1].items[2], "d INT+VALUE ITO");
  // X Y INT 3D has one tolerance: the intensity captions keep what they show.
  u = InitTeachPanel(stateWith({{W::CalculationMode, 2}}));
  ASSERT_EQ(u.ringItems.size(), 1u);
  EXPECT_EQ(u.ringItems[0].items[2], "d (X/Y/INT)+VALUE TOL");
  EXPECT_FALSE(u.labelOf(C::MeanSecondDistance).has_value());
  EXPECT_FALSE(u.labelOf(C::MeanSecondRing).has_value());
}

// Every combination of the mode words: after one pass of all rules the
// record obeys every consistency rule, and a second pass forces nothing more
// and shows no message.
TEST(ModeRules, AllModeCombinationsEndConsistentAndStable) {
  // led, extern teach, trigger, evaluation, calculation, outmode, groups, power mode
  constexpr std::array<std::uint16_t, 8> kCounts = {4, 4, 7, 5, 4, 4, 2, 2};
  int total = 1;
  for (auto n : kCounts) total *= n;
  for (int index = 0; index < total; ++index) {
    std::array<std::uint16_t, 8> m{};
    int rest = index;
    for (std::size_t k = 0; k < m.size(); ++k) {
      m[k] = static_cast<std::uint16_t>(rest % kCounts[k]);
      rest /= kCounts[k];
    }
    const auto [led, ext, trig, eval, calc, out, grp, pm] = m;
    SCOPED_TRACE(testing::Message()
                 << "led " << led << " ext " << ext << " trig " << trig << " eval " << eval
                 << " calc " << calc << " out " << out << " grp " << grp << " pm " << pm);
    ParaSet set = defaultParaSet();
    auto& r = set.record;
    r[W::LedMode] = led;
    r[W::ExternTeach] = ext;
    r[W::Trigger] = trig;
    r[W::EvaluationMode] = eval;
    r[W::CalculationMode] = calc;
    r[W::DigitalOutmode] = out;
    r[W::ColorGroup] = grp;
    r[W::PowerMode] = pm;
    r[W::MaxVecNo] = 40;
    r[W::Power] = 800;
    set.table[9].group() = 12;
    const auto first = applyModeRules(set, 1);

    if (led == 2) {
      ASSERT_EQ(r[W::Power], 0);
      ASSERT_EQ(r[W::PowerMode], 0);
      ASSERT_NE(r[W::ExternTeach], 3);
    }
    if (r[W::ExternTeach] >= 2) {
      ASSERT_EQ(r[W::PowerMode], 0);
    }
    if (r[W::ExternTeach] != 0) {
      ASSERT_LE(r[W::Trigger], 1);
    }
    if (r[W::Trigger] >= 2) {
      ASSERT_EQ(r[W::ExternTeach], 0);
    }
    ASSERT_EQ(first.selectedSet, r[W::Trigger] == 6 ? 1 : 0);
    if (eval == 3) {
      ASSERT_EQ(r[W::MaxVecNo], 5);
      ASSERT_EQ(r[W::DigitalOutmode], 2);
      ASSERT_EQ(r[W::ColorGroup], 0);
    }
    if (eval == 4) {
      ASSERT_EQ(r[W::MaxVecNo], 3);
      ASSERT_EQ(r[W::IntLim], 0);
      ASSERT_EQ(r[W::Trigger], 0);
      ASSERT_EQ(r[W::ColorGroup], 0);
    }
    ASSERT_LE(r[W::MaxVecNo], maxVecNoLimit(r[W::ColorGroup], r[W::DigitalOutmode]));
    if (r[W::ColorGroup] == 1) {
      for (const auto& v : set.table) ASSERT_LE(v.group(), groupCellLimit(r[W::DigitalOutmode]));
    }
    const ParaSet once = set;
    const auto second = applyModeRules(set, first.selectedSet);
    ASSERT_EQ(set, once);
    ASSERT_TRUE(second.messages.empty());
  }
}

}  // namespace
}  // namespace drq
