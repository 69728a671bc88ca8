// The enhanced list view's header under the session's one mouse pointer:
// tests here move it, so they run apart from every other test that does
// (see tests/controls/CMakeLists.txt).
#include "controls/lists/EnhListView.h"

#include <gtest/gtest.h>

#include "tests/common/ListViewHost.h"

using namespace qv::controls;
using namespace qv::test;

namespace {

void Fill(TCustomEnhListView& lv) {
  lv.AddColumn("Nom", 120);
  lv.AddColumn("Taille", 80, qv::fw::TAlignment::RightJustify);
  lv.AddItem("photo.jpg").SubItems = {"1 200"};
  lv.AddItem("Zebra.txt").SubItems = {"9"};
}

}  // namespace

// A fixed column's divider takes no clicks and shows the arrow; its body
// still takes them, and a free column's divider keeps the sizing cursor.
TEST(EnhListView, AFixedColumnsDividerTakesNoClicksAndShowsTheArrow) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  HWND header = h.list->HeaderHandle();
  RECT r{};
  SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  POINT divider{r.right - 1, (r.top + r.bottom) / 2}, body{(r.left + r.right) / 2, divider.y};
  ClientToScreen(header, &divider);
  ClientToScreen(header, &body);
  auto hitTest = [&](POINT p) {
    return SendMessageA(header, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  };
  const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  auto cursorOverDivider = [&] {
    SetCursorPos(divider.x, divider.y);
    SetCursor(nullptr);
    SendMessageA(header, WM_SETCURSOR, reinterpret_cast<WPARAM>(header), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  EXPECT_EQ(hitTest(divider), HTCLIENT);
  EXPECT_NE(cursorOverDivider(), arrow);
  h.list->SetNoColumnResize(true);
  EXPECT_EQ(hitTest(divider), HTNOWHERE);
  EXPECT_EQ(hitTest(body), HTCLIENT);
  EXPECT_EQ(cursorOverDivider(), arrow);
}
