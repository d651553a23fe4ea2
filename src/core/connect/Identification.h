#pragma once
// Identification of the sensor and the firmware check that decides whether this
// tool may work with it. The sensor answers ORDER_IDENTIFY with a text such as
// "VELMARON DRQ V1.0.3 B" (payload, at most 72 bytes, ending at its first zero
// byte) and its serial number in the response argument.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace drq {

class SensorLink;

inline constexpr std::size_t kIdentificationBytes = 72;
// The only firmware this tool works with.
inline constexpr std::string_view kSupportedFirmware = "VELMARON DRQ V1.0";

// Texts of the connection step.
inline constexpr std::string_view kSerialNumberPrefix = "\nSERIAL NUMBER: ";
inline constexpr std::string_view kConnectFailedText =
    "Could not establish connection! \nClose window or work in offline mode!";

struct Identification {
  std::string text;  // the identification text (shown on the status field's label)
  // The text split at the first ".", the next ".", the next blank, and the rest;
  // missing pieces are empty.
  std::string piece1, piece2, piece3, piece4;
  std::string firmwareVersion;  // piece1 + "." + piece2
  std::string shownVersion;     // piece1 + "." + piece2 + piece4
  std::uint16_t serialNumber = 0;
  bool matches = false;  // firmwareVersion is the supported firmware

  // What a successful identification appends to the connection log:
  // shown version, "\nSERIAL NUMBER: " n, "\n\n".
  std::string messageBoxText() const;
  // The popup text for a firmware that does not match.
  std::string mismatchText() const;
};

// The text of an identification payload: its first 72 bytes up to the first
// zero byte.
std::string identificationText(std::span<const std::uint8_t> payload);

// Splits and checks an identification text.
Identification checkIdentification(std::string_view text, std::uint16_t serialNumber);

// Sends ORDER_IDENTIFY (argument 0, no payload) and checks the answer. Returns
// 1 with `out` filled, or -1 when the exchange failed (already reported).
int identifySensor(SensorLink& link, Identification& out);

}  // namespace drq
