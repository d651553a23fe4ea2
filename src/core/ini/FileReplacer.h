#pragma once
// Replacing a file so that it is never left half written: the new content goes
// into a temporary file in the target's directory, which then takes the
// target's name. The INI store reaches the disk only through this interface,
// so that a caller (or a test) can stand in for any step, for example to make
// a write fail the way a full disk does.
//
// Every step returns the system's error, empty on success (permission denied
// for a write-protected file, no space left on device, ...).

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace drq::ini {

// True when no one may write the file or directory: the tool leaves such a
// place alone (permission denied), even when the system would let this user write it.
bool hasNoWriteBit(const std::filesystem::file_status& status);

class FileReplacer {
 public:
  virtual ~FileReplacer() = default;

  // Starts replacing `target`: fails with permission denied (leaving nothing behind) when
  // the target exists and is write-protected or its directory is; otherwise
  // creates the temporary file.
  virtual std::error_code begin(const std::filesystem::path& target) = 0;
  // Appends bytes to the temporary file.
  virtual std::error_code write(std::string_view bytes) = 0;
  // Flushes the temporary file to the disk and gives it the target's name.
  virtual std::error_code commit() = 0;
  // Removes the temporary file if there is one; the target keeps its content.
  // Harmless at any time, also after commit.
  virtual void abort() noexcept = 0;
};

// The replacement on the local file system.
//
// Write-protected means: this process may not write the file (or create files
// in the directory), or the file (directory) has no write permission for
// anybody. The second rule makes a protection that an operator set with the
// permission bits hold also for a privileged account, as a read-only attribute
// does. The new file keeps the permissions of the file it replaces.
class DiskFileReplacer : public FileReplacer {
 public:
  DiskFileReplacer() = default;
  ~DiskFileReplacer() override;  // aborts an unfinished replacement
  DiskFileReplacer(const DiskFileReplacer&) = delete;
  DiskFileReplacer& operator=(const DiskFileReplacer&) = delete;

  std::error_code begin(const std::filesystem::path& target) override;
  std::error_code write(std::string_view bytes) override;
  std::error_code commit() override;
  void abort() noexcept override;

  // The temporary file of the replacement under way; empty when none.
  const std::filesystem::path& tempPath() const { return temp_; }

 private:
  void discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
};

// Passes every step on to `inner` and keeps the first error a step reported,
// so that the operator can be told the system's reason and
// not only the store's status.
class ErrorKeepingReplacer final : public FileReplacer {
 public:
  explicit ErrorKeepingReplacer(FileReplacer& inner) : inner_(inner) {}

  std::error_code begin(const std::filesystem::path& target) override {
    return keep(inner_.begin(target));
  }
  std::error_code write(std::string_view bytes) override { return keep(inner_.write(bytes)); }
  std::error_code commit() override { return keep(inner_.commit()); }
  void abort() noexcept override { inner_.abort(); }

  // Empty while every step succeeded.
  const std::error_code& firstError() const { return firstError_; }

 private:
  std::error_code keep(std::error_code error) {
    if (error && !firstError_) firstError_ = error;
    return error;
  }

  FileReplacer& inner_;
  std::error_code firstError_;
};

}  // namespace drq::ini
