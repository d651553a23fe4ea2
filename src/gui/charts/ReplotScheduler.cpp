#include "gui/charts/ReplotScheduler.h"

#include <QEvent>

#include <qcustomplot.h>

#include <algorithm>
#include <utility>

namespace drq::gui {

ReplotScheduler::ReplotScheduler(QObject* parent, int intervalMs) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &ReplotScheduler::replotDue);
}

void ReplotScheduler::add(QCustomPlot* plot, std::function<void()> prepare) {
  if (!plot || find(plot)) return;
  entries_.push_back({plot, std::move(prepare), false, {}});
  plot->installEventFilter(this);
}

ReplotScheduler::Entry* ReplotScheduler::find(QCustomPlot* plot) {
  for (Entry& e : entries_) {
    if (e.plot == plot) return &e;
  }
  return nullptr;
}

void ReplotScheduler::markDirty(QCustomPlot* plot) {
  Entry* e = find(plot);
  if (!e) return;
  e->full = true;
  e->layers.clear();
  schedule();
}

void ReplotScheduler::markLayerDirty(QCustomPlot* plot, QCPLayer* layer) {
  Entry* e = find(plot);
  if (!e || !layer) return;
  if (!e->full && std::find(e->layers.begin(), e->layers.end(), layer) == e->layers.end()) {
    e->layers.push_back(layer);
  }
  schedule();
}

void ReplotScheduler::schedule() {
  if (!timer_.isActive()) timer_.start();
}

void ReplotScheduler::flush() {
  timer_.stop();
  replotDue();
}

void ReplotScheduler::replotDue() {
  for (Entry& e : entries_) {
    if (!e.plot || !e.dirty() || !e.plot->isVisible()) continue;
    if (e.prepare) e.prepare();
    if (e.full) {
      e.plot->replot(QCustomPlot::rpQueuedRefresh);
      ++fullReplots_;
    } else {
      for (QCPLayer* layer : e.layers) layer->replot();
      layerReplots_ += static_cast<long>(e.layers.size());
    }
    e.full = false;
    e.layers.clear();
  }
}

bool ReplotScheduler::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    for (Entry& e : entries_) {
      if (e.plot == watched && e.dirty()) schedule();
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace drq::gui
