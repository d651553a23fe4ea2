#include "gui/charts/SampleScatterView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/SampleScatter.h"

namespace drq::gui {

namespace {

constexpr const char* kSamplesLayer = "samples";
// Room for the tick labels, as in the colour graphs.
// The axes of a view without samples, as the colour graphs show an empty table.
constexpr ViewRanges kEmptyView{{0, 10000}, {0, 10000}};

}  // namespace

SampleScatterView::SampleScatterView(const GraphTeachSamples& samples, GraphTeachView view,
                                     const QString& title, ReplotScheduler& scheduler,
                                     QWidget* parent)
    : QCustomPlot(parent),
      samples_(samples),
      view_(view),
      scheduler_(scheduler),
      title_(new QCPItemText(this)),
      scatter_(nullptr),
      samplesLayer_(chart::bufferedLayer(*this, kSamplesLayer)),
      cursorGraph_(nullptr) {
  chart::applyStyle(*this);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::CrossCursor);

  chart::styleTitle(*title_, title);
  setAccessibleName(title);

  scatter_ = new SampleScatter(xAxis, yAxis, samples_, view_);
  scatter_->setLayer(samplesLayer_);
  // The cursor is drawn above the samples on their layer: what changes with
  // each sample is one layer.
  cursorGraph_ = chart::addCursorGraph(*this, 0, 0);
  cursorGraph_->setLayer(samplesLayer_);
  cursorGraph_->setVisible(false);

  scheduler_.add(this);
  frame();
}

void SampleScatterView::setTitle(const QString& title) {
  if (title_->text() == title) return;
  title_->setText(title);
  setAccessibleName(title);
  scheduler_.markDirty(this);
}

QString SampleScatterView::title() const {
  return title_->text();
}

void SampleScatterView::samplesChanged() {
  if (samples_.count() == 0) {
    cursorSample_.reset();
    cursorGraph_->setVisible(false);
  }
  scheduler_.markLayerDirty(this, samplesLayer_);
  frame();
}

void SampleScatterView::showNewSample(std::size_t index) {
  showSample(index);  // redraws the layer of the samples and the cursor
}

void SampleScatterView::showSample(std::size_t index) {
  if (index >= samples_.count()) return;
  cursorSample_ = index;
  placeCursor(projectSample(samples_[index], view_));
}

void SampleScatterView::placeCursor(ViewPoint point) {
  cursorGraph_->setVisible(true);
  if (point != cursor_) {
    cursor_ = point;
    auto it = cursorGraph_->data()->begin();
    it->key = point.a;
    it->value = point.b;
  }
  scheduler_.markLayerDirty(this, samplesLayer_);
  frame();
}

void SampleScatterView::frame() {
  // With nothing recorded the view shows the whole range of the
  // co-ordinates; while samples come in the axes move only when the points
  // leave them.
  const bool empty = samples_.count() == 0;
  const ViewRanges ranges =
      empty ? kEmptyView
            : followGraphTeachView(framesSamples_ ? ranges_ : ViewRanges{},
                                   frameGraphTeachView(samples_, view_, cursor_));
  framesSamples_ = !empty;
  if (ranges == ranges_) return;
  ranges_ = ranges;
  xAxis->setRange(ranges.horizontal.min, ranges.horizontal.max);
  yAxis->setRange(ranges.vertical.min, ranges.vertical.max);
  scheduler_.markDirty(this);
}

QPoint SampleScatterView::pixelOf(ViewPoint point) const {
  return QPoint(static_cast<int>(std::lround(xAxis->coordToPixel(point.a))),
                static_cast<int>(std::lround(yAxis->coordToPixel(point.b))));
}

void SampleScatterView::snapTo(const QPointF& pixel) {
  const double unitA = xAxis->range().size() / std::max(1, axisRect()->width());
  const double unitB = yAxis->range().size() / std::max(1, axisRect()->height());
  const ViewPoint pointer{xAxis->pixelToCoord(pixel.x()), yAxis->pixelToCoord(pixel.y())};
  if (const auto nearest = samples_.nearestSample(view_, pointer, unitA, unitB)) {
    showSample(*nearest);
  }
}

void SampleScatterView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || samples_.count() == 0) {
    QCustomPlot::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  dragging_ = true;
  snapTo(event->position());
  event->accept();
}

void SampleScatterView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    QCustomPlot::mouseMoveEvent(event);
    return;
  }
  snapTo(event->position());
  event->accept();
}

void SampleScatterView::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) {
    QCustomPlot::mouseReleaseEvent(event);
    return;
  }
  dragging_ = false;
  snapTo(event->position());
  event->accept();
  emit cursorCommitted();
}

void SampleScatterView::keyPressEvent(QKeyEvent* event) {
  const std::size_t count = samples_.count();
  if (count == 0) {
    QCustomPlot::keyPressEvent(event);
    return;
  }
  std::optional<std::size_t> target;
  const std::size_t from = cursorSample_.value_or(0);
  switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
      target = cursorSample_ ? samples_.stepSample(view_, from, true) : std::optional(from);
      break;
    case Qt::Key_Left:
    case Qt::Key_Down:
      target = samples_.stepSample(view_, from, false);
      break;
    case Qt::Key_Home:
      target = 0;
      break;
    case Qt::Key_End:
      target = count - 1;
      break;
    default:
      QCustomPlot::keyPressEvent(event);
      return;
  }
  event->accept();
  if (!target) return;
  showSample(*target);
  emit cursorCommitted();
}

void SampleScatterView::resizeEvent(QResizeEvent* event) {
  chart::fitSquareAxisRect(*this, event->size());
  QCustomPlot::resizeEvent(event);
}

}  // namespace drq::gui
