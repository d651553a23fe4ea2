#pragma once
// Content of the panel settings file "PanelSettings.cfg": which sections and
// tags it holds, their defaults and how they are read and written. Pure
// functions over the INI store; the main window applies the values to its
// widgets.
//
// Sections, in the order written:
//   GENERAL INFO            FILE TYPE: / SCOPE VERSION: / PANEL ID:
//   PANEL POSITION          MAINPANEL FULLSCREEN / LEFT / TOP / WIDTH / HEIGHT
//   DIRECTORIES             PARAMETER FILE / RECORDER FILE / HARDWARE INI FILE /
//                           TABLE ATTRIBUTES FILE
//   IP ADDRESSES            LIST ITEMS, IP ADDR 1 .. IP ADDR n (most recent first)
//   COMMUNICATION SETTINGS  COMPROTOCOL / COMPORT / BAUDRATE / IP ADRESS /
//                           PORT NUMBER / COMPORT DEVICE
//   TABLE ATTR OF TEACH VECTOR 0 .. 63   (core/attrs/RowAttributeSections.h)
//
// "COMPORT DEVICE" names the serial device explicitly (any device path the
// system offers); readers that do not know it ignore it, and "COMPORT" keeps
// the COM port number.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ToolFiles.h"
#include "core/attrs/RowAttributeSections.h"
#include "core/attrs/RowColors.h"
#include "core/files/FileWrite.h"
#include "core/ini/IniStore.h"
#include "core/protocol/LinkSettings.h"

namespace drq::settings {

inline constexpr std::string_view kPanelSettingsFileType = "Panel Settings";

// Sections and tags.
inline constexpr std::string_view kTagPanelId = "PANEL ID:";
inline constexpr std::string_view kSectionPanelPosition = "PANEL POSITION";
inline constexpr std::string_view kTagFullscreen = "MAINPANEL FULLSCREEN";
inline constexpr std::string_view kTagLeft = "MAINPANEL LEFT";
inline constexpr std::string_view kTagTop = "MAINPANEL TOP";
inline constexpr std::string_view kTagWidth = "MAINPANEL WIDTH";
inline constexpr std::string_view kTagHeight = "MAINPANEL HEIGHT";
inline constexpr std::string_view kSectionDirectories = "DIRECTORIES";
inline constexpr std::string_view kTagParameterFile = "PARAMETER FILE";
inline constexpr std::string_view kTagRecorderFile = "RECORDER FILE";
inline constexpr std::string_view kTagHardwareFile = "HARDWARE INI FILE";
inline constexpr std::string_view kTagTableAttributesFile = "TABLE ATTRIBUTES FILE";
inline constexpr std::string_view kSectionIpAddresses = "IP ADDRESSES";
inline constexpr std::string_view kTagListItems = "LIST ITEMS";
inline constexpr std::string_view kTagIpAddrPrefix = "IP ADDR ";
inline constexpr std::string_view kSectionCommunication = "COMMUNICATION SETTINGS";
inline constexpr std::string_view kTagProtocol = "COMPROTOCOL";
inline constexpr std::string_view kTagComPort = "COMPORT";
inline constexpr std::string_view kTagBaudrate = "BAUDRATE";
inline constexpr std::string_view kTagIpAddress = "IP ADRESS";
inline constexpr std::string_view kTagPortNumber = "PORT NUMBER";
inline constexpr std::string_view kTagComDevice = "COMPORT DEVICE";

// Field sizes (bytes of text kept).
inline constexpr std::size_t kSensorIdMax = 99;
inline constexpr std::size_t kPathMax = 259;
inline constexpr std::size_t kRecentAddressMax = 1023;
inline constexpr std::size_t kServerAddressMax = 255;
inline constexpr std::size_t kPortNumberMax = 31;
inline constexpr std::size_t kComDeviceMax = 255;

// At most this many recent server addresses are kept.
inline constexpr std::size_t kRecentAddressCount = 10;

// Zoom state of the main window as stored ("MAINPANEL FULLSCREEN").
inline constexpr int kZoomNormal = 0;
inline constexpr int kZoomMinimized = 1;
inline constexpr int kZoomMaximized = 2;

// The main window's size unless the settings say otherwise, and the size a
// right double click on its background restores.
inline constexpr int kDefaultWindowWidth = 790;
inline constexpr int kDefaultWindowHeight = 548;

// Placement of the main window in screen pixels (client area).
struct WindowPlacement {
  int zoom = kZoomNormal;
  int left = 10;
  int top = 40;
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  bool operator==(const WindowPlacement&) const = default;
};

// The remembered file paths: starting points of the file selection popups.
struct FilePaths {
  std::filesystem::path parameterFile;
  std::filesystem::path recordFile;
  std::filesystem::path hardwareFile;
  std::filesystem::path tableAttributesFile;
  bool operator==(const FilePaths&) const = default;
};

// Everything the panel settings file holds except the communication settings.
struct PanelSettings {
  std::string sensorId;                   // at most 99 bytes
  std::optional<WindowPlacement> window;  // read: only when "MAINPANEL FULLSCREEN" is present
  FilePaths paths;
  std::vector<std::string> recentAddresses;  // most recent first, at most 10, distinct
  RowColorArray rowColors = defaultRowColors();
  attrs::RowSpecifications rowSpecs;
};

// The communication settings the connection page edits.
struct ConnectionSettings {
  int protocol = 0;                                          // 0 RS-232, 1 TCP/IP
  int comPort = 1;                                           // COM port number
  int baudIndex = kDefaultBaudIndex;                         // index into the baud-rate table
  std::string serverAddress;                                 // at most 255 bytes
  std::string portNumber = std::to_string(kDefaultTcpPort);  // port number text, at most 31 bytes
  std::string comDevice;  // explicit serial device; empty: derived from comPort
  bool operator==(const ConnectionSettings&) const = default;
};

// Path text as stored (UTF-8) and back.
std::string pathToUtf8(const std::filesystem::path& path);
std::filesystem::path pathFromUtf8(std::string_view text);

// programDir / "PanelSettings.cfg".
std::filesystem::path panelSettingsPath(const std::filesystem::path& programDir);

// Defaults when there is no file: each path is programDir / its default name.
FilePaths defaultFilePaths(const std::filesystem::path& programDir);
PanelSettings defaultPanelSettings(const std::filesystem::path& programDir);

// True when "FILE TYPE:" of "GENERAL INFO" is exactly "Panel Settings".
bool isPanelSettingsStore(ini::IniStore& store);

// Reads a panel settings store over the defaults in `out` (which the caller
// has set): sensor ID, window (only when "MAINPANEL FULLSCREEN" is present;
// missing position tags keep 10, 40, 790, 548), the four paths (a missing or
// blank tag gives the program directory, for the record file the default
// record file path), up to 10 distinct non-empty recent addresses in the order
// of their numbers (missing numbers skipped) and the 64 row attributes.
// Does not check the file type.
void readPanelSettingsStore(ini::IniStore& store, const std::filesystem::path& programDir,
                            PanelSettings& out);

// The whole load: defaults for programDir, then the file's values when the
// file can be read and is a panel settings file. Returns true when the file
// was used; false leaves every default in place.
bool loadPanelSettingsFile(const std::filesystem::path& file,
                           const std::filesystem::path& programDir, PanelSettings& out);

// The communication settings of the file: defaults (RS-232, COM1, index 4,
// no address, "10001", no device), each replaced by the file's value when
// the file is a panel settings file and the tag is present and valid.
ConnectionSettings readConnectionSettings(const std::filesystem::path& file);

// Puts the whole file content into an empty store, in the order written.
void putPanelSettings(ini::IniStore& store, const PanelSettings& settings,
                      const WindowPlacement& window, const ConnectionSettings& connection);

// putPanelSettings into a fresh store written to `file` (atomically; on
// failure the old file is left as it was). `replacer` (tests) stands in for
// the disk.
files::FileWriteResult writePanelSettingsFile(const std::filesystem::path& file,
                                              const PanelSettings& settings,
                                              const WindowPlacement& window,
                                              const ConnectionSettings& connection,
                                              ini::FileReplacer* replacer = nullptr);

// The recent-address update on commit of the address field: an empty address
// changes nothing; otherwise the address moves (or is added) to the top and
// the list is cut to 10 entries.
void insertRecentAddress(std::vector<std::string>& list, std::string_view address);

}  // namespace drq::settings
