#include "gui/pages/ScopePage.h"

#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>

#include <cstring>

#include "core/ToolFiles.h"
#include "core/scope/ScopeMath.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/panels/ScopeGraphPanel.h"
#include "gui/panels/ScopePlot.h"
#include "gui/popups/Help.h"
#include "gui/printing/PanelPicture.h"
#include "gui/printing/ScopeReport.h"
#include "gui/widgets/ActivationReturn.h"
#include "gui/widgets/ValueRing.h"

namespace drq::gui {

namespace {

// Help texts of the page's controls.
constexpr const char* kHelpGetCycleTime =
    "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press the "
    "button.";
constexpr const char* kHelpScan = "Start data recording and display the result in the graph.";
constexpr const char* kHelpBreakScan = "Break data recording.";
constexpr const char* kHelpPrint = "Print settings,scope graph and comment.";
constexpr const char* kHelpTriggerMode =
    "Select trigger mode! \nSINGLE SHOT: Data recording starts after pushing SCAN. \nRISING EDGE: "
    "Data recording starts when blue line goes higher than TRIGGER LEVEL. \nFALLING EDGE: Data "
    "recording starts when blue line goes lower than TRIGGER LEVEL. \nINTERNAL C-No.0: Data "
    "recording starts when color number 0 is detected. \nEXTERNAL IN0: Data recording starts "
    "when IN0 goes high.";
constexpr const char* kHelpRecSignal = "Select the signal which should be recorded.";
constexpr const char* kHelpPreTrigger =
    "Number of recorded values \nwhich are stored before trigger occured.";
constexpr const char* kHelpTriggerLevel = "Record starts when blue line passes TRIGGER LEVEL.";
constexpr const char* kHelpScanRate = "Record a value every SCAN RATE scan.";
constexpr const char* kHelpScanFreq =
    "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the button.";
constexpr const char* kHelpCycleTime =
    "Sensor cycle time in [ms]. \nDon't interrupt the sensor for 8 seconds \nthen press GET "
    "CYCLE TIME.";
constexpr const char* kHelpSaveTrace =
    "Save the last record as a tab-separated text file: \nindex, red, green, blue and the "
    "digital states.";

// Printout messages.
constexpr const char* kTitleError = "ERROR";
constexpr const char* kTitleInfoPrint = "Info!";
constexpr const char* kReportFailed = "Could not initialize the report...";
constexpr const char* kPrintSuccessful = "Print successful!";
constexpr const char* kPrintError = "Print error ";

// Ranges and start values of the settings.
constexpr int kTriggerLevelMax = 10000;
constexpr int kTriggerLevelStart = 2000;
constexpr int kScanRateMax = 32767;

constexpr const char* kTraceFileName = "ScopeTrace.txt";

QSpinBox* newNumeric(const QString& name, const QString& accessible, int min, int max, int value,
                     QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setAccessibleName(accessible);
  spin->setRange(min, max);
  spin->setValue(value);
  spin->setKeyboardTracking(false);
  return spin;
}

QLineEdit* newDisplay(const QString& name, const QString& accessible, QWidget* parent) {
  auto* display = new QLineEdit(parent);
  display->setObjectName(name);
  display->setAccessibleName(accessible);
  display->setReadOnly(true);
  display->setAlignment(Qt::AlignRight);
  display->setText(QStringLiteral("0"));
  return display;
}

QPushButton* newButton(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

ScopePage::ScopePage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("SCOPE"), parent) {
  setObjectName(QStringLiteral("ScopePage"));
  connect(&context.operations, &Operations::endRequested, this, &ScopePage::abandonCapture);
  chooser_ = [](QPrinter& printer, QWidget* dialogParent) {
    const ActivationReturn keyboardBack(dialogParent);
    QPrintDialog dialog(&printer, dialogParent);
    dialog.setWindowTitle(QStringLiteral("Print scope graph"));
    return dialog.exec() == QDialog::Accepted;
  };
  buildControls();
  CBF_EditTriggerMode();
  showCycleTime();
}

void ScopePage::buildControls() {
  Popups& popups = context().popups;

  auto* settingsBox = new QGroupBox(QStringLiteral("RECORD SETTINGS"), this);
  auto* form = new QFormLayout(settingsBox);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

  triggerMode_ = new ValueRing(settingsBox);
  triggerMode_->setObjectName(QStringLiteral("EditTriggerMode"));
  triggerMode_->setAccessibleName(QStringLiteral("TRIGGER MODE"));
  triggerMode_->setItems({{QStringLiteral("SINGLE SHOT"), 0},
                          {QStringLiteral("RISING EDGE"), 1},
                          {QStringLiteral("FALLING EDGE"), 2},
                          {QStringLiteral("INTERNAL C-No.0"), 3},
                          {QStringLiteral("EXTERNAL IN0"), 4}});
  installHelp(triggerMode_, popups, QString::fromLatin1(kHelpTriggerMode));
  connect(triggerMode_, &ValueRing::valueCommitted, this, &ScopePage::CBF_EditTriggerMode);

  triggerLevel_ = newNumeric(QStringLiteral("EditTriggerLevel"), QStringLiteral("TRIGGER LEVEL"), 0,
                             kTriggerLevelMax, kTriggerLevelStart, settingsBox);
  installHelp(triggerLevel_, popups, QString::fromLatin1(kHelpTriggerLevel));

  preTrigger_ = newNumeric(QStringLiteral("EditPreTrigVal"), QStringLiteral("PRE TRIGGER"), 0,
                           static_cast<int>(kScopeSamples) - 1, 0, settingsBox);
  installHelp(preTrigger_, popups, QString::fromLatin1(kHelpPreTrigger));

  scanRate_ = newNumeric(QStringLiteral("EditScanRate"), QStringLiteral("SCAN RATE"), 1,
                         kScanRateMax, 1, settingsBox);
  installHelp(scanRate_, popups, QString::fromLatin1(kHelpScanRate));
  connect(scanRate_, &QSpinBox::valueChanged, this, &ScopePage::CBF_EditScanRate);

  recordedSignal_ = new ValueRing(settingsBox);
  recordedSignal_->setObjectName(QStringLiteral("EditScopeRecSignal"));
  recordedSignal_->setAccessibleName(QStringLiteral("RECORD SIGNAL"));
  recordedSignal_->setItems(
      {{QStringLiteral("RED GREEN BLUE"), 0}, {QStringLiteral("X Y INT / s i M"), 1}});
  installHelp(recordedSignal_, popups, QString::fromLatin1(kHelpRecSignal));

  form->addRow(QStringLiteral("TRIGGER MODE"), triggerMode_);
  form->addRow(QStringLiteral("TRIGGER LEVEL"), triggerLevel_);
  form->addRow(QStringLiteral("PRE TRIGGER"), preTrigger_);
  form->addRow(QStringLiteral("SCAN RATE"), scanRate_);
  form->addRow(QStringLiteral("RECORD SIGNAL"), recordedSignal_);

  // The sensor's cycle time, without a frame of its own (the page must fit the
  // default window's height).
  QWidget* sensorBox = this;
  auto* sensorGrid = new QGridLayout();
  sensorGrid->setContentsMargins(8, 0, 8, 0);
  cycleTime_ =
      newDisplay(QStringLiteral("DispCycleTime"), QStringLiteral("CYCLE TIME [ms]"), sensorBox);
  installHelp(cycleTime_, popups, QString::fromLatin1(kHelpCycleTime));
  scanFrequency_ =
      newDisplay(QStringLiteral("DispScanFreq"), QStringLiteral("SCAN FREQ. [Hz]"), sensorBox);
  installHelp(scanFrequency_, popups, QString::fromLatin1(kHelpScanFreq));
  getCycleTime_ =
      newButton(QStringLiteral("GET CYCLE TIME"), QStringLiteral("ButtonGetCycleTime"), sensorBox);
  installHelp(getCycleTime_, popups, QString::fromLatin1(kHelpGetCycleTime));
  connect(getCycleTime_, &QPushButton::clicked, this, &ScopePage::CBF_ButtonGetCycleTime);
  auto* cycleLabel = new QLabel(QStringLiteral("CYCLE TIME [ms]"), sensorBox);
  cycleLabel->setBuddy(cycleTime_);
  auto* frequencyLabel = new QLabel(QStringLiteral("SCAN FREQ. [Hz]"), sensorBox);
  frequencyLabel->setBuddy(scanFrequency_);
  sensorGrid->addWidget(cycleLabel, 0, 0);
  sensorGrid->addWidget(cycleTime_, 0, 1);
  sensorGrid->addWidget(frequencyLabel, 1, 0);
  sensorGrid->addWidget(scanFrequency_, 1, 1);
  sensorGrid->addWidget(getCycleTime_, 2, 0, 1, 2);

  scan_ = newButton(QStringLiteral("SCAN"), QStringLiteral("ButtonScan"), this);
  scan_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  installHelp(scan_, popups, QString::fromLatin1(kHelpScan));
  connect(scan_, &QPushButton::clicked, this, &ScopePage::CBF_ButtonScan);
  break_ = newButton(QStringLiteral("BREAK"), QStringLiteral("ButtonBreakScan"), this);
  installHelp(break_, popups, QString::fromLatin1(kHelpBreakScan));
  connect(break_, &QPushButton::clicked, this, &ScopePage::CBF_ButtonBreakScan);
  print_ = newButton(QStringLiteral("PRINT"), QStringLiteral("ButtonPrintScopeGraph"), this);
  installHelp(print_, popups, QString::fromLatin1(kHelpPrint));
  connect(print_, &QPushButton::clicked, this, &ScopePage::CBF_ButtonPrintScopeGraph);
  saveTrace_ =
      newButton(QStringLiteral("SAVE TRACE"), QStringLiteral("ButtonSaveScopeTrace"), this);
  installHelp(saveTrace_, popups, QString::fromLatin1(kHelpSaveTrace));
  connect(saveTrace_, &QPushButton::clicked, this, &ScopePage::CBF_ButtonSaveScopeTrace);

  auto* buttons = new QGridLayout();
  buttons->addWidget(scan_, 0, 0);
  buttons->addWidget(break_, 0, 1);
  buttons->addWidget(print_, 1, 0);
  buttons->addWidget(saveTrace_, 1, 1);

  comment_ = new QPlainTextEdit(this);
  comment_->setObjectName(QStringLiteral("EditScopeComment"));
  comment_->setAccessibleName(QStringLiteral("COMMENT"));
  comment_->setTabChangesFocus(true);
  comment_->setMinimumHeight(comment_->fontMetrics().height() * 2 + 8);
  comment_->setPlaceholderText(
      QStringLiteral("COMMENT (printed with the graph; a right double-click empties it)"));
  // No help: a right click opens the box's own menu (copy, paste, ...).
  installRightDoubleClickKeepingMenu(comment_, [this] { comment_->clear(); });

  pageLayout()->addWidget(settingsBox);
  pageLayout()->addLayout(sensorGrid);
  pageLayout()->addLayout(buttons);
  pageLayout()->addWidget(comment_, 1);
}

void ScopePage::attach(ScopeGraphPanel& graphs, ScopeHost& host) {
  graphs_ = &graphs;
  host_ = &host;
  connect(graphs_, &ScopeGraphPanel::cursorsChanged, this, &ScopePage::CBF_GraphScope);
  connect(graphs_, &ScopeGraphPanel::zoom11Requested, this, &ScopePage::initScopeGraph);
  connect(graphs_, &ScopeGraphPanel::closeRequested, this,
          [this] { context().panels.ShowChildPanelDisp(ChildPanel::DATAP); });
  initScopeGraph();
}

void ScopePage::registerOperationButtons(ButtonDimmer& dimmer) {
  for (QWidget* button : {getCycleTime_, scan_, break_}) {
    dimmer.add(ButtonDimmer::Group::Always, button);
  }
}

ScopeSettings ScopePage::captureSettings() const {
  ScopeSettings s;
  s.triggerLevel = static_cast<std::uint16_t>(triggerLevel_->value());
  s.triggerMode = triggerMode_->value();
  s.preTrigger = static_cast<std::int16_t>(preTrigger_->value());
  s.scanRate = static_cast<std::int16_t>(scanRate_->value());
  s.signal = recordedSignal_->value();
  return s;
}

// --- The operations -----------------------------------------------------------

void ScopePage::showCycleTime() {
  const double cycleTime = context().session.scope.cycleTime;
  cycleTime_->setText(QString::fromStdString(cycleTimeText(cycleTime)));
  scanFrequency_->setText(QString::fromStdString(scanFrequencyText(cycleTime)));
}

void ScopePage::GetCycleTime() {
  drq::GetCycleTime(context().session.link, context().session.scope);
  showCycleTime();
}

void ScopePage::calcScopDeltaXY() {
  if (!graphs_) return;
  const int scanRate = scanRate_->value();
  const ScopeCursor c1 = graphs_->analogueGraph().cursor(0);
  const ScopeCursor c2 = graphs_->analogueGraph().cursor(1);
  graphs_->moveDigitalCursors(c1.x, c2.x);
  const ScopeDeltas d = scopeDeltas(c1, c2, context().session.scope.cycleTime, scanRate);
  graphs_->showDeltas(QString::fromStdString(deltaXText(d.deltaX)),
                      QString::fromStdString(deltaYText(d.deltaY)));
}

void ScopePage::initScopeGraph() {
  if (!graphs_ || !host_) return;
  const std::uint16_t yMax = scopeYMaximum(recordedSignal_->value(), host_->calculationMode());
  graphs_->setAnalogueAxes(yMax);
  calcScopDeltaXY();
}

CaptureResult ScopePage::GetScopeData() {
  ScopeState& scope = context().session.scope;
  const CaptureResult result =
      drq::GetScopeData(context().session.link, captureSettings(), scope, [this, &scope] {
        break_->setEnabled(true);
        if (abandonRequested_) scope.captureRunning.clear();
      });
  if (result == CaptureResult::Captured && graphs_) graphs_->drawCapture(scope.traces);
  return result;
}

void ScopePage::BreakDataScan() {
  if (breaking_) return;
  breaking_ = true;
  breakSent_ = true;
  drq::BreakDataScan(context().session.link, context().session.scope);
  breaking_ = false;
}

// --- Callbacks ------------------------------------------------------------------

void ScopePage::CBF_ButtonGetCycleTime() {
  OperationGuard guard = context().operations.start(Operation::CycleTime);
  if (!guard) return;
  GetCycleTime();
  calcScopDeltaXY();
}

void ScopePage::CBF_ButtonScan() {
  OperationGuard guard = context().operations.start(Operation::ScopeCapture);
  if (!guard) return;
  scanning_ = true;
  abandonRequested_ = false;
  breakSent_ = false;
  initScopeGraph();
  if (graphs_) graphs_->setCaptureRunning(true);
  context().panels.ShowChildPanelDisp(ChildPanel::SCOPEP);
  GetScopeData();
  // Given up before the sensor's start answer was in: the start went out,
  // so the sensor is told to stop whether it accepted or not.
  if (abandonRequested_ && !breakSent_) BreakDataScan();
  if (graphs_) graphs_->setCaptureRunning(false);
  scanning_ = false;
}

void ScopePage::abandonCapture() {
  if (!scanning_ || abandonRequested_) return;
  abandonRequested_ = true;
  if (context().session.scope.captureRunning.isSet()) BreakDataScan();
}

void ScopePage::CBF_ButtonBreakScan() {
  // Live during a capture (a step of it); otherwise an operation of its own.
  OperationGuard guard =
      context().operations.startWithin(Operation::ScopeCapture, Operation::ScopeBreak);
  if (guard) BreakDataScan();
}

void ScopePage::CBF_ButtonPrintScopeGraph() {
  PrintScopeGraph();
}

void ScopePage::CBF_EditTriggerMode() {
  const std::uint16_t mode = triggerMode_->value();
  triggerLevel_->setEnabled(!(mode == 0 || mode == 3 || mode == 4));
  preTrigger_->setEnabled(mode != 0);
}

void ScopePage::CBF_EditScanRate() {
  calcScopDeltaXY();
}

void ScopePage::CBF_GraphScope() {
  calcScopDeltaXY();
}

// --- Printout and trace file ----------------------------------------------------

ScopeReport ScopePage::currentReport() {
  ScopeReport report;
  report.version = qStringFromLatin1(kScopeVersion);
  report.panelId = qStringFromUtf8(context().session.sensorId);
  report.comment = comment_->toPlainText().left(kReportCommentMax);
  if (graphs_) report.panel = sharpPicture(*graphs_);
  return report;
}

void ScopePage::PrintScopeGraph() {
  Popups& popups = context().popups;
  const ScopeReport report = currentReport();
  if (report.panel.isNull()) {
    popups.MessagePopup(QString::fromLatin1(kTitleError), QString::fromLatin1(kReportFailed));
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromLatin1(kReportTitle));
  if (!chooser_ || !chooser_(printer, window())) return;  // cancelled: nothing printed
  const int pages = paintScopeReport(report, printer, QDateTime::currentDateTime());
  popups.MessagePopup(QString::fromLatin1(kTitleInfoPrint),
                      QString::fromLatin1(pages > 0 ? kPrintSuccessful : kPrintError));
}

files::FileWriteResult ScopePage::saveTrace(const QString& file) {
  return writeTraceFile(pathFromQString(file), context().session.scope.traces);
}

void ScopePage::CBF_ButtonSaveScopeTrace() {
  Popups& popups = context().popups;
  FileSelectRequest request;
  request.directory = qStringFromPath(context().session.programDir);
  request.defaultName = QString::fromLatin1(kTraceFileName);
  request.filter = QStringLiteral("*.txt");
  request.title = QStringLiteral("Save scope trace");
  const FileSelection chosen = popups.FileSelectPopup(request);
  if (chosen.result == 0 || chosen.path.isEmpty()) return;
  if (const files::FileWriteResult written = saveTrace(chosen.path); !written.ok()) {
    popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                        QStringLiteral("COULD NOT WRITE THE TRACE FILE!\n") + chosen.path +
                            QStringLiteral("\n") + qStringFromUtf8(files::failureReason(written)));
  }
}

}  // namespace drq::gui
