#pragma once
// The hardware information file ("HardwareInitialFile.ini" by default): a
// service snapshot of the connected sensor in the INI syntax, entries in the
// order written:
//
//   [GENERAL INFO]        FILE TYPE: "Hardware Initial File",
//                         SCOPE VERSION: "<kFullScopeVersion>",
//                         FIRMWARE VERSION: the identification text
//   [HARDWARE INFO]       DATA: the sensor's 512-byte hardware block as 256
//                         words of four upper-case hex digits, written as a
//                         string (so split into "DATA Line0001".."Line0013")
//   [CALIBRATION FACTOR]  RED, GREEN, BLUE
//   [OFFSET]              RED, GREEN, BLUE
//   [PARAMETER] and [TEACH VECTOR 0..63] exactly as the parameter file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/Session.h"
#include "core/ToolFiles.h"
#include "core/calib/Calibration.h"
#include "core/files/FileWrite.h"
#include "core/params/ParaSet.h"

namespace drq {

namespace ini {
class IniStore;
class FileReplacer;
}  // namespace ini

inline constexpr std::string_view kHardwareFileFilter = "*.ini";
inline constexpr std::string_view kHardwareFileDialogTitle = "HardwareInitialFile";

inline constexpr std::string_view kHardwareFileType = "Hardware Initial File";
inline constexpr std::string_view kKeyFirmwareVersion = "FIRMWARE VERSION:";
inline constexpr std::string_view kSectionHardwareInfo = "HARDWARE INFO";
inline constexpr std::string_view kKeyHardwareData = "DATA";
inline constexpr std::string_view kSectionCalibrationFactor = "CALIBRATION FACTOR";
inline constexpr std::string_view kSectionOffset = "OFFSET";
inline constexpr std::array<std::string_view, 3> kChannelKeys{"RED", "GREEN", "BLUE"};

// Messages appended to the connection page's message box.
inline constexpr std::string_view kMsgNoHardwareFileSelected =
    "ATTENTION!   NO FILE WAS SELECTED!\n\n";
inline constexpr std::string_view kMsgHardwareFileSaved = "HARDWARE INI FILE HAS BEEN SAVED TO:\n";
inline constexpr std::string_view kMsgHardwareFileNotSaved =
    "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n";

// The block of ORDER_GET_HW_INFO, which needs the guard 13527 as argument.
inline constexpr std::size_t kHwInfoWords = 256;
using HwInfoBlock = std::array<std::uint16_t, kHwInfoWords>;

// The first 256 little-endian words of a payload; words the sensor did not
// send read as 0, bytes beyond 512 are ignored.
HwInfoBlock hwInfoBlockOf(std::span<const std::uint8_t> payload);

// The DATA value: every word as exactly four upper-case hex digits, no
// separators (1024 characters).
std::string hwInfoDataString(const HwInfoBlock& block);

// ORDER_GET_HW_INFO with argument 13527 and no payload; `out` gets the
// answer's block. 1, or -1 when the exchange failed (reported; `out` kept).
int readHwInfoBlock(SensorLink& link, HwInfoBlock& out);

// Everything the file holds.
struct HardwareFileContent {
  std::string identification;  // the text of the last ORDER_IDENTIFY answer
  HwInfoBlock block{};
  ChannelWords factors = kNeutralFactors;
  ChannelWords offsets{};
  ParaSet set = defaultParaSet();
};

// Puts the entries in file order into an empty store.
void fillHardwareStore(ini::IniStore& store, const HardwareFileContent& content);

// Writes the file to `path`, replacing it whole; on failure the old file is
// left as it was. `replacer` (tests) stands in for the disk.
files::FileWriteResult writeHardwareFile(const std::filesystem::path& path,
                                         const HardwareFileContent& content,
                                         ini::FileReplacer* replacer = nullptr);

// "HARDWARE INI FILE HAS BEEN SAVED TO:\n" path "\n\n", or on failure
// "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n" path "\n" reason
// "\n\n".
std::string hardwareFileMessage(const std::filesystem::path& path,
                                const files::FileWriteResult& result);

// What GenerateHWInfoFile needs from the window (or the command line).
class HardwareFileHost {
 public:
  virtual ~HardwareFileHost() = default;
  // Reads the parameter set of the session's target (set to RAM around this
  // call) and selected set into `read`, as the sensor sent it, and shows it
  // on the parameter pages (GetPara and the refresh of the pages). A failed
  // read leaves `read` as it was.
  virtual void getPara(ParaSet& read) = 0;
  // GetCF into `read` (left as it was on failure), shown on the calibration
  // and offset pages.
  virtual void getCF(CalibrationValues& read) = 0;
  // The file dialog, starting at `current`; nullopt on cancel or failure.
  virtual std::optional<std::filesystem::path> chooseFile(const std::filesystem::path& current) = 0;
  // Appends to the connection page's message box.
  virtual void appendMessage(std::string_view text) = 0;
};

// The whole operation: sets the link-up flag; reads the parameters from RAM
// (the transfer target restored afterwards), then the factors and offsets,
// then the hardware block, stopping silently as soon as the link-up flag is
// cleared (the link reported why); asks for the file; writes it from the
// values read (what the sensor holds, whatever the pages could show) and
// session.identification and appends the outcome (or
// "ATTENTION!   NO FILE WAS SELECTED!\n\n"). The chosen path becomes
// session.hardwareFile. Returns 1 when the file was written, 0 when no file
// was chosen, -1 when an exchange or the write failed.
int GenerateHWInfoFile(Session& session, HardwareFileHost& host,
                       ini::FileReplacer* replacer = nullptr);

}  // namespace drq
