#include "sim/EepromImage.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"
#include "sim/Text.h"

namespace drq::sim {

namespace {

constexpr std::string_view kMagic = "DRQSIMEE";
constexpr std::uint16_t kVersion = 1;

void putWord(std::vector<std::uint8_t>& out, std::uint16_t w) {
  out.push_back(static_cast<std::uint8_t>(w & 0xFF));
  out.push_back(static_cast<std::uint8_t>(w >> 8));
}

}  // namespace

std::vector<std::uint8_t> encodeEeprom(const EepromContent& content) {
  std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
  out.reserve(kEepromImageBytes);
  putWord(out, kVersion);
  for (const ParaSet& s : content.sets)
    for (std::uint16_t w : s.record.words) putWord(out, w);
  for (const ParaSet& s : content.sets)
    for (const TeachVector& v : s.table)
      for (std::uint16_t w : v.words) putWord(out, w);
  for (std::uint16_t w : content.calibration.factors) putWord(out, w);
  for (std::uint16_t w : content.calibration.offsets) putWord(out, w);
  putWord(out, content.baudIndex);
  out.push_back(crc8(out));
  return out;
}

std::optional<EepromContent> decodeEeprom(std::span<const std::uint8_t> bytes, std::string* error) {
  auto fail = [&](const char* why) -> std::optional<EepromContent> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (bytes.size() != kEepromImageBytes) return fail("not an EEPROM image (wrong size)");
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
    return fail("not an EEPROM image (no signature)");
  if (crc8(bytes.first(kEepromImageBytes - 1)) != bytes.back())
    return fail("EEPROM image damaged (CRC mismatch)");
  std::size_t at = kMagic.size();
  auto word = [&]() {
    const std::uint16_t w = readLe16(bytes, at);
    at += 2;
    return w;
  };
  if (word() != kVersion) return fail("EEPROM image of an unknown version");
  EepromContent c;
  for (ParaSet& s : c.sets)
    for (std::uint16_t& w : s.record.words) w = word();
  for (ParaSet& s : c.sets)
    for (TeachVector& v : s.table)
      for (std::uint16_t& w : v.words) w = word();
  for (std::uint16_t& w : c.calibration.factors) w = word();
  for (std::uint16_t& w : c.calibration.offsets) w = word();
  c.baudIndex = word();
  return c;
}

bool writeFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                         std::string* error) {
  std::filesystem::path temp = file;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      if (error) *error = joinText("cannot write ", temp.string());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    if (error) *error = joinText("cannot replace ", file.string(), ": ", ec.message());
    return false;
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace drq::sim
