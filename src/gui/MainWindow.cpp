#include "gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include <cstdio>

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
#include "gui/shell/ModeRulesWiring.h"
#include "gui/shell/PanelSettingsBinding.h"
#include "gui/shell/WindowGeometry.h"

namespace drq::gui {

namespace {

// Width of the column with the tab control at the default size: the display
// area starts 286 pixels from the left, as operators know it, plus the room
// the side tabs take.
constexpr int kControlColumnWidth = 380;

// Values from the sensor or a file that a control cannot show (title
// "ATTENTION!"), followed by one line per value: "POWER 1500 -> 1000".
constexpr const char* kMsgValuesLimited =
    "Following parameters are out of range \nand were set to the nearest allowed value:\n\n";

}  // namespace

MainWindow::MainWindow(Session& session, Popups& popups, StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      operations_(session.RunFlag, session.link),
      quietPopups_(popups, operations_),
      context_{session, quietPopups_, operations_, *this},
      options_(std::move(options)) {
  setObjectName(QStringLiteral("MAINP"));
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  buildWindow();
  settings_ = std::make_unique<PanelSettingsBinding>(
      context_, options_.programDir, options_.demo.has_value(),
      PanelSettingsBinding::Parts{*this, *connectionPage_, *recorderPage_, *tableAttributesPage_,
                                  *bigColor_, *bigGroup_});
  modeRulesWiring_ = std::make_unique<ModeRulesWiring>(
      ModeRulesWiring::Parts{*parameterPage_, *groupHoldPage_, *transferBar_, *dataPanel_, *live_,
                             pages_, [this](int page) { setActivePage(page); }});
  modeRules_ = std::make_unique<ModeRulesApplier>(*modeRulesWiring_, context_);
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
  for (ChildPanelWidget* panel : panelWidgets_) panel->registerRuleControls(rules);
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
  childPanels_ = {dataPanel_, signalGraphPanel_, meanTeachPanel_, graphTeachPanel_,
                  scopeGraphPanel_};
  panelWidgets_ = {meanTeachPanel_, graphTeachPanel_, scopeGraphPanel_};
  for (QWidget* panel : childPanels_) displayArea_->addWidget(panel);

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

  ButtonDimmer& dimmer = operations_.dimmer();
  for (TabPage* page : pages_) page->registerOperationButtons(dimmer);
  transferBar_->registerOperationButtons(dimmer);
  for (ChildPanelWidget* panel : panelWidgets_) panel->registerOperationButtons(dimmer);

  live_ = new LiveMonitor(context_.session, operations_, *this, this);
  connectLiveDisplays(*live_, *dataPanel_, *calibrationPage_, *tableAttributesPage_, *bigColor_,
                      *bigGroup_, *signalGraphPanel_, *meanTeachPanel_);
  recorderPage_->setHost(new RecorderDisplays(*signalGraphPanel_, *live_, recorderPage_));
}

void MainWindow::connectPanels() {
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::CBF_TabMain1);
  // The connection page's state on the display panel, the transfer bar and
  // the pages that show the sensor ID.
  connect(connectionPage_, &ConnectionPage::sensorStatusShown, dataPanel_, &DataPanel::setStatus);
  connect(connectionPage_, &ConnectionPage::sensorStatusLabelShown, dataPanel_,
          &DataPanel::setStatusLabel);
  connect(connectionPage_, &ConnectionPage::linkTargetShown, dataPanel_,
          &DataPanel::showLinkTarget);
  connect(connectionPage_, &ConnectionPage::fileTargetSelected, transferBar_,
          &TransferBar::selectFileTarget);
  connect(connectionPage_, &ConnectionPage::sendGetUndimmed, transferBar_,
          [this] { transferBar_->setSendGetEnabled(true); });
  connect(connectionPage_, &ConnectionPage::sensorIdEdited, recorderPage_,
          &RecorderPage::setSensorId);
  connect(connectionPage_, &ConnectionPage::sensorIdEdited, bigColor_,
          &BigDisplayPanel::setSensorId);
  connect(connectionPage_, &ConnectionPage::sensorIdEdited, bigGroup_,
          &BigDisplayPanel::setSensorId);
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
  connect(dataPanel_, &DataPanel::bigColorRequested, bigColor_, &BigDisplayPanel::showDisplay);
  connect(dataPanel_, &DataPanel::bigGroupRequested, bigGroup_, &BigDisplayPanel::showDisplay);
  // The scope page drives SCOPEP.
  scopePage_->attach(*scopeGraphPanel_, static_cast<ScopeHost&>(*this));
  // Closed while an operation ran: the program ends once it has returned.
  connect(&operations_, &Operations::programEnd, this, &MainWindow::programEndRequested);
}

// --- Start and end ------------------------------------------------------------

void MainWindow::InitAll() {
  startUp();
  // Closed while the first connection was being made: the program ends as a
  // close ends it (the settings were stored then), without the event loop.
  if (operations_.ending()) quitRequested_ = true;
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
  const settings::ConnectionSettings stored = settings_->loadConnectionSettings();
  if (options_.demo) {
    settings::ConnectionSettings demo = stored;
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
  connectionPage_->CBF_ButtonTryToConnect();
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
      if (operations_.ending()) break;
      // While an operation runs, the exchange in flight finishes (ending the
      // event loops under it would cut its wait short), only the stop its own
      // end needs goes out, nothing is asked, and the program ends once the
      // operation has returned (programEnd). Otherwise it ends at once.
      if (operations_.busy()) {
        operations_.endProgram();
        StorePanelSettings();
      } else {
        context_.session.RunFlag.clear();
        StorePanelSettings();
        operations_.endProgram();
      }
      break;
    case PanelEvent::RightDoubleClick:
      restoreSize(*this, QSize(kDefaultWidth, kDefaultHeight));
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
  const auto index = static_cast<std::size_t>(panel);
  return index < childPanels_.size() ? childPanels_[index] : nullptr;
}

void MainWindow::ShowChildPanelDisp(ChildPanel panel) {
  currentChild_ = panel;
  QWidget* widget = childPanelWidget(panel);
  displayArea_->setCurrentWidget(widget ? widget : dataPanel_);
}

// --- Panel settings file ------------------------------------------------------

void MainWindow::LoadPanelSettings() {
  settings_->LoadPanelSettings();
  applyRowColors();
}

void MainWindow::StorePanelSettings() {
  settings_->StorePanelSettings();
}

void MainWindow::applyRowColors() {
  for (TabPage* page : pages_) page->applyRowColors(context_.session.RowColors);
  live_->InitGraphs();
}

// --- Connection host ------------------------------------------------------------

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
  // Closed while the Get ran: the program ends; nothing more to show.
  if (operations_.ending()) return;
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
