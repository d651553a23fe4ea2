#include "gui/charts/ChartStyle.h"

#include <qcustomplot.h>

namespace drq::gui::chart {

void applyStyle(QCustomPlot& plot) {
  plot.setBackground(QBrush(Qt::white));
  plot.setAntialiasedElements(QCP::aeNone);
  plot.setNotAntialiasedElements(QCP::aeAll);
  plot.setInteractions(QCP::Interactions());
  plot.setPlottingHint(QCP::phCacheLabels, true);
  plot.setMinimumSize(80, 60);

  QFont tickFont = plot.font();
  tickFont.setPointSizeF(std::max(6.0, tickFont.pointSizeF() - 1.5));
  const QPen axisPen(QColor(0x70, 0x78, 0x80));
  const QPen gridPen(QColor(0xE2, 0xE5, 0xE9), 0, Qt::SolidLine);
  for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
    axis->setTickLabelFont(tickFont);
    axis->setLabelFont(tickFont);
    axis->setBasePen(axisPen);
    axis->setTickPen(axisPen);
    axis->setSubTickPen(axisPen);
    axis->setTickLabelColor(QColor(0x40, 0x40, 0x40));
    axis->setTickLengthIn(3);
    axis->setSubTickLengthIn(1);
    axis->grid()->setPen(gridPen);
    axis->grid()->setZeroLinePen(gridPen);
    axis->ticker()->setTickCount(4);
  }
  plot.axisRect()->setAutoMargins(QCP::msLeft | QCP::msBottom);
  plot.axisRect()->setMargins(QMargins(0, 6, 8, 0));
}

QCPLayer* bufferedLayer(QCustomPlot& plot, const char* name) {
  if (QCPLayer* existing = plot.layer(QString::fromLatin1(name))) return existing;
  plot.addLayer(QString::fromLatin1(name), plot.layer(QStringLiteral("main")),
                QCustomPlot::limAbove);
  QCPLayer* layer = plot.layer(QString::fromLatin1(name));
  layer->setMode(QCPLayer::lmBuffered);
  return layer;
}

QCPGraph* addCursorGraph(QCustomPlot& plot, double x, double y) {
  QCPGraph* graph = plot.addGraph();
  graph->setLayer(cursorLayer(plot));
  graph->setLineStyle(QCPGraph::lsNone);
  graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCrossCircle,
                                         QPen(QColor(0x10, 0x10, 0x10), 1.6),
                                         QBrush(QColor(255, 255, 255, 150)), 13));
  graph->data()->set({QCPGraphData(x, y)}, true);
  return graph;
}

}  // namespace drq::gui::chart
