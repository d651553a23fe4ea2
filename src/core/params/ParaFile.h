#pragma once
// The parameter file ("Parameter.ini" by default): an INI file with a GENERAL
// INFO section, the PARAMETER section (17 keys in record order) and 64 TEACH
// VECTOR sections (CELL 0..4, "GROUP ", "HOLD "). The spare word of a teach
// vector is not filed. Reading is forgiving: a missing or unreadable value takes
// its default and is named in a list the operator is shown afterwards.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/ToolFiles.h"
#include "core/files/FileWrite.h"
#include "core/params/ControlLimits.h"
#include "core/params/ParaNames.h"
#include "core/params/ParaSet.h"

namespace drq {

namespace ini {
class IniStore;
class FileReplacer;
}  // namespace ini

inline constexpr std::string_view kParameterFileType = "Parameter File";

// Operator texts of reading and writing.
inline constexpr std::string_view kListTitle = "Attention!";
inline constexpr std::string_view kMsgNoFileSelected = "No file was selected!";
inline constexpr std::string_view kMsgNotParameterFile =
    "Selected file is not a parameter file! \nDo you want to proceed anyway?";
inline constexpr std::string_view kMsgVersionMismatch =
    "Selected file and scope version do not match! \nDo you want to proceed anyway?";
inline constexpr std::string_view kMsgNothingRead = "No parameter where read!";
inline constexpr std::string_view kParaListHeading =
    "Following parameter could not be read \nand where set to default value:\n\n";
inline constexpr std::string_view kTeachListHeading =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

// Puts the PARAMETER section (Ini_PutInt, record order).
void AppendParaToIniHandle(ini::IniStore& store, const ParaRecord& record);
// Puts the 64 TEACH VECTOR sections: CELL 0..4, "GROUP ", "HOLD ".
void AppendTechVecToIniHandle(ini::IniStore& store, const TeachTable& table);

// What could not be read. `text` is the list as the operator sees it: the
// heading, then one name per line; empty when nothing was missing.
struct MissingList {
  std::vector<std::string> names;
  std::string text;
  bool empty() const { return names.empty(); }
};

// Takes the 17 record words from PARAMETER: a key counts as read only when
// Ini_GetInt returns 1; a read value is stored as its low 16 bits, any other
// word takes its default and is listed (EXTERN TEACH as "EXTEACH"). Values
// read that do not fit 16 bits are also added to `wide` when it is given.
MissingList AcquireParaFromIniHandle(ini::IniStore& store, ParaRecord& record,
                                     std::vector<FiledValue>* wide = nullptr);
// Takes CELL 0..4, GROUP and HOLD of every row the same way; a row with any of
// the seven missing is listed by its section name. Spare words stay.
MissingList AcquireTechVecFromIniHandle(ini::IniStore& store, TeachTable& table,
                                        std::vector<FiledValue>* wide = nullptr);

// Writes a parameter file of `set` to `path` (replacing it atomically; on
// failure the old file is left as it was). `replacer` (tests) stands in for
// the disk.
files::FileWriteResult writeParameterFile(const std::filesystem::path& path, const ParaSet& set,
                                          ini::FileReplacer* replacer = nullptr);
// The bytes writeParameterFile would write is what the store writes; this
// builds that store.
void fillParameterStore(ini::IniStore& store, const ParaSet& set);

// Reading a parameter file. The two questions are asked through `confirm`,
// which gets the popup's title and text and answers yes (true) or no.
using ConfirmFn = std::function<bool(std::string_view title, std::string_view text)>;

// The GENERAL INFO of a tool file that is read, and the questions it raises.
struct FileHeaderCheck {
  int readStatus = 0;         // the store's read status (negative: the file could not be read)
  std::error_code readError;  // the system's error when readStatus is negative
  std::string fileType;       // GENERAL INFO "FILE TYPE:" (empty when absent)
  std::string scopeVersion;
  bool typeOk = false;     // fileType is the one expected
  bool versionOk = false;  // scopeVersion is kScopeVersion
};

// Reads `path` into `store` and checks its file type and scope version into
// `check`. A file that cannot be read (readStatus negative, readError the
// system's reason) asks nothing and gives false. A type other
// than `expectedType` asks `notThisType`, then a different version asks
// kMsgVersionMismatch, both through `confirm` with the title kTitleAttention. True
// when both match or the operator said yes to each question asked; the caller
// then takes the content from `store`.
bool readCheckedToolFile(const std::filesystem::path& path, ini::IniStore& store,
                         std::string_view expectedType, std::string_view notThisType,
                         const ConfirmFn& confirm, FileHeaderCheck& check);

struct ParameterFileRead : FileHeaderCheck {
  bool taken = false;      // the values were taken into the set
  MissingList parameters;  // keys that took their defaults
  MissingList teachVectors;
  // Values taken that do not fit their 16-bit word (which holds the low 16
  // bits), in file order: a caller that limits values uses these instead.
  std::vector<FiledValue> wideValues;
};

// Reads `path` into `set`. A file that cannot be read (readStatus negative,
// readError the system's reason) changes nothing and asks nothing. Otherwise
// checks the type (asking kMsgNotParameterFile when it is wrong) and then the
// version (asking kMsgVersionMismatch), and on yes takes the parameters and
// then the teach vectors. On no nothing changes; the caller shows
// kMsgNothingRead. The caller shows the non-empty lists, titled
// "Attention!", parameters first, and then refreshes the panels in both cases.
ParameterFileRead readParameterFile(const std::filesystem::path& path, ParaSet& set,
                                    const ConfirmFn& confirm);

}  // namespace drq
