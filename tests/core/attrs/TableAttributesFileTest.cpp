// The row colours and the table attributes file: the default colours, the
// exact bytes, the round trip, missing rows, foreign files and failed writes.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "core/attrs/TableAttributesFile.h"
#include "core/ini/FileReplacer.h"
#include "core/ini/IniStore.h"
#include "core/platform/Platform.h"
#include "support/TempDir.h"

namespace drq::attrs {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::filesystem::path kReference =
    std::filesystem::path(DRQ_TEST_DATA_DIR) / "attrs" / "TableAttributes.ini";

constexpr std::uint32_t kRed = 0xFF0000;

// The content the reference file holds: the default colours with a few rows
// changed, texts with escapes, UTF-8 and the longest text (split on writing).
void referenceAttributes(RowColorArray& colors, RowSpecifications& rowTexts) {
  colors = defaultRowColors();
  colors[1] = 0x123456;
  colors[3] = 0x000000;
  colors[63] = 0xFFFFFF;
  rowTexts = {};
  rowTexts[0] = "Blue cap";
  rowTexts[5] = "Label \"B\"\tC:\\line\\2";
  rowTexts[12] = "Gr\xC3\xBCn";
  rowTexts[40] = std::string(kRowSpecificationMax, 'x');
}

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

// The reference file with `from` replaced by `to`.
std::string referenceWith(const std::string& from, const std::string& to) {
  std::string bytes = readFileBytes(kReference);
  const auto at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  return bytes;
}

TEST(RowColors, FifteenColourCycleOverAllSeventyFiveEntries) {
  const RowColorArray colors = defaultRowColors();
  ASSERT_EQ(colors.size(), 75u);
  for (std::size_t row : {0u, 15u, 30u, 45u, 60u}) EXPECT_EQ(colors[row], kRed) << row;
  EXPECT_EQ(colors[1], 0x80FF00u);
  EXPECT_EQ(colors[12], 0x008000u);
  EXPECT_EQ(colors[14], 0x800000u);
  EXPECT_EQ(colors[63], 0x000000u);  // 63 mod 15 = 3
  EXPECT_EQ(colors[74], 0x800000u);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    EXPECT_EQ(colors[i], kDefaultColorCycle[i % 15]) << i;
  }
}

TEST(TableAttributesFile, WritesTheReferenceFileByteForByte) {
  TempDir dir;
  RowColorArray colors;
  RowSpecifications rowTexts;
  referenceAttributes(colors, rowTexts);
  const auto path = dir.file("TableAttributes.ini");
  const files::FileWriteResult written = writeTableAttributesFile(path, colors, rowTexts);
  ASSERT_TRUE(written.ok()) << written.status;
  EXPECT_FALSE(written.reason);
  EXPECT_EQ(files::failureReason(written), "");
  const std::string expected = readFileBytes(kReference);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readFileBytes(path), expected);
}

TEST(TableAttributesFile, ReadingBackRestoresEveryColourAndText) {
  TempDir dir;
  RowColorArray written{};
  RowSpecifications writtenTexts;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    written[row] = static_cast<std::uint32_t>(0x030507 * (row + 1)) & 0xFFFFFFu;
    writtenTexts[row] = "Row " + std::to_string(row) + " \"quoted\" \\ \t\n end";
  }
  writtenTexts[7] = "";
  writtenTexts[9] = std::string(kRowSpecificationMax, '9');
  const auto path = dir.file("t.ini");
  ASSERT_TRUE(writeTableAttributesFile(path, written, writtenTexts).ok());

  RowColorArray colors = defaultRowColors();
  colors[70] = 0xABCDEF;
  RowSpecifications rowTexts;
  rowTexts.fill("stale");
  Questions q;
  const TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, q.fn());
  EXPECT_GE(read.readStatus, 0);
  EXPECT_TRUE(read.typeOk);
  EXPECT_TRUE(read.versionOk);
  EXPECT_TRUE(read.taken);
  EXPECT_TRUE(read.missingRows.empty());
  EXPECT_TRUE(q.asked.empty());
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    EXPECT_EQ(colors[row], written[row]) << row;
    EXPECT_EQ(rowTexts[row], writtenTexts[row]) << row;
  }
  EXPECT_EQ(colors[70], 0xABCDEFu);  // beyond the teach rows nothing is read
}

TEST(TableAttributesFile, MissingOrUnreadableColoursTakeTheirDefaultsAndAreListed) {
  TempDir dir;
  // Row 12's section is gone; row 20's colour is not a number.
  std::string bytes = readFileBytes(kReference);
  const auto from = bytes.find("[TABLE ATTR OF TEACH VECTOR 12]");
  const auto to = bytes.find("[TABLE ATTR OF TEACH VECTOR 13]");
  ASSERT_NE(from, std::string::npos);
  bytes.erase(from, to - from);
  const auto path = dir.file("t.ini");
  ASSERT_TRUE(writeFileBytes(path, bytes));
  {
    std::string withBadColour = readFileBytes(path);
    const std::string section = "[TABLE ATTR OF TEACH VECTOR 20]\r\nRow color = ";
    const auto at = withBadColour.find(section);
    ASSERT_NE(at, std::string::npos);
    withBadColour.insert(at + section.size(), "red ");
    ASSERT_TRUE(writeFileBytes(path, withBadColour));
  }

  RowColorArray colors{};
  RowSpecifications rowTexts;
  rowTexts[12] = "stale";
  Questions q;
  const TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, q.fn());
  ASSERT_TRUE(read.taken);
  EXPECT_EQ(read.missingRows, (std::vector<std::size_t>{12, 20}));
  EXPECT_EQ(colors[12], 0x008000u);
  EXPECT_EQ(rowTexts[12], "");
  EXPECT_EQ(colors[20], defaultRowColor(20));
  EXPECT_EQ(colors[1], 0x123456u);
  EXPECT_EQ(missingRowsReport(read.missingRows),
            "Following teach vectors could not be read \nand where set to default value:\n\n"
            "TABLE ATTR OF TEACH VECTOR 12\nTABLE ATTR OF TEACH VECTOR 20\n");
}

TEST(TableAttributesFile, ColoursOutside24BitsTakeTheirDefaultsAndAreListed) {
  TempDir dir;
  RowColorArray colors = defaultRowColors();
  RowSpecifications rowTexts;
  ini::IniStore store;
  fillTableAttributesStore(store, colors, rowTexts);
  store.Ini_PutInt(rowSectionName(1), kRowColorTag, 0x1000000);
  store.Ini_PutInt(rowSectionName(2), kRowColorTag, -1);
  store.Ini_PutInt(rowSectionName(3), kRowColorTag, 0);
  store.Ini_PutInt(rowSectionName(4), kRowColorTag, 0xFFFFFF);
  const auto path = dir.file("t.ini");
  ASSERT_GE(store.Ini_WriteToFile(path), 0);

  colors.fill(0x111111);
  Questions q;
  const TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, q.fn());
  ASSERT_TRUE(read.taken);
  EXPECT_EQ(read.missingRows, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(colors[1], defaultRowColor(1));
  EXPECT_EQ(colors[2], defaultRowColor(2));
  EXPECT_EQ(colors[3], 0u);  // both ends of the range are colours
  EXPECT_EQ(colors[4], 0xFFFFFFu);
}

TEST(TableAttributesFile, FileThatCannotBeReadChangesNothingAndAsksNothing) {
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
    RowColorArray colors = defaultRowColors();
    colors[0] = 0x0000FF;
    RowSpecifications rowTexts;
    rowTexts[0] = "kept";
    const RowColorArray before = colors;
    Questions q;
    const TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, q.fn());
    EXPECT_LT(read.readStatus, 0) << path;
    EXPECT_EQ(read.readError, error) << path;
    EXPECT_FALSE(read.taken);
    EXPECT_TRUE(q.asked.empty());
    EXPECT_EQ(colors, before);
    EXPECT_EQ(rowTexts[0], "kept");
  }
}

TEST(TableAttributesFile, MissingSpecificationIsEmptyAndLongOnesAreCut) {
  TempDir dir;
  const std::string longText = std::string(98, 'a') + "\xC3\xBC" + "tail";
  std::string bytes = referenceWith("Row specification = \"Blue cap\"\r\n", "");
  const auto path = dir.file("t.ini");
  ASSERT_TRUE(writeFileBytes(path, bytes));
  {
    ini::IniStore longStore;
    RowColorArray colors = defaultRowColors();
    RowSpecifications rowTexts;
    rowTexts[2] = longText;
    fillTableAttributesStore(longStore, colors, rowTexts);
    ASSERT_GE(longStore.Ini_WriteToFile(dir.file("long.ini")), 0);
  }

  RowColorArray colors = defaultRowColors();
  RowSpecifications rowTexts;
  rowTexts[0] = "stale";
  Questions q;
  TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, q.fn());
  EXPECT_TRUE(read.taken);
  EXPECT_TRUE(read.missingRows.empty());  // a missing text is not reported
  EXPECT_EQ(rowTexts[0], "");

  read = readTableAttributesFile(dir.file("long.ini"), colors, rowTexts, q.fn());
  EXPECT_TRUE(read.taken);
  EXPECT_EQ(rowTexts[2], std::string(98, 'a'));  // never half a character
}

TEST(TableAttributesFile, ParameterFileAsksAndNoChangesNothing) {
  TempDir dir;
  const auto path = dir.file("Parameter.ini");
  ParaSet set = defaultParaSet();
  ASSERT_TRUE(writeParameterFile(path, set).ok());

  RowColorArray colors = defaultRowColors();
  colors[0] = 0x0000FF;
  RowSpecifications rowTexts;
  rowTexts[0] = "kept";
  const RowColorArray colorsBefore = colors;
  Questions no;
  no.answer = false;
  const TableAttributesRead declined = readTableAttributesFile(path, colors, rowTexts, no.fn());
  EXPECT_EQ(declined.fileType, "Parameter File");
  EXPECT_FALSE(declined.typeOk);
  EXPECT_TRUE(declined.versionOk);
  EXPECT_FALSE(declined.taken);
  EXPECT_EQ(no.asked, (std::vector<std::string>{std::string(kMsgNotTableAttributesFile)}));
  EXPECT_EQ(colors, colorsBefore);
  EXPECT_EQ(rowTexts[0], "kept");

  // Yes reads it anyway: it holds no row sections, so every row is listed.
  Questions yes;
  const TableAttributesRead taken = readTableAttributesFile(path, colors, rowTexts, yes.fn());
  EXPECT_TRUE(taken.taken);
  EXPECT_EQ(taken.missingRows.size(), kTeachRows);
  EXPECT_EQ(colors[0], kRed);
  EXPECT_EQ(rowTexts[0], "");
}

TEST(TableAttributesFile, OtherVersionAsksSecondAndNoChangesNothing) {
  TempDir dir;
  const auto path = dir.file("t.ini");
  ASSERT_TRUE(writeFileBytes(path, referenceWith("Scope V1.0", "Scope V2.0")));
  RowColorArray colors = defaultRowColors();
  RowSpecifications rowTexts;
  Questions no;
  no.answer = false;
  const TableAttributesRead read = readTableAttributesFile(path, colors, rowTexts, no.fn());
  EXPECT_TRUE(read.typeOk);
  EXPECT_FALSE(read.versionOk);
  EXPECT_FALSE(read.taken);
  EXPECT_EQ(no.asked, (std::vector<std::string>{std::string(kMsgVersionMismatch)}));
  EXPECT_EQ(colors, defaultRowColors());
  EXPECT_EQ(rowTexts[0], "");
}

// The disk replacement with a failing step.
class FailingReplacer : public ini::DiskFileReplacer {
 public:
  int writeError = 0;
  int commitError = 0;
  std::error_code write(std::string_view bytes) override {
    return writeError != 0 ? platform::errnoCode(writeError) : DiskFileReplacer::write(bytes);
  }
  std::error_code commit() override {
    return commitError != 0 ? platform::errnoCode(commitError) : DiskFileReplacer::commit();
  }
};

TEST(TableAttributesFile, FailedWriteKeepsTheOldFileAndNamesTheReason) {
  TempDir dir;
  const auto path = dir.file("TableAttributes.ini");
  ASSERT_TRUE(writeFileBytes(path, "old content\r\n"));
  RowColorArray colors;
  RowSpecifications rowTexts;
  referenceAttributes(colors, rowTexts);

  FailingReplacer full;
  full.writeError = ENOSPC;
  const files::FileWriteResult diskFull = writeTableAttributesFile(path, colors, rowTexts, &full);
  EXPECT_EQ(diskFull.status, ini::kIniDiskFull);
  EXPECT_EQ(diskFull.reason, std::error_code(ENOSPC, std::generic_category()));
  EXPECT_EQ(files::failureReason(diskFull), std::generic_category().message(ENOSPC));

  FailingReplacer renameFails;
  renameFails.commitError = EIO;
  const files::FileWriteResult ioError =
      writeTableAttributesFile(path, colors, rowTexts, &renameFails);
  EXPECT_EQ(ioError.status, ini::kIniWriteError);
  EXPECT_EQ(files::failureReason(ioError), std::generic_category().message(EIO));

  EXPECT_EQ(readFileBytes(path), "old content\r\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++files;
  }
  EXPECT_EQ(files, 1u);  // no temporary file left behind

  // Without a system error the store's status is put in words; no reason is
  // made up.
  EXPECT_EQ(files::failureReason(files::FileWriteResult{ini::kIniAccessDenied, {}}),
            "write-protected");
  EXPECT_EQ(files::failureReason(files::FileWriteResult{ini::kIniWriteError, {}}), "write error");
}

TEST(TableAttributesFile, ResetGivesEveryEntryItsDefaultAndEmptiesTheTexts) {
  RowColorArray colors{};
  RowSpecifications rowTexts;
  rowTexts.fill("text");
  resetRowAttributes(colors, rowTexts);
  for (std::size_t row : {0u, 15u, 30u, 45u, 60u}) EXPECT_EQ(colors[row], kRed);
  EXPECT_EQ(colors, defaultRowColors());
  for (const std::string& text : rowTexts) EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace drq::attrs
