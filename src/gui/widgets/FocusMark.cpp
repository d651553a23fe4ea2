#include "gui/widgets/FocusMark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QRegion>

namespace drq::gui {

namespace {

// Widths of the ring, in the window's (scaled) pixels.
constexpr int kOuterWidth = 2;
constexpr int kInnerWidth = 1;

// The band of `width` pixels just inside `outer`.
QRegion band(const QRect& outer, int width) {
  return QRegion(outer) - QRegion(outer.adjusted(width, width, -width, -width));
}

// The ring itself: laid over the control, above everything else in its
// window, it takes no mouse and no focus and covers only its band (a mask),
// so that the control's own repaints never involve it.
class FocusRing final : public QWidget {
 public:
  explicit FocusRing(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("FocusMarkRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoChildEventsForParent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    // The application's colours: a control's style sheet (a checked
    // toggle's dark face) must not wash the ring out.
    const QPalette palette = QApplication::palette();
    QPainter painter(this);
    painter.setClipRegion(band(rect(), kOuterWidth));
    painter.fillRect(rect(), palette.color(QPalette::Highlight).darker(150));
    const QRect inside = rect().adjusted(kOuterWidth, kOuterWidth, -kOuterWidth, -kOuterWidth);
    painter.setClipRegion(band(inside, kInnerWidth));
    painter.fillRect(inside, palette.color(QPalette::HighlightedText));
  }
};

}  // namespace

FocusMark::FocusMark(QWidget& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("FocusMark"));
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

FocusMark::~FocusMark() {
  unmark();
  delete ring_.data();
}

QWidget* FocusMark::markedControl() const {
  return ring_ && ring_->isVisible() ? marked_.data() : nullptr;
}

QWidget* FocusMark::ring() const {
  return markedControl() ? ring_.data() : nullptr;
}

bool FocusMark::belongsToWindow(const QWidget& widget) const {
  for (const QWidget* w = &widget; w; w = w->parentWidget())
    if (w == &window_) return true;
  return false;
}

void FocusMark::follow(QWidget* focus) {
  // The style's rule: marks show in a window once its focus has been moved
  // by keyboard (Qt sets the attribute on Tab, Shift+Tab and shortcuts).
  if (!focus || !belongsToWindow(*focus) ||
      !focus->window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    unmark();
    return;
  }
  if (focus != marked_) {
    unmark();
    marked_ = focus;
    for (QWidget* w = focus; w && !w->isWindow(); w = w->parentWidget()) {
      w->installEventFilter(this);
      watched_.emplace_back(w);
    }
  }
  QWidget* window = focus->window();
  if (!ring_) {
    ring_ = new FocusRing(window);
  } else if (ring_->parentWidget() != window) {
    ring_->setParent(window);
  }
  place();
}

void FocusMark::place() {
  if (!marked_ || !ring_) return;
  QWidget* window = marked_->window();
  // The part of the control its parents show (a scroll area shows a part).
  QRect shown(marked_->mapTo(window, QPoint(0, 0)), marked_->size());
  for (QWidget* w = marked_->parentWidget(); w && w != window; w = w->parentWidget())
    shown &= QRect(w->mapTo(window, QPoint(0, 0)), w->size());
  if (shown.isEmpty() || !marked_->isVisible()) {
    ring_->hide();
    return;
  }
  ring_->setGeometry(shown);
  ring_->setMask(band(ring_->rect(), kOuterWidth + kInnerWidth));
  ring_->raise();
  ring_->show();
}

void FocusMark::unmark() {
  for (const QPointer<QWidget>& w : watched_)
    if (w) w->removeEventFilter(this);
  watched_.clear();
  marked_ = nullptr;
  if (ring_) ring_->hide();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
      if (marked_) place();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace drq::gui
