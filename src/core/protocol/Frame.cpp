#include "core/protocol/Frame.h"

#include <algorithm>

#include "core/protocol/Crc8.h"

namespace drq {

HeaderBytes encodeHeaderFields(const FrameHeader& fields, std::uint8_t startByte) {
  HeaderBytes h{};
  h[0] = startByte;
  h[1] = fields.order;
  writeLe16(h, 2, fields.argument);
  writeLe16(h, 4, fields.length);
  h[6] = fields.payloadCrc;
  h[7] = crc8Update(h, 0, 7, crc8Table());
  return h;
}

HeaderBytes encodeHeader(std::uint8_t order, std::uint16_t argument,
                         std::span<const std::uint8_t> payload) {
  FrameHeader f;
  f.order = order;
  f.argument = argument;
  f.length = static_cast<std::uint16_t>(payload.size());
  f.payloadCrc = crc8(payload);
  return encodeHeaderFields(f);
}

std::vector<std::uint8_t> buildFrame(std::uint8_t order, std::uint16_t argument,
                                     std::span<const std::uint8_t> payload) {
  const HeaderBytes h = encodeHeader(order, argument, payload);
  std::vector<std::uint8_t> frame(kHeaderSize + payload.size());
  std::copy(h.begin(), h.end(), frame.begin());
  std::copy(payload.begin(), payload.end(), frame.begin() + kHeaderSize);
  return frame;
}

bool headerIsValid(std::span<const std::uint8_t, kHeaderSize> header) {
  return header[0] == kStartByte && crc8Update(header, 0, kHeaderSize, crc8Table()) == 0;
}

FrameHeader decodeHeader(std::span<const std::uint8_t, kHeaderSize> header) {
  FrameHeader f;
  f.order = header[1];
  f.argument = readLe16(header, 2);
  f.length = readLe16(header, 4);
  f.payloadCrc = header[6];
  return f;
}

}  // namespace drq
