#include <gtest/gtest.h>

#include "core/live/DisplayRules.h"

namespace drq {
namespace {

TEST(DisplayNames, LabelsAndColoursPerCalculationMode) {
  for (const std::uint16_t mode : {std::uint16_t{0}, std::uint16_t{2}}) {
    const auto names = dispNamesFor(mode);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->labels(), (std::array<std::string_view, 3>{"X", "Y", "INT"}));
    EXPECT_EQ(names->x, (DisplayLook{"X", 0xFF0000, 0xE0E0E0}));
    EXPECT_EQ(names->y, (DisplayLook{"Y", 0x00FF00, 0xE0E0E0}));
  }
  for (const std::uint16_t mode : {std::uint16_t{1}, std::uint16_t{3}}) {
    const auto names = dispNamesFor(mode);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->labels(), (std::array<std::string_view, 3>{"s", "i", "M"}));
    EXPECT_EQ(names->x, (DisplayLook{"s", 0xFF0000, 0x00FF00}));
    EXPECT_EQ(names->y, (DisplayLook{"i", 0xFFFF00, 0x80FFFF}));
  }
  EXPECT_FALSE(dispNamesFor(4));
}

TEST(DisplayRules, TriggerLedAndOutputLeds) {
  ParaRecord r;
  EXPECT_FALSE(triggerLedVisible(r));
  r[ParaWord::Trigger] = 1;
  EXPECT_TRUE(triggerLedVisible(r));
  r[ParaWord::Trigger] = 0;
  r[ParaWord::ExternTeach] = 2;
  EXPECT_TRUE(triggerLedVisible(r));

  r[ParaWord::EvaluationMode] = 2;  // MIN DIST
  EXPECT_FALSE(outputLedsFollowFrame(r));
  r[ParaWord::EvaluationMode] = 3;  // COL5
  EXPECT_TRUE(outputLedsFollowFrame(r));
  r[ParaWord::EvaluationMode] = 4;  // THD RGB
  EXPECT_TRUE(outputLedsFollowFrame(r));
}

}  // namespace
}  // namespace drq
