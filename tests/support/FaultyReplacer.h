#pragma once
// The disk replacement of a file with failures injected at chosen steps: a
// refused start, a disk that fills up after some bytes, a failing rename.

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/ini/FileReplacer.h"
#include "core/platform/Platform.h"

namespace drq::test {

class FaultyReplacer : public ini::DiskFileReplacer {
 public:
  // errno values; 0: the step goes to the disk.
  int beginError = 0;
  int writeError = 0;  // returned once more than failAfter bytes are asked for
  std::size_t failAfter = 0;
  int commitError = 0;
  std::vector<std::size_t> writeSizes;
  std::filesystem::path temp;  // the temporary file while it existed

  std::error_code begin(const std::filesystem::path& target) override {
    if (beginError != 0) return platform::errnoCode(beginError);
    const std::error_code result = DiskFileReplacer::begin(target);
    temp = tempPath();
    return result;
  }
  std::error_code write(std::string_view bytes) override {
    writeSizes.push_back(bytes.size());
    if (writeError != 0 && written_ + bytes.size() > failAfter) {
      DiskFileReplacer::write(bytes.substr(0, failAfter - written_));  // a disk fills up mid-way
      return platform::errnoCode(writeError);
    }
    written_ += bytes.size();
    return DiskFileReplacer::write(bytes);
  }
  std::error_code commit() override {
    return commitError != 0 ? platform::errnoCode(commitError) : DiskFileReplacer::commit();
  }

 private:
  std::size_t written_ = 0;
};

}  // namespace drq::test
