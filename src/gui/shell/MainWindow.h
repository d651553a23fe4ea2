#pragma once
// MAINP, the operator tool's one main window: the header with logo and title,
// the main tab control with its nine pages, the parameter transfer controls,
// and the display area that shows one of the five child panels. It owns the
// top-level panels COLBIGP, GRPBIGP and PASSWORDP, and applies and stores the
// panel settings file.

#include <QMainWindow>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/settings/PanelSettings.h"
#include "gui/common/ChildPanelSwitch.h"
#include "gui/common/ShellContext.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/operations/Operations.h"
#include "gui/operations/QuietOnEndPopups.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/pages/ScopePage.h"
#include "gui/pages/TabPage.h"
#include "gui/shell/ModeRulesApplier.h"
#include "gui/shell/TeachOperations.h"

namespace drq::gui {

class HeaderBar;
class TransferBar;
class ParameterPage;
class GroupHoldPage;
class TeachTablePage;
class RecorderPage;
class CalibrationPage;
class HardwareFileOperation;
class TableAttributesPage;
class ScopePage;
class OffsetPage;
class DataPanel;
class SignalGraphPanel;
class MeanTeachPanel;
class GraphTeachPanel;
class ScopeGraphPanel;
class BigColorPanel;
class BigGroupPanel;
class PasswordPanel;
class TeachPanelBridge;
class ChildPanelWidget;
class PanelSettingsBinding;
class ModeRulesWiring;
class LiveWiring;
class TeachWiring;

// How the window starts.
struct StartOptions {
  // Home of the panel settings file and the default home of every file.
  std::filesystem::path programDir;
  // Further places to look for the logo bitmap (after the program directory).
  std::vector<std::filesystem::path> logoDirs;
  // Demo: connect over TCP/IP to this server instead of the stored settings,
  // which are written back unchanged (communication settings and recent
  // addresses) when the settings are stored.
  struct Demo {
    QString address;
    int port = 0;
  };
  std::optional<Demo> demo;
  // False: start offline without trying to connect (screenshots).
  bool connectAtStart = true;
};

class MainWindow final : public QMainWindow,
                         public ChildPanelSwitch,
                         private ConnectionHost,
                         private ScopeHost {
  Q_OBJECT
 public:
  // Events of the main panel's callback.
  enum class PanelEvent { Close, RightDoubleClick };

  MainWindow(Session& session, Popups& popups, StartOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The initial state and the first connection (see the .cpp for the steps).
  // A close of the window meanwhile ends the start-up once the pending wait
  // has returned (no further question, no parameter read) and sets
  // quitRequested().
  void InitAll();
  // True once the program is to end without its event loop: the operator
  // chose CLOSE (the settings are not stored), or closed the window during
  // InitAll (they were stored then).
  bool quitRequested() const { return quitRequested_; }
  // Closes the TCP conversation and the serial port.
  void CleanUp();

  // CBF_MAINP: Close clears RunFlag, stores the settings and asks for the
  // end of the program; while an operation runs, the owner of operations
  // ends it first (see Operations::endProgram) and the end follows once it
  // has returned. RightDoubleClick restores 790 x 548 and centres the window.
  void CBF_MAINP(PanelEvent event);

  // ChildPanelSwitch: makes `panel` the child panel shown; anything else
  // shows DATAP.
  void ShowChildPanelDisp(ChildPanel panel) override;
  ChildPanel currentChildPanel() const override { return currentChild_; }
  QWidget* childPanelWidget(ChildPanel panel) const;

  // The main tab control.
  int activePage() const { return tabs_->currentIndex(); }
  void setActivePage(int page);
  bool isPageVisible(int page) const { return tabs_->isTabVisible(page); }
  void setPageVisible(int page, bool visible) { tabs_->setTabVisible(page, visible); }
  TabPage* page(int index) const { return pages_[static_cast<std::size_t>(index)]; }

  // The panel settings file.
  void LoadPanelSettings();
  void StorePanelSettings() override;

  // Paints the session's row colours into every table that lists teach rows.
  void applyRowColors();

  // Reads every page into the working parameter set (GetPanelValues).
  void GetPanelValues();
  // Shows the working parameter set on every page (SetPanelValues).
  void SetPanelValues();
  // After the working set was replaced (a Get from the sensor, a parameter
  // file read): SetPanelValues, a notice of values the controls had to limit,
  // the mode rules (InitPanelCtrlAttr), the graphs (InitGraphs, ShowGraph),
  // then parametersLoaded.
  void refreshPanelsFromWorkingSet();

  // The mode rules on the panels, all eight in their order. They run on the
  // start-up values (InitAll), after every Get and file read and when the
  // operator commits a mode control.
  void InitPanelCtrlAttr();
  ModeRulesApplier& modeRules() const { return *modeRules_; }
  TeachOperations& teachOperations() const { return *teachOperations_; }

  Session& session() { return context_.session; }
  Popups& popups() const { return context_.popups; }
  Operations& operations() { return operations_; }

 public slots:
  // The main tab control: the page `index` became active.
  void CBF_TabMain1(int index);

 signals:
  // The working parameter set was replaced from the sensor or a file; the
  // pages have shown it. (The mode rules and graphs follow this signal.)
  void parametersLoaded();
  // The program should end (window closed, or the operator's CLOSE choice):
  // whoever runs the event loop ends it.
  void programEndRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // ConnectionHost
  void activatePage(int page) override { setActivePage(page); }
  void requestQuit() override {
    quitRequested_ = true;
    emit programEndRequested();
  }
  void readSensorParameters() override { getParametersFromSensor(); }

  // ScopeHost
  std::uint16_t calculationMode() const override;

  void buildWindow();
  // InitAll's steps.
  void startUp();
  void connectPanels();
  // SEND and GET with the sensor: the transfers with their panel updates.
  void sendParametersToSensor();
  void getParametersFromSensor();
  // GET's steps; `asRead` (if given) gets the set as the sensor sent it,
  // before the controls limit any value.
  void readAndShowParameters(ParaSet* asRead);

  Operations operations_;
  QuietOnEndPopups quietPopups_;
  ShellContext context_;
  StartOptions options_;
  bool quitRequested_ = false;
  ChildPanel currentChild_ = ChildPanel::DATAP;

  HeaderBar* header_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  TransferBar* transferBar_ = nullptr;
  QStackedWidget* displayArea_ = nullptr;
  QSplitter* splitter_ = nullptr;

  std::array<TabPage*, kMainPageCount> pages_{};
  ConnectionPage* connectionPage_ = nullptr;
  ParameterPage* parameterPage_ = nullptr;
  GroupHoldPage* groupHoldPage_ = nullptr;
  TeachTablePage* teachTablePage_ = nullptr;
  RecorderPage* recorderPage_ = nullptr;
  CalibrationPage* calibrationPage_ = nullptr;
  TableAttributesPage* tableAttributesPage_ = nullptr;
  ScopePage* scopePage_ = nullptr;
  OffsetPage* offsetPage_ = nullptr;

  DataPanel* dataPanel_ = nullptr;
  SignalGraphPanel* signalGraphPanel_ = nullptr;
  MeanTeachPanel* meanTeachPanel_ = nullptr;
  GraphTeachPanel* graphTeachPanel_ = nullptr;
  ScopeGraphPanel* scopeGraphPanel_ = nullptr;

  BigColorPanel* bigColor_ = nullptr;
  BigGroupPanel* bigGroup_ = nullptr;
  PasswordPanel* password_ = nullptr;

  // The display area's child panels, indexed by ChildPanel; those that are
  // ChildPanelWidgets register their buttons and rule controls.
  std::array<QWidget*, kChildPanelCount> childPanels_{};
  std::array<ChildPanelWidget*, 3> panelWidgets_{};

  std::unique_ptr<PanelSettingsBinding> settings_;
  std::unique_ptr<ModeRulesWiring> modeRulesWiring_;
  std::unique_ptr<LiveWiring> liveWiring_;
  std::unique_ptr<TeachWiring> teachWiring_;
  std::unique_ptr<ModeRulesApplier> modeRules_;
  std::unique_ptr<TeachOperations> teachOperations_;
  std::unique_ptr<HardwareFileOperation> hardwareFile_;
  std::unique_ptr<TeachPanelBridge> teachPanels_;
  LiveMonitor* live_ = nullptr;
};

}  // namespace drq::gui
