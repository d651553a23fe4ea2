#include "core/live/LiveState.h"

#include <algorithm>

namespace drq {

namespace {

int word(const LiveFrame& frame, FrameWord w) {
  return frame[w];
}

std::uint32_t patchChannel(int value) {
  return static_cast<std::uint32_t>(std::clamp(value / 16, 0, 255));
}

}  // namespace

std::uint16_t rawDeltaOf(const LiveFrame& frame) {
  const int r = word(frame, FrameWord::RawRed);
  const int g = word(frame, FrameWord::RawGreen);
  const int b = word(frame, FrameWord::RawBlue);
  return static_cast<std::uint16_t>(std::max({r, g, b}) - std::min({r, g, b}));
}

std::uint32_t colorPatchOf(const LiveFrame& frame) {
  return patchChannel(word(frame, FrameWord::Red)) << 16 |
         patchChannel(word(frame, FrameWord::Green)) << 8 |
         patchChannel(word(frame, FrameWord::Blue));
}

std::array<bool, 5> outputLedsOf(std::int16_t colorWord) {
  unsigned value = static_cast<std::uint16_t>(colorWord);
  std::array<bool, 5> leds{};
  for (std::size_t out = 4; out >= 1; --out) {
    const unsigned weight = 1u << out;
    leds[out] = value >= weight;
    if (leds[out]) value -= weight;
  }
  leds[0] = value != 0;
  return leds;
}

void appendToWindows(LiveState& state, const LiveFrame& frame) {
  const std::array<double, 3> rgb = {double(frame[FrameWord::Red]), double(frame[FrameWord::Green]),
                                     double(frame[FrameWord::Blue])};
  state.RgbWindow.append(rgb);
  state.XWindow.push(frame[FrameWord::X]);
  state.YWindow.push(frame[FrameWord::Y]);
  state.IntWindow.push(frame[FrameWord::Int]);
}

void updateLiveState(LiveState& state, const LiveFrame& frame) {
  state.RawDelta = rawDeltaOf(frame);
  state.ColorPatch = colorPatchOf(frame);
  appendToWindows(state, frame);
}

}  // namespace drq
