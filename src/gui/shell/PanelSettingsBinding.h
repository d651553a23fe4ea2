#pragma once
// The panel settings file and the controls it fills: the remembered paths,
// the sensor ID, the recent addresses, the row attributes, the window's
// placement and the communication settings. In demo mode the stored
// communication settings and recent addresses are written back unchanged.

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings/PanelSettings.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class ConnectionPage;
class RecorderPage;
class TableAttributesPage;
class BigDisplayPanel;

class PanelSettingsBinding {
 public:
  struct Needs {
    QWidget& window;
    ConnectionPage& connection;
    RecorderPage& recorder;
    TableAttributesPage& tableAttributes;
    BigDisplayPanel& bigColor;
    BigDisplayPanel& bigGroup;
  };
  PanelSettingsBinding(ShellContext& context, const std::filesystem::path& programDir, bool demo,
                       Needs needs);

  const std::filesystem::path& file() const { return file_; }

  // LoadPanelSettings: the file's values into the session and the controls
  // (defaults where the file is missing or of another type).
  void LoadPanelSettings();
  // GetConnectionSettingsFromFile: the communication settings into the
  // connection page, kept for the demo's write-back; with a demo server, the
  // page is then set to TCP/IP towards it.
  void loadConnectionSettings(const QString& demoAddress = {}, int demoPort = 0);
  // StorePanelSettings: writes the file atomically. A failure keeps the old
  // file and is shown under "ATTENTION!" with the path and the reason; while
  // the program ends it goes to stderr instead.
  void StorePanelSettings();

 private:
  ShellContext& context_;
  std::filesystem::path programDir_;
  std::filesystem::path file_;
  bool demo_;
  Needs needs_;
  settings::ConnectionSettings storedConnection_;
  std::vector<std::string> storedRecentAddresses_;
};

}  // namespace drq::gui
