#include "gui/panels/data/IntensityChartPage.h"
#include "gui/charts/ChartExport.h"

#include <QVBoxLayout>

#include "core/graph/GraphUpdate.h"
#include "gui/charts/ChartStyle.h"
#include "gui/charts/StripChart.h"
#include "gui/panels/data/LiveTexts.h"
#include "gui/panels/data/RgbDisplayRow.h"
#include "gui/popups/Help.h"

namespace drq::gui {

IntensityChartPage::IntensityChartPage(ShellContext& context, ReplotScheduler& scheduler,
                                       QWidget* parent)
    : QWidget(parent),
      context_(context),
      rgb_(new RgbDisplayRow(QStringLiteral("IntensityChart"), context.popups, this)) {
  setObjectName(QStringLiteral("IntensityChartPage"));
  const QColor colors[] = {chart::kTraceRed, chart::kTraceGreen, chart::kTraceIntensity};
  const char* names[] = {"GraphINT1X", "GraphINT1Y", "GraphINT1INT"};
  const char* captions[] = {"X", "Y", "INT"};
  // Named by role: the captions follow the calculation mode (s, i, M).
  const char* exportNames[] = {"X/s chart", "Y/i chart", "INT/M chart"};
  const auto ranges = *intensityChartRanges(0);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  for (std::size_t i = 0; i < charts_.size(); ++i) {
    auto* chart = new StripChart({colors[i]}, ranges[i], scheduler, this);
    chart->setObjectName(QLatin1String(names[i]));
    chart->setCaption(QLatin1String(captions[i]));
    installChartMenu(chart, context.popups, QString::fromLatin1(kHelpGraphInt1),
                     QLatin1String(exportNames[i]));
    connect(chart, &StripChart::leftClicked, this, [this] { CBF_GraphINT1(false); });
    connect(chart, &StripChart::leftDoubleClicked, this, [this] { CBF_GraphINT1(true); });
    chart->addScaleKeyRoutes();
    charts_[i] = chart;
    layout->addWidget(chart, 1);
  }
  layout->addSpacing(2);
  layout->addWidget(rgb_);
}

void IntensityChartPage::showFrame(const LiveFrame& frame) {
  rgb_->showFrame(frame);
}

void IntensityChartPage::showWindows(const LiveState& live) {
  charts_[0]->setTrace(0, live.XWindow.values());
  charts_[1]->setTrace(0, live.YWindow.values());
  charts_[2]->setTrace(0, live.IntWindow.values());
}

void IntensityChartPage::setCaptions(const std::array<QString, 3>& captions) {
  for (std::size_t i = 0; i < charts_.size(); ++i) charts_[i]->setCaption(captions[i]);
}

void IntensityChartPage::applyFixedRanges(std::uint16_t calculationMode) {
  const auto ranges = intensityChartRanges(calculationMode);
  if (!ranges) return;
  setRanges(*ranges);
}

void IntensityChartPage::setRanges(const std::array<ChartRange, 3>& ranges) {
  for (std::size_t i = 0; i < charts_.size(); ++i) charts_[i]->setFixedRange(ranges[i]);
}

void IntensityChartPage::setAutoscale() {
  for (StripChart* chart : charts_) chart->setAutoscale();
}

bool IntensityChartPage::intensityAxisManual() const {
  return !charts_[2]->isAutoscale();
}

void IntensityChartPage::applyModeRanges(const std::array<ChartRange, 3>& ranges) {
  if (intensityAxisManual()) setRanges(ranges);
}

void IntensityChartPage::CBF_GraphINT1(bool doubleClick) {
  if (doubleClick) {
    setAutoscale();
  } else {
    applyFixedRanges(context_.session.working.record[ParaWord::CalculationMode]);
  }
}

}  // namespace drq::gui
