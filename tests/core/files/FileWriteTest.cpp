// The one write path and the platform seam under it: exact bytes on every
// system, names in UTF-8, the old file kept and the system's reason given on
// failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/files/FileWrite.h"
#include "core/ini/IniStore.h"
#include "core/platform/Platform.h"
#include "support/FaultyReplacer.h"
#include "support/TempDir.h"

namespace drq::test {
namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
  return n;
}

TEST(FileWrite, ReplacesWithExactlyTheBytesGivenUnderAUtf8Name) {
  TempDir dir;
  // "Meßwerte °C.txt": a name beyond ASCII reaches the system unchanged.
  const fs::path file = dir.path() / platform::pathFromUtf8(
                                         "Me\xC3\x9F"
                                         "werte \xC2\xB0"
                                         "C.txt");
  EXPECT_EQ(platform::utf8FromPath(file.filename()),
            "Me\xC3\x9Fwerte \xC2\xB0"
            "C.txt");
  ASSERT_TRUE(writeFileBytes(file, "old content that is longer\r\n"));

  const std::string bytes("a\r\nb\nc\rd\0e\x1A\xFF\r\n", 14);
  const files::FileWriteResult written = files::writeFile(file, bytes);
  ASSERT_TRUE(written.ok());
  EXPECT_FALSE(written.reason);
  EXPECT_EQ(files::failureReason(written), "");
  EXPECT_EQ(readFileBytes(file), bytes);
  EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left
}

TEST(FileWrite, AFailedStepKeepsTheOldFileAndCarriesTheSystemsError) {
  TempDir dir;
  const fs::path file = dir.file("kept.txt");
  ASSERT_TRUE(writeFileBytes(file, "old\r\n"));

  for (const int step : {0, 1, 2}) {
    SCOPED_TRACE(step);
    FaultyReplacer replacer;
    if (step == 0) replacer.beginError = EACCES;
    if (step == 1) replacer.writeError = ENOSPC;
    if (step == 2) replacer.commitError = EIO;
    const files::FileWriteResult result = files::writeFile(file, "new\r\n", &replacer);
    EXPECT_FALSE(result.ok());
    const int expected = step == 0 ? EACCES : step == 1 ? ENOSPC : EIO;
    EXPECT_EQ(result.reason, platform::errnoCode(expected));
    EXPECT_EQ(files::failureReason(result), std::generic_category().message(expected));
    EXPECT_EQ(result.status, step == 0   ? ini::kIniAccessDenied
                             : step == 1 ? ini::kIniDiskFull
                                         : ini::kIniWriteError);
    EXPECT_EQ(readFileBytes(file), "old\r\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
  }

  // A folder that does not exist: the system's own error, nothing invented.
  const files::FileWriteResult missing = files::writeFile(dir.path() / "none" / "f.txt", "x");
  EXPECT_EQ(missing.reason, std::errc::no_such_file_or_directory);
  EXPECT_EQ(missing.status, ini::kIniWriteError);
  EXPECT_EQ(files::failureReason(missing), platform::errorText(missing.reason));
}

TEST(FileWrite, AnIniStoreIsWrittenWithCrLfAndItsReasonOnFailure) {
  TempDir dir;
  ini::IniStore store;
  store.Ini_PutString("GENERAL INFO", "FILE TYPE:", "Test");
  store.Ini_PutInt("VALUES", "A", -5);
  const fs::path file = dir.file("store.ini");
  ASSERT_TRUE(files::writeIniFile(file, store).ok());
  EXPECT_EQ(readFileBytes(file),
            "[GENERAL INFO]\r\nFILE TYPE: = \"Test\"\r\n\r\n[VALUES]\r\nA = -5\r\n\r\n");

  FaultyReplacer full;
  full.writeError = ENOSPC;
  const files::FileWriteResult result = files::writeIniFile(file, store, &full);
  EXPECT_EQ(result.status, ini::kIniDiskFull);
  EXPECT_EQ(result.reason, std::errc::no_space_on_device);
}

TEST(FileWrite, AppendAddsBytesAndCreatesAMissingFile) {
  TempDir dir;
  const fs::path file = dir.file("lines.dat");
  ASSERT_FALSE(files::appendWithRollback(file, "one\r\n"));
  ASSERT_FALSE(files::appendWithRollback(file, std::string("two\0\r\n", 6)));
  EXPECT_EQ(readFileBytes(file), std::string("one\r\ntwo\0\r\n", 11));

  // Into a folder that does not exist: the system's reason, nothing created.
  const auto error = files::appendWithRollback(dir.path() / "none" / "lines.dat", "x\r\n");
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(Platform, ErrorTextIsTheSystemsWordsWithoutALineEnd) {
  const std::string text = platform::errorText(platform::errnoCode(ENOENT));
  EXPECT_EQ(text, std::generic_category().message(ENOENT));
  const std::string system = platform::errorText(std::error_code(5, std::system_category()));
  EXPECT_FALSE(system.empty());
  EXPECT_NE(system.back(), '\n');
  EXPECT_NE(system.back(), '\r');
}

}  // namespace
}  // namespace drq::test
