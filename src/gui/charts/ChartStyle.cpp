#include "gui/charts/ChartStyle.h"

#include <algorithm>

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

void styleTitle(QCPItemText& title, const QString& text) {
  title.setLayer(QStringLiteral("legend"));
  title.position->setType(QCPItemPosition::ptAxisRectRatio);
  title.position->setCoords(0.02, 0.02);
  title.setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont titleFont = title.parentPlot()->font();
  titleFont.setBold(true);
  title.setFont(titleFont);
  title.setColor(QColor(0x30, 0x30, 0x30));
  title.setBrush(QBrush(QColor(255, 255, 255, 200)));
  title.setPadding(QMargins(2, 0, 2, 0));
  title.setText(text);
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

void fitSquareAxisRect(QCustomPlot& plot, QSize size) {
  constexpr int kLeftLabelRoom = 46;
  constexpr int kBottomLabelRoom = 22;
  constexpr int kOuterRoom = 6;
  const int width = size.width() - kLeftLabelRoom - kOuterRoom;
  const int height = size.height() - kBottomLabelRoom - kOuterRoom;
  const int side = std::max(10, std::min(width, height));
  const int extraX = std::max(0, width - side);
  const int extraY = std::max(0, height - side);
  const int ticks = side < 170 ? 2 : 4;
  plot.xAxis->ticker()->setTickCount(ticks);
  plot.yAxis->ticker()->setTickCount(ticks);
  plot.axisRect()->setAutoMargins(QCP::msNone);
  plot.axisRect()->setMargins(QMargins(kLeftLabelRoom + extraX / 2, kOuterRoom + extraY / 2,
                                       kOuterRoom + extraX - extraX / 2,
                                       kBottomLabelRoom + extraY - extraY / 2));
}

}  // namespace drq::gui::chart
