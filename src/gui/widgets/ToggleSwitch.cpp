#include "gui/widgets/ToggleSwitch.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace drq::gui {

namespace {
constexpr int kTrackWidth = 34;
constexpr int kTrackHeight = 16;
constexpr int kGap = 6;
}  // namespace

ToggleSwitch::ToggleSwitch(const QString& offCaption, const QString& onCaption, QWidget* parent)
    : QAbstractButton(parent), offCaption_(offCaption), onCaption_(onCaption) {
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  setText(offCaption + QStringLiteral(" / ") + onCaption);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const {
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int width = metrics.horizontalAdvance(offCaption_) + kGap + kTrackWidth + kGap +
                    metrics.horizontalAdvance(onCaption_) + 4;
  return {width, std::max(metrics.height(), kTrackHeight) + 6};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool on = isChecked();
  QFont normal = font();
  QFont bold = font();
  bold.setBold(true);
  const QPalette& pal = palette();
  const QColor textColor =
      pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);

  const int offWidth = QFontMetrics(bold).horizontalAdvance(offCaption_);
  const QRect offRect(2, 0, offWidth, height());
  const QRect track(offRect.right() + kGap, (height() - kTrackHeight) / 2, kTrackWidth,
                    kTrackHeight);
  const QRect onRect(track.right() + kGap, 0, width() - track.right() - kGap, height());

  p.setPen(textColor);
  p.setFont(on ? normal : bold);
  p.drawText(offRect, Qt::AlignVCenter | Qt::AlignLeft, offCaption_);
  p.setFont(on ? bold : normal);
  p.drawText(onRect, Qt::AlignVCenter | Qt::AlignLeft, onCaption_);

  const QColor trackColor = !isEnabled()
                                ? pal.color(QPalette::Disabled, QPalette::Button)
                                : (on ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid));
  p.setPen(Qt::NoPen);
  p.setBrush(trackColor);
  p.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);
  const int knob = kTrackHeight - 4;
  const int knobLeft = on ? track.right() - knob - 1 : track.left() + 2;
  p.setBrush(pal.color(QPalette::Base));
  p.drawEllipse(QRect(knobLeft, track.top() + 2, knob, knob));

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(0, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

}  // namespace drq::gui
