#include "core/connect/Identification.h"

#include <algorithm>

namespace drq {
namespace {

// Takes the text up to the first `delimiter` from `rest` (all of it when there
// is none) and removes it and the delimiter from `rest`.
std::string takeUntil(std::string_view& rest, char delimiter) {
  const auto at = rest.find(delimiter);
  std::string piece(rest.substr(0, at));
  rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
  return piece;
}

}  // namespace

std::string Identification::messageBoxText() const {
  return shownVersion + std::string(kSerialNumberPrefix) + std::to_string(serialNumber) + "\n\n";
}

std::string Identification::mismatchText() const {
  return "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: " +
         firmwareVersion + "\nThe serial number is: " + std::to_string(serialNumber) +
         "\n\nClose window or work in offline mode!";
}

std::string identificationText(std::span<const std::uint8_t> payload) {
  const auto bytes = payload.first(std::min(payload.size(), kIdentificationBytes));
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return std::string(bytes.begin(), end);
}

Identification checkIdentification(std::string_view text, std::uint16_t serialNumber) {
  Identification id;
  id.text = std::string(text);
  id.serialNumber = serialNumber;
  std::string_view rest = text;
  id.piece1 = takeUntil(rest, '.');
  id.piece2 = takeUntil(rest, '.');
  id.piece3 = takeUntil(rest, ' ');
  id.piece4 = std::string(rest);
  id.firmwareVersion = id.piece1 + "." + id.piece2;
  id.shownVersion = id.firmwareVersion + id.piece4;
  id.matches = id.firmwareVersion == kSupportedFirmware;
  return id;
}

}  // namespace drq
