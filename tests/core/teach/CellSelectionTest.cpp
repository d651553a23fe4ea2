#include <gtest/gtest.h>

#include "core/teach/CellSelection.h"

namespace drq {
namespace {

std::vector<std::uint16_t> valuesOf(const std::vector<CellAssignment>& a) {
  std::vector<std::uint16_t> v;
  for (const auto& x : a) v.push_back(x.value);
  return v;
}

TEST(CellSelection, IncrementRunsRowByRowAndWraps) {
  const GridSelection oneByFour{3, 1, 1, 4};
  auto a = incrementSelectionWith(oneByFour, kTeachGridRows, kTeachGridColumns, teachGridEditable,
                                  10, 5);
  EXPECT_EQ(valuesOf(a), (std::vector<std::uint16_t>{10, 15, 20, 25}));
  EXPECT_EQ(a[3].cell, (GridCell{3, 4}));

  // 2 x 3 block reaching into the colour column: that column is skipped.
  a = incrementSelectionWith({1, 4, 2, 3}, kTeachGridRows, kTeachGridColumns, teachGridEditable,
                             65530, 4);
  EXPECT_EQ(valuesOf(a), (std::vector<std::uint16_t>{65530, 65534, 2, 6}));
  EXPECT_EQ(a[2].cell, (GridCell{2, 4}));

  a = incrementSelectionWith(oneByFour, kTeachGridRows, kTeachGridColumns, teachGridEditable, 3,
                             -2);
  EXPECT_EQ(valuesOf(a), (std::vector<std::uint16_t>{3, 1, 65535, 65533}));

  // The top-left cell must be editable.
  EXPECT_TRUE(incrementSelectionWith({1, 6, 1, 1}, kTeachGridRows, kTeachGridColumns,
                                     teachGridEditable, 1, 1)
                  .empty());
}

TEST(CellSelection, SetAndResetTouchEditableCellsOfAClippedSelection) {
  auto a =
      setSelectionTo({63, 5, 10, 10}, kTeachGridRows, kTeachGridColumns, teachGridEditable, 700);
  ASSERT_EQ(a.size(), 2u);  // rows 63, 64; column 5 (column 6 is the colour)
  EXPECT_EQ(a[1], (CellAssignment{{64, 5}, 700}));
  EXPECT_TRUE(setSelectionTo({0, 1, 1, 1}, 64, 6, teachGridEditable, 7).empty());
  EXPECT_TRUE(resetSelection({2, 0, 1, 1}, 64, 6, teachGridEditable).empty());
  a = resetSelection({2, 2, 1, 2}, 64, 6, teachGridEditable);
  EXPECT_EQ(valuesOf(a), (std::vector<std::uint16_t>{1, 1}));

  TeachTable t = defaultParaSet().table;
  applyToTeachTable(t, {{{64, 5}, 700}, {{1, 6}, 9}, {{1, 1}, 8}});
  EXPECT_EQ(t[63].cell(4), 700);
  EXPECT_EQ(t[0].cell(0), 8);
  EXPECT_EQ(t[0].group(), 0);
}

TEST(CellSelection, TypedValuesOutsideACellAreRefused) {
  EXPECT_EQ(parseCellValue("42"), 42);
  EXPECT_EQ(parseCellValue("  65535 "), 65535);
  EXPECT_EQ(parseCellValue("+7"), 7);
  for (const char* bad :
       {"65536", "70000", "-1", "", "  ", "abc", "- 3", "x12", "99999999999999999999", "70000x"}) {
    EXPECT_FALSE(parseCellValue(bad).has_value()) << bad;
  }
  EXPECT_EQ(parseIncrement("-5"), -5);
  EXPECT_EQ(parseIncrement("65535"), 65535);
  EXPECT_FALSE(parseIncrement("65536").has_value());
  EXPECT_FALSE(parseIncrement("-65536").has_value());
}

TEST(CellSelection, TheNumberAtTheStartOfAnAnswerCounts) {
  EXPECT_EQ(parseCellValue("12abc"), 12);
  EXPECT_EQ(parseCellValue(" 1 2"), 1);
  EXPECT_EQ(parseCellValue("300.7"), 300);
  EXPECT_EQ(parseIncrement("5x"), 5);
  EXPECT_EQ(parseIncrement("-8 steps"), -8);
}

}  // namespace
}  // namespace drq
