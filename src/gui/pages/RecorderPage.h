#pragma once
// Main tab page "RECORDER": records measurement frames into the record file
// in four modes (counted interval, open interval, manual, triggered). The
// loops are the core's Recorder; this page holds the controls, the questions
// and messages, and shows every recorded frame through its host.

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <array>

#include "core/record/Recorder.h"
#include "gui/pages/TabPage.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/ValueRing.h"

namespace drq::gui {

// What the recorder needs from the rest of the main window.
class RecorderHost {
 public:
  virtual ~RecorderHost() = default;
  // InitPanelGraph: the signal graph panel starts a new drawing.
  virtual void InitPanelGraph() = 0;
  // SetPanelGraphData: CurrentFrame onto the signal graph panel.
  virtual void SetPanelGraphData() = 0;
  // SetPanelData and ShowGraph: CurrentFrame onto the live displays and the
  // graphs, as the live monitoring shows its frames.
  virtual void showRecordedFrame() = 0;
};

// Operator texts of the recorder.
namespace recorder_text {
inline constexpr const char* kNoFileSelected =
    "No filename was selected! \nRecording will not be done! ";
inline constexpr const char* kFileExists =
    "File already exist! \nDo you want to select existing file?";
inline constexpr const char* kFileNotOpened =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be "
    "saved.";
inline constexpr const char* kRightFileName =
    "Are you sure, that you have selected the right file name?";
inline constexpr const char* kFileSaved = "File has been saved!";
inline constexpr const char* kFileDialogTitle = "FILENAME!";
inline constexpr const char* kFileFilter = "*.dat";
// A count of 0 in the counted mode.
inline constexpr const char* kCountZero =
    "The number of VALUES must be at least 1! \nRecording will not be done! ";
// A record file that cannot be written: %1 the path, %2 the system's reason.
inline constexpr const char* kLineNotWritten =
    "The record file can not be written! \n%1\n%2 \nRecording has been stopped! ";
inline constexpr const char* kHeaderNotWritten = "The record file can not be written! \n%1\n%2 ";
}  // namespace recorder_text

class RecorderPage : public TabPage, private RecorderHooks {
  Q_OBJECT
 public:
  // Colours of the start buttons: idle and while their recording runs.
  static constexpr QRgb kIdleButtonColor = 0xE0E0E0;
  static constexpr QRgb kRunningButtonColor = 0xFF0000;

  // Without a host the recorded frames reach only the record file. The host
  // is not owned (the window's is a child object of the page).
  explicit RecorderPage(ShellContext& context, RecorderHost* host = nullptr,
                        QWidget* parent = nullptr);

  void setHost(RecorderHost* host) { host_ = host; }
  void registerOperationButtons(ButtonDimmer& dimmer) override;

  void showRecordFile(const QString& path);
  void setSensorId(const QString& text);
  QString sensorId() const { return idField_->text(); }

  // Called when the page becomes the active tab page: InitRecordPanel, and
  // CalcRecTime in mode 0.
  void prepareOnActivation();

  // InitRecordPanel: shows exactly the controls of the selected mode.
  void InitRecordPanel();
  // CalcRecTime: recorded 0, remaining = count, the interval's floor of 0.25 s
  // written back, the predicted record time.
  void CalcRecTime();
  // SelRecFile: the file selection with its questions; writes the header.
  void SelRecFile();

  // True while a recording callback (interval or triggered) runs.
  bool isRecording() const { return recording_; }
  RecordMode selectedMode() const;
  const Recorder& recorder() const { return recorder_; }

  // Controls, for the main window's wiring and for tests.
  ValueRing* modeSelector() const { return mode_; }
  QDoubleSpinBox* intervalField() const { return interval_; }
  QSpinBox* countField() const { return count_; }
  QPushButton* startRecordButton() const { return startRecord_; }
  QPushButton* stopRecordButton() const { return stopRecord_; }
  QPushButton* startTriggeredButton() const { return startTrigRec_; }
  QPushButton* manualRecordButton() const { return manualRecord_; }
  QPushButton* selectFileButton() const { return selectFile_; }
  QPushButton* showGraphButton() const { return showGraph_; }
  // The colour a start button shows (idle or running).
  static QRgb buttonColor(const QPushButton* button);

 public slots:
  void CBF_ButtonSelRecFile();
  void CBF_ButtonStartRecord();
  void CBF_ButtonStopRecord();
  void CBF_ButtonStartTrigRec();
  void CBF_ButtonManualRecord();
  void CBF_EditSelectDataRec();
  void CBF_EditInterval();
  void CBF_EditRecVal();
  // CBF_ButtonShowGraph: shows the signal graph panel GRAPHP in the display
  // area.
  void CBF_ButtonShowGraph();

 signals:
  // A recorded frame has been shown (before its line is appended).
  void recordedFrameShown();

 private:
  // RecorderHooks
  std::uint16_t recordMode() override;
  void frameRecorded() override;
  void countersChanged(const RecordCounters& counters) override;

  // Record: the questions, then the interval recording loop.
  void Record();
  // "File has been saved!" or, after a file failure, what went wrong.
  void reportEnd(RecordOutcome outcome);
  void reportFileError(const char* text, const RecordFileError& error);
  void setButtonColor(QPushButton* button, QRgb color);
  void showRecorded(int value);

  RecorderHost* host_;
  LocalWallClock wallClock_;
  Recorder recorder_;
  bool recording_ = false;

  ValueRing* mode_;
  QDoubleSpinBox* interval_;
  QSpinBox* count_;
  std::array<QLineEdit*, 4> recordTime_{};  // days, hours, minutes, seconds
  ValueDisplay* recorded_;
  ValueDisplay* remaining_;
  ValueDisplay* runCounter_;
  QPushButton* startRecord_;
  QPushButton* stopRecord_;
  QPushButton* startTrigRec_;
  QPushButton* manualRecord_;
  QPushButton* selectFile_;
  QLineEdit* fileField_;
  QLineEdit* idField_;
  QPushButton* showGraph_;
  // Rows of the page, shown or hidden by mode.
  QWidget* intervalRow_;
  QWidget* countRow_;
  QWidget* recordTimeRow_;
  QWidget* recordedBox_;
  QWidget* remainingBox_;
  QWidget* runCounterBox_;
};

}  // namespace drq::gui
