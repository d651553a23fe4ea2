#pragma once
// The mode rules on the real controls. The rules themselves decide in the core
// (core/params/ModeRules.h) from the values alone; this class reads the
// controls a rule depends on into the working parameter set, hands the values
// to the rule and applies the PanelUpdate it returns to the widgets of the
// pages, the transfer bar, the display panel and the big displays.
//
// Forced values go into the controls only: they reach the working set with
// the next GetPanelValues, as every other edit does.

#include <span>

#include "core/params/ModeRules.h"
#include "gui/ShellContext.h"

namespace drq::gui {

class MainWindow;

class ModeRulesApplier {
 public:
  ModeRulesApplier(MainWindow& window, ShellContext& context);

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

  void setDimmed(PanelControl control, bool dimmed);
  void setVisible(PanelControl control, bool visible);
  void setLabel(PanelControl control, std::string_view text);
  void colorRowLabels(std::uint16_t activeRows);

  MainWindow& window_;
  ShellContext& context_;
};

}  // namespace drq::gui
