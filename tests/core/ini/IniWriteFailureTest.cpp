// A file that cannot be written keeps its old content, no temporary file is
// left behind, and the failure is told apart: write-protected, disk full,
// other write errors.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "IniTestSupport.h"
#include "core/ini/FileReplacer.h"
#include "core/ini/IniStore.h"
#include "support/FaultyReplacer.h"
#include "support/TempDir.h"

namespace drq::ini::test {
namespace {

namespace fs = std::filesystem;

using drq::test::FaultyReplacer;

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

IniStore largeStore() {
  IniStore ini;
  for (int k = 0; k < 600; ++k) {
    std::string tag = "T";
    tag += std::to_string(k);
    ini.Ini_PutString("S", tag, std::string(80, 'v'));
  }
  return ini;
}

TEST(IniWriteFailure, WriteProtectedFileOrDirectoryKeepsTheOldFile) {
  drq::test::TempDir dir;
  const auto target = dir.file("Parameter.ini");
  ASSERT_TRUE(drq::test::writeFileBytes(target, "old"));
  IniStore ini;
  ini.Ini_PutInt("S", "T", 1);

  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(ini.Ini_WriteToFile(target), kIniAccessDenied);
  EXPECT_EQ(drq::test::readFileBytes(target), "old");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Parameter.ini"});

  fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(ini.Ini_WriteToFile(target), kIniAccessDenied);
  EXPECT_EQ(ini.Ini_WriteToFile(dir.file("New.ini")), kIniAccessDenied);
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(drq::test::readFileBytes(target), "old");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Parameter.ini"});

  EXPECT_EQ(ini.Ini_WriteToFile(dir.file("missing") / "New.ini"), kIniWriteError);
}

TEST(IniWriteFailure, InjectedErrorsLeaveTheTargetAndNoTemporaryFile) {
  struct Case {
    int beginError, writeError, commitError;
    std::size_t failAfter;
    int expected;
  };
  const Case cases[] = {
      {0, ENOSPC, 0, 20000, kIniDiskFull},
#ifdef EDQUOT
      {0, EDQUOT, 0, 0, kIniDiskFull},
#endif
      {0, EIO, 0, 20000, kIniWriteError},  {0, ENOMEM, 0, 100, kIniOutOfMemory},
      {0, 0, EXDEV, 0, kIniWriteError},    {0, 0, ENOSPC, 0, kIniDiskFull},
      {EACCES, 0, 0, 0, kIniAccessDenied}, {EROFS, 0, 0, 0, kIniAccessDenied},
  };
  const IniStore ini = largeStore();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    drq::test::TempDir dir;
    const auto target = dir.file("Parameter.ini");
    ASSERT_TRUE(drq::test::writeFileBytes(target, "old"));
    FaultyReplacer replacer;
    replacer.beginError = c.beginError;
    replacer.writeError = c.writeError;
    replacer.commitError = c.commitError;
    replacer.failAfter = c.failAfter;
    EXPECT_EQ(ini.Ini_WriteToFile(target, replacer), c.expected);
    EXPECT_EQ(drq::test::readFileBytes(target), "old");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Parameter.ini"});
    EXPECT_EQ(replacer.temp.empty(), c.beginError != 0);  // a temporary file existed, and went
  }
}

TEST(IniWriteFailure, SuccessWritesInBlocksAndKeepsThePermissions) {
  drq::test::TempDir dir;
  const auto target = dir.file("Parameter.ini");
  ASSERT_TRUE(drq::test::writeFileBytes(target, "old"));
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, mode);
  const IniStore ini = largeStore();
  FaultyReplacer replacer;
  ASSERT_EQ(ini.Ini_WriteToFile(target, replacer), kIniOk);
  ASSERT_GE(replacer.writeSizes.size(), 3u);
  for (std::size_t k = 0; k + 1 < replacer.writeSizes.size(); ++k)
    EXPECT_EQ(replacer.writeSizes[k], 16384u);
  EXPECT_EQ(drq::test::readFileBytes(target), writtenBytes(ini));
  EXPECT_EQ(fs::status(target).permissions(), mode);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Parameter.ini"});
}

TEST(IniReadFailure, MissingFileOrReadErrorLeavesTheStoreAlone) {
  drq::test::TempDir dir;
  IniStore ini;
  ini.Ini_PutInt("S", "T", 5);
  EXPECT_EQ(ini.Ini_ReadFromFile(dir.file("absent.ini")), kIniCannotOpen);
  EXPECT_EQ(ini.Ini_ReadFromFile(dir.path()), kIniReadError);  // a directory reads with an error
  EXPECT_EQ(writtenBytes(ini), "[S]\r\nT = 5\r\n\r\n");
  // The system's reason comes with the status, and a good read clears it.
  std::error_code reason;
  EXPECT_EQ(ini.Ini_ReadFromFile(dir.file("absent.ini"), reason), kIniCannotOpen);
  EXPECT_EQ(reason, std::errc::no_such_file_or_directory);
  EXPECT_EQ(ini.Ini_ReadFromFile(dir.path(), reason), kIniReadError);
  EXPECT_EQ(reason, std::errc::is_a_directory);
  ASSERT_TRUE(drq::test::writeFileBytes(dir.file("good.ini"), "[A]\r\nB = 1\r\n"));
  EXPECT_EQ(ini.Ini_ReadFromFile(dir.file("good.ini"), reason), kIniOk);
  EXPECT_FALSE(reason);
}

}  // namespace
}  // namespace drq::ini::test
