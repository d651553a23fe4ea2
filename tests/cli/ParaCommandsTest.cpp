#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/ParaFormat.h"
#include "core/params/ParaFile.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kReference = std::string(DRQ_TEST_DATA_DIR) + "/params/Parameter.ini";

using test::CliRun;

CliRun run(const std::vector<std::string>& args) {
  return test::runCliCaptured(args);
}

std::string withLine(std::string bytes, const std::string& from, const std::string& to) {
  const auto at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  return bytes;
}

TEST(ShowPara, ListsValuesNamesActiveRowsAndDefaults) {
  TempDir dir;
  const auto file = dir.file("p.ini").string();
  std::string bytes = withLine(readFileBytes(kReference), "MAX VEC NO = 1", "MAX VEC NO = 2");
  bytes = withLine(bytes, "GAIN = 5\r\n", "");
  const auto row1 = bytes.find("[TEACH VECTOR 1]");
  bytes.replace(bytes.find("CELL 3 = 1", row1), 10, "CELL 3 = 1234");
  ASSERT_TRUE(writeFileBytes(file, bytes));

  const auto r = run({"show-para", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("[PARAMETER]\nPOWER = 500\nPOWER MODE = 0 (STAT)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nEVALUATION MODE = 1 (BEST HIT)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nGAIN = 5 (AMP6)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nLED MODE = 0 (DC)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nACTIVE TEACH ROWS: 2\n"
                       "ROW    X      Y      CTO    INT    ITO    GROUP  HOLD\n"
                       "0      1      1      1      1      1      0      10\n"
                       "1      1      1      1      1234   1      0      10\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("\n2      "), std::string::npos);  // row 2 is not active
  EXPECT_NE(r.out.find("Following parameter could not be read \nand where set to default "
                       "value:\n\nGAIN\n"),
            std::string::npos);
}

TEST(ShowPara, HostileFilesShowDefaultsAndBothLists) {
  TempDir dir;
  const auto file = dir.file("junk.ini").string();
  std::string junk =
      std::string("\x00\x01\xff", 3) + "[GENERAL INFO\r\n=\r\n[PARAMETER]\nPOWER = 99999999999\n";
  junk += std::string(3000, '[') + "\n";
  ASSERT_TRUE(writeFileBytes(file, junk));
  const auto r = run({"show-para", file});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("POWER = 500\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nPOWER\nPOWER MODE\n"), std::string::npos);
  EXPECT_NE(r.out.find("TEACH VECTOR 63\n"), std::string::npos);
  EXPECT_NE(r.err.find("Selected file is not a parameter file!"), std::string::npos);

  EXPECT_EQ(run({"show-para"}).status, 2);
  // A file that cannot be read is no empty file of defaults: it is named with
  // the system's reason.
  for (const auto& [path, reason] :
       {std::pair{dir.file("absent.ini").string(), "No such file or directory"},
        std::pair{dir.path().string(), "Is a directory"}}) {
    const auto refused = run({"show-para", path});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "drqctl show-para: cannot read " + path + ": " + std::string(reason) + "\n");
  }
}

TEST(DiffPara, FilesEqualOrListTheirDifferences) {
  TempDir dir;
  const auto a = dir.file("a.ini").string();
  const auto b = dir.file("b.ini").string();
  ASSERT_TRUE(writeFileBytes(a, readFileBytes(kReference)));
  ASSERT_TRUE(writeFileBytes(b, readFileBytes(kReference)));
  auto r = run({"diff-para", a, b});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");

  std::string bytes = withLine(readFileBytes(kReference), "TRIGGER = 0", "TRIGGER = 6");
  const auto row7 = bytes.find("[TEACH VECTOR 7]");
  bytes.replace(bytes.find("HOLD  = 10", row7), 10, "HOLD  = 70000");
  ASSERT_TRUE(writeFileBytes(b, bytes));
  r = run({"diff-para", a, b});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "PARAMETER\tTRIGGER\t0\t6\nTEACH VECTOR 7\tHOLD\t10\t4464\n");
}

TEST(DiffPara, ForeignFilesNeedForce) {
  TempDir dir;
  const auto a = dir.file("a.ini").string();
  const auto b = dir.file("b.ini").string();
  ASSERT_TRUE(writeFileBytes(a, readFileBytes(kReference)));
  ASSERT_TRUE(writeFileBytes(
      b, withLine(readFileBytes(kReference), "\"Parameter File\"", "\"Something Else\"")));
  auto r = run({"diff-para", a, b});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Selected file is not a parameter file!"), std::string::npos);
  r = run({"diff-para", "--force", a, b});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(run({"diff-para", a, "ram:2"}).status, 2);
}

TEST(SendPara, RefusesBeforeTouchingTheLink) {
  TempDir dir;
  const auto file = dir.file("p.ini").string();
  // Another program version: refused without --force.
  ASSERT_TRUE(
      writeFileBytes(file, withLine(readFileBytes(kReference), "Scope V1.0", "Scope V0.9")));
  auto r = run({"--tcp", "127.0.0.1:9", "send-para", file});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Selected file and scope version do not match!"), std::string::npos);
  // Set 1 with TRIGGER other than PARA is never used by the sensor.
  ASSERT_TRUE(writeFileBytes(file, readFileBytes(kReference)));
  r = run({"--tcp", "127.0.0.1:9", "send-para", "--set", "1", file});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("TRIGGER = PARA"), std::string::npos);
  EXPECT_EQ(run({"--tcp", "127.0.0.1:9", "send-para", "--to", "flash", file}).status, 2);
  // An empty output name is a usage error, not a failed write.
  r = run({"--tcp", "127.0.0.1:9", "get-para", "-o", ""});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("-o: the file name is empty"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace drq::cli
