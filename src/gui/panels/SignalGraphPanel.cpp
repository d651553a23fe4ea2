#include "gui/panels/SignalGraphPanel.h"
#include "gui/charts/ChartExport.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <limits>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/popups/Help.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpSignal = "Select the signal whose graph is displayed.";
constexpr const char* kHelpGraph =
    "Displays the course of the selected signal while the recorder runs. \nEvery recorded "
    "measurement adds one point.";
constexpr const char* kHelpDisplays = "Displays the values of the last recorded measurement.";
constexpr const char* kHelpClose = "Close the signal graph and show the display panel again.";

constexpr std::array<const char*, kGraphSignals> kNames = {"RED", "GREEN", "BLUE", "X",
                                                           "Y",   "INT",   "TEMP."};
constexpr std::array<const char*, kGraphSignals> kObjectNames = {
    "GraphSignalRed", "GraphSignalGreen", "GraphSignalBlue", "GraphSignalX",
    "GraphSignalY",   "GraphSignalINT",   "GraphSignalTemp"};
constexpr std::array<const char*, kGraphSignals> kDisplayNames = {
    "DispGpRed", "DispGpGreen", "DispGpBlue", "DispGpX", "DispGpY", "DispGpINT", "DispGpTemp"};
// The x axis shows at least this many points.
constexpr double kMinimumSpan = 100;

QColor penColor(GraphSignal signal) {
  return rgbColor(signalColor(signal));
}

// Both axes around the data of the curve; the x axis from 0.
void fitAxes(QCustomPlot& plot, const QCPCurve& curve) {
  double xMax = kMinimumSpan;
  double lo = std::numeric_limits<double>::max();
  double hi = std::numeric_limits<double>::lowest();
  const QCPCurveDataContainer& data = *curve.data();
  for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
    if (qIsNaN(it->value)) continue;
    xMax = std::max(xMax, it->key);
    lo = std::min(lo, it->value);
    hi = std::max(hi, it->value);
  }
  plot.xAxis->setRange(0, xMax);
  if (lo > hi) return;
  const double margin = std::max((hi - lo) * 0.08, 10.0);
  plot.yAxis->setRange(lo - margin, hi + margin);
}

}  // namespace

SignalGraphPanel::SignalGraphPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      scheduler_(new ReplotScheduler(this)),
      selector_(new QComboBox(this)),
      close_(new QPushButton(QStringLiteral("CLOSE"), this)) {
  setObjectName(QStringLiteral("GRAPHP"));
  Popups& popups = context.popups;

  selector_->setObjectName(QStringLiteral("EditSignal"));
  for (const char* name : kNames) selector_->addItem(QLatin1String(name));
  installHelp(selector_, popups, QString::fromLatin1(kHelpSignal));
  connect(selector_, &QComboBox::activated, this, &SignalGraphPanel::CBF_EditSignal);

  close_->setObjectName(QStringLiteral("ButtonGpClose"));
  installHelp(close_, popups, QString::fromLatin1(kHelpClose));
  connect(close_, &QPushButton::clicked, this, &SignalGraphPanel::CBF_ButtonGpClose);

  auto* displays = new QGridLayout();
  displays->setHorizontalSpacing(6);
  displays->setVerticalSpacing(2);
  auto* graphs = new QVBoxLayout();
  graphs->setContentsMargins(0, 0, 0, 0);
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    const auto signal = static_cast<GraphSignal>(s);
    Trace& trace = traces_[s];
    trace.display = new ValueDisplay(QLatin1String(kNames[s]), this);
    trace.display->setObjectName(QLatin1String(kDisplayNames[s]));
    installHelp(trace.display, popups, QString::fromLatin1(kHelpDisplays));
    // Two rows: red, green, blue, temperature; X/s, Y/i, INT/M.
    const bool second =
        signal == GraphSignal::X || signal == GraphSignal::Y || signal == GraphSignal::Int;
    const int column = signal == GraphSignal::Temp ? 3 : static_cast<int>(s % 3);
    displays->addWidget(trace.display, second ? 1 : 0, column);

    auto* plot = new QCustomPlot(this);
    plot->setObjectName(QLatin1String(kObjectNames[s]));
    chart::applyStyle(*plot);
    plot->yAxis->setLabel(QLatin1String(kNames[s]));
    plot->xAxis->setRange(0, kMinimumSpan);
    plot->yAxis->setRange(0, 4096);
    auto* curve = new QCPCurve(plot->xAxis, plot->yAxis);
    curve->setPen(QPen(penColor(signal), 1.4));
    curve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, penColor(signal), 4));
    curve->setScatterSkip(0);
    connect(plot, &QCustomPlot::beforeReplot, plot, [plot, curve] { fitAxes(*plot, *curve); });
    installChartMenu(plot, popups, QString::fromLatin1(kHelpGraph),
                     QLatin1String(kNames[s]) + QStringLiteral(" signal graph"));
    scheduler_->add(plot);
    trace.plot = plot;
    trace.curve = curve;
    graphs->addWidget(plot, 1);
  }
  displays->setColumnStretch(4, 1);

  auto* controls = new QHBoxLayout();
  controls->addWidget(selector_);
  controls->addStretch(1);
  controls->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(6);
  layout->addLayout(displays);
  layout->addLayout(controls);
  layout->addLayout(graphs, 1);

  state_.InitPanelGraph(context_.session.CurrentFrame);
  SetGraphVisible();
}

QCustomPlot* SignalGraphPanel::graph(GraphSignal signal) const {
  return traces_[static_cast<std::size_t>(signal)].plot;
}

int SignalGraphPanel::pointCount(GraphSignal signal) const {
  return traces_[static_cast<std::size_t>(signal)].points;
}

ValueDisplay* SignalGraphPanel::display(GraphSignal signal) const {
  return traces_[static_cast<std::size_t>(signal)].display;
}

void SignalGraphPanel::InitPanelGraph() {
  state_.InitPanelGraph(context_.session.CurrentFrame);
  for (Trace& trace : traces_) {
    trace.curve->data()->clear();
    trace.t = 0;
    trace.points = 0;
    scheduler_->markDirty(trace.plot);
  }
}

void SignalGraphPanel::SetPanelGraphData() {
  const LiveFrame& frame = context_.session.CurrentFrame;
  const SignalGraphState::Segments segments = state_.SetPanelGraphData(frame);
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    Trace& trace = traces_[s];
    const SignalSegment& segment = segments[s];
    trace.display->setValue(signalValue(frame, static_cast<GraphSignal>(s)));
    if (segment.isPoint()) {
      // A new drawing starts (after InitPanelGraph, or when the 16-bit point
      // counter has wrapped to 0): the previous one is let go, so a
      // recording of any length keeps at most 65536 points per graph.
      trace.curve->data()->clear();
      trace.points = 0;
    }
    // Segments chain: the previous end is the last point drawn, so each
    // segment adds its current end (a point segment adds its only point).
    trace.curve->addData(trace.t, segment.x1, segment.v1);
    trace.t += 1;
    ++trace.points;
    scheduler_->markDirty(trace.plot);
  }
}

void SignalGraphPanel::SetGraphVisible() {
  visible_ = visibleSignalGraph(selector_->currentIndex());
  for (Trace& trace : traces_) trace.plot->hide();
  traces_[static_cast<std::size_t>(visible_)].plot->show();
}

void SignalGraphPanel::setSignalLabels(const std::array<QString, 3>& labels) {
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const std::size_t s = static_cast<std::size_t>(GraphSignal::X) + i;
    selector_->setItemText(static_cast<int>(s), labels[i]);
    traces_[s].display->setCaption(labels[i]);
    if (traces_[s].plot->yAxis->label() != labels[i]) {
      traces_[s].plot->yAxis->setLabel(labels[i]);
      scheduler_->markDirty(traces_[s].plot);
    }
  }
}

void SignalGraphPanel::CBF_EditSignal(int) {
  SetGraphVisible();
}

void SignalGraphPanel::CBF_ButtonGpClose() {
  context_.panels.ShowChildPanelDisp(ChildPanel::DATAP);
}

}  // namespace drq::gui
