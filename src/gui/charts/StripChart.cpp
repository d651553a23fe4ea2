#include "gui/charts/StripChart.h"

#include <QPainter>

#include <algorithm>
#include <limits>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui {

namespace {

// Samples kept per trace: one fewer than the points per screen.
constexpr int kSamples = static_cast<int>(kStripChartPointsPerScreen) - 1;

}  // namespace

StripChart::StripChart(std::vector<QColor> traceColors, ChartRange fixedRange,
                       ReplotScheduler& scheduler, QWidget* parent)
    : QCustomPlot(parent), scheduler_(scheduler), traceLayer_(nullptr), fixed_(fixedRange) {
  chart::applyStyle(*this);
  traceLayer_ = chart::bufferedLayer(*this, chart::kTraceLayer);
  xAxis->setRange(0, static_cast<double>(kStripChartPointsPerScreen - 1));
  xAxis->setTickLabels(false);
  yAxis->setRange(fixed_.min, fixed_.max);

  QVector<QCPGraphData> zeros(kSamples);
  for (int i = 0; i < kSamples; ++i) zeros[i] = QCPGraphData(i, 0.0);
  for (const QColor& color : traceColors) {
    QCPGraph* graph = addGraph();
    graph->setLayer(traceLayer_);
    graph->setPen(QPen(color, 1.4));
    graph->setAdaptiveSampling(false);
    graph->data()->set(zeros, true);
    traces_.push_back(graph);
  }
  pendingTraces_.resize(traces_.size());
  tracePending_.assign(traces_.size(), false);

  caption_ = new QCPItemText(this);
  caption_->position->setType(QCPItemPosition::ptAxisRectRatio);
  caption_->position->setCoords(0.015, 0.02);
  caption_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont captionFont = font();
  captionFont.setBold(true);
  caption_->setFont(captionFont);
  caption_->setColor(QColor(0x30, 0x30, 0x30));
  caption_->setClipToAxisRect(true);
  caption_->setText(QString());

  // A full replot (the scheduler's, a resize) takes the newest samples first.
  connect(this, &QCustomPlot::beforeReplot, this, [this] {
    applyPendingSamples();
    fitValueAxis();
  });
  scheduler_.add(this, [this] { applyPendingSamples(); });
}

void StripChart::setTrace(int trace, std::span<const double> samples) {
  if (trace < 0 || trace >= traceCount()) return;
  if (samples.size() > static_cast<std::size_t>(kSamples)) samples = samples.last(kSamples);
  const auto t = static_cast<std::size_t>(trace);
  pendingTraces_[t].assign(samples.begin(), samples.end());
  tracePending_[t] = true;
  samplesChanged();
}

void StripChart::setInterleaved(std::span<const double> values) {
  const std::size_t traces = traces_.size();
  if (traces == 0) return;
  std::size_t n = values.size() / traces;
  if (n > static_cast<std::size_t>(kSamples)) {
    n = kSamples;
    values = values.last(n * traces);
  } else {
    values = values.first(n * traces);
  }
  pendingInterleaved_.assign(values.begin(), values.end());
  interleavedPending_ = true;
  // Older single traces are replaced by this window.
  std::fill(tracePending_.begin(), tracePending_.end(), false);
  samplesChanged();
}

void StripChart::applySamples(std::size_t trace, std::span<const double> samples,
                              std::size_t stride) {
  QCPGraphDataContainer& container = *traces_[trace]->data();
  const int n = static_cast<int>((samples.size() + stride - 1) / stride);
  if (container.size() == n) {
    // The keys stay; only the values move along (no allocation per draw).
    auto it = container.begin();
    for (int i = 0; i < n; ++i, ++it) it->value = samples[static_cast<std::size_t>(i) * stride];
  } else {
    QVector<QCPGraphData> points(n);
    for (int i = 0; i < n; ++i) {
      points[i] = QCPGraphData(kSamples - n + i, samples[static_cast<std::size_t>(i) * stride]);
    }
    container.set(points, true);
  }
}

void StripChart::applyPendingSamples() {
  if (interleavedPending_) {
    interleavedPending_ = false;
    const std::span<const double> all(pendingInterleaved_);
    for (std::size_t t = 0; t < traces_.size(); ++t) {
      applySamples(t, all.subspan(std::min(t, all.size())), traces_.size());
    }
  }
  for (std::size_t t = 0; t < traces_.size(); ++t) {
    if (!tracePending_[t]) continue;
    tracePending_[t] = false;
    applySamples(t, pendingTraces_[t], 1);
  }
}

void StripChart::samplesChanged() {
  if (autoscale_) {
    scheduler_.markDirty(this);
  } else {
    scheduler_.markLayerDirty(this, traceLayer_);
  }
}

std::vector<double> StripChart::traceValues(int trace) const {
  std::vector<double> out;
  if (trace < 0 || trace >= traceCount()) return out;
  const auto t = static_cast<std::size_t>(trace);
  if (tracePending_[t]) return pendingTraces_[t];
  if (interleavedPending_) {
    for (std::size_t i = t; i < pendingInterleaved_.size(); i += traces_.size()) {
      out.push_back(pendingInterleaved_[i]);
    }
    return out;
  }
  const QCPGraphDataContainer& container = *traces_[t]->data();
  for (auto it = container.constBegin(); it != container.constEnd(); ++it) out.push_back(it->value);
  return out;
}

void StripChart::setFixedRange(ChartRange range) {
  fixed_ = range;
  autoscale_ = false;
  yAxis->setRange(range.min, range.max);
  scheduler_.markDirty(this);
}

void StripChart::setAutoscale() {
  autoscale_ = true;
  scheduler_.markDirty(this);
}

void StripChart::fitValueAxis() {
  if (!autoscale_) return;
  double lo = std::numeric_limits<double>::max();
  double hi = std::numeric_limits<double>::lowest();
  for (const QCPGraph* graph : traces_) {
    const QCPGraphDataContainer& container = *graph->data();
    for (auto it = container.constBegin(); it != container.constEnd(); ++it) {
      lo = std::min(lo, it->value);
      hi = std::max(hi, it->value);
    }
  }
  if (lo > hi) return;
  const double margin = std::max((hi - lo) * 0.05, 5.0);
  yAxis->setRange(lo - margin, hi + margin);
}

void StripChart::setCaption(const QString& text) {
  if (caption_->text() == text) return;
  caption_->setText(text);
  scheduler_.markDirty(this);
}

QString StripChart::caption() const {
  return caption_->text();
}

void StripChart::addScaleKeyRoutes() {
  addKeyRoute(*this, QStringLiteral("Autoscale"), {Qt::Key_A},
              QStringLiteral("vertical axis follows the data"),
              [this] { emit leftDoubleClicked(); });
  addKeyRoute(*this, QStringLiteral("Fixed scale"), {Qt::Key_F},
              QStringLiteral("vertical axis fixed"), [this] { emit leftClicked(); });
}

void StripChart::paintEvent(QPaintEvent* event) {
  QCustomPlot::paintEvent(event);
  if (!hasFocus()) return;
  // The focus mark: a frame in the highlight colour.
  QPainter p(this);
  p.setPen(QPen(palette().color(QPalette::Highlight), 2));
  p.drawRect(rect().adjusted(1, 1, -1, -1));
}

void StripChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit leftClicked();
  QCustomPlot::mousePressEvent(event);
}

void StripChart::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit leftDoubleClicked();
  QCustomPlot::mouseDoubleClickEvent(event);
}

}  // namespace drq::gui
