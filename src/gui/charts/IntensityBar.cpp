#include "gui/charts/IntensityBar.h"

#include <algorithm>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

IntensityBar::IntensityBar(ReplotScheduler& scheduler, QWidget* parent)
    : QCustomPlot(parent), scheduler_(scheduler), cursorGraph_(nullptr), cursorLayer_(nullptr) {
  chart::applyStyle(*this);
  setAntialiasedElements(QCP::aeScatters);
  yAxis->setRange(0, kIntensityBandTop);
  yAxis->setTickLabels(false);
  yAxis->setTicks(false);
  yAxis->grid()->setVisible(false);
  setScale(kIntensityCeiling);

  cursorLayer_ = chart::cursorLayer(*this);
  cursorGraph_ = chart::addCursorGraph(*this, 0, kIntensityCursorHeight);
  cursor_ = {0, kIntensityCursorHeight};
  scheduler_.add(this);
}

void IntensityBar::setBand(std::optional<IntensityBand> band) {
  if (band == band_ && (bandItem_ != nullptr) == band.has_value()) return;
  if (bandItem_) {
    removeItem(bandItem_);
    bandItem_ = nullptr;
  }
  band_ = band;
  if (band_) {
    bandItem_ = new QCPItemRect(this);
    bandItem_->setLayer(QStringLiteral("main"));
    bandItem_->topLeft->setCoords(band_->from, kIntensityBandTop);
    bandItem_->bottomRight->setCoords(band_->to, 0);
    const QColor color = rgbColor(kIntensityBandColor);
    bandItem_->setPen(QPen(color));
    bandItem_->setBrush(QBrush(color));
    bandItem_->setSelectable(false);
  }
  scheduler_.markDirty(this);
}

std::optional<FigureRect> IntensityBar::bandRect() const {
  if (!bandItem_) return std::nullopt;
  const QPointF topLeft = bandItem_->topLeft->coords();
  const QPointF bottomRight = bandItem_->bottomRight->coords();
  return FigureRect{static_cast<int>(topLeft.x()), static_cast<int>(bottomRight.y()),
                    static_cast<int>(bottomRight.x()), static_cast<int>(topLeft.y())};
}

void IntensityBar::setScale(int maximum) {
  if (maximum == scale_) return;
  scale_ = maximum;
  fitAxis();
}

void IntensityBar::fitAxis() {
  // The scale, widened as far as the cursor needs to stay in sight.
  const double lower = std::min(0, cursor_.x);
  const double upper = std::max(scale_, cursor_.x);
  if (xAxis->range().lower == lower && xAxis->range().upper == upper) return;
  xAxis->setRange(lower, upper);
  scheduler_.markDirty(this);
}

void IntensityBar::setCaption(const QString& text) {
  if (xAxis->label() == text) return;
  xAxis->setLabel(text);
  scheduler_.markDirty(this);
}

void IntensityBar::setCursor(GraphPoint cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  auto it = cursorGraph_->data()->begin();
  it->key = cursor.x;
  it->value = cursor.y;
  scheduler_.markLayerDirty(this, cursorLayer_);
  fitAxis();
}

}  // namespace drq::gui
