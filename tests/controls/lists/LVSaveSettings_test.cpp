// Text forms of the saved list layout: lists of integers, the column order
// (only a permutation is ever applied), widths, the sort column's clamp.
#include "controls/lists/LVSaveSettings.h"

#include <gtest/gtest.h>

using namespace qv::controls;

TEST(LVSaveSettings, IntegerListsAreJoinedWithoutSpacesOrTrailingComma) {
  EXPECT_EQ(JoinIntegerList({}), "");
  EXPECT_EQ(JoinIntegerList({7}), "7");
  EXPECT_EQ(JoinIntegerList({120, 120, 65, -1}), "120,120,65,-1");
}

TEST(LVSaveSettings, SplittingStopsAtTheColumnCount) {
  const auto items = SplitIntegerList("1,x,3,4,5", 3);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], 1);
  EXPECT_FALSE(items[1].has_value());
  EXPECT_EQ(items[2], 3);
  EXPECT_EQ(SplitIntegerList("", 4).size(), 0u);
  EXPECT_EQ(SplitIntegerList("5", 4).size(), 1u);
  // A trailing comma ends the text: no empty item after it.
  EXPECT_EQ(SplitIntegerList("5,", 4).size(), 1u);
}

TEST(LVSaveSettings, DecimalsAcceptBlanksAndSignOnly) {
  EXPECT_EQ(ParseDecimal(" 42 "), 42);
  EXPECT_EQ(ParseDecimal("-7"), -7);
  EXPECT_EQ(ParseDecimal("+7"), 7);
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("-2147483648"), -2147483647 - 1);
  for (const char* junk : {"", " ", "-", "1.5", "0x10", "12a", "2147483648", "99999999999999999999"})
    EXPECT_FALSE(ParseDecimal(junk).has_value()) << junk;
}

TEST(LVSaveSettings, StoredOrderIsAppliedOnlyWhenItIsAPermutation) {
  EXPECT_EQ(ColumnOrderFromText("2,0,1", 3), (std::vector<int>{2, 0, 1}));
  // Fewer items: the missing positions keep their own index.
  EXPECT_EQ(ColumnOrderFromText("1,0", 4), (std::vector<int>{1, 0, 2, 3}));
  // Extra items are ignored.
  EXPECT_EQ(ColumnOrderFromText("1,0,2,7,7", 3), (std::vector<int>{1, 0, 2}));
  // A non-number reads as 0: here it completes a permutation.
  EXPECT_EQ(ColumnOrderFromText("1,abc,2", 3), (std::vector<int>{1, 0, 2}));
  const std::vector<int> identity{0, 1, 2, 3};
  for (const char* junk : {"0,0,1,2", "1,2,3,4", "-1,0,1,2", "x,y,z,w", "3,2,1,1", "0,1,2,99"})
    EXPECT_EQ(ColumnOrderFromText(junk, 4), identity) << junk;
}

TEST(LVSaveSettings, StoredWidthsKeepCurrentOnesForBadItems) {
  const std::vector<int> current{100, 100, 100};
  EXPECT_EQ(ColumnSizesFromText("120,abc,65", current), (std::vector<int>{120, 100, 65}));
  EXPECT_EQ(ColumnSizesFromText("80", current), (std::vector<int>{80, 100, 100}));
  EXPECT_EQ(ColumnSizesFromText("-1,50,50", current), current);
  EXPECT_EQ(ColumnSizesFromText("50,-20,999999", current), (std::vector<int>{50, 100, 100}));
  EXPECT_EQ(ColumnSizesFromText("0,16384", current), (std::vector<int>{0, 16384, 100}));
}

TEST(LVSaveSettings, SortColumnIsClampedToTheColumns) {
  EXPECT_EQ(ClampSortColumn(9, 8), 7);
  EXPECT_EQ(ClampSortColumn(-5, 8), 0);
  EXPECT_EQ(ClampSortColumn(-1, 8), 0);
  EXPECT_EQ(ClampSortColumn(3, 8), 3);
  EXPECT_EQ(ClampSortColumn(3, 0), 0);
}
