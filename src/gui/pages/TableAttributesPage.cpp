#include "gui/pages/TableAttributesPage.h"

#include <QHBoxLayout>
#include <QHeaderView>

#include "core/settings/TextCut.h"
#include "gui/Help.h"

namespace drq::gui {

namespace {
constexpr int kSpecColumn = 0;
constexpr int kColorColumn = 1;
constexpr const char* kHelpDispTemp = "Displays actual temperature in the sensor.";
}  // namespace

TableAttributesPage::TableAttributesPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("TABLE ATTR."), parent),
      table_(new QTableWidget(static_cast<int>(kTeachRows), 2, this)),
      temperature_(new ValueDisplay(QStringLiteral("TEMP."), this)) {
  setObjectName(QStringLiteral("TableAttributesPage"));
  table_->setObjectName(QStringLiteral("TableSpecification"));
  table_->setAccessibleName(QStringLiteral("specification table"));
  table_->setHorizontalHeaderLabels({QStringLiteral("SPECIFICATION"), QStringLiteral("COLOR")});
  QStringList rowLabels;
  // Like every table that lists teach rows, rows are shown as 1..64 (teach row r is row r + 1).
  for (std::size_t row = 0; row < kTeachRows; ++row) rowLabels.append(QString::number(row + 1));
  table_->setVerticalHeaderLabels(rowLabels);
  table_->horizontalHeader()->setSectionResizeMode(kSpecColumn, QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(kColorColumn, QHeaderView::Fixed);
  table_->setColumnWidth(kColorColumn, 56);
  table_->verticalHeader()->setDefaultSectionSize(20);
  for (int row = 0; row < table_->rowCount(); ++row) {
    table_->setItem(row, kSpecColumn, new QTableWidgetItem());
    auto* colorItem = new QTableWidgetItem();
    colorItem->setFlags(Qt::ItemIsEnabled);
    table_->setItem(row, kColorColumn, colorItem);
  }
  applyRowColors(defaultRowColors());
  pageLayout()->addWidget(table_, 1);

  temperature_->setObjectName(QStringLiteral("DispTemp"));
  installHelp(temperature_, context.popups, QString::fromLatin1(kHelpDispTemp));
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(temperature_);
  pageLayout()->addLayout(row);
}

attrs::RowSpecifications TableAttributesPage::rowSpecifications() const {
  attrs::RowSpecifications rowTexts;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const QByteArray text = table_->item(static_cast<int>(row), kSpecColumn)->text().toUtf8();
    rowTexts[row] =
        settings::cutUtf8(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                          attrs::kRowSpecificationMax);
  }
  return rowTexts;
}

void TableAttributesPage::setRowSpecifications(const attrs::RowSpecifications& rowTexts) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    table_->item(static_cast<int>(row), kSpecColumn)
        ->setText(
            QString::fromUtf8(rowTexts[row].data(), static_cast<qsizetype>(rowTexts[row].size())));
  }
}

void TableAttributesPage::readRowColors(RowColorArray& colors) const {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const QColor color = table_->item(static_cast<int>(row), kColorColumn)->background().color();
    colors[row] = static_cast<std::uint32_t>(color.rgb()) & 0xFFFFFFu;
  }
}

void TableAttributesPage::colorRowLabels(const RowLabelPlan& plan) {
  for (int row = 1; row <= static_cast<int>(kTeachRows); ++row) {
    const auto rgb = plan.teachLabelColor(row);
    QTableWidgetItem* header = table_->verticalHeaderItem(row - 1);
    if (rgb && header)
      header->setForeground(QColor::fromRgb(static_cast<QRgb>(*rgb | 0xFF000000u)));
  }
}

void TableAttributesPage::applyRowColors(const RowColorArray& colors) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    table_->item(static_cast<int>(row), kColorColumn)
        ->setBackground(QColor::fromRgb(static_cast<QRgb>(colors[row] | 0xFF000000u)));
  }
}

}  // namespace drq::gui
