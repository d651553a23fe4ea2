#include "gui/shell/HardwareFileOperation.h"

#include "gui/common/TextConversion.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/OffsetPage.h"

namespace drq::gui {

HardwareFileOperation::HardwareFileOperation(ShellContext& context, CalibrationPage& calibration,
                                             OffsetPage& offset, HardwareFileWindow window)
    : context_(context), calibration_(calibration), offset_(offset), window_(std::move(window)) {}

int HardwareFileOperation::GenerateHWInfoFile() {
  return drq::GenerateHWInfoFile(context_.session, *this);
}

void HardwareFileOperation::getPara(ParaSet& read) {
  if (window_.getParametersFromSensor) window_.getParametersFromSensor(read);
}

void HardwareFileOperation::getCF(CalibrationValues& read) {
  CalibrationValues values;
  if (drq::GetCF(context_.session.link, values) != 1) return;
  read = values;
  calibration_.showCalibration(values);
  offset_.showCalibration(values);
}

std::optional<std::filesystem::path> HardwareFileOperation::chooseFile(
    const std::filesystem::path& current) {
  std::filesystem::path directory = current.parent_path();
  if (directory.empty()) directory = context_.session.programDir;
  FileSelectRequest request;
  request.directory = qStringFromPath(directory);
  request.defaultName = qStringFromLatin1(kHardwareFileName);
  request.filter = qStringFromLatin1(kHardwareFileFilter);
  request.title = qStringFromLatin1(kHardwareFileDialogTitle);
  request.allowNew = true;
  const FileSelection choice = context_.popups.FileSelectPopup(request);
  if (choice.result == 0 || choice.path.isEmpty()) return std::nullopt;
  return pathFromQString(choice.path);
}

void HardwareFileOperation::appendMessage(std::string_view text) {
  if (window_.appendMessage) window_.appendMessage(qStringFromUtf8(text));
}

}  // namespace drq::gui
