#pragma once
// The mode rules of the parameter panels as pure functions of the values.
//
// The record's fields depend on each other: the light-source mode decides
// whether power settings make sense, the evaluation mode how many rows can be
// active and which outputs the display shows, the calculation mode what the
// teach-table columns mean. Each rule below reads the current values (a
// PanelState) and returns a PanelUpdate: the values to force, the controls to
// dim or undim, show or hide, relabel, the ring items, the page to activate and
// at most one message. The widget layer applies an update as it comes; nothing
// here touches a widget. InitPanelCtrlAttr runs all eight rules in their order,
// each seeing what the earlier ones forced.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/graph/ChartRanges.h"
#include "core/params/PanelIds.h"
#include "core/params/ParaSet.h"

namespace drq {

// Every control a rule changes, on whatever panel it lives.
enum class PanelControl {
  // parameter page
  Power,
  PowerMode,
  DynWinLo,
  DynWinHi,
  ExternTeach,
  Trigger,
  MaxVecNo,
  IntLim,
  DigitalOutmode,
  CalculationMode,
  // group and hold page
  ColorGroup,
  GroupTable,
  GroupTableReset,
  // main panel: the two parameter-set buttons
  ParaSet0,
  ParaSet1,
  // display panel
  DeltaC,
  ColorNumber,
  ColorGroupDisplay,
  Out0,
  Out1,
  Out2,
  Out3,
  Out4,
  ValueDisplays,  // the three value displays X/s, Y/i, INT/M
  TriggerLed,
  IntensityChartPage,  // display panel page 1
  Graph2dPage,         // page 2
  Graph3dPage,         // page 3
  Graph3dView1,        // the three graphs of the 3D graph page
  Graph3dView2,
  Graph3dView3,
  // big displays
  BigGroupDisplay,
  BigColorDisplay,
  // teach table page
  TeachColumn1,  // headings of columns 1..5
  TeachColumn2,
  TeachColumn3,
  TeachColumn4,
  TeachColumn5,
  TeachReset,
  TeachDataTo,
  TeachNo,
  TeachInc,
  // mean-value teach panel
  MeanColumn4,  // columns 4..6 of both of its tables
  MeanColumn5,
  MeanColumn6,
  MeanDistance,
  MeanFirstValue,  // colour tolerance value
  MeanFirstRing,   // colour tolerance ring
  MeanSecondDistance,
  MeanSecondValue,
  MeanSecondRing,
  MeanTeach,  // its TEACH button
  // graph teach panel
  GraphTeachGraph1,
  GraphTeachGraph2,
  GraphTeachGraph3,
  GraphTeachValue1,
  GraphTeachValue2,
  GraphTeachValue3,
  GraphTeachTeach,  // its TEACH button
};

// Colours the rules use.
inline constexpr std::uint32_t kActiveRowLabel = 0x008000;
inline constexpr std::uint32_t kInactiveRowLabel = 0xFF0000;
inline constexpr std::uint32_t kGroupCellOutOfRange = 0xFF0000;
inline constexpr std::uint32_t kGroupCellInRange = 0xFFFFFF;
inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kBrightGreen = 0x00FF00;
inline constexpr std::uint32_t kLightGrey = 0xE0E0E0;
inline constexpr std::uint32_t kYellow = 0xFFFF00;
inline constexpr std::uint32_t kLightCyan = 0x80FFFF;

// The two limit messages (title kTitleInfo).
inline constexpr std::string_view kMsgMaxColTooHigh =
    "ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled and OUMODE=DIRECT LO or "
    "\nDIRECT HI, the maximum number is 5. \nIf OUTMODE=BINARY HI or LO, the maximum number is 31. "
    "\n\nIf color group is enabled, the maximum number is 64. \n\nMAXCOL-No. will be set to "
    "maximum value.";
inline constexpr std::string_view kMsgGroupTooHigh =
    "ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n5 groups are possible! GROUP 0,1,2,3,4. "
    "\nIf OUTMODE=BINARY HI or LO: \n31 groups are possible. GROUP 0,1,2,...30. \n\n Cell will be "
    "set to 0.";

// Items of the TRIGGER ring: CONT and SELF always, the other five only while
// EXTERN TEACH is OFF.
inline constexpr std::array<std::string_view, 7> kTriggerItems = {"CONT", "SELF",  "EXT1", "EXT2",
                                                                  "EXT3", "TRANS", "PARA"};
inline constexpr std::size_t kTriggerItemsShort = 2;
inline constexpr std::size_t kTriggerItemsFull = 7;

// What the controls hold when a rule runs.
struct PanelState {
  ParaSet values = defaultParaSet();  // record controls and the tables (GROUP cells matter here)
  std::size_t triggerRingItems = kTriggerItemsFull;  // items the TRIGGER ring holds
  std::uint16_t selectedSet = 0;                     // 0 or 1
  int activeDataPage = kDataPage3dGraph;             // active page of the display panel
};

struct ForcedValue {
  ParaWord word;
  std::uint16_t value;
  bool operator==(const ForcedValue&) const = default;
};
struct ControlFlag {
  PanelControl control;
  bool on;  // dimmed / visible
  bool operator==(const ControlFlag&) const = default;
};
struct ControlText {
  PanelControl control;
  std::string_view text;  // label, heading or graph title
  bool operator==(const ControlText&) const = default;
};
struct ControlItems {
  PanelControl control;
  std::array<std::string_view, 3> items;  // ring items 0, 1, 2
  bool operator==(const ControlItems&) const = default;
};
struct ControlColors {
  PanelControl control;
  std::uint32_t color;
  std::uint32_t secondColor;
  bool operator==(const ControlColors&) const = default;
};
// A cell of the group table (teach row `row`, table row row + 1) after the
// group limit was applied.
struct GroupCellState {
  std::size_t row;
  std::uint16_t value;
  std::uint32_t background;
  bool changed;  // was out of range and is now 0
  bool operator==(const GroupCellState&) const = default;
};
struct PanelMessage {
  std::string_view title;
  std::string_view text;
  bool operator==(const PanelMessage&) const = default;
};

// Result of a rule. Apply the lists in order; a control named twice takes the
// later entry.
struct PanelUpdate {
  std::vector<ForcedValue> values;
  std::vector<ControlFlag> dimmed;   // on = dimmed
  std::vector<ControlFlag> visible;  // on = shown
  std::vector<ControlText> labels;
  std::vector<ControlItems> ringItems;
  std::vector<ControlColors> colors;
  std::vector<GroupCellState> groupCells;       // all 64 rows when the group limit ran
  std::optional<std::size_t> triggerRingItems;  // 2: CONT, SELF; 7: also EXT1..PARA
  std::optional<std::uint16_t> selectedSet;     // set 0: ParaSet0 on, ParaSet1 off
  std::optional<int> activeMainPage;
  std::optional<int> activeDataPage;
  std::optional<std::uint16_t> activeRows;  // colour the row labels (rowLabelPlan)
  // Vertical ranges of the three value graphs of the intensity chart page
  // (intensityChartRanges), to apply only while those axes are in manual
  // scaling.
  std::optional<std::array<ChartRange, 3>> intensityRanges;
  bool refreshDisplayNames = false;  // relabel the value displays for the calculation mode
  std::optional<PanelMessage> message;

  PanelUpdate& operator+=(const PanelUpdate& later);

  // Last entry for a control, if any (a convenience for callers and tests).
  std::optional<bool> dimmedOf(PanelControl c) const;
  std::optional<bool> visibleOf(PanelControl c) const;
  std::optional<std::string_view> labelOf(PanelControl c) const;
  std::optional<std::uint16_t> valueOf(ParaWord w) const;
};

// Makes `state` what the controls hold after `update` was applied.
void applyToState(const PanelUpdate& update, PanelState& state);

// --- The rules ------------------------------------------------------------
PanelUpdate InitPowerMode(const PanelState& state);
PanelUpdate InitEvalMode(const PanelState& state);  // ends with InitMaxVecNo for COL5 and THD RGB
PanelUpdate InitCalcMode(const PanelState& state);  // ends with SetTabVis
PanelUpdate SetTabVis(const PanelState& state);
PanelUpdate InitExteach(const PanelState& state);
PanelUpdate InitTrigger(const PanelState& state);
PanelUpdate InitColorGroups(const PanelState& state);
PanelUpdate InitMaxVecNo(const PanelState& state);
PanelUpdate InitTeachPanel(const PanelState& state);

// All eight rules in order (power mode, evaluation mode, calculation mode,
// extern teach, trigger, colour groups, max vec no, teach panel); `state` ends
// as the controls stand afterwards. One update per rule, in that order.
std::vector<PanelUpdate> InitPanelCtrlAttr(PanelState& state);

// --- Helpers the rules are built from ---------------------------------------
// Largest MAX VEC NO: with colour groups off 5 (DIRECT outmodes 0, 1) or 31
// (BINARY); with groups on 64.
std::uint16_t maxVecNoLimit(std::uint16_t colorGroup, std::uint16_t digitalOutmode);
// Largest GROUP cell with colour groups on: 4 (DIRECT) or 30 (BINARY).
std::uint16_t groupCellLimit(std::uint16_t digitalOutmode);

// Teach-table column headings 1..5; none when the modes have no heading set.
std::optional<std::array<std::string_view, 5>> teachColumnHeadings(std::uint16_t evaluationMode,
                                                                   std::uint16_t calculationMode);

// The captions of one tolerance of the mean-value teach panel: its distance
// display, its value, its ring and ring items 0..2 ("KEEP TABLE VALUE" is the
// panel's fourth). An empty text leaves that caption as it stands.
struct ToleranceCaptions {
  std::string_view distance;
  std::string_view value;
  std::string_view ring;
  std::array<std::string_view, 3> items;
};
struct MeanTeachCaptions {
  ToleranceCaptions color;      // the colour tolerance (the 3D modes: the one tolerance)
  ToleranceCaptions intensity;  // the intensity tolerance of the 2D modes
};
// The mean-value teach panel's captions in calculation mode `calculationMode`
// (InitTeachPanel sets them; the panel starts with those of X Y INT 2D); none
// for an unknown mode.
std::optional<MeanTeachCaptions> meanTeachCaptions(std::uint16_t calculationMode);

// Row-label colouring for MAX VEC NO = n (n above 64 counts as 64). Ranges are
// 1-based table rows, inclusive, empty when first > last. The teach, group and
// table-attribute tables share the first pair; the hold table (row 1 HOLD FAIL)
// has its own. With n = 0 no hold row is coloured green (HOLD FAIL keeps its
// colour).
struct RowRange {
  int first;
  int last;
  bool contains(int row) const { return row >= first && row <= last; }
  bool operator==(const RowRange&) const = default;
};
struct RowLabelPlan {
  RowRange teachGreen, teachRed, holdGreen, holdRed;

  // The label colour of 1-based table row `row` (kActiveRowLabel or
  // kInactiveRowLabel); none where the plan leaves the label as it is.
  std::optional<std::uint32_t> teachLabelColor(int row) const {
    return labelColor(teachGreen, teachRed, row);
  }
  std::optional<std::uint32_t> holdLabelColor(int row) const {
    return labelColor(holdGreen, holdRed, row);
  }

 private:
  static std::optional<std::uint32_t> labelColor(const RowRange& green, const RowRange& red,
                                                 int row) {
    if (green.contains(row)) return kActiveRowLabel;
    if (red.contains(row)) return kInactiveRowLabel;
    return std::nullopt;
  }
};
RowLabelPlan rowLabelPlan(std::uint16_t activeRows);

// --- The rules applied to values only ----------------------------------------
// Runs InitPanelCtrlAttr on the values of `set` (the GROUP cells included) and
// the selected set, and writes back what the rules forced. Returns the messages
// the panel would show, in order.
struct ConsistencyResult {
  std::vector<ForcedValue> forced;           // record words that changed, in order
  std::vector<std::size_t> groupCellsReset;  // teach rows whose GROUP was set to 0
  std::vector<PanelMessage> messages;
  std::uint16_t selectedSet = 0;
};
ConsistencyResult applyModeRules(ParaSet& set, std::uint16_t selectedSet);

}  // namespace drq
