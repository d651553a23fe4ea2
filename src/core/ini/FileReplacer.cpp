#include "core/ini/FileReplacer.h"

#include <cerrno>
#include <chrono>
#include <string>

#include "core/platform/Platform.h"

namespace drq::ini {
namespace fs = std::filesystem;
using platform::errnoCode;

namespace {

// Keeps the temporary name within the usual 255-byte limit of a file name.
constexpr std::size_t kMaxTempStem = 200;

bool isAccessError(const std::error_code& error) {
  return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
         error == std::errc::read_only_file_system;
}

// Empty when this process may write the existing file `target`; opening it
// for update changes neither its content nor its times.
std::error_code probeWritable(const fs::path& target) {
  std::error_code error;
  std::FILE* probe = platform::openFile(target, "r+b", error);
  if (probe == nullptr) return error;
  std::fclose(probe);
  return {};
}

}  // namespace

bool hasNoWriteBit(const fs::file_status& status) {
  constexpr auto kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (status.permissions() & kAnyWrite) == fs::perms::none;
}

DiskFileReplacer::~DiskFileReplacer() {
  discard();
}

std::error_code DiskFileReplacer::begin(const fs::path& target) {
  discard();
  std::error_code ec;
  const auto status = fs::status(target, ec);
  const bool exists = fs::exists(status);
  if (!exists && status.type() != fs::file_type::not_found && ec) return ec;
  if (exists) {
    if (fs::is_directory(status)) return errnoCode(EISDIR);
    if (hasNoWriteBit(status)) return errnoCode(EACCES);
    if (const auto error = probeWritable(target); isAccessError(error)) return error;
  }

  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const auto dirStatus = fs::status(directory, ec);
  if (ec) return ec;
  if (!fs::is_directory(dirStatus)) return errnoCode(ENOTDIR);
  if (hasNoWriteBit(dirStatus)) return errnoCode(EACCES);

  fs::path::string_type stem = target.filename().native();
  if (stem.size() > kMaxTempStem) stem.resize(kMaxTempStem);
  auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    fs::path name(".");
    name += stem;
    std::string suffix(1, '.');
    suffix += std::to_string(seed >> 24);
    suffix += ".tmp";
    name += suffix;
    const fs::path candidate = directory / name;
    // "x": fails instead of opening a file that exists already.
    file_ = platform::openFile(candidate, "wxb", error);
    if (file_ != nullptr) {
      temp_ = candidate;
      target_ = target;
      break;
    }
    if (error != std::errc::file_exists) return error;
  }
  if (file_ == nullptr) return errnoCode(EEXIST);
  // The caller buffers; every write goes straight to the system and reports there.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if (exists) fs::permissions(temp_, status.permissions(), ec);
  return {};
}

std::error_code DiskFileReplacer::write(std::string_view bytes) {
  if (file_ == nullptr) return errnoCode(EBADF);
  while (!bytes.empty()) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
    if (written == 0) {
      if (errno == EINTR) continue;
      return errnoCode(errno != 0 ? errno : EIO);
    }
    bytes.remove_prefix(written);
  }
  return {};
}

std::error_code DiskFileReplacer::commit() {
  if (file_ == nullptr) return errnoCode(EBADF);
  if (const auto error = platform::flushToDisk(file_)) return error;
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) return errnoCode(errno != 0 ? errno : EIO);
  if (const auto error = platform::replaceFile(temp_, target_)) return error;
  temp_.clear();
  platform::syncDirectory(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
  return {};
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
