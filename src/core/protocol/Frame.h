#pragma once
// The sensor's frame format, identical in both directions: an 8-byte header
// (start byte 0x55, order code, argument LE16, payload length LE16, payload
// CRC, header CRC) followed by the payload. These helpers are shared by the
// tool's exchange engine and by the virtual sensor.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace drq {

// Order codes of the requests.
inline constexpr std::uint8_t ORDER_WRITE_PARA = 1;
inline constexpr std::uint8_t ORDER_READ_PARA = 2;
inline constexpr std::uint8_t ORDER_STORE_EEPROM = 3;
inline constexpr std::uint8_t ORDER_LOAD_EEPROM = 4;
inline constexpr std::uint8_t ORDER_IDENTIFY = 7;
inline constexpr std::uint8_t ORDER_GET_DATA = 8;
inline constexpr std::uint8_t ORDER_AUTO_SEND = 30;
inline constexpr std::uint8_t ORDER_CALC_OFFSET = 100;
inline constexpr std::uint8_t ORDER_SEND_CALIB = 101;
inline constexpr std::uint8_t ORDER_GET_CALIB = 102;
inline constexpr std::uint8_t ORDER_SELF_CALIBRATION = 103;
inline constexpr std::uint8_t ORDER_GET_CYCLE_TIME = 105;
inline constexpr std::uint8_t ORDER_SCOPE = 110;
inline constexpr std::uint8_t ORDER_SET_BAUDRATE = 190;
inline constexpr std::uint8_t ORDER_GET_HW_INFO = 194;

// A response with order code 0 is an error report; its argument says why.
inline constexpr std::uint8_t kErrorReportOrder = 0;
inline constexpr std::uint16_t kErrorUnknownOrder = 1;   // order code not accepted
inline constexpr std::uint16_t kErrorCommunication = 2;  // sensor-side line error

// Guard value that must accompany ORDER_GET_HW_INFO.
inline constexpr std::uint16_t kHwInfoGuard = 13527;  // 0x34D7

inline constexpr std::uint8_t kStartByte = 0x55;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kMaxRequestPayload = 512;
inline constexpr std::size_t kReceiveBufferSize = 2048;
inline constexpr std::size_t kMaxResponsePayload = kReceiveBufferSize - kHeaderSize;  // 2040
// Payload CRC of an empty payload (the CRC start value).
inline constexpr std::uint8_t kEmptyPayloadCrc = 0xAA;

using HeaderBytes = std::array<std::uint8_t, kHeaderSize>;

struct FrameHeader {
  std::uint8_t order = 0;
  std::uint16_t argument = 0;
  std::uint16_t length = 0;
  std::uint8_t payloadCrc = kEmptyPayloadCrc;
};

// Header for `payload` with both CRCs filled in; length = payload.size()
// (taken as its low 16 bits).
HeaderBytes encodeHeader(std::uint8_t order, std::uint16_t argument,
                         std::span<const std::uint8_t> payload);

// Header with the given fields; byte 7 is the CRC of bytes 0 to 6. Used where
// the length or payload CRC deliberately disagree with a payload (tests, fault
// injection).
HeaderBytes encodeHeaderFields(const FrameHeader& fields, std::uint8_t startByte = kStartByte);

// Header followed by payload.
std::vector<std::uint8_t> buildFrame(std::uint8_t order, std::uint16_t argument,
                                     std::span<const std::uint8_t> payload);

// True when byte 0 is 0x55 and one CRC register run over all 8 bytes ends at 0
// (which is byte 7 being the CRC of bytes 0 to 6).
bool headerIsValid(std::span<const std::uint8_t, kHeaderSize> header);

// The fields of a header, whether valid or not.
FrameHeader decodeHeader(std::span<const std::uint8_t, kHeaderSize> header);

// Little-endian helpers for payload words.
inline std::uint16_t readLe16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
inline void writeLe16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace drq
