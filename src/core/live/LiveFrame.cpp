#include "core/live/LiveFrame.h"

#include <algorithm>

namespace drq {

LiveFrame decodeLiveFrame(std::span<const std::uint8_t> payload) {
  std::array<std::uint8_t, kLiveFrameBytes> bytes{};
  std::copy_n(payload.begin(), std::min(payload.size(), bytes.size()), bytes.begin());
  LiveFrame frame;
  for (std::size_t w = 0; w < kLiveFrameWords; ++w) {
    const auto raw = static_cast<std::uint16_t>(bytes[2 * w] | (bytes[2 * w + 1] << 8));
    frame.words[w] = static_cast<std::int16_t>(raw);
  }
  return frame;
}

std::array<std::uint8_t, kLiveFrameBytes> encodeLiveFrame(const LiveFrame& frame) {
  std::array<std::uint8_t, kLiveFrameBytes> bytes{};
  for (std::size_t w = 0; w < kLiveFrameWords; ++w) {
    const auto raw = static_cast<std::uint16_t>(frame.words[w]);
    bytes[2 * w] = static_cast<std::uint8_t>(raw & 0xFF);
    bytes[2 * w + 1] = static_cast<std::uint8_t>(raw >> 8);
  }
  return bytes;
}

}  // namespace drq
