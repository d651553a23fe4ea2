#pragma once
// What the live loop and the teach operations ask of the rest of the window,
// answered from the pages and panels that hold it.

#include <functional>

#include "gui/common/ChildPanelSwitch.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/shell/TeachOperations.h"

namespace drq::gui {

class TeachTablePage;
class DataPanel;
class ParameterPage;
class TableAttributesPage;

class LiveWiring final : public LiveHost {
 public:
  struct Needs {
    TeachTablePage& teachTable;
    ChildPanelSwitch& panels;
    std::function<void()> readPanels;     // GetPanelValues of the window
    std::function<void()> sendToSensor;   // SEND with the sensor
    std::function<void()> getFromSensor;  // GET from the sensor
  };
  explicit LiveWiring(Needs needs) : needs_(std::move(needs)) {}

  void GetPanelValues() override { needs_.readPanels(); }
  void sendParametersToSensor() override { needs_.sendToSensor(); }
  void getParametersFromSensor() override { needs_.getFromSensor(); }
  void showDisplayPanelForLive() override;
  int selectedTeachRow() const override;
  void readTeachTableControl(TeachTable& table) const override;

 private:
  Needs needs_;
};

class TeachWiring final : public TeachHost {
 public:
  struct Needs {
    DataPanel& data;
    ParameterPage& parameters;
    TableAttributesPage& tableAttributes;
    LiveMonitor& live;
    std::function<void()> readPanels;      // GetPanelValues of the window
    std::function<void()> applyRowColors;  // the row colours on every table
  };
  explicit TeachWiring(Needs needs) : needs_(std::move(needs)) {}

  void readShownValues(LiveFrame& frame) const override;
  std::uint16_t parameterControlValue(ParaWord word) const override;
  void GetPanelValues() override { needs_.readPanels(); }
  void applyRowColors() override { needs_.applyRowColors(); }
  void InitGraphs() override { needs_.live.InitGraphs(); }
  bool automaticRowColors() const override;

 private:
  Needs needs_;
};

}  // namespace drq::gui
