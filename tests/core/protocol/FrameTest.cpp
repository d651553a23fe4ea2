#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"

namespace drq {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(Crc8, TableAndCheckValues) {
  const auto& t = crc8Table();
  EXPECT_EQ(t[0], 0x00);
  EXPECT_EQ(t[1], 0x5E);
  EXPECT_EQ(t[128], 0x8C);
  EXPECT_EQ(t[255], 0x35);
  EXPECT_EQ(crc8(bytesOf("123456789")), 0x6D);
  EXPECT_EQ(crc8({}), 0xAA);
  // With a start value of 0 the same table gives the published check value.
  std::uint8_t reg = 0;
  for (auto b : bytesOf("123456789")) reg = t[reg ^ b];
  EXPECT_EQ(reg, 0xA1);
}

TEST(Crc8, UpdateCutsTheRangeToTheBuffer) {
  const auto digits = bytesOf("xx123456789");
  EXPECT_EQ(crc8Update(digits, 2, 9, crc8Table()), 0x6D);
  EXPECT_EQ(crc8Update(digits, 2, 1000, crc8Table()), 0x6D);
  EXPECT_EQ(crc8Update(digits, 50, 3, crc8Table()), 0xAA);
}

TEST(Frame, IdentificationRequestBytes) {
  const auto frame = buildFrame(ORDER_IDENTIFY, 0, {});
  EXPECT_EQ(frame, (std::vector<std::uint8_t>{0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}));
}

TEST(Frame, HeaderCheckRejectsEveryFlippedBitAndAWrongStartByte) {
  const std::vector<std::uint8_t> payload{1, 2, 3};
  auto h = encodeHeader(ORDER_READ_PARA, 0x1234, payload);
  ASSERT_TRUE(headerIsValid(h));
  const auto f = decodeHeader(h);
  EXPECT_EQ(f.order, ORDER_READ_PARA);
  EXPECT_EQ(f.argument, 0x1234);
  EXPECT_EQ(f.length, 3);
  EXPECT_EQ(f.payloadCrc, crc8(payload));
  for (int bit = 0; bit < 8; ++bit) {
    auto bad = h;
    bad[7] ^= static_cast<std::uint8_t>(1u << bit);
    EXPECT_FALSE(headerIsValid(bad)) << bit;
  }
  FrameHeader fields = f;
  EXPECT_FALSE(headerIsValid(encodeHeaderFields(fields, 0x54)));
}

}  // namespace
}  // namespace drq
