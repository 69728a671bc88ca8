// The file list's header dragged with the mouse: the cells follow the new
// column order at once, and the order outlives the program.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

// A press, a move in steps past the drag threshold, a release: what the
// mouse gives the header.
void DragHeader(HWND header, POINT from, POINT to) {
  auto send = [&](UINT msg, WPARAM keys, int x, int y) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(header, msg, keys, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &r);
  };
  send(WM_MOUSEMOVE, 0, from.x, from.y);
  send(WM_LBUTTONDOWN, MK_LBUTTON, from.x, from.y);
  const int steps = 8;
  for (int i = 1; i <= steps; ++i)
    send(WM_MOUSEMOVE, MK_LBUTTON, from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
  send(WM_LBUTTONUP, 0, to.x, to.y);
}

// Every further column's cells start where the header puts its section (the
// caption cell holds the row's whole width).
bool CellsFollowTheHeader(HWND list, HWND header, int columns, std::string& seen) {
  seen.clear();
  bool all = true;
  for (int c = 1; c < columns; ++c) {
    const RECT cell = ListViewSubItemRect(list, 0, c), section = HeaderItemRect(header, c);
    seen += std::to_string(c) + ":" + std::to_string(cell.left) + "/" + std::to_string(section.left) + " ";
    all = all && cell.left == section.left && cell.right == section.right;
  }
  return all;
}

}  // namespace

TEST(FileListHeaderE2E, DraggingAColumnDrawsTheCellsInTheNewOrderAndTheOrderIsKept) {
  ResetProgramRegistry();
  TTempFolder folder("qvdrag");
  folder.Write("a.txt", "a");
  folder.Write("b.txt", "bb");
  const std::vector<int> dragged{2, 0, 1, 3, 4, 5, 6, 7};
  {
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    HWND list = FindControl(main, "FileList");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(HeaderOrder(header), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    std::string seen;
    ASSERT_TRUE(CellsFollowTheHeader(list, header, 8, seen)) << seen;
    // "Taille" taken by its middle and dropped on the left part of "Nom
    // originel".
    const RECT size = HeaderItemRect(header, 2), name = HeaderItemRect(header, 0);
    const int y = (size.top + size.bottom) / 2;
    DragHeader(header, POINT{(size.left + size.right) / 2, y}, POINT{name.left + 6, y});
    ASSERT_TRUE(WaitUntil([&] { return HeaderOrder(header) == dragged; }, 5s));
    EXPECT_TRUE(WaitUntil([&] { return CellsFollowTheHeader(list, header, 8, seen); }, 5s)) << seen;
    EXPECT_LT(HeaderItemRect(header, 2).left, HeaderItemRect(header, 0).left);
    Screenshot("filelist_header_dragged");
    CloseMain(app, main);
  }
  std::string order;
  ASSERT_TRUE(ReadRegistryString(std::string(kProductKey) + "\\Columns", "Order", order));
  EXPECT_EQ(order, "2,0,1,3,4,5,6,7");
  // The next start puts the columns back in that order.
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(HeaderOrder(header), dragged);
  std::string seen;
  EXPECT_TRUE(CellsFollowTheHeader(list, header, 8, seen)) << seen;
  CloseMain(app, main);
}
