#include "gui/pages/GroupHoldPage.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "core/params/ParaNames.h"
#include "core/teach/TeachTableOps.h"
#include "gui/common/Texts.h"
#include "gui/pages/ParameterHelpTexts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

constexpr int kGroupRows = static_cast<int>(kTeachRows);
constexpr int kHoldRows = static_cast<int>(kTeachRows) + 1;
constexpr int kHoldFailRow = kHoldFailTableRow - 1;  // row index in the hold table

constexpr const char* kHelpResetGroupTable =
    "Reset the group table. \nAll groups will be set to 0.";
constexpr const char* kHelpResetHoldTable =
    "Reset the hold table. \nAll hold times (HOLD FAIL included) will be set \nto the hold reset "
    "value.";

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kHoldFailColor = 0xE0E0E0;

int holdRowOf(std::size_t teachRow) {
  return holdTableRowOf(teachRow) - 1;
}

}  // namespace

GroupHoldPage::GroupHoldPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("GROUP/HOLD"), parent),
      colorGroup_(new ValueRing(this)),
      colorGroupCell_(new QWidget(this)),
      groupTable_(new WordTable(kGroupRows, {QStringLiteral("GROUP")}, true, this)),
      holdTable_(new WordTable(kHoldRows, {QStringLiteral("HOLD")}, true, this)),
      holdReset_(new QSpinBox(this)),
      resetGroups_(new QPushButton(QStringLiteral("RESET"), this)),
      resetHold_(new QPushButton(QStringLiteral("RESET TO"), this)) {
  setObjectName(QStringLiteral("GroupHoldPage"));
  Popups& popups = context.popups;

  colorGroup_->setObjectName(QStringLiteral("EditColorGroups"));
  colorGroup_->setNamedItems(paraValueNames(ParaWord::ColorGroup));
  colorGroupCell_->setObjectName(QStringLiteral("EditColorGroupsCell"));
  auto* colorGroupCaption = new QLabel(QStringLiteral("COLOR GROUP"), colorGroupCell_);
  colorGroupCaption->setObjectName(QStringLiteral("EditColorGroupsCaption"));
  colorGroupCaption->setBuddy(colorGroup_);
  colorGroup_->setParent(colorGroupCell_);
  auto* switchLayout = new QHBoxLayout(colorGroupCell_);
  switchLayout->setContentsMargins(0, 0, 0, 0);
  switchLayout->addWidget(colorGroupCaption);
  switchLayout->addWidget(colorGroup_, 1);
  for (QWidget* control :
       {static_cast<QWidget*>(colorGroup_), static_cast<QWidget*>(colorGroupCaption)}) {
    installHelp(control, popups, QString::fromLatin1(help::kEditColorGroups));
  }

  groupTable_->setObjectName(QStringLiteral("EditGridGroups"));
  holdTable_->setObjectName(QStringLiteral("EditGridHold"));
  groupTable_->setAccessibleName(QStringLiteral("group table"));
  holdTable_->setAccessibleName(QStringLiteral("hold table"));
  holdTable_->setRowLabel(kHoldFailRow, QStringLiteral("1 FAIL"));
  holdTable_->verticalHeaderItem(kHoldFailRow)->setToolTip(QStringLiteral("HOLD FAIL"));
  // HOLD FAIL belongs to no teach row: its colour cell stays neutral.
  holdTable_->setRowColor(kHoldFailRow, kHoldFailColor);
  installHelp(holdTable_, popups, QString::fromLatin1(help::kEditGridHold));

  auto* groupCaption = new QLabel(QStringLiteral("GROUP TABLE"), this);
  groupCaption->setObjectName(QStringLiteral("GroupTableCaption"));
  auto* holdCaption = new QLabel(QStringLiteral("HOLD TABLE"), this);
  holdCaption->setObjectName(QStringLiteral("EditHold"));
  installHelp(holdCaption, popups, QString::fromLatin1(help::kEditHold));

  holdReset_->setObjectName(QStringLiteral("EditResetHold"));
  holdReset_->setAccessibleName(QStringLiteral("hold reset value"));
  holdReset_->setRange(0, 65535);
  holdReset_->setKeyboardTracking(false);
  holdReset_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  holdReset_->setValue(kDefaultHold);
  holdReset_->setMinimumWidth(56);
  installHelp(holdReset_, popups, QString::fromLatin1(help::kEditResetHold));

  resetGroups_->setObjectName(QStringLiteral("ButtonResetGroupTable"));
  resetHold_->setObjectName(QStringLiteral("ButtonResetHoldTable"));
  installHelp(resetGroups_, popups, QString::fromLatin1(kHelpResetGroupTable));
  installHelp(resetHold_, popups, QString::fromLatin1(kHelpResetHoldTable));

  auto* grid = new QGridLayout();
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  grid->addWidget(colorGroupCell_, 0, 0);
  grid->addWidget(groupCaption, 1, 0);
  grid->addWidget(holdCaption, 1, 1);
  grid->addWidget(groupTable_, 2, 0);
  grid->addWidget(holdTable_, 2, 1);
  grid->addWidget(resetGroups_, 3, 0);
  // The hold table resets to the value beside its button.
  auto* holdResetRow = new QHBoxLayout();
  holdResetRow->setContentsMargins(0, 0, 0, 0);
  holdResetRow->setSpacing(4);
  holdResetRow->addWidget(resetHold_, 1);
  holdResetRow->addWidget(holdReset_);
  grid->addLayout(holdResetRow, 3, 1);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  pageLayout()->addLayout(grid, 1);
  // Row by row: the hold reset value is read after its button.
  chainTabOrder(*this,
                {colorGroup_, groupTable_, holdTable_, resetGroups_, resetHold_, holdReset_});

  connect(colorGroup_, &ValueRing::valueCommitted, this, &GroupHoldPage::CBF_EditColorGroups);
  connect(groupTable_, &WordTable::cellValueChanged, this, &GroupHoldPage::CBF_EditGridGroups);
  connect(holdTable_, &WordTable::cellValueChanged, this, &GroupHoldPage::CBF_EditGridHold);
  connect(holdReset_, &QSpinBox::valueChanged, this, &GroupHoldPage::CBF_EditResetHold);
  connect(resetGroups_, &QPushButton::clicked, this, &GroupHoldPage::CBF_ButtonResetGroupTable);
  connect(resetHold_, &QPushButton::clicked, this, &GroupHoldPage::CBF_ButtonResetHoldTable);

  GroupHoldPage::SetPanelValues(defaultParaSet());
  GroupHoldPage::applyRowColors(defaultRowColors());
}

void GroupHoldPage::GetPanelValues(ParaSet& working) {
  working.record[ParaWord::HoldFail] = holdTable_->value(kHoldFailRow, 0);
  working.record[ParaWord::ColorGroup] = colorGroup_->value();
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    working.table[row].group() = groupTable_->value(static_cast<int>(row), 0);
    working.table[row].hold() = holdTable_->value(holdRowOf(row), 0);
  }
}

void GroupHoldPage::SetPanelValues(const ParaSet& working) {
  holdTable_->setValue(kHoldFailRow, 0, working.record[ParaWord::HoldFail]);
  colorGroup_->setValue(working.record[ParaWord::ColorGroup]);
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    groupTable_->setValue(static_cast<int>(row), 0, working.table[row].group());
    holdTable_->setValue(holdRowOf(row), 0, working.table[row].hold());
  }
}

void GroupHoldPage::applyRowColors(const RowColorArray& colors) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    groupTable_->setRowColor(static_cast<int>(row), colors[row]);
    holdTable_->setRowColor(holdRowOf(row), colors[row]);
  }
}

void GroupHoldPage::registerRuleControls(RuleControls& controls) {
  controls.addWidget(PanelControl::ColorGroup, colorGroupCell_);
  controls.addWidget(PanelControl::GroupTable, groupTable_);
  controls.addWidget(PanelControl::GroupTableReset, resetGroups_);
  controls.addValue(ParaWord::ColorGroup,
                    [this](std::uint16_t value) { colorGroup_->setValue(value); });
}

void GroupHoldPage::colorRowLabels(const RowLabelPlan& plan) {
  for (int row = 1; row <= kGroupRows; ++row) {
    if (const auto rgb = plan.teachLabelColor(row)) groupTable_->setRowLabelColor(row - 1, *rgb);
  }
  for (int row = 1; row <= holdTable_->rowCount(); ++row) {
    if (const auto rgb = plan.holdLabelColor(row)) holdTable_->setRowLabelColor(row - 1, *rgb);
  }
}

void GroupHoldPage::showGroupCell(const GroupCellState& cell) {
  const int row = tableRowOf(cell.row) - 1;
  groupTable_->setValue(row, 0, cell.value);
  groupTable_->setCellBackground(row, 0, cell.background);
}

void GroupHoldPage::CBF_EditColorGroups() {
  emit modeControlCommitted(static_cast<int>(ParaWord::ColorGroup));
}

void GroupHoldPage::CBF_EditGridGroups(int row, int, std::uint16_t) {
  emit groupCellCommitted(row);
}

void GroupHoldPage::CBF_EditGridHold() {}

void GroupHoldPage::CBF_EditResetHold() {}

void GroupHoldPage::CBF_ButtonResetGroupTable() {
  if (!context().popups.ConfirmPopup(QString::fromLatin1(kTitleAttention),
                                     QString::fromLatin1(kConfirmResetTable))) {
    return;
  }
  ParaSet shown = context().session.working;
  GetPanelValues(shown);
  resetGroupTable(shown.table);
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    groupTable_->setValue(static_cast<int>(row), 0, shown.table[row].group());
    groupTable_->setCellBackground(static_cast<int>(row), 0, kWhite);
  }
}

void GroupHoldPage::CBF_ButtonResetHoldTable() {
  if (!context().popups.ConfirmPopup(QString::fromLatin1(kTitleAttention),
                                     QString::fromLatin1(kConfirmResetTable))) {
    return;
  }
  ParaSet shown = context().session.working;
  GetPanelValues(shown);
  resetHoldTable(shown, static_cast<std::uint16_t>(holdReset_->value()));
  holdTable_->setValue(kHoldFailRow, 0, shown.record[ParaWord::HoldFail]);
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    holdTable_->setValue(holdRowOf(row), 0, shown.table[row].hold());
  }
}

}  // namespace drq::gui
