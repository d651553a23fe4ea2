#include "gui/shell/PanelSettingsBinding.h"

#include <cstdio>

#include "core/files/FileWrite.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/pages/RecorderPage.h"
#include "gui/pages/TableAttributesPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/shell/WindowGeometry.h"

namespace drq::gui {

namespace {

// The panel settings file could not be written (title "ATTENTION!"),
// followed by the path and the reason.
constexpr const char* kMsgSettingsNotWritten =
    "The panel settings could not be stored! \nThe previous settings are kept in:\n\n";

}  // namespace

PanelSettingsBinding::PanelSettingsBinding(ShellContext& context,
                                           const std::filesystem::path& programDir, bool demo,
                                           Needs needs)
    : context_(context),
      programDir_(programDir),
      file_(settings::panelSettingsPath(programDir)),
      demo_(demo),
      needs_(needs) {}

void PanelSettingsBinding::LoadPanelSettings() {
  Session& session = context_.session;
  settings::PanelSettings loaded;
  const bool used = settings::loadPanelSettingsFile(file_, programDir_, loaded);

  session.sensorId = loaded.sensorId;
  session.parameterFile = loaded.paths.parameterFile;
  session.recordFile = loaded.paths.recordFile;
  session.hardwareFile = loaded.paths.hardwareFile;
  session.tableAttributesFile = loaded.paths.tableAttributesFile;
  session.RowColors = loaded.rowColors;
  needs_.tableAttributes.takeRowAttributes(loaded.rowColors, loaded.rowSpecs);
  needs_.connection.clearRecentAddresses();
  if (used) {
    if (loaded.window) applyPlacement(needs_.window, *loaded.window);
    for (const auto& address : loaded.recentAddresses) {
      needs_.connection.appendRecentAddress(qStringFromUtf8(address));
    }
  }
  storedRecentAddresses_ = loaded.recentAddresses;

  const QString sensorId = qStringFromUtf8(session.sensorId);
  needs_.recorder.showRecordFile(qStringFromPath(session.recordFile));
  needs_.connection.setSensorId(sensorId);
  needs_.recorder.setSensorId(sensorId);
  needs_.bigColor.setSensorId(sensorId);
  needs_.bigGroup.setSensorId(sensorId);
}

void PanelSettingsBinding::loadConnectionSettings(const QString& demoAddress, int demoPort) {
  storedConnection_ = needs_.connection.GetConnectionSettingsFromFile(file_);
  if (!demo_) return;
  settings::ConnectionSettings demo = storedConnection_;
  demo.protocol = kProtocolTcp;
  demo.serverAddress = utf8FromQString(demoAddress);
  demo.portNumber = std::to_string(demoPort);
  needs_.connection.setConnectionSettings(demo);
}

void PanelSettingsBinding::StorePanelSettings() {
  Session& session = context_.session;
  session.sensorId = utf8FromQString(needs_.connection.sensorId());

  settings::PanelSettings out;
  out.sensorId = session.sensorId;
  out.paths = {session.parameterFile, session.recordFile, session.hardwareFile,
               session.tableAttributesFile};
  out.recentAddresses = demo_ ? storedRecentAddresses_ : needs_.connection.recentAddresses();
  needs_.tableAttributes.readRowAttributes(out.rowColors, out.rowSpecs);
  const settings::ConnectionSettings connection =
      demo_ ? storedConnection_ : needs_.connection.connectionSettings();
  const files::FileWriteResult written =
      settings::writePanelSettingsFile(file_, out, placementOf(needs_.window), connection);
  if (written.ok()) return;
  const std::string reason = files::failureReason(written);
  if (context_.operations.ending()) {
    std::fprintf(stderr, "drqscope: the panel settings could not be stored in %s: %s\n",
                 file_.string().c_str(), reason.c_str());
    return;
  }
  context_.popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                               QString::fromLatin1(kMsgSettingsNotWritten) +
                                   qStringFromPath(file_) + QStringLiteral("\n\n") +
                                   qStringFromUtf8(reason));
}

}  // namespace drq::gui
