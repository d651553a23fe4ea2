#include "gui/widgets/FocusMark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace drq::gui {

namespace {

// Widths of the ring, in the window's (scaled) pixels.
constexpr int kOuterWidth = 2;
constexpr int kInnerWidth = 1;

// Fills the band of `width` pixels just inside `outer`.
void fillBand(QPainter& painter, const QRect& outer, int width, const QColor& color) {
  const QRect inner = outer.adjusted(width, width, -width, -width);
  if (inner.isEmpty()) {
    painter.fillRect(outer, color);
    return;
  }
  painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), width), color);
  painter.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), width), color);
  painter.fillRect(QRect(outer.left(), inner.top(), width, inner.height()), color);
  painter.fillRect(QRect(inner.right() + 1, inner.top(), width, inner.height()), color);
}

// The ring itself: a transparent child laid over the whole control, above
// its other children, that takes no mouse and no focus.
class FocusRing final : public QWidget {
 public:
  explicit FocusRing(QWidget* control) : QWidget(control) {
    setObjectName(QStringLiteral("FocusMarkRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoChildEventsForParent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    // The application's colours, not the control's: a control's style sheet
    // (a checked toggle's dark face) must not wash the ring out.
    const QPalette palette = QApplication::palette();
    QPainter painter(this);
    fillBand(painter, rect(), kOuterWidth, palette.color(QPalette::Highlight).darker(150));
    fillBand(painter, rect().adjusted(kOuterWidth, kOuterWidth, -kOuterWidth, -kOuterWidth),
             kInnerWidth, palette.color(QPalette::HighlightedText));
  }
};

}  // namespace

FocusMark::FocusMark(QWidget& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("FocusMark"));
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

FocusMark::~FocusMark() {
  if (marked_) marked_->removeEventFilter(this);
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
    if (marked_) marked_->removeEventFilter(this);
    marked_ = focus;
    focus->installEventFilter(this);
  }
  if (!ring_) {
    ring_ = new FocusRing(focus);
  } else if (ring_->parentWidget() != focus) {
    ring_->setParent(focus);
  }
  ring_->setGeometry(focus->rect());
  ring_->raise();
  ring_->show();
}

void FocusMark::unmark() {
  if (marked_) marked_->removeEventFilter(this);
  marked_ = nullptr;
  if (ring_) ring_->hide();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
  if (watched == marked_ && ring_ && ring_->parentWidget() == marked_) {
    switch (event->type()) {
      case QEvent::Resize:
        ring_->setGeometry(marked_->rect());
        break;
      case QEvent::ChildAdded:
        // A child the control adds later (an item's editor, a scroll bar)
        // would cover the ring.
        ring_->raise();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace drq::gui
