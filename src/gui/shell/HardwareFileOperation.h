#pragma once
// GenerateHWInfoFile in the window: the Generate hardware file button of the
// connection page. The sequence (parameters from RAM, factors and offsets,
// the sensor's hardware block, the file dialog, the file) is the core's;
// this class gives it the pages, the dialog and the connection page's
// message box. The file holds what the sensor sent, also where a page's
// control had to limit a value to show it.

#include <QString>

#include <functional>

#include "core/calib/HardwareFile.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class CalibrationPage;
class OffsetPage;

// What the operation needs from the main window.
struct HardwareFileWindow {
  // GET from the sensor with the session's target and set: GetPara, then the
  // refresh of the parameter pages. The argument gets the set as read (left
  // as it was when the read failed).
  std::function<void(ParaSet&)> getParametersFromSensor;
  // Appends to the connection page's message box.
  std::function<void(const QString&)> appendMessage;
};

class HardwareFileOperation final : private HardwareFileHost {
 public:
  HardwareFileOperation(ShellContext& context, CalibrationPage& calibration, OffsetPage& offset,
                        HardwareFileWindow window);

  // The whole operation (the caller dims the buttons around it). 1 written,
  // 0 no file chosen, -1 an exchange or the write failed (reported).
  int GenerateHWInfoFile();

 private:
  void getPara(ParaSet& read) override;
  void getCF(CalibrationValues& read) override;
  std::optional<std::filesystem::path> chooseFile(const std::filesystem::path& current) override;
  void appendMessage(std::string_view text) override;

  ShellContext& context_;
  CalibrationPage& calibration_;
  OffsetPage& offset_;
  HardwareFileWindow window_;
};

}  // namespace drq::gui
