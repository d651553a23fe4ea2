#pragma once
// Live monitoring in the main window: the acquisition behind GO (F11) and
// STOP (F12), the decoding of each frame onto every live display, and the
// graphs (teach figures, framing, cursors, strip charts).
//
// The loop is the core's GetData; it runs inside the GO callback, and other
// callbacks run nested while each exchange waits for the sensor. STOP (and
// anything else that clears RunFlag) ends it after the frame in flight; SEND
// and GET pressed meanwhile are served between two frames.
//
// Every frame goes into the live state (its windows behind the strip
// charts hold every frame: none is lost). The displays show the latest
// frame at the screen's pace: the first frame at once, then at most once per
// kDisplayRefreshMs, and the last one when the loop ends. Numeric displays
// repaint only what changed, and the charts are redrawn by the panels'
// replot schedulers. The teach
// figures are redrawn only when the table, the row colours or the
// calculation mode change.
//
// The monitor knows no display: it emits what each step decided, and the
// displays connect to the signals they show (connectLiveDisplays). Each step
// emits one signal with references into the session, valid during the call:
// a frame costs three emissions however many displays listen.

#include <QBasicTimer>
#include <QObject>

#include <cstdint>

#include <optional>

#include "core/Session.h"
#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"
#include "core/live/DisplayRules.h"
#include "core/live/GetData.h"
#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "gui/operations/Operations.h"

namespace drq::gui {

// The displays' refresh while the loop runs: the screen's pace.
inline constexpr int kDisplayRefreshMs = 16;

// What the live loop needs from the main window.
class LiveHost {
 public:
  virtual ~LiveHost() = default;
  // Reads every page into the working parameter set.
  virtual void GetPanelValues() = 0;
  // SEND with the sensor: GetPanelValues, then SendPara.
  virtual void sendParametersToSensor() = 0;
  // GET from the sensor: GetPara, then the refresh of the panels, the mode
  // rules and the graphs.
  virtual void getParametersFromSensor() = 0;
  // Shows DATAP in the display area unless the mean-value teach panel is
  // the child panel shown.
  virtual void showDisplayPanelForLive() = 0;
  // The selected teach row (No. of the teach table page), 0..63.
  virtual int selectedTeachRow() const = 0;
  // The teach table as its control shows it (cells 0..4 of every row; the
  // other words are left as they are).
  virtual void readTeachTableControl(TeachTable& table) const = 0;
};

class LiveMonitor final : public QObject, private LiveLoopHooks {
  Q_OBJECT
 public:
  LiveMonitor(Session& session, Operations& operations, LiveHost& host, QObject* parent = nullptr);

  // True while the GO callback runs the loop.
  bool isRunning() const { return running_; }
  // Frames shown since the program started.
  long framesShown() const { return framesShown_; }

  // --- Per frame (also run by the recorder, the teach panels, calibration) --
  // The raw channels and RawDelta of the current frame (rawFrameShown).
  void SetPanelCalibData();
  // The current frame onto every live display (liveFrameShown).
  void SetPanelData();
  // The strip-chart windows and, by the calculation mode of the working set,
  // the framing and cursors of the 2D or 3D page (graphsShown).
  void ShowGraph();

  // Shows now the loop's frame that waits for the displays' next refresh
  // (before something is taken from the current frame, so that it is the
  // one the operator sees). Nothing when none waits.
  void showCurrentFrame();

  // --- When the table, the colours or the mode change ------------------------
  // The intensity band, then the teach figures and taught bounds
  // (teachFiguresChanged; the pages redraw only figures that differ from the
  // ones drawn).
  void InitGraphs();
  // The intensity band of the selected teach row, as the teach table's
  // control shows the row (intensityBandChanged).
  void InitGraphInt2();
  // The same for a row of a given table (the teach table page passes its
  // control's values).
  void InitGraphInt2(const TeachTable& table, int row);

  // SetDispNames: labels and colours of the X/s, Y/i, INT/M displays and of
  // the charts, for the working set's calculation mode (displayNamesChanged;
  // nothing for a mode without names).
  void SetDispNames();
  // SetLedTrigVis: the trigger LED for the working set's TRIGGER and EXTERN
  // TEACH (triggerLedVisibilityChanged).
  void SetLedTrigVis();

 public slots:
  // CBF_ButtonGo: starts the live acquisition as an operation (SEND, GET,
  // STOP and the selectors stay usable), reads the panels, shows DATAP
  // (unless the mean-value teach panel is shown), draws the teach figures and
  // runs GetData until it ends. Does nothing while any operation runs.
  void CBF_ButtonGo();
  // The live loop alone, for an activity that dims the controls itself (the
  // mean-value teach panel runs it while it is open): GetData until it ends.
  // Does nothing while the loop runs already.
  void runLiveLoop();
  // CBF_ButtonStop: clears RunFlag.
  void CBF_ButtonStop();

 signals:
  // --- What the displays show; references valid during the call only ------
  // SetPanelCalibData: the current frame (raw red, green, blue) and its
  // RawDelta.
  void rawFrameShown(const drq::LiveFrame& frame, std::uint16_t rawDelta);
  // SetPanelData: the current frame, the live state (colour patch, windows)
  // and whether the output LEDs follow the frame's colour word.
  void liveFrameShown(const drq::LiveFrame& frame, const drq::LiveState& live,
                      bool outputLedsFollowFrame);
  // ShowGraph: the live state's windows and the graph pages' update.
  void graphsShown(const drq::LiveState& live, const drq::GraphUpdate& update);
  // InitGraphs: the teach figures of every row and the taught bounds.
  void teachFiguresChanged(const drq::TeachFigureSet& figures);
  // InitGraphInt2: the intensity bar's scale and band (none: no band).
  void intensityBandChanged(int scale, const std::optional<drq::IntensityBand>& band);
  // SetDispNames.
  void displayNamesChanged(const drq::DisplayNames& names);
  // SetLedTrigVis.
  void triggerLedVisibilityChanged(bool visible);

  // After each frame decoded by the loop (the live state has it; the
  // displays show it at once or at the next refresh).
  void frameShown();

 private:
  // LiveLoopHooks
  void sendPara() override;
  void getPara() override;
  void frameDecoded() override;

  std::uint16_t calculationMode() const;
  // The core's loop until RunFlag is cleared, then its last frame onto the
  // displays.
  void loop();
  // The loop's frame onto the displays, paced (see above).
  void showFramePaced();
  // The current frame onto the displays: the three emissions.
  void showFrame();
  void timerEvent(QTimerEvent* event) override;

  Session& session_;
  Operations& operations_;
  LiveHost& host_;
  TeachFigureSet figures_;
  bool running_ = false;
  long framesShown_ = 0;
  QBasicTimer refresh_;
  bool framePending_ = false;
};

}  // namespace drq::gui
