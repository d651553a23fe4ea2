#pragma once
// The INI store: an in-memory list of sections with tag/value items, and the
// text syntax in which every file of the tool except the record file is
// written. One store lives for one file operation.
//
// Written files: CR LF line ends, "[SECTION]" headers, "TAG = VALUE" items,
// string values quoted and escaped (\t \n \r \" \\ \xhh), values longer than
// 80 escaped characters split into "TAG LineNNNN" items, an empty line after
// every section. Reading accepts CR, LF, CR LF, LF CR and NUL line ends and
// cuts lines to 1024 characters. Comment lines (";") read from a file are kept
// and written back before the section or item they preceded.
//
// Section and tag names compare without regard to letter case (A to Z) and to
// white space around them; the first match in order wins. Everything is bytes
// in the C locale.
//
// Status codes (the operations' results):

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace drq::ini {

inline constexpr int kIniOk = 0;
inline constexpr int kIniOutOfMemory = -12;
inline constexpr int kIniMissingArgument = -65;
inline constexpr int kIniCannotOpen = -5001;
inline constexpr int kIniReadError = -5002;
inline constexpr int kIniInvalidInteger = -5021;
inline constexpr int kIniWriteError = -93;
inline constexpr int kIniAccessDenied = -95;
inline constexpr int kIniDiskFull = -97;

class FileReplacer;

class IniStore {
 public:
  // An empty store. The tool always creates stores without automatic sorting.
  IniStore();

  // Adds the file's sections to the store (after those it holds, even when a
  // name repeats). 0 on success; -5001 when the file cannot be opened, -5002 on
  // a read error, -12 when memory is short; on failure the store is unchanged.
  // Memory use grows at most linearly with the file's size.
  int Ini_ReadFromFile(const std::filesystem::path& path);
  // The same; on failure `reason` receives the system's error of the failing
  // step (ENOENT, EACCES, EISDIR, ENOMEM, ...), on success it is cleared.
  int Ini_ReadFromFile(const std::filesystem::path& path, std::error_code& reason);

  // Writes the store to `path` through a temporary file in the same directory
  // that then replaces the target. Not negative on success; -95 when the target
  // or its directory is write-protected, -97 when the disk is full, -93 on
  // other write errors, -12 when memory is short. On failure the target keeps
  // its old content and no temporary file is left.
  int Ini_WriteToFile(const std::filesystem::path& path) const;
  // The same through another way of replacing the file (see FileReplacer.h).
  int Ini_WriteToFile(const std::filesystem::path& path, FileReplacer& replacer) const;

  // Puts an escaped, quoted string item; replaces every item of the same tag
  // in the section (the new one takes the first one's place). 0, or -12.
  int Ini_PutString(std::string_view section, std::string_view tag, std::string_view text);

  // Puts an unquoted decimal integer item, with the same replacement rule.
  int Ini_PutInt(std::string_view section, std::string_view tag, std::int32_t value);

  // 1 found, 0 not found; `out` receives the unescaped value cut to
  // bufferSize - 1 bytes (empty when not found). bufferSize 0 gives -65 and
  // leaves `out` alone; -12 when memory is short.
  int Ini_GetStringIntoBuffer(std::string_view section, std::string_view tag, std::string& out,
                              std::size_t bufferSize);

  // 1 found and a valid integer (stored in out), 0 not found or blank (out
  // untouched), -5021 not a valid integer (out untouched).
  int Ini_GetInt(std::string_view section, std::string_view tag, int& out);

  // Line number (1 = the file's first line) of the item found by the last get;
  // -1 before any, and for an item that was put rather than read.
  int lineOfLastAccess() const { return lineOfLastAccess_; }

 private:
  // `key` is nameKey() of the name, kept with it so that a lookup compares
  // each candidate with one string comparison.
  struct Item {
    std::string tag;
    std::string key;
    std::string value;  // escaped form for strings, decimal text for numbers
    bool quoted = false;
    int line = -1;
    std::string comment;  // comment lines joined with CR LF, without the last CR LF
  };
  struct Section {
    std::string name;
    std::string key;
    std::vector<Item> items;
    std::string comment;
  };
  class Parser;

  Section* findSection(std::string_view name);
  const Item* findItem(std::string_view section, std::string_view tag) const;
  int putValue(std::string_view section, std::string_view tag, std::string value, bool quoted);

  std::vector<Section> sections_;
  std::string headerComment_;
  std::string trailerComment_;
  int lineOfLastAccess_ = -1;
};

// What a negative status of the store means, in a few words for an operator
// ("disk full", "write-protected", ...); "error" for an unknown status.
std::string_view iniStatusText(int status);

// The write status for the system's error of a failed step: -95 when
// permission is denied or the file system is read-only, -97 when the disk is
// full, -12 when memory is short, -93 otherwise; 0 for no error.
int statusOfWriteError(const std::error_code& error);

}  // namespace drq::ini
