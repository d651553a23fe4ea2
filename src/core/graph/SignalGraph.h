#pragma once
// The signal graph panel: seven graphs (red, green, blue, X/s, Y/i, INT/M,
// temperature), one visible at a time, each drawn segment by segment while the
// recorder runs. This is its state machine; the panel draws what it returns.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/live/LiveFrame.h"

namespace drq {

enum class GraphSignal : std::size_t { Red, Green, Blue, X, Y, Int, Temp };
inline constexpr std::size_t kGraphSignals = 7;

// The frame word shown by a signal graph.
std::int16_t signalValue(const LiveFrame& frame, GraphSignal signal);
// Segment colour: red for red and X/s, bright green for green and Y/i, blue
// for blue, 0x008080 for INT/M and temperature.
std::uint32_t signalColor(GraphSignal signal);

// A two-point line from (x0, v0) to (x1, v1); a single point when both ends
// are equal.
struct SignalSegment {
  int x0 = 0;
  int v0 = 0;
  int x1 = 0;
  int v1 = 0;
  std::uint32_t color = 0;
  bool isPoint() const { return x0 == x1 && v0 == v1; }
  bool operator==(const SignalSegment&) const = default;
};

class SignalGraphState {
 public:
  using Segments = std::array<SignalSegment, kGraphSignals>;  // indexed by GraphSignal

  // Starts a new drawing (the panel also deletes every plot): n = 0, both x
  // positions 0, both values of every pair the signal's value in `current`.
  void InitPanelGraph(const LiveFrame& current);

  // One recorded frame: every pair moves on (previous = current, current = the
  // value in `current`) and so do the x positions (previous = old n,
  // current = n); then n = n + 1 (16-bit, wrapping). At n = 0 the previous end
  // is made equal to the current one, so the first segment after
  // InitPanelGraph, and the first after the counter wraps, is a single point.
  Segments SetPanelGraphData(const LiveFrame& current);

  std::uint16_t pointCount() const { return n_; }

 private:
  std::uint16_t n_ = 0;
  std::uint16_t previousX_ = 0;
  std::uint16_t currentX_ = 0;
  std::array<std::int16_t, kGraphSignals> previous_{};
  std::array<std::int16_t, kGraphSignals> current_{};
};

// SetGraphVisible: the index of the one graph to show for a selector value;
// 0 to 6 choose red, green, blue, X/s, Y/i, INT/M, temperature; any other value
// shows red.
GraphSignal visibleSignalGraph(int selector);

}  // namespace drq
