// The file syntax of the INI store: the bytes it writes and what it accepts.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "IniTestSupport.h"
#include "core/ini/IniStore.h"
#include "support/TempDir.h"

namespace drq::ini::test {
namespace {

using namespace std::string_literals;

TEST(IniReference, WrittenStoreMatchesTheReferenceFileAndReadsBack) {
  std::string data;
  for (int word = 0; word < 50; ++word) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04X", word);
    data += hex;
  }
  const std::string escapes = "tab\there\r\nquote\"back\\slash\x01\x1f\x7f \xc3\xa9 end";
  const std::string split = std::string(79, 'x') + "\t" + std::string(30, 'y');

  IniStore ini;
  ini.Ini_PutString("GENERAL INFO", "FILE TYPE:", "Parameter File");
  ini.Ini_PutString("GENERAL INFO", "SCOPE VERSION:", "VELMARON DRQ Scope V1.0");
  ini.Ini_PutInt("PARAMETER", "POWER", 500);
  ini.Ini_PutInt("PARAMETER", "DYNWIN LO", std::numeric_limits<std::int32_t>::min());
  ini.Ini_PutInt("PARAMETER", "GROUP ", 7);
  EXPECT_EQ(ini.Ini_PutInt("parameter", "POWER", 65535), 0);  // replaces POWER in its place
  ini.Ini_PutString("TEXTS", "Escapes", escapes);
  ini.Ini_PutString("TEXTS", "Empty", "");
  ini.Ini_PutString("TEXTS", "Split", split);
  ini.Ini_PutString("HARDWARE INFO", "DATA", data);

  const auto reference = std::filesystem::path(DRQ_TEST_DATA_DIR) / "ini" / "StoreReference.ini";
  const std::string expected = drq::test::readFileBytes(reference);
  ASSERT_FALSE(expected.empty()) << reference;
  EXPECT_EQ(writtenBytes(ini), expected);

  IniStore back;
  ASSERT_EQ(back.Ini_ReadFromFile(reference), kIniOk);
  EXPECT_EQ(getString(back, "general info", "file type:"), "Parameter File");
  EXPECT_EQ(getString(back, "TEXTS", "Escapes"), escapes);
  EXPECT_EQ(getString(back, "TEXTS", "Empty"), "");
  EXPECT_EQ(getString(back, "TEXTS", "Split"), split);
  EXPECT_EQ(getString(back, "HARDWARE INFO", "DATA"), data);
  EXPECT_EQ(back.lineOfLastAccess(), 17);  // the first piece's line
  int value = 0;
  EXPECT_EQ(back.Ini_GetInt("PARAMETER", "POWER", value), 1);
  EXPECT_EQ(value, 65535);
  EXPECT_EQ(back.Ini_GetInt("PARAMETER", "DYNWIN LO", value), 1);
  EXPECT_EQ(value, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(back.Ini_GetInt("PARAMETER", "GROUP", value), 1);  // written with a trailing blank
  EXPECT_EQ(value, 7);
}

TEST(IniWrite, SplitsOnlyBeyondEightyCharactersAndCutsLongTags) {
  IniStore ini;
  ini.Ini_PutString("S", "T", "a\nb\tc\"d\\e");
  ini.Ini_PutString("S", "Eighty", std::string(80, 'e'));
  ini.Ini_PutString("S", "EightyOne", std::string(81, 'f'));
  ini.Ini_PutString("S", std::string(300, 'g'), std::string(90, 'h'));
  const std::string longTag(255, 'g');
  EXPECT_EQ(writtenBytes(ini),
            "[S]\r\n"
            "T = \"a\\nb\\tc\\\"d\\\\e\"\r\n"
            "Eighty = \"" +
                std::string(80, 'e') +
                "\"\r\n"
                "EightyOne Line0001 = \"" +
                std::string(80, 'f') +
                "\"\r\n"
                "EightyOne Line0002 = \"f\"\r\n" +
                longTag + " Line0001 = \"" + std::string(80, 'h') + "\"\r\n" + longTag +
                " Line0002 = \"" + std::string(10, 'h') +
                "\"\r\n"
                "\r\n");
}

TEST(IniWrite, PutReplacesEveryItemOfTheTagAtTheFirstOnesPlace) {
  IniStore ini = storeFromBytes("[S]\na = 1\nb = 2\n A  = 3\n[T]\na = 4\n");
  EXPECT_EQ(ini.Ini_PutInt(" s ", "A", -9), 0);
  EXPECT_EQ(ini.Ini_PutString("New", "x", "y"), 0);
  EXPECT_EQ(writtenBytes(ini),
            "[S]\r\nA = -9\r\nb = 2\r\n\r\n[T]\r\na = 4\r\n\r\n[New]\r\nx = \"y\"\r\n\r\n");
}

TEST(IniRead, ItemLinesSectionsAndIgnoredLines) {
  IniStore ini = storeFromBytes(
      "orphan = before any section\n"
      "[ Alpha ]\n"
      "empty quotes = \"\"\n"
      "nothing after =   \n"
      " = no tag\n"
      "lone quote = \"\n"
      "  spaced tag \t=   spaced value  \n"
      "[Broken\n"
      "after broken = 2\n"
      "[Trailing] junk\n"
      "[alpha]\n"
      "empty quotes = second section loses\n"
      "only second = 1\n");
  EXPECT_EQ(getString(ini, "ALPHA", "Empty Quotes"), "");
  EXPECT_EQ(getString(ini, "alpha", "nothing after"), std::nullopt);
  EXPECT_EQ(getString(ini, "alpha", ""), std::nullopt);
  EXPECT_EQ(getString(ini, "alpha", "lone quote"), "\"");
  EXPECT_EQ(getString(ini, "alpha", "spaced tag"), "spaced value");
  EXPECT_EQ(getString(ini, "alpha", "after broken"), "2");
  EXPECT_EQ(getString(ini, "alpha", "only second"), std::nullopt);
  EXPECT_EQ(getString(ini, "alpha", "orphan"), std::nullopt);
  EXPECT_EQ(getString(ini, "Broken", "after broken"), std::nullopt);
  EXPECT_EQ(getString(ini, "Trailing", "only second"), std::nullopt);
}

TEST(IniRead, LineEndsCommentsAndTheLineCut) {
  const std::string file =
      "; head 1\r; head 2\n\n;sec comment\r\n[A]\n\r  ; item c\nx = 1\0"s
      "y = 2\r\n\r\nz = 3\n\r\n\r; trailing\n";
  IniStore ini = storeFromBytes(file);
  EXPECT_EQ(getString(ini, "A", "x"), "1");
  EXPECT_EQ(ini.lineOfLastAccess(), 7);
  EXPECT_EQ(getString(ini, "A", "z"), "3");
  EXPECT_EQ(ini.lineOfLastAccess(), 10);
  EXPECT_EQ(writtenBytes(ini),
            "; head 1\r\n; head 2\r\n\r\n;sec comment\r\n[A]\r\n; item c\r\nx = 1\r\ny = 2\r\n"
            "z = 3\r\n\r\n; trailing\r\n");

  // A line is cut after 1024 characters; the rest of it is not a line of its own.
  IniStore cut = storeFromBytes(
      "[S]\nk = " + std::string(1020, 'a') + "zz = 9\nl = " + std::string(1019, 'c') + "\n[" +
      std::string(1022, 'N') + "]\n" + "m = 1\r[" + std::string(1023, 'O') + "]\nn = 2");
  EXPECT_EQ(getString(cut, "S", "k"), std::string(1020, 'a'));
  EXPECT_EQ(getString(cut, "S", "zz"), std::nullopt);
  EXPECT_EQ(getString(cut, "S", "l"), std::string(1019, 'c'));
  EXPECT_EQ(getString(cut, std::string(1022, 'N'), "m"), "1");
  EXPECT_EQ(getString(cut, std::string(1022, 'N'), "n"), "2");  // the cut header is no section
}

TEST(IniRead, SplitValuesJoinInNumberedRuns) {
  IniStore ini = storeFromBytes(
      "[S]\n"
      "A Line0001 = \"ab\"\nA Line0002 = \"cd\"\nA Line0003 = \"ef\"\n"
      "B = x\n"
      "A Line0004 = \"gh\"\n"
      "C Line1 = \"1\"\nC Line01 = \"2\"\n"
      "Line0002 = q\n"
      "E Line0002 = e\n"
      "F Line = f\n"
      "G Line0001 = \"g\"\nH Line0002 = \"h\"\n");
  EXPECT_EQ(getString(ini, "S", "A"), "abcdef");
  EXPECT_EQ(ini.lineOfLastAccess(), 2);
  EXPECT_EQ(getString(ini, "S", "A Line0004"), "gh");
  EXPECT_EQ(getString(ini, "S", "C"), "1");  // a piece numbered 1 starts a second item C
  EXPECT_EQ(getString(ini, "S", "Line0002"), "q");
  EXPECT_EQ(getString(ini, "S", "E Line0002"), "e");
  EXPECT_EQ(getString(ini, "S", "F Line"), "f");
  EXPECT_EQ(getString(ini, "S", "G"), "gh");  // a run joins by number, whatever the names
}

TEST(IniGet, StrictIntegers) {
  IniStore ini = storeFromBytes(
      "[N]\na = 12\nb = \" -7 \"\nc = +3\nd = 0000000000000000012\ne = -2147483648\n"
      "f = 2147483647\ng = 12abc\nh = 0x10\ni = 1 2\nj = 2147483648\nk = +-1\nl = - 1\n"
      "m = -2147483649\nn = \"  \"\no = 99999999999999999999999\n");
  ini.Ini_PutString("N", "p", "");
  const std::pair<const char*, int> valid[] = {{"a", 12}, {"b", -7},        {"c", 3},
                                               {"d", 12}, {"e", INT32_MIN}, {"f", INT32_MAX}};
  for (const auto& [tag, expected] : valid) {
    int out = 0;
    EXPECT_EQ(ini.Ini_GetInt("N", tag, out), 1) << tag;
    EXPECT_EQ(out, expected) << tag;
  }
  for (const char* tag : {"g", "h", "i", "j", "k", "l", "m", "o"}) {
    int out = 42;
    EXPECT_EQ(ini.Ini_GetInt("N", tag, out), kIniInvalidInteger) << tag;
    EXPECT_EQ(out, 42) << tag;
  }
  for (const char* tag : {"n", "p", "absent"}) {
    int out = 42;
    EXPECT_EQ(ini.Ini_GetInt("N", tag, out), 0) << tag;
    EXPECT_EQ(out, 42) << tag;
  }
}

TEST(IniGet, UnescapingBufferCutAndLineOfLastAccess) {
  IniStore ini = storeFromBytes(
      "[S]\na = \"\\x4a\\x4A\\q\\\\\\\"\"\nb = \"abc\\\"\nc = \"\\x4\"\nd = \"\\xzz\\x0\"\n"
      "e = abcdef\n");
  EXPECT_EQ(ini.lineOfLastAccess(), -1);
  EXPECT_EQ(getString(ini, "S", "a"), "JJq\\\"");
  EXPECT_EQ(getString(ini, "S", "b"), "abc");  // a lone backslash at the end is dropped
  EXPECT_EQ(getString(ini, "S", "c"), "x4");
  EXPECT_EQ(getString(ini, "S", "d"), "xzzx0");
  EXPECT_EQ(ini.lineOfLastAccess(), 5);
  EXPECT_EQ(getString(ini, "S", "e", 4), "abc");
  EXPECT_EQ(getString(ini, "S", "e", 1), "");

  std::string out = "old";
  EXPECT_EQ(ini.Ini_GetStringIntoBuffer("S", "e", out, 0), kIniMissingArgument);
  EXPECT_EQ(ini.Ini_GetStringIntoBuffer("S", "absent", out, 10), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ini.lineOfLastAccess(), 6);  // unchanged by a miss
  ini.Ini_PutInt("S", "put", 1);
  EXPECT_EQ(getString(ini, "S", "put"), "1");
  EXPECT_EQ(ini.lineOfLastAccess(), -1);
}

}  // namespace
}  // namespace drq::ini::test
