#include "gui/widgets/ColorSelector.h"

#include <QColorDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <memory>

#include "core/attrs/RowColors.h"
#include "gui/widgets/ActivationReturn.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

namespace {

constexpr int kSwatchWidth = 28;
constexpr int kSwatchHeight = 16;

const QRegularExpression& hexPattern() {
  static const QRegularExpression pattern(QStringLiteral("^\\s*(?:0[xX])?([0-9A-Fa-f]{1,6})\\s*$"));
  return pattern;
}

}  // namespace

ColorSelector::ColorSelector(QWidget* parent)
    : QWidget(parent), swatch_(new QToolButton(this)), hex_(new QLineEdit(this)) {
  swatch_->setObjectName(QStringLiteral("ColorSwatch"));
  swatch_->setIconSize(QSize(kSwatchWidth, kSwatchHeight));
  swatch_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  hex_->setObjectName(QStringLiteral("ColorText"));
  hex_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\s*(0[xX]?)?[0-9A-Fa-f]{0,6}\\s*")), hex_));
  hex_->setMaxLength(10);
  hex_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  hex_->setFixedWidth(hex_->fontMetrics().horizontalAdvance(QStringLiteral("0xFFFFFF")) + 10);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(swatch_);
  layout->addWidget(hex_);

  connect(swatch_, &QToolButton::clicked, this, &ColorSelector::openDialog);
  connect(hex_, &QLineEdit::editingFinished, this, &ColorSelector::commitText);
  // Focus given to the selector goes to its first part: Tab then goes on to
  // the field, as it is read. (With the field as the proxy, Tab would jump
  // over the swatch, which only Shift+Tab would reach.)
  setFocusProxy(swatch_);
  showColor();
}

QString ColorSelector::toText(std::uint32_t rgb) {
  return QStringLiteral("0x") +
         QStringLiteral("%1").arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

bool ColorSelector::fromText(const QString& text, std::uint32_t& rgb) {
  const QRegularExpressionMatch match = hexPattern().match(text);
  if (!match.hasMatch()) return false;
  bool ok = false;
  const uint value = match.captured(1).toUInt(&ok, 16);
  if (!ok) return false;
  rgb = value & 0xFFFFFFu;
  return true;
}

void ColorSelector::setColor(std::uint32_t rgb) {
  rgb &= 0xFFFFFFu;
  if (rgb == rgb_) {
    showColor();  // a refused text shows the value again
    return;
  }
  rgb_ = rgb;
  showColor();
  emit colorChanged(rgb_);
}

void ColorSelector::commitText() {
  std::uint32_t rgb = rgb_;
  if (!fromText(hex_->text(), rgb)) rgb = rgb_;
  setColor(rgb);
}

void ColorSelector::showColor() {
  QPixmap pixmap(kSwatchWidth, kSwatchHeight);
  pixmap.fill(isEnabled() ? rgbColor(rgb_) : palette().color(QPalette::Disabled, QPalette::Button));
  QPainter painter(&pixmap);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(0, 0, kSwatchWidth - 1, kSwatchHeight - 1);
  painter.end();
  swatch_->setIcon(QIcon(pixmap));
  const QString text = toText(rgb_);
  if (hex_->text() != text) hex_->setText(text);
  swatch_->setToolTip(text);
}

void ColorSelector::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) showColor();
  QWidget::changeEvent(event);
}

QColorDialog* ColorSelector::dialog() const {
  return dialog_.data();
}

void ColorSelector::openDialog() {
  if (dialog_) {
    dialog_->raise();
    return;
  }
  dialog_ =
      openColorDialog(this, rgb_, accessibleName(), [this](std::uint32_t rgb) { setColor(rgb); });
}

QColorDialog* openColorDialog(QWidget* parent, std::uint32_t initial, const QString& title,
                              std::function<void(std::uint32_t)> chosen) {
  auto* dialog = new QColorDialog(rgbColor(initial), parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QColorDialog::DontUseNativeDialog);
  if (!title.isEmpty()) dialog->setWindowTitle(title);
  for (std::size_t i = 0; i < kDefaultColorCycle.size(); ++i) {
    QColorDialog::setCustomColor(static_cast<int>(i), rgbColor(kDefaultColorCycle[i]));
  }
  QObject::connect(dialog, &QColorDialog::colorSelected, dialog,
                   [chosen = std::move(chosen)](const QColor& color) {
                     if (chosen && color.isValid()) {
                       chosen(static_cast<std::uint32_t>(color.rgb()) & 0xFFFFFFu);
                     }
                   });
  // Once it has closed, the window it was opened over gets the keyboard back.
  QObject::connect(dialog, &QDialog::finished, dialog,
                   [keyboardBack = std::make_shared<ActivationReturn>(parent)]() mutable {
                     keyboardBack.reset();
                   });
  dialog->open();
  return dialog;
}

}  // namespace drq::gui
