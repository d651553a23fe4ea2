#include "gui/charts/ColourGraph.h"

#include <QResizeEvent>

#include <algorithm>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

namespace {

constexpr double kFigurePenWidth = 1.5;
constexpr int kEmptyViewMax = 10000;
// Room for the tick labels: left of the axis rectangle and below it.

// An ellipse is spanned by the top-left and bottom-right corners of its
// rectangle; the figures are outlines only.
void placeFigure(QCPItemEllipse& item, const FigureRect& rect, const QPen& pen) {
  item.topLeft->setCoords(rect.left, rect.top);
  item.bottomRight->setCoords(rect.right, rect.bottom);
  item.setPen(pen);
  item.setBrush(Qt::NoBrush);
}

}  // namespace

ColourGraph::ColourGraph(const QString& title, ReplotScheduler& scheduler, QWidget* parent)
    : QCustomPlot(parent),
      scheduler_(scheduler),
      title_(new QCPItemText(this)),
      cursorGraph_(nullptr),
      cursorLayer_(nullptr) {
  chart::applyStyle(*this);
  // The figures are the point of these views: draw them smoothly.
  setAntialiasedElements(QCP::aeItems | QCP::aeScatters);
  setNotAntialiasedElements(QCP::aeGrid | QCP::aeAxes | QCP::aeSubGrid);

  chart::styleTitle(*title_, title);

  cursorLayer_ = chart::cursorLayer(*this);
  cursorGraph_ = chart::addCursorGraph(*this, 0, 0);

  view_ = {{0, kEmptyViewMax}, {0, kEmptyViewMax}};
  xAxis->setRange(view_.horizontal.min, view_.horizontal.max);
  yAxis->setRange(view_.vertical.min, view_.vertical.max);
  scheduler_.add(this);
}

void ColourGraph::setTitle(const QString& title) {
  if (title_->text() == title) return;
  title_->setText(title);
  scheduler_.markDirty(this);
}

QString ColourGraph::title() const {
  return title_->text();
}

bool ColourGraph::setFigures(const std::vector<Figure>& figures) {
  if (figures == figures_ && items_.size() == figures.size()) return false;
  for (QCPAbstractItem* item : items_) removeItem(item);
  items_.clear();
  figures_ = figures;
  for (const Figure& f : figures_) {
    const QPen pen(rgbColor(f.color), kFigurePenWidth);
    auto* item = new QCPItemEllipse(this);
    placeFigure(*item, f.rect, pen);
    item->setLayer(QStringLiteral("main"));
    item->setSelectable(false);
    items_.push_back(item);
  }
  scheduler_.markDirty(this);
  return true;
}

void ColourGraph::resizeEvent(QResizeEvent* event) {
  chart::fitSquareAxisRect(*this, event->size());
  QCustomPlot::resizeEvent(event);
}

FigureRect ColourGraph::figureRect(int index) const {
  if (index < 0 || index >= figureCount()) return {};
  return figures_[static_cast<std::size_t>(index)].rect;
}

QCPAbstractItem* ColourGraph::figureItem(int index) const {
  if (index < 0 || index >= figureCount()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

void ColourGraph::setView(const ViewRanges& ranges, GraphPoint cursor) {
  const bool axesMoved = ranges != view_;
  const bool cursorMoved = cursor != cursor_;
  if (!axesMoved && !cursorMoved) return;
  if (cursorMoved) {
    cursor_ = cursor;
    auto it = cursorGraph_->data()->begin();
    it->key = cursor.x;
    it->value = cursor.y;
  }
  if (axesMoved) {
    view_ = ranges;
    xAxis->setRange(ranges.horizontal.min, ranges.horizontal.max);
    yAxis->setRange(ranges.vertical.min, ranges.vertical.max);
    scheduler_.markDirty(this);
  } else {
    scheduler_.markLayerDirty(this, cursorLayer_);
  }
}

}  // namespace drq::gui
