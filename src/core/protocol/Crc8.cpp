#include "core/protocol/Crc8.h"

#include <algorithm>

namespace drq {

namespace {

constexpr Crc8Table makeTable() {
  Crc8Table table{};
  for (int i = 0; i < 256; ++i) {
    std::uint8_t crc = static_cast<std::uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) ? static_cast<std::uint8_t>((crc >> 1) ^ 0x8C)
                      : static_cast<std::uint8_t>(crc >> 1);
    }
    table[static_cast<std::size_t>(i)] = crc;
  }
  return table;
}

constexpr Crc8Table kTable = makeTable();
static_assert(kTable[1] == 0x5E && kTable[128] == 0x8C && kTable[255] == 0x35);

}  // namespace

const Crc8Table& crc8Table() {
  return kTable;
}

std::uint8_t crc8Update(std::span<const std::uint8_t> buffer, std::size_t offset, std::size_t count,
                        const Crc8Table& table) {
  std::uint8_t reg = kCrc8Start;
  if (offset >= buffer.size()) return reg;
  count = std::min(count, buffer.size() - offset);
  for (std::uint8_t byte : buffer.subspan(offset, count)) reg = table[reg ^ byte];
  return reg;
}

std::uint8_t crc8(std::span<const std::uint8_t> bytes) {
  return crc8Update(bytes, 0, bytes.size(), kTable);
}

}  // namespace drq
