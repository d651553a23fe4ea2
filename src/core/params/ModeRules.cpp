#include "core/params/ModeRules.h"

#include <algorithm>

#include "core/PopupTitles.h"
#include "core/params/Modes.h"

namespace drq {
namespace {

using C = PanelControl;
using W = ParaWord;

constexpr std::uint16_t kLedOff = code(LedMode::Off);
constexpr std::uint16_t kExteachOff = code(ExternTeachMode::Off);
constexpr std::uint16_t kExteachStat1 = code(ExternTeachMode::Stat1);
constexpr std::uint16_t kExteachDyn1 = code(ExternTeachMode::Dyn1);
constexpr std::uint16_t kEvalMinDist = code(EvaluationMode::MinDist);
constexpr std::uint16_t kEvalCol5 = code(EvaluationMode::Col5);
constexpr std::uint16_t kEvalThdRgb = code(EvaluationMode::ThdRgb);
constexpr std::uint16_t kTriggerPara = code(TriggerMode::Para);
constexpr std::uint16_t kOutmodeBinaryHi = code(DigitalOutmode::BinaryHi);
constexpr std::uint16_t kPowerStat = code(PowerMode::Stat);
constexpr std::uint16_t kPowerDyn = code(PowerMode::Dyn);

void dim(PanelUpdate& u, C c, bool on) {
  u.dimmed.push_back({c, on});
}
void show(PanelUpdate& u, C c, bool on) {
  u.visible.push_back({c, on});
}
void force(PanelUpdate& u, W w, std::uint16_t v) {
  u.values.push_back({w, v});
}
void label(PanelUpdate& u, C c, std::string_view t) {
  u.labels.push_back({c, t});
}

// Relabels the distance, value and ring of one tolerance (ring items with the
// ring), leaving what `captions` does not name.
void labelTolerance(PanelUpdate& u, const std::array<C, 3>& controls,
                    const ToleranceCaptions& captions) {
  const auto [distance, value, ring] = controls;
  if (!captions.distance.empty()) label(u, distance, captions.distance);
  if (!captions.value.empty()) label(u, value, captions.value);
  if (!captions.ring.empty()) {
    label(u, ring, captions.ring);
    u.ringItems.push_back({ring, captions.items});
  }
}

template <typename T>
void append(std::vector<T>& to, const std::vector<T>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

template <typename List, typename Key>
auto lastOf(const List& list, Key key) {
  using Entry = typename List::value_type;
  const auto it = std::find_if(list.rbegin(), list.rend(), [&](const Entry& e) {
    if constexpr (requires { e.control; }) {
      return e.control == key;
    } else {
      return e.word == key;
    }
  });
  return it == list.rend() ? nullptr : &*it;
}

}  // namespace

PanelUpdate& PanelUpdate::operator+=(const PanelUpdate& later) {
  append(values, later.values);
  append(dimmed, later.dimmed);
  append(visible, later.visible);
  append(labels, later.labels);
  append(ringItems, later.ringItems);
  append(colors, later.colors);
  if (!later.groupCells.empty()) groupCells = later.groupCells;
  if (later.triggerRingItems) triggerRingItems = later.triggerRingItems;
  if (later.selectedSet) selectedSet = later.selectedSet;
  if (later.activeMainPage) activeMainPage = later.activeMainPage;
  if (later.activeDataPage) activeDataPage = later.activeDataPage;
  if (later.activeRows) activeRows = later.activeRows;
  if (later.intensityRanges) intensityRanges = later.intensityRanges;
  refreshDisplayNames = refreshDisplayNames || later.refreshDisplayNames;
  if (later.message) message = later.message;
  return *this;
}

std::optional<bool> PanelUpdate::dimmedOf(PanelControl c) const {
  const auto* e = lastOf(dimmed, c);
  return e ? std::optional<bool>(e->on) : std::nullopt;
}
std::optional<bool> PanelUpdate::visibleOf(PanelControl c) const {
  const auto* e = lastOf(visible, c);
  return e ? std::optional<bool>(e->on) : std::nullopt;
}
std::optional<std::string_view> PanelUpdate::labelOf(PanelControl c) const {
  const auto* e = lastOf(labels, c);
  return e ? std::optional<std::string_view>(e->text) : std::nullopt;
}
std::optional<std::uint16_t> PanelUpdate::valueOf(ParaWord w) const {
  const auto* e = lastOf(values, w);
  return e ? std::optional<std::uint16_t>(e->value) : std::nullopt;
}

void applyToState(const PanelUpdate& update, PanelState& state) {
  for (const auto& f : update.values) state.values.record[f.word] = f.value;
  for (const auto& g : update.groupCells) state.values.table[g.row].group() = g.value;
  if (update.triggerRingItems) state.triggerRingItems = *update.triggerRingItems;
  if (update.selectedSet) state.selectedSet = *update.selectedSet;
  if (update.activeDataPage) state.activeDataPage = *update.activeDataPage;
}

std::uint16_t maxVecNoLimit(std::uint16_t colorGroup, std::uint16_t digitalOutmode) {
  if (colorGroup != 0) return static_cast<std::uint16_t>(kTeachRows);
  return isDirectOutmode(digitalOutmode) ? 5 : 31;
}

std::uint16_t groupCellLimit(std::uint16_t digitalOutmode) {
  return isDirectOutmode(digitalOutmode) ? 4 : 30;
}

// --- Light source and power ---------------------------------------------------
PanelUpdate InitPowerMode(const PanelState& state) {
  const auto& r = state.values.record;
  PanelUpdate u;
  const std::uint16_t exteach = r[W::ExternTeach];
  std::uint16_t powerMode = r[W::PowerMode];

  if (r[W::LedMode] == kLedOff) {
    // No light: nothing to regulate, and DYN1 cannot tune a dark source.
    if (exteach == kExteachDyn1) force(u, W::ExternTeach, kExteachOff);
    force(u, W::PowerMode, kPowerStat);
    dim(u, C::PowerMode, true);
    force(u, W::Power, 0);
    dim(u, C::Power, true);
    dim(u, C::DynWinLo, true);
    dim(u, C::DynWinHi, true);
    return u;
  }
  if (exteach == kExteachDyn1) {
    force(u, W::PowerMode, kPowerStat);
    dim(u, C::PowerMode, true);
    dim(u, C::Power, true);
    dim(u, C::DynWinLo, false);
    dim(u, C::DynWinHi, false);
    return u;
  }
  if (exteach == kExteachStat1) {
    force(u, W::PowerMode, kPowerStat);
    powerMode = kPowerStat;
    dim(u, C::PowerMode, true);
    dim(u, C::Power, false);
    dim(u, C::DynWinLo, true);
    dim(u, C::DynWinHi, true);
  } else {
    dim(u, C::PowerMode, false);
    dim(u, C::Power, false);
  }
  if (powerMode == kPowerStat) {
    dim(u, C::Power, false);
    dim(u, C::DynWinLo, true);
    dim(u, C::DynWinHi, true);
  } else if (powerMode == kPowerDyn) {
    dim(u, C::Power, true);
    dim(u, C::DynWinLo, false);
    dim(u, C::DynWinHi, false);
  }
  return u;
}

// --- Evaluation mode ------------------------------------------------------------
PanelUpdate InitEvalMode(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t eval = r[W::EvaluationMode];
  const std::uint16_t calc = r[W::CalculationMode];
  PanelUpdate u;

  // MIN DIST has no colour tolerance: hide its column.
  const bool minDist = eval == kEvalMinDist;
  show(u, C::TeachColumn3, !(minDist && is2dCalcMode(calc)));
  show(u, C::TeachColumn4, !(minDist && is3dCalcMode(calc)));

  const auto groupsOff = [&u](bool hideColorDisplay) {
    force(u, W::ColorGroup, code(ColorGroupMode::Off));
    dim(u, C::ColorGroup, true);
    dim(u, C::GroupTable, true);
    dim(u, C::GroupTableReset, true);
    show(u, C::ColorGroupDisplay, false);
    show(u, C::BigGroupDisplay, false);
    if (hideColorDisplay) show(u, C::BigColorDisplay, false);
  };

  bool runMaxVecNo = false;
  if (isRowEvalMode(eval)) {
    for (C out : {C::Out0, C::Out1, C::Out2, C::Out3, C::Out4}) show(u, out, false);
    show(u, C::DeltaC, true);
    show(u, C::ColorNumber, true);
    for (C c : {C::MaxVecNo, C::IntLim, C::DigitalOutmode, C::CalculationMode, C::Trigger,
                C::ColorGroup, C::GroupTable, C::GroupTableReset}) {
      dim(u, c, false);
    }
  } else if (eval == kEvalCol5) {
    show(u, C::DeltaC, false);
    show(u, C::ColorNumber, false);
    for (C out : {C::Out0, C::Out1, C::Out2, C::Out3, C::Out4}) show(u, out, true);
    groupsOff(false);
    force(u, W::MaxVecNo, 5);
    dim(u, C::MaxVecNo, true);
    dim(u, C::IntLim, false);
    force(u, W::DigitalOutmode, kOutmodeBinaryHi);
    dim(u, C::DigitalOutmode, true);
    dim(u, C::CalculationMode, false);
    dim(u, C::Trigger, false);
    runMaxVecNo = true;
  } else if (eval == kEvalThdRgb) {
    show(u, C::DeltaC, false);
    show(u, C::ColorNumber, false);
    for (C out : {C::Out0, C::Out1, C::Out2}) show(u, out, true);
    const bool teachOutputs = r[W::ExternTeach] != kExteachOff;
    show(u, C::Out3, teachOutputs);
    show(u, C::Out4, teachOutputs);
    groupsOff(true);
    force(u, W::MaxVecNo, 3);
    force(u, W::IntLim, 0);
    force(u, W::DigitalOutmode, kOutmodeBinaryHi);
    force(u, W::Trigger, code(TriggerMode::Cont));
    for (C c : {C::MaxVecNo, C::IntLim, C::DigitalOutmode, C::Trigger, C::CalculationMode}) {
      dim(u, c, true);
    }
    runMaxVecNo = true;
  }
  if (runMaxVecNo) {
    PanelState after = state;
    applyToState(u, after);
    u += InitMaxVecNo(after);
  }
  u.refreshDisplayNames = true;
  return u;
}

// --- Calculation mode -------------------------------------------------------------
std::optional<std::array<std::string_view, 5>> teachColumnHeadings(std::uint16_t eval,
                                                                   std::uint16_t calc) {
  using H = std::array<std::string_view, 5>;
  if (isThdRgbEvalMode(eval)) return H{"THD", "", "", "", ""};
  switch (calc) {
    case code(CalculationMode::XyInt2d):
      return H{"X", "Y", "CTO", "INT", "ITO"};
    case code(CalculationMode::Sim2d):
      return H{"s", "i", "siTO", "M", "MTO"};
    case code(CalculationMode::XyInt3d):
      return H{"X", "Y", "INT", "TOL", ""};
    case code(CalculationMode::Sim3d):
      return H{"s", "i", "M", "TOL", ""};
    default:
      return std::nullopt;
  }
}

PanelUpdate InitCalcMode(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t eval = r[W::EvaluationMode];
  const std::uint16_t calc = r[W::CalculationMode];
  PanelUpdate u;
  if (const auto headings = teachColumnHeadings(eval, calc)) {
    constexpr std::array<C, 5> kColumns = {C::TeachColumn1, C::TeachColumn2, C::TeachColumn3,
                                           C::TeachColumn4, C::TeachColumn5};
    for (std::size_t i = 0; i < 5; ++i) label(u, kColumns[i], (*headings)[i]);
  }
  if (!isThdRgbEvalMode(eval)) {
    if (isMode(calc, CalculationMode::XyInt3d)) {
      label(u, C::Graph3dView1, "X/Y");
      label(u, C::Graph3dView2, "X/INT");
      label(u, C::Graph3dView3, "Y/INT");
    } else if (isMode(calc, CalculationMode::Sim3d)) {
      label(u, C::Graph3dView1, "s/i");
      label(u, C::Graph3dView2, "s/M");
      label(u, C::Graph3dView3, "i/M");
    }
  }
  u.intensityRanges = intensityChartRanges(calc);
  u += SetTabVis(state);
  return u;
}

PanelUpdate SetTabVis(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t eval = r[W::EvaluationMode];
  const std::uint16_t calc = r[W::CalculationMode];
  const int active = state.activeDataPage;
  PanelUpdate u;
  if (!isThdRgbEvalMode(eval)) {
    if (!isKnownCalcMode(calc)) return u;
    const bool flat = is2dCalcMode(calc);
    show(u, C::Graph2dPage, flat);
    show(u, C::Graph3dPage, !flat);
    if (active == kDataPage2dGraph || active == kDataPage3dGraph) {
      u.activeDataPage = flat ? kDataPage2dGraph : kDataPage3dGraph;
    }
    show(u, C::IntensityChartPage, true);
    show(u, C::ValueDisplays, true);
  } else {
    show(u, C::IntensityChartPage, false);
    show(u, C::Graph2dPage, false);
    show(u, C::Graph3dPage, false);
    show(u, C::ValueDisplays, false);
    // A hidden page cannot stay the active one: fall back to the RGB chart.
    if (active >= kDataPageIntensityChart && active <= kDataPage3dGraph)
      u.activeDataPage = kDataPageRgbChart;
  }
  return u;
}

// --- Extern teach and trigger --------------------------------------------------------
PanelUpdate InitExteach(const PanelState& state) {
  const auto& r = state.values.record;
  PanelUpdate u;
  if (r[W::ExternTeach] == kExteachOff) {
    if (state.triggerRingItems <= kTriggerItemsShort) u.triggerRingItems = kTriggerItemsFull;
  } else {
    // Teaching by input IN0 leaves only the triggers that do not use IN0.
    if (r[W::Trigger] >= code(TriggerMode::Ext1)) force(u, W::Trigger, code(TriggerMode::Cont));
    if (state.triggerRingItems >= 3) u.triggerRingItems = kTriggerItemsShort;
  }
  return u;
}

PanelUpdate InitTrigger(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t trigger = r[W::Trigger];
  std::uint16_t exteach = r[W::ExternTeach];
  PanelUpdate u;
  if (trigger <= 1) {
    dim(u, C::ExternTeach, false);
  } else {
    force(u, W::ExternTeach, kExteachOff);
    exteach = kExteachOff;
    dim(u, C::ExternTeach, true);
  }
  const bool para = trigger == kTriggerPara;
  dim(u, C::ParaSet0, !para);
  dim(u, C::ParaSet1, !para);
  if (!para) u.selectedSet = 0;
  show(u, C::TriggerLed,
       !isMode(trigger, TriggerMode::Cont) || !isMode(exteach, ExternTeachMode::Off));
  return u;
}

// --- Colour groups and active rows ---------------------------------------------------
PanelUpdate InitColorGroups(const PanelState& state) {
  const std::uint16_t groups = state.values.record[W::ColorGroup];
  PanelUpdate u;
  if (isMode(groups, ColorGroupMode::On)) {
    show(u, C::ColorGroupDisplay, true);
  } else if (isMode(groups, ColorGroupMode::Off)) {
    show(u, C::ColorGroupDisplay, false);
    show(u, C::BigGroupDisplay, false);
  }
  return u;
}

PanelUpdate InitMaxVecNo(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t groups = r[W::ColorGroup];
  const std::uint16_t outmode = r[W::DigitalOutmode];
  std::uint16_t maxVecNo = r[W::MaxVecNo];
  PanelUpdate u;
  if (isMode(groups, ColorGroupMode::Off)) {
    const std::uint16_t limit = maxVecNoLimit(0, outmode);
    if (maxVecNo > limit) {
      u.activeMainPage = kPageParameter;
      u.message = PanelMessage{kTitleInfo, kMsgMaxColTooHigh};
      force(u, W::MaxVecNo, limit);
      maxVecNo = limit;
    }
  } else if (isMode(groups, ColorGroupMode::On)) {
    const std::uint16_t limit = groupCellLimit(outmode);
    bool anyChanged = false;
    for (std::size_t row = 0; row < kTeachRows; ++row) {
      const std::uint16_t cell = state.values.table[row].group();
      const bool bad = cell > limit;
      anyChanged = anyChanged || bad;
      u.groupCells.push_back(GroupCellState{row, bad ? std::uint16_t{0} : cell,
                                            bad ? kGroupCellOutOfRange : kGroupCellInRange, bad});
    }
    if (anyChanged) {
      u.activeMainPage = kPageGroupHold;
      u.message = PanelMessage{kTitleInfo, kMsgGroupTooHigh};
    }
  }
  // The table has 64 rows; the numeric control cannot show more.
  if (maxVecNo > kTeachRows) {
    maxVecNo = static_cast<std::uint16_t>(kTeachRows);
    force(u, W::MaxVecNo, maxVecNo);
  }
  u.activeRows = maxVecNo;
  return u;
}

RowLabelPlan rowLabelPlan(std::uint16_t activeRows) {
  const int n = std::min<int>(activeRows, static_cast<int>(kTeachRows));
  const int rows = static_cast<int>(kTeachRows);
  RowLabelPlan plan;
  plan.teachGreen = {1, n};
  plan.teachRed = {n + 1, rows};
  plan.holdGreen = n >= 1 ? RowRange{1, n + 1} : RowRange{1, 0};
  plan.holdRed = {n + 2, rows + 1};
  return plan;
}

// --- Teach panels ---------------------------------------------------------------------
std::optional<MeanTeachCaptions> meanTeachCaptions(std::uint16_t calc) {
  switch (calc) {
    case code(CalculationMode::XyInt2d):
      return MeanTeachCaptions{
          .color = {"d (X/Y)",
                    "VALUE CTO",
                    "TEACH CTO WITH",
                    {"VALUE CTO", "d (X/Y)", "d (X/Y)+VALUE CTO"}},
          .intensity = {
              "d INT", "VALUE ITO", "TEACH ITO WITH", {"VALUE ITO", "d INT", "d INT+VALUE ITO"}}};
    case code(CalculationMode::Sim2d):
      return MeanTeachCaptions{
          .color = {"d (s/i)",
                    "VALUE siTO",
                    "TEACH siTO WITH",
                    {"VALUE siTO", "d (s/i)", "d (s/i)+VALUE siTO"}},
          .intensity = {
              "d M", "VALUE MTO", "TEACH MTO WITH", {"VALUE MTO", "d M", "d M+VALUE MTO"}}};
    case code(CalculationMode::XyInt3d):
      return MeanTeachCaptions{.color = {"d (X/Y/INT)",
                                         "VALUE TOL",
                                         "TEACH TOL WITH",
                                         {"VALUE TOL", "d (X/Y/INT)", "d (X/Y/INT)+VALUE TOL"}},
                               .intensity = {}};
    case code(CalculationMode::Sim3d):
      // The intensity distance is hidden in the 3D modes; s i M still names it.
      return MeanTeachCaptions{.color = {"d (s/i/INT)",
                                         "VALUE TOL",
                                         "TEACH TOL WITH",
                                         {"VALUE TOL", "d (s/i/INT)", "d (s/i/INT)+VALUE TOL"}},
                               .intensity = {"d M", {}, {}, {}}};
    default:
      return std::nullopt;
  }
}

PanelUpdate InitTeachPanel(const PanelState& state) {
  const auto& r = state.values.record;
  const std::uint16_t eval = r[W::EvaluationMode];
  const std::uint16_t calc = r[W::CalculationMode];
  PanelUpdate u;
  // THD RGB: the table holds thresholds; neither teach panel teaches a
  // colour into it, as TEACH DATA TO does not.
  const bool thd = isThdRgbEvalMode(eval);
  dim(u, C::TeachReset, thd);
  dim(u, C::TeachDataTo, thd);
  dim(u, C::MeanTeach, thd);
  dim(u, C::GraphTeachTeach, thd);
  if (thd) {
    show(u, C::TeachNo, false);
    show(u, C::TeachInc, false);
    return u;
  }
  show(u, C::TeachNo, true);
  show(u, C::TeachInc, true);
  const bool minDist = eval == kEvalMinDist;
  dim(u, C::MeanFirstRing, minDist);
  dim(u, C::MeanFirstValue, minDist);

  if (!isKnownCalcMode(calc)) return u;
  const bool xy = isXyIntCalcMode(calc);  // X Y INT family, else s i M
  label(u, C::MeanColumn4, xy ? "X" : "s");
  label(u, C::MeanColumn5, xy ? "Y" : "i");
  label(u, C::MeanColumn6, xy ? "INT" : "M");
  if (const auto captions = meanTeachCaptions(calc)) {
    labelTolerance(u, {C::MeanDistance, C::MeanFirstValue, C::MeanFirstRing}, captions->color);
    labelTolerance(u, {C::MeanSecondDistance, C::MeanSecondValue, C::MeanSecondRing},
                   captions->intensity);
  }
  const bool secondShown = is2dCalcMode(calc);
  show(u, C::MeanSecondDistance, secondShown);
  show(u, C::MeanSecondValue, secondShown);
  show(u, C::MeanSecondRing, secondShown);

  label(u, C::GraphTeachGraph1, xy ? "X/Y" : "s/i");
  label(u, C::GraphTeachGraph2, xy ? "X/INT" : "s/M");
  label(u, C::GraphTeachGraph3, xy ? "Y/INT" : "i/M");
  label(u, C::GraphTeachValue1, xy ? "X" : "s");
  label(u, C::GraphTeachValue2, xy ? "Y" : "i");
  label(u, C::GraphTeachValue3, xy ? "INT" : "M");
  if (xy) {
    u.colors.push_back({C::GraphTeachValue1, kRed, kLightGrey});
    u.colors.push_back({C::GraphTeachValue2, kBrightGreen, kLightGrey});
  } else {
    u.colors.push_back({C::GraphTeachValue1, kRed, kBrightGreen});
    u.colors.push_back({C::GraphTeachValue2, kYellow, kLightCyan});
  }
  return u;
}

// --- All rules ---------------------------------------------------------------------------
std::vector<PanelUpdate> InitPanelCtrlAttr(PanelState& state) {
  using Rule = PanelUpdate (*)(const PanelState&);
  constexpr std::array<Rule, 8> kRules = {InitPowerMode, InitEvalMode,  InitCalcMode,
                                          InitExteach,   InitTrigger,   InitColorGroups,
                                          InitMaxVecNo,  InitTeachPanel};
  std::vector<PanelUpdate> updates;
  updates.reserve(kRules.size());
  for (Rule rule : kRules) {
    updates.push_back(rule(state));
    applyToState(updates.back(), state);
  }
  return updates;
}

ConsistencyResult applyModeRules(ParaSet& set, std::uint16_t selectedSet) {
  PanelState state;
  state.values = set;
  state.selectedSet = selectedSet;
  // The ring holds the items the value needs, as after loading the panels.
  state.triggerRingItems =
      set.record[W::ExternTeach] == kExteachOff ? kTriggerItemsFull : kTriggerItemsShort;
  const auto updates = InitPanelCtrlAttr(state);

  ConsistencyResult result;
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    if (state.values.record.words[w] != set.record.words[w]) {
      result.forced.push_back({static_cast<ParaWord>(w), state.values.record.words[w]});
    }
  }
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    if (state.values.table[row].group() != set.table[row].group()) {
      result.groupCellsReset.push_back(row);
    }
  }
  for (const auto& u : updates) {
    if (u.message) result.messages.push_back(*u.message);
  }
  result.selectedSet = state.selectedSet;
  set = state.values;
  return result;
}

}  // namespace drq
