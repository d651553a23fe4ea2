#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes out of scope. Tests write only here.

#include <filesystem>
#include <string>

namespace drq::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path() / name
  std::filesystem::path file(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string readFileBytes(const std::filesystem::path& file);
// Writes bytes exactly (binary); returns false on failure.
bool writeFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace drq::test
