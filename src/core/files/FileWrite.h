#pragma once
// The one way the tool writes its files. A replacing write goes through a
// temporary file in the target's folder that then takes the target's name
// (core/ini/FileReplacer.h): on failure the old file keeps its content and no
// temporary file is left. Record lines are appended, and a failed append is
// rolled back. Every failure carries the system's own error, so that the
// operator is told the real reason.

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace drq {
namespace ini {
class FileReplacer;
class IniStore;
}  // namespace ini

namespace files {

// The outcome of writing a file.
struct FileWriteResult {
  // The INI store's write status (core/ini/IniStore.h): not negative on
  // success; -95 write-protected, -97 disk full, -93 other write errors, -12
  // memory short.
  int status = 0;
  // The system's error of the failing step; empty on success.
  std::error_code reason;
  bool ok() const { return status >= 0; }
};

// Replaces `path` with `bytes` as a whole. `replacer` (tests) stands in for
// the disk; nullptr: the local file system.
FileWriteResult writeFile(const std::filesystem::path& path, std::string_view bytes,
                          ini::FileReplacer* replacer = nullptr);

// Replaces `path` with the text of `store`, the same way.
FileWriteResult writeIniFile(const std::filesystem::path& path, const ini::IniStore& store,
                             ini::FileReplacer* replacer = nullptr);

// Why a write failed, in the system's words ("Permission denied", "No space
// left on device", ...; on Windows the system's message text, in UTF-8).
// Empty on success.
std::string failureReason(const FileWriteResult& result);

// Appends `bytes` to `path` with one open (created when missing), write and
// close; a failure of the final close (a full disk) counts. A file that no
// one may write is left alone (permission denied). On failure a regular file
// is cut back to its old length and a file the append created is removed, so
// that the next append does not run into half of this one. Empty on success.
std::error_code appendWithRollback(const std::filesystem::path& path, std::string_view bytes);

// Writes `bytes` to `path` with one open, truncating it: for a device or pipe
// that is written to and never replaced. Empty on success.
std::error_code writeInPlace(const std::filesystem::path& path, std::string_view bytes);

}  // namespace files
}  // namespace drq
