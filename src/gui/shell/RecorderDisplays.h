#pragma once
// The recorder's host in the main window: each recorded frame goes to the
// signal graph panel and, as the live monitoring shows its frames, to the live
// displays and the graphs. A child object of the recorder page.

#include <QObject>

#include "gui/pages/RecorderPage.h"

namespace drq::gui {

class LiveMonitor;
class SignalGraphPanel;

class RecorderDisplays final : public QObject, public RecorderHost {
  Q_OBJECT
 public:
  RecorderDisplays(SignalGraphPanel& signalGraph, LiveMonitor& live, QObject* parent);

  void InitPanelGraph() override;
  void SetPanelGraphData() override;
  void showRecordedFrame() override;

 private:
  SignalGraphPanel& signalGraph_;
  LiveMonitor& live_;
};

}  // namespace drq::gui
