#include "gui/shell/RecorderDisplays.h"

#include "gui/operations/LiveMonitor.h"
#include "gui/panels/SignalGraphPanel.h"

namespace drq::gui {

RecorderDisplays::RecorderDisplays(SignalGraphPanel& signalGraph, LiveMonitor& live,
                                   QObject* parent)
    : QObject(parent), signalGraph_(signalGraph), live_(live) {}

void RecorderDisplays::InitPanelGraph() {
  signalGraph_.InitPanelGraph();
}

void RecorderDisplays::SetPanelGraphData() {
  signalGraph_.SetPanelGraphData();
}

void RecorderDisplays::showRecordedFrame() {
  live_.SetPanelData();
  live_.ShowGraph();
}

}  // namespace drq::gui
