#include "gui/shell/LiveDisplayWiring.h"

#include "gui/charts/IntensityBar.h"
#include "gui/common/TextConversion.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/RgbChartPage.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"

namespace drq::gui {

namespace {

void connectDataPanel(LiveMonitor& live, DataPanel& data) {
  QObject::connect(&live, &LiveMonitor::liveFrameShown, &data,
                   [&data](const LiveFrame& f, const LiveState& state, bool ledsFollow) {
                     data.showFrame(f, state.ColorPatch, ledsFollow);
                   });
  QObject::connect(&live, &LiveMonitor::graphsShown, &data,
                   [&data](const LiveState& state, const GraphUpdate& update) {
                     data.rgbChartPage().showWindow(state);
                     data.intensityChartPage().showWindows(state);
                     if (update.twoD) data.twoDGraphPage().showUpdate(*update.twoD);
                     if (update.threeD) {
                       data.threeDGraphPage().showUpdate(*update.threeD);
                       data.threeDGraphPage().showWindow(state);
                     }
                   });
  QObject::connect(&live, &LiveMonitor::teachFiguresChanged, &data,
                   [&data](const TeachFigureSet& figures) {
                     // Each page redraws its figures only when they differ
                     // from the ones drawn.
                     data.twoDGraphPage().setFigures(figures);
                     data.threeDGraphPage().setFigures(figures);
                   });
  QObject::connect(&live, &LiveMonitor::intensityBandChanged, &data,
                   [&data](int scale, const std::optional<IntensityBand>& band) {
                     IntensityBar& bar = data.twoDGraphPage().intensityBar();
                     bar.setScale(scale);
                     bar.setBand(band);
                   });
  QObject::connect(&live, &LiveMonitor::displayNamesChanged, &data, &DataPanel::SetDispNames);
  QObject::connect(&live, &LiveMonitor::triggerLedVisibilityChanged, &data,
                   &DataPanel::setTriggerLedVisible);
}

}  // namespace

void connectLiveDisplays(LiveMonitor& live, DataPanel& data, CalibrationPage& calibration,
                         TableAttributesPage& tableAttributes, BigDisplayPanel& bigColor,
                         BigDisplayPanel& bigGroup, SignalGraphPanel& signalGraph,
                         MeanTeachPanel& meanTeach) {
  connectDataPanel(live, data);

  QObject::connect(&live, &LiveMonitor::rawFrameShown, &calibration,
                   [&calibration](const LiveFrame& f, std::uint16_t rawDelta) {
                     calibration.showRawData(f[FrameWord::RawRed], f[FrameWord::RawGreen],
                                             f[FrameWord::RawBlue], rawDelta);
                   });
  QObject::connect(
      &live, &LiveMonitor::liveFrameShown, &calibration, [&calibration](const LiveFrame& f) {
        calibration.showCalibratedData(f[FrameWord::Red], f[FrameWord::Green], f[FrameWord::Blue]);
      });
  QObject::connect(&live, &LiveMonitor::liveFrameShown, &tableAttributes,
                   [&tableAttributes](const LiveFrame& f) {
                     tableAttributes.showTemperature(f[FrameWord::Temp]);
                   });
  QObject::connect(&live, &LiveMonitor::liveFrameShown, &bigColor,
                   [&bigColor](const LiveFrame& f) { bigColor.setValue(f[FrameWord::Color]); });
  QObject::connect(&live, &LiveMonitor::liveFrameShown, &bigGroup,
                   [&bigGroup](const LiveFrame& f) { bigGroup.setValue(f[FrameWord::Group]); });
  QObject::connect(&live, &LiveMonitor::liveFrameShown, &meanTeach,
                   &MeanTeachPanel::showLiveColour);
  QObject::connect(
      &live, &LiveMonitor::displayNamesChanged, &signalGraph,
      [&signalGraph](const DisplayNames& names) {
        const auto labels = names.labels();
        signalGraph.setSignalLabels({qStringFromLatin1(labels[0]), qStringFromLatin1(labels[1]),
                                     qStringFromLatin1(labels[2])});
      });
}

}  // namespace drq::gui
