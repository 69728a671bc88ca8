// The two hand cursors come from the program's resources, by name.
#include "services/QxConst.h"

#include <gtest/gtest.h>

using namespace qv::controls;

TEST(QxConst, HandCursorsAreTheProgramsOwn) {
  HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "QX_HANDCUR");
  HCURSOR drag = LoadCursorA(GetModuleHandleA(nullptr), "QX_DRAGCUR");
  ASSERT_NE(hand, nullptr);
  ASSERT_NE(drag, nullptr);
  EXPECT_EQ(QxCursor(crGrabHand), hand);
  EXPECT_EQ(QxCursor(crGrabDrag), drag);
  EXPECT_NE(hand, drag);
  EXPECT_EQ(QxCursor(13999), nullptr);

  // 32 x 32, hot spot in the palm.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 8u);
  EXPECT_EQ(info.yHotspot, 8u);
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}
