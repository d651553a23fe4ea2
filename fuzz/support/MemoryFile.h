#pragma once
// Files for the readers without touching the disk: an anonymous in-memory file
// (memfd) reached through its /proc path, so that the readers under test open
// and read it exactly as they would a file on disk; and a FileReplacer that
// keeps what a store writes.

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "core/ini/FileReplacer.h"

namespace drq::fuzz {

class MemoryFile {
 public:
  MemoryFile();
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the content.
  void assign(std::string_view bytes);
  const std::filesystem::path& path() const { return path_; }

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

class MemoryReplacer final : public ini::FileReplacer {
 public:
  std::error_code begin(const std::filesystem::path&) override {
    content.clear();
    return {};
  }
  std::error_code write(std::string_view bytes) override {
    content.append(bytes);
    return {};
  }
  std::error_code commit() override { return {}; }
  void abort() noexcept override {}

  std::string content;
};

}  // namespace drq::fuzz
