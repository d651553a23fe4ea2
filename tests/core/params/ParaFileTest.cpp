#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "core/ini/IniStore.h"
#include "core/params/ParaFile.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kReference = std::string(DRQ_TEST_DATA_DIR) + "/params/Parameter.ini";

// Answers every question with `answer` and records the texts asked.
struct Questions {
  bool answer = true;
  std::vector<std::string> asked;
  ConfirmFn fn() {
    return [this](std::string_view title, std::string_view text) {
      EXPECT_EQ(title, "ATTENTION!");
      asked.emplace_back(text);
      return answer;
    };
  }
};

// The reference file with one line replaced (or removed when `to` is empty).
std::string referenceWith(const std::string& from, const std::string& to) {
  std::string bytes = readFileBytes(kReference);
  const auto at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  return bytes;
}

ParaSet readBytes(const TempDir& dir, const std::string& bytes, ParameterFileRead& result,
                  bool answer = true) {
  const auto path = dir.file("in.ini");
  EXPECT_TRUE(writeFileBytes(path, bytes));
  ParaSet set = defaultParaSet();
  Questions q;
  q.answer = answer;
  result = readParameterFile(path, set, q.fn());
  return set;
}

TEST(ParameterFile, DefaultsWriteTheReferenceFileByteForByte) {
  TempDir dir;
  const auto path = dir.file("Parameter.ini");
  ASSERT_TRUE(writeParameterFile(path, defaultParaSet()).ok());
  const std::string expected = readFileBytes(kReference);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readFileBytes(path), expected);
}

TEST(ParameterFile, WriteAndReadBackRestoresEveryWordButNotTheSpare) {
  TempDir dir;
  ParaSet written = defaultParaSet();
  for (std::size_t w = 0; w < kParaRecordWords; ++w)
    written.record.words[w] = static_cast<std::uint16_t>(60000 + w);
  for (std::size_t r = 0; r < kTeachRows; ++r) {
    for (std::size_t w = 0; w < kTeachVectorWords; ++w) {
      written.table[r].words[w] = static_cast<std::uint16_t>(r * 100 + w);
    }
  }
  const auto path = dir.file("p.ini");
  ASSERT_TRUE(writeParameterFile(path, written).ok());

  ParaSet read = defaultParaSet();
  for (auto& v : read.table) v.spare() = 4242;
  Questions q;
  const auto result = readParameterFile(path, read, q.fn());
  EXPECT_TRUE(result.typeOk);
  EXPECT_TRUE(result.versionOk);
  EXPECT_TRUE(result.taken);
  EXPECT_TRUE(q.asked.empty());
  EXPECT_TRUE(result.parameters.empty());
  EXPECT_TRUE(result.teachVectors.empty());
  EXPECT_EQ(read.record, written.record);
  for (std::size_t r = 0; r < kTeachRows; ++r) {
    for (std::size_t w = 0; w < kTeachSpareWord; ++w) {
      EXPECT_EQ(read.table[r].words[w], written.table[r].words[w]);
    }
    EXPECT_EQ(read.table[r].spare(), 4242);  // the file never touches the spare word
  }
}

TEST(ParameterFile, MissingKeysTakeDefaultsAndAreListed) {
  TempDir dir;
  ParameterFileRead result;
  ParaSet set = readBytes(dir, referenceWith("GAIN = 5\r\n", ""), result);
  EXPECT_EQ(set.record[ParaWord::Gain], 5);
  EXPECT_EQ(result.parameters.names, (std::vector<std::string>{"GAIN"}));
  EXPECT_EQ(result.parameters.text,
            "Following parameter could not be read \nand where set to default value:\n\nGAIN\n");

  std::string bytes = referenceWith("EXTERN TEACH = 0\r\n", "");
  bytes.replace(bytes.find("POWER = 500"), 11, "POWER = 65537");
  set = readBytes(dir, bytes, result);
  EXPECT_EQ(set.record[ParaWord::Power], 1);  // low 16 bits
  ASSERT_EQ(result.wideValues.size(), 1u);    // and the value as filed
  EXPECT_FALSE(result.wideValues[0].teachRow);
  EXPECT_EQ(result.wideValues[0].word, static_cast<std::size_t>(ParaWord::Power));
  EXPECT_EQ(result.wideValues[0].value, 65537);
  EXPECT_EQ(result.parameters.names, (std::vector<std::string>{"EXTEACH"}));

  // Row 12 without HOLD keeps its other values; row 5 without its section is all defaults.
  bytes = readFileBytes(kReference);
  const auto row12 = bytes.find("[TEACH VECTOR 12]");
  bytes.replace(bytes.find("CELL 0 = 1", row12), 10, "CELL 0 = 321");
  bytes.erase(bytes.find("HOLD  = 10\r\n", row12), 12);
  bytes.replace(bytes.find("[TEACH VECTOR 5]"), 16, "[TEACH VECTOR 5x]");
  set = readBytes(dir, bytes, result);
  EXPECT_EQ(set.table[12].cell(0), 321);
  EXPECT_EQ(set.table[12].hold(), 10);
  EXPECT_EQ(set.table[5], defaultTeachVector());
  EXPECT_EQ(result.teachVectors.text,
            "Following teach vectors could not be read \nand where set to default "
            "value:\n\nTEACH VECTOR 5\nTEACH VECTOR 12\n");
  EXPECT_TRUE(result.parameters.empty());
}

TEST(ParameterFile, WrongTypeOrVersionAsksAndNoLeavesTheSetUnchanged) {
  TempDir dir;
  const auto path = dir.file("v.ini");
  std::string bytes = referenceWith("POWER = 500", "POWER = 7");
  bytes.replace(bytes.find("Scope V1.0"), 10, "Scope V2.0");
  ASSERT_TRUE(writeFileBytes(path, bytes));
  ParaSet set = defaultParaSet();
  Questions no;
  no.answer = false;
  auto result = readParameterFile(path, set, no.fn());
  EXPECT_TRUE(result.typeOk);
  EXPECT_FALSE(result.versionOk);
  EXPECT_FALSE(result.taken);
  EXPECT_EQ(no.asked, (std::vector<std::string>{std::string(kMsgVersionMismatch)}));
  EXPECT_EQ(set, defaultParaSet());

  Questions yes;
  result = readParameterFile(path, set, yes.fn());
  EXPECT_TRUE(result.taken);
  EXPECT_EQ(set.record[ParaWord::Power], 7);

  // A wrong type is asked first; No ends the reading there.
  ASSERT_TRUE(writeFileBytes(path, referenceWith("\"Parameter File\"", "\"Panel Settings\"")));
  no.asked.clear();
  result = readParameterFile(path, set, no.fn());
  EXPECT_EQ(result.fileType, "Panel Settings");
  EXPECT_FALSE(result.taken);
  EXPECT_EQ(no.asked, (std::vector<std::string>{std::string(kMsgNotParameterFile)}));
}

TEST(ParameterFile, ForeignFileProceedsToAllDefaultsAndBothLists) {
  TempDir dir;
  ASSERT_TRUE(writeFileBytes(dir.file("empty.ini"), ""));
  ParaSet set = defaultParaSet();
  set.record[ParaWord::Power] = 999;
  set.table[0].cell(0) = 5;
  Questions yes;
  const auto result = readParameterFile(dir.file("empty.ini"), set, yes.fn());
  EXPECT_EQ(result.readStatus, 0);
  EXPECT_FALSE(result.typeOk);
  EXPECT_EQ(yes.asked, (std::vector<std::string>{std::string(kMsgNotParameterFile),
                                                 std::string(kMsgVersionMismatch)}));
  EXPECT_EQ(set, defaultParaSet());
  EXPECT_EQ(result.parameters.names.size(), kParaRecordWords);
  EXPECT_EQ(result.teachVectors.names.size(), kTeachRows);
  EXPECT_EQ(result.teachVectors.text.size(), 1090u);  // held whole
  EXPECT_EQ(result.teachVectors.text.substr(result.teachVectors.text.size() - 16),
            "TEACH VECTOR 63\n");
}

TEST(ParameterFile, FileThatCannotBeReadChangesNothingAndAsksNothing) {
  TempDir dir;
  std::vector<std::pair<std::filesystem::path, std::errc>> unreadable = {
      {dir.file("absent.ini"), std::errc::no_such_file_or_directory},
      {dir.path(), std::errc::is_a_directory}};  // fails for every user, root too
  const auto locked = dir.file("locked.ini");
  ASSERT_TRUE(writeFileBytes(locked, readFileBytes(kReference)));
  std::filesystem::permissions(locked, std::filesystem::perms::none);
#ifndef _WIN32
  if (::geteuid() != 0) unreadable.emplace_back(locked, std::errc::permission_denied);
#endif

  for (const auto& [path, error] : unreadable) {
    ParaSet set = defaultParaSet();
    set.record[ParaWord::Power] = 999;
    const ParaSet before = set;
    Questions yes;
    const auto result = readParameterFile(path, set, yes.fn());
    EXPECT_LT(result.readStatus, 0) << path;
    EXPECT_EQ(result.readError, error) << path;
    EXPECT_FALSE(result.taken);
    EXPECT_TRUE(yes.asked.empty());
    EXPECT_EQ(set, before);
    EXPECT_TRUE(result.parameters.empty());
  }
}

TEST(ParameterFile, HostileContentGivesDefaultsAndListsWithoutHarm) {
  TempDir dir;
  ParameterFileRead result;
  std::string bytes = readFileBytes(kReference);
  const auto swap = [&bytes](const std::string& from, const std::string& to) {
    bytes.replace(bytes.find(from), from.size(), to);
  };
  swap("POWER MODE = 0", "POWER MODE = abc");
  swap("AVERAGE = 1", "AVERAGE = 12x");
  swap("HOLD FAIL = 10", "HOLD FAIL = 99999999999");
  swap("INTLIM = 0", "INTLIM = -1");
  swap("MAX VEC NO = 1", "MAX VEC NO =");
  swap("GAIN = 5", "GAIN = \"7\"");
  // A duplicated PARAMETER section later in the file: the first one wins.
  bytes += "[PARAMETER]\r\nPOWER = 1\r\nTRIGGER = 6\r\n";
  // Binary junk and an endless line.
  bytes += std::string("\x00\xff\xfe[\x01=\x02\r\n", 10) + std::string(5000, 'Z') + "\r\n";
  ParaSet set = readBytes(dir, bytes, result);
  EXPECT_EQ(set.record[ParaWord::Power], 500);
  EXPECT_EQ(set.record[ParaWord::PowerMode], 0);
  EXPECT_EQ(set.record[ParaWord::Average], 1);
  EXPECT_EQ(set.record[ParaWord::HoldFail], 10);
  EXPECT_EQ(set.record[ParaWord::IntLim], 65535);
  EXPECT_EQ(set.record[ParaWord::MaxVecNo], 1);
  EXPECT_EQ(set.record[ParaWord::Trigger], 0);
  EXPECT_EQ(result.parameters.names,
            (std::vector<std::string>{"POWER MODE", "AVERAGE", "HOLD FAIL", "MAX VEC NO"}));
  EXPECT_TRUE(result.teachVectors.empty());
  EXPECT_EQ(set.record[ParaWord::Gain], 7);  // a quoted integer still reads as one
}

TEST(ParameterFile, AppendPutsTheSectionsIntoAnotherStore) {
  TempDir dir;
  ini::IniStore store;
  store.Ini_PutString("GENERAL INFO", "FILE TYPE:", "Hardware Initial File");
  ParaSet set = defaultParaSet();
  set.record[ParaWord::Gain] = 2;
  AppendParaToIniHandle(store, set.record);
  AppendTechVecToIniHandle(store, set.table);
  ParaSet back = defaultParaSet();
  back.record[ParaWord::Gain] = 0;
  EXPECT_TRUE(AcquireParaFromIniHandle(store, back.record).empty());
  EXPECT_TRUE(AcquireTechVecFromIniHandle(store, back.table).empty());
  EXPECT_EQ(back, set);
}

}  // namespace
}  // namespace drq
