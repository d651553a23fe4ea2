#include "core/record/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "core/ini/FileReplacer.h"

namespace drq {

namespace {

constexpr std::string_view kCrLf = "\r\n";

int errnoOr(int fallback) {
  return errno != 0 ? errno : fallback;
}

RecordFileError fileError(const std::filesystem::path& path, int error) {
  return RecordFileError{path, error, std::generic_category().message(error)};
}

// `value` held to lo..hi, zero-padded to `width` digits.
void appendPadded(std::string& out, int value, int lo, int hi, std::size_t width) {
  char buf[8];
  const auto end = std::to_chars(buf, buf + sizeof buf, std::clamp(value, lo, hi)).ptr;
  const auto digits = static_cast<std::size_t>(end - buf);
  if (digits < width) out.append(width - digits, '0');
  out.append(buf, digits);
}

// Writes all bytes to an open stream; 0 or the errno value.
int writeAll(std::FILE* file, std::string_view bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    if (written == 0) {
      if (errno == EINTR) continue;
      return errnoOr(EIO);
    }
    bytes.remove_prefix(written);
  }
  return 0;
}

// One open ("ab": append, created when missing; "wb": truncated), write and
// close; 0 or the errno value of the first failing step.
int writeWithOneOpen(const std::filesystem::path& path, std::string_view bytes, const char* mode) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return errnoOr(EIO);
  int error = writeAll(file, bytes);
  errno = 0;
  // The close writes out the stream's buffer: a full disk shows up here.
  if (std::fclose(file) != 0 && error == 0) error = errnoOr(EIO);
  return error;
}

}  // namespace

LocalDateTime LocalWallClock::now() const {
  const std::time_t t = std::time(nullptr);
  // Single user-interface thread: the shared result of localtime is copied at once.
  const std::tm* local = std::localtime(&t);
  if (local == nullptr) return {};
  return LocalDateTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                       local->tm_hour,        local->tm_min,     local->tm_sec};
}

std::string recordHeader(std::string_view sensorId) {
  std::string header = "\n";
  header += kRecordTitlePrefix;
  header += kScopeVersion;
  header += kCrLf;
  if (!sensorId.empty()) {
    header += kRecordPanelIdPrefix;
    header += sensorId;
    header += kCrLf;
  }
  header += kCrLf;
  for (std::size_t i = 0; i < kRecordColumnTitles.size(); ++i) {
    if (i != 0) header += '\t';
    header += kRecordColumnTitles[i];
  }
  header += kCrLf;
  return header;
}

std::string recordDate(const LocalDateTime& t) {
  std::string s;
  appendPadded(s, t.month, 1, 12, 2);
  s += '-';
  appendPadded(s, t.day, 1, 31, 2);
  s += '-';
  appendPadded(s, t.year, 0, 9999, 4);
  return s;
}

std::string recordTime(const LocalDateTime& t) {
  std::string s;
  appendPadded(s, t.hour, 0, 23, 2);
  s += ':';
  appendPadded(s, t.minute, 0, 59, 2);
  s += ':';
  appendPadded(s, t.second, 0, 60, 2);
  return s;
}

std::string recordLine(const LiveFrame& frame, const LocalDateTime& t) {
  std::string line = recordDate(t);
  line += '\t';
  line += recordTime(t);
  char buf[8];
  for (std::size_t w = 0; w < kRecordedWords; ++w) {
    line += '\t';
    line.append(buf, std::to_chars(buf, buf + sizeof buf, static_cast<int>(frame.words[w])).ptr);
  }
  line += kCrLf;
  return line;
}

std::optional<RecordFileError> appendToRecordFile(const std::filesystem::path& path,
                                                  std::string_view bytes) {
  // A write-protected record file is left alone, as every file the tool
  // replaces is, even when the system would let this user write it.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  const bool regular = std::filesystem::is_regular_file(status);
  if (regular && ini::hasNoWriteBit(status)) return fileError(path, EACCES);
  const std::uintmax_t lengthBefore = regular ? std::filesystem::file_size(path, ec) : 0;
  const bool known = regular && !ec;
  const int error = writeWithOneOpen(path, bytes, "ab");
  if (error == 0) return std::nullopt;
  // Part of the line may have reached the file (a full disk takes what fits):
  // the file goes back to where it ended, so that the next line does not run
  // into half of this one. A file this append created is removed again.
  if (known) {
    std::filesystem::resize_file(path, lengthBefore, ec);
  } else if (!std::filesystem::exists(status) &&
             std::filesystem::is_regular_file(std::filesystem::status(path, ec))) {
    std::filesystem::remove(path, ec);
  }
  return fileError(path, error);
}

std::optional<RecordFileError> writeRecordHeader(const std::filesystem::path& path,
                                                 std::string_view sensorId) {
  const std::string header = recordHeader(sensorId);
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
      !std::filesystem::is_directory(status)) {
    // A device or pipe (/dev/stdout, a FIFO) is written to, never replaced.
    if (const int error = writeWithOneOpen(path, header, "wb"); error != 0)
      return fileError(path, error);
    return std::nullopt;
  }
  ini::DiskFileReplacer replacer;
  int error = replacer.begin(path);
  if (error == 0) error = replacer.write(header);
  if (error == 0) error = replacer.commit();
  if (error != 0) {
    replacer.abort();
    return fileError(path, error);
  }
  return std::nullopt;
}

}  // namespace drq
