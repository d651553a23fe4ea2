#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"

namespace drq {
namespace {

LiveFrame frameWith(std::initializer_list<std::pair<FrameWord, std::int16_t>> words) {
  LiveFrame f;
  for (auto [w, v] : words) f[w] = v;
  return f;
}

TEST(LiveFrameDecode, LittleEndianSignedWordsInWireOrder) {
  std::vector<std::uint8_t> payload(44, 0);
  payload[0] = 0x34;  // red 0x1234
  payload[1] = 0x12;
  payload[12] = 0xFF;  // delta C -1
  payload[13] = 0xFF;
  payload[38] = 0x00;  // word 19: -32768
  payload[39] = 0x80;
  payload[40] = 0x7F;  // beyond the frame: ignored
  const LiveFrame f = decodeLiveFrame(payload);
  EXPECT_EQ(f[FrameWord::Red], 0x1234);
  EXPECT_EQ(f[FrameWord::DeltaC], -1);
  EXPECT_EQ(f[FrameWord::ExtremeBBlue], -32768);
  EXPECT_EQ(decodeLiveFrame(encodeLiveFrame(f)), f);
}

TEST(LiveFrameDecode, MissingBytesReadAsZeros) {
  EXPECT_EQ(decodeLiveFrame({}), LiveFrame{});
  // 21 bytes: words 0..9 complete, word 10 has only its low byte.
  std::vector<std::uint8_t> payload(21, 0xFF);
  const LiveFrame f = decodeLiveFrame(payload);
  EXPECT_EQ(f[FrameWord::Trigger], -1);
  EXPECT_EQ(f[FrameWord::Temp], 0x00FF);
  EXPECT_EQ(f[FrameWord::RawRed], 0);
  EXPECT_EQ(f[FrameWord::ExtremeBBlue], 0);
}

TEST(RawDelta, SpreadOfTheRawChannels) {
  using enum FrameWord;
  EXPECT_EQ(rawDeltaOf(frameWith({{RawRed, 100}, {RawGreen, 300}, {RawBlue, 200}})), 200);
  EXPECT_EQ(rawDeltaOf(frameWith({{RawRed, 7}, {RawGreen, 7}, {RawBlue, 7}})), 0);
  // Signed words: the full spread still fits the unsigned 16-bit result.
  EXPECT_EQ(rawDeltaOf(frameWith({{RawRed, -32768}, {RawGreen, 0}, {RawBlue, 32767}})), 65535);
  EXPECT_EQ(rawDeltaOf(frameWith({{RawRed, -10}, {RawGreen, -300}, {RawBlue, -20}})), 290);
}

TEST(ColorPatch, SixteenthsTruncatedAndHeldWithinEachChannel) {
  using enum FrameWord;
  EXPECT_EQ(colorPatchOf(frameWith({{Red, 4095}, {Green, 2048}, {Blue, 31}})), 0xFF8001u);
  EXPECT_EQ(colorPatchOf(frameWith({{Red, 15}, {Green, 16}, {Blue, -15}})), 0x000100u);
  // Out-of-range words are held at the channel's limits, never carried into
  // the neighbouring channel.
  EXPECT_EQ(colorPatchOf(frameWith({{Red, -16}, {Green, 4096}, {Blue, -32768}})), 0x00FF00u);
  EXPECT_EQ(colorPatchOf(frameWith({{Red, 0}, {Green, -1000}, {Blue, 32767}})), 0x0000FFu);
  EXPECT_EQ(colorPatchOf(frameWith({{Red, 32767}, {Green, 32767}, {Blue, 32767}})), 0xFFFFFFu);
}

TEST(OutputLeds, SuccessiveSubtractionOfTheColourWord) {
  for (int v = 0; v < 32; ++v) {
    const auto leds = outputLedsOf(static_cast<std::int16_t>(v));
    for (std::size_t out = 0; out < 5; ++out) EXPECT_EQ(leds[out], ((v >> out) & 1) != 0) << v;
  }
  const std::array<bool, 5> all = {true, true, true, true, true};
  EXPECT_EQ(outputLedsOf(kNoColor), all);
  EXPECT_EQ(outputLedsOf(32), all);  // 32-16-8-4-2 leaves 2: everything lit
  EXPECT_EQ(outputLedsOf(-1), all);  // read as 65535
  EXPECT_EQ(outputLedsOf(48), all);
  const std::array<bool, 5> out4And0 = {true, false, false, false, true};
  EXPECT_EQ(outputLedsOf(17), out4And0);
}

TEST(LiveWindows, HoldTheLastHundredFramesOldestFirst) {
  LiveState state;
  for (double v : state.RgbWindow.values()) EXPECT_EQ(v, 0.0);
  for (int k = 1; k <= 101; ++k) {
    using enum FrameWord;
    const auto s = static_cast<std::int16_t>(k);
    updateLiveState(state, frameWith({{Red, s},
                                      {Green, static_cast<std::int16_t>(1000 + k)},
                                      {Blue, static_cast<std::int16_t>(-k)},
                                      {X, static_cast<std::int16_t>(10 * k)},
                                      {Y, static_cast<std::int16_t>(20 * k)},
                                      {Int, static_cast<std::int16_t>(30 * k)}}));
    if (k == 2) {
      EXPECT_EQ(state.RgbWindow[293], 0.0);
      EXPECT_EQ(state.RgbWindow[294], 1.0);
      EXPECT_EQ(state.RgbWindow[296], -1.0);
      EXPECT_EQ(state.XWindow[97], 0.0);
      EXPECT_EQ(state.XWindow[98], 10.0);
    }
  }
  for (std::size_t j = 0; j < 100; ++j) {
    const double k = 2.0 + double(j);  // frames 2 to 101
    EXPECT_EQ(state.RgbWindow[3 * j], k);
    EXPECT_EQ(state.RgbWindow[3 * j + 1], 1000 + k);
    EXPECT_EQ(state.RgbWindow[3 * j + 2], -k);
    EXPECT_EQ(state.XWindow[j], 10 * k);
    EXPECT_EQ(state.YWindow[j], 20 * k);
    EXPECT_EQ(state.IntWindow[j], 30 * k);
  }
}

TEST(SlidingWindow, MatchesAPlainShiftOverManyAppends) {
  SlidingWindow<6> window;
  std::deque<double> reference(6, 0.0);
  double next = 1;
  for (int step = 0; step < 200; ++step) {
    std::vector<double> batch(static_cast<std::size_t>(step % 4));  // 0..3 values at a time
    for (double& v : batch) v = next++;
    window.append(batch);
    for (double v : batch) {
      reference.pop_front();
      reference.push_back(v);
    }
    ASSERT_TRUE(std::equal(reference.begin(), reference.end(), window.values().begin()))
        << "step " << step;
  }
  EXPECT_EQ(window.newest(), next - 1);
  // More values than the window holds: only the newest ones stay.
  const std::vector<double> many = {1, 2, 3, 4, 5, 6, 7, 8};
  window.append(many);
  EXPECT_EQ(window[0], 3.0);
  EXPECT_EQ(window.newest(), 8.0);
}

}  // namespace
}  // namespace drq
