#pragma once
// The table attributes file ("TableAttributes.ini" by default): the colour and
// the specification text of every teach row, kept on the PC only. An INI file:
//
//   [GENERAL INFO]
//   FILE TYPE: = "Table Attributes"
//   SCOPE VERSION: = "<kScopeVersion>"
//
// followed by the 64 row sections of core/attrs/RowAttributeSections.h, rows
// 0..63 in ascending order. The panel settings file carries the same row
// sections.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/attrs/RowAttributeSections.h"
#include "core/attrs/RowColors.h"
#include "core/files/FileWrite.h"
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

// Writes the table attributes file to `path`, replacing it atomically: on
// failure the old file keeps its content and no temporary file is left.
// `replacer` (tests) stands in for the disk.
files::FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                                const RowColorArray& colors,
                                                const RowSpecifications& rowTexts,
                                                ini::FileReplacer* replacer = nullptr);

// Reading a table attributes file.
struct TableAttributesRead : FileHeaderCheck {
  bool taken = false;  // the rows were taken into colors and rowTexts
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
