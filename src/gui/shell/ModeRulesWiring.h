#pragma once
// Where the mode rules read their inputs and show their results: the
// parameter and group pages, the transfer bar, the display panel and the
// live monitor's display names.

#include <array>
#include <functional>

#include "core/params/PanelIds.h"
#include "gui/shell/ModeRulesApplier.h"

namespace drq::gui {

class ParameterPage;
class GroupHoldPage;
class TransferBar;
class DataPanel;
class LiveMonitor;
class TabPage;

class ModeRulesWiring final : public ModeRulesHost {
 public:
  struct Needs {
    ParameterPage& parameters;
    GroupHoldPage& groups;
    TransferBar& transfer;
    DataPanel& data;
    LiveMonitor& live;
    const std::array<TabPage*, kMainPageCount>& pages;
    std::function<void(int)> activatePage;
  };
  explicit ModeRulesWiring(Needs needs) : needs_(std::move(needs)) {}

  void readRuleInputs(PanelState& state) override;
  void setTriggerRingItems(std::size_t count) override;
  void showGroupCell(const GroupCellState& cell) override;
  void showSelectedSet() override;
  void setActiveDataPage(int page) override;
  void setActivePage(int page) override { needs_.activatePage(page); }
  void colorRowLabels(const RowLabelPlan& plan) override;
  void applyIntensityRanges(const std::array<ChartRange, 3>& ranges) override;
  void refreshDisplayNames() override;

 private:
  Needs needs_;
};

}  // namespace drq::gui
