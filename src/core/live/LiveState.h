#pragma once
// What the tool derives from each live frame besides showing its words: the
// spread of the raw channels, the colour patch, the output LEDs and the
// strip-chart windows of the last 100 samples.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/live/LiveFrame.h"
#include "core/live/SlidingWindow.h"

namespace drq {

inline constexpr std::size_t kWindowSamples = 100;

// Program-wide live state, kept in the Session beside CurrentFrame. Every
// window starts at 0.
struct LiveState {
  SlidingWindow<3 * kWindowSamples> RgbWindow;  // R, G, B, R, G, B, ... oldest first
  SlidingWindow<kWindowSamples> XWindow;        // word 3 (X or s)
  SlidingWindow<kWindowSamples> YWindow;        // word 4 (Y or i)
  SlidingWindow<kWindowSamples> IntWindow;      // word 5 (INT or M)
  std::uint16_t RawDelta = 0;    // largest minus smallest raw channel of the current frame
  std::uint32_t ColorPatch = 0;  // 0xRRGGBB of the current frame
};

// Largest minus smallest of raw red, green and blue (words 11 to 13). The
// words are signed, so the spread is 0 to 65535 and always fits.
std::uint16_t rawDeltaOf(const LiveFrame& frame);

// The measured colour as 0xRRGGBB: each of words 0 to 2 divided by 16
// (truncating toward zero) and held to 0..255, so a negative word gives 0 and
// a word of 4096 or more gives 255; a channel never spills into its
// neighbour.
std::uint32_t colorPatchOf(const LiveFrame& frame);

// States of the outputs OUT0 to OUT4 (index k = OUTk) from the colour word,
// read as unsigned 16-bit and taken apart by successive subtraction: OUT4 lit
// when the value is at least 16 (then 16 is taken off), OUT3 likewise with 8,
// OUT2 with 4, OUT1 with 2, OUT0 lit when anything is left. For 0 to 31 these
// are bits 4 to 0; 255 (no colour) lights all five.
std::array<bool, 5> outputLedsOf(std::int16_t colorWord);

// Shifts the windows by one sample: red, green and blue into RgbWindow, words
// 3, 4 and 5 into XWindow, YWindow and IntWindow.
void appendToWindows(LiveState& state, const LiveFrame& frame);

// Everything a good frame changes in the live state: RawDelta, ColorPatch and
// the windows.
void updateLiveState(LiveState& state, const LiveFrame& frame);

}  // namespace drq
