#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <cstdint>
#include <functional>

#include "core/scope/ScopeCapture.h"
#include "gui/pages/TabPage.h"
#include "gui/printing/ScopeReport.h"

class QPrinter;

namespace drq::gui {

class ScopeGraphPanel;
class ValueRing;

// What the scope page needs from the rest of the window.
class ScopeHost {
 public:
  virtual ~ScopeHost() = default;
  // CALCULATION MODE as the parameter page shows it (0..3).
  virtual std::uint16_t calculationMode() const = 0;
};

// Main tab page "SCOPE": the capture settings, the cycle time, SCAN, BREAK,
// PRINT, SAVE TRACE and the comment printed with the graphs. It drives SCOPEP
// (ScopeGraphPanel), which it is attached to once both exist, and shows it
// through the child-panel switch.
class ScopePage : public TabPage {
  Q_OBJECT
 public:
  explicit ScopePage(ShellContext& context, QWidget* parent = nullptr);

  // Connects the page to its graph panel and to the window; call once.
  void attach(ScopeGraphPanel& graphs, ScopeHost& host);

  // Chooses the printer; false when the operator cancelled. The default shows
  // the print dialog (which also offers printing into a PDF file).
  using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
  void setPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }

  // GET CYCLE TIME, SCAN and BREAK.
  void registerOperationButtons(ButtonDimmer& dimmer) override;

  // The settings as a capture would send them.
  ScopeSettings captureSettings() const;

  // GetCycleTime: reads the cycle time and shows it with the scan frequency.
  void GetCycleTime();
  // calcScopDeltaXY: the digital graph's cursors follow the analogue graph's;
  // delta X and delta Y are shown.
  void calcScopDeltaXY();
  // initScopeGraph: the analogue graph's axes (4100 or 10000 high), then
  // calcScopDeltaXY.
  void initScopeGraph();
  // GetScopeData: one capture, drawn when complete.
  CaptureResult GetScopeData();
  // BreakDataScan. A break already in flight is not sent again.
  void BreakDataScan();
  // PrintScopeGraph: the report of the scope graph panel and the comment.
  void PrintScopeGraph();
  // What PRINT prints now: the sensor's ID, the comment (at most 1023
  // characters) and the picture of SCOPEP (null when the page has no panel).
  ScopeReport currentReport();
  // Writes the last capture as a trace table.
  files::FileWriteResult saveTrace(const QString& file);

  // Ends a running SCAN as BREAK does (the window is closing); a capture
  // whose start is still awaited ends with a break once the start's answer
  // (or its failure) is in, so that the sensor is never left armed.
  void abandonCapture();

  ValueRing& triggerModeRing() const { return *triggerMode_; }
  ValueRing& recordedSignalRing() const { return *recordedSignal_; }
  QSpinBox& triggerLevelField() const { return *triggerLevel_; }
  QSpinBox& preTriggerField() const { return *preTrigger_; }
  QSpinBox& scanRateField() const { return *scanRate_; }
  QLineEdit& cycleTimeDisplay() const { return *cycleTime_; }
  QLineEdit& scanFrequencyDisplay() const { return *scanFrequency_; }
  QPlainTextEdit& commentBox() const { return *comment_; }
  QPushButton& getCycleTimeButton() const { return *getCycleTime_; }
  QPushButton& scanButton() const { return *scan_; }
  QPushButton& breakButton() const { return *break_; }
  QPushButton& printButton() const { return *print_; }
  QPushButton& saveTraceButton() const { return *saveTrace_; }

 public slots:
  void CBF_ButtonGetCycleTime();
  void CBF_ButtonScan();
  void CBF_ButtonBreakScan();
  void CBF_ButtonPrintScopeGraph();
  void CBF_ButtonSaveScopeTrace();
  void CBF_EditTriggerMode();
  void CBF_EditScanRate();
  // CBF_GraphScope: a cursor of the analogue graph moved, or it was zoomed.
  void CBF_GraphScope();

 private:
  void buildControls();
  void showCycleTime();

  ScopeGraphPanel* graphs_ = nullptr;
  ScopeHost* host_ = nullptr;
  PrinterChooser chooser_;
  bool scanning_ = false;  // SCAN runs (from its start exchange to the drawing)
  bool abandonRequested_ = false;
  bool breakSent_ = false;  // a break went out during this SCAN
  bool breaking_ = false;   // a break's exchange is in flight

  ValueRing* triggerMode_;
  QSpinBox* triggerLevel_;
  QSpinBox* preTrigger_;
  QSpinBox* scanRate_;
  ValueRing* recordedSignal_;
  QLineEdit* cycleTime_;
  QLineEdit* scanFrequency_;
  QPushButton* getCycleTime_;
  QPushButton* scan_;
  QPushButton* break_;
  QPushButton* print_;
  QPushButton* saveTrace_;
  QPlainTextEdit* comment_;
};

}  // namespace drq::gui
