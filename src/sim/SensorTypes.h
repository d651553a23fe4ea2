#pragma once
// Small value types of the virtual sensor, shared by the model, the fault
// injection and the servers. Standard C++ only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace drq::sim {

// Diffuse reflectance of a target in the red, green and blue band, per mille
// (0 = black, 1000 = ideal white).
struct TargetColor {
  std::uint16_t red = 0;
  std::uint16_t green = 0;
  std::uint16_t blue = 0;
  bool operator==(const TargetColor&) const = default;
};

// The targets passing the sensor: each colour is held for dwellMs, then the
// target slides linearly to the next one over transitionMs; after the last
// colour the path starts again with the first. One colour gives a still target.
struct TargetPath {
  std::vector<TargetColor> colors;
  std::uint32_t dwellMs = 1500;
  std::uint32_t transitionMs = 500;
};

// Calibration factors (1024 = neutral, calibrated = raw * factor / 1024) and
// dark offsets (subtracted from the converter value) of red, green, blue.
struct Calibration {
  std::array<std::uint16_t, 3> factors{1024, 1024, 1024};
  std::array<std::uint16_t, 3> offsets{0, 0, 0};
  bool operator==(const Calibration&) const = default;
};

// One well-formed request as the sensor received it.
struct RequestRecord {
  std::uint64_t sequence = 0;  // 1 for the first request since start or clearRequestLog()
  std::uint8_t order = 0;
  std::uint16_t argument = 0;
  std::uint16_t length = 0;    // payload length announced (and received)
  std::size_t totalBytes = 0;  // 8 + length
  std::vector<std::uint8_t> payload;
  std::uint64_t timeMicros = 0;  // model time when it was handled
  bool handled = true;           // false: refused before it reached the sensor (fault injection)
  std::uint8_t replyOrder = 0;   // answer's order code; 0 = error report
  std::uint16_t replyArgument = 0;
};

// The answer to one request.
struct Reply {
  std::vector<std::uint8_t> frame;  // header + payload
  std::optional<int> newBaudIndex;  // takes effect after the answer has gone out
  bool streamStarted = false;       // pushed frames follow (automatic sending, scope)
};

enum class StreamKind { AutoSend, Scope };

// A frame the sensor sends without being asked.
struct PushedFrame {
  StreamKind stream = StreamKind::AutoSend;
  std::uint8_t startOrder = 0;   // the order that started the stream (30 or 110)
  std::uint32_t sequence = 0;    // 1 for the first frame of the stream
  std::uint64_t timeMicros = 0;  // model time at which it is due
  std::vector<std::uint8_t> frame;
};

}  // namespace drq::sim
