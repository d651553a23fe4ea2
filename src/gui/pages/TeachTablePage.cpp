#include "gui/pages/TeachTablePage.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "gui/Help.h"
#include "gui/Texts.h"

namespace drq::gui {

namespace {

constexpr int kCellColumns = static_cast<int>(kTeachCells);

constexpr const char* kHelpTable =
    "TEACH TABLE: one row for each taught color, beginning with row 0 (table row 1). \nThe "
    "meaning of the columns follows the CALCULATION MODE. \nThe last column shows the row "
    "color. \nActive rows are labelled green, inactive rows red.";
constexpr const char* kHelpNo =
    "Select the row of the TEACH TABLE (0...63) \nwhich TEACH DATA TO will write.";
constexpr const char* kHelpInc = "Auto increment of Edit Field No.:";
constexpr const char* kHelpReset =
    "Reset the TEACH TABLE. \nAll cells will be set to 1 and No. to 0.";
constexpr const char* kHelpTeachDataTo =
    "Teach the current measurement \ninto the row of the TEACH TABLE selected with No.";
constexpr const char* kConfirmResetTable = "Do you really want to reset the table?";

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
      reset_(new QPushButton(QStringLiteral("RESET"), this)),
      teachDataTo_(new QPushButton(QStringLiteral("TEACH DATA TO"), this)) {
  setObjectName(QStringLiteral("TeachTablePage"));
  Popups& popups = context.popups;

  table_->setObjectName(QStringLiteral("GridCtt"));
  installHelp(table_, popups, QString::fromLatin1(kHelpTable));

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

  auto* controls = new QGridLayout();
  controls->setContentsMargins(0, 0, 0, 0);
  controls->setHorizontalSpacing(8);
  controls->setVerticalSpacing(4);
  controls->addWidget(noCell_, 0, 0);
  controls->addWidget(inc_, 0, 1);
  controls->addWidget(teachDataTo_, 1, 0);
  controls->addWidget(reset_, 1, 1);
  controls->setColumnStretch(0, 1);
  controls->setColumnStretch(1, 1);
  pageLayout()->addLayout(controls);
  pageLayout()->addWidget(table_, 1);

  connect(table_, &WordTable::cellValueChanged, this, &TeachTablePage::CBF_GridCtt);
  connect(no_, &QSpinBox::valueChanged, this, &TeachTablePage::CBF_EditNo);
  connect(inc_, &QCheckBox::toggled, this, &TeachTablePage::CBF_RadioInc);
  connect(reset_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonResetTable);
  connect(teachDataTo_, &QPushButton::clicked, this, &TeachTablePage::CBF_ButtonTeachDataTo);

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

void TeachTablePage::applyRowColors(const RowColorArray& colors) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    table_->setRowColor(static_cast<int>(row), colors[row]);
  }
}

void TeachTablePage::ResetTable() {
  no_->setValue(0);
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

}  // namespace drq::gui
