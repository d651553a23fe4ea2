#include "gui/shell/ModeRulesApplier.h"

#include <array>
#include <map>

#include "gui/common/TextConversion.h"

namespace drq::gui {

namespace {

using W = ParaWord;

// The controls each rule reads into the working set before it acts.
constexpr std::array<W, 6> kPowerModeReads = {W::PowerMode, W::LedMode,  W::ExternTeach,
                                              W::Power,     W::DynWinLo, W::DynWinHi};
constexpr std::array<W, 3> kEvalModeReads = {W::CalculationMode, W::EvaluationMode, W::ExternTeach};
constexpr std::array<W, 2> kCalcModeReads = {W::CalculationMode, W::EvaluationMode};
constexpr std::array<W, 2> kExteachReads = {W::ExternTeach, W::Trigger};
constexpr std::array<W, 2> kTriggerReads = {W::Trigger, W::ExternTeach};
constexpr std::array<W, 1> kColorGroupReads = {W::ColorGroup};
constexpr std::array<W, 3> kMaxVecNoReads = {W::MaxVecNo, W::DigitalOutmode, W::ColorGroup};
constexpr std::array<W, 1> kTeachPanelReads = {W::EvaluationMode};

}  // namespace

ModeRulesApplier::ModeRulesApplier(ModeRulesHost& host, ShellContext& context)
    : host_(host), context_(context) {}

PanelState ModeRulesApplier::readPanelState() const {
  PanelState state;
  state.values = context_.session.working;
  host_.readRuleInputs(state);
  state.selectedSet = context_.session.selectedSet;
  return state;
}

void ModeRulesApplier::InitPanelCtrlAttr() {
  runRule(&drq::InitPowerMode, kPowerModeReads, false);
  runRule(&drq::InitEvalMode, kEvalModeReads, false);
  runRule(&drq::InitCalcMode, kCalcModeReads, false);
  runRule(&drq::InitExteach, kExteachReads, false);
  runRule(&drq::InitTrigger, kTriggerReads, false);
  runRule(&drq::InitColorGroups, kColorGroupReads, false);
  runRule(&drq::InitMaxVecNo, kMaxVecNoReads, true);
  InitTeachPanel();
}

void ModeRulesApplier::InitTeachPanel() {
  runRule(&drq::InitTeachPanel, kTeachPanelReads, false);
}

void ModeRulesApplier::runRule(Rule rule, std::span<const ParaWord> reads, bool groupCells) {
  ParaSet& working = context_.session.working;
  PanelState state = readPanelState();
  for (const W word : reads) working.record[word] = state.values.record[word];
  if (groupCells) {
    for (std::size_t row = 0; row < kTeachRows; ++row) {
      working.table[row].group() = state.values.table[row].group();
    }
  }
  // The teach-panel rule takes the calculation mode as it was last read.
  if (rule == &drq::InitTeachPanel) {
    state.values.record[W::CalculationMode] = working.record[W::CalculationMode];
  }
  apply(rule(state));
}

// --- Applying an update ---------------------------------------------------------

void ModeRulesApplier::apply(const PanelUpdate& update) {
  for (const ForcedValue& forced : update.values) controls_.setValue(forced.word, forced.value);
  if (update.triggerRingItems) host_.setTriggerRingItems(*update.triggerRingItems);
  for (const ControlFlag& flag : update.dimmed) controls_.dim(flag.control, flag.on);
  for (const ControlText& text : update.labels) controls_.relabel(text.control, text.text);
  for (const ControlItems& items : update.ringItems) {
    controls_.setRingItems(items.control, items.items);
  }
  for (const ControlColors& colors : update.colors) {
    controls_.setColors(colors.control, colors.color, colors.secondColor);
  }
  for (const GroupCellState& cell : update.groupCells) host_.showGroupCell(cell);
  if (update.selectedSet) {
    context_.session.selectedSet = *update.selectedSet;
    host_.showSelectedSet();
  }

  // Visibility: the last entry of each control counts. Pages are shown before
  // the active page changes and hidden after, so that the tab never passes
  // through a page the rules did not choose.
  std::map<PanelControl, bool> visible;
  for (const ControlFlag& flag : update.visible) visible[flag.control] = flag.on;
  for (const auto& [control, on] : visible) {
    if (on) controls_.show(control, true);
  }
  if (update.activeDataPage) host_.setActiveDataPage(*update.activeDataPage);
  for (const auto& [control, on] : visible) {
    if (!on) controls_.show(control, false);
  }

  if (update.activeRows) host_.colorRowLabels(rowLabelPlan(*update.activeRows));
  if (update.intensityRanges) host_.applyIntensityRanges(*update.intensityRanges);
  if (update.refreshDisplayNames) host_.refreshDisplayNames();
  if (update.activeMainPage) host_.setActivePage(*update.activeMainPage);
  if (update.message) {
    context_.popups.MessagePopup(qStringFromLatin1(update.message->title),
                                 qStringFromLatin1(update.message->text));
  }
}

}  // namespace drq::gui
