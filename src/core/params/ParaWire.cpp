#include "core/params/ParaWire.h"

namespace drq {
namespace {

std::uint16_t wordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  const std::uint16_t lo = offset < bytes.size() ? bytes[offset] : 0;
  const std::uint16_t hi = offset + 1 < bytes.size() ? bytes[offset + 1] : 0;
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

void putWord(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

ParaRecordImage recordToWire(const ParaRecord& record) {
  ParaRecordImage image{};
  for (std::size_t w = 0; w < kParaRecordWords; ++w) putWord(image, 2 * w, record.words[w]);
  return image;
}

ParaRecord recordFromWire(std::span<const std::uint8_t> bytes) {
  ParaRecord record;
  for (std::size_t w = 0; w < kParaRecordWords; ++w) record.words[w] = wordAt(bytes, 2 * w);
  return record;
}

TeachBlockImage teachBlockToWire(const TeachTable& table, TeachHalf half) {
  TeachBlockImage image{};
  const std::size_t first = firstRowOf(half);
  for (std::size_t r = 0; r < kTeachRows / 2; ++r) {
    for (std::size_t w = 0; w < kTeachVectorWords; ++w) {
      putWord(image, r * kTeachVectorBytes + 2 * w, table[first + r].words[w]);
    }
  }
  return image;
}

void teachBlockFromWire(TeachTable& table, TeachHalf half, std::span<const std::uint8_t> bytes) {
  const std::size_t first = firstRowOf(half);
  for (std::size_t r = 0; r < kTeachRows / 2; ++r) {
    for (std::size_t w = 0; w < kTeachVectorWords; ++w) {
      table[first + r].words[w] = wordAt(bytes, r * kTeachVectorBytes + 2 * w);
    }
  }
}

}  // namespace drq
