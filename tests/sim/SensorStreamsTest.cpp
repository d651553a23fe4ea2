// Automatic sending, scope captures and the service orders of the virtual sensor.

#include <gtest/gtest.h>

#include <cstring>

#include "SimTestSupport.h"
#include "sim/Plausibility.h"

namespace drq::sim::test {
namespace {

constexpr std::uint64_t kMs = 1000;

Bytes scopeSettings(std::uint16_t level, std::uint16_t mode, std::uint16_t pre, std::uint16_t rate,
                    std::uint16_t signal) {
  const std::uint16_t w[] = {level, mode, pre, rate, signal};
  return words(w);
}

// The tool's reading of one capture frame: trace word i = sample (start + i) mod 128.
std::array<std::uint16_t, 128> trace(const PushedFrame& f, int mode, int pre) {
  const std::uint16_t p = wordAt(f.frame, 128);
  const int start = mode == 0 ? 0 : (p + 128 - pre) % 128;
  std::array<std::uint16_t, 128> out{};
  for (int i = 0; i < 128; ++i)
    out[std::size_t(i)] = wordAt(f.frame, std::size_t((start + i) % 128));
  return out;
}

// A target that is dark for 10 ms, then bright blue for 10 ms, and so on.
SensorModel blinkingSensor() {
  SensorModel m;
  m.setNoise(0);
  m.setTargetPath(TargetPath{{{40, 40, 45}, {140, 260, 820}}, 10, 0});
  return m;
}

TEST(SensorStreams, AutomaticSendingPushesOneFramePerTriggerEventUntilStopped) {
  SensorModel m;
  const Reply start = ask(m, ORDER_AUTO_SEND, 1);
  EXPECT_EQ(start.frame.size(), kHeaderSize);
  EXPECT_TRUE(start.streamStarted);
  EXPECT_TRUE(m.autoSending());
  EXPECT_EQ(m.nextDueMicros(), 200 * kMs);

  m.advanceMicros(199 * kMs);
  EXPECT_TRUE(m.takePushedFrames().empty());
  m.advanceMicros(1 * kMs);
  auto frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].stream, StreamKind::AutoSend);
  EXPECT_EQ(frames[0].startOrder, ORDER_AUTO_SEND);
  EXPECT_EQ(headerOf(frames[0].frame).order, ORDER_GET_DATA);
  EXPECT_EQ(headerOf(frames[0].frame).argument, 1);
  EXPECT_EQ(frames[0].frame.size(), kHeaderSize + kLiveFrameBytes);
  EXPECT_TRUE(headerIsValid(std::span(frames[0].frame).first<kHeaderSize>()));

  m.advanceMicros(1000 * kMs);
  frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(frames[i].sequence, i + 2);
    EXPECT_EQ(frames[i].timeMicros, (400 + 200 * i) * kMs);
  }

  m.advanceMicros(250 * kMs);  // one frame falls due but is not taken before the stop
  EXPECT_EQ(headerOf(ask(m, ORDER_AUTO_SEND, 0).frame).order, ORDER_AUTO_SEND);
  EXPECT_FALSE(m.autoSending());
  EXPECT_TRUE(m.takePushedFrames().empty());
  m.advanceMicros(1000 * kMs);
  EXPECT_TRUE(m.takePushedFrames().empty());
  EXPECT_FALSE(m.nextDueMicros());
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_AUTO_SEND, 2).frame, kErrorUnknownOrder));
}

TEST(SensorStreams, AutomaticSendingPeriodIsSettable) {
  SensorModel m;
  m.setAutoSendPeriodMs(50);
  ask(m, ORDER_AUTO_SEND, 1);
  m.advanceMicros(200 * kMs);
  EXPECT_EQ(m.takePushedFrames().size(), 4u);
}

TEST(SensorStreams, SingleShotCaptureIsChronologicalWithRingPositionZero) {
  SensorModel m = blinkingSensor();
  const Reply r = ask(m, ORDER_SCOPE, 1, scopeSettings(0, 0, 40, 2, 0));
  EXPECT_EQ(r.frame.size(), kHeaderSize);  // header only
  EXPECT_TRUE(r.streamStarted);
  // 128 samples, one every 2 cycles from cycle 1: the last at cycle 255 (127.5 ms).
  m.advanceMicros(127 * kMs);
  EXPECT_TRUE(m.takePushedFrames().empty());
  m.advanceMicros(1 * kMs);
  const auto frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(frames[k].frame.size(), 266u);
    EXPECT_EQ(headerOf(frames[k].frame).order, ORDER_SCOPE);
    EXPECT_EQ(headerOf(frames[k].frame).argument, k);
    EXPECT_EQ(frames[k].sequence, k + 1);
    EXPECT_EQ(wordAt(frames[k].frame, 128), 0);
  }
  const auto blue = trace(frames[2], 0, 40);
  for (std::size_t i = 0; i < 128; ++i)
    EXPECT_EQ(blue[i], m.measureAt((1 + 2 * i) * 500).levels.raw[2]) << i;
  EXPECT_FALSE(m.scopeRunning());
}

TEST(SensorStreams, RisingEdgeIsAnchoredAtThePreTriggerPositionOnceArmed) {
  SensorModel m = blinkingSensor();
  ask(m, ORDER_SCOPE, 1, scopeSettings(1000, 1, 20, 1, 0));
  // Sample k is taken at cycle 1 + k. The first rise (cycle 20, sample 19)
  // comes before 20 pre-trigger samples exist; the next (cycle 60, sample 59)
  // triggers. The capture ends with sample 59 + 127 - 20 = 166 (cycle 167).
  m.advanceMicros(83 * kMs);
  EXPECT_TRUE(m.scopeTriggered());
  EXPECT_TRUE(m.takePushedFrames().empty());
  EXPECT_EQ(m.nextDueMicros(), 167 * 500u);
  m.advanceMicros(500);
  const auto frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(wordAt(frames[2].frame, 128), 59);
  const auto blue = trace(frames[2], 1, 20);
  EXPECT_LE(blue[19], 1000);
  EXPECT_GT(blue[20], 1000);
  for (std::size_t i = 0; i < 128; ++i)
    EXPECT_EQ(blue[i], m.measureAt((40 + i) * 500).levels.raw[2]) << i;  // samples 39..166
}

TEST(SensorStreams, FallingEdgeAndCalculatedSignals) {
  SensorModel m = blinkingSensor();
  ask(m, ORDER_SCOPE, 1, scopeSettings(600, 2, 0, 1, 1));
  m.advanceMicros(200 * kMs);
  const auto frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 4u);
  const std::uint16_t p = wordAt(frames[2].frame, 128);
  EXPECT_EQ(p, 39);  // the first fall: cycle 40, sample 39
  const auto intensity = trace(frames[2], 2, 0);
  EXPECT_LT(intensity[0], 600);
  EXPECT_EQ(intensity[0], m.measureAt(40 * 500).coords.intensity);
  const auto x = trace(frames[0], 2, 0);
  EXPECT_EQ(x[0], m.measureAt(40 * 500).coords.x);
}

TEST(SensorStreams, In0TriggerAndDigitalStates) {
  SensorModel m;
  m.setIn0Pattern(50, 50);  // high from 50 ms to 100 ms
  ask(m, ORDER_SCOPE, 1, scopeSettings(0, 4, 10, 2, 0));
  m.advanceMicros(300 * kMs);
  const auto frames = m.takePushedFrames();
  ASSERT_EQ(frames.size(), 4u);
  // Sample k at cycle 1 + 2k; IN0 rises at cycle 100, first seen by sample 50.
  EXPECT_EQ(wordAt(frames[3].frame, 128), 50);
  const auto digital = trace(frames[3], 4, 10);
  EXPECT_EQ(digital[9] & 0x20, 0);
  EXPECT_EQ(digital[10] & 0x20, 0x20);
  for (std::uint16_t w : digital) EXPECT_EQ(w & ~0x3F, 0);
}

TEST(SensorStreams, BreakAbandonsAWaitingCapture) {
  SensorModel m;
  ask(m, ORDER_SCOPE, 1, scopeSettings(65535, 1, 64, 1, 0));  // a level never crossed
  m.advanceMicros(2000 * kMs);
  EXPECT_TRUE(m.scopeRunning());
  EXPECT_FALSE(m.scopeTriggered());
  const Reply r = ask(m, ORDER_SCOPE, 0);
  EXPECT_EQ(r.frame.size(), kHeaderSize);
  EXPECT_FALSE(r.streamStarted);
  EXPECT_FALSE(m.scopeRunning());
  m.advanceMicros(2000 * kMs);
  EXPECT_TRUE(m.takePushedFrames().empty());
}

TEST(SensorStreams, BadScopeSettingsAreRefused) {
  SensorModel m;
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_SCOPE, 1, scopeSettings(0, 5, 0, 1, 0)).frame,
                            kErrorUnknownOrder));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_SCOPE, 1, scopeSettings(0, 0, 0, 1, 2)).frame,
                            kErrorUnknownOrder));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_SCOPE, 1).frame, kErrorCommunication));
  EXPECT_FALSE(m.scopeRunning());
  // Pre-trigger and scan rate outside their ranges are brought into them.
  ask(m, ORDER_SCOPE, 1, scopeSettings(0, 0, 0xFFFF, 0x8000, 0));
  m.advanceMicros(65 * kMs);
  EXPECT_EQ(m.takePushedFrames().size(), 4u);
}

TEST(SensorStreams, IdentificationAndServiceOrders) {
  SensorModel m;
  m.setSerialNumber(65535);
  Reply r = ask(m, ORDER_IDENTIFY);
  ASSERT_EQ(payloadOf(r.frame).size(), kIdentificationBytes);
  EXPECT_STREQ(reinterpret_cast<const char*>(payloadOf(r.frame).data()), "VELMARON DRQ V1.0.3 B");
  EXPECT_EQ(headerOf(r.frame).argument, 65535);
  const std::string full(72, 'A');
  EXPECT_TRUE(m.setIdentification(full));
  EXPECT_FALSE(m.setIdentification(full + "B"));
  const Bytes text = payloadOf(ask(m, ORDER_IDENTIFY).frame);
  EXPECT_EQ(std::string(text.begin(), text.end()), full);

  // Cycle time A / (B * 0.01) ms.
  const Bytes counters = payloadOf(ask(m, ORDER_GET_CYCLE_TIME).frame);
  ASSERT_EQ(counters.size(), 8u);
  std::int32_t a = 0, b = 0;
  std::memcpy(&a, counters.data(), 4);
  std::memcpy(&b, counters.data() + 4, 4);
  EXPECT_DOUBLE_EQ(a / (b * 0.01), 0.5);

  EXPECT_TRUE(isErrorReport(ask(m, ORDER_GET_HW_INFO, 13526).frame, kErrorUnknownOrder));
  const Bytes hw = payloadOf(ask(m, ORDER_GET_HW_INFO, kHwInfoGuard).frame);
  ASSERT_EQ(hw.size(), 512u);
  EXPECT_EQ(readLe16(hw, 2), 65535);  // serial number
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 255; ++i) sum = std::uint16_t(sum + readLe16(hw, 2 * i));
  EXPECT_EQ(readLe16(hw, 510), sum);

  EXPECT_TRUE(isErrorReport(ask(m, 42).frame, kErrorUnknownOrder));
  EXPECT_TRUE(isErrorReport(ask(m, 0).frame, kErrorUnknownOrder));
  EXPECT_EQ(m.requestLog().back().replyOrder, kErrorReportOrder);
  EXPECT_EQ(m.requestLog().back().replyArgument, kErrorUnknownOrder);
}

TEST(SensorStreams, CorruptRequestsGetErrorReportTwoAndAreNotLogged) {
  SensorModel m;
  Bytes frame = request(ORDER_WRITE_PARA, 0, recordBytes(defaultRecord()));
  frame[10] ^= 1;  // payload no longer matches its CRC
  EXPECT_TRUE(isErrorReport(m.handleRequest(frame).frame, kErrorCommunication));
  EXPECT_TRUE(isErrorReport(m.handleRequest(Bytes{0x55, 7, 0}).frame, kErrorCommunication));
  EXPECT_TRUE(m.requestLog().empty());
  EXPECT_EQ(m.corruptRequestCount(), 2u);
}

TEST(SensorStreams, BaudRateChangeAnswersThenSwitches) {
  SensorModel m;
  const Reply r = ask(m, ORDER_SET_BAUDRATE, 7);
  EXPECT_EQ(headerOf(r.frame).order, ORDER_SET_BAUDRATE);
  EXPECT_EQ(r.newBaudIndex, 7);
  EXPECT_EQ(m.baudIndex(), 7);
  EXPECT_EQ(SensorModel::baudRate(7), 921600u);
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_SET_BAUDRATE, 8).frame, kErrorUnknownOrder));
  EXPECT_EQ(m.baudIndex(), 7);
}

TEST(SensorStreams, CalibrationOrders) {
  SensorModel m;
  m.setNoise(0);
  m.setTargetColor({900, 900, 900});
  const std::uint16_t factors[] = {4096, 4097, 0};
  EXPECT_EQ(headerOf(ask(m, ORDER_SEND_CALIB, 0, words(factors)).frame).argument, 1);
  const std::uint16_t offsets[] = {10, 1001, 0};
  EXPECT_EQ(headerOf(ask(m, ORDER_SEND_CALIB, 1, words(offsets)).frame).argument, 1);
  Bytes calib = payloadOf(ask(m, ORDER_GET_CALIB).frame);
  const std::uint16_t expected[] = {4096, 1024, 0, 10, 0, 0};
  EXPECT_EQ(calib, words(expected));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_SEND_CALIB, 0, Bytes(4, 0)).frame, kErrorCommunication));

  // Offsets measured with the receiver covered: the dark levels.
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_CALC_OFFSET, 0).frame, kErrorUnknownOrder));
  ask(m, ORDER_CALC_OFFSET, 1);
  const auto dark = darkLevels(1);
  for (std::size_t ch = 0; ch < 3; ++ch) EXPECT_EQ(m.calibration().offsets[ch], dark[ch]);

  // Self-calibration proposes factors for the current target but keeps the old ones.
  const Calibration before = m.calibration();
  const Bytes self = payloadOf(ask(m, ORDER_SELF_CALIBRATION).frame);
  ASSERT_EQ(self.size(), 10u);
  const auto raw = m.measureAt(0).levels.raw;
  for (std::size_t ch = 0; ch < 3; ++ch)
    EXPECT_EQ(readLe16(self, 2 * ch), std::min(4096, 1500 * 1024 / std::max(1, raw[ch])));
  EXPECT_EQ(readLe16(self, 6), 1500);
  EXPECT_EQ(readLe16(self, 8), 400);
  EXPECT_EQ(m.calibration(), before);
}

TEST(SensorStreams, SameSeedSameBytesOtherSeedOtherNoise) {
  auto run = [](std::uint64_t seed) {
    SensorModel m(seed);
    Bytes all;
    for (int i = 0; i < 20; ++i) {
      m.advanceMicros(37 * kMs);
      const Bytes f = ask(m, ORDER_GET_DATA).frame;
      all.insert(all.end(), f.begin(), f.end());
    }
    return all;
  };
  EXPECT_EQ(run(5), run(5));
  EXPECT_NE(run(5), run(6));
}

TEST(SensorStreams, MinMaxTracksTheCyclesSinceThePreviousFrame) {
  SensorModel m;
  m.setNoise(0);
  m.setTargetPath(TargetPath{{{100, 100, 100}, {900, 900, 900}}, 50, 0});
  ask(m, ORDER_GET_DATA);
  m.advanceMicros(60 * kMs);  // the target went from dark to bright meanwhile
  const LiveFrame f = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  EXPECT_LT(f.words[14], f[FrameWord::Red]);
  EXPECT_EQ(f.words[17], f[FrameWord::Red]);
  m.advanceMicros(1 * kMs);
  const LiveFrame g = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  EXPECT_EQ(g.words[14], g[FrameWord::Red]);

  // A frame at the same time as the previous one has no cycles to track.
  m.setTargetPath(TargetPath{{{100, 100, 100}, {900, 900, 900}}, 1, 0});
  const LiveFrame same = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  EXPECT_EQ(same.words[14], same[FrameWord::Red]);
  EXPECT_EQ(same.words[17], same[FrameWord::Red]);
}

TEST(SensorStreams, ScriptedFramesReplaceTheTargetInTurn) {
  SensorModel m;
  LiveFrame a, b;
  a[FrameWord::Red] = 11;
  b[FrameWord::Red] = -22;
  m.setScriptedFrames({a, b});
  EXPECT_EQ(liveFrameOf(ask(m, ORDER_GET_DATA).frame), a);
  EXPECT_EQ(liveFrameOf(ask(m, ORDER_GET_DATA).frame), b);
  EXPECT_EQ(liveFrameOf(ask(m, ORDER_GET_DATA).frame), a);
  m.setScriptedFrames({});
  EXPECT_GT(liveFrameOf(ask(m, ORDER_GET_DATA).frame)[FrameWord::Red], 100);
}

TEST(SensorStreams, ParaTriggerRunsSetOneWhileIn0IsHigh) {
  SensorModel m;
  m.setNoise(0);
  ParaRecord r0 = defaultRecord(), r1 = defaultRecord();
  r0[ParaWord::Trigger] = 6;
  r1[ParaWord::CalculationMode] = 1;
  ask(m, ORDER_WRITE_PARA, 0, recordBytes(r0));
  ask(m, ORDER_WRITE_PARA, 1, recordBytes(r1));
  m.setIn0(false);
  const LiveFrame low = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  m.setIn0(true);
  const LiveFrame high = liveFrameOf(ask(m, ORDER_GET_DATA).frame);
  EXPECT_EQ(low[FrameWord::Trigger], 0);
  EXPECT_EQ(high[FrameWord::Trigger], 1);
  EXPECT_LT(low[FrameWord::X], 4096);   // X
  EXPECT_GT(high[FrameWord::X], 4096);  // s of a reddish-white target lies above 5000
}

}  // namespace
}  // namespace drq::sim::test
