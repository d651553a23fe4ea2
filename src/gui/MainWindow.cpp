#include "gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "core/ini/IniStore.h"
#include "core/params/ParaTransfer.h"
#include "gui/HardwareFileOperation.h"
#include "gui/HeaderBar.h"
#include "gui/Help.h"
#include "gui/LinkControl.h"
#include "gui/LiveDisplayWiring.h"
#include "gui/ModeRulesApplier.h"
#include "gui/ParameterFileTransfer.h"
#include "gui/SideTabBar.h"
#include "gui/TeachOperations.h"
#include "gui/TeachPanelBridge.h"
#include "gui/TextConversion.h"
#include "gui/Texts.h"
#include "gui/TransferBar.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/OffsetPage.h"
#include "gui/pages/ParameterPage.h"
#include "gui/pages/RecorderDisplays.h"
#include "gui/pages/RecorderPage.h"
#include "gui/pages/ScopePage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/GraphTeachPanel.h"
#include "gui/panels/MeanTeachPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/panels/ScopeGraphPanel.h"
#include "gui/panels/SignalGraphPanel.h"
#include "gui/panels/data/IntensityChartPage.h"

namespace drq::gui {

namespace {

// Width of the column with the tab control at the default size: the display
// area starts 286 pixels from the left, as operators know it, plus the room
// the side tabs take.
constexpr int kControlColumnWidth = 380;

// Values from the sensor or a file that a control cannot show (title
// "ATTENTION!"), followed by one line per value: "POWER 1500 -> 1000".
// The panel settings file could not be written (title "ATTENTION!"),
// followed by the path and the reason.
constexpr const char* kMsgSettingsNotWritten =
    "The panel settings could not be stored! \nThe previous settings are kept in:\n\n";

constexpr const char* kMsgValuesLimited =
    "Following parameters are out of range \nand were set to the nearest allowed value:\n\n";

}  // namespace

MainWindow::MainWindow(Session& session, Popups& popups, StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      context_{session, popups, dimmer_, *this},
      options_(std::move(options)),
      settingsFile_(settings::panelSettingsPath(options_.programDir)) {
  setObjectName(QStringLiteral("MAINP"));
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  buildWindow();
  modeRules_ = std::make_unique<ModeRulesApplier>(static_cast<ModeRulesHost&>(*this), context_);
  teachOperations_ =
      std::make_unique<TeachOperations>(static_cast<TeachHost&>(*this), *teachTablePage_, context_);
  teachPanels_ = std::make_unique<TeachPanelBridge>(
      context_,
      TeachPanelBridge::Parts{static_cast<TeachHost&>(*this), *teachTablePage_, *teachOperations_,
                              *modeRules_, *live_, *meanTeachPanel_, *graphTeachPanel_});
  // Every page and panel maps the controls the mode rules name.
  RuleControls& rules = modeRules_->controls();
  for (TabPage* page : pages_) page->registerRuleControls(rules);
  transferBar_->registerRuleControls(rules);
  dataPanel_->registerRuleControls(rules);
  for (ChildPanelWidget* panel : {static_cast<ChildPanelWidget*>(meanTeachPanel_),
                                  static_cast<ChildPanelWidget*>(graphTeachPanel_),
                                  static_cast<ChildPanelWidget*>(scopeGraphPanel_)}) {
    panel->registerRuleControls(rules);
  }
  // The big displays are opened by the operator; the rules only close them.
  rules.add(PanelControl::BigGroupDisplay, {.show = [this](bool on) {
              if (!on) bigGroup_->hide();
            }});
  rules.add(PanelControl::BigColorDisplay, {.show = [this](bool on) {
              if (!on) bigColor_->hide();
            }});
  connectPanels();
  resize(kDefaultWidth, kDefaultHeight);
  session.link.setFailureReport(connectionPage_);
}

MainWindow::~MainWindow() {
  context_.session.link.setFailureReport(nullptr);
}

void MainWindow::buildWindow() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("MainBackground"));
  setCentralWidget(central);

  header_ = new HeaderBar(central);

  tabs_ = new SideTabWidget();
  tabs_->setObjectName(QStringLiteral("TabMain1"));

  connectionPage_ = new ConnectionPage(context_, *this);
  parameterPage_ = new ParameterPage(context_);
  groupHoldPage_ = new GroupHoldPage(context_);
  teachTablePage_ = new TeachTablePage(context_);
  recorderPage_ = new RecorderPage(context_);
  calibrationPage_ = new CalibrationPage(context_);
  tableAttributesPage_ = new TableAttributesPage(context_);
  scopePage_ = new ScopePage(context_);
  offsetPage_ = new OffsetPage(context_);
  pages_ = {connectionPage_,  parameterPage_,       groupHoldPage_, teachTablePage_, recorderPage_,
            calibrationPage_, tableAttributesPage_, scopePage_,     offsetPage_};
  for (TabPage* page : pages_) tabs_->addTab(page, page->tabLabel());
  installHelp(tabs_->tabBar(), context_.popups, QString::fromLatin1(kHelpSelectTab));
  tabs_->setAccessibleName(QStringLiteral("pages"));
  // Alt+1 .. Alt+9 open the pages from the keyboard (a hidden page stays hidden).
  for (int page = 0; page < kMainPageCount && page < 9; ++page) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + page)),
                                   this, nullptr, nullptr, Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, page] {
      if (tabs_->isTabVisible(page) && tabs_->isTabEnabled(page)) setActivePage(page);
    });
  }

  transferBar_ = new TransferBar(context_);

  auto* controlColumn = new QWidget();
  controlColumn->setObjectName(QStringLiteral("ControlColumn"));
  auto* controlLayout = new QVBoxLayout(controlColumn);
  controlLayout->setContentsMargins(6, 6, 3, 6);
  controlLayout->setSpacing(6);
  controlLayout->addWidget(tabs_, 1);
  controlLayout->addWidget(transferBar_);

  displayArea_ = new QStackedWidget();
  displayArea_->setObjectName(QStringLiteral("DisplayArea"));
  dataPanel_ = new DataPanel(context_);
  signalGraphPanel_ = new SignalGraphPanel(context_);
  meanTeachPanel_ = new MeanTeachPanel(context_);
  graphTeachPanel_ = new GraphTeachPanel(context_);
  scopeGraphPanel_ = new ScopeGraphPanel(context_);
  for (QWidget* panel :
       {static_cast<QWidget*>(dataPanel_), static_cast<QWidget*>(signalGraphPanel_),
        static_cast<QWidget*>(meanTeachPanel_), static_cast<QWidget*>(graphTeachPanel_),
        static_cast<QWidget*>(scopeGraphPanel_)}) {
    displayArea_->addWidget(panel);
  }

  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setObjectName(QStringLiteral("MainSplitter"));
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(controlColumn);
  splitter_->addWidget(displayArea_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({kControlColumnWidth, kDefaultWidth - kControlColumnWidth});

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header_);
  layout->addWidget(splitter_, 1);

  bigColor_ = new BigColorPanel(this);
  bigGroup_ = new BigGroupPanel(this);
  password_ = new PasswordPanel(context_.popups, this);
  bigColor_->hide();
  bigGroup_->hide();
  password_->hide();

  for (TabPage* page : pages_) page->registerOperationButtons(dimmer_);
  transferBar_->registerOperationButtons(dimmer_);
  for (ChildPanelWidget* panel : {static_cast<ChildPanelWidget*>(meanTeachPanel_),
                                  static_cast<ChildPanelWidget*>(graphTeachPanel_),
                                  static_cast<ChildPanelWidget*>(scopeGraphPanel_)}) {
    panel->registerOperationButtons(dimmer_);
  }

  live_ = new LiveMonitor(context_.session, dimmer_, *this, this);
  connectLiveDisplays(*live_, *dataPanel_, *calibrationPage_, *tableAttributesPage_, *bigColor_,
                      *bigGroup_, *signalGraphPanel_, *meanTeachPanel_);
  recorderPage_->setHost(new RecorderDisplays(*signalGraphPanel_, *live_, recorderPage_));
}

void MainWindow::connectPanels() {
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::CBF_TabMain1);
  connect(dataPanel_, &DataPanel::clearMessagesRequested, connectionPage_,
          &ConnectionPage::clearMessages);
  connect(calibrationPage_, &CalibrationPage::passwordRequested, password_,
          &PasswordPanel::openPopup);
  connect(password_, &PasswordPanel::unlocked, this, [this] {
    setPageVisible(kPageOffset, true);
    setActivePage(kPageOffset);
  });
  // The parameter page becomes active before the offset page is hidden, so
  // that the tab never passes through another page (the scope page would
  // stop a running acquisition and take the display area).
  // Calibration: a GetCF on either page shows the factors on the one and the
  // offsets on the other; the white calibration ends in GO.
  connect(calibrationPage_, &CalibrationPage::calibrationRead, offsetPage_,
          &OffsetPage::showCalibration);
  connect(offsetPage_, &OffsetPage::calibrationRead, calibrationPage_,
          &CalibrationPage::showCalibration);
  connect(calibrationPage_, &CalibrationPage::liveAcquisitionRequested, live_,
          &LiveMonitor::CBF_ButtonGo);
  hardwareFile_ = std::make_unique<HardwareFileOperation>(
      context_, *calibrationPage_, *offsetPage_,
      HardwareFileWindow{[this] { getParametersFromSensor(); }, [this] { GetPanelValues(); },
                         [this](const QString& text) { connectionPage_->appendMessage(text); }});
  connect(connectionPage_, &ConnectionPage::hardwareFileRequested, this,
          [this] { hardwareFile_->GenerateHWInfoFile(); });
  connect(offsetPage_, &OffsetPage::closeRequested, this, [this] {
    setActivePage(kPageParameter);
    setPageVisible(kPageOffset, false);
  });
  connect(transferBar_, &TransferBar::sendToSensorRequested, this,
          &MainWindow::sendParametersToSensor);
  connect(transferBar_, &TransferBar::getFromSensorRequested, this,
          &MainWindow::getParametersFromSensor);
  connect(transferBar_, &TransferBar::sendToFileRequested, this, &MainWindow::sendParametersToFile);
  connect(transferBar_, &TransferBar::getFromFileRequested, this,
          &MainWindow::getParametersFromFile);
  // An edited teach cell reaches the working set at once (teaching and the
  // graphs work on it); the teach figures and the graphs follow. The
  // selection operations of its menu do the same.
  connect(teachTablePage_, &TeachTablePage::teachTableEdited, this, &MainWindow::teachTableChanged);
  connect(teachTablePage_, &TeachTablePage::selectionEdited, this, &MainWindow::teachTableChanged);
  // Row colours set on the table attributes page reach every table and the
  // graphs; the colour patch belongs to the automatic row colours.
  connect(tableAttributesPage_, &TableAttributesPage::rowColorsChanged, this,
          &MainWindow::applyRowColors);
  connect(tableAttributesPage_, &TableAttributesPage::colorPatchShown, dataPanel_->colorPatch(),
          &QWidget::setVisible);
  tableAttributesPage_->InitSrcPanel();
  // No. committed: the intensity band of that row, as the table shows it.
  connect(teachTablePage_, &TeachTablePage::teachRowChosen, this, [this](int row) {
    TeachTable shown = context_.session.working.table;
    readTeachTableControl(shown);
    live_->InitGraphInt2(shown, row);
  });
  connect(teachTablePage_, &TeachTablePage::teachDataToRequested, this,
          [this] { teachOperations_->TeachDataTo(); });
  connect(teachTablePage_, &TeachTablePage::tableReset, dataPanel_, &DataPanel::clearTeachFigures);
  connect(teachTablePage_, &TeachTablePage::meanValueTeachRequested, this,
          [this] { teachPanels_->openMeanValueTeach(); });
  connect(teachTablePage_, &TeachTablePage::graphTeachRequested, this,
          [this] { teachPanels_->openGraphTeach(); });
  // The mode rules.
  connect(parameterPage_, &ParameterPage::modeControlCommitted, this,
          &MainWindow::modeControlCommitted);
  connect(groupHoldPage_, &GroupHoldPage::modeControlCommitted, this,
          &MainWindow::modeControlCommitted);
  connect(groupHoldPage_, &GroupHoldPage::groupCellCommitted, this,
          &MainWindow::groupCellCommitted);
  // Live monitoring.
  connect(transferBar_, &TransferBar::goRequested, live_, &LiveMonitor::CBF_ButtonGo);
  connect(live_, &LiveMonitor::loopEnded, this, [this] {
    if (endAfterLoop_) emit programEndRequested();
  });
  connect(graphTeachPanel_, &GraphTeachPanel::recordingEnded, this, [this] {
    if (endAfterLoop_) emit programEndRequested();
  });
  connect(recorderPage_, &RecorderPage::recordingEnded, this, [this] {
    if (endAfterLoop_) emit programEndRequested();
  });
  connect(dataPanel_, &DataPanel::bigColorRequested, bigColor_, &BigDisplayPanel::showDisplay);
  connect(dataPanel_, &DataPanel::bigGroupRequested, bigGroup_, &BigDisplayPanel::showDisplay);
  // The scope page drives SCOPEP.
  scopePage_->attach(*scopeGraphPanel_, static_cast<ScopeHost&>(*this));
  connect(scopePage_, &ScopePage::scanEnded, this, [this] {
    if (endAfterLoop_) emit programEndRequested();
  });
}

// --- Start and end ------------------------------------------------------------

void MainWindow::InitAll() {
  starting_ = true;
  startUp();
  starting_ = false;
  // Closed while the first connection was being made: the program ends as a
  // close ends it (the settings were stored then), without the event loop.
  if (closedDuringStart_) quitRequested_ = true;
}

void MainWindow::startUp() {
  Session& session = context_.session;
  // 1. The program-wide state.
  session.link.state().tcpConnected = false;
  session.target = TransferTarget::Ram;
  session.selectedSet = 0;
  session.RunFlag.clear();
  session.pendingSend = false;
  session.pendingGet = false;
  transferBar_->showSelection();
  // 2.-6. The pages, the settings path and the password field exist since
  // the window was built.
  // 7. Logo and title lines.
  std::vector<std::filesystem::path> logoDirs{options_.programDir};
  logoDirs.insert(logoDirs.end(), options_.logoDirs.begin(), options_.logoDirs.end());
  header_->ShowLogo(logoDirs);
  // 8. The parameter page into the working parameter set.
  GetPanelValues();
  // 9.-10. The address list exists; apply the panel settings file.
  LoadPanelSettings();
  // 11. Start pages.
  setActivePage(kPageParameter);
  dataPanel_->pages()->setCurrentIndex(kDataPage3dGraph);
  setPageVisible(kPageOffset, false);
  // The mode rules on the start-up values, as after a Get: ParaSet1 must not
  // be usable while TRIGGER is not PARA, even before the first Get (a set
  // chosen offline would otherwise be read and then written into the other).
  InitPanelCtrlAttr();
  // 12. The display panel, and the window.
  ShowChildPanelDisp(ChildPanel::DATAP);
  show();
  // 13. The first connection.
  storedConnection_ = connectionPage_->GetConnectionSettingsFromFile(settingsFile_);
  if (options_.demo) {
    settings::ConnectionSettings demo = storedConnection_;
    demo.protocol = kProtocolTcp;
    demo.serverAddress = utf8FromQString(options_.demo->address);
    demo.portNumber = std::to_string(options_.demo->port);
    connectionPage_->setConnectionSettings(demo);
  }
  connectionPage_->InitConnectPanel();
  if (!options_.connectAtStart) {
    connectionPage_->Disconnect();
    return;
  }
  dimmer_.SetButtonsDimmed(false, true);
  connectionPage_->TryToConnect();
  if (session.link.state().linkUp) dimmer_.SetButtonsDimmed(false, false);
}

void MainWindow::CleanUp() {
  SensorLink& link = context_.session.link;
  if (link.state().tcpConnected) DisconnectFromTCPServer(link);
  CloseCom(link);
}

void MainWindow::requestQuit() {
  quitRequested_ = true;
  emit programEndRequested();
}

void MainWindow::CBF_MAINP(PanelEvent event) {
  switch (event) {
    case PanelEvent::Close:
      context_.session.RunFlag.clear();
      StorePanelSettings();
      // Closing during GO or a recording: the loop ends after the frame in
      // flight, and the program ends once its callback has returned (ending the event
      // loops under it would leave its wait unable to finish).
      if (starting_) {
        // During the first connection: ending the event loops now would
        // cut the pending wait short and leave the program without a
        // window; InitAll ends the program once the wait has returned.
        closedDuringStart_ = true;
      } else if (live_->isRunning() || recorderPage_->isRecording() ||
                 graphTeachPanel_->isRecording()) {
        endAfterLoop_ = true;
      } else if (scopePage_->isScanning()) {
        endAfterLoop_ = true;
        scopePage_->abandonCapture();
      } else {
        emit programEndRequested();
      }
      break;
    case PanelEvent::RightDoubleClick:
      restoreDefaultSize();
      break;
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  CBF_MAINP(PanelEvent::Close);
  bigColor_->hide();
  bigGroup_->hide();
  event->accept();
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    CBF_MAINP(PanelEvent::RightDoubleClick);
    event->accept();
    return;
  }
  QMainWindow::mouseDoubleClickEvent(event);
}

void MainWindow::restoreDefaultSize() {
  if (isMaximized() || isMinimized() || isFullScreen()) showNormal();
  resize(kDefaultWidth, kDefaultHeight);
  QScreen* current = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!current) return;
  QRect frame = frameGeometry();
  frame.moveCenter(current->availableGeometry().center());
  move(frame.topLeft());
}

// --- Pages and child panels ---------------------------------------------------

void MainWindow::setActivePage(int page) {
  if (page < 0 || page >= kMainPageCount) return;
  tabs_->setCurrentIndex(page);
}

void MainWindow::CBF_TabMain1(int index) {
  Session& session = context_.session;
  switch (index) {
    case kPageRecorder:
      recorderPage_->prepareOnActivation();
      break;
    case kPageConnection:
      session.RunFlag.clear();
      connectionPage_->dimLinkButtons();
      break;
    case kPageScope:
      session.RunFlag.clear();
      ShowChildPanelDisp(ChildPanel::SCOPEP);
      break;
    default:
      break;
  }
}

QWidget* MainWindow::childPanelWidget(ChildPanel panel) const {
  switch (panel) {
    case ChildPanel::DATAP:
      return dataPanel_;
    case ChildPanel::GRAPHP:
      return signalGraphPanel_;
    case ChildPanel::TEACHP1:
      return meanTeachPanel_;
    case ChildPanel::TEACHP2:
      return graphTeachPanel_;
    case ChildPanel::SCOPEP:
      return scopeGraphPanel_;
  }
  return nullptr;
}

void MainWindow::ShowChildPanelDisp(ChildPanel panel) {
  currentChild_ = panel;
  QWidget* widget = childPanelWidget(panel);
  displayArea_->setCurrentWidget(widget ? widget : dataPanel_);
}

// --- Panel settings file ------------------------------------------------------

settings::WindowPlacement MainWindow::windowPlacement() const {
  settings::WindowPlacement placement;
  placement.zoom = isMaximized()   ? settings::kZoomMaximized
                   : isMinimized() ? settings::kZoomMinimized
                                   : settings::kZoomNormal;
  const QRect area = geometry();
  placement.left = area.x();
  placement.top = area.y();
  placement.width = area.width();
  placement.height = area.height();
  return placement;
}

void MainWindow::applyWindowPlacement(const settings::WindowPlacement& placement) {
  if (placement.zoom == settings::kZoomMaximized) {
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  QRect area(placement.left, placement.top, placement.width, placement.height);
  // A placement from another screen set-up would leave the window out of
  // sight: it then keeps its size at the default position.
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(area)) onScreen = true;
  }
  if (!onScreen) {
    const settings::WindowPlacement defaults;
    area.moveTo(defaults.left, defaults.top);
  }
  setGeometry(area);
}

void MainWindow::LoadPanelSettings() {
  Session& session = context_.session;
  settings::PanelSettings loaded;
  const bool used = settings::loadPanelSettingsFile(settingsFile_, options_.programDir, loaded);

  session.sensorId = loaded.sensorId;
  session.parameterFile = loaded.paths.parameterFile;
  session.recordFile = loaded.paths.recordFile;
  session.hardwareFile = loaded.paths.hardwareFile;
  session.tableAttributesFile = loaded.paths.tableAttributesFile;
  session.RowColors = loaded.rowColors;
  tableAttributesPage_->takeRowAttributes(loaded.rowColors, loaded.rowSpecs);
  connectionPage_->clearRecentAddresses();
  if (used) {
    if (loaded.window) applyWindowPlacement(*loaded.window);
    for (const auto& address : loaded.recentAddresses) {
      connectionPage_->appendRecentAddress(qStringFromUtf8(address));
    }
  }
  storedRecentAddresses_ = loaded.recentAddresses;

  const QString sensorId = qStringFromUtf8(session.sensorId);
  recorderPage_->showRecordFile(qStringFromPath(session.recordFile));
  connectionPage_->setSensorId(sensorId);
  recorderPage_->setSensorId(sensorId);
  bigColor_->setSensorId(sensorId);
  bigGroup_->setSensorId(sensorId);
  applyRowColors();
}

void MainWindow::StorePanelSettings() {
  Session& session = context_.session;
  session.sensorId = utf8FromQString(connectionPage_->sensorId());

  settings::PanelSettings out;
  out.sensorId = session.sensorId;
  out.paths = {session.parameterFile, session.recordFile, session.hardwareFile,
               session.tableAttributesFile};
  out.recentAddresses = options_.demo ? storedRecentAddresses_ : connectionPage_->recentAddresses();
  tableAttributesPage_->readRowAttributes(out.rowColors, out.rowSpecs);
  const settings::ConnectionSettings connection =
      options_.demo ? storedConnection_ : connectionPage_->connectionSettings();
  // A failed write keeps the previous file; the operator is told where and
  // why, as for the parameter file.
  const int status =
      settings::writePanelSettingsFile(settingsFile_, out, windowPlacement(), connection);
  if (status < 0) {
    context_.popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                                 QString::fromLatin1(kMsgSettingsNotWritten) +
                                     qStringFromPath(settingsFile_) + QStringLiteral("\n\n") +
                                     QString::fromStdString(ini::iniWriteFailureReason(status)));
  }
}

void MainWindow::applyRowColors() {
  for (TabPage* page : pages_) page->applyRowColors(context_.session.RowColors);
  live_->InitGraphs();
}

// --- Connection host ------------------------------------------------------------

void MainWindow::showSensorStatus(const QString& value) {
  dataPanel_->setStatus(value);
}

void MainWindow::setSensorStatusLabel(const QString& label) {
  dataPanel_->setStatusLabel(label);
}

void MainWindow::showLinkTarget(bool serial, const QString& comPort, const QString& address) {
  dataPanel_->showLinkTarget(serial, comPort, address);
}

void MainWindow::selectFileTarget() {
  transferBar_->selectFileTarget();
}

void MainWindow::undimSendGet() {
  transferBar_->setSendGetEnabled(true);
}

void MainWindow::sensorIdChanged(const QString& text) {
  recorderPage_->setSensorId(text);
  bigColor_->setSensorId(text);
  bigGroup_->setSensorId(text);
}

void MainWindow::readSensorParameters() {
  getParametersFromSensor();
}

// --- Parameter transfers ----------------------------------------------------------

void MainWindow::GetPanelValues() {
  for (TabPage* page : pages_) page->GetPanelValues(context_.session.working);
}

void MainWindow::SetPanelValues() {
  for (TabPage* page : pages_) page->SetPanelValues(context_.session.working);
}

void MainWindow::sendParametersToSensor() {
  GetPanelValues();
  SendPara(context_.session);
}

void MainWindow::getParametersFromSensor() {
  const auto notice = [this](std::string_view text) {
    setActivePage(kPageConnection);
    connectionPage_->appendMessage(qStringFromUtf8(text));
  };
  if (GetPara(context_.session, notice) != 1) return;
  // Closed while the start-up Get ran: the program ends; nothing more to show.
  if (closedDuringStart_) return;
  refreshPanelsFromWorkingSet();
}

void MainWindow::sendParametersToFile() {
  SendParaToFile(context_.session, context_.popups, [this] { GetPanelValues(); });
}

void MainWindow::getParametersFromFile() {
  ReadParaFromFile(context_.session, context_.popups, [this] { refreshPanelsFromWorkingSet(); });
}

void MainWindow::refreshPanelsFromWorkingSet() {
  SetPanelValues();
  const QStringList& limited = parameterPage_->limitedValues();
  if (!limited.isEmpty()) {
    context_.popups.MessagePopup(
        QString::fromLatin1(kTitleAttention),
        QString::fromLatin1(kMsgValuesLimited) + limited.join('\n') + QLatin1Char('\n'));
  }
  InitPanelCtrlAttr();
  live_->InitGraphs();
  live_->ShowGraph();
  emit parametersLoaded();
}

// --- Mode rules ---------------------------------------------------------------------

void MainWindow::InitPanelCtrlAttr() {
  modeRules_->InitPanelCtrlAttr();
}

void MainWindow::modeControlCommitted(int word) {
  if (word == static_cast<int>(ParaWord::CalculationMode)) {
    calculationModeCommitted();
    return;
  }
  InitPanelCtrlAttr();
}

void MainWindow::calculationModeCommitted() {
  teachOperations_->SortTableTolerance();
  InitPanelCtrlAttr();
  GetPanelValues();
  live_->InitGraphs();
}

void MainWindow::groupCellCommitted() {
  InitPanelCtrlAttr();
  setActivePage(kPageGroupHold);
}

void MainWindow::teachTableChanged() {
  GetPanelValues();
  live_->InitGraphs();
  live_->ShowGraph();
}

// --- Live host --------------------------------------------------------------------

void MainWindow::showDisplayPanelForLive() {
  if (currentChild_ != ChildPanel::TEACHP1) ShowChildPanelDisp(ChildPanel::DATAP);
}

int MainWindow::selectedTeachRow() const {
  return teachTablePage_->rowNumber()->value();
}

void MainWindow::readTeachTableControl(TeachTable& table) const {
  ParaSet shown;
  shown.table = table;
  teachTablePage_->GetPanelValues(shown);
  table = shown.table;
}

// --- Mode rules host ------------------------------------------------------------

void MainWindow::readRuleInputs(PanelState& state) {
  parameterPage_->GetPanelValues(state.values);
  groupHoldPage_->GetPanelValues(state.values);
  state.triggerRingItems = parameterPage_->triggerRingItems();
  state.activeDataPage = dataPanel_->pages()->currentIndex();
}

void MainWindow::setTriggerRingItems(std::size_t count) {
  parameterPage_->setTriggerRingItems(count);
}

void MainWindow::showGroupCell(const GroupCellState& cell) {
  groupHoldPage_->showGroupCell(cell);
}

void MainWindow::showSelectedSet() {
  transferBar_->showSelection();
}

void MainWindow::setActiveDataPage(int page) {
  dataPanel_->pages()->setCurrentIndex(page);
}

void MainWindow::colorRowLabels(const RowLabelPlan& plan) {
  for (TabPage* page : pages_) page->colorRowLabels(plan);
}

void MainWindow::applyIntensityRanges(const std::array<ChartRange, 3>& ranges) {
  dataPanel_->intensityChartPage().applyModeRanges(ranges);
}

void MainWindow::refreshDisplayNames() {
  live_->SetDispNames();
}

// --- Teach host -------------------------------------------------------------------

void MainWindow::readShownValues(LiveFrame& frame) const {
  dataPanel_->readShownValues(frame);
}

std::uint16_t MainWindow::parameterControlValue(ParaWord word) const {
  return parameterPage_->controlValue(word);
}

void MainWindow::InitGraphs() {
  live_->InitGraphs();
}

bool MainWindow::automaticRowColors() const {
  return tableAttributesPage_->automaticRowColors();
}

}  // namespace drq::gui
