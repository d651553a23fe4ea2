#include "gui/operations/ParameterFileTransfer.h"

#include <QString>

#include <filesystem>
#include <system_error>

#include "core/PopupTitles.h"
#include "core/params/ParaFile.h"
#include "gui/common/TextConversion.h"

namespace drq::gui {

namespace {

constexpr const char* kDialogTitle = "Parameter";
constexpr const char* kDialogFilter = "*.ini";

FileSelection chooseFile(const Session& session, Popups& popups, bool allowNew) {
  std::filesystem::path directory = session.parameterFile.parent_path();
  if (directory.empty()) directory = session.programDir;
  FileSelectRequest request;
  request.directory = qStringFromPath(directory);
  request.defaultName = qStringFromUtf8(kParameterFileName);
  request.filter = QString::fromLatin1(kDialogFilter);
  request.title = QString::fromLatin1(kDialogTitle);
  request.allowNew = allowNew;
  return popups.FileSelectPopup(request);
}

void showNoFileSelected(Popups& popups) {
  popups.MessagePopup(qStringFromUtf8(kTitleAttention), qStringFromUtf8(kMsgNoFileSelected));
}

}  // namespace

int SendParaToFile(Session& session, Popups& popups, const std::function<void()>& getPanelValues) {
  const FileSelection choice = chooseFile(session, popups, true);
  if (choice.result == 0 || choice.path.isEmpty()) {
    showNoFileSelected(popups);
    return 0;
  }
  session.parameterFile = pathFromQString(choice.path);
  if (getPanelValues) getPanelValues();
  const files::FileWriteResult written = writeParameterFile(session.parameterFile, session.working);
  if (!written.ok()) {
    // Operators must not believe their parameters are saved when they are not.
    popups.MessagePopup(qStringFromUtf8(kTitleAttention),
                        QString::fromLatin1(kMsgParameterFileNotWritten) + choice.path +
                            QStringLiteral("\n\n") +
                            qStringFromUtf8(files::failureReason(written)));
    return -1;
  }
  return 1;
}

int ReadParaFromFile(Session& session, Popups& popups, const std::function<void()>& refreshPanels) {
  const FileSelection choice = chooseFile(session, popups, false);
  // A folder is read and fails with the system's reason; a pipe or a device
  // is not offered to the reader, which would wait for it.
  std::error_code error;
  const auto chosen = std::filesystem::status(pathFromQString(choice.path), error).type();
  if (choice.result != 1 || choice.path.isEmpty() ||
      (chosen != std::filesystem::file_type::regular &&
       chosen != std::filesystem::file_type::directory)) {
    showNoFileSelected(popups);
    return 0;
  }
  const std::filesystem::path path = pathFromQString(choice.path);
  const auto confirm = [&popups](std::string_view title, std::string_view text) {
    return popups.ConfirmPopup(qStringFromUtf8(title), qStringFromUtf8(text));
  };
  const ParameterFileRead read = readParameterFile(path, session.working, confirm);
  if (read.readStatus < 0) {
    // A file that cannot be read is not an empty file: nothing is taken from it.
    popups.MessagePopup(qStringFromUtf8(kTitleAttention),
                        QString::fromLatin1(kMsgParameterFileNotRead) + choice.path +
                            QStringLiteral("\n\n") + qStringFromUtf8(read.readError.message()));
    return -1;
  }
  session.parameterFile = path;
  if (!read.taken) {
    popups.MessagePopup(qStringFromUtf8(kTitleAttention), qStringFromUtf8(kMsgNothingRead));
  } else {
    if (!read.parameters.empty()) {
      popups.MessagePopup(qStringFromUtf8(kListTitle), qStringFromUtf8(read.parameters.text));
    }
    if (!read.teachVectors.empty()) {
      popups.MessagePopup(qStringFromUtf8(kListTitle), qStringFromUtf8(read.teachVectors.text));
    }
  }
  if (refreshPanels) refreshPanels();
  return read.taken ? 1 : -1;
}

}  // namespace drq::gui
