#include "gui/widgets/Indicators.h"

#include "gui/widgets/IndicatorAccessibility.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

namespace drq::gui {

namespace {

constexpr int kBoxPadding = 3;
constexpr int kAccentHeight = 3;
const QColor kFrameColor(0x8A, 0x93, 0x9E);
const QColor kTextColor(0x10, 0x10, 0x10);
const QColor kCaptionColor(0x30, 0x30, 0x30);

}  // namespace

// --- ValueDisplay ---------------------------------------------------------------

ValueDisplay::ValueDisplay(const QString& caption, QWidget* parent, int digits)
    : QWidget(parent), caption_(caption), digits_(std::max(1, digits)) {
  registerIndicatorAccessibility();
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  updateSize();
  nameAfterCaption();
}

void ValueDisplay::nameAfterCaption() {
  // The accessible name adds the value shown ("RED 1152").
  const QString name = caption_;
  if (accessibleName().isEmpty() || accessibleName() == captionName_) setAccessibleName(name);
  captionName_ = name;
}

QString ValueDisplay::text() const {
  return hasValue_ ? QString::number(value_) : QString();
}

void ValueDisplay::setValue(int value) {
  if (hasValue_ && value == value_) return;
  value_ = value;
  hasValue_ = true;
  // The caption stays: only the box is drawn again.
  repaint_.request(QRect(0, captionHeight_, width(), height() - captionHeight_));
}

void ValueDisplay::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  updateSize();
  nameAfterCaption();
  update();
}

void ValueDisplay::setColors(std::optional<QColor> accent, const QColor& background) {
  if (accent == accent_ && background == background_) return;
  accent_ = accent;
  background_ = background;
  update();
}

QFont ValueDisplay::valueFont() const {
  QFont f = font();
  f.setBold(true);
  return f;
}

void ValueDisplay::updateSize() {
  const QFontMetrics valueMetrics(valueFont());
  const QFontMetrics captionMetrics(font());
  const int boxWidth =
      valueMetrics.horizontalAdvance(QString(digits_, QLatin1Char('8'))) + 2 * kBoxPadding + 2;
  const int captionWidth = caption_.isEmpty() ? 0 : captionMetrics.horizontalAdvance(caption_);
  const int boxHeight = valueMetrics.height() + 2 * kBoxPadding - 2 + kAccentHeight;
  const int captionHeight = caption_.isEmpty() ? 0 : captionMetrics.height() + 1;
  captionHeight_ = captionHeight;
  setFixedSize(std::max(boxWidth, captionWidth), boxHeight + captionHeight);
}

void ValueDisplay::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) updateSize();
  QWidget::changeEvent(event);
}

void ValueDisplay::timerEvent(QTimerEvent* event) {
  if (repaint_.handle(event->timerId())) {
    announceIndicatorValue(*this);
  } else {
    QWidget::timerEvent(event);
  }
}

void ValueDisplay::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit doubleClicked();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void ValueDisplay::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const int captionHeight = captionHeight_;
  if (!caption_.isEmpty() && event->rect().top() < captionHeight) {
    p.setPen(isEnabled() ? kCaptionColor : palette().color(QPalette::Disabled, QPalette::Text));
    p.drawText(QRect(0, 0, width(), captionHeight), Qt::AlignLeft | Qt::AlignVCenter, caption_);
  }
  const QRect box(0, captionHeight, width() - 1, height() - captionHeight - 1);
  p.fillRect(box, background_);
  if (accent_) p.fillRect(QRect(box.left(), box.top(), box.width() + 1, kAccentHeight), *accent_);
  p.setPen(kFrameColor);
  p.drawRect(box);
  if (hasFocus()) {
    // A display with a key route takes the focus: a frame in the
    // highlight colour marks it.
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawRect(box.adjusted(1, 1, 0, 0));
  }
  if (!hasValue_) return;
  QFont f = valueFont();
  const QRect textArea = box.adjusted(kBoxPadding, kAccentHeight, -kBoxPadding, 0);
  const QString text = QString::number(value_);
  const int needed = QFontMetrics(f).horizontalAdvance(text);
  if (needed > textArea.width()) f.setPointSizeF(f.pointSizeF() * textArea.width() / needed);
  p.setFont(f);
  p.setPen(kTextColor);
  p.drawText(textArea, Qt::AlignRight | Qt::AlignVCenter, text);
}

// --- Led ----------------------------------------------------------------------

Led::Led(const QString& caption, const QColor& onColor, QWidget* parent)
    : QWidget(parent), caption_(caption), onColor_(onColor) {
  registerIndicatorAccessibility();
  const QFontMetrics metrics(font());
  const int diameter = metrics.height();
  setFixedSize(diameter + 4 + metrics.horizontalAdvance(caption_) + 2, diameter + 2);
  setAccessibleName(caption_ + QStringLiteral(" LED"));
}

void Led::setLit(bool lit) {
  if (lit == lit_) return;
  lit_ = lit;
  repaint_.request();
}

void Led::timerEvent(QTimerEvent* event) {
  if (repaint_.handle(event->timerId())) {
    announceIndicatorValue(*this);
  } else {
    QWidget::timerEvent(event);
  }
}

void Led::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  const int diameter = height() - 2;
  const QRectF circle(1, 1, diameter - 1, diameter - 1);
  p.setPen(QPen(kFrameColor, 1));
  p.setBrush(lit_ ? onColor_ : QColor(0x5A, 0x5F, 0x66));
  p.drawEllipse(circle);
  if (lit_) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QRectF(circle.left() + diameter * 0.22, circle.top() + diameter * 0.16,
                         diameter * 0.3, diameter * 0.24));
  }
  p.setPen(kCaptionColor);
  p.drawText(QRect(diameter + 4, 0, width() - diameter - 4, height()),
             Qt::AlignLeft | Qt::AlignVCenter, caption_);
}

// --- LevelBar -------------------------------------------------------------------

LevelBar::LevelBar(const QColor& color, int maximum, QWidget* parent)
    : QWidget(parent), color_(color), maximum_(std::max(1, maximum)) {
  registerIndicatorAccessibility();
  setFixedHeight(QFontMetrics(font()).height() + 2);
  setMinimumWidth(60);
  setAccessibleName(QStringLiteral("level"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LevelBar::setValue(int value) {
  if (value == value_) return;
  value_ = value;
  repaint_.request();
}

void LevelBar::timerEvent(QTimerEvent* event) {
  if (repaint_.handle(event->timerId())) {
    announceIndicatorValue(*this);
  } else {
    QWidget::timerEvent(event);
  }
}

void LevelBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect box(0, 0, width() - 1, height() - 1);
  p.fillRect(box, QColor(0xF4, 0xF5, 0xF7));
  const int clamped = std::clamp(value_, 0, maximum_);
  const int length = static_cast<int>(static_cast<long long>(box.width() - 1) * clamped / maximum_);
  if (length > 0) p.fillRect(QRect(1, 1, length, box.height() - 1), color_);
  p.setPen(kFrameColor);
  p.drawRect(box);
}

// --- ColorPatchView ---------------------------------------------------------------

ColorPatchView::ColorPatchView(QWidget* parent) : QWidget(parent) {
  registerIndicatorAccessibility();
  setAccessibleName(QStringLiteral("colour patch"));
}

void ColorPatchView::setColor(std::uint32_t rgb) {
  rgb &= 0xFFFFFFu;
  if (rgb == rgb_) return;
  rgb_ = rgb;
  repaint_.request();
}

void ColorPatchView::timerEvent(QTimerEvent* event) {
  if (repaint_.handle(event->timerId())) {
    announceIndicatorValue(*this);
  } else {
    QWidget::timerEvent(event);
  }
}

void ColorPatchView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect box(0, 0, width() - 1, height() - 1);
  p.fillRect(box, rgbColor(rgb_));
  p.setPen(kFrameColor);
  p.drawRect(box);
}

}  // namespace drq::gui
