#include "gui/charts/SampleScatter.h"

#include <algorithm>
#include <cmath>

namespace drq::gui {

namespace {

// Each sample is a square of this many pixels.
constexpr int kPointSize = 3;

int coordinateIndex(GraphTeachView view, bool vertical) {
  switch (view) {
    case GraphTeachView::XY:
      return vertical ? 1 : 0;
    case GraphTeachView::XInt:
      return vertical ? 2 : 0;
    case GraphTeachView::YInt:
      return vertical ? 2 : 1;
  }
  return 0;
}

}  // namespace

SampleScatter::SampleScatter(QCPAxis* keyAxis, QCPAxis* valueAxis, const GraphTeachSamples& samples,
                             GraphTeachView view)
    : QCPAbstractPlottable(keyAxis, valueAxis), samples_(samples), view_(view) {
  setSelectable(QCP::stNone);
  setAntialiased(false);
}

void SampleScatter::setColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  cacheRect_ = QRect();  // repaint everything in the new colour
}

double SampleScatter::selectTest(const QPointF&, bool, QVariant*) const {
  return -1;  // the cursor, not the points, is what the operator moves
}

QCPRange SampleScatter::getKeyRange(bool& foundRange, QCP::SignDomain) const {
  const auto bounds = samples_.bounds();
  foundRange = bounds.has_value();
  if (!bounds) return {};
  const BoundPair b = (*bounds)[static_cast<std::size_t>(coordinateIndex(view_, false))];
  return {static_cast<double>(b.low), static_cast<double>(b.high)};
}

QCPRange SampleScatter::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const {
  const auto bounds = samples_.bounds();
  foundRange = bounds.has_value();
  if (!bounds) return {};
  const BoundPair b = (*bounds)[static_cast<std::size_t>(coordinateIndex(view_, true))];
  return {static_cast<double>(b.low), static_cast<double>(b.high)};
}

void SampleScatter::paintSamples(std::size_t from, std::size_t to) {
  QCPAxis* keys = keyAxis();
  QCPAxis* values = valueAxis();
  const int width = cache_.width();
  const int height = cache_.height();
  const QRgb rgb = color_.rgba();
  // Both axes are linear: pixel = origin + co-ordinate * scale.
  const double keyOrigin = keys->coordToPixel(0) - cacheRect_.left();
  const double keyScale = keys->coordToPixel(1) - keys->coordToPixel(0);
  const double valueOrigin = values->coordToPixel(0) - cacheRect_.top();
  const double valueScale = values->coordToPixel(1) - values->coordToPixel(0);
  for (std::size_t k = from; k < to; ++k) {
    const ViewPoint p = projectSample(samples_[k], view_);
    const double px = keyOrigin + p.a * keyScale;
    const double py = valueOrigin + p.b * valueScale;
    if (!(px > -kPointSize && py > -kPointSize && px < width + kPointSize &&
          py < height + kPointSize)) {
      continue;
    }
    const int x0 = static_cast<int>(std::lround(px)) - kPointSize / 2;
    const int y0 = static_cast<int>(std::lround(py)) - kPointSize / 2;
    inkRect_ |= QRect(x0, y0, kPointSize, kPointSize);
    for (int y = std::max(0, y0); y < std::min(height, y0 + kPointSize); ++y) {
      auto* line = reinterpret_cast<QRgb*>(cache_.scanLine(y));
      for (int x = std::max(0, x0); x < std::min(width, x0 + kPointSize); ++x) line[x] = rgb;
    }
  }
}

void SampleScatter::draw(QCPPainter* painter) {
  QCPAxis* keys = keyAxis();
  QCPAxis* values = valueAxis();
  if (!keys || !values) return;
  const QRect rect = clipRect();
  const std::size_t count = samples_.count();
  const bool sameFrame = rect == cacheRect_ && keys->range() == cacheKeyRange_ &&
                         values->range() == cacheValueRange_ && count >= painted_;
  if (!sameFrame) {
    if (cache_.size() != rect.size()) {
      cache_ = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
    }
    cache_.fill(Qt::transparent);
    cacheRect_ = rect;
    cacheKeyRange_ = keys->range();
    cacheValueRange_ = values->range();
    painted_ = 0;
    inkRect_ = QRect();
  }
  if (cache_.isNull()) return;
  paintSamples(painted_, count);
  painted_ = count;
  // Only the part with points: the rest of the cache is transparent.
  const QRect ink = inkRect_ & cache_.rect();
  if (!ink.isEmpty()) painter->drawImage(rect.topLeft() + ink.topLeft(), cache_, ink);
}

void SampleScatter::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  painter->fillRect(QRectF(rect.center() - QPointF(1.5, 1.5), QSizeF(3, 3)), color_);
}

}  // namespace drq::gui
