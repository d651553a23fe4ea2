#pragma once
// What the live loop and the teach operations ask of the rest of the window,
// answered from the pages and panels that hold it.

#include <functional>

#include "gui/ChildPanelSwitch.h"
#include "gui/LiveMonitor.h"
#include "gui/TeachOperations.h"

namespace drq::gui {

class TeachTablePage;
class DataPanel;
class ParameterPage;
class TableAttributesPage;

class LiveWiring final : public LiveHost {
 public:
  struct Parts {
    TeachTablePage& teachTable;
    ChildPanelSwitch& panels;
    std::function<void()> readPanels;     // GetPanelValues of the window
    std::function<void()> sendToSensor;   // SEND with the sensor
    std::function<void()> getFromSensor;  // GET from the sensor
  };
  explicit LiveWiring(Parts parts) : parts_(std::move(parts)) {}

  void GetPanelValues() override { parts_.readPanels(); }
  void sendParametersToSensor() override { parts_.sendToSensor(); }
  void getParametersFromSensor() override { parts_.getFromSensor(); }
  void showDisplayPanelForLive() override;
  int selectedTeachRow() const override;
  void readTeachTableControl(TeachTable& table) const override;

 private:
  Parts parts_;
};

class TeachWiring final : public TeachHost {
 public:
  struct Parts {
    DataPanel& data;
    ParameterPage& parameters;
    TableAttributesPage& tableAttributes;
    LiveMonitor& live;
    std::function<void()> readPanels;      // GetPanelValues of the window
    std::function<void()> applyRowColors;  // the row colours on every table
  };
  explicit TeachWiring(Parts parts) : parts_(std::move(parts)) {}

  void readShownValues(LiveFrame& frame) const override;
  std::uint16_t parameterControlValue(ParaWord word) const override;
  void GetPanelValues() override { parts_.readPanels(); }
  void applyRowColors() override { parts_.applyRowColors(); }
  void InitGraphs() override { parts_.live.InitGraphs(); }
  bool automaticRowColors() const override;

 private:
  Parts parts_;
};

}  // namespace drq::gui
