#include "gui/widgets/WordTable.h"

#include <QHeaderView>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include <limits>

#include "gui/widgets/IndicatorAccessibility.h"

namespace drq::gui {

namespace {

constexpr int kWordMax = std::numeric_limits<std::uint16_t>::max();
constexpr int kRowHeight = 20;
constexpr int kColorColumnWidth = 22;

QColor toColor(std::uint32_t rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

std::uint32_t fromColor(const QColor& color) {
  return static_cast<std::uint32_t>(color.rgb()) & 0xFFFFFFu;
}

// A value cell: only whole numbers 0..65535 are taken.
class WordItem final : public QTableWidgetItem {
 public:
  WordItem() : QTableWidgetItem(QTableWidgetItem::UserType) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QTableWidgetItem::setData(Qt::EditRole, 0);
  }

  void setData(int role, const QVariant& value) override {
    if (role == Qt::EditRole || role == Qt::DisplayRole) {
      bool ok = false;
      const uint word = value.toUInt(&ok);
      if (!ok || word > static_cast<uint>(kWordMax)) return;
      QTableWidgetItem::setData(Qt::EditRole, static_cast<int>(word));
      return;
    }
    QTableWidgetItem::setData(role, value);
  }

  QTableWidgetItem* clone() const override { return new WordItem(*this); }
};

// Edits a value cell in a spin box limited to 0..65535; the new value goes
// through WordTable::commitValue.
class WordDelegate final : public QStyledItemDelegate {
 public:
  explicit WordDelegate(WordTable* table) : QStyledItemDelegate(table), table_(table) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    if (!table_->isValueCell(index.row(), index.column())) return nullptr;
    auto* spin = new QSpinBox(parent);
    spin->setRange(0, kWordMax);
    spin->setFrame(false);
    spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return spin;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
      spin->setValue(index.data(Qt::EditRole).toInt());
      spin->selectAll();
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* spin = qobject_cast<QSpinBox*>(editor);
    if (!spin) return;
    spin->interpretText();
    table_->commitValue(index.row(), index.column(), static_cast<std::uint16_t>(spin->value()));
  }

 private:
  WordTable* table_;
};

}  // namespace

WordTable::WordTable(int rows, const QStringList& valueHeadings, bool colorColumn, QWidget* parent)
    : QTableWidget(rows, static_cast<int>(valueHeadings.size()) + (colorColumn ? 1 : 0), parent),
      valueColumns_(static_cast<int>(valueHeadings.size())),
      hasColorColumn_(colorColumn) {
  setItemDelegate(new WordDelegate(this));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWordWrap(false);
  setCornerButtonEnabled(false);

  QStringList headings = valueHeadings;
  // The colour column is too narrow for a heading on screen, but a screen
  // reader names it: the heading is there, drawn in no colour.
  if (hasColorColumn_) headings.append(QStringLiteral("COLOR"));
  setHorizontalHeaderLabels(headings);
  if (hasColorColumn_) horizontalHeaderItem(valueColumns_)->setForeground(Qt::transparent);
  QHeaderView* header = horizontalHeader();
  header->setMinimumSectionSize(kColorColumnWidth);
  header->setHighlightSections(false);
  for (int column = 0; column < valueColumns_; ++column) {
    header->setSectionResizeMode(column, QHeaderView::Stretch);
  }
  if (hasColorColumn_) {
    header->setSectionResizeMode(valueColumns_, QHeaderView::Fixed);
    setColumnWidth(valueColumns_, kColorColumnWidth);
  }
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  verticalHeader()->setHighlightSections(false);

  for (int row = 0; row < rows; ++row) {
    auto* label = new QTableWidgetItem(QString::number(row + 1));
    label->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setVerticalHeaderItem(row, label);
    for (int column = 0; column < valueColumns_; ++column) setItem(row, column, new WordItem());
    if (hasColorColumn_) {
      auto* colorCell = new QTableWidgetItem();
      colorCell->setFlags(Qt::ItemIsEnabled);
      setItem(row, valueColumns_, colorCell);
      setCellBackground(row, valueColumns_, 0xFFFFFFu);
    }
  }
}

bool WordTable::isValueCell(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < valueColumns_;
}

QTableWidgetItem* WordTable::cell(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
  return item(row, column);
}

QTableWidgetItem* WordTable::rowHeader(int row) const {
  if (row < 0 || row >= rowCount()) return nullptr;
  return verticalHeaderItem(row);
}

std::uint16_t WordTable::value(int row, int column) const {
  if (!isValueCell(row, column)) return 0;
  return static_cast<std::uint16_t>(item(row, column)->data(Qt::EditRole).toUInt());
}

void WordTable::setValue(int row, int column, std::uint16_t value) {
  if (!isValueCell(row, column)) return;
  item(row, column)->setData(Qt::EditRole, static_cast<int>(value));
}

bool WordTable::commitValue(int row, int column, std::uint16_t value) {
  if (!isValueCell(row, column) || this->value(row, column) == value) return false;
  setValue(row, column, value);
  emit cellValueChanged(row, column, value);
  return true;
}

void WordTable::setRowColor(int row, std::uint32_t rgb) {
  if (hasColorColumn_) setCellBackground(row, valueColumns_, rgb);
}

std::uint32_t WordTable::rowColor(int row) const {
  return hasColorColumn_ ? cellBackground(row, valueColumns_) : 0xFFFFFFu;
}

void WordTable::setCellBackground(int row, int column, std::uint32_t rgb) {
  QTableWidgetItem* it = cell(row, column);
  if (!it) return;
  it->setBackground(toColor(rgb));
  // A colour cell shows nothing but its colour: that is what it reads.
  if (column == colorColumn()) it->setData(Qt::AccessibleTextRole, colourText(rgb));
}

std::uint32_t WordTable::cellBackground(int row, int column) const {
  const QTableWidgetItem* it = cell(row, column);
  if (!it || it->background().style() == Qt::NoBrush) return 0xFFFFFFu;
  return fromColor(it->background().color());
}

void WordTable::setRowLabel(int row, const QString& label) {
  if (QTableWidgetItem* header = rowHeader(row)) header->setText(label);
}

QString WordTable::rowLabel(int row) const {
  const QTableWidgetItem* header = rowHeader(row);
  return header ? header->text() : QString();
}

void WordTable::setRowLabelColor(int row, std::uint32_t rgb) {
  if (QTableWidgetItem* header = rowHeader(row)) header->setForeground(toColor(rgb));
}

std::optional<std::uint32_t> WordTable::rowLabelColor(int row) const {
  const QTableWidgetItem* header = rowHeader(row);
  if (!header || header->foreground().style() == Qt::NoBrush) return std::nullopt;
  return fromColor(header->foreground().color());
}

void WordTable::setColumnHeading(int column, const QString& text) {
  if (column < 0 || column >= columnCount()) return;
  QTableWidgetItem* header = horizontalHeaderItem(column);
  if (!header) {
    header = new QTableWidgetItem();
    setHorizontalHeaderItem(column, header);
  }
  header->setText(text);
}

QString WordTable::columnHeading(int column) const {
  const QTableWidgetItem* header =
      column >= 0 && column < columnCount() ? horizontalHeaderItem(column) : nullptr;
  return header ? header->text() : QString();
}

}  // namespace drq::gui
