#include "gui/pages/RecorderPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>

#include <filesystem>
#include <limits>
#include <string_view>

#include "core/ToolFiles.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

// Help texts, as the operators know them.
constexpr const char* kHelpSelRecFile = "Select a record file for data save. ";
constexpr const char* kHelpDispRecFile = "Shows the path of the record file. ";
constexpr const char* kHelpStartRecord = "Start data record.";
constexpr const char* kHelpStopRecord = "Stop data record.";
constexpr const char* kHelpStartTrigRec = "Start data record.";
constexpr const char* kHelpManualRecord =
    "Record one frame manually \nand append to existing file. ";
constexpr const char* kHelpSelectDataRec = "Select how to record data frame. ";
constexpr const char* kHelpInterval =
    "Choose a interval in secondes for recording. \nMinimum interval is 0,25 second.";
constexpr const char* kHelpRecVal = "Choose how many data frames should be recorded. ";
constexpr const char* kHelpRecordTime =
    "Displays the time for recording \nwhen all VALUES will be recorded.";
constexpr const char* kHelpRecordedValues = "Displays how many values are already recorded.";
constexpr const char* kHelpRemaining = "Displays how many values remain to be recorded.";
constexpr const char* kHelpRecordedFrames =
    "Displays how many data frames have been recorded \nsince the recording was started.";
constexpr const char* kHelpSensorId =
    "Shows the sensor ID. \nIt is written into the head of the record file. ";
constexpr const char* kHelpShowGraph =
    "Shows the signal graph of the recorded measurements in the display area.";

constexpr std::array<std::string_view, 4> kModeCaptions = {
    "INTERVAL, COUNTED VALUES", "INTERVAL, OPEN END", "MANUAL", "TRIGGERED"};

constexpr int kDefaultCount = 10;
constexpr double kDefaultInterval = 1.0;
constexpr const char* kButtonColorProperty = "recordButtonColor";

QPushButton* makeButton(const char* text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QLatin1String(objectName));
  button->setAccessibleName(QString::fromLatin1(text));
  return button;
}

QLineEdit* makeDisplay(const char* objectName, const QString& accessibleName, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(objectName));
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::ClickFocus);
  field->setAccessibleName(accessibleName);
  return field;
}

// A caption above a widget, as one block that is shown or hidden together.
QWidget* captioned(const QString& caption, QWidget* control, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  auto* label = new QLabel(caption, box);
  label->setBuddy(control);
  layout->addWidget(label);
  layout->addWidget(control);
  return box;
}

}  // namespace

RecorderPage::RecorderPage(ShellContext& context, RecorderHost* host, QWidget* parent)
    : TabPage(context, QStringLiteral("RECORDER"), parent),
      host_(host),
      recorder_(context.session, *this, context.session.clock, wallClock_),
      mode_(new ValueRing(this)),
      interval_(new QDoubleSpinBox(this)),
      count_(new QSpinBox(this)),
      recorded_(new ValueDisplay(QStringLiteral("RECORDED VALUES"), this)),
      remaining_(new ValueDisplay(QStringLiteral("REMAINING VALUES"), this)),
      runCounter_(new ValueDisplay(QStringLiteral("RECORDED FRAMES"), this, 7)),
      startRecord_(makeButton("START RECORD", "ButtonStartRecord", this)),
      stopRecord_(makeButton("STOP RECORD", "ButtonStopRecord", this)),
      startTrigRec_(makeButton("START TRIGGERED RECORD", "ButtonStartTrigRec", this)),
      manualRecord_(makeButton("RECORD ONE FRAME", "ButtonManualRecord", this)),
      selectFile_(makeButton("SELECT RECORD FILE", "ButtonSelRecFile", this)),
      fileField_(makeDisplay("DispRecFile", QStringLiteral("RECORD FILE"), this)),
      idField_(makeDisplay("DispRecordID", QStringLiteral("SENSOR ID"), this)),
      showGraph_(makeButton("SHOW GRAPH", "ButtonShowGraph", this)) {
  setObjectName(QStringLiteral("RecorderPage"));
  Popups& popups = context.popups;
  const auto help = [&popups](QWidget* control, const char* text) {
    installHelp(control, popups, QString::fromLatin1(text));
  };

  // --- Record file and sensor ID --------------------------------------------
  auto* fileBox = new QGroupBox(QStringLiteral("RECORD FILE"), this);
  auto* fileGrid = new QGridLayout(fileBox);
  fileGrid->setVerticalSpacing(4);
  selectFile_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  help(selectFile_, kHelpSelRecFile);
  help(fileField_, kHelpDispRecFile);
  help(idField_, kHelpSensorId);
  auto* idLabel = new QLabel(QStringLiteral("SENSOR ID"), fileBox);
  idLabel->setBuddy(idField_);
  fileGrid->addWidget(selectFile_, 0, 0);
  fileGrid->addWidget(fileField_, 0, 1);
  fileGrid->addWidget(idLabel, 1, 0);
  fileGrid->addWidget(idField_, 1, 1);
  fileGrid->setColumnStretch(1, 1);
  pageLayout()->addWidget(fileBox);

  // --- Mode, interval and count ---------------------------------------------
  auto* modeBox = new QGroupBox(QStringLiteral("RECORD MODE"), this);
  auto* modeGrid = new QGridLayout(modeBox);
  mode_->setObjectName(QStringLiteral("EditSelectDataRec"));
  mode_->setAccessibleName(QStringLiteral("RECORD MODE"));
  mode_->setNamedItems(kModeCaptions);
  help(mode_, kHelpSelectDataRec);
  modeGrid->addWidget(mode_, 0, 0, 1, 2);

  interval_->setObjectName(QStringLiteral("EditInterval"));
  interval_->setAccessibleName(QStringLiteral("INTERVAL [s]"));
  interval_->setLocale(QLocale::c());
  interval_->setDecimals(2);
  interval_->setRange(0.0, kMaxRecordInterval);
  interval_->setSingleStep(0.25);
  interval_->setValue(kDefaultInterval);
  interval_->setKeyboardTracking(false);  // committed with Enter, the arrows or leaving it
  help(interval_, kHelpInterval);
  count_->setObjectName(QStringLiteral("EditRecVal"));
  count_->setAccessibleName(QStringLiteral("VALUES"));
  count_->setRange(0, std::numeric_limits<std::uint16_t>::max());
  count_->setValue(kDefaultCount);
  count_->setKeyboardTracking(false);
  help(count_, kHelpRecVal);
  intervalRow_ = captioned(QStringLiteral("INTERVAL [s]"), interval_, modeBox);
  countRow_ = captioned(QStringLiteral("VALUES"), count_, modeBox);
  modeGrid->addWidget(intervalRow_, 1, 0);
  modeGrid->addWidget(countRow_, 1, 1);

  recordTimeRow_ = new QWidget(modeBox);
  auto* timeBlock = new QVBoxLayout(recordTimeRow_);
  timeBlock->setContentsMargins(0, 0, 0, 0);
  timeBlock->setSpacing(2);
  timeBlock->addWidget(new QLabel(QStringLiteral("RECORD TIME"), recordTimeRow_));
  auto* timeLayout = new QHBoxLayout();
  timeLayout->setContentsMargins(0, 0, 0, 0);
  timeBlock->addLayout(timeLayout);
  const char* timeNames[] = {"DispRecordTimeDays", "DispRecordTimeHours", "DispRecordTimeMinutes",
                             "DispRecordTimeSeconds"};
  const char* timeCaptions[] = {"DAYS", "HOURS", "MIN.", "SEC."};
  for (std::size_t i = 0; i < recordTime_.size(); ++i) {
    const QString caption = QString::fromLatin1(timeCaptions[i]);
    recordTime_[i] =
        makeDisplay(timeNames[i], QStringLiteral("RECORD TIME ") + caption, recordTimeRow_);
    recordTime_[i]->setAlignment(Qt::AlignRight);
    recordTime_[i]->setMaximumWidth(70);
    help(recordTime_[i], kHelpRecordTime);
    timeLayout->addWidget(captioned(caption, recordTime_[i], recordTimeRow_));
  }
  timeLayout->addStretch(1);
  modeGrid->addWidget(recordTimeRow_, 2, 0, 1, 2);
  modeGrid->setColumnStretch(2, 1);
  pageLayout()->addWidget(modeBox);

  // --- Counters -------------------------------------------------------------
  auto* counters = new QHBoxLayout();
  recorded_->setObjectName(QStringLiteral("DispRecordedValues"));
  recorded_->setAccessibleName(recorded_->caption());
  remaining_->setObjectName(QStringLiteral("DispRemaining"));
  remaining_->setAccessibleName(remaining_->caption());
  runCounter_->setObjectName(QStringLiteral("DispRecordedFrames"));
  runCounter_->setAccessibleName(runCounter_->caption());
  help(recorded_, kHelpRecordedValues);
  help(remaining_, kHelpRemaining);
  help(runCounter_, kHelpRecordedFrames);
  recordedBox_ = recorded_;
  remainingBox_ = remaining_;
  runCounterBox_ = runCounter_;
  counters->addWidget(recorded_);
  counters->addWidget(remaining_);
  counters->addWidget(runCounter_);
  counters->addStretch(1);
  pageLayout()->addLayout(counters);

  // --- Buttons --------------------------------------------------------------
  help(startRecord_, kHelpStartRecord);
  help(stopRecord_, kHelpStopRecord);
  help(startTrigRec_, kHelpStartTrigRec);
  help(manualRecord_, kHelpManualRecord);
  help(showGraph_, kHelpShowGraph);
  setButtonColor(startRecord_, kIdleButtonColor);
  setButtonColor(startTrigRec_, kIdleButtonColor);
  auto* buttons = new QGridLayout();
  buttons->addWidget(startRecord_, 0, 0);
  buttons->addWidget(startTrigRec_, 0, 1);
  buttons->addWidget(manualRecord_, 0, 2);
  buttons->addWidget(stopRecord_, 1, 0);
  buttons->addWidget(showGraph_, 1, 1);
  buttons->setColumnStretch(3, 1);
  pageLayout()->addLayout(buttons);
  pageLayout()->addStretch(1);
  chainTabOrder(*this, {selectFile_, mode_, interval_, count_, startRecord_, startTrigRec_,
                        manualRecord_, stopRecord_, showGraph_});

  connect(selectFile_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonSelRecFile);
  connect(startRecord_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonStartRecord);
  connect(stopRecord_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonStopRecord);
  connect(startTrigRec_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonStartTrigRec);
  connect(manualRecord_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonManualRecord);
  connect(showGraph_, &QPushButton::clicked, this, &RecorderPage::CBF_ButtonShowGraph);
  connect(mode_, &ValueRing::valueCommitted, this, &RecorderPage::CBF_EditSelectDataRec);
  connect(interval_, &QDoubleSpinBox::valueChanged, this, &RecorderPage::CBF_EditInterval);
  connect(count_, &QSpinBox::valueChanged, this, &RecorderPage::CBF_EditRecVal);

  CalcRecTime();
  runCounter_->setValue(0);
  InitRecordPanel();
}

void RecorderPage::registerOperationButtons(ButtonDimmer& dimmer) {
  // STOP RECORD stays operable: it is how a running recording is ended.
  for (QPushButton* button : {selectFile_, startRecord_, startTrigRec_, manualRecord_})
    dimmer.add(ButtonDimmer::Group::Always, button);
}

void RecorderPage::showRecordFile(const QString& path) {
  fileField_->setText(path);
  // The end of a long path, where the file's name is, stays in view.
  fileField_->setCursorPosition(static_cast<int>(path.size()));
  fileField_->setToolTip(path);
}

void RecorderPage::setSensorId(const QString& text) {
  idField_->setText(text);
}

RecordMode RecorderPage::selectedMode() const {
  return static_cast<RecordMode>(mode_->value());
}

QRgb RecorderPage::buttonColor(const QPushButton* button) {
  return button->property(kButtonColorProperty).value<QRgb>();
}

void RecorderPage::setButtonColor(QPushButton* button, QRgb color) {
  button->setProperty(kButtonColorProperty, QVariant::fromValue(color));
  // With a border of its own the style sheet draws the whole button. With a
  // background colour alone the platform style would draw it and cache the
  // drawing under the button's new palette on every change of colour (twice
  // per recording): memory that grows with every recording up to the
  // pixmap cache's limit.
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                       "#8F8F91; border-radius: 3px; padding: 4px 10px; }")
                            .arg(QColor(color).name()));
}

void RecorderPage::showRecorded(int value) {
  recorded_->setValue(value);
}

// --- Page state ---------------------------------------------------------------

void RecorderPage::prepareOnActivation() {
  InitRecordPanel();
  if (selectedMode() == RecordMode::Counted) CalcRecTime();
}

void RecorderPage::InitRecordPanel() {
  const auto m = mode_->value();
  const auto in = [m](std::initializer_list<int> modes) {
    for (int x : modes) {
      if (x == m) return true;
    }
    return false;
  };
  intervalRow_->setVisible(in({0, 1}));
  countRow_->setVisible(in({0}));
  recordTimeRow_->setVisible(in({0}));
  recordedBox_->setVisible(in({0, 2}));
  remainingBox_->setVisible(in({0}));
  runCounterBox_->setVisible(in({1, 3}));
  startRecord_->setVisible(in({0, 1}));
  stopRecord_->setVisible(in({0, 1, 3}));
  startTrigRec_->setVisible(in({3}));
  manualRecord_->setVisible(in({2}));
}

void RecorderPage::CalcRecTime() {
  const auto count = static_cast<std::uint16_t>(count_->value());
  const RecordTime time = drq::CalcRecTime(interval_->value(), count);
  recorded_->setValue(0);
  remaining_->setValue(count);
  if (interval_->value() < kMinRecordInterval) {
    const QSignalBlocker blocker(interval_);
    interval_->setValue(kMinRecordInterval);
  }
  recordTime_[0]->setText(QString::number(time.days));
  recordTime_[1]->setText(QString::number(time.hours));
  recordTime_[2]->setText(QString::number(time.minutes));
  recordTime_[3]->setText(QString::number(time.seconds, 'g', 12));
}

// --- Record file --------------------------------------------------------------

void RecorderPage::SelRecFile() {
  namespace text = recorder_text;
  Popups& popups = context().popups;
  Session& session = context().session;
  const QString attention = QString::fromLatin1(kTitleAttention);

  FileSelectRequest request;
  request.directory = qStringFromPath(session.recordFile.parent_path());
  request.defaultName = qStringFromLatin1(kRecordFileName);
  request.filter = QString::fromLatin1(text::kFileFilter);
  request.title = QString::fromLatin1(text::kFileDialogTitle);
  request.allowNew = true;
  const FileSelection chosen = popups.FileSelectPopup(request);
  if (chosen.result == 0 || chosen.path.isEmpty()) {
    popups.MessagePopup(attention, QString::fromLatin1(text::kNoFileSelected));
    return;
  }
  const std::filesystem::path path = pathFromQString(chosen.path);
  std::error_code ec;
  if (chosen.result == 1 || std::filesystem::exists(path, ec)) {
    if (!popups.ConfirmPopup(attention, QString::fromLatin1(text::kFileExists))) return;
    popups.MessagePopup(attention, QString::fromLatin1(text::kFileNotOpened));
  }
  session.recordFile = path;
  fileField_->clear();
  showRecordFile(chosen.path);
  // The file starts again with its header (an existing one is replaced).
  if (const auto error = writeRecordHeader(path, session.sensorId))
    reportFileError(text::kHeaderNotWritten, *error);
}

void RecorderPage::reportFileError(const char* text, const RecordFileError& error) {
  context().popups.MessagePopup(
      QString::fromLatin1(kTitleAttention),
      QString::fromLatin1(text).arg(qStringFromPath(error.path), qStringFromUtf8(error.reason)));
}

void RecorderPage::reportEnd(RecordOutcome outcome) {
  if (outcome == RecordOutcome::FileFailed && recorder_.fileError()) {
    reportFileError(recorder_text::kLineNotWritten, *recorder_.fileError());
    return;
  }
  context().popups.MessagePopup(QString::fromLatin1(kTitleInfo),
                                QString::fromLatin1(recorder_text::kFileSaved));
}

// --- Callbacks ----------------------------------------------------------------

void RecorderPage::CBF_ButtonSelRecFile() {
  SelRecFile();
}

void RecorderPage::CBF_ButtonStartRecord() {
  OperationGuard guard = context().operations.start(Operation::Record);
  if (!guard) return;
  recording_ = true;
  if (host_) host_->InitPanelGraph();
  Record();
  recording_ = false;
}

void RecorderPage::Record() {
  namespace text = recorder_text;
  Popups& popups = context().popups;
  const QString attention = QString::fromLatin1(kTitleAttention);
  const auto count = static_cast<std::uint16_t>(count_->value());
  if (!Recorder::countIsRecordable(selectedMode(), count)) {
    popups.MessagePopup(attention, QString::fromLatin1(text::kCountZero));
    return;
  }
  if (!popups.ConfirmPopup(attention, QString::fromLatin1(text::kRightFileName))) return;
  popups.MessagePopup(attention, QString::fromLatin1(text::kFileNotOpened));

  interval_->setEnabled(false);
  count_->setEnabled(false);
  startRecord_->setEnabled(false);
  setButtonColor(startRecord_, kRunningButtonColor);
  CalcRecTime();
  if (selectedMode() == RecordMode::Open) runCounter_->setValue(0);
  const RecordOutcome outcome = recorder_.RecordFrame(interval_->value(), count);
  reportEnd(outcome);
  interval_->setEnabled(true);
  count_->setEnabled(true);
  startRecord_->setEnabled(true);
  setButtonColor(startRecord_, kIdleButtonColor);
}

void RecorderPage::CBF_ButtonStopRecord() {
  context().session.RunFlag.clear();
}

void RecorderPage::CBF_ButtonStartTrigRec() {
  namespace text = recorder_text;
  Operations& operations = context().operations;
  if (!operations.canStart()) return;
  Popups& popups = context().popups;
  const QString attention = QString::fromLatin1(kTitleAttention);
  if (!popups.ConfirmPopup(attention, QString::fromLatin1(text::kRightFileName))) return;
  OperationGuard guard = operations.start(Operation::TriggeredRecord);
  if (!guard) return;
  recording_ = true;
  popups.MessagePopup(attention, QString::fromLatin1(text::kFileNotOpened));
  setButtonColor(startTrigRec_, kRunningButtonColor);
  if (host_) host_->InitPanelGraph();
  runCounter_->setValue(0);
  const RecordOutcome outcome = recorder_.TriggeredRecord();
  reportEnd(outcome);
  setButtonColor(startTrigRec_, kIdleButtonColor);
  recording_ = false;
}

void RecorderPage::CBF_ButtonManualRecord() {
  manualRecord_->setEnabled(false);
  if (host_) host_->SetPanelGraphData();
  if (!recorder_.RecordManually() && recorder_.fileError())
    reportFileError(recorder_text::kLineNotWritten, *recorder_.fileError());
  manualRecord_->setEnabled(true);
}

void RecorderPage::CBF_EditSelectDataRec() {
  context().session.RunFlag.clear();
  const RecordMode mode = selectedMode();
  if (mode == RecordMode::Manual) {
    recorder_.setRecorded(0);
    showRecorded(0);
  } else if (mode == RecordMode::Counted) {
    CalcRecTime();
  }
  if (host_) host_->InitPanelGraph();
  InitRecordPanel();
}

void RecorderPage::CBF_EditInterval() {
  CalcRecTime();
}

void RecorderPage::CBF_EditRecVal() {
  CalcRecTime();
}

void RecorderPage::CBF_ButtonShowGraph() {
  context().panels.ShowChildPanelDisp(ChildPanel::GRAPHP);
}

// --- Recorder hooks -----------------------------------------------------------

std::uint16_t RecorderPage::recordMode() {
  return mode_->value();
}

void RecorderPage::frameRecorded() {
  if (host_) {
    host_->SetPanelGraphData();
    host_->showRecordedFrame();
  }
  emit recordedFrameShown();
}

void RecorderPage::countersChanged(const RecordCounters& counters) {
  switch (selectedMode()) {
    case RecordMode::Counted:
      showRecorded(counters.recorded);
      remaining_->setValue(counters.remaining);
      break;
    case RecordMode::Manual:
      showRecorded(counters.recorded);
      break;
    case RecordMode::Open:
    case RecordMode::Triggered: {
      const double shown =
          std::min(counters.runCounter, static_cast<double>(std::numeric_limits<int>::max()));
      runCounter_->setValue(static_cast<int>(shown));
      break;
    }
  }
}

}  // namespace drq::gui
