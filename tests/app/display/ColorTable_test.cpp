// Colour tables of indexed pictures read and written as RGB values, ranges
// cut at the table's end, and the out-of-resources error of pictures
// without a table.
#include "app/ColorTable.h"

#include <gtest/gtest.h>

#include <array>

#include "app/display/DisplayTestSupport.h"

using namespace qv;
using namespace qv::app;

namespace {

fw::TBitmap Indexed(int bits) {
  fw::TBitmap b;
  EXPECT_TRUE(b.Create(8, 8, bits));
  return b;
}

}  // namespace

TEST(ColorTable, ReadsTheSixteenEntriesOfASixteenColourPicture) {
  fw::TBitmap b = Indexed(4);
  std::array<fw::TColor, 16> colours{};
  EXPECT_EQ(GetColorTable(b, colours, 15, 0), 16);
  // The 16 VGA colours, red in the low byte.
  EXPECT_EQ(colours[0], static_cast<fw::TColor>(RGB(0, 0, 0)));
  EXPECT_EQ(colours[9], static_cast<fw::TColor>(RGB(255, 0, 0)));
  EXPECT_EQ(colours[12], static_cast<fw::TColor>(RGB(0, 0, 255)));
  EXPECT_EQ(colours[15], static_cast<fw::TColor>(RGB(255, 255, 255)));
}

TEST(ColorTable, WritesFromAFirstIndexAndResolvesSystemColours) {
  fw::TBitmap b = Indexed(4);
  const std::array<fw::TColor, 3> written{RGB(1, 2, 3), fw::clBtnFace, RGB(200, 100, 50)};
  EXPECT_EQ(SetColorTable(b, written, 2, 5), 3);
  std::array<fw::TColor, 16> all{};
  ASSERT_EQ(GetColorTable(b, all, 15), 16);
  EXPECT_EQ(all[4], static_cast<fw::TColor>(RGB(0, 0, 128)));  // untouched
  EXPECT_EQ(all[5], static_cast<fw::TColor>(RGB(1, 2, 3)));
  EXPECT_EQ(all[6], static_cast<fw::TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(all[7], static_cast<fw::TColor>(RGB(200, 100, 50)));
  // The pixels follow their entries.
  ASSERT_TRUE(b.SetPixelIndex(2, 3, 7));
  EXPECT_EQ(b.Pixel(2, 3), RGB(200, 100, 50));
}

TEST(ColorTable, RangesStopAtTheEndOfTheTableAndOfTheArray) {
  fw::TBitmap b = Indexed(4);
  std::array<fw::TColor, 8> colours{};
  // Entries 14 and 15 only.
  EXPECT_EQ(GetColorTable(b, colours, 5, 14), 2);
  EXPECT_EQ(colours[1], static_cast<fw::TColor>(RGB(255, 255, 255)));
  // Never more than the array holds.
  std::array<fw::TColor, 4> few{};
  EXPECT_EQ(GetColorTable(b, few, 15), 4);
  const std::array<fw::TColor, 2> two{RGB(9, 9, 9), RGB(8, 8, 8)};
  EXPECT_EQ(SetColorTable(b, two, 10, 0), 2);
  fw::TBitmap grey = Indexed(8);
  std::array<fw::TColor, 256> table{};
  EXPECT_EQ(GetColorTable(grey, table, 255), 256);
}

TEST(ColorTable, PicturesWithoutATableOrIndexesPastItRaise) {
  fw::TBitmap b;
  ASSERT_TRUE(b.Create(4, 4, 32));
  std::array<fw::TColor, 4> colours{};
  try {
    GetColorTable(b, colours, 3);
    ADD_FAILURE() << "no error";
  } catch (const EOutOfResources& e) {
    EXPECT_FALSE(std::string(e.what()).empty());
  }
  fw::TBitmap indexed = Indexed(4);
  EXPECT_THROW(GetColorTable(indexed, colours, 3, 16), EOutOfResources);
  EXPECT_THROW(SetColorTable(indexed, colours, 3, 16), EOutOfResources);
  EXPECT_THROW(GetColorTable(indexed, colours, -1), EOutOfResources);
}

TEST(ColorTable, TheErrorTextIsTheSystemsOrTheDefault) {
  SetLastError(0);
  try {
    RaiseLastResourceError();
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Ressources système insuffisantes");
    EXPECT_EQ(e.ErrorCode(), 0u);
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  try {
    RaiseLastResourceError();
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_STRNE(e.what(), "Ressources système insuffisantes");
    EXPECT_FALSE(std::string(e.what()).empty());
  }
  EXPECT_EQ(CheckResourceResult(7), 7);
  EXPECT_THROW(CheckResourceResult(0), EOutOfResources);
}
