#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CalibCommands.h"
#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "core/calib/HardwareFile.h"
#include "core/calib/WhiteCalibration.h"
#include "core/protocol/Frame.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/SensorHost.h"
#include "support/TempDir.h"

namespace drq::cli {
namespace {

using test::CliRun;
using test::readFileBytes;
using test::TempDir;

struct Request {
  std::uint8_t order;
  std::uint16_t argument;
  std::size_t bytes;
  bool operator==(const Request&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Request& r) {
  return os << "{" << int(r.order) << ", " << r.argument << ", " << r.bytes << "}";
}

LiveFrame rawFrame(std::int16_t red, std::int16_t green, std::int16_t blue) {
  LiveFrame f;
  f[FrameWord::RawRed] = red;
  f[FrameWord::RawGreen] = green;
  f[FrameWord::RawBlue] = blue;
  return f;
}

class CalibOnSensor : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString(); }

  CliRun run(std::vector<std::string> words) {
    words.insert(words.begin(), {"--tcp", "127.0.0.1:" + std::to_string(sensor.port())});
    return test::runCliCaptured(words);
  }

  // The requests since the last call, identification left out.
  std::vector<Request> requests() {
    std::vector<Request> seen;
    for (const auto& r : sensor.model().requestLog()) {
      if (r.order != ORDER_IDENTIFY) seen.push_back({r.order, r.argument, r.totalBytes});
    }
    sensor.model().clearRequestLog();
    return seen;
  }

  void setFault(const std::string& text) {
    std::string error;
    const auto rule = sim::parseFaultRule(text, &error);
    ASSERT_TRUE(rule) << error;
    sensor.host().setFaultRules({*rule});
  }

  sim::EmbeddedSensor sensor;
  TempDir dir;
};

TEST_F(CalibOnSensor, GetSendAndOffsetPrintAndWriteTheSensorsValues) {
  sim::Calibration c = sensor.model().calibration();
  c.factors = {1152, 1024, 921};
  c.offsets = {12, 7, 30};
  sensor.model().setCalibration(c);
  CliRun r = run({"calib", "get"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "factors=1152 1024 921\noffsets=12 7 30\n");

  r = run({"calib", "send-factors", "1000", "0x400", "4096"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  r = run({"calib", "send-offsets", "1", "2", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(requests(), (std::vector<Request>{{102, 0, 8}, {101, 0, 14}, {101, 1, 14}}));
  EXPECT_EQ(sensor.model().calibration().factors, (std::array<std::uint16_t, 3>{1000, 1024, 4096}));
  EXPECT_EQ(sensor.model().calibration().offsets, (std::array<std::uint16_t, 3>{1, 2, 3}));

  requests();
  r = run({"calib", "offset"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(requests(), (std::vector<Request>{{100, 1, 8}, {102, 0, 8}}));
  EXPECT_EQ(r.out.substr(0, 8), "factors=");
  EXPECT_NE(r.out.find("\noffsets="), std::string::npos);
}

TEST_F(CalibOnSensor, UsageErrorsTouchNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"calib"},
      {"calib", "bogus"},
      {"calib", "get", "x"},
      {"calib", "send-factors", "1", "2"},
      {"calib", "send-factors", "1", "2", "65536"},
      {"calib", "send-factors", "4097", "0", "0"},
      {"calib", "white", "--set-value", "0", "--max-delta", "200"},
      {"calib", "white", "--set-value=4097", "--max-delta=200"},
      {"calib", "send-offsets", "1", "2", "-3"},
      {"calib", "white", "--set-value", "900"},
      {"calib", "white", "--set-value", "900", "--max-delta", "x"},
      {"calib", "white", "--set-value=900", "--max-delta=10", "--speed=1"},
      {"hwinfo", "--set", "2"},
      {"hwinfo", "-o"},
      {"hwinfo", "-o", ""},
      {"hwinfo", "extra"},
  };
  for (const auto& args : cases) {
    const CliRun r = run(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args) << r.err;
  }
  EXPECT_TRUE(requests().empty());
  EXPECT_NE(run({"calib", "send-factors", "4097", "0", "0"}).err.find("three values 0..4096"),
            std::string::npos);
  EXPECT_NE(run({"calib", "white", "--set-value", "0", "--max-delta", "9"}).err.find("1..4096"),
            std::string::npos);
  EXPECT_NE(run({"hwinfo", "-o", ""}).err.find("-o: the file name is empty"), std::string::npos);
  // The offsets keep the whole word.
  EXPECT_EQ(run({"calib", "send-offsets", "65535", "0", "4097"}).status, kExitOk);
}

TEST_F(CalibOnSensor, WhiteDividesByTheFramesThatArrivedAndSendsTheFactors) {
  // Every tenth answer is damaged; those frames would read 4000 each.
  std::vector<LiveFrame> frames(10, rawFrame(800, 900, 1000));
  frames.back() = rawFrame(4000, 4000, 4000);
  sensor.model().setScriptedFrames(frames);
  setFault("order=8,nth=10,kind=bad-payload-crc");
  const CliRun r = run({"calib", "white", "--set-value", "900", "--max-delta", "200"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "means=800 900 1000\ndelta=200\nfactors=1152 1024 921\n");
  const auto seen = requests();
  ASSERT_EQ(seen.size(), 101u);
  EXPECT_EQ(seen.back(), (Request{101, 0, 14}));
  EXPECT_EQ(sensor.model().calibration().factors, (std::array<std::uint16_t, 3>{1152, 1024, 921}));
  // Each damaged answer was reported.
  std::size_t reports = 0;
  for (std::size_t at = r.err.find(std::string(kMsgDataIncorrect)); at != std::string::npos;
       at = r.err.find(std::string(kMsgDataIncorrect), at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 10u);
}

// An error report the link lets pass (argument 3) carries no frame: a failed
// exchange reported as a bad data frame, never a frame of zeros.
TEST_F(CalibOnSensor, WhiteCountsOnlyAnswersThatCarryTheWholeFrame) {
  sensor.model().setScriptedFrames({rawFrame(800, 900, 1000)});
  setFault("order=8,nth=10,kind=error:3");
  CliRun r = run({"calib", "white", "--set-value", "900", "--max-delta", "200"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "means=800 900 1000\ndelta=200\nfactors=1152 1024 921\n");
  EXPECT_NE(r.err.find(std::string(kMsgDataIncorrect)), std::string::npos);

  // Half of them short: too few good frames, nothing sent.
  requests();
  setFault("order=8,nth=2,kind=error:3");
  r = run({"calib", "white", "--set-value", "900", "--max-delta", "200"});
  EXPECT_EQ(r.status, kExitCalibrationRejected);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(r.err.ends_with(std::string(kMsgTooFewGoodFrames) + "\n")) << r.err;
  for (const Request& q : requests()) EXPECT_EQ(q.order, ORDER_GET_DATA);
}

TEST_F(CalibOnSensor, WhiteRejectionsSendNothingAndExitThree) {
  sensor.model().setScriptedFrames({rawFrame(800, 900, 1000)});
  const auto before = sensor.model().calibration().factors;
  CliRun r = run({"calib", "white", "--set-value", "900", "--max-delta", "199"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "means=800 900 1000\ndelta=200\n");
  EXPECT_EQ(r.err, std::string(kMsgDeltaTooHigh) + "\n");

  sensor.model().setScriptedFrames({rawFrame(0, 900, 1000)});  // a dark channel
  r = run({"calib", "white", "--set-value", "900", "--max-delta", "1000"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, std::string(kMsgFactorOutOfRange) + "\n");
  for (const Request& q : requests()) EXPECT_EQ(q.order, ORDER_GET_DATA);
  EXPECT_EQ(sensor.model().calibration().factors, before);
}

TEST_F(CalibOnSensor, SelfCalibrationPrintsWhatTheSensorComputedAndStoresNothing) {
  const auto before = sensor.model().calibration();
  const CliRun r = run({"calib", "self"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 8), "factors=");
  EXPECT_NE(r.out.find("\nset-value=1500\nmax-delta=400\n"), std::string::npos) << r.out;
  EXPECT_EQ(requests(), (std::vector<Request>{{103, 0, 8}}));
  EXPECT_EQ(sensor.model().calibration(), before);
}

TEST_F(CalibOnSensor, HwInfoWritesTheFileOfTheSensorsState) {
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  ParaSet set1 = defaultParaSet();
  set1.record[ParaWord::Power] = 1500;  // beyond the window's POWER control
  set1.table[7].cell(3) = 77;
  sensor.model().setRamSet(1, set1);
  sim::Calibration c = sensor.model().calibration();
  c.factors = {5000, 1000, 900};  // beyond the window's factor fields
  c.offsets = {5, 6, 7};
  sensor.model().setCalibration(c);

  // What the file must hold: the block as the sensor answers it now.
  HardwareFileContent expected;
  expected.identification = std::string(sim::kDefaultIdentification);
  const auto block = sensor.model().handleRequest(buildFrame(ORDER_GET_HW_INFO, kHwInfoGuard, {}));
  expected.block = hwInfoBlockOf(std::span(block.frame).subspan(kHeaderSize));
  expected.factors = c.factors;
  expected.offsets = c.offsets;
  expected.set = set1;
  const auto reference = dir.file("expected.ini");
  ASSERT_TRUE(writeHardwareFile(reference, expected).ok());
  requests();

  const auto out = dir.file("hw.ini");
  CliRun r = run({"hwinfo", "--set", "1", "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readFileBytes(out), readFileBytes(reference));
  EXPECT_EQ(requests(),
            (std::vector<Request>{{2, 1, 8}, {2, 4, 8}, {2, 5, 8}, {102, 0, 8}, {194, 13527, 8}}));

  // A file that cannot be written: why, not "saved".
  const auto nowhere = dir.file("missing") / "hw.ini";
  r = run({"hwinfo", "-o", nowhere.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find("HARDWARE INI FILE HAS BEEN SAVED TO:"), std::string::npos);
  EXPECT_EQ(
      r.err.rfind(
          "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n" + nowhere.string() + "\n", 0),
      0u)
      << r.err;
}

TEST_F(CalibOnSensor, HwInfoStopsWhenTheBlockIsRefused) {
  setFault("order=194,kind=error:1");
  const auto out = dir.file("HardwareInitialFile.ini");
  const CliRun r = run({"hwinfo", "-o", out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace drq::cli
