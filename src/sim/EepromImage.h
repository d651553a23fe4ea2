#pragma once
// The sensor's EEPROM as a file: both parameter sets, the calibration and the
// baud-rate index, protected by a CRC-8.
//
// Layout (little-endian words):
//   0    8 bytes  "DRQSIMEE"
//   8    2        format version, 1
//   10   34       record of set 0        44   34  record of set 1
//   78   1024     teach table of set 0   1102 1024 teach table of set 1
//   2126 12       factors R G B, offsets R G B
//   2138 2        baud-rate index
//   2140 1        CRC-8 (start 0xAA) of bytes 0..2139
// 2141 bytes in all.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/params/ParaSet.h"
#include "core/protocol/LinkSettings.h"
#include "sim/SensorTypes.h"

namespace drq::sim {

inline constexpr std::size_t kEepromImageBytes = 2141;

struct EepromContent {
  std::array<ParaSet, 2> sets;
  Calibration calibration;
  std::uint16_t baudIndex = kDefaultBaudIndex;
  bool operator==(const EepromContent&) const = default;
};

std::vector<std::uint8_t> encodeEeprom(const EepromContent& content);

// nullopt (with `error` set) when the bytes are not an image of this layout.
std::optional<EepromContent> decodeEeprom(std::span<const std::uint8_t> bytes, std::string* error);

// Writes to a temporary file beside `file` and renames it over `file`; a
// failure leaves the old file as it was. false with `error` set on failure.
bool writeFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                         std::string* error);

// The whole file; nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& file);

}  // namespace drq::sim
