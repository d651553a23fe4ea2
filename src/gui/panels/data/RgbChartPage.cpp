#include "gui/panels/data/RgbChartPage.h"
#include "gui/charts/ChartExport.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/StripChart.h"
#include "gui/panels/data/LiveTexts.h"
#include "gui/popups/Help.h"

namespace drq::gui {

RgbChartPage::RgbChartPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      chart_(new StripChart({chart::kTraceRed, chart::kTraceGreen, chart::kTraceBlue},
                            kRgbChartRange, scheduler, this)) {
  setObjectName(QStringLiteral("RgbChartPage"));
  chart_->setObjectName(QStringLiteral("GraphRGB"));
  installChartMenu(chart_, context.popups, QString::fromLatin1(kHelpGraphRgb),
                   QStringLiteral("RGB chart"));
  connect(chart_, &StripChart::leftClicked, this, [this] { CBF_GraphRGB(false); });
  connect(chart_, &StripChart::leftDoubleClicked, this, [this] { CBF_GraphRGB(true); });
  chart_->addScaleKeyRoutes();

  const char* captions[] = {"RED", "GREEN", "BLUE"};
  const char* names[] = {"Red", "Green", "Blue"};
  auto* grid = new QGridLayout();
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  auto* minLabel = new QLabel(QStringLiteral("MIN"), this);
  auto* maxLabel = new QLabel(QStringLiteral("MAX"), this);
  grid->addWidget(minLabel, 1, 0);
  grid->addWidget(maxLabel, 2, 0);
  for (std::size_t c = 0; c < 3; ++c) {
    const int column = static_cast<int>(c) + 1;
    rgb_[c] = new ValueDisplay(QString::fromLatin1(captions[c]), this);
    rgb_[c]->setObjectName(QStringLiteral("RgbChart") + QLatin1String(names[c]));
    installHelp(rgb_[c], context.popups, QString::fromLatin1(kHelpDispRgb));
    min_[c] = new ValueDisplay(QString(), this);
    min_[c]->setObjectName(QStringLiteral("DispMin") + QLatin1String(names[c]));
    max_[c] = new ValueDisplay(QString(), this);
    max_[c]->setObjectName(QStringLiteral("DispMax") + QLatin1String(names[c]));
    min_[c]->setAccessibleName(QLatin1String(captions[c]) + QStringLiteral(" minimum"));
    max_[c]->setAccessibleName(QLatin1String(captions[c]) + QStringLiteral(" maximum"));
    for (ValueDisplay* d : {min_[c], max_[c]}) {
      installHelp(d, context.popups, QString::fromLatin1(kHelpDispMinMax));
    }
    grid->addWidget(rgb_[c], 0, column, Qt::AlignBottom);
    grid->addWidget(min_[c], 1, column);
    grid->addWidget(max_[c], 2, column);
  }
  grid->setColumnStretch(4, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(chart_, 1);
  layout->addLayout(grid);
}

void RgbChartPage::showFrame(const LiveFrame& frame) {
  rgb_[0]->setValue(frame[FrameWord::Red]);
  rgb_[1]->setValue(frame[FrameWord::Green]);
  rgb_[2]->setValue(frame[FrameWord::Blue]);
  min_[0]->setValue(frame[FrameWord::ExtremeARed]);
  min_[1]->setValue(frame[FrameWord::ExtremeAGreen]);
  min_[2]->setValue(frame[FrameWord::ExtremeABlue]);
  max_[0]->setValue(frame[FrameWord::ExtremeBRed]);
  max_[1]->setValue(frame[FrameWord::ExtremeBGreen]);
  max_[2]->setValue(frame[FrameWord::ExtremeBBlue]);
}

void RgbChartPage::showWindow(const LiveState& live) {
  chart_->setInterleaved(live.RgbWindow.values());
}

void RgbChartPage::CBF_GraphRGB(bool doubleClick) {
  if (doubleClick) {
    chart_->setAutoscale();
  } else {
    chart_->setFixedRange(kRgbChartRange);
  }
}

}  // namespace drq::gui
