#pragma once
// The recorded samples of the graph teach as one scatter plottable per view.
// It draws the valid entries of the sample table directly (no copy of the
// data, no plot object per point) as small squares of one colour, through a
// raster cache of the axis rectangle: while the axes and the size stay, a
// replot paints only the samples added since the last one and blits the
// cache, so a replot costs the same at 60000 samples as at 60.

#include <qcustomplot.h>

#include <QImage>

#include "core/teach/GraphTeach.h"

namespace drq::gui {

class SampleScatter final : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  SampleScatter(QCPAxis* keyAxis, QCPAxis* valueAxis, const GraphTeachSamples& samples,
                GraphTeachView view);

  void setColor(const QColor& color);
  QColor color() const { return color_; }
  GraphTeachView view() const { return view_; }
  // Samples painted by the last draw (tests).
  std::size_t drawnSamples() const { return painted_; }

  double selectTest(const QPointF& pos, bool onlySelectable,
                    QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                         const QCPRange& inKeyRange = QCPRange()) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  // Paints samples [from, to) into the cache.
  void paintSamples(std::size_t from, std::size_t to);

  const GraphTeachSamples& samples_;
  GraphTeachView view_;
  QColor color_{0xFF, 0x00, 0x00};
  QImage cache_;
  QRect cacheRect_;
  QRect inkRect_;  // the part of the cache with points in it
  QCPRange cacheKeyRange_;
  QCPRange cacheValueRange_;
  std::size_t painted_ = 0;
};

}  // namespace drq::gui
