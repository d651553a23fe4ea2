#include "gui/panels/ScopePlot.h"

#include <algorithm>
#include <cmath>

#include "gui/charts/ChartStyle.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui {

namespace {

const QColor kCursorColors[2] = {QColor(0xC0, 0x80, 0x00), QColor(0x80, 0x00, 0xC0)};

}  // namespace

ScopePlot::ScopePlot(Kind kind, QWidget* parent) : QCustomPlot(parent), kind_(kind) {
  chart::applyStyle(*this);
  setFocusPolicy(kind == Kind::Analogue ? Qt::StrongFocus : Qt::NoFocus);
  xAxis->ticker()->setTickCount(8);
  for (std::size_t i = 0; i < cursors_.size(); ++i) {
    Cursor& c = cursors_[i];
    QPen pen(kCursorColors[i], 1, i == 0 ? Qt::DashLine : Qt::DashDotLine);
    c.vertical = new QCPItemStraightLine(this);
    c.vertical->setPen(pen);
    c.vertical->setSelectable(false);
    if (kind == Kind::Analogue) {
      c.horizontal = new QCPItemStraightLine(this);
      c.horizontal->setPen(pen);
      c.horizontal->setSelectable(false);
    }
    c.position = {i == 0 ? 32.0 : 96.0, i == 0 ? 1000.0 : 3000.0};
  }
  if (kind == Kind::Analogue) {
    // Ctrl + left drag draws the zoom rectangle (switched on per press).
    selectionRect()->setPen(QPen(QColor(0x30, 0x60, 0xC0), 1, Qt::DashLine));
    selectionRect()->setBrush(QColor(0x30, 0x60, 0xC0, 30));
    addKeyRoute(*this, QStringLiteral("Zoom to cursors"), {Qt::Key_Return},
                QStringLiteral("zoom to the rectangle between the cursors"),
                [this] { zoomToCursors(); });
  }
  setAxes(kScopeXMaximum, 0, kScopeYMaximumRaw);
}

void ScopePlot::setAxes(double xMax, double yMin, double yMax) {
  fullXMax_ = xMax;
  fullYMin_ = yMin;
  fullYMax_ = yMax;
  xAxis->setRange(0, xMax);
  yAxis->setRange(yMin, yMax);
  for (Cursor& c : cursors_) {
    c.position = clamped(c.position);
    placeCursor(c);
  }
  replot(rpQueuedReplot);
}

ScopeCursor ScopePlot::clamped(ScopeCursor p) const {
  if (!std::isfinite(p.x)) p.x = 0;
  if (!std::isfinite(p.y)) p.y = fullYMin_;
  p.x = std::clamp(p.x, 0.0, fullXMax_);
  p.y = std::clamp(p.y, fullYMin_, fullYMax_);
  return p;
}

void ScopePlot::placeCursor(Cursor& c) {
  const double x = c.position.x;
  const double y = kind_ == Kind::Analogue ? c.position.y : 0.0;
  c.vertical->point1->setCoords(x, 0);
  c.vertical->point2->setCoords(x, 1);
  if (c.horizontal) {
    c.horizontal->point1->setCoords(0, y);
    c.horizontal->point2->setCoords(1, y);
  }
}

void ScopePlot::setCursor(int index, ScopeCursor position) {
  Cursor& c = cursors_[slot(index)];
  c.position = clamped(position);
  placeCursor(c);
  replot(rpQueuedReplot);
}

void ScopePlot::clearTraces() {
  clearGraphs();
  replot(rpQueuedReplot);
}

void ScopePlot::addTrace(std::span<const std::uint16_t> values, const QColor& color) {
  QCPGraph* graph = addGraph();
  graph->setPen(QPen(color, 1.5));
  graph->setLineStyle(kind_ == Kind::Digital ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
  QVector<QCPGraphData> points;
  points.reserve(static_cast<qsizetype>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) {
    points.append(QCPGraphData(static_cast<double>(i), values[i]));
  }
  graph->data()->set(points, true);
  replot(rpQueuedReplot);
}

std::vector<double> ScopePlot::traceValues(int index) const {
  std::vector<double> values;
  if (index < 0 || index >= graphCount()) return values;
  for (const QCPGraphData& d : *graph(index)->data()) values.push_back(d.value);
  return values;
}

void ScopePlot::dragTo(const QPointF& pixel) {
  setCursor(active_, {xAxis->pixelToCoord(pixel.x()), yAxis->pixelToCoord(pixel.y())});
  emit cursorMoved();
}

void ScopePlot::mousePressEvent(QMouseEvent* event) {
  if (kind_ != Kind::Analogue || event->button() != Qt::LeftButton) {
    QCustomPlot::mousePressEvent(event);
    return;
  }
  if (event->modifiers() & Qt::ControlModifier) {
    zooming_ = true;
    setSelectionRectMode(QCP::srmZoom);
    QCustomPlot::mousePressEvent(event);
    return;
  }
  setSelectionRectMode(QCP::srmNone);
  // The cursor whose crossing point is nearer (in pixels) follows the mouse.
  const QPointF at = event->position();
  double best = 0;
  for (int i = 0; i < 2; ++i) {
    const ScopeCursor p = cursors_[slot(i)].position;
    const double dx = xAxis->coordToPixel(p.x) - at.x();
    const double dy = yAxis->coordToPixel(p.y) - at.y();
    const double distance = std::hypot(dx, dy);
    if (i == 0 || distance < best) {
      best = distance;
      active_ = i;
    }
  }
  dragging_ = true;
  dragTo(at);
}

void ScopePlot::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    dragTo(event->position());
    return;
  }
  QCustomPlot::mouseMoveEvent(event);
}

void ScopePlot::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    return;
  }
  const QCPRange before = xAxis->range();
  const QCPRange beforeY = yAxis->range();
  QCustomPlot::mouseReleaseEvent(event);
  if (zooming_ && event->button() == Qt::LeftButton) {
    zooming_ = false;
    setSelectionRectMode(QCP::srmNone);
    if (xAxis->range() != before || yAxis->range() != beforeY) emit zoomed();
  }
}

void ScopePlot::zoomToCursors() {
  const ScopeCursor a = cursor(0);
  const ScopeCursor b = cursor(1);
  const QCPRange x(std::min(a.x, b.x), std::max(a.x, b.x));
  const QCPRange y(std::min(a.y, b.y), std::max(a.y, b.y));
  // Cursors on one line span no rectangle.
  if (x.size() <= 0 || y.size() <= 0) return;
  xAxis->setRange(x);
  yAxis->setRange(y);
  replot(rpQueuedReplot);
  emit zoomed();
}

void ScopePlot::keyPressEvent(QKeyEvent* event) {
  if (kind_ != Kind::Analogue) {
    QCustomPlot::keyPressEvent(event);
    return;
  }
  ScopeCursor p = cursor(active_);
  const double yStep = std::max(1.0, std::round(yAxis->range().size() / 100));
  switch (event->key()) {
    case Qt::Key_Space:
      active_ = 1 - active_;
      return;
    case Qt::Key_Left:
      p.x -= 1;
      break;
    case Qt::Key_Right:
      p.x += 1;
      break;
    case Qt::Key_Up:
      p.y += yStep;
      break;
    case Qt::Key_Down:
      p.y -= yStep;
      break;
    default:
      QCustomPlot::keyPressEvent(event);
      return;
  }
  setCursor(active_, p);
  emit cursorMoved();
}

}  // namespace drq::gui
