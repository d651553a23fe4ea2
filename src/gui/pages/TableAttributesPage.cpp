#include "gui/pages/TableAttributesPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QValidator>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/ToolFiles.h"
#include "core/attrs/TableAttributesFile.h"
#include "core/settings/PanelSettings.h"
#include "core/settings/TextCut.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/IndicatorAccessibility.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

constexpr int kSpecColumn = 0;
constexpr int kColorColumn = 1;

// The page's help popups carry this title; the temperature display's is the
// calibration displays' ("INFO!").
constexpr const char* kTitleHelp = "Info";
constexpr const char* kHelpSetColor =
    "Set mode for the row indicator colors. \n\nManually: Indicator colors can be set manually. "
    "\n\nAutomatically: Indicator colors will be set automatically, \naccording to the color "
    "detected from the sensor.";
constexpr const char* kHelpRow = "Select a row, which should be set.";
constexpr const char* kHelpColor = "Select a indicator color.";
constexpr const char* kHelpSetRowColor = "Assign selected color to row.";
constexpr const char* kHelpSave =
    "Indicator colors and row specifications \nwill be saved to a selectable file. \nAttention! "
    "The table attributes will be stored \nat the hard disk and NOT in the sensor.";
constexpr const char* kHelpGet =
    "Indicator colors and row specifications will be \nread from a selectable file from the hard "
    "disk \nand assigned to the teach table and specification table.";
constexpr const char* kHelpReset = "Set default row colors.";
constexpr const char* kHelpTable =
    "Row specifications and row colors of the teach table. \n\nColumn 1: the specification of "
    "the row (up to 99 characters). \nColumn 2: the color of the row. \nIn manual mode a double "
    "click on a color opens the color selection.";
constexpr const char* kHelpDispTemp = "Displays actual temperature in the sensor.";

constexpr const char* kDialogTitle = "TableAttributes";
constexpr const char* kDialogFilter = "*.ini";

// Refuses an edit that would make a specification longer than 99 bytes of
// UTF-8 (what the files keep), so that nothing typed is lost on saving.
class SpecificationValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return static_cast<std::size_t>(input.toUtf8().size()) <= attrs::kRowSpecificationMax
               ? Acceptable
               : Invalid;
  }
};

class SpecificationDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      edit->setObjectName(QStringLiteral("SpecificationEditor"));
      edit->setMaxLength(static_cast<int>(attrs::kRowSpecificationMax));
      edit->setValidator(new SpecificationValidator(edit));
    }
    return editor;
  }
};

// A caption with its control, dimmed and shown together.
QWidget* captioned(const QString& caption, QWidget* control, QWidget* parent, const QString& name) {
  auto* cell = new QWidget(parent);
  cell->setObjectName(name);
  auto* label = new QLabel(caption, cell);
  label->setBuddy(control);
  control->setParent(cell);
  auto* layout = new QHBoxLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(label);
  layout->addWidget(control);
  return cell;
}

}  // namespace

TableAttributesPage::TableAttributesPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("TABLE ATTR."), parent),
      table_(new QTableWidget(static_cast<int>(kTeachRows), 2, this)),
      switch_(new ToggleSwitch(QStringLiteral("MANUALLY"), QStringLiteral("AUTOMATICALLY"), this)),
      row_(new QSpinBox(this)),
      color_(new ColorSelector(this)),
      rowCell_(captioned(QStringLiteral("ROW"), row_, this, QStringLiteral("EditRowCell"))),
      colorCell_(captioned(QStringLiteral("COLOR"), color_, this,
                           QStringLiteral("EditColorNumericRowCell"))),
      setRowColor_(new QPushButton(QStringLiteral("SET ROW COLOR"), this)),
      save_(new QPushButton(QStringLiteral("SAVE TO FILE"), this)),
      get_(new QPushButton(QStringLiteral("GET FROM FILE"), this)),
      reset_(new QPushButton(QStringLiteral("RESET"), this)),
      temperature_(new ValueDisplay(QStringLiteral("TEMP."), this)) {
  setObjectName(QStringLiteral("TableAttributesPage"));
  Popups& popups = context.popups;
  const QString help = QString::fromLatin1(kTitleHelp);
  const auto withHelp = [&popups, &help](QWidget* control, const QString& name,
                                         const QString& accessibleName, const char* text) {
    control->setObjectName(name);
    control->setAccessibleName(accessibleName);
    installHelp(control, popups, QString::fromLatin1(text), help);
  };

  // The switch and the manual colour controls.
  auto* switchCaption = new QLabel(QStringLiteral("ROW COLORS"), this);
  switchCaption->setBuddy(switch_);
  withHelp(switch_, QStringLiteral("EditSetColor"), QStringLiteral("ROW COLORS"), kHelpSetColor);
  installHelp(switchCaption, popups, QString::fromLatin1(kHelpSetColor), help);
  row_->setRange(0, static_cast<int>(kTeachRows) - 1);
  row_->setKeyboardTracking(false);
  row_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row_->setObjectName(QStringLiteral("EditRow"));
  row_->setAccessibleName(QStringLiteral("ROW"));
  color_->setObjectName(QStringLiteral("EditColorNumericRow"));
  color_->setAccessibleName(QStringLiteral("COLOR"));
  color_->swatch()->setAccessibleName(QStringLiteral("Choose color"));
  color_->hexEdit()->setAccessibleName(QStringLiteral("COLOR"));
  // The help covers each control with its caption.
  installHelp(rowCell_, popups, QString::fromLatin1(kHelpRow), help);
  installHelp(colorCell_, popups, QString::fromLatin1(kHelpColor), help);
  color_->setColor(defaultRowColor(0));
  withHelp(setRowColor_, QStringLiteral("ButtonSetRowColor"), setRowColor_->text(),
           kHelpSetRowColor);

  // The specification table.
  table_->setObjectName(QStringLiteral("TableSpecification"));
  table_->setAccessibleName(QStringLiteral("SPECIFICATION TABLE"));
  table_->setHorizontalHeaderLabels({QStringLiteral("SPECIFICATION"), QStringLiteral("COLOR")});
  QStringList rowLabels;
  // Like every table that lists teach rows, rows are shown as 1..64 (teach row r is row r + 1).
  for (std::size_t row = 0; row < kTeachRows; ++row) rowLabels.append(QString::number(row + 1));
  table_->setVerticalHeaderLabels(rowLabels);
  table_->horizontalHeader()->setSectionResizeMode(kSpecColumn, QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(kColorColumn, QHeaderView::Fixed);
  table_->setColumnWidth(kColorColumn, 56);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->setItemDelegateForColumn(kSpecColumn, new SpecificationDelegate(table_));
  for (int row = 0; row < table_->rowCount(); ++row) {
    table_->setItem(row, kSpecColumn, new QTableWidgetItem());
    auto* colorCell = new QTableWidgetItem();
    colorCell->setFlags(Qt::ItemIsEnabled);
    table_->setItem(row, kColorColumn, colorCell);
  }
  TableAttributesPage::applyRowColors(context.session.RowColors);
  installHelp(table_, popups, QString::fromLatin1(kHelpTable), help);

  // File and reset buttons, temperature.
  withHelp(save_, QStringLiteral("ButtonSaveArray"), save_->text(), kHelpSave);
  withHelp(get_, QStringLiteral("ButtonGetArray"), get_->text(), kHelpGet);
  withHelp(reset_, QStringLiteral("ButtonTableAttrReset"), reset_->text(), kHelpReset);
  temperature_->setObjectName(QStringLiteral("DispTemp"));
  temperature_->setAccessibleName(QStringLiteral("TEMP."));
  installHelp(temperature_, popups, QString::fromLatin1(kHelpDispTemp));

  auto* modeLine = new QHBoxLayout();
  modeLine->setSpacing(10);
  modeLine->addWidget(switchCaption);
  modeLine->addWidget(switch_);
  modeLine->addStretch(1);
  auto* manualLine = new QHBoxLayout();
  manualLine->setSpacing(10);
  manualLine->addWidget(rowCell_);
  manualLine->addWidget(colorCell_);
  manualLine->addWidget(setRowColor_);
  manualLine->addStretch(1);
  auto* controls = new QVBoxLayout();
  controls->setSpacing(6);
  controls->addLayout(modeLine);
  controls->addLayout(manualLine);
  pageLayout()->addLayout(controls);
  pageLayout()->addWidget(table_, 1);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(save_);
  bottom->addWidget(get_);
  bottom->addWidget(reset_);
  bottom->addStretch(1);
  bottom->addWidget(temperature_);
  pageLayout()->addLayout(bottom);
  // The table, created first, is read after the colour controls above it.
  chainTabOrder(*this, {table_, save_, get_, reset_});

  connect(switch_, &ToggleSwitch::toggled, this, &TableAttributesPage::CBF_EditSetColor);
  connect(row_, &QSpinBox::valueChanged, this, &TableAttributesPage::CBF_EditRow);
  connect(color_, &ColorSelector::colorChanged, this,
          &TableAttributesPage::CBF_EditColorNumericRow);
  connect(setRowColor_, &QPushButton::clicked, this, &TableAttributesPage::CBF_ButtonSetRowColor);
  connect(save_, &QPushButton::clicked, this, &TableAttributesPage::CBF_ButtonSaveArray);
  connect(get_, &QPushButton::clicked, this, &TableAttributesPage::CBF_ButtonGetArray);
  connect(reset_, &QPushButton::clicked, this, &TableAttributesPage::CBF_ButtonTableAttrReset);
  connect(table_, &QTableWidget::cellActivated, this, &TableAttributesPage::chooseCellColor);
}

// --- The table's content ------------------------------------------------------------

QTableWidgetItem* TableAttributesPage::colorItem(int row) const {
  return table_->item(row, kColorColumn);
}

attrs::RowSpecifications TableAttributesPage::rowSpecifications() const {
  attrs::RowSpecifications rowTexts;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    rowTexts[row] =
        settings::cutUtf8(utf8FromQString(table_->item(static_cast<int>(row), kSpecColumn)->text()),
                          attrs::kRowSpecificationMax);
  }
  return rowTexts;
}

void TableAttributesPage::setRowSpecifications(const attrs::RowSpecifications& rowTexts) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    table_->item(static_cast<int>(row), kSpecColumn)->setText(qStringFromUtf8(rowTexts[row]));
  }
}

std::uint32_t TableAttributesPage::rowColorCell(int row) const {
  const QTableWidgetItem* item = colorItem(row);
  if (!item) return 0;
  return static_cast<std::uint32_t>(item->background().color().rgb()) & 0xFFFFFFu;
}

void TableAttributesPage::readRowColors(RowColorArray& colors) const {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    colors[row] = rowColorCell(static_cast<int>(row));
  }
}

void TableAttributesPage::colorRowLabels(const RowLabelPlan& plan) {
  for (int row = 1; row <= static_cast<int>(kTeachRows); ++row) {
    const auto rgb = plan.teachLabelColor(row);
    QTableWidgetItem* header = table_->verticalHeaderItem(row - 1);
    if (rgb && header) header->setForeground(rgbColor(*rgb));
  }
}

void TableAttributesPage::showRowColor(int row, std::uint32_t rgb) {
  QTableWidgetItem* item = colorItem(row);
  item->setBackground(rgbColor(rgb));
  item->setData(Qt::AccessibleTextRole, colourText(rgb));  // what a screen reader reads
}

void TableAttributesPage::applyRowColors(const RowColorArray& colors) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    showRowColor(static_cast<int>(row), colors[row]);
  }
}

void TableAttributesPage::readRowAttributes(RowColorArray& colors,
                                            attrs::RowSpecifications& rowTexts) {
  RowColorArray& rowColors = context().session.RowColors;
  readRowColors(rowColors);
  colors = rowColors;
  rowTexts = rowSpecifications();
}

void TableAttributesPage::takeRowAttributes(const RowColorArray& colors,
                                            const attrs::RowSpecifications& rowTexts) {
  RowColorArray& rowColors = context().session.RowColors;
  std::copy_n(colors.begin(), kTeachRows, rowColors.begin());
  setRowSpecifications(rowTexts);
}

// --- Operations ---------------------------------------------------------------------

void TableAttributesPage::InitSrcPanel() {
  const bool automatic = automaticRowColors();
  for (QWidget* control : {rowCell_, colorCell_, static_cast<QWidget*>(setRowColor_)}) {
    control->setEnabled(!automatic);
  }
  emit colorPatchShown(automatic);
}

void TableAttributesPage::SetRowColor() {
  const int row = row_->value();
  const std::uint32_t rgb = color_->color();
  showRowColor(row, rgb);
  context().session.RowColors[static_cast<std::size_t>(row)] = rgb;
  emit rowColorsChanged();
}

void TableAttributesPage::chooseCellColor(int row, int column) {
  if (column != kColorColumn || automaticRowColors()) return;
  const QString title = QStringLiteral("COLOR OF ROW %1").arg(row + 1);
  openColorDialog(this, rowColorCell(row), title, [this, row](std::uint32_t rgb) {
    // The same as choosing the row and the colour and pressing SET ROW COLOR.
    row_->setValue(row);
    color_->setColor(rgb);
    SetRowColor();
  });
}

FileSelection TableAttributesPage::chooseFile(bool allowNew) {
  const Session& session = context().session;
  std::error_code error;
  // The remembered path names a file, or (as stored when there was none) the
  // directory to start in.
  std::filesystem::path directory =
      std::filesystem::is_directory(session.tableAttributesFile, error)
          ? session.tableAttributesFile
          : session.tableAttributesFile.parent_path();
  if (directory.empty()) directory = session.programDir;
  FileSelectRequest request;
  request.directory = qStringFromPath(directory);
  request.defaultName = qStringFromLatin1(kTableAttributesFileName);
  request.filter = QString::fromLatin1(kDialogFilter);
  request.title = QString::fromLatin1(kDialogTitle);
  request.allowNew = allowNew;
  return context().popups.FileSelectPopup(request);
}

int TableAttributesPage::SaveTableSettings() {
  Popups& popups = context().popups;
  const FileSelection choice = chooseFile(true);
  if (choice.result == 0 || choice.path.isEmpty()) {
    popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                        qStringFromLatin1(kMsgNoFileSelected));
    return 0;
  }
  Session& session = context().session;
  session.tableAttributesFile = pathFromQString(choice.path);
  const RowColorArray before = session.RowColors;
  RowColorArray colors;
  attrs::RowSpecifications rowTexts;
  readRowAttributes(colors, rowTexts);
  // A colour changed only in its cell is now in RowColors: the others follow.
  if (session.RowColors != before) emit rowColorsChanged();
  const files::FileWriteResult written =
      attrs::writeTableAttributesFile(session.tableAttributesFile, colors, rowTexts);
  if (!written.ok()) {
    // Operators must not believe their colours and texts are saved when they are not.
    popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                        qStringFromLatin1(attrs::kMsgTableAttributesNotWritten) + choice.path +
                            QStringLiteral("\n\n") +
                            qStringFromUtf8(files::failureReason(written)));
    return -1;
  }
  return 1;
}

int TableAttributesPage::GetTableSettings() {
  Popups& popups = context().popups;
  const FileSelection choice = chooseFile(false);
  // A folder is read and fails with the system's reason; a pipe or a device
  // is not offered to the reader, which would wait for it.
  std::error_code error;
  const auto chosen = std::filesystem::status(pathFromQString(choice.path), error).type();
  if (choice.result != 1 || choice.path.isEmpty() ||
      (chosen != std::filesystem::file_type::regular &&
       chosen != std::filesystem::file_type::directory)) {
    popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                        qStringFromLatin1(kMsgNoFileSelected));
    return 0;
  }
  Session& session = context().session;
  const std::filesystem::path path = pathFromQString(choice.path);
  RowColorArray colors = session.RowColors;
  attrs::RowSpecifications rowTexts = rowSpecifications();
  const auto confirm = [&popups](std::string_view title, std::string_view text) {
    return popups.ConfirmPopup(qStringFromLatin1(title), qStringFromLatin1(text));
  };
  const attrs::TableAttributesRead read =
      attrs::readTableAttributesFile(path, colors, rowTexts, confirm);
  if (read.readStatus < 0) {
    // A file that cannot be read is not an empty file: nothing is taken from it.
    popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                        qStringFromLatin1(attrs::kMsgTableAttributesNotRead) + choice.path +
                            QStringLiteral("\n\n") + qStringFromUtf8(read.readError.message()));
    return -1;
  }
  session.tableAttributesFile = path;
  if (!read.taken) {
    popups.MessagePopup(QString::fromLatin1(kTitleAttention), qStringFromLatin1(kMsgNothingRead));
    return -1;
  }
  takeRowAttributes(colors, rowTexts);
  if (!read.missingRows.empty()) {
    popups.MessagePopup(qStringFromLatin1(attrs::kMissingRowsTitle),
                        qStringFromLatin1(attrs::missingRowsReport(read.missingRows)));
  }
  applyRowColors(session.RowColors);
  emit rowColorsChanged();
  return 1;
}

bool TableAttributesPage::ResetTableAttributes() {
  if (!context().popups.ConfirmPopup(QString::fromLatin1(kTitleAttention),
                                     QString::fromLatin1(kConfirmResetTable))) {
    return false;
  }
  RowColorArray& rowColors = context().session.RowColors;
  attrs::RowSpecifications rowTexts;
  attrs::resetRowAttributes(rowColors, rowTexts);
  setRowSpecifications(rowTexts);
  applyRowColors(rowColors);
  emit rowColorsChanged();
  return true;
}

// --- Callbacks ----------------------------------------------------------------------

void TableAttributesPage::CBF_EditSetColor() {
  InitSrcPanel();
}

void TableAttributesPage::CBF_EditRow() {
  InitSrcPanel();
}

void TableAttributesPage::CBF_EditColorNumericRow() {
  InitSrcPanel();
}

void TableAttributesPage::CBF_ButtonSetRowColor() {
  SetRowColor();
}

void TableAttributesPage::CBF_ButtonSaveArray() {
  SaveTableSettings();
}

void TableAttributesPage::CBF_ButtonGetArray() {
  GetTableSettings();
}

void TableAttributesPage::CBF_ButtonTableAttrReset() {
  ResetTableAttributes();
}

}  // namespace drq::gui
