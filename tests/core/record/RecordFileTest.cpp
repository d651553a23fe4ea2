#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "core/record/RecordFile.h"
#include "core/record/Recorder.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

LiveFrame frameOf(std::initializer_list<int> words) {
  LiveFrame f;
  std::size_t i = 0;
  for (int w : words) f.words[i++] = static_cast<std::int16_t>(w);
  // Words beyond 10 are never recorded.
  for (; i < kLiveFrameWords; ++i) f.words[i] = 777;
  return f;
}

const std::string kColumns =
    "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\r\n";

TEST(RecordFile, HeaderOpensWithABareLineFeedAndNamesThePanelOnlyWithAnIdText) {
  EXPECT_EQ(recordHeader(""), "\nRECORD RESULTS OF: VELMARON DRQ Scope V1.0\r\n\r\n" + kColumns);
  EXPECT_EQ(recordHeader("S-17"),
            "\nRECORD RESULTS OF: VELMARON DRQ Scope V1.0\r\nPANEL ID: S-17\r\n\r\n" + kColumns);
}

TEST(RecordFile, LinesCarrySignedWordsWithoutPaddingAndAZeroPaddedDate) {
  const LocalDateTime t{2027, 1, 5, 7, 3, 9};
  EXPECT_EQ(recordDate(t), "01-05-2027");
  EXPECT_EQ(recordTime(t), "07:03:09");
  EXPECT_EQ(recordTime(LocalDateTime{2027, 12, 31, 23, 59, 59}), "23:59:59");
  EXPECT_EQ(recordDate(LocalDateTime{987, 10, 10, 0, 0, 0}), "10-10-0987");
  // A temperature below zero keeps its minus sign; 32767 and -32768 fit.
  EXPECT_EQ(recordLine(frameOf({1, 22, 333, 4444, 32767, -32768, -1, 255, 255, 0, -12}), t),
            "01-05-2027\t07:03:09\t1\t22\t333\t4444\t32767\t-32768\t-1\t255\t255\t0\t-12\r\n");
}

// The reference file pins the bytes: header with a PANEL ID line and three
// lines written the way a recording writes them, one open per line.
TEST(RecordFile, HeaderAndLinesMatchTheReferenceFileByteForByte) {
  TempDir dir;
  const auto path = dir.file("RecordFile.dat");
  ASSERT_TRUE(writeFileBytes(path, "old recording that is replaced\r\n"));
  ASSERT_FALSE(writeRecordHeader(path, "LINE 4 / STATION 2"));
  const LiveFrame first = frameOf({1520, 1310, 980, 1629, 1409, 1270, 12, 3, 255, 1, 31});
  ASSERT_FALSE(appendToRecordFile(path, recordLine(first, {2026, 3, 7, 9, 5, 1})));
  ASSERT_FALSE(appendToRecordFile(
      path, recordLine(frameOf({0, 4095, 32767, -32768, 0, 0, -1, 255, 255, 0, -5}),
                       {2026, 3, 7, 9, 5, 2})));
  ASSERT_FALSE(appendToRecordFile(path, recordLine(first, {2026, 12, 31, 23, 59, 59})));
  EXPECT_EQ(readFileBytes(path), readFileBytes(DRQ_TEST_DATA_DIR "/record/RecordReference.dat"));
}

TEST(RecordFile, FailuresNameThePathAndTheSystemsReason) {
  TempDir dir;
  const auto missing = dir.path() / "no such folder" / "RecordFile.dat";
  auto error = appendToRecordFile(missing, "line\r\n");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->path, missing);
  EXPECT_EQ(error->error, std::error_code(ENOENT, std::generic_category()));
  EXPECT_EQ(error->reason, "No such file or directory");

  error = writeRecordHeader(missing, "ID");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, std::error_code(ENOENT, std::generic_category()));

  // A folder chosen as the record file: neither the header nor a line.
  EXPECT_TRUE(writeRecordHeader(dir.path(), ""));
  EXPECT_TRUE(appendToRecordFile(dir.path(), "line\r\n"));

  // A full disk shows up when the line is written out on close.
  error = appendToRecordFile("/dev/full", "01-01-2027\t00:00:00\t1\r\n");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, std::error_code(ENOSPC, std::generic_category()));
  EXPECT_EQ(error->reason, "No space left on device");
}

TEST(RecordFile, AFailedHeaderLeavesTheExistingFileAsItWas) {
  TempDir dir;
  const auto path = dir.file("kept.dat");
  ASSERT_TRUE(writeFileBytes(path, "earlier lines\r\n"));
  // Replacing needs a writable folder; a folder of its own name is in the way.
  const auto blocked = dir.path() / "RecordFile.dat";
  std::filesystem::create_directory(blocked);
  EXPECT_TRUE(writeRecordHeader(blocked, ""));
  EXPECT_EQ(readFileBytes(path), "earlier lines\r\n");
  // A device is written to, not replaced.
  EXPECT_FALSE(writeRecordHeader("/dev/null", "ID"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST(RecordFile, FullDiskAndWriteProtectedPlacesKeepWhatWasRecorded) {
  // A full disk under the header (a device is written, not replaced).
  auto error = writeRecordHeader("/dev/full", "ID");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, std::error_code(ENOSPC, std::generic_category()));

  TempDir dir;
  const auto path = dir.file("RecordFile.dat");
  ASSERT_TRUE(writeFileBytes(path, "earlier lines\r\n"));
  namespace fs = std::filesystem;

  // A write-protected file: neither a line nor a new header.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  error = appendToRecordFile(path, "line\r\n");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, std::error_code(EACCES, std::generic_category()));
  EXPECT_EQ(error->reason, "Permission denied");
  EXPECT_TRUE(writeRecordHeader(path, "ID"));
  EXPECT_EQ(readFileBytes(path), "earlier lines\r\n");

  // A write-protected folder: the file cannot be replaced, and no temporary
  // file is left behind.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  error = writeRecordHeader(path, "ID");
  fs::permissions(dir.path(), fs::perms::owner_all);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, std::error_code(EACCES, std::generic_category()));
  EXPECT_EQ(readFileBytes(path), "earlier lines\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

#ifndef _WIN32  // resource limits are a POSIX feature
// While it lives, files of this process cannot grow beyond `limit` bytes: a
// write takes what fits and then fails (EFBIG), as on a disk that fills up.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

TEST(RecordFile, AShortAppendCutsTheFileBackSoTheNextLineStartsCleanly) {
  TempDir dir;
  const auto path = dir.file("RecordFile.dat");
  ASSERT_FALSE(writeRecordHeader(path, "ID"));
  const std::string line = recordLine(frameOf({1, 2, 3}), {2027, 1, 5, 7, 3, 9});
  ASSERT_FALSE(appendToRecordFile(path, line));
  const std::string before = readFileBytes(path);
  {
    const FileSizeLimit limit(before.size() + 10);
    const auto error = appendToRecordFile(path, line);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->error, std::error_code(EFBIG, std::generic_category()));
  }
  EXPECT_EQ(readFileBytes(path), before);
  ASSERT_FALSE(appendToRecordFile(path, line));
  EXPECT_EQ(readFileBytes(path), before + line);

  // A file that the failed append created is not left behind, half a line long.
  const auto fresh = dir.file("fresh.dat");
  {
    const FileSizeLimit limit(5);
    EXPECT_TRUE(appendToRecordFile(fresh, line));
  }
  EXPECT_FALSE(std::filesystem::exists(fresh));
}
#endif

TEST(RecordTime, IntervalFloorAndTheSplitIntoDaysHoursMinutesSeconds) {
  RecordTime t = CalcRecTime(0.1, 10);
  EXPECT_EQ(t.interval, 0.25);
  EXPECT_EQ(t.days, 0);
  EXPECT_EQ(t.hours, 0);
  EXPECT_EQ(t.minutes, 0);
  EXPECT_DOUBLE_EQ(t.seconds, 2.5);

  t = CalcRecTime(1.5, 65535);  // 98302.5 s = 1 d 3 h 18 min 22.5 s
  EXPECT_EQ(t.interval, 1.5);
  EXPECT_EQ(t.days, 1);
  EXPECT_EQ(t.hours, 3);
  EXPECT_EQ(t.minutes, 18);
  EXPECT_DOUBLE_EQ(t.seconds, 22.5);

  t = CalcRecTime(86400, 3);
  EXPECT_EQ(t.days, 3);
  EXPECT_EQ(t.seconds, 0);

  t = CalcRecTime(std::numeric_limits<double>::quiet_NaN(), 4);
  EXPECT_EQ(t.interval, 0.25);
  EXPECT_EQ(t.seconds, 1.0);
  EXPECT_EQ(CalcRecTime(-3, 0).seconds, 0);
}

}  // namespace
}  // namespace drq
