// The files the tool writes on a full disk and in write-protected places: the
// old file stays as it was, no temporary file is left, and the writer returns
// the status and the system's error that tell the operator why (nothing is
// claimed as saved).

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/attrs/TableAttributesFile.h"
#include "core/calib/HardwareFile.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaFile.h"
#include "core/params/ParaNames.h"
#include "core/scope/ScopeTrace.h"
#include "core/settings/PanelSettings.h"
#include "support/FaultyReplacer.h"
#include "support/TempDir.h"

namespace drq::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

// One writer of a tool file: through the disk, or through a given replacement.
struct ToolFile {
  std::string name;
  std::function<files::FileWriteResult(const fs::path&)> write;
  std::function<files::FileWriteResult(const fs::path&, ini::FileReplacer&)> writeThrough;
};

std::vector<ToolFile> toolFiles() {
  ParaSet set = defaultParaSet();
  set.record[ParaWord::Power] = 777;
  settings::PanelSettings panel = settings::defaultPanelSettings("/opt/drq");
  panel.sensorId = "LINE 4";
  const settings::WindowPlacement window;
  const settings::ConnectionSettings connection;
  RowColorArray colors = defaultRowColors();
  colors[3] = 0x123456;
  attrs::RowSpecifications texts;
  texts[3] = "CAP BLUE";
  HardwareFileContent hardware;
  hardware.identification = "DRQ TEST";
  hardware.set = set;
  ScopeTraces traces{};
  traces[1][5] = 4095;
  return {
      {"Parameter.ini", [set](const fs::path& p) { return writeParameterFile(p, set); },
       [set](const fs::path& p, ini::FileReplacer& r) { return writeParameterFile(p, set, &r); }},
      {"PanelSettings.cfg",
       [=](const fs::path& p) {
         return settings::writePanelSettingsFile(p, panel, window, connection);
       },
       [=](const fs::path& p, ini::FileReplacer& r) {
         return settings::writePanelSettingsFile(p, panel, window, connection, &r);
       }},
      {"TableAttributes.ini",
       [=](const fs::path& p) { return attrs::writeTableAttributesFile(p, colors, texts); },
       [=](const fs::path& p, ini::FileReplacer& r) {
         return attrs::writeTableAttributesFile(p, colors, texts, &r);
       }},
      {"HardwareInfo.ini", [=](const fs::path& p) { return writeHardwareFile(p, hardware); },
       [=](const fs::path& p, ini::FileReplacer& r) { return writeHardwareFile(p, hardware, &r); }},
      {"ScopeTrace.txt", [=](const fs::path& p) { return writeTraceFile(p, traces); },
       [=](const fs::path& p, ini::FileReplacer& r) { return writeTraceFile(p, traces, &r); }},
  };
}

TEST(ToolFileWriteFailure, FullDiskKeepsTheOldFileAndSaysSo) {
  for (const ToolFile& file : toolFiles()) {
    SCOPED_TRACE(file.name);
    for (const std::size_t failAfter : {std::size_t{0}, std::size_t{1000}}) {
      TempDir dir;
      const auto target = dir.file(file.name);
      ASSERT_TRUE(writeFileBytes(target, "old content\r\n"));
      FaultyReplacer replacer;
      replacer.writeError = ENOSPC;
      replacer.failAfter = failAfter;
      const files::FileWriteResult result = file.writeThrough(target, replacer);
      EXPECT_EQ(result.status, ini::kIniDiskFull);
      EXPECT_EQ(ini::iniStatusText(result.status), "disk full");
      EXPECT_EQ(files::failureReason(result), std::generic_category().message(ENOSPC));
      EXPECT_EQ(readFileBytes(target), "old content\r\n");
      EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{file.name});
      EXPECT_FALSE(replacer.temp.empty());  // the new content had been started, and went
    }
    // The disk full at the rename (a directory that cannot take the new entry).
    TempDir dir;
    const auto target = dir.file(file.name);
    FaultyReplacer replacer;
    replacer.commitError = ENOSPC;
    EXPECT_EQ(file.writeThrough(target, replacer).reason, std::errc::no_space_on_device);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(namesIn(dir.path()).empty());
  }
}

TEST(ToolFileWriteFailure, WriteProtectedFileOrDirectoryKeepsTheOldFile) {
  for (const ToolFile& file : toolFiles()) {
    SCOPED_TRACE(file.name);
    TempDir dir;
    const auto target = dir.file(file.name);
    ASSERT_TRUE(writeFileBytes(target, "old content\r\n"));

    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    const files::FileWriteResult result = file.write(target);
    EXPECT_EQ(result.status, ini::kIniAccessDenied);
    EXPECT_EQ(ini::iniStatusText(result.status), "write-protected");
    EXPECT_EQ(files::failureReason(result), std::generic_category().message(EACCES));
    EXPECT_EQ(readFileBytes(target), "old content\r\n");

    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(file.write(target).status, ini::kIniAccessDenied);
    EXPECT_EQ(file.write(dir.file("Other" + file.name)).status, ini::kIniAccessDenied);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(readFileBytes(target), "old content\r\n");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{file.name});

    // Once the place is writable again the same call saves.
    EXPECT_TRUE(file.write(target).ok());
    EXPECT_NE(readFileBytes(target), "old content\r\n");
  }
}

}  // namespace
}  // namespace drq::test
