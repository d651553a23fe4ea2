#pragma once
// The table attributes file ("TableAttributes.ini" by default): the colour and
// the specification text of every teach row, kept on the PC only. An INI file:
//
//   [GENERAL INFO]
//   FILE TYPE: = "Table Attributes"
//   SCOPE VERSION: = "VELMARON DRQ Scope V1.0"
//
// followed by the 64 row sections of core/attrs/RowAttributeSections.h, rows
// 0..63 in ascending order. The panel settings file carries the same row
// sections.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/attrs/RowAttributeSections.h"
#include "core/attrs/RowColors.h"
#include "core/params/ParaFile.h"

namespace drq {
namespace ini {
class FileReplacer;
class IniStore;
}  // namespace ini

namespace attrs {

inline constexpr std::string_view kTableAttributesFileType = "Table Attributes";

// Operator texts of reading and writing (title "ATTENTION!"). "No file was
// selected!", the version question and "No parameter where read!" are the
// parameter file's (core/params/ParaFile.h).
inline constexpr std::string_view kMsgNotTableAttributesFile =
    "Selected file is not a table attributes file! \nDo you want to proceed anyway?";
// Shown when the file could not be written, followed by the path, an empty
// line and the system's reason.
inline constexpr std::string_view kMsgTableAttributesNotWritten =
    "The table attributes file could not be written! \nThe row colors and specifications were "
    "NOT saved:\n\n";
// Shown when the file could not be read, followed by the path, an empty line
// and the system's reason.
inline constexpr std::string_view kMsgTableAttributesNotRead =
    "The table attributes file could not be read! \nThe row colors and specifications were "
    "NOT changed:\n\n";

// Puts the whole file content into an empty store, in the order written:
// GENERAL INFO, then rows 0..63 (colors[0..63], rowTexts).
void fillTableAttributesStore(ini::IniStore& store, const RowColorArray& colors,
                              const RowSpecifications& rowTexts);

// The outcome of writing a file.
struct FileWriteResult {
  int status = 0;          // the store's write status: not negative on success
  std::error_code reason;  // the system's error of the failing step; empty on success
  bool ok() const { return status >= 0; }
};

// Writes the table attributes file to `path`, replacing it atomically: on
// failure the old file keeps its content and no temporary file is left.
FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                         const RowColorArray& colors,
                                         const RowSpecifications& rowTexts);
// The same through another way of replacing the file (tests inject failures).
FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                         const RowColorArray& colors,
                                         const RowSpecifications& rowTexts,
                                         ini::FileReplacer& replacer);

// Why a write failed, in the system's words ("Permission denied", "No space
// left on device", ...); for a failure without a system error, the store's
// status in words. Empty on success.
std::string writeFailureReason(const FileWriteResult& result);

// Reading a table attributes file.
struct TableAttributesRead {
  int readStatus = 0;         // the store's read status (negative: the file could not be read)
  std::error_code readError;  // the system's error when readStatus is negative
  std::string fileType;       // GENERAL INFO "FILE TYPE:" (empty when absent)
  std::string scopeVersion;
  bool typeOk = false;     // fileType is "Table Attributes"
  bool versionOk = false;  // scopeVersion is "VELMARON DRQ Scope V1.0"
  bool taken = false;      // the rows were taken into colors and rowTexts
  // Rows without a valid "Row color", which took their default colours
  // (ascending). The caller shows missingRowsReport(missingRows) under
  // "Attention!" when it is not empty.
  std::vector<std::size_t> missingRows;
};

// Reads `path`. A file that cannot be read (readStatus negative, readError
// the system's reason) changes nothing and asks nothing; the caller shows
// kMsgTableAttributesNotRead. Otherwise checks the file type (asking
// kMsgNotTableAttributesFile when it is not "Table Attributes") and then the
// scope version (asking the version question), both through `confirm` with
// the title "ATTENTION!". On yes (or when both match) the 64 rows are taken into colors[0..63] and
// rowTexts (AcquireTableSetFromIniHandle); entries 64..74 stay. On no nothing
// changes and the caller shows "No parameter where read!".
TableAttributesRead readTableAttributesFile(const std::filesystem::path& path,
                                            RowColorArray& colors, RowSpecifications& rowTexts,
                                            const ConfirmFn& confirm);

// The reset: every entry of `colors` (all 75) takes its default colour and
// every row specification becomes empty.
void resetRowAttributes(RowColorArray& colors, RowSpecifications& rowTexts);

}  // namespace attrs
}  // namespace drq
