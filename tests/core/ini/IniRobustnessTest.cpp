// Values survive the file unchanged, and hostile files neither crash the
// reader nor make it hold more than the file's size.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "IniTestSupport.h"
#include "core/ini/IniStore.h"
#include "support/TempDir.h"

namespace drq::ini::test {
namespace {

// Texts of 0 to 300 bytes, rich in what the syntax must protect: control
// characters, quotes, backslashes, blanks at either end, syntax characters,
// UTF-8 sequences and any other byte but NUL.
std::string randomText(std::mt19937& rng) {
  static const std::vector<std::string> kPieces = {
      "\"",   "\\",  " ", "\t",   "\r",        "\n",       "\r\n",         "=",
      ";",    "[",   "]", "\\x4", " Line0001", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9d\x84\x9e",
      "\x7f", "\x01"};
  std::uniform_int_distribution<int> length(0, 300), kind(0, 9), piece(0, int(kPieces.size()) - 1);
  std::uniform_int_distribution<int> printable(0x20, 0x7E), anyByte(1, 255), control(1, 31);
  std::string text;
  const std::size_t wanted = static_cast<std::size_t>(length(rng));
  while (text.size() < wanted) {
    const int k = kind(rng);
    if (k < 4)
      text += static_cast<char>(printable(rng));
    else if (k < 6)
      text += kPieces[static_cast<std::size_t>(piece(rng))];
    else if (k < 8)
      text += static_cast<char>(anyByte(rng));
    else
      text += static_cast<char>(control(rng));
  }
  text.resize(wanted);  // may cut a UTF-8 sequence: the store must not care
  return text;
}

TEST(IniRoundTrip, RandomTextsAndIntegersComeBackIdentical) {
  std::mt19937 rng(20240611);
  drq::test::TempDir dir;
  const auto file = dir.file("round.ini");
  for (int round = 0; round < 20; ++round) {
    IniStore ini;
    std::vector<std::string> texts;
    std::vector<std::int32_t> numbers;
    for (int k = 0; k < 20; ++k) {
      texts.push_back(randomText(rng));
      numbers.push_back(static_cast<std::int32_t>(rng()));
      const std::string section = "Section " + std::to_string(k % 3);
      ASSERT_EQ(ini.Ini_PutString(section, "Text " + std::to_string(k), texts.back()), 0);
      ASSERT_EQ(ini.Ini_PutInt(section, "Number " + std::to_string(k), numbers.back()), 0);
    }
    ASSERT_EQ(ini.Ini_WriteToFile(file), kIniOk);
    IniStore back;
    ASSERT_EQ(back.Ini_ReadFromFile(file), kIniOk);
    for (int k = 0; k < 20; ++k) {
      const std::string section = "section " + std::to_string(k % 3);
      EXPECT_EQ(getString(back, section, "TEXT " + std::to_string(k)), texts[std::size_t(k)])
          << "round " << round << " item " << k;
      int number = 0;
      EXPECT_EQ(back.Ini_GetInt(section, "Number " + std::to_string(k), number), 1);
      EXPECT_EQ(number, numbers[std::size_t(k)]);
    }
  }
}

TEST(IniBadInput, EndlessLinesAndBinaryGarbage) {
  // Ten megabytes without a line end: one value of 1020 characters.
  IniStore endless = storeFromBytes("[S]\nv = " + std::string(10'000'000, 'a'));
  EXPECT_EQ(getString(endless, "S", "v"), std::string(1020, 'a'));

  // Garbage with NUL bytes and every syntax character: read, and written back
  // in lines that stay within 1024 characters and in a size bounded by the file.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255), which(0, 15);
  const std::string syntax = std::string("[]=;\"\\ \r\n", 9) + std::string(1, '\0');
  std::string garbage = "[S]\n";
  while (garbage.size() < 2'000'000) {
    const int w = which(rng);
    garbage += w < 4 ? syntax[std::size_t(w) % syntax.size()] : static_cast<char>(byte(rng));
  }
  IniStore ini = storeFromBytes(garbage);
  const std::string rewritten = writtenBytes(ini);
  EXPECT_LT(rewritten.size(), 6 * garbage.size());
  std::size_t lineStart = 0, longest = 0;
  for (std::size_t end; (end = rewritten.find("\r\n", lineStart)) != std::string::npos;
       lineStart = end + 2) {
    longest = std::max(longest, end - lineStart);
  }
  EXPECT_EQ(lineStart, rewritten.size());
  EXPECT_LE(longest, 1024u);
}

TEST(IniBadInput, HugeSectionNamesDuplicateSectionsAndLongRuns) {
  // The header line is cut before its "]": no section, so the item is ignored.
  const std::string name(5000, 'N');
  IniStore named = storeFromBytes("[" + name + "]\nv = 1\n");
  EXPECT_EQ(getString(named, name, "v"), std::nullopt);
  EXPECT_EQ(writtenBytes(named), "");

  std::string duplicates;
  for (int k = 0; k < 5000; ++k) duplicates += "[D]\nv = " + std::to_string(k) + "\n";
  IniStore ini = storeFromBytes(duplicates);
  EXPECT_EQ(getString(ini, "d", "v"), "0");
  ini.Ini_PutInt("D", "v", -1);
  const std::string rewritten = writtenBytes(ini);
  EXPECT_EQ(rewritten.substr(0, 15), "[D]\r\nv = -1\r\n\r\n");
  std::size_t count = 0;
  for (auto at = rewritten.find("[D]"); at != std::string::npos; at = rewritten.find("[D]", at + 1))
    ++count;
  EXPECT_EQ(count, 5000u);

  // Joined pieces never exceed what the file holds.
  std::string pieces = "[S]\nX Line0001 = \"" + std::string(40, 'p') + "\"\n";
  for (int k = 2; k <= 20000; ++k) pieces += "X Line0002 = \"" + std::string(40, 'p') + "\"\n";
  IniStore joined = storeFromBytes(pieces);
  const auto value = getString(joined, "S", "X");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->size(), 20000u * 40u);
}

}  // namespace
}  // namespace drq::ini::test
