#include "gui/printing/PanelPicture.h"

#include <qcustomplot.h>
#include <QPainter>

#include <vector>

namespace drq::gui {

QImage sharpPicture(QWidget& widget, qreal scale) {
  if (widget.width() <= 0 || widget.height() <= 0 || scale <= 0) return {};
  QImage image(qRound(widget.width() * scale), qRound(widget.height() * scale),
               QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.setDevicePixelRatio(scale);
  image.fill(widget.palette().color(QPalette::Window));

  // A chart paints the buffers of its last replot: redraw them at the
  // picture's resolution first.
  const QList<QCustomPlot*> charts = widget.findChildren<QCustomPlot*>();
  std::vector<double> screenRatios;
  screenRatios.reserve(static_cast<std::size_t>(charts.size()));
  for (QCustomPlot* chart : charts) {
    screenRatios.push_back(chart->bufferDevicePixelRatio());
    chart->setBufferDevicePixelRatio(scale);
    chart->replot(QCustomPlot::rpQueuedRefresh);
  }
  {
    QPainter painter(&image);
    widget.render(&painter, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
  }
  for (qsizetype i = 0; i < charts.size(); ++i) {
    charts[i]->setBufferDevicePixelRatio(screenRatios[static_cast<std::size_t>(i)]);
    charts[i]->replot(QCustomPlot::rpQueuedRefresh);
  }
  return image;
}

}  // namespace drq::gui
