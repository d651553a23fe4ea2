#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "core/scope/ScopeTrace.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Payload of a capture frame: sample word k = base + k, then the ring position.
Bytes ringPayload(std::uint16_t p, std::uint16_t base = 1000) {
  Bytes payload(kScopeFramePayload);
  for (std::size_t k = 0; k < kScopeSamples; ++k) {
    writeLe16(payload, 2 * k, static_cast<std::uint16_t>(base + k));
  }
  writeLe16(payload, 2 * kScopeSamples, p);
  return payload;
}

TEST(ScopeTrace, SettingsGoOutAsFiveLittleEndianWords) {
  ScopeSettings s;
  s.triggerLevel = 0x1234;
  s.triggerMode = 2;
  s.preTrigger = -2;
  s.scanRate = 300;
  s.signal = 1;
  EXPECT_EQ(encodeScopeSettings(s),
            (std::array<std::uint8_t, 10>{0x34, 0x12, 2, 0, 0xFE, 0xFF, 0x2C, 0x01, 1, 0}));
}

TEST(ScopeTrace, SingleShotKeepsTheReceivedOrderWhateverPAndPreTrigger) {
  const ScopeTrace t = unwrapCapture(ringPayload(77), 0, 20);
  for (std::size_t i = 0; i < kScopeSamples; ++i) EXPECT_EQ(t[i], 1000 + i);
}

TEST(ScopeTrace, TriggeredCapturePutsRingPositionPAtThePreTriggerPosition) {
  const ScopeTrace t = unwrapCapture(ringPayload(5), 1, 20);
  EXPECT_EQ(t[0], 1000 + 113);  // (5 + 128 - 20) mod 128
  EXPECT_EQ(t[20], 1000 + 5);
  EXPECT_EQ(t[14], 1000 + 127);
  EXPECT_EQ(t[15], 1000 + 0);  // the ring wraps
  EXPECT_EQ(t[127], 1000 + 112);
  // Pre-trigger 0 starts at p itself.
  EXPECT_EQ(unwrapCapture(ringPayload(100), 4, 0)[0], 1100);
}

TEST(ScopeTrace, OutOfRangeRingPositionAndPreTriggerStayInsideTheRing) {
  EXPECT_EQ(captureStart(5, 3, 20), 113u);
  EXPECT_EQ(captureStart(0, 2, 300), 84u);          // (0 + 128 - 300) mod 128, taken upwards
  EXPECT_EQ(captureStart(65535, 1, -32768), 127u);  // p above 127, negative pre-trigger
  EXPECT_EQ(captureStart(130, 1, 0), 2u);
  const ScopeTrace t = unwrapCapture(ringPayload(65535), 1, -500);
  for (std::uint16_t v : t) {
    EXPECT_GE(v, 1000);
    EXPECT_LT(v, 1128);
  }
}

TEST(ScopeTrace, ShortPayloadReadsMissingWordsAsZero) {
  Bytes payload = ringPayload(0);
  payload.resize(10);  // five samples, no ring position
  const ScopeTrace t = unwrapCapture(payload, 1, 0);
  EXPECT_EQ(t[0], 1000);
  EXPECT_EQ(t[4], 1004);
  EXPECT_EQ(t[5], 0);
}

TEST(ScopeTrace, DigitalTracesSitOnTheirOffsets) {
  ScopeTrace states{};
  states[0] = 0x21;    // bits 0 and 5
  states[1] = 0x1E;    // bits 1 to 4
  states[2] = 0xFFC0;  // no bit of the six
  const auto d = digitalTraces(states);
  const std::array<std::uint16_t, 6> first = {9, 6, 4, 2, 0, 11};
  const std::array<std::uint16_t, 6> second = {8, 7, 5, 3, 1, 10};
  const std::array<std::uint16_t, 6> third = {8, 6, 4, 2, 0, 10};
  for (std::size_t bit = 0; bit < 6; ++bit) {
    EXPECT_EQ(d[bit][0], first[bit]) << "bit " << bit;
    EXPECT_EQ(d[bit][1], second[bit]) << "bit " << bit;
    EXPECT_EQ(d[bit][2], third[bit]) << "bit " << bit;
  }
}

TEST(ScopeTrace, TraceTableAndItsFile) {
  ScopeTraces traces{};
  traces[kScopeRed][0] = 65535;
  traces[kScopeGreen][0] = 1;
  traces[kScopeBlue][127] = 4095;
  traces[kScopeStates][127] = 33;
  const std::string table = traceTable(traces);
  std::istringstream in(table);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 129u);
  EXPECT_EQ(lines[0], "index\tred\tgreen\tblue\tstates");
  EXPECT_EQ(lines[1], "0\t65535\t1\t0\t0");
  EXPECT_EQ(lines[2], "1\t0\t0\t0\t0");
  EXPECT_EQ(lines[128], "127\t0\t0\t4095\t33");
  EXPECT_EQ(table.back(), '\n');
  EXPECT_EQ(table.find('\r'), std::string::npos);

  test::TempDir dir;
  const auto file = dir.path() / "trace.tsv";
  ASSERT_TRUE(writeTraceFile(file, traces).ok());
  EXPECT_EQ(test::readFileBytes(file), table);
  // A directory that does not exist: an error, nothing written.
  const files::FileWriteResult missing = writeTraceFile(dir.path() / "missing" / "t.tsv", traces);
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.reason, std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace drq
