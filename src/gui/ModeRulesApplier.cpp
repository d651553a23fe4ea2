#include "gui/ModeRulesApplier.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <array>
#include <map>

#include "gui/LiveMonitor.h"
#include "gui/MainWindow.h"
#include "gui/TransferBar.h"
#include "gui/charts/StripChart.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/ThreeDGraphPage.h"

namespace drq::gui {

namespace {

using C = PanelControl;
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

QString fromView(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toColor(std::uint32_t rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

// Column index (0-based) of a teach-table heading control, -1 for others.
int teachColumnOf(C control) {
  switch (control) {
    case C::TeachColumn1:
      return 0;
    case C::TeachColumn2:
      return 1;
    case C::TeachColumn3:
      return 2;
    case C::TeachColumn4:
      return 3;
    case C::TeachColumn5:
      return 4;
    default:
      return -1;
  }
}

// The parameter-page word a control stands for, if it is one of them.
std::optional<W> parameterWordOf(C control) {
  switch (control) {
    case C::Power:
      return W::Power;
    case C::PowerMode:
      return W::PowerMode;
    case C::DynWinLo:
      return W::DynWinLo;
    case C::DynWinHi:
      return W::DynWinHi;
    case C::ExternTeach:
      return W::ExternTeach;
    case C::Trigger:
      return W::Trigger;
    case C::MaxVecNo:
      return W::MaxVecNo;
    case C::IntLim:
      return W::IntLim;
    case C::DigitalOutmode:
      return W::DigitalOutmode;
    case C::CalculationMode:
      return W::CalculationMode;
    default:
      return std::nullopt;
  }
}

// Index of a display-panel page control, -1 for others.
int dataPageOf(C control) {
  switch (control) {
    case C::IntensityChartPage:
      return kDataPageIntensity;
    case C::Graph2dPage:
      return kDataPage2d;
    case C::Graph3dPage:
      return kDataPage3d;
    default:
      return -1;
  }
}

// Index of an output LED control (OUT0..OUT4), -1 for others.
int outputLedOf(C control) {
  switch (control) {
    case C::Out0:
      return 0;
    case C::Out1:
      return 1;
    case C::Out2:
      return 2;
    case C::Out3:
      return 3;
    case C::Out4:
      return 4;
    default:
      return -1;
  }
}

// Index of a view of the 3D graph page, -1 for others.
int threeDViewOf(C control) {
  switch (control) {
    case C::Graph3dView1:
      return 0;
    case C::Graph3dView2:
      return 1;
    case C::Graph3dView3:
      return 2;
    default:
      return -1;
  }
}

}  // namespace

ModeRulesApplier::ModeRulesApplier(MainWindow& window, ShellContext& context)
    : window_(window), context_(context) {}

PanelState ModeRulesApplier::readPanelState() const {
  PanelState state;
  state.values = context_.session.working;
  window_.parameterPage().GetPanelValues(state.values);
  window_.groupHoldPage().GetPanelValues(state.values);
  state.triggerRingItems = window_.parameterPage().triggerRingItems();
  state.selectedSet = context_.session.selectedSet;
  state.activeDataPage = window_.dataPanel().pages()->currentIndex();
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
  ParameterPage& parameters = window_.parameterPage();
  GroupHoldPage& groups = window_.groupHoldPage();

  for (const ForcedValue& forced : update.values) {
    if (forced.word == W::ColorGroup) {
      groups.colorGroupSwitch()->setValue(forced.value);
    } else {
      parameters.setControlValue(forced.word, forced.value);
    }
  }
  if (update.triggerRingItems) parameters.setTriggerRingItems(*update.triggerRingItems);
  for (const ControlFlag& flag : update.dimmed) setDimmed(flag.control, flag.on);
  for (const ControlText& text : update.labels) setLabel(text.control, text.text);

  for (const GroupCellState& cell : update.groupCells) {
    const int row = tableRowOf(cell.row) - 1;
    groups.groupTable()->setValue(row, 0, cell.value);
    groups.groupTable()->setCellBackground(row, 0, cell.background);
  }
  if (update.selectedSet) {
    context_.session.selectedSet = *update.selectedSet;
    window_.transferBar().showSelection();
  }

  // Visibility: the last entry of each control counts. Pages are shown before
  // the active page changes and hidden after, so that the tab never passes
  // through a page the rules did not choose.
  std::map<C, bool> visible;
  for (const ControlFlag& flag : update.visible) visible[flag.control] = flag.on;
  for (const auto& [control, on] : visible) {
    if (on) setVisible(control, true);
  }
  if (update.activeDataPage) window_.dataPanel().pages()->setCurrentIndex(*update.activeDataPage);
  for (const auto& [control, on] : visible) {
    if (!on) setVisible(control, false);
  }

  if (update.activeRows) colorRowLabels(*update.activeRows);
  // The fixed ranges of the intensity chart page follow the mode only while
  // the operator has not switched its charts to automatic scaling.
  IntensityChartPage& intensity = window_.dataPanel().intensityChartPage();
  if (update.intensityAxisMax && intensity.intensityAxisManual()) {
    for (int chart = 0; chart < 3; ++chart) {
      const double maximum = (*update.intensityAxisMax)[static_cast<std::size_t>(chart)];
      intensity.chart(chart).setFixedRange(ChartRange{0, static_cast<int>(maximum)});
    }
  }
  if (update.refreshDisplayNames) window_.liveMonitor().SetDispNames();
  if (update.activeMainPage) window_.setActivePage(*update.activeMainPage);
  if (update.message) {
    context_.popups.MessagePopup(fromView(update.message->title), fromView(update.message->text));
  }
}

void ModeRulesApplier::setDimmed(PanelControl control, bool dimmed) {
  if (const auto word = parameterWordOf(control)) {
    window_.parameterPage().setControlDimmed(*word, dimmed);
    return;
  }
  QWidget* widget = nullptr;
  switch (control) {
    case C::ColorGroup:
      widget = window_.groupHoldPage().colorGroupCell();
      break;
    case C::GroupTable:
      widget = window_.groupHoldPage().groupTable();
      break;
    case C::GroupTableReset:
      widget = window_.groupHoldPage().groupResetButton();
      break;
    case C::ParaSet0:
      widget = window_.transferBar().paraSetButton(0);
      break;
    case C::ParaSet1:
      widget = window_.transferBar().paraSetButton(1);
      break;
    case C::TeachReset:
      widget = window_.teachTablePage().resetButton();
      break;
    case C::TeachDataTo:
      widget = window_.teachTablePage().teachDataToButton();
      break;
    default:
      break;
  }
  if (widget) widget->setEnabled(!dimmed);
}

void ModeRulesApplier::setVisible(PanelControl control, bool visible) {
  if (const int column = teachColumnOf(control); column >= 0) {
    window_.teachTablePage().teachTable()->setColumnHidden(column, !visible);
    return;
  }
  DataPanel& data = window_.dataPanel();
  if (const int page = dataPageOf(control); page >= 0) {
    data.setGraphPageVisible(page, visible);
    return;
  }
  if (const int led = outputLedOf(control); led >= 0) {
    data.outputLed(led)->setVisible(visible);
    return;
  }
  switch (control) {
    case C::DeltaC:
      data.deltaCDisplay()->setVisible(visible);
      break;
    case C::ColorNumber:
      data.colorNumberDisplay()->setVisible(visible);
      break;
    case C::ColorGroupDisplay:
      data.colorGroupDisplay()->setVisible(visible);
      break;
    case C::ValueDisplays:
      data.setValueDisplaysVisible(visible);
      break;
    case C::TriggerLed:
      data.setTriggerLedVisible(visible);
      break;
    case C::TeachNo:
      window_.teachTablePage().rowNumberCell()->setVisible(visible);
      break;
    case C::TeachInc:
      window_.teachTablePage().autoIncrement()->setVisible(visible);
      break;
    // The big displays are opened by the operator; the rules only close them.
    case C::BigGroupDisplay:
      if (!visible) window_.bigGroupPanel().hide();
      break;
    case C::BigColorDisplay:
      if (!visible) window_.bigColorPanel().hide();
      break;
    // The teach panels' controls (Mean..., GraphTeach...) are mapped here and
    // in setDimmed / setLabel once those panels have them.
    default:
      break;
  }
}

void ModeRulesApplier::setLabel(PanelControl control, std::string_view text) {
  if (const int column = teachColumnOf(control); column >= 0) {
    window_.teachTablePage().teachTable()->setColumnHeading(column, fromView(text));
    return;
  }
  if (const int view = threeDViewOf(control); view >= 0) {
    ThreeDGraphPage& page = window_.dataPanel().threeDGraphPage();
    std::array<QString, 3> titles = page.viewTitles();
    titles[static_cast<std::size_t>(view)] = fromView(text);
    page.setViewTitles(titles);
  }
}

void ModeRulesApplier::colorRowLabels(std::uint16_t activeRows) {
  const RowLabelPlan plan = rowLabelPlan(activeRows);
  const auto colorOf = [](const RowRange& green, const RowRange& red,
                          int row) -> std::optional<std::uint32_t> {
    if (green.contains(row)) return kActiveRowLabel;
    if (red.contains(row)) return kInactiveRowLabel;
    return std::nullopt;
  };
  WordTable* teach = window_.teachTablePage().teachTable();
  WordTable* group = window_.groupHoldPage().groupTable();
  WordTable* hold = window_.groupHoldPage().holdTable();
  QTableWidget* attributes = window_.tableAttributesPage().specificationTable();
  for (int row = 1; row <= static_cast<int>(kTeachRows); ++row) {
    if (const auto rgb = colorOf(plan.teachGreen, plan.teachRed, row)) {
      teach->setRowLabelColor(row - 1, *rgb);
      group->setRowLabelColor(row - 1, *rgb);
      if (QTableWidgetItem* header = attributes->verticalHeaderItem(row - 1)) {
        header->setForeground(toColor(*rgb));
      }
    }
  }
  for (int row = 1; row <= hold->rowCount(); ++row) {
    if (const auto rgb = colorOf(plan.holdGreen, plan.holdRed, row)) {
      hold->setRowLabelColor(row - 1, *rgb);
    }
  }
}

}  // namespace drq::gui
