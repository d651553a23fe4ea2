#include "core/files/FileWrite.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>

#include "core/ini/FileReplacer.h"
#include "core/ini/IniStore.h"
#include "core/platform/Platform.h"

namespace drq::files {
namespace fs = std::filesystem;
using platform::errnoCode;

namespace {

std::error_code writeAll(std::FILE* file, std::string_view bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    if (written == 0) {
      if (errno == EINTR) continue;
      return errnoCode(errno != 0 ? errno : EIO);
    }
    bytes.remove_prefix(written);
  }
  return {};
}

// One open, write and close; the first failing step's error.
std::error_code writeWithOneOpen(const fs::path& path, std::string_view bytes, const char* mode) {
  std::error_code error;
  std::FILE* file = platform::openFile(path, mode, error);
  if (file == nullptr) return error;
  error = writeAll(file, bytes);
  errno = 0;
  // The close writes out the stream's buffer: a full disk shows up here.
  if (std::fclose(file) != 0 && !error) error = errnoCode(errno != 0 ? errno : EIO);
  return error;
}

FileWriteResult failedWith(std::error_code error) {
  return FileWriteResult{ini::statusOfWriteError(error), error};
}

}  // namespace

FileWriteResult writeFile(const fs::path& path, std::string_view bytes,
                          ini::FileReplacer* replacer) {
  ini::DiskFileReplacer disk;
  ini::FileReplacer& target = replacer != nullptr ? *replacer : disk;
  std::error_code error = target.begin(path);
  if (!error) error = target.write(bytes);
  if (!error) error = target.commit();
  if (!error) return {};
  target.abort();
  return failedWith(error);
}

FileWriteResult writeIniFile(const fs::path& path, const ini::IniStore& store,
                             ini::FileReplacer* replacer) {
  ini::DiskFileReplacer disk;
  ini::ErrorKeepingReplacer keeping(replacer != nullptr ? *replacer : disk);
  FileWriteResult result;
  result.status = store.Ini_WriteToFile(path, keeping);
  if (!result.ok()) {
    result.reason = keeping.firstError() ? keeping.firstError()
                    : result.status == ini::kIniOutOfMemory
                        ? std::make_error_code(std::errc::not_enough_memory)
                        : std::error_code();
  }
  return result;
}

std::string failureReason(const FileWriteResult& result) {
  if (result.ok()) return {};
  if (result.reason) return platform::errorText(result.reason);
  return std::string(ini::iniStatusText(result.status));
}

std::error_code appendWithRollback(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  const bool regular = fs::is_regular_file(status);
  if (regular && ini::hasNoWriteBit(status)) return errnoCode(EACCES);
  const std::uintmax_t lengthBefore = regular ? fs::file_size(path, ec) : 0;
  const bool known = regular && !ec;
  const std::error_code error = writeWithOneOpen(path, bytes, "ab");
  if (!error) return {};
  // Part of the bytes may have reached the file (a full disk takes what
  // fits): the file goes back to where it ended.
  if (known) {
    fs::resize_file(path, lengthBefore, ec);
  } else if (!fs::exists(status) && fs::is_regular_file(fs::status(path, ec))) {
    fs::remove(path, ec);
  }
  return error;
}

std::error_code writeInPlace(const fs::path& path, std::string_view bytes) {
  return writeWithOneOpen(path, bytes, "wb");
}

}  // namespace drq::files
