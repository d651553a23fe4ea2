#include "gui/HardwareFileOperation.h"

#include "gui/pages/CalibrationPage.h"
#include "gui/pages/OffsetPage.h"

namespace drq::gui {

namespace {

QString fromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromPath(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

std::filesystem::path toPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

}  // namespace

HardwareFileOperation::HardwareFileOperation(ShellContext& context, CalibrationPage& calibration,
                                             OffsetPage& offset, HardwareFileWindow window)
    : context_(context), calibration_(calibration), offset_(offset), window_(std::move(window)) {}

int HardwareFileOperation::GenerateHWInfoFile() {
  return drq::GenerateHWInfoFile(context_.session, *this);
}

void HardwareFileOperation::getPara() {
  if (window_.getParametersFromSensor) window_.getParametersFromSensor();
}

void HardwareFileOperation::getCF() {
  CalibrationValues values;
  if (drq::GetCF(context_.session.link, values) != 1) return;
  calibration_.showCalibration(values);
  offset_.showCalibration(values);
}

std::optional<std::filesystem::path> HardwareFileOperation::chooseFile(
    const std::filesystem::path& current) {
  std::filesystem::path directory = current.parent_path();
  if (directory.empty()) directory = context_.session.programDir;
  FileSelectRequest request;
  request.directory = fromPath(directory);
  request.defaultName = fromText(kHardwareFileName);
  request.filter = fromText(kHardwareFileFilter);
  request.title = fromText(kHardwareFileDialogTitle);
  request.allowNew = true;
  const FileSelection choice = context_.popups.FileSelectPopup(request);
  if (choice.result == 0 || choice.path.isEmpty()) return std::nullopt;
  return toPath(choice.path);
}

void HardwareFileOperation::takePageValues(ParaSet& set, ChannelWords& factors,
                                           ChannelWords& offsets) {
  if (window_.getPanelValues) window_.getPanelValues();
  set = context_.session.working;
  factors = calibration_.factors();
  offsets = offset_.offsets();
}

void HardwareFileOperation::appendMessage(std::string_view text) {
  if (window_.appendMessage) window_.appendMessage(fromText(text));
}

}  // namespace drq::gui
