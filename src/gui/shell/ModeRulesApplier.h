#pragma once
// The mode rules on the real controls. The rules themselves decide in the core
// (core/params/ModeRules.h) from the values alone; this class reads the
// controls a rule depends on into the working parameter set, hands the values
// to the rule and applies the PanelUpdate it returns: per control through the
// RuleControls the pages and panels registered (dim, show, relabel, ring
// items, colours, forced values), and what concerns the window as a whole
// through its ModeRulesHost.
//
// Forced values go into the controls only: they reach the working set with
// the next GetPanelValues, as every other edit does.

#include <array>
#include <cstddef>
#include <span>

#include "core/graph/ChartRanges.h"
#include "core/params/ModeRules.h"
#include "gui/common/RuleControls.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

// What the rules need from the window beyond single controls.
class ModeRulesHost {
 public:
  virtual ~ModeRulesHost() = default;
  // What the controls hold now: the record words and GROUP cells of the
  // pages into state.values (over the working set), the TRIGGER ring's
  // item count and the display panel's active page.
  virtual void readRuleInputs(PanelState& state) = 0;
  // The TRIGGER ring holds the first `count` items (2 or 7).
  virtual void setTriggerRingItems(std::size_t count) = 0;
  // A group-table cell after the group limit (value and background).
  virtual void showGroupCell(const GroupCellState& cell) = 0;
  // The session's selected parameter set changed: show it on ParaSet0/1.
  virtual void showSelectedSet() = 0;
  virtual void setActiveDataPage(int page) = 0;  // DataPage
  virtual void setActivePage(int page) = 0;      // MainPage
  // Colours the row labels of every table that lists teach rows.
  virtual void colorRowLabels(const RowLabelPlan& plan) = 0;
  // The intensity chart page's fixed ranges, where its axes are manual.
  virtual void applyIntensityRanges(const std::array<ChartRange, 3>& ranges) = 0;
  // SetDispNames for the working set's calculation mode.
  virtual void refreshDisplayNames() = 0;
};

class ModeRulesApplier {
 public:
  ModeRulesApplier(ModeRulesHost& host, ShellContext& context);

  // The controls the pages and panels registered (registerRuleControls).
  RuleControls& controls() { return controls_; }
  const RuleControls& controls() const { return controls_; }

  // The eight rules in their order: power mode, evaluation mode, calculation
  // mode, extern teach, trigger, colour groups, MAX VEC NO, teach panel. Each
  // reads its controls first and sees what the earlier ones forced. The limit
  // messages appear every time a rule meets a violating value.
  void InitPanelCtrlAttr();

  // The teach-panel rule alone (a teach panel opens): EVALUATION MODE is read
  // from its control, CALCULATION MODE as the working set holds it.
  void InitTeachPanel();

  // What the controls hold now: every record word and GROUP cell, the TRIGGER
  // ring's items, the selected parameter set and the display panel's page.
  PanelState readPanelState() const;

  // Applies one rule's result to the widgets.
  void apply(const PanelUpdate& update);

 private:
  using Rule = PanelUpdate (*)(const PanelState&);
  // Reads `reads` (and the GROUP cells when `groupCells`) into the working
  // set, runs `rule` on the controls' state and applies its result.
  void runRule(Rule rule, std::span<const ParaWord> reads, bool groupCells);

  ModeRulesHost& host_;
  ShellContext& context_;
  RuleControls controls_;
};

}  // namespace drq::gui
