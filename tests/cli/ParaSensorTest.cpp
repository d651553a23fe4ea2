#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "core/params/ParaFile.h"
#include "core/params/ParaWire.h"
#include "core/protocol/Frame.h"
#include "sim/EmbeddedSensor.h"
#include "sim/SensorHost.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kReference = std::string(DRQ_TEST_DATA_DIR) + "/params/Parameter.ini";

using test::CliRun;

struct Request {
  std::uint8_t order;
  std::uint16_t argument;
  std::size_t bytes;
  bool operator==(const Request&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Request& r) {
  return os << "{" << int(r.order) << ", " << r.argument << ", " << r.bytes << "}";
}

// drqctl against the virtual sensor in this process.
class ParaOnSensor : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString(); }

  CliRun run(std::vector<std::string> words) {
    words.insert(words.begin(), {"--tcp", "127.0.0.1:" + std::to_string(sensor.port())});
    return test::runCliCaptured(words);
  }

  // The requests the sensor saw since the last call, identification left out.
  std::vector<Request> requests() {
    std::vector<Request> seen;
    for (const auto& r : sensor.model().requestLog()) {
      if (r.order != ORDER_IDENTIFY) seen.push_back({r.order, r.argument, r.totalBytes});
    }
    sensor.model().clearRequestLog();
    return seen;
  }

  // A parameter file of `set`.
  std::string fileOf(const ParaSet& set) {
    const auto path = dir.file("set" + std::to_string(files++) + ".ini");
    EXPECT_TRUE(writeParameterFile(path, set).ok());
    return path.string();
  }

  sim::EmbeddedSensor sensor;
  TempDir dir;
  int files = 0;
};

TEST_F(ParaOnSensor, IdentifyShowsVersionAndSerialOrTheMismatch) {
  sensor.model().setSerialNumber(65535);
  auto r = run({"identify"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "VELMARON DRQ V1.0B\nSERIAL NUMBER: 65535\n");

  sensor.model().setIdentification("VELMARON DRQ V1.1.0 X");
  r = run({"identify"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out,
            "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: "
            "VELMARON DRQ V1.1\nThe serial number is: 65535\n\nClose window or work in offline "
            "mode!\n");
  // The other commands refuse such a sensor before touching its parameters.
  requests();
  EXPECT_EQ(run({"get-para", "-o", dir.file("x.ini").string()}).status, 3);
  EXPECT_TRUE(requests().empty());
}

TEST_F(ParaOnSensor, GetParaOfAFreshSensorWritesTheReferenceFile) {
  const auto out = dir.file("Parameter.ini");
  const auto r = run({"get-para", "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readFileBytes(out), readFileBytes(kReference));
  EXPECT_EQ(requests(), (std::vector<Request>{{2, 0, 8}, {2, 2, 8}, {2, 3, 8}}));
}

TEST_F(ParaOnSensor, GetParaIntoAWriteProtectedOrFullPlaceKeepsTheOldFileAndSaysSo) {
  const auto out = dir.file("Parameter.ini");
  ASSERT_TRUE(writeFileBytes(out, "old"));
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  auto r = run({"get-para", "-o", out.string()});
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "drqctl get-para: cannot write " + out.string() +
                       ": write-protected (status -95, Permission denied); the parameters were not "
                       "saved\n");
  EXPECT_EQ(readFileBytes(out), "old");

  // A file size limit stops the write half-way, as a full disk does.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  r = run({"get-para", "-o", out.string()});
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldSignal);
  EXPECT_EQ(r.status, kExitLinkFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "drqctl get-para: cannot write " + out.string() +
                ": write error (status -93, File too large); the parameters were not saved\n");
  EXPECT_EQ(readFileBytes(out), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(ParaOnSensor, SendSet1ToRamWritesBlocks145) {
  ParaSet values = defaultParaSet();
  values.record[ParaWord::Trigger] = 6;  // PARA: set 1 is in use
  values.table[40].cell(2) = 4321;
  const auto r = run({"send-para", "--set", "1", fileOf(values)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(requests(), (std::vector<Request>{{1, 1, 42}, {1, 4, 520}, {1, 5, 520}}));
  EXPECT_EQ(sensor.model().ramSet(1), values);
  EXPECT_EQ(sensor.model().eepromSet(1), defaultParaSet());
}

TEST_F(ParaOnSensor, SendToEepromStoresAfterTheWrites) {
  ParaSet values = defaultParaSet();
  values.record[ParaWord::Power] = 321;
  const auto r = run({"send-para", "--to", "eeprom", fileOf(values)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(requests(), (std::vector<Request>{{1, 0, 42}, {1, 2, 520}, {1, 3, 520}, {3, 0, 8}}));
  EXPECT_EQ(sensor.model().eepromSet(0).record[ParaWord::Power], 321);
}

TEST_F(ParaOnSensor, PlausibilityNoticesGoToStderrAndTheTransferCompletes) {
  ParaSet values = defaultParaSet();
  values.record[ParaWord::Power] = 2000;  // beyond the sensor's limit
  auto r = run({"send-para", "--as-is", fileOf(values)});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET "
                       "TO DEFAULT VALUE!"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(requests().size(), 3u);

  // Get from EEPROM loads first; the load's count is a notice too.
  ParaSet stored = defaultParaSet();
  stored.record[ParaWord::Gain] = 9;
  stored.record[ParaWord::Integral] = 251;
  sensor.model().setEepromSet(1, stored);
  const auto out = dir.file("e.ini");
  r = run({"get-para", "--from", "eeprom", "--set", "1", "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("INFO!\n2 PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE "
                       "SET TO DEFAULT VALUE!\n\n"),
            std::string::npos)
      << r.err;
  // RAM's sets are kept before the load and written back after the reads.
  EXPECT_EQ(requests(), (std::vector<Request>{{2, 0, 8},
                                              {2, 2, 8},
                                              {2, 3, 8},
                                              {2, 1, 8},
                                              {2, 4, 8},
                                              {2, 5, 8},
                                              {4, 0, 8},
                                              {2, 1, 8},
                                              {2, 4, 8},
                                              {2, 5, 8},
                                              {1, 0, 42},
                                              {1, 2, 520},
                                              {1, 3, 520},
                                              {1, 1, 42},
                                              {1, 4, 520},
                                              {1, 5, 520}}));
}

TEST_F(ParaOnSensor, TimeOutOnTheSecondReadLeavesTheThirdUnrequested) {
  std::string error;
  // Request 1 is the identification, 2 the record, 3 the low teach block.
  const auto rule = sim::parseFaultRule("index=3,kind=silent", &error);
  ASSERT_TRUE(rule) << error;
  sensor.host().setFaultRules({*rule});
  const auto out = dir.file("never.ini");
  const auto r = run({"get-para", "-o", out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("TIMEOUT!"), std::string::npos);
  EXPECT_EQ(requests(), (std::vector<Request>{{2, 0, 8}, {2, 2, 8}}));
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ParaOnSensor, DiffRamAgainstEepromKeepsTheRamAsItWas) {
  ParaSet values = defaultParaSet();
  values.record[ParaWord::Average] = 16;
  values.table[3].hold() = 99;
  ASSERT_EQ(run({"send-para", fileOf(values)}).status, 0);
  sensor.model().clearRequestLog();

  auto r = run({"diff-para", "ram:0", "eeprom:0"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "PARAMETER\tAVERAGE\t16\t1\nTEACH VECTOR 3\tHOLD\t99\t10\n");
  EXPECT_EQ(sensor.model().ramSet(0), values);  // written back after the EEPROM load
  const auto seen = requests();
  ASSERT_GE(seen.size(), 7u);
  EXPECT_EQ(seen[6], (Request{4, 0, 8}));
  EXPECT_EQ(seen.back(), (Request{1, 5, 520}));

  r = run({"diff-para", "ram:0", fileOf(values)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
}

// A file value the panels would limit is sent at the limit, never wrapped to
// 16 bits; --as-is sends values as filed and refuses those that do not fit.
TEST_F(ParaOnSensor, SendParaLimitsValuesAsThePanelsDo) {
  std::string bytes = readFileBytes(fileOf(defaultParaSet()));
  const auto replace = [&bytes](const std::string& from, const std::string& to,
                                std::size_t after = 0) {
    const auto at = bytes.find(from, after);
    ASSERT_NE(at, std::string::npos) << from;
    bytes.replace(at, from.size(), to);
  };
  replace("POWER = 500", "POWER = 70000");
  replace("INTEGRAL = 1", "INTEGRAL = 300");
  replace("CELL 2 = 1", "CELL 2 = 65537", bytes.find("[TEACH VECTOR 7]"));
  replace("HOLD  = 10", "HOLD  = -3", bytes.find("[TEACH VECTOR 9]"));
  const auto file = dir.file("wide.ini").string();
  ASSERT_TRUE(writeFileBytes(file, bytes));

  auto r = run({"send-para", file});
  EXPECT_EQ(r.status, 0) << r.err;
  ParaSet expected = defaultParaSet();
  expected.record[ParaWord::Power] = 1000;
  expected.record[ParaWord::Integral] = 250;
  expected.table[7].cell(2) = 65535;
  expected.table[9].hold() = 0;
  EXPECT_EQ(sensor.model().ramSet(0), expected);
  EXPECT_NE(r.err.find("POWER = 70000 limited to 1000\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("INTEGRAL = 300 limited to 250\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("TEACH VECTOR 7 CELL 2 = 65537 limited to 65535\n"), std::string::npos);
  EXPECT_NE(r.err.find("TEACH VECTOR 9 HOLD = -3 limited to 0\n"), std::string::npos);
  requests();

  r = run({"send-para", "--as-is", file});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("POWER = 70000 does not fit"), std::string::npos) << r.err;
  EXPECT_TRUE(requests().empty());

  replace("POWER = 70000", "POWER = 1500");
  replace("CELL 2 = 65537", "CELL 2 = 65535");
  replace("HOLD  = -3", "HOLD  = 3");
  ASSERT_TRUE(writeFileBytes(file, bytes));
  r = run({"send-para", "--as-is", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("limited"), std::string::npos);
  // The sensor saw POWER 1500 and INTEGRAL 300 and put its own defaults in.
  EXPECT_NE(r.err.find("INFO!\n2 PARAMETER IN RAM"), std::string::npos) << r.err;
  EXPECT_EQ(sensor.model().ramSet(0).table[7].cell(2), 65535);
}

// The sensor reads its EEPROM only into RAM: get-para puts the RAM sets back.
TEST_F(ParaOnSensor, GetParaFromEepromKeepsTheRamAsItWas) {
  ParaSet ram0 = defaultParaSet();
  ram0.record[ParaWord::Average] = 16;
  ParaSet ram1 = defaultParaSet();
  ram1.table[50].cell(4) = 777;
  sensor.model().setRamSet(0, ram0);
  sensor.model().setRamSet(1, ram1);
  ParaSet stored = defaultParaSet();
  stored.record[ParaWord::Power] = 123;
  sensor.model().setEepromSet(1, stored);

  const auto out = dir.file("e.ini");
  const auto r = run({"get-para", "--from", "eeprom", "--set", "1", "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  ParaSet got = defaultParaSet();
  ASSERT_TRUE(readParameterFile(out, got, {}).taken);
  EXPECT_EQ(got.record, stored.record);
  EXPECT_EQ(sensor.model().ramSet(0), ram0);
  EXPECT_EQ(sensor.model().ramSet(1), ram1);
  EXPECT_EQ(sensor.model().eepromSet(1), stored);
}

}  // namespace
}  // namespace drq::cli
