#pragma once
// The two teach panels' side of the main window: it opens them
// (CBF_ButtonTeachMeanVal, CBF_ButtonTeachRecVal) and gives them what they
// need from the other pages (TeachPanelHost): the modes of the parameter
// controls, the teach table page, GetPanelValues and InitGraphs through the
// window's TeachHost, the mode rules' teach-panel rule and the live loop.

#include "gui/common/ShellContext.h"
#include "gui/panels/TeachPanelHost.h"
#include "gui/shell/ModeRulesApplier.h"
#include "gui/shell/TeachOperations.h"

namespace drq::gui {

class LiveMonitor;
class MeanTeachPanel;
class GraphTeachPanel;
class TeachTablePage;

class TeachPanelBridge final : public TeachPanelHost {
 public:
  struct Needs {
    TeachHost& teachHost;
    TeachTablePage& teachTable;
    TeachOperations& teachOperations;
    ModeRulesApplier& modeRules;
    LiveMonitor& live;
    MeanTeachPanel& meanTeach;
    GraphTeachPanel& graphTeach;
  };
  TeachPanelBridge(ShellContext& context, Needs needs);

  // CBF_ButtonTeachMeanVal: shows TEACHP1, labels it (InitTeachPanel) and,
  // when no acquisition runs, runs the live loop between dimming and
  // undimming until the panel is closed or the loop ends otherwise.
  void openMeanValueTeach();
  // CBF_ButtonTeachRecVal: shows TEACHP2 and labels it; nothing starts.
  void openGraphTeach();

  // TeachPanelHost
  TeachModes readTeachModes() override;
  TeachTable shownTeachTable() const override;
  std::size_t teachRow() const override;
  bool teachAutoIncrement() const override;
  void showTaughtTable(const TeachTable& table, std::size_t nextRow) override;
  void teachShownValues(std::int16_t x, std::int16_t y, std::int16_t intensity) override;
  void readPanels() override;
  void redrawTeachFigures() override;
  void runLiveLoop() override;
  void showCurrentFrame() override;

 private:
  ShellContext& context_;
  Needs needs_;
};

}  // namespace drq::gui
