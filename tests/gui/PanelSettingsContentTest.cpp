// The panel settings file's content without widgets: what is written, what is
// read back, and how odd files fall back to the defaults.
#include <gtest/gtest.h>

#include "core/settings/PanelSettings.h"
#include "core/settings/TextCut.h"
#include "support/TempDir.h"

namespace drq::settings {
namespace {

const std::filesystem::path kReference =
    std::filesystem::path(DRQ_TEST_DATA_DIR) / "gui" / "PanelSettingsReference.cfg";

// The content the reference file holds.
PanelSettings referenceSettings() {
  PanelSettings s;
  s.sensorId = "LINE 3 / STATION 12";
  s.paths.parameterFile = "/srv/drq/Parameter.ini";
  s.paths.recordFile =
      "/srv/production/line-03/colour-sensors/station-12/recordings/2024-q3/RecordFile.dat";
  s.paths.hardwareFile = "/srv/drq/HardwareInitialFile.ini";
  s.paths.tableAttributesFile = "/srv/drq/TableAttributes.ini";
  s.recentAddresses = {"127.0.0.1", "sensor-line3.local", "192.168.10.27"};
  s.rowColors[0] = 0x0000FF;
  s.rowColors[63] = 0xFFFFFF;
  s.rowSpecs[0] = "Blue cap";
  s.rowSpecs[12] = "Bottle \"B\" \\ 2";
  s.rowSpecs[63] = "White label";
  return s;
}

ConnectionSettings referenceConnection() {
  ConnectionSettings c;
  c.protocol = 1;
  c.comPort = 3;
  c.baudIndex = 5;
  c.serverAddress = "127.0.0.1";
  c.portNumber = "1";
  c.comDevice = "/dev/ttyS2";
  return c;
}

void writeLines(const std::filesystem::path& file, std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  ASSERT_TRUE(test::writeFileBytes(file, text));
}

TEST(PanelSettingsContent, WritesTheReferenceFileByteForByte) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  ASSERT_TRUE(
      writePanelSettingsFile(file, referenceSettings(), WindowPlacement{}, referenceConnection())
          .ok());
  EXPECT_EQ(test::readFileBytes(file), test::readFileBytes(kReference));
}

TEST(PanelSettingsContent, ReadsBackEverythingItWrote) {
  PanelSettings loaded;
  ASSERT_TRUE(loadPanelSettingsFile(kReference, "/program", loaded));
  const PanelSettings expected = referenceSettings();
  EXPECT_EQ(loaded.sensorId, expected.sensorId);
  ASSERT_TRUE(loaded.window.has_value());
  EXPECT_EQ(*loaded.window, WindowPlacement{});
  EXPECT_EQ(loaded.paths, expected.paths);
  EXPECT_EQ(loaded.recentAddresses, expected.recentAddresses);
  EXPECT_EQ(loaded.rowColors, expected.rowColors);
  EXPECT_EQ(loaded.rowSpecs, expected.rowSpecs);
  EXPECT_EQ(readConnectionSettings(kReference), referenceConnection());
}

TEST(PanelSettingsContent, MissingFileGivesTheDefaults) {
  test::TempDir dir;
  PanelSettings loaded;
  loaded.sensorId = "stale";
  EXPECT_FALSE(loadPanelSettingsFile(dir.file("PanelSettings.cfg"), dir.path(), loaded));
  EXPECT_EQ(loaded.sensorId, "");
  EXPECT_FALSE(loaded.window.has_value());
  EXPECT_EQ(loaded.paths.parameterFile, dir.path() / "Parameter.ini");
  EXPECT_EQ(loaded.paths.recordFile, dir.path() / "RecordFile.dat");
  EXPECT_EQ(loaded.paths.hardwareFile, dir.path() / "HardwareInitialFile.ini");
  EXPECT_EQ(loaded.paths.tableAttributesFile, dir.path() / "TableAttributes.ini");
  EXPECT_EQ(loaded.rowColors, defaultRowColors());
  const ConnectionSettings connection = readConnectionSettings(dir.file("PanelSettings.cfg"));
  EXPECT_EQ(connection, ConnectionSettings{});
  EXPECT_EQ(connection.protocol, 0);
  EXPECT_EQ(connection.comPort, 1);
  EXPECT_EQ(connection.baudIndex, 4);
  EXPECT_EQ(connection.portNumber, "10001");
}

TEST(PanelSettingsContent, ForeignFileTypeIsIgnoredEntirely) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  writeLines(file, {"[GENERAL INFO]", "FILE TYPE: = \"Parameter File\"", "PANEL ID: = \"X\"", "",
                    "[PANEL POSITION]", "MAINPANEL FULLSCREEN = 2", "", "[IP ADDRESSES]",
                    "LIST ITEMS = 1", "IP ADDR 1 = \"10.0.0.1\"", "", "[COMMUNICATION SETTINGS]",
                    "COMPROTOCOL = 1", "IP ADRESS = \"10.0.0.1\""});
  PanelSettings loaded;
  EXPECT_FALSE(loadPanelSettingsFile(file, dir.path(), loaded));
  EXPECT_EQ(loaded.sensorId, "");
  EXPECT_FALSE(loaded.window.has_value());
  EXPECT_TRUE(loaded.recentAddresses.empty());
  EXPECT_EQ(readConnectionSettings(file), ConnectionSettings{});
}

TEST(PanelSettingsContent, WindowOnlyWithTheFullscreenTagAndMissingTagsDefault) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  writeLines(file, {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "", "[PANEL POSITION]",
                    "MAINPANEL LEFT = 300", "MAINPANEL TOP = 200", "MAINPANEL WIDTH = 900",
                    "MAINPANEL HEIGHT = 700"});
  PanelSettings loaded;
  ASSERT_TRUE(loadPanelSettingsFile(file, dir.path(), loaded));
  EXPECT_FALSE(loaded.window.has_value());

  writeLines(file, {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "", "[PANEL POSITION]",
                    "MAINPANEL FULLSCREEN = 0", "MAINPANEL LEFT = 300", "MAINPANEL WIDTH = abc"});
  ASSERT_TRUE(loadPanelSettingsFile(file, dir.path(), loaded));
  ASSERT_TRUE(loaded.window.has_value());
  EXPECT_EQ(*loaded.window, (WindowPlacement{0, 300, 40, 790, 548}));
}

TEST(PanelSettingsContent, RecentAddressesAreCutToTenAndSkipGaps) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  std::string text =
      "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n[IP ADDRESSES]\r\n"
      "LIST ITEMS = 12\r\n";
  for (int k = 1; k <= 12; ++k) {
    text += "IP ADDR " + std::to_string(k) + " = \"host" + std::to_string(k) + "\"\r\n";
  }
  ASSERT_TRUE(test::writeFileBytes(file, text));
  PanelSettings loaded;
  ASSERT_TRUE(loadPanelSettingsFile(file, dir.path(), loaded));
  ASSERT_EQ(loaded.recentAddresses.size(), 10u);
  EXPECT_EQ(loaded.recentAddresses.front(), "host1");
  EXPECT_EQ(loaded.recentAddresses.back(), "host10");

  writeLines(file, {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "", "[IP ADDRESSES]",
                    "LIST ITEMS = 3", "IP ADDR 1 = \"first\"", "IP ADDR 3 = \"third\"",
                    "IP ADDR 4 = \"beyond\""});
  ASSERT_TRUE(loadPanelSettingsFile(file, dir.path(), loaded));
  EXPECT_EQ(loaded.recentAddresses, (std::vector<std::string>{"first", "third"}));
}

TEST(PanelSettingsContent, MissingOrBlankDirectoriesFallBack) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  writeLines(file, {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"", "", "[DIRECTORIES]",
                    "HARDWARE INI FILE = \"\"", "TABLE ATTRIBUTES FILE = \"/x/t.ini\""});
  PanelSettings loaded;
  ASSERT_TRUE(loadPanelSettingsFile(file, "/program", loaded));
  EXPECT_EQ(loaded.paths.parameterFile, "/program");
  EXPECT_EQ(loaded.paths.recordFile, std::filesystem::path("/program") / "RecordFile.dat");
  EXPECT_EQ(loaded.paths.hardwareFile, "/program");
  EXPECT_EQ(loaded.paths.tableAttributesFile, "/x/t.ini");
}

TEST(PanelSettingsContent, MissingRowSectionGetsItsDefaultAndIsReported) {
  test::TempDir dir;
  const auto file = dir.file("PanelSettings.cfg");
  PanelSettings settings = referenceSettings();
  ASSERT_TRUE(
      writePanelSettingsFile(file, settings, WindowPlacement{}, referenceConnection()).ok());
  // Drop the section of row 12.
  std::string text = test::readFileBytes(file);
  const auto start = text.find("[TABLE ATTR OF TEACH VECTOR 12]");
  const auto end = text.find("[TABLE ATTR OF TEACH VECTOR 13]");
  ASSERT_NE(start, std::string::npos);
  text.erase(start, end - start);
  ASSERT_TRUE(test::writeFileBytes(file, text));

  ini::IniStore store;
  ASSERT_GE(store.Ini_ReadFromFile(file), 0);
  RowColorArray colors{};
  attrs::RowSpecifications rowTexts;
  rowTexts[12] = "stale";
  const auto missing = attrs::AcquireTableSetFromIniHandle(store, colors, rowTexts);
  EXPECT_EQ(missing, (std::vector<std::size_t>{12}));
  EXPECT_EQ(colors[12], 0x008000u);
  EXPECT_EQ(rowTexts[12], "");
  EXPECT_EQ(colors[0], 0x0000FFu);
  EXPECT_EQ(colors[64], 0u);  // entries beyond the teach rows are left alone
  EXPECT_EQ(attrs::missingRowsReport(missing),
            "Following teach vectors could not be read \nand where set to default value:\n\n"
            "TABLE ATTR OF TEACH VECTOR 12\n");
  EXPECT_EQ(attrs::missingRowsReport({}), "");
}

TEST(PanelSettingsContent, RecentAddressListMovesAndDropsEntries) {
  std::vector<std::string> list{"a", "b", "c"};
  insertRecentAddress(list, "c");
  EXPECT_EQ(list, (std::vector<std::string>{"c", "a", "b"}));
  insertRecentAddress(list, "");
  EXPECT_EQ(list.size(), 3u);
  list = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
  insertRecentAddress(list, "11");
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list.front(), "11");
  EXPECT_EQ(list.back(), "9");
}

TEST(PanelSettingsContent, TextsAreCutOnCharacterBoundaries) {
  EXPECT_EQ(cutUtf8("abcdef", 4), "abcd");
  EXPECT_EQ(cutUtf8("ab\xC3\xA4", 3), "ab");           // a-umlaut would be split
  EXPECT_EQ(cutUtf8("ab\xC3\xA4x", 4), "ab\xC3\xA4");  // fits exactly
  EXPECT_EQ(cutUtf8("\xE2\x82\xAC", 2), "");
}

}  // namespace
}  // namespace drq::settings
