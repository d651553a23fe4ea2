#include <gtest/gtest.h>

#include <vector>

#include "core/params/ParaNames.h"
#include "core/params/ParaWire.h"
#include "core/protocol/Frame.h"

namespace drq {
namespace {

TEST(ParaWire, DefaultRecordImageStartsWithPowerModeAverageEvalHoldFail) {
  const auto image = recordToWire(defaultParaRecord());
  const std::vector<std::uint8_t> head(image.begin(), image.begin() + 10);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0A,
                                             0x00}));
  // DYNWIN LO 3200 = 0x0C80 at word 11, GAIN 5 at word 15.
  EXPECT_EQ(image[22], 0x80);
  EXPECT_EQ(image[23], 0x0C);
  EXPECT_EQ(image[30], 0x05);
  EXPECT_EQ(image[31], 0x00);
}

TEST(ParaWire, RecordAndTeachBlocksRoundTripWithSpareWords) {
  ParaSet set = defaultParaSet();
  for (std::size_t w = 0; w < kParaRecordWords; ++w)
    set.record.words[w] = static_cast<std::uint16_t>(0xA100 + w);
  for (std::size_t r = 0; r < kTeachRows; ++r) {
    for (std::size_t w = 0; w < kTeachVectorWords; ++w) {
      set.table[r].words[w] = static_cast<std::uint16_t>(r * 256 + w * 17 + 1);
    }
  }
  EXPECT_EQ(recordFromWire(recordToWire(set.record)), set.record);

  const auto low = teachBlockToWire(set.table, TeachHalf::Low);
  const auto high = teachBlockToWire(set.table, TeachHalf::High);
  // Row 32 opens the high block; its spare word is the last word of its 16 bytes.
  EXPECT_EQ(readLe16(high, 0), set.table[32].cell(0));
  EXPECT_EQ(readLe16(high, 14), set.table[32].spare());
  EXPECT_EQ(readLe16(low, 16 * 31 + 12), set.table[31].hold());

  TeachTable back{};
  teachBlockFromWire(back, TeachHalf::Low, low);
  teachBlockFromWire(back, TeachHalf::High, high);
  EXPECT_EQ(back, set.table);
}

TEST(ParaWire, ShortPayloadReadsMissingBytesAsZero) {
  const std::vector<std::uint8_t> bytes = {0x34, 0x12, 0x78};
  const ParaRecord r = recordFromWire(bytes);
  EXPECT_EQ(r.words[0], 0x1234);
  EXPECT_EQ(r.words[1], 0x0078);
  EXPECT_EQ(r.words[16], 0);

  TeachTable table;
  for (auto& v : table) v = defaultTeachVector();
  teachBlockFromWire(table, TeachHalf::High, bytes);
  EXPECT_EQ(table[32].cell(0), 0x1234);
  EXPECT_EQ(table[63].hold(), 0);
  EXPECT_EQ(table[31], defaultTeachVector());  // the other half is untouched
}

TEST(ParaWire, BlockNumbers) {
  EXPECT_EQ(recordBlockNumber(0), 0);
  EXPECT_EQ(teachBlockNumber(0, TeachHalf::Low), 2);
  EXPECT_EQ(teachBlockNumber(0, TeachHalf::High), 3);
  EXPECT_EQ(recordBlockNumber(1), 1);
  EXPECT_EQ(teachBlockNumber(1, TeachHalf::Low), 4);
  EXPECT_EQ(teachBlockNumber(1, TeachHalf::High), 5);
}

TEST(ParaNames, CodedValuesAndListNames) {
  EXPECT_EQ(paraValueName(ParaWord::EvaluationMode, 1), "BEST HIT");
  EXPECT_EQ(paraValueName(ParaWord::LedMode, 3), "PULSE");
  EXPECT_EQ(paraValueName(ParaWord::Gain, paraDefault(ParaWord::Gain)), "AMP6");
  EXPECT_EQ(paraValueName(ParaWord::Gain, 8), "");
  EXPECT_EQ(paraValueName(ParaWord::Trigger, 6), "PARA");
  EXPECT_FALSE(paraWordIsCoded(ParaWord::Power));
  EXPECT_EQ(paraListName(ParaWord::ExternTeach), "EXTEACH");
  EXPECT_EQ(paraListName(ParaWord::Gain), "GAIN");
  EXPECT_EQ(teachSectionName(63), "TEACH VECTOR 63");
  EXPECT_EQ(cellKey(4), "CELL 4");
}

}  // namespace
}  // namespace drq
