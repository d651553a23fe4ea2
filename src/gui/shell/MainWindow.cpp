#include "gui/shell/MainWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include "core/ToolFiles.h"
#include "core/params/ParaTransfer.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/operations/LinkControl.h"
#include "gui/operations/ParameterFileTransfer.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/GroupHoldPage.h"
#include "gui/pages/OffsetPage.h"
#include "gui/pages/ParameterPage.h"
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
#include "gui/popups/Help.h"
#include "gui/shell/HardwareFileOperation.h"
#include "gui/shell/HeaderBar.h"
#include "gui/shell/HostWiring.h"
#include "gui/shell/LiveDisplayWiring.h"
#include "gui/shell/ModeRulesApplier.h"
#include "gui/shell/ModeRulesWiring.h"
#include "gui/shell/PanelSettingsBinding.h"
#include "gui/shell/PeerWiring.h"
#include "gui/shell/RecorderDisplays.h"
#include "gui/shell/ShellLayout.h"
#include "gui/shell/SideTabBar.h"
#include "gui/shell/TeachOperations.h"
#include "gui/shell/TeachPanelBridge.h"
#include "gui/shell/TransferBar.h"
#include "gui/shell/WindowGeometry.h"
#include "gui/widgets/Mnemonics.h"

namespace drq::gui {

namespace {

// Width of the column with the tab control at the default size: the display
// area starts 286 pixels from the left, as operators know it, plus the room
// the side tabs take.
constexpr int kControlColumnWidth = 380;

}  // namespace

MainWindow::MainWindow(Session& session, Popups& popups, StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      operations_(session.RunFlag, session.link),
      quietPopups_(popups, operations_),
      context_{session, quietPopups_, operations_, *this},
      options_(std::move(options)) {
  setObjectName(QStringLiteral("MAINP"));
  setWindowTitle(qStringFromLatin1(kScopeVersion));
  buildWindow();
  settings_ = std::make_unique<PanelSettingsBinding>(
      context_, options_.programDir, options_.demo.has_value(),
      PanelSettingsBinding::Needs{*this, *connectionPage_, *recorderPage_, *tableAttributesPage_,
                                  *bigColor_, *bigGroup_});
  modeRulesWiring_ = std::make_unique<ModeRulesWiring>(
      ModeRulesWiring::Needs{*parameterPage_, *groupHoldPage_, *transferBar_, *dataPanel_, *live_,
                             pages_, [this](int page) { setActivePage(page); }});
  modeRules_ = std::make_unique<ModeRulesApplier>(*modeRulesWiring_, context_);
  teachWiring_ = std::make_unique<TeachWiring>(
      TeachWiring::Needs{*dataPanel_, *parameterPage_, *tableAttributesPage_, *live_,
                         [this] { GetPanelValues(); }, [this] { applyRowColors(); }});
  teachOperations_ = std::make_unique<TeachOperations>(*teachWiring_, *teachTablePage_, context_);
  teachPanels_ = std::make_unique<TeachPanelBridge>(
      context_, TeachPanelBridge::Needs{*teachWiring_, *teachTablePage_, *teachOperations_,
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
  setUpKeyboardAccess(*this, *transferBar_, pages_, childPanels_, {password_, bigColor_, bigGroup_},
                      kPanelsBesidePages);
  resize(settings::kDefaultWindowWidth, settings::kDefaultWindowHeight);
  session.link.setFailureReport(connectionPage_);
}

MainWindow::~MainWindow() {
  context_.session.link.setFailureReport(nullptr);
}

void MainWindow::buildWindow() {
  header_ = new HeaderBar();
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
  addWindowShortcuts(*this, *tabs_, [this] { CBF_MAINP(PanelEvent::RightDoubleClick); });
  transferBar_ = new TransferBar(context_);

  dataPanel_ = new DataPanel(context_);
  signalGraphPanel_ = new SignalGraphPanel(context_);
  meanTeachPanel_ = new MeanTeachPanel(context_);
  graphTeachPanel_ = new GraphTeachPanel(context_);
  scopeGraphPanel_ = new ScopeGraphPanel(context_);
  childPanels_ = {dataPanel_, signalGraphPanel_, meanTeachPanel_, graphTeachPanel_,
                  scopeGraphPanel_};
  panelWidgets_ = {meanTeachPanel_, graphTeachPanel_, scopeGraphPanel_};
  const ShellLayout shell = layOutShell(*this, header_, tabs_, transferBar_, childPanels_,
                                        kControlColumnWidth, settings::kDefaultWindowWidth);
  displayArea_ = shell.displayArea;
  splitter_ = shell.splitter;

  bigColor_ = new BigColorPanel(this);
  bigGroup_ = new BigGroupPanel(this);
  password_ = new PasswordPanel(context_.popups, this);
  password_->hide();  // the big displays are windows of their own, shown when asked for

  ButtonDimmer& dimmer = operations_.dimmer();
  for (TabPage* page : pages_) page->registerOperationButtons(dimmer);
  transferBar_->registerOperationButtons(dimmer);
  for (ChildPanelWidget* panel : panelWidgets_) panel->registerOperationButtons(dimmer);

  liveWiring_ = std::make_unique<LiveWiring>(LiveWiring::Needs{
      *teachTablePage_, *this, [this] { GetPanelValues(); }, [this] { sendParametersToSensor(); },
      [this] { getParametersFromSensor(); }});
  live_ = new LiveMonitor(context_.session, operations_, *liveWiring_, this);
  connectLiveDisplays(*live_, *dataPanel_, *calibrationPage_, *tableAttributesPage_, *bigColor_,
                      *bigGroup_, *signalGraphPanel_, *meanTeachPanel_);
  recorderPage_->setHost(new RecorderDisplays(*signalGraphPanel_, *live_, recorderPage_));
}

void MainWindow::connectPanels() {
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::CBF_TabMain1);
  connectPeers({*connectionPage_, *calibrationPage_, *offsetPage_, *recorderPage_, *teachTablePage_,
                *tableAttributesPage_, *transferBar_, *dataPanel_, *bigColor_, *bigGroup_,
                *password_});
  connect(password_, &PasswordPanel::unlocked, this, [this] {
    setPageVisible(kPageOffset, true);
    setActivePage(kPageOffset);
  });
  // The white calibration ends in GO.
  connect(calibrationPage_, &CalibrationPage::liveAcquisitionRequested, live_,
          &LiveMonitor::CBF_ButtonGo);
  hardwareFile_ = std::make_unique<HardwareFileOperation>(
      context_, *calibrationPage_, *offsetPage_,
      HardwareFileWindow{[this](ParaSet& read) { readAndShowParameters(&read); },
                         [this](const QString& text) { connectionPage_->appendMessage(text); }});
  connect(connectionPage_, &ConnectionPage::hardwareFileRequested, this,
          [this] { hardwareFile_->GenerateHWInfoFile(); });
  // The parameter page becomes active before the offset page is hidden, so
  // that the tab never passes through another page (the scope page would
  // stop a running acquisition and take the display area).
  connect(offsetPage_, &OffsetPage::closeRequested, this, [this] {
    setActivePage(kPageParameter);
    setPageVisible(kPageOffset, false);
  });
  connect(transferBar_, &TransferBar::sendToSensorRequested, this,
          &MainWindow::sendParametersToSensor);
  connect(transferBar_, &TransferBar::getFromSensorRequested, this,
          &MainWindow::getParametersFromSensor);
  connect(transferBar_, &TransferBar::sendToFileRequested, this, [this] {
    SendParaToFile(context_.session, context_.popups, [this] { GetPanelValues(); });
  });
  connect(transferBar_, &TransferBar::getFromFileRequested, this, [this] {
    ReadParaFromFile(context_.session, context_.popups, [this] { refreshPanelsFromWorkingSet(); });
  });
  // An edited teach cell reaches the working set at once (teaching and the
  // graphs work on it); the teach figures and the graphs follow. The
  // selection operations of its menu do the same.
  const auto teachTableChanged = [this] {
    GetPanelValues();
    live_->InitGraphs();
    live_->ShowGraph();
  };
  connect(teachTablePage_, &TeachTablePage::teachTableEdited, this, teachTableChanged);
  connect(teachTablePage_, &TeachTablePage::selectionEdited, this, teachTableChanged);
  // Row colours set on the table attributes page reach every table and the
  // graphs.
  connect(tableAttributesPage_, &TableAttributesPage::rowColorsChanged, this,
          &MainWindow::applyRowColors);
  tableAttributesPage_->InitSrcPanel();
  // No. committed: the intensity band of that row, as the table shows it.
  connect(teachTablePage_, &TeachTablePage::teachRowChosen, this, [this](int row) {
    TeachTable shown = context_.session.working.table;
    liveWiring_->readTeachTableControl(shown);
    live_->InitGraphInt2(shown, row);
  });
  connect(teachTablePage_, &TeachTablePage::teachDataToRequested, this,
          [this] { teachOperations_->TeachDataTo(); });
  connect(teachTablePage_, &TeachTablePage::meanValueTeachRequested, this,
          [this] { teachPanels_->openMeanValueTeach(); });
  connect(teachTablePage_, &TeachTablePage::graphTeachRequested, this,
          [this] { teachPanels_->openGraphTeach(); });
  // The mode rules.
  // CALCULATION MODE (CBF_EditCalcmode) rearranges the teach table first and
  // reads the panels afterwards; the other mode controls run the rules.
  const auto modeControlCommitted = [this](int word) {
    if (word == static_cast<int>(ParaWord::CalculationMode)) teachOperations_->SortTableTolerance();
    InitPanelCtrlAttr();
    if (word != static_cast<int>(ParaWord::CalculationMode)) return;
    GetPanelValues();
    live_->InitGraphs();
  };
  connect(parameterPage_, &ParameterPage::modeControlCommitted, this, modeControlCommitted);
  connect(groupHoldPage_, &GroupHoldPage::modeControlCommitted, this, modeControlCommitted);
  // CBF_EditGridGroups: a group cell changed.
  connect(groupHoldPage_, &GroupHoldPage::groupCellCommitted, this, [this] {
    InitPanelCtrlAttr();
    setActivePage(kPageGroupHold);
  });
  // Live monitoring.
  connect(transferBar_, &TransferBar::goRequested, live_, &LiveMonitor::CBF_ButtonGo);
  // The scope page drives SCOPEP.
  scopePage_->attach(*scopeGraphPanel_, static_cast<ScopeHost&>(*this));
  connect(&operations_, &Operations::programEnd, this, [this] {
    hide();
    emit programEndRequested();
  });
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
  if (options_.demo) {
    settings_->loadConnectionSettings(options_.demo->address, options_.demo->port);
  } else {
    settings_->loadConnectionSettings();
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

void MainWindow::CBF_MAINP(PanelEvent event) {
  switch (event) {
    case PanelEvent::Close:
      if (operations_.ending()) break;
      // While an operation runs, the exchange in flight finishes (ending the
      // event loops under it would cut its wait short), only the stop its own
      // end needs goes out, nothing is asked, and the program ends once the
      // operation has returned (programEnd). Otherwise it ends at once, once
      // the settings are stored.
      if (operations_.busy()) operations_.endProgram();
      StorePanelSettings();
      operations_.endProgram();
      break;
    case PanelEvent::RightDoubleClick:
      restoreSize(*this, QSize(settings::kDefaultWindowWidth, settings::kDefaultWindowHeight));
      break;
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  CBF_MAINP(PanelEvent::Close);
  bigColor_->hide();
  bigGroup_->hide();
  // An operation winding down keeps the window, dimmed and deaf to input,
  // until it has returned (programEnd): the program never runs without one.
  setEnabled(!operations_.busy());
  event->setAccepted(isEnabled());
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
  readAndShowParameters(nullptr);
}

void MainWindow::readAndShowParameters(ParaSet* asRead) {
  const auto notice = [this](std::string_view text) {
    setActivePage(kPageConnection);
    connectionPage_->appendMessage(qStringFromUtf8(text));
  };
  if (GetPara(context_.session, notice) != 1) return;
  // Closed while the Get ran: the program ends; nothing more to show.
  if (operations_.ending()) return;
  if (asRead != nullptr) *asRead = context_.session.working;
  refreshPanelsFromWorkingSet();
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

void MainWindow::InitPanelCtrlAttr() {
  modeRules_->InitPanelCtrlAttr();
}

std::uint16_t MainWindow::calculationMode() const {
  return teachWiring_->parameterControlValue(ParaWord::CalculationMode);
}

}  // namespace drq::gui
