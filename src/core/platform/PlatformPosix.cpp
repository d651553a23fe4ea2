#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/platform/Platform.h"

namespace drq::platform {

namespace {
std::error_code lastError(int fallback) {
  return errnoCode(errno != 0 ? errno : fallback);
}
}  // namespace

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(utf8);
}

std::string utf8FromPath(const std::filesystem::path& path) {
  return path.string();
}

std::FILE* openFile(const std::filesystem::path& path, const char* mode, std::error_code& error) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), mode);
  error = file == nullptr ? lastError(EIO) : std::error_code();
  return file;
}

std::error_code flushToDisk(std::FILE* file) {
  errno = 0;
  if (std::fflush(file) != 0) return lastError(EIO);
  // EINVAL: a device or pipe, which has nothing to sync.
  if (::fsync(::fileno(file)) != 0 && errno != EINVAL) return lastError(EIO);
  return {};
}

std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  errno = 0;
  if (std::rename(from.c_str(), to.c_str()) != 0) return lastError(EIO);
  return {};
}

void syncDirectory(const std::filesystem::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string errorText(const std::error_code& error) {
  return error.message();
}

}  // namespace drq::platform
#endif
