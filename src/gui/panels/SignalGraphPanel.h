#pragma once
// GRAPHP, the signal graph panel: the recorded course of one signal at a time.
// Seven numeric displays (red, green, blue, X/s, Y/i, INT/M, temperature), a
// signal selector, seven graphs of which exactly one is visible, and a close
// button that shows the display panel again. The recorder drives it: it calls
// InitPanelGraph when recording starts (or its data source changes) and
// SetPanelGraphData after each recorded frame.

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

#include <array>

#include "core/graph/SignalGraph.h"
#include "gui/common/ShellContext.h"
#include "gui/widgets/Indicators.h"

class QCustomPlot;
class QCPCurve;

namespace drq::gui {

class ReplotScheduler;

class SignalGraphPanel : public QWidget {
  Q_OBJECT
 public:
  explicit SignalGraphPanel(ShellContext& context, QWidget* parent = nullptr);

  // Deletes every plot of the seven graphs and starts a new drawing from
  // the session's CurrentFrame.
  void InitPanelGraph();
  // One recorded frame (the session's CurrentFrame): the displays, and one
  // segment on each graph (the first after InitPanelGraph is a point).
  void SetPanelGraphData();
  // Hides all seven graphs and shows the one the selector chooses (any value
  // outside 0..6 shows red).
  void SetGraphVisible();

  // The labels of the X/Y/INT graphs and selector entries 3, 4 and 5
  // ("X", "Y", "INT" or "s", "i", "M"; SetDispNames).
  void setSignalLabels(const std::array<QString, 3>& labels);

  QComboBox* signalSelector() const { return selector_; }
  QPushButton* closeButton() const { return close_; }
  QCustomPlot* graph(GraphSignal signal) const;
  // Points drawn on a graph (a break between two drawings not counted).
  int pointCount(GraphSignal signal) const;
  ValueDisplay* display(GraphSignal signal) const;
  // The signal whose graph is visible.
  GraphSignal visibleGraph() const { return visible_; }
  const SignalGraphState& state() const { return state_; }
  ReplotScheduler& replotScheduler() const { return *scheduler_; }

 public slots:
  // CBF_EditSignal: the selector was committed.
  void CBF_EditSignal(int index);
  // CBF_ButtonGpClose: shows the display panel DATAP again.
  void CBF_ButtonGpClose();

 private:
  struct Trace {
    QCustomPlot* plot = nullptr;
    QCPCurve* curve = nullptr;
    ValueDisplay* display = nullptr;
    double t = 0;  // running parameter of the curve's points
    int points = 0;
  };

  ShellContext& context_;
  ReplotScheduler* scheduler_;
  QComboBox* selector_;
  QPushButton* close_;
  std::array<Trace, kGraphSignals> traces_{};
  SignalGraphState state_;
  GraphSignal visible_ = GraphSignal::Red;
};

}  // namespace drq::gui
