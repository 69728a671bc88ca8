// The extended list view with rows of its own: extended styles, column
// formats, the column order kept and saved (junk orders never applied),
// values kept while there is no window, checks, and the layout saved when
// the window goes with its form.
#include "controls/lists/ExtListView.h"

#include <gtest/gtest.h>

#include "framework/StdCtrls.h"
#include "tests/common/ListViewHost.h"

using namespace qv::controls;
using namespace qv::test;

namespace {

void Fill(TCustomExtListView& lv) {
  lv.AddColumn("Nom", 120);
  lv.AddColumn("Taille", 80, qv::fw::TAlignment::RightJustify);
  lv.AddColumn("Type", 140);
  for (const char* n : {"b.txt", "a.txt", "c.txt"}) lv.AddItem(n).SubItems = {std::string(n, 1) + "0", "Texte"};
}

std::vector<int> HeaderOrder(HWND list, int n) {
  std::vector<int> order(static_cast<size_t>(n), -1);
  SendMessageA(list, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data()));
  return order;
}

LRESULT SendHeaderNotify(HWND list, HWND header, UINT code, int item) {
  HDITEMW it{};
  NMHEADERW nm{};
  nm.pitem = &it;
  nm.hdr.hwndFrom = header;
  nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
  nm.hdr.code = code;
  nm.iItem = item;
  return SendMessageA(list, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

// A view whose cursor a test puts over a header section.
class TCursorListView : public TQsExtListView {
public:
  using TQsExtListView::TQsExtListView;
  POINT At{-1000, -1000};

  // The middle of a column's header section, on the screen.
  void PointAt(int column) {
    RECT r{};
    SendMessageA(HeaderHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
    At = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(HeaderHandle(), &At);
  }

protected:
  POINT HeaderCursorPos() const override { return At; }
};

}  // namespace

TEST(ExtListView, ExtendedStylesMapToTheirBits) {
  EXPECT_EQ(ExtendedStylesToMask({lvxGridLines, lvxLabelTip}), static_cast<DWORD>(0x4001));
  EXPECT_EQ(ExtendedStylesToMask({lvxFullRowSelect, lvxHeaderDragDrop}), static_cast<DWORD>(0x30));
  const TLVExtendedStyles all = ExtendedStylesFromMask(0xFFFFFFFF);
  for (int i = 0; i <= lvxLabelTip; ++i) EXPECT_TRUE(all.Contains(static_cast<TLVExtendedStyle>(i))) << i;
  EXPECT_EQ(ExtendedStylesFromMask(0x2000 | 0x200), TLVExtendedStyles());  // bits that are not in the set
}

TEST(ExtListView, UnderlinedStylesBringOneClickActivation) {
  TQsExtListView loose(&App());  // no window yet: the value is kept
  EXPECT_EQ(loose.ExtendedStyles(), TLVExtendedStyles{lvxInfoTip});
  loose.SetExtendedStyles({lvxUnderlineHot});
  EXPECT_EQ(loose.ExtendedStyles(), (TLVExtendedStyles{lvxOneClickActivate, lvxUnderlineHot}));

  THostedList<> h;
  h.list->SetExtendedStyles({lvxUnderlineCold, lvxGridLines});
  EXPECT_EQ(h.list->ExtendedStyles(), (TLVExtendedStyles{lvxOneClickActivate, lvxUnderlineCold, lvxGridLines}));
  const DWORD mask = static_cast<DWORD>(SendMessageA(h.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(mask & (LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINECOLD | LVS_EX_GRIDLINES),
            static_cast<DWORD>(LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINECOLD | LVS_EX_GRIDLINES));
}

TEST(ExtListView, AFixedColumnCanNeitherBeDraggedNorAutoFitted) {
  THostedList<TCursorListView> h([](TCursorListView& lv) {
    Fill(lv);
    for (int i = 0; i < 3; ++i) lv.ColumnsFormat().Add();
    lv.ColumnsFormat().Item(1).SetAllowResize(false);
  });
  HWND header = h.list->HeaderHandle();
  h.list->PointAt(1);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_BEGINTRACKW, 1), 1);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_DIVIDERDBLCLICKA, 1), 1);
  h.list->PointAt(0);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_BEGINTRACKW, 0), 0);
  EXPECT_EQ(h.list->ColumnWidth(1), 80);
}

TEST(ExtListView, HeldRowsGiveCellsByColumnForSearchesAndByPositionForPainting) {
  THostedList<> h([](TQsExtListView& lv) { Fill(lv); });
  auto& lv = *h.list;
  lv.StoreColumnOrder({2, 0, 1});
  EXPECT_TRUE(lv.FindItemContaining("c0", 1));  // the size column, wherever it stands
  EXPECT_EQ(lv.Selected(), 2);
  EXPECT_TRUE(lv.FindItemStartingWith("a", 0));
  EXPECT_EQ(lv.Selected(), 1);
  EXPECT_EQ(lv.GetCellText(0, -1), "Texte");  // display position 0 shows the type
  EXPECT_EQ(lv.GetCellText(0, 0), "b.txt");
  EXPECT_EQ(lv.GetCellText(0, 1), "b0");
}

TEST(ExtListView, InAReorderedHeaderTheColumnUnderTheCursorDecidesResizing) {
  THostedList<TCursorListView> h([](TCursorListView& lv) {
    Fill(lv);
    for (int i = 0; i < 3; ++i) lv.ColumnsFormat().Add();
    lv.ColumnsFormat().Item(1).SetAllowResize(false);
  });
  h.list->StoreColumnOrder({1, 2, 0});
  HWND header = h.list->HeaderHandle();
  ASSERT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{1, 2, 0}));
  // The notified index is a fixed column's, the cursor is over another.
  h.list->PointAt(2);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_BEGINTRACKW, 1), 0);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_DIVIDERDBLCLICKW, 1), 0);
  // And the other way round.
  h.list->PointAt(1);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_BEGINTRACKW, 0), 1);
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_DIVIDERDBLCLICKA, 2), 1);
  // Outside the header nothing is refused.
  h.list->At = POINT{-1000, -1000};
  EXPECT_EQ(SendHeaderNotify(h.Handle(), header, HDN_BEGINTRACKW, 1), 0);
}

TEST(ExtListView, ColumnOrderWithoutAWindowIsKeptForLater) {
  TQsExtListView loose(&App());
  std::vector<int> order{7, 7};
  EXPECT_FALSE(loose.FetchColumnOrder(2, order));
  EXPECT_EQ(order, (std::vector<int>{7, 7}));
  loose.StoreColumnOrder({1, 0});
  EXPECT_TRUE(loose.FetchColumnOrder(2, order));
  EXPECT_EQ(order, (std::vector<int>{1, 0}));
  // A count set before the window is sent when it is made.
  loose.SetVirtualMode(true);
  loose.SetVirtualItemCount(42, 0x7);
  EXPECT_EQ(loose.ItemCount(), 42);
}

TEST(ExtListView, StoredOrderSurvivesWindowRecreation) {
  THostedList<> h([](TQsExtListView& lv) { Fill(lv); });
  h.list->StoreColumnOrder({2, 0, 1});
  EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(h.list->ColumnDisplayPosition(1), 2);
  EXPECT_EQ(h.list->ColumnAtPosition(0)->Caption, "Type");
  h.list->SetStyle(lvOwnerDrawFixed);  // re-creates the window
  EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(h.list->ItemCount(), 3);
  // A junk order is not applied.
  h.list->StoreColumnOrder({0, 0, 1});
  EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{0, 1, 2}));
}

TEST(ExtListViewSettings, OrderAndSizesAreSavedInDisplayOrderAndRestored) {
  TTestKey key;
  auto setup = [&](TQsExtListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
    lv.SaveSettings().RegistryKey = key.Key();
    lv.SaveSettings().AutoSave = true;
  };
  {
    THostedList<> h(setup);
    h.list->StoreColumnOrder({2, 0, 1});
    ClickHeader(h.Handle(), 1);
    // Freed with its form: the window goes before the control does.
  }
  EXPECT_EQ(key.Read("Columns", "Order"), "2,0,1");
  EXPECT_EQ(key.Read("Columns", "Sizes"), "140,120,80");
  EXPECT_EQ(key.Read("Sort", "Ascending"), "1");
  EXPECT_EQ(key.Read("Sort", "SortCol"), "1");
  EXPECT_EQ(key.Read("ViewStyle", "ViewStyle"), "3");

  THostedList<> h(setup);
  EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(h.list->ColumnWidth(2), 140);
  EXPECT_EQ(h.list->SortColumn(), 1);
  EXPECT_EQ(ListText(h.Handle(), 0, 0), "a.txt");
}

TEST(ExtListViewSettings, JunkOrdersGiveTheIdentity) {
  for (const char* junk : {"0,0,1", "5,1,0", "a,b,c", "2,1,-1", "1,,0"}) {
    TTestKey key;
    key.Write("Columns", "Order", junk);
    key.Write("Columns", "Sizes", "100,101,102");
    THostedList<> h([&](TQsExtListView& lv) {
      Fill(lv);
      lv.SaveSettings().RegistryKey = key.Key();
      lv.SaveSettings().AutoSave = true;
    });
    EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{0, 1, 2})) << junk;
    EXPECT_EQ(h.list->ColumnWidth(2), 102) << junk;
  }
  // A partial order completes a permutation with the missing positions.
  TTestKey key;
  key.Write("Columns", "Order", "1,0");
  THostedList<> h([&](TQsExtListView& lv) {
    Fill(lv);
    lv.SaveSettings().RegistryKey = key.Key();
    lv.SaveSettings().AutoSave = true;
  });
  EXPECT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{1, 0, 2}));
}

TEST(ExtListViewSettings, WidthsChangedInTheWindowAreSavedWhenTheFormGoes) {
  TTestKey key;
  {
    THostedList<> h([&](TQsExtListView& lv) {
      Fill(lv);
      lv.SaveSettings().RegistryKey = key.Key();
      lv.SaveSettings().AutoSave = true;
    });
    // As the user's drag does: the header's width changes under the list.
    HDITEMA it{};
    it.mask = HDI_WIDTH;
    it.cxy = 77;
    SendMessageA(h.list->HeaderHandle(), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
  EXPECT_EQ(key.Read("Columns", "Sizes"), "77,80,140");
}

TEST(ExtListView, ChecksReportChangesAndSurviveRecreation) {
  std::vector<std::pair<int, bool>> checks;
  THostedList<> h([&](TQsExtListView& lv) {
    Fill(lv);
    lv.SetExtendedStyles({lvxCheckboxes});
    lv.OnItemChecked = [&](qv::fw::TComponent&, int i, bool c) { checks.emplace_back(i, c); };
  });
  checks.clear();
  h.list->SetItemCheckState(1, true);
  Pump();
  EXPECT_TRUE(h.list->GetItemCheckState(1));
  EXPECT_FALSE(h.list->GetItemCheckState(0));
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0], std::make_pair(1, true));
  h.list->SetStyle(lvOwnerDrawFixed);  // re-creates the window
  EXPECT_TRUE(h.list->GetItemCheckState(1));
  EXPECT_FALSE(h.list->GetItemCheckState(2));
}

TEST(ExtListView, ComCtlCheckAcceptsVersion470AndLater) {
  const WORD ok[][4] = {{4, 70, 0, 0}, {4, 71, 0, 0}, {5, 81, 0, 0}, {6, 0, 0, 0}, {4, 70, 0, 1}};
  const WORD old[][4] = {{4, 69, 9, 9}, {4, 0, 0, 0}, {3, 99, 0, 0}};
  for (const auto& v : ok) EXPECT_TRUE(ComCtlVersionAtLeast470(v));
  for (const auto& v : old) EXPECT_FALSE(ComCtlVersionAtLeast470(v));
  THostedList<> h;
  EXPECT_NO_THROW(h.list->SetRequireComCtlUpdate(true));  // Wine's is 5.81
}

TEST(ExtListView, ReportsItsVersion) {
  THostedList<> h;
  EXPECT_EQ(h.list->Version(), "TQsExtListView v3.72");
}

TEST(ExtListView, ColumnImagesGoToTheHeaderUnlessItIsOwnerDrawn) {
  qv::fw::TImageList images(nullptr);
  images.Create(16, 16);
  images.AddIcon(LoadIcon(nullptr, IDI_APPLICATION));
  images.AddIcon(LoadIcon(nullptr, IDI_WARNING));
  THostedList<> h([&](TQsExtListView& lv) {
    Fill(lv);
    for (int i = 0; i < 3; ++i) lv.ColumnsFormat().Add();
    lv.SetSmallImages(&images);
  });
  auto format = [&](int i) {
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_IMAGE;
    SendMessageA(h.Handle(), LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    return col;
  };
  h.list->ColumnsFormat().Item(1).SetImageIndex(1);
  EXPECT_TRUE(format(1).fmt & LVCFMT_IMAGE);
  EXPECT_TRUE(format(1).fmt & LVCFMT_BITMAP_ON_RIGHT);
  EXPECT_EQ(format(1).fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);  // the column keeps its alignment
  EXPECT_EQ(format(1).iImage, 1);
  h.list->ColumnsFormat().Item(1).SetImageAlignment(ciaLeftOfText);
  EXPECT_FALSE(format(1).fmt & LVCFMT_BITMAP_ON_RIGHT);
  h.list->ColumnsFormat().Item(1).SetImageIndex(-1);
  EXPECT_FALSE(format(1).fmt & LVCFMT_IMAGE);
  // With sort arrows the header draws itself: formats are left alone.
  h.list->SetShowSortArrows(true);
  h.list->ColumnsFormat().Item(2).SetImageIndex(0);
  EXPECT_FALSE(format(2).fmt & LVCFMT_IMAGE);
  h.list->SetSmallImages(nullptr);
}

TEST(ExtListView, InfoTipsInBothForms) {
  THostedList<> h([](TQsExtListView& lv) { Fill(lv); });
  std::string seen;
  h.list->OnInfoTip = [&](qv::fw::TComponent&, int item, int sub, const std::string& current, std::string& more) {
    seen = std::to_string(item) + "/" + std::to_string(sub) + ":" + current;
    more = " (Texte)";
  };
  char narrow[16] = "a.txt";
  NMLVGETINFOTIPA a{};
  a.hdr.hwndFrom = h.Handle();
  a.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h.Handle()));
  a.hdr.code = LVN_GETINFOTIPA;
  a.dwFlags = LVGIT_UNFOLDED;
  a.pszText = narrow;
  a.cchTextMax = sizeof narrow;
  a.iItem = 1;
  SendMessageA(GetParent(h.Handle()), WM_NOTIFY, a.hdr.idFrom, reinterpret_cast<LPARAM>(&a));
  EXPECT_EQ(seen, "1/0:a.txt");
  EXPECT_STREQ(narrow, "a.txt (Texte)");  // appended to an unfolded text

  wchar_t wide[8] = L"x";
  NMLVGETINFOTIPW w{};
  w.hdr = a.hdr;
  w.hdr.code = LVN_GETINFOTIPW;
  w.dwFlags = 0;
  w.pszText = wide;
  w.cchTextMax = 6;
  w.iItem = 2;
  SendMessageA(GetParent(h.Handle()), WM_NOTIFY, w.hdr.idFrom, reinterpret_cast<LPARAM>(&w));
  EXPECT_EQ(seen, "2/0:");
  EXPECT_STREQ(wide, L" (Tex");  // replaces a folded one, cut to the buffer
}

TEST(ExtListView, AnInfoTipPutsTheListUnderItsSiblings) {
  THostedList<> h([](TQsExtListView& lv) { Fill(lv); });
  HWND parent = GetParent(h.Handle());
  auto& label = h.form->Make<qv::fw::TLabel>("Voisin");
  label.Place(h.form, 0, 0, 40, 20);
  HWND sibling = label.Handle();
  ASSERT_NE(sibling, nullptr);
  SetWindowPos(h.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(GetWindow(parent, GW_CHILD), h.Handle());
  RECT before{};
  GetWindowRect(h.Handle(), &before);
  char text[16] = "";
  NMLVGETINFOTIPA a{};
  a.hdr.hwndFrom = h.Handle();
  a.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h.Handle()));
  a.hdr.code = LVN_GETINFOTIPA;
  a.pszText = text;
  a.cchTextMax = sizeof text;
  // No handler: the row's caption is the tip.
  EXPECT_EQ(SendMessageA(parent, WM_NOTIFY, a.hdr.idFrom, reinterpret_cast<LPARAM>(&a)), 1);
  EXPECT_STREQ(text, "b.txt");
  EXPECT_EQ(GetWindow(h.Handle(), GW_HWNDNEXT), nullptr);  // the last of its siblings
  EXPECT_EQ(GetWindow(parent, GW_CHILD), sibling);
  RECT after{};
  GetWindowRect(h.Handle(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(ExtListView, HoverTimeAndSelectionMarkAreKeptAcrossRecreation) {
  THostedList<> h([](TQsExtListView& lv) {
    Fill(lv);
    lv.SetHoverTime(250);
  });
  h.list->SetSelectionMarkIndex(2);
  EXPECT_EQ(h.list->HoverTime(), 250);
  h.list->SetStyle(lvOwnerDrawFixed);
  EXPECT_EQ(SendMessageA(h.Handle(), LVM_GETHOVERTIME, 0, 0), 250);
  EXPECT_EQ(SendMessageA(h.Handle(), LVM_GETSELECTIONMARK, 0, 0), 2);
}

// A header section dragged with the mouse: the list places its cells by the
// new order as soon as the header has it, and keeps that order.
TEST(ExtListView, AHeaderDraggedWithTheMouseMovesTheCellsAtOnce) {
  THostedList<> h([](TQsExtListView& lv) {
    Fill(lv);
    lv.SetExtendedStyles({lvxFullRowSelect, lvxHeaderDragDrop});
  });
  HWND header = reinterpret_cast<HWND>(SendMessageA(h.Handle(), LVM_GETHEADER, 0, 0));
  auto sectionRect = [&](int c) {
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&r));
    return r;
  };
  auto cellLeft = [&](int c) {
    RECT r{LVIR_BOUNDS, c, 0, 0};
    SendMessageA(h.Handle(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.left;
  };
  const RECT from = sectionRect(2), to = sectionRect(0);
  const int y = (from.top + from.bottom) / 2, x0 = (from.left + from.right) / 2, x1 = to.left + 6;
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y));
  for (int i = 1; i <= 8; ++i) SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 + (x1 - x0) * i / 8, y));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x1, y));
  ASSERT_EQ(HeaderOrder(h.Handle(), 3), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(cellLeft(2), sectionRect(2).left);
  EXPECT_EQ(cellLeft(1), sectionRect(1).left);
  PaintNow(h.Handle());
  Pump();
  std::vector<int> kept;
  EXPECT_TRUE(h.list->FetchColumnOrder(3, kept));
  EXPECT_EQ(kept, (std::vector<int>{2, 0, 1}));
}
