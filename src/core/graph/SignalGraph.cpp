#include "core/graph/SignalGraph.h"

namespace drq {

namespace {

constexpr std::array<FrameWord, kGraphSignals> kSignalWords = {
    FrameWord::Red, FrameWord::Green, FrameWord::Blue, FrameWord::X,
    FrameWord::Y,   FrameWord::Int,   FrameWord::Temp};

constexpr std::array<std::uint32_t, kGraphSignals> kSignalColors = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000, 0x00FF00, 0x008080, 0x008080};

}  // namespace

std::int16_t signalValue(const LiveFrame& frame, GraphSignal signal) {
  return frame[kSignalWords[static_cast<std::size_t>(signal)]];
}

std::uint32_t signalColor(GraphSignal signal) {
  return kSignalColors[static_cast<std::size_t>(signal)];
}

void SignalGraphState::InitPanelGraph(const LiveFrame& current) {
  n_ = 0;
  previousX_ = currentX_ = 0;
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    previous_[s] = current_[s] = signalValue(current, static_cast<GraphSignal>(s));
  }
}

SignalGraphState::Segments SignalGraphState::SetPanelGraphData(const LiveFrame& current) {
  previousX_ = currentX_;
  currentX_ = n_;
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    previous_[s] = current_[s];
    current_[s] = signalValue(current, static_cast<GraphSignal>(s));
  }
  if (n_ == 0) {
    previous_ = current_;
    previousX_ = currentX_;
  }
  Segments segments;
  for (std::size_t s = 0; s < kGraphSignals; ++s) {
    segments[s] = SignalSegment{previousX_, previous_[s], currentX_, current_[s], kSignalColors[s]};
  }
  ++n_;
  return segments;
}

GraphSignal visibleSignalGraph(int selector) {
  if (selector < 0 || selector >= static_cast<int>(kGraphSignals)) return GraphSignal::Red;
  return static_cast<GraphSignal>(selector);
}

}  // namespace drq
