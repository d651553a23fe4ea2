#pragma once
// The record file: tab-separated text, one header written when the file is
// chosen and one line per recorded frame. Exact bytes, whatever the platform:
// the header opens with a single bare LF, every other line ends with CR LF,
// fields are separated by one TAB, numbers are written in the C locale.
//
//   LF
//   "RECORD RESULTS OF: <kScopeVersion>" CR LF
//   "PANEL ID: <id>" CR LF                  (only with a non-empty ID text)
//   CR LF
//   DATE TAB TIME TAB RED ... TAB TEMP CR LF (the 13 column titles)
//   mm-dd-yyyy TAB hh:mm:ss TAB word0 TAB ... TAB word10 CR LF   (per frame)
//
// Every record line is written with an open, append and close of its own, so
// that a crash loses at most the line being written.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/ToolFiles.h"
#include "core/live/LiveFrame.h"

namespace drq {

inline constexpr std::string_view kRecordTitlePrefix = "RECORD RESULTS OF: ";
inline constexpr std::string_view kRecordPanelIdPrefix = "PANEL ID: ";
inline constexpr std::array<std::string_view, 13> kRecordColumnTitles = {
    "DATE",  "TIME",    "RED",   "GREEN", "BLUE",    "X s", "Y i",
    "INT M", "delta C", "COLOR", "GROUP", "TRIGGER", "TEMP"};
// Frame words 0 to 10 are recorded.
inline constexpr std::size_t kRecordedWords = 11;

// A local calendar date and 24-hour time of day.
struct LocalDateTime {
  int year = 1970;  // 0..9999 are written with four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..60
  bool operator==(const LocalDateTime&) const = default;
};

// Source of the date and time written into each record line. The program
// uses the computer's local clock; tests use a fixed one.
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalDateTime now() const = 0;
};

// The computer's local time (time zone and summer time as the system says).
class LocalWallClock final : public WallClock {
 public:
  LocalDateTime now() const override;
};

// The header, from the opening bare LF to the column titles' CR LF. The
// "PANEL ID: " line appears only when `sensorId` is not empty.
std::string recordHeader(std::string_view sensorId);

// "mm-dd-yyyy" and "hh:mm:ss", each field zero-padded (out-of-range values
// are held to their field's range).
std::string recordDate(const LocalDateTime& t);
std::string recordTime(const LocalDateTime& t);

// One record line: date, time, words 0 to 10 as signed decimals without
// padding, TAB between the fields, CR LF at the end.
std::string recordLine(const LiveFrame& frame, const LocalDateTime& t);

// Why a record file could not be written.
struct RecordFileError {
  std::filesystem::path path;
  std::error_code error;  // the system's error
  std::string reason;     // the system's text for it ("No space left on device", ...)
};

// Appends `bytes` through files::appendWithRollback: a failed append leaves
// the file as it was. Nothing on success; the failing step's error otherwise.
std::optional<RecordFileError> appendToRecordFile(const std::filesystem::path& path,
                                                  std::string_view bytes);

// Starts the record file again with its header: an existing file is replaced
// as a whole (temporary file and rename, so a failure leaves it as it was),
// a missing one is created. Nothing on success.
std::optional<RecordFileError> writeRecordHeader(const std::filesystem::path& path,
                                                 std::string_view sensorId);

}  // namespace drq
