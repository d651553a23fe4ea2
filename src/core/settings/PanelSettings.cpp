#include "core/settings/PanelSettings.h"

#include <algorithm>
#include <system_error>

#include "core/settings/TextCut.h"

namespace drq::settings {

namespace {

// Texts are read whole (up to this size) and then cut on a character boundary.
constexpr std::size_t kReadBufferSize = 4096;

// The string of `tag`, cut to `maxBytes`; nullopt when absent.
std::optional<std::string> getString(ini::IniStore& store, std::string_view section,
                                     std::string_view tag, std::size_t maxBytes) {
  std::string text;
  if (store.Ini_GetStringIntoBuffer(section, tag, text, kReadBufferSize) != 1) return std::nullopt;
  return cutUtf8(text, maxBytes);
}

// The integer of `tag`; nullopt when absent, blank or not a valid integer.
std::optional<int> getInt(ini::IniStore& store, std::string_view section, std::string_view tag) {
  int value = 0;
  if (store.Ini_GetInt(section, tag, value) != 1) return std::nullopt;
  return value;
}

std::filesystem::path getPath(ini::IniStore& store, std::string_view tag,
                              const std::filesystem::path& fallback) {
  const auto text = getString(store, kSectionDirectories, tag, kPathMax);
  if (!text || text->empty()) return fallback;
  return pathFromUtf8(*text);
}

}  // namespace

std::string pathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path panelSettingsPath(const std::filesystem::path& programDir) {
  return programDir / kPanelSettingsFileName;
}

FilePaths defaultFilePaths(const std::filesystem::path& programDir) {
  return FilePaths{programDir / kParameterFileName, programDir / kRecordFileName,
                   programDir / kHardwareFileName, programDir / kTableAttributesFileName};
}

PanelSettings defaultPanelSettings(const std::filesystem::path& programDir) {
  PanelSettings settings;
  settings.paths = defaultFilePaths(programDir);
  return settings;
}

bool isPanelSettingsStore(ini::IniStore& store) {
  const auto type = getString(store, kSectionGeneralInfo, kKeyFileType, kReadBufferSize);
  return type && *type == kPanelSettingsFileType;
}

void readPanelSettingsStore(ini::IniStore& store, const std::filesystem::path& programDir,
                            PanelSettings& out) {
  out.sensorId = getString(store, kSectionGeneralInfo, kTagPanelId, kSensorIdMax).value_or("");

  if (const auto zoom = getInt(store, kSectionPanelPosition, kTagFullscreen)) {
    WindowPlacement window;
    window.zoom = *zoom;
    window.left = getInt(store, kSectionPanelPosition, kTagLeft).value_or(window.left);
    window.top = getInt(store, kSectionPanelPosition, kTagTop).value_or(window.top);
    window.width = getInt(store, kSectionPanelPosition, kTagWidth).value_or(window.width);
    window.height = getInt(store, kSectionPanelPosition, kTagHeight).value_or(window.height);
    out.window = window;
  }

  const FilePaths defaults = defaultFilePaths(programDir);
  out.paths.parameterFile = getPath(store, kTagParameterFile, programDir);
  out.paths.recordFile = getPath(store, kTagRecorderFile, defaults.recordFile);
  out.paths.hardwareFile = getPath(store, kTagHardwareFile, programDir);
  out.paths.tableAttributesFile = getPath(store, kTagTableAttributesFile, programDir);

  if (const auto count = getInt(store, kSectionIpAddresses, kTagListItems)) {
    const int n = std::min(*count, static_cast<int>(kRecentAddressCount));
    for (int k = 1; k <= n; ++k) {
      const std::string tag = std::string(kTagIpAddrPrefix) + std::to_string(k);
      const auto address = getString(store, kSectionIpAddresses, tag, kRecentAddressMax);
      if (!address || address->empty()) continue;
      if (std::find(out.recentAddresses.begin(), out.recentAddresses.end(), *address) !=
          out.recentAddresses.end()) {
        continue;
      }
      out.recentAddresses.push_back(*address);
    }
  }

  attrs::AcquireTableSetFromIniHandle(store, out.rowColors, out.rowSpecs);
}

bool loadPanelSettingsFile(const std::filesystem::path& file,
                           const std::filesystem::path& programDir, PanelSettings& out) {
  out = defaultPanelSettings(programDir);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  ini::IniStore store;
  if (store.Ini_ReadFromFile(file) < 0) return false;
  if (!isPanelSettingsStore(store)) return false;
  readPanelSettingsStore(store, programDir, out);
  return true;
}

ConnectionSettings readConnectionSettings(const std::filesystem::path& file) {
  ConnectionSettings settings;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return settings;
  ini::IniStore store;
  if (store.Ini_ReadFromFile(file) < 0 || !isPanelSettingsStore(store)) return settings;

  settings.protocol =
      getInt(store, kSectionCommunication, kTagProtocol).value_or(settings.protocol);
  settings.comPort = getInt(store, kSectionCommunication, kTagComPort).value_or(settings.comPort);
  settings.baudIndex =
      getInt(store, kSectionCommunication, kTagBaudrate).value_or(settings.baudIndex);
  settings.serverAddress =
      getString(store, kSectionCommunication, kTagIpAddress, kServerAddressMax).value_or("");
  settings.portNumber = getString(store, kSectionCommunication, kTagPortNumber, kPortNumberMax)
                            .value_or(std::to_string(kDefaultTcpPort));
  settings.comDevice =
      getString(store, kSectionCommunication, kTagComDevice, kComDeviceMax).value_or("");
  return settings;
}

void putPanelSettings(ini::IniStore& store, const PanelSettings& settings,
                      const WindowPlacement& window, const ConnectionSettings& connection) {
  store.Ini_PutString(kSectionGeneralInfo, kKeyFileType, kPanelSettingsFileType);
  store.Ini_PutString(kSectionGeneralInfo, kKeyScopeVersion, kScopeVersion);
  store.Ini_PutString(kSectionGeneralInfo, kTagPanelId, settings.sensorId);

  store.Ini_PutInt(kSectionPanelPosition, kTagFullscreen, window.zoom);
  store.Ini_PutInt(kSectionPanelPosition, kTagLeft, window.left);
  store.Ini_PutInt(kSectionPanelPosition, kTagTop, window.top);
  store.Ini_PutInt(kSectionPanelPosition, kTagWidth, window.width);
  store.Ini_PutInt(kSectionPanelPosition, kTagHeight, window.height);

  store.Ini_PutString(kSectionDirectories, kTagParameterFile,
                      pathToUtf8(settings.paths.parameterFile));
  store.Ini_PutString(kSectionDirectories, kTagRecorderFile, pathToUtf8(settings.paths.recordFile));
  store.Ini_PutString(kSectionDirectories, kTagHardwareFile,
                      pathToUtf8(settings.paths.hardwareFile));
  store.Ini_PutString(kSectionDirectories, kTagTableAttributesFile,
                      pathToUtf8(settings.paths.tableAttributesFile));

  const std::size_t count = std::min(settings.recentAddresses.size(), kRecentAddressCount);
  store.Ini_PutInt(kSectionIpAddresses, kTagListItems, static_cast<std::int32_t>(count));
  for (std::size_t k = 1; k <= count; ++k) {
    const std::string tag = std::string(kTagIpAddrPrefix) + std::to_string(k);
    store.Ini_PutString(kSectionIpAddresses, tag, settings.recentAddresses[k - 1]);
  }

  store.Ini_PutInt(kSectionCommunication, kTagProtocol, connection.protocol);
  store.Ini_PutInt(kSectionCommunication, kTagComPort, connection.comPort);
  store.Ini_PutInt(kSectionCommunication, kTagBaudrate, connection.baudIndex);
  store.Ini_PutString(kSectionCommunication, kTagIpAddress, connection.serverAddress);
  store.Ini_PutString(kSectionCommunication, kTagPortNumber, connection.portNumber);
  store.Ini_PutString(kSectionCommunication, kTagComDevice, connection.comDevice);

  attrs::AppendTableSetToIniHandle(store, settings.rowColors, settings.rowSpecs);
}

files::FileWriteResult writePanelSettingsFile(const std::filesystem::path& file,
                                              const PanelSettings& settings,
                                              const WindowPlacement& window,
                                              const ConnectionSettings& connection,
                                              ini::FileReplacer* replacer) {
  ini::IniStore store;
  putPanelSettings(store, settings, window, connection);
  return files::writeIniFile(file, store, replacer);
}

void insertRecentAddress(std::vector<std::string>& list, std::string_view address) {
  if (address.empty()) return;
  std::erase(list, address);
  list.insert(list.begin(), std::string(address));
  if (list.size() > kRecentAddressCount) list.resize(kRecentAddressCount);
}

}  // namespace drq::settings
