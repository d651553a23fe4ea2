#pragma once
// A strip chart of the last samples of one or more signals: 101 points per
// screen, the newest sample on the right. Its vertical axis is either fixed
// (manual scaling over a given range) or follows the data (autoscale). A left
// click and a left double click are reported; the page decides what they do.
// The traces live on their own buffered layer: while the axes are fixed, a
// new frame redraws only them. New samples are kept as given and reach the
// traces when the chart is drawn (or read), so a frame costs one copy of its
// window however often the loop delivers them.

#include <qcustomplot.h>

#include <span>
#include <vector>

#include "core/graph/GraphUpdate.h"

namespace drq::gui {

class ReplotScheduler;

class StripChart final : public QCustomPlot {
  Q_OBJECT
 public:
  // One trace per colour; the vertical axis starts fixed at `fixedRange`.
  StripChart(std::vector<QColor> traceColors, ChartRange fixedRange, ReplotScheduler& scheduler,
             QWidget* parent = nullptr);

  int traceCount() const { return static_cast<int>(traces_.size()); }

  // The samples of trace `trace`, oldest first; at most 100 are kept (the
  // newest). The chart is redrawn at the scheduler's next pass.
  void setTrace(int trace, std::span<const double> samples);
  // Samples of all traces interleaved (t0, t1, t2, t0, t1, t2, ...).
  void setInterleaved(std::span<const double> values);
  // The samples of a trace as last set, oldest first.
  std::vector<double> traceValues(int trace) const;

  // Manual scaling from range.min to range.max.
  void setFixedRange(ChartRange range);
  // Automatic scaling: the vertical axis follows the data at every redraw.
  void setAutoscale();
  bool isAutoscale() const { return autoscale_; }
  ChartRange fixedRange() const { return fixed_; }

  // Key routes to the two clicks, for the pages that let a double click
  // make the vertical axis follow the data and a click fix it: on the
  // focused chart A reports a double click, F a click (and UI automation
  // has them as the actions "Autoscale" and "Fixed scale"). Call it after
  // the chart's menu is installed, which sets the tooltip.
  void addScaleKeyRoutes();

  // A caption in the chart's top left corner ("X", "s", ...).
  void setCaption(const QString& text);
  QString caption() const;

 signals:
  void leftClicked();
  void leftDoubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void fitValueAxis();
  // New samples: the trace layer, or everything while autoscaling.
  void samplesChanged();
  // Hands the samples set since the last draw to the traces.
  void applyPendingSamples();
  // Every `stride`-th sample from the first into trace `trace`.
  void applySamples(std::size_t trace, std::span<const double> samples, std::size_t stride);

  ReplotScheduler& scheduler_;
  std::vector<QCPGraph*> traces_;
  QCPLayer* traceLayer_;
  QCPItemText* caption_ = nullptr;
  ChartRange fixed_;
  bool autoscale_ = false;
  // Samples not yet in the traces: one interleaved window for all traces,
  // then (newer) single traces.
  std::vector<double> pendingInterleaved_;
  bool interleavedPending_ = false;
  std::vector<std::vector<double>> pendingTraces_;
  std::vector<bool> tracePending_;
};

}  // namespace drq::gui
