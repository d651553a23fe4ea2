#include <gtest/gtest.h>

#include <vector>

#include "core/params/ControlLimits.h"

namespace drq {
namespace {

TEST(ControlLimits, WordsAndFiledValuesAreTakenAtTheirControlsLimits) {
  ParaSet set = defaultParaSet();
  set.record[ParaWord::Power] = 4464;  // 70000 as its low 16 bits
  set.record[ParaWord::Integral] = 251;
  set.record[ParaWord::MaxVecNo] = 64;  // at the limit: unchanged
  set.record[ParaWord::Average] = 65535;
  set.record[ParaWord::Trigger] = 99;  // a ring keeps values it has no item for
  set.table[7].cell(2) = 1;            // 65537 as its low 16 bits
  set.table[9].hold() = 65533;         // -3
  set.table[9].spare() = 0xBEEF;       // never shown: never limited
  const std::vector<FiledValue> wide = {
      {std::nullopt, static_cast<std::size_t>(ParaWord::Power), 70000},
      {7, 2, 65537},
      {9, kTeachHoldWord, -3}};

  const auto limited = limitToControls(set, wide);
  ASSERT_EQ(limited.size(), 4u);
  EXPECT_EQ(filedKey(limited[0].from), "POWER");
  EXPECT_EQ(filedSection(limited[0].from), "PARAMETER");
  EXPECT_EQ(limited[0].from.value, 70000);
  EXPECT_EQ(limited[0].to, 1000);
  EXPECT_EQ(filedKey(limited[1].from), "INTEGRAL");
  EXPECT_EQ(limited[1].from.value, 251);
  EXPECT_EQ(limited[1].to, 250);
  EXPECT_EQ(filedSection(limited[2].from), "TEACH VECTOR 7");
  EXPECT_EQ(filedKey(limited[2].from), "CELL 2");
  EXPECT_EQ(limited[2].to, 65535);
  EXPECT_EQ(filedKey(limited[3].from), "HOLD");
  EXPECT_EQ(limited[3].to, 0);

  EXPECT_EQ(set.record[ParaWord::Power], 1000);
  EXPECT_EQ(set.record[ParaWord::Integral], 250);
  EXPECT_EQ(set.record[ParaWord::MaxVecNo], 64);
  EXPECT_EQ(set.record[ParaWord::Average], 65535);
  EXPECT_EQ(set.record[ParaWord::Trigger], 99);
  EXPECT_EQ(set.table[7].cell(2), 65535);
  EXPECT_EQ(set.table[9].hold(), 0);
  EXPECT_EQ(set.table[9].spare(), 0xBEEF);
  EXPECT_TRUE(limitToControls(set, {}).empty());
}

}  // namespace
}  // namespace drq
