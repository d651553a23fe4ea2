#pragma once
// Coalesced replots. The live loop changes the data of every chart on every
// frame (no frame is lost), but a chart is redrawn at most once per screen
// refresh: marking a chart dirty starts one single-shot timer for all charts,
// and when it fires every dirty chart that is visible is redrawn. A hidden
// chart stays dirty and is redrawn when it is shown.
//
// A chart whose axes did not move may ask for one of its buffered layers only
// (the cursor layer of the colour graphs), which redraws just that layer.
//
// A chart may keep its newest data outside its plottables and hand it over
// only when it is drawn (the strip charts): its `prepare` runs right before
// each of its redraws by the scheduler.

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

class QCustomPlot;
class QCPLayer;

namespace drq::gui {

// The pace of the replots, milliseconds (about one screen refresh).
inline constexpr int kReplotIntervalMs = 16;

class ReplotScheduler final : public QObject {
  Q_OBJECT
 public:
  explicit ReplotScheduler(QObject* parent = nullptr, int intervalMs = kReplotIntervalMs);

  // Registers a chart (once). The scheduler watches it for being shown;
  // `prepare`, when given, runs before every redraw of the chart.
  void add(QCustomPlot* plot, std::function<void()> prepare = {});

  // The chart needs a full replot.
  void markDirty(QCustomPlot* plot);
  // Only `layer` (a buffered layer of the chart) changed.
  void markLayerDirty(QCustomPlot* plot, QCPLayer* layer);

  // Redraws every dirty visible chart now (screenshots, tests).
  void flush();

  bool isPending() const { return timer_.isActive(); }
  // Charts redrawn in full, and single layers redrawn, so far.
  long fullReplots() const { return fullReplots_; }
  long layerReplots() const { return layerReplots_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QPointer<QCustomPlot> plot;
    std::function<void()> prepare;
    bool full = false;
    std::vector<QCPLayer*> layers;
    bool dirty() const { return full || !layers.empty(); }
  };
  Entry* find(QCustomPlot* plot);
  void schedule();
  void replotDue();

  QTimer timer_;
  std::vector<Entry> entries_;
  long fullReplots_ = 0;
  long layerReplots_ = 0;
};

}  // namespace drq::gui
