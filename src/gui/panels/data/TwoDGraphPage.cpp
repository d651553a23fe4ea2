#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/charts/ChartExport.h"

#include <QVBoxLayout>

#include "gui/charts/ColourGraph.h"
#include "gui/charts/IntensityBar.h"
#include "gui/panels/data/LiveTexts.h"
#include "gui/panels/data/RgbDisplayRow.h"
#include "gui/popups/Help.h"

namespace drq::gui {

namespace {
constexpr int kIntensityBarHeight = 64;
}

TwoDGraphPage::TwoDGraphPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      plane_(new ColourGraph(QStringLiteral("X/Y"), scheduler, this)),
      bar_(new IntensityBar(scheduler, this)),
      rgb_(new RgbDisplayRow(QStringLiteral("Graph2D"), context.popups, this)) {
  setObjectName(QStringLiteral("TwoDGraphPage"));
  plane_->setObjectName(QStringLiteral("Graph2DColor"));
  bar_->setObjectName(QStringLiteral("Graph2DIntensity"));
  bar_->setFixedHeight(kIntensityBarHeight);
  bar_->setCaption(QStringLiteral("INT"));
  installChartMenu(plane_, context.popups, QString::fromLatin1(kHelpGraph2d),
                   QStringLiteral("X/Y graph"));
  installChartMenu(bar_, context.popups, QString::fromLatin1(kHelpGraph2d),
                   QStringLiteral("intensity bar"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  layout->addWidget(plane_, 1);
  layout->addWidget(bar_);
  layout->addSpacing(2);
  layout->addWidget(rgb_);
}

void TwoDGraphPage::setFigures(const TeachFigureSet& figures) {
  std::vector<ColourGraph::Figure> circles;
  circles.reserve(figures.figures.size());
  for (const TeachFigure& f : figures.figures) circles.push_back({f.colourCircle(), f.color});
  plane_->setFigures(circles);
}

void TwoDGraphPage::showFrame(const LiveFrame& frame) {
  rgb_->showFrame(frame);
}

void TwoDGraphPage::showUpdate(const TwoDUpdate& update) {
  plane_->setView(update.colourPlane, update.colourCursor);
  bar_->setCursor(update.intensityCursor);
}

void TwoDGraphPage::setCaptions(const QString& plane, const QString& intensity) {
  plane_->setTitle(plane);
  bar_->setCaption(intensity);
}

}  // namespace drq::gui
