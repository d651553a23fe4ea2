#include "core/record/RecordFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <ctime>
#include <system_error>

#include "core/files/FileWrite.h"
#include "core/platform/Platform.h"

namespace drq {

namespace {

constexpr std::string_view kCrLf = "\r\n";

RecordFileError fileError(const std::filesystem::path& path, std::error_code error) {
  return RecordFileError{path, error, platform::errorText(error)};
}

// `value` held to lo..hi, zero-padded to `width` digits.
void appendPadded(std::string& out, int value, int lo, int hi, std::size_t width) {
  char buf[8];
  const auto end = std::to_chars(buf, buf + sizeof buf, std::clamp(value, lo, hi)).ptr;
  const auto digits = static_cast<std::size_t>(end - buf);
  if (digits < width) out.append(width - digits, '0');
  out.append(buf, digits);
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
  if (const auto error = files::appendWithRollback(path, bytes)) return fileError(path, error);
  return std::nullopt;
}

std::optional<RecordFileError> writeRecordHeader(const std::filesystem::path& path,
                                                 std::string_view sensorId) {
  const std::string header = recordHeader(sensorId);
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
      !std::filesystem::is_directory(status)) {
    // A device or pipe (/dev/stdout, a FIFO) is written to, never replaced.
    if (const auto error = files::writeInPlace(path, header)) return fileError(path, error);
    return std::nullopt;
  }
  const files::FileWriteResult written = files::writeFile(path, header);
  if (!written.ok()) return fileError(path, written.reason);
  return std::nullopt;
}

}  // namespace drq
