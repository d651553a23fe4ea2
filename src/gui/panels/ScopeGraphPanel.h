#pragma once
// SCOPEP, the scope graph panel: the analogue graph (red, green and blue
// traces, two cursors, Ctrl + drag zoom), the digital graph below it (six
// binary signals, cursors that follow the analogue graph's), the cursor
// deltas, the displayed-signal ring, the capture-running indicator, ZOOM 1:1,
// saving the graphs as a picture, and CLOSE. Shown in the main window's
// display area.
//
// The panel draws what the scope page gives it; the cursor deltas and the
// axes are the page's business (calcScopDeltaXY, initScopeGraph), which it
// asks for through its signals.

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "core/scope/ScopeTrace.h"
#include "gui/panels/ChildPanelWidget.h"

namespace drq::gui {

class Led;
class ScopePlot;
class ValueRing;

// Names of the six digital signals, by bit.
inline constexpr const char* kScopeDigitalNames[kScopeDigitalSignals] = {"BIT 0", "BIT 1", "BIT 2",
                                                                         "BIT 3", "BIT 4", "BIT 5"};

class ScopeGraphPanel : public ChildPanelWidget {
  Q_OBJECT
 public:
  explicit ScopeGraphPanel(ShellContext& context, QWidget* parent = nullptr);

  ScopePlot& analogueGraph() const { return *analogue_; }
  ScopePlot& digitalGraph() const { return *digital_; }
  // The two graphs together (what "save image" saves).
  QWidget& graphArea() const { return *graphArea_; }

  // Delete all plots of both graphs and draw a capture: red, green and blue on
  // the analogue graph whatever the displayed-signal ring says, the six
  // digital traces (bits 0 to 4 grey, bit 5 teal) on the digital graph.
  void drawCapture(const ScopeTraces& traces);
  // CBF_EditScopeSignal's redraw of the analogue graph from the trace buffers:
  // all three traces (ring 0) or the one selected (1 red, 2 green, 3 blue).
  void drawAnalogueTraces(const ScopeTraces& traces);

  // The analogue graph's fixed axes (0..128 by 0..yMax).
  void setAnalogueAxes(double yMax);
  // Moves the digital graph's cursors to (x1, 0) and (x2, 0).
  void moveDigitalCursors(double x1, double x2);
  void showDeltas(const QString& deltaX, const QString& deltaY);
  QString deltaXText() const { return deltaX_->text(); }
  QString deltaYText() const { return deltaY_->text(); }

  // The capture-running indicator.
  void setCaptureRunning(bool running);
  bool captureRunningShown() const;

  ValueRing& signalRing() const { return *signalRing_; }
  QPushButton& zoom11Button() const { return *zoom11_; }
  QPushButton& closeButton() const { return *close_; }
  QPushButton& saveImageButton() const { return *saveImage_; }

  // Writes the graph area as a PNG, or as a one-page PDF of vector graphics
  // when `file` ends in ".pdf" (any case). The old file survives a failure.
  // False on failure.
  bool saveGraphImage(const QString& file);

 public slots:
  // CBF_ButtonZoom11: asks for initScopeGraph.
  void CBF_ButtonZoom11();
  // CBF_ButtonCloseSP: asks for the display panel.
  void CBF_ButtonCloseSP();
  // CBF_EditScopeSignal.
  void CBF_EditScopeSignal();
  // Asks for a file name and saves the graphs there (saveGraphImage).
  void CBF_ButtonSaveScopeImage();

 signals:
  // A cursor of the analogue graph moved, or the operator zoomed: the page
  // recomputes the deltas (CBF_GraphScope).
  void cursorsChanged();
  void zoom11Requested();
  void closeRequested();

 private:
  ScopePlot* analogue_;
  ScopePlot* digital_;
  QWidget* graphArea_;
  QLineEdit* deltaX_;
  QLineEdit* deltaY_;
  ValueRing* signalRing_;
  Led* running_;
  QPushButton* zoom11_;
  QPushButton* close_;
  QPushButton* saveImage_;
};

}  // namespace drq::gui
