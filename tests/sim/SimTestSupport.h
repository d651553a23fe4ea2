#pragma once
// Helpers of the virtual sensor's tests: building requests, reading answers.

#include <cstdint>
#include <span>
#include <vector>

#include "core/live/LiveFrame.h"
#include "core/params/ParaSet.h"
#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"
#include "sim/SensorModel.h"

namespace drq::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes request(std::uint8_t order, std::uint16_t argument = 0,
                     std::span<const std::uint8_t> payload = {}) {
  return buildFrame(order, argument, payload);
}

inline FrameHeader headerOf(std::span<const std::uint8_t> frame) {
  return decodeHeader(frame.first<kHeaderSize>());
}

inline Bytes payloadOf(std::span<const std::uint8_t> frame) {
  return Bytes(frame.begin() + kHeaderSize, frame.end());
}

inline Reply ask(SensorModel& model, std::uint8_t order, std::uint16_t argument = 0,
                 std::span<const std::uint8_t> payload = {}) {
  return model.handleRequest(request(order, argument, payload));
}

// True when the frame is an error report of `kind`.
inline bool isErrorReport(std::span<const std::uint8_t> frame, std::uint16_t kind) {
  return frame.size() == kHeaderSize && headerIsValid(frame.first<kHeaderSize>()) &&
         frame[1] == kErrorReportOrder && readLe16(frame, 2) == kind;
}

inline Bytes words(std::span<const std::uint16_t> values) {
  Bytes out;
  for (std::uint16_t v : values) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return out;
}

inline Bytes recordBytes(const ParaRecord& r) {
  return words(r.words);
}

inline Bytes teachBytes(std::span<const TeachVector> rows) {
  Bytes out;
  for (const TeachVector& v : rows) {
    const Bytes b = words(v.words);
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

inline LiveFrame liveFrameOf(std::span<const std::uint8_t> frame) {
  LiveFrame f;
  for (std::size_t i = 0; i < kLiveFrameWords; ++i)
    f.words[i] = static_cast<std::int16_t>(readLe16(frame, kHeaderSize + 2 * i));
  return f;
}

inline std::uint16_t wordAt(std::span<const std::uint8_t> frame, std::size_t word) {
  return readLe16(frame, kHeaderSize + 2 * word);
}

}  // namespace drq::sim::test
