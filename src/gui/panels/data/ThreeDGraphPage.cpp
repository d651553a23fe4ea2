#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/charts/ChartExport.h"

#include <QGridLayout>

#include "gui/charts/ChartStyle.h"
#include "gui/charts/ColourGraph.h"
#include "gui/charts/StripChart.h"
#include "gui/panels/data/LiveTexts.h"
#include "gui/popups/Help.h"

namespace drq::gui {

ThreeDGraphPage::ThreeDGraphPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      rgbChart_(new StripChart({chart::kTraceRed, chart::kTraceGreen, chart::kTraceBlue},
                               kRgbChartRange, scheduler, this)) {
  setObjectName(QStringLiteral("ThreeDGraphPage"));
  const char* titles[] = {"X/Y", "X/INT", "Y/INT"};
  const char* names[] = {"Graph3DXY", "Graph3DXINT", "Graph3DYINT"};
  for (std::size_t i = 0; i < views_.size(); ++i) {
    views_[i] = new ColourGraph(QLatin1String(titles[i]), scheduler, this);
    views_[i]->setObjectName(QLatin1String(names[i]));
  }
  rgbChart_->setObjectName(QStringLiteral("Graph3DRGB"));
  rgbChart_->setCaption(QStringLiteral("RGB"));
  const char* exportNames[] = {"X/Y graph", "X/INT graph", "Y/INT graph"};
  for (std::size_t i = 0; i < views_.size(); ++i) {
    installChartMenu(views_[i], context.popups, QString::fromLatin1(kHelpGraph3d),
                     QLatin1String(exportNames[i]));
  }
  installChartMenu(rgbChart_, context.popups, QString::fromLatin1(kHelpGraph3d),
                   QStringLiteral("RGB chart 3D"));

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(views_[0], 0, 0);
  layout->addWidget(views_[1], 0, 1);
  layout->addWidget(views_[2], 1, 0);
  layout->addWidget(rgbChart_, 1, 1);
  for (int i = 0; i < 2; ++i) {
    layout->setRowStretch(i, 1);
    layout->setColumnStretch(i, 1);
  }
}

void ThreeDGraphPage::setViewTitles(const std::array<QString, 3>& titles) {
  for (std::size_t i = 0; i < views_.size(); ++i) views_[i]->setTitle(titles[i]);
}

std::array<QString, 3> ThreeDGraphPage::viewTitles() const {
  return {views_[0]->title(), views_[1]->title(), views_[2]->title()};
}

void ThreeDGraphPage::setFigures(const TeachFigureSet& figures) {
  std::vector<ColourGraph::Figure> xy, xInt, yInt;
  for (const TeachFigure& f : figures.figures) {
    xy.push_back({f.colourCircle(), f.color});
    xInt.push_back({f.xIntRect(), f.color});
    yInt.push_back({f.yIntRect(), f.color});
  }
  views_[0]->setFigures(xy);
  views_[1]->setFigures(xInt);
  views_[2]->setFigures(yInt);
}

void ThreeDGraphPage::showUpdate(const ThreeDUpdate& update) {
  views_[0]->setView(update.xy, update.xyCursor);
  views_[1]->setView(update.xInt, update.xIntCursor);
  views_[2]->setView(update.yInt, update.yIntCursor);
}

void ThreeDGraphPage::showWindow(const LiveState& live) {
  rgbChart_->setInterleaved(live.RgbWindow.values());
}

}  // namespace drq::gui
