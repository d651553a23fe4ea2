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
// Every frame updates the data of every display and chart (no frame is
// lost); numeric displays repaint only what changed, and the charts are
// redrawn by the panels' replot schedulers at the screen's pace. The teach
// figures are redrawn only when the table, the row colours or the
// calculation mode change.

#include <QObject>

#include <cstdint>

#include "core/Session.h"
#include "core/graph/TeachFigures.h"
#include "core/live/GetData.h"
#include "gui/operations/Operations.h"

namespace drq::gui {

class DataPanel;
class CalibrationPage;
class TableAttributesPage;
class BigDisplayPanel;
class SignalGraphPanel;
class MeanTeachPanel;

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

// The displays the live loop writes.
struct LiveDisplays {
  DataPanel& data;
  CalibrationPage& calibration;
  TableAttributesPage& tableAttributes;
  BigDisplayPanel& bigColor;
  BigDisplayPanel& bigGroup;
  SignalGraphPanel& signalGraph;
  MeanTeachPanel& meanTeach;
};

class LiveMonitor final : public QObject, private LiveLoopHooks {
  Q_OBJECT
 public:
  LiveMonitor(Session& session, Operations& operations, LiveHost& host, LiveDisplays displays,
              QObject* parent = nullptr);

  // True while the GO callback runs the loop.
  bool isRunning() const { return running_; }
  // Frames shown since the program started.
  long framesShown() const { return framesShown_; }

  // --- Per frame (also run by the recorder, the teach panels, calibration) --
  // RawDelta to the calibration page's raw displays.
  void SetPanelCalibData();
  // Every live display, the colour patch, the output LEDs, the temperature,
  // the big displays, the mean-value teach panel's red, green and blue.
  void SetPanelData();
  // The strip charts from the windows, the framing and the cursors of the
  // 2D or 3D page (by the calculation mode of the working set).
  void ShowGraph();

  // --- When the table, the colours or the mode change ------------------------
  // Teach figures and taught bounds (redrawn only when they differ from the
  // ones drawn), then the intensity band.
  void InitGraphs();
  // The intensity band of the selected teach row, as the teach table's
  // control shows the row.
  void InitGraphInt2();
  // The same for a row of a given table (the teach table page passes its
  // control's values).
  void InitGraphInt2(const TeachTable& table, int row);
  // The teach figures drawn last (bounds used for the framing).
  const TeachFigureSet& teachFigures() const { return figures_; }

  // SetDispNames: labels and colours of the X/s, Y/i, INT/M displays and of
  // the charts, for the working set's calculation mode.
  void SetDispNames();
  // SetLedTrigVis: the trigger LED for the working set's TRIGGER and EXTERN
  // TEACH.
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
  // After each frame shown by the loop.
  void frameShown();

 private:
  // LiveLoopHooks
  void sendPara() override;
  void getPara() override;
  void frameDecoded() override;

  std::uint16_t calculationMode() const;

  Session& session_;
  Operations& operations_;
  LiveHost& host_;
  LiveDisplays displays_;
  TeachFigureSet figures_;
  bool running_ = false;
  long framesShown_ = 0;
};

}  // namespace drq::gui
