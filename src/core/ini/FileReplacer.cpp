#include "core/ini/FileReplacer.h"

#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>

#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <unistd.h>
#define DRQ_HAVE_FSYNC 1
#endif

namespace drq::ini {
namespace fs = std::filesystem;
namespace {

// Keeps the temporary name within the usual 255-byte limit of a file name.
constexpr std::size_t kMaxTempStem = 200;

int errnoOr(int fallback) {
  return errno != 0 ? errno : fallback;
}

// 0 when this process may write the existing file `target`; opening it for
// update changes neither its content nor its times.
int probeWritable(const fs::path& target) {
  errno = 0;
  std::FILE* probe = std::fopen(target.c_str(), "r+b");
  if (probe == nullptr) return errnoOr(EACCES);
  std::fclose(probe);
  return 0;
}

#ifdef DRQ_HAVE_FSYNC
// Makes the new directory entry durable; best effort.
void syncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
#endif

}  // namespace

bool hasNoWriteBit(const fs::file_status& status) {
  constexpr auto kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (status.permissions() & kAnyWrite) == fs::perms::none;
}

DiskFileReplacer::~DiskFileReplacer() {
  discard();
}

int DiskFileReplacer::begin(const fs::path& target) {
  discard();
  std::error_code ec;
  const auto status = fs::status(target, ec);
  const bool exists = fs::exists(status);
  if (!exists && status.type() != fs::file_type::not_found && ec) return ec.value();
  if (exists) {
    if (fs::is_directory(status)) return EISDIR;
    if (hasNoWriteBit(status)) return EACCES;
    if (const int err = probeWritable(target); err == EACCES || err == EPERM || err == EROFS) {
      return err;
    }
  }

  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const auto dirStatus = fs::status(directory, ec);
  if (ec) return ec.value();
  if (!fs::is_directory(dirStatus)) return ENOTDIR;
  if (hasNoWriteBit(dirStatus)) return EACCES;

  std::string stem(1, '.');
  stem.append(target.filename().string(), 0, kMaxTempStem);
  stem += '.';
  auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const fs::path candidate = directory / (stem + std::to_string(seed >> 24) + ".tmp");
    errno = 0;
    // "x": fails instead of opening a file that exists already.
    file_ = std::fopen(candidate.c_str(), "wxb");
    if (file_ != nullptr) {
      temp_ = candidate;
      target_ = target;
      break;
    }
    if (errno != EEXIST) return errnoOr(EIO);
  }
  if (file_ == nullptr) return EEXIST;
  // The caller buffers; every write goes straight to the system and reports there.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if (exists) fs::permissions(temp_, status.permissions(), ec);
  return 0;
}

int DiskFileReplacer::write(std::string_view bytes) {
  if (file_ == nullptr) return EBADF;
  while (!bytes.empty()) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
    if (written == 0) {
      if (errno == EINTR) continue;
      return errnoOr(EIO);
    }
    bytes.remove_prefix(written);
  }
  return 0;
}

int DiskFileReplacer::commit() {
  if (file_ == nullptr) return EBADF;
  errno = 0;
  if (std::fflush(file_) != 0) return errnoOr(EIO);
#ifdef DRQ_HAVE_FSYNC
  if (::fsync(::fileno(file_)) != 0 && errno != EINVAL) return errnoOr(EIO);
#endif
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) return errnoOr(EIO);
  std::error_code ec;
  fs::rename(temp_, target_, ec);
  if (ec) return ec.value();
  temp_.clear();
#ifdef DRQ_HAVE_FSYNC
  syncDirectory(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
#endif
  return 0;
}

void DiskFileReplacer::abort() noexcept {
  discard();
}

void DiskFileReplacer::discard() noexcept {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
  }
}

}  // namespace drq::ini
