#include "gui/pages/TeachTablePage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QSignalBlocker>

#include "gui/common/Texts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

constexpr int kCellColumns = static_cast<int>(kTeachCells);

constexpr const char* kHelpTable =
    "TEACH TABLE: one row for each taught color, beginning with row 0 (table row 1). \nThe "
    "meaning of the columns follows the CALCULATION MODE. \nThe last column shows the row "
    "color. \nActive rows are labelled green, inactive rows red. \n\nRight click for the "
    "menu: \nSet selection to: all selected cells get one value. \nIncrement selection with: "
    "the first selected cell keeps its value, \neach following cell gets the increment more. "
    "\nReset selection: all selected cells are set to 1. \nTeach tolerance off: TEACH DATA TO "
    "keeps the tolerances of the row. \nTeach tolerance on: TEACH DATA TO writes the default "
    "tolerances.";
constexpr const char* kHelpNo =
    "Select the row of the TEACH TABLE (0...63) \nwhich TEACH DATA TO will write.";
constexpr const char* kHelpInc = "Auto increment of Edit Field No.:";
constexpr const char* kHelpReset =
    "Reset the TEACH TABLE. \nAll cells will be set to 1 and No. to 0.";
constexpr const char* kHelpTeachDataTo =
    "Teach the current measurement \ninto the row of the TEACH TABLE selected with No.";
constexpr const char* kHelpTeachMeanVal =
    "Opens the MEAN VALUE TEACH: \ncapture up to 100 measurements of a target \nand teach their "
    "mean values.";
constexpr const char* kHelpTeachRecVal =
    "Opens the GRAPH TEACH: \nrecord measurements as points of three graphs \nand teach the one "
    "selected with a cursor.";

// The prompt of "Set selection to" and "Increment selection with".
constexpr const char* kPromptTitle = "VALUE!";
constexpr const char* kPromptText = "Insert a cell value!";
constexpr int kPromptMaxLength = 9;
// A whole number that does not fit: nothing is changed, and the operator is
// told why rather than left wondering.
constexpr const char* kMsgCellValueRange =
    "The value does not fit a table cell. \nA cell holds 0...65535. \nNo cell was changed.";
constexpr const char* kMsgIncrementRange =
    "The increment is out of range. \nIt must lie within -65535...65535. \nNo cell was "
    "changed.";

}  // namespace

TeachTablePage::TeachTablePage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("TEACH TABLE"), parent),
      table_(new WordTable(static_cast<int>(kTeachRows),
                           {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("CTO"),
                            QStringLiteral("INT"), QStringLiteral("ITO")},
                           true, this)),
      no_(new QSpinBox(this)),
      noCell_(new QWidget(this)),
      inc_(new QCheckBox(QStringLiteral("Inc"), this)),
      reset_(new QPushButton(QStringLiteral("R&ESET"), this)),
      teachDataTo_(new QPushButton(QStringLiteral("TEACH DATA TO"), this)),
      teachMeanVal_(new QPushButton(QStringLiteral("MEAN VALUE TEACH"), this)),
      teachRecVal_(new QPushButton(QStringLiteral("GRAPH TEACH"), this)) {
  setObjectName(QStringLiteral("TeachTablePage"));
  Popups& popups = context.popups;

  table_->setObjectName(QStringLiteral("GridCtt"));
  table_->setAccessibleName(QStringLiteral("teach table"));
  // The right click opens the menu; its first item is the help.
  table_->setToolTip(QString::fromLatin1(kHelpTable));
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  menu_ = buildMenu();

  no_->setObjectName(QStringLiteral("EditNo"));
  no_->setRange(0, static_cast<int>(kTeachRows) - 1);
  no_->setKeyboardTracking(false);
  no_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  noCell_->setObjectName(QStringLiteral("EditNoCell"));
  auto* noCaption = new QLabel(QStringLiteral("No."), noCell_);
  noCaption->setObjectName(QStringLiteral("EditNoCaption"));
  noCaption->setBuddy(no_);
  no_->setParent(noCell_);
  auto* noLayout = new QHBoxLayout(noCell_);
  noLayout->setContentsMargins(0, 0, 0, 0);
  noLayout->setSpacing(4);
  noLayout->addWidget(noCaption);
  noLayout->addWidget(no_, 1);
  for (QWidget* control : {static_cast<QWidget*>(no_), static_cast<QWidget*>(noCaption)}) {
    installHelp(control, popups, QString::fromLatin1(kHelpNo));
  }

  inc_->setObjectName(QStringLiteral("RadioInc"));
  installHelp(inc_, popups, QString::fromLatin1(kHelpInc));
  reset_->setObjectName(QStringLiteral("ButtonResetTable"));
  installHelp(reset_, popups, QString::fromLatin1(kHelpReset));
  teachDataTo_->setObjectName(QStringLiteral("ButtonTeachDataTo"));
  installHelp(teachDataTo_, popups, QString::fromLatin1(kHelpTeachDataTo));
  teachMeanVal_->setObjectName(QStringLiteral("ButtonTeachMeanVal"));
  installHelp(teachMeanVal_, popups, QString::fromLatin1(kHelpTeachMeanVal));
  teachRecVal_->setObjectName(QStringLiteral("ButtonTeachRecVal"));
  installHelp(teachRecVal_, popups, QString::fromLatin1(kHelpTeachRecVal));

  auto* controls = new QGridLayout();
  controls->setContentsMargins(0, 0, 0, 0);
  controls->setHorizontalSpacing(8);
  controls->setVerticalSpacing(4);
  controls->addWidget(noCell_, 0, 0);
  controls->addWidget(inc_, 0, 1);
  controls->addWidget(teachDataTo_, 1, 0);
  controls->addWidget(reset_, 1, 1);
  controls->addWidget(teachMeanVal_, 2, 0);
  controls->addWidget(teachRecVal_, 2, 1);
  controls->setColumnStretch(0, 1);
  controls->setColumnStretch(1, 1);
  pageLayout()->addLayout(controls);
  pageLayout()->addWidget(table_, 1);
  // The table, created first, is read after the controls above it.
  chainTabOrder(*this, {no_, inc_, teachDataTo_, reset_, teachMeanVal_, teachRecVal_, table_});

  connect(table_, &WordTable::cellValueChanged, this, &TeachTablePage::CBF_GridCtt);
  connect(no_, &QSpinBox::valueChanged, this, &TeachTablePage::CBF_EditNo);
  connect(inc_, &QCheckBox::toggled, this, &TeachTablePage::CBF_RadioInc);
  connect(reset_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonResetTable);
  connect(teachDataTo_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonTeachDataTo);
  connect(teachMeanVal_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonTeachMeanVal);
  connect(teachRecVal_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonTeachRecVal);
  connect(table_, &QWidget::customContextMenuRequested, this, &TeachTablePage::showContextMenu);

  TeachTablePage::SetPanelValues(defaultParaSet());
  TeachTablePage::applyRowColors(defaultRowColors());
}

void TeachTablePage::GetPanelValues(ParaSet& working) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    for (int column = 0; column < kCellColumns; ++column) {
      working.table[row].cell(static_cast<std::size_t>(column)) =
          table_->value(static_cast<int>(row), column);
    }
  }
}

void TeachTablePage::SetPanelValues(const ParaSet& working) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    for (int column = 0; column < kCellColumns; ++column) {
      table_->setValue(static_cast<int>(row), column,
                       working.table[row].cell(static_cast<std::size_t>(column)));
    }
  }
}

void TeachTablePage::registerRuleControls(RuleControls& controls) {
  using C = PanelControl;
  constexpr C kColumns[] = {C::TeachColumn1, C::TeachColumn2, C::TeachColumn3, C::TeachColumn4,
                            C::TeachColumn5};
  for (int column = 0; column < 5; ++column) {
    RuleControls::Actions actions;
    actions.show = [this, column](bool visible) { table_->setColumnHidden(column, !visible); };
    actions.relabel = [this, column](const QString& text) {
      table_->setColumnHeading(column, text);
    };
    controls.add(kColumns[column], std::move(actions));
  }
  controls.addWidget(C::TeachReset, reset_);
  controls.addWidget(C::TeachDataTo, teachDataTo_);
  controls.addWidget(C::TeachNo, noCell_);
  controls.addWidget(C::TeachInc, inc_);
}

void TeachTablePage::colorRowLabels(const RowLabelPlan& plan) {
  for (int row = 1; row <= static_cast<int>(kTeachRows); ++row) {
    if (const auto rgb = plan.teachLabelColor(row)) table_->setRowLabelColor(row - 1, *rgb);
  }
}

void TeachTablePage::applyRowColors(const RowColorArray& colors) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    table_->setRowColor(static_cast<int>(row), colors[row]);
  }
}

QMenu* TeachTablePage::buildMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("GridCttMenu"));
  const auto add = [this, menu](const char* text, const char* name,
                                void (TeachTablePage::*callback)()) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, callback);
  };
  add("Help", "GridCttHelp", &TeachTablePage::CBF_GridCttHelp);
  menu->addSeparator();
  add("Set selection to", "GridCttSetSelectionTo", &TeachTablePage::CBF_GridCttSetSelectionTo);
  add("Increment selection with", "GridCttIncrementSelectionWith",
      &TeachTablePage::CBF_GridCttIncrementSelectionWith);
  add("Reset selection", "GridCttResetSelection", &TeachTablePage::CBF_GridCttResetSelection);
  menu->addSeparator();
  add("Teach tolerance off", "GridCttTeachTolOff", &TeachTablePage::CBF_GridCttTeachTolOff);
  add("Teach tolerance on", "GridCttTeachTolOn", &TeachTablePage::CBF_GridCttTeachTolOn);
  menu_ = menu;
  showToleranceState();
  return menu;
}

QAction* TeachTablePage::menuAction(MenuItem item) const {
  const char* name = "";
  switch (item) {
    case MenuItem::Help:
      name = "GridCttHelp";
      break;
    case MenuItem::SetSelectionTo:
      name = "GridCttSetSelectionTo";
      break;
    case MenuItem::IncrementSelectionWith:
      name = "GridCttIncrementSelectionWith";
      break;
    case MenuItem::ResetSelection:
      name = "GridCttResetSelection";
      break;
    case MenuItem::TolOff:
      name = "GridCttTeachTolOff";
      break;
    case MenuItem::TolOn:
      name = "GridCttTeachTolOn";
      break;
  }
  for (QAction* action : menu_->actions()) {
    if (action->objectName() == QLatin1String(name)) return action;
  }
  return nullptr;
}

void TeachTablePage::showContextMenu(const QPoint& position) {
  menu_->popup(table_->viewport()->mapToGlobal(position));
}

void TeachTablePage::showToleranceState() {
  menuAction(MenuItem::TolOff)->setEnabled(!teachTolOff_);
  menuAction(MenuItem::TolOn)->setEnabled(teachTolOff_);
}

void TeachTablePage::ResetTable() {
  {
    // A reset is no choice of a row by the operator.
    const QSignalBlocker blocker(no_);
    no_->setValue(0);
  }
  for (int row = 0; row < table_->rowCount(); ++row) {
    for (int column = 0; column < kCellColumns; ++column) {
      table_->setValue(row, column, kDefaultCell);
    }
  }
}

void TeachTablePage::CBF_GridCtt(int row, int column, std::uint16_t) {
  emit teachTableEdited(row, column);
}

void TeachTablePage::CBF_EditNo() {
  emit teachRowChosen(no_->value());
}

void TeachTablePage::CBF_RadioInc() {}

void TeachTablePage::CBF_ButtonResetTable() {
  if (!context().popups.ConfirmPopup(QString::fromLatin1(kTitleAttention),
                                     QString::fromLatin1(kConfirmResetTable))) {
    return;
  }
  ResetTable();
  emit tableReset();
}

void TeachTablePage::CBF_ButtonTeachDataTo() {
  emit teachDataToRequested();
}

void TeachTablePage::CBF_ButtonTeachMeanVal() {
  emit meanValueTeachRequested();
}

void TeachTablePage::CBF_ButtonTeachRecVal() {
  emit graphTeachRequested();
}

// --- The table's menu ----------------------------------------------------------------

GridSelection TeachTablePage::selection() const {
  const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
  if (ranges.isEmpty()) return {};
  // The table allows one contiguous block.
  const QTableWidgetSelectionRange& range = ranges.front();
  return GridSelection{range.topRow() + 1, range.leftColumn() + 1, range.rowCount(),
                       range.columnCount()};
}

bool TeachTablePage::isEditableCell(GridCell cell) const {
  // A column the mode hides stays editable: the selection writes it too.
  return teachGridEditable(cell);
}

void TeachTablePage::writeCells(const std::vector<CellAssignment>& cells) {
  if (cells.empty()) return;
  for (const CellAssignment& assignment : cells) {
    table_->setValue(assignment.cell.row - 1, assignment.cell.column - 1, assignment.value);
  }
  emit selectionEdited();
}

std::optional<QString> TeachTablePage::promptValue() {
  return context().popups.PromptPopup(QString::fromLatin1(kPromptTitle),
                                      QString::fromLatin1(kPromptText), kPromptMaxLength);
}

void TeachTablePage::refuseAnswer(const QString& answer, const char* rangeNotice) {
  // Only an answer that starts with a number is out of range; others are
  // simply not numbers.
  static const QRegularExpression kLeadingNumber(QStringLiteral("^\\s*[+-]?[0-9]"));
  if (!kLeadingNumber.match(answer).hasMatch()) return;
  context().popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                                QString::fromLatin1(rangeNotice));
}

void TeachTablePage::CBF_GridCttHelp() {
  context().popups.MessagePopup(QString::fromLatin1(kTitleInfo), QString::fromLatin1(kHelpTable));
}

void TeachTablePage::CBF_GridCttSetSelectionTo() {
  const GridSelection chosen = selection();
  if (chosen.empty()) return;
  const std::optional<QString> answer = promptValue();
  if (!answer) return;
  const std::optional<std::uint16_t> value = parseCellValue(answer->toStdString());
  if (!value) {
    refuseAnswer(*answer, kMsgCellValueRange);
    return;
  }
  writeCells(setSelectionTo(
      chosen, kTeachGridRows, kTeachGridColumns, [this](GridCell c) { return isEditableCell(c); },
      *value));
}

void TeachTablePage::CBF_GridCttIncrementSelectionWith() {
  const GridSelection chosen = selection();
  if (chosen.empty()) return;
  if (!isEditableCell({chosen.top, chosen.left})) return;
  const std::uint16_t first = table_->value(chosen.top - 1, chosen.left - 1);
  const std::optional<QString> answer = promptValue();
  if (!answer) return;
  const std::optional<std::int32_t> increment = parseIncrement(answer->toStdString());
  if (!increment) {
    refuseAnswer(*answer, kMsgIncrementRange);
    return;
  }
  writeCells(incrementSelectionWith(
      chosen, kTeachGridRows, kTeachGridColumns, [this](GridCell c) { return isEditableCell(c); },
      first, *increment));
}

void TeachTablePage::CBF_GridCttResetSelection() {
  const GridSelection chosen = selection();
  if (chosen.empty()) return;
  writeCells(resetSelection(chosen, kTeachGridRows, kTeachGridColumns,
                            [this](GridCell c) { return isEditableCell(c); }));
}

void TeachTablePage::CBF_GridCttTeachTolOff() {
  teachTolOff_ = true;
  showToleranceState();
}

void TeachTablePage::CBF_GridCttTeachTolOn() {
  teachTolOff_ = false;
  showToleranceState();
}

}  // namespace drq::gui
