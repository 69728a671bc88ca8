// The enhanced list view in a shown test window: sorting on real header
// clicks (smart, typed, both directions), sort events, type-ahead, column
// resizing switches, row operations and its saved settings.
#include "controls/lists/EnhListView.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/common/ListViewHost.h"

using namespace qv::controls;
using namespace qv::test;

namespace {

struct TRow {
  const char* name;
  const char* size;
  const char* date;
};
const TRow kRows[] = {
    {"photo.jpg", "1 200", "12/03/2004"},
    {"Zebra.txt", "9", "01/01/1999"},
    {"archive.zip", "10", "31/12/2010 08:00:00"},
    {"beta.doc", "250", "01/01/1999 12:30:00"},
    {"alpha.doc", "-4", "05/06/2007"},
};

void Fill(TCustomEnhListView& lv) {
  lv.AddColumn("Nom", 120);
  lv.AddColumn("Taille", 80, qv::fw::TAlignment::RightJustify);
  lv.AddColumn("Date", 140);
  for (const TRow& r : kRows) {
    TListItem& it = lv.AddItem(r.name);
    it.SubItems = {r.size, r.date};
  }
  TCompareSettings s;
  s.ThousandSeparator = " ";
  s.DecimalSeparator = ',';
  lv.SetCompareSettings(s);
}

std::vector<std::string> ColumnTexts(HWND list, int column) {
  std::vector<std::string> out;
  const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) out.push_back(ListText(list, i, column));
  return out;
}

// A view whose type-ahead clock and miss beep a test controls.
class TTestEnhListView : public TCustomEnhListView {
public:
  using TCustomEnhListView::TCustomEnhListView;
  DWORD Now = 10000;
  int Misses = 0;

protected:
  DWORD TickCount() const override { return Now; }
  void SearchMissed() override { ++Misses; }
};

}  // namespace

TEST(EnhListView, HeaderClicksSortEveryColumnBothWays) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
  });
  HWND list = h.Handle();
  const std::vector<std::vector<std::string>> ascending = {
      // Locale text order ignores case for letters, as the user expects.
      {"alpha.doc", "archive.zip", "beta.doc", "photo.jpg", "Zebra.txt"},
      // "1 200" is 1: only the part before the first blank counts.
      {"-4", "1 200", "9", "10", "250"},
      {"01/01/1999", "01/01/1999 12:30:00", "12/03/2004", "05/06/2007", "31/12/2010 08:00:00"},
  };
  // Once loaded, the list is sorted on its first column.
  EXPECT_EQ(h.list->SortColumn(), 0);
  EXPECT_EQ(ColumnTexts(list, 0), ascending[0]);
  for (int c = 0; c < 3; ++c) {
    auto descending = ascending[static_cast<size_t>(c)];
    std::reverse(descending.begin(), descending.end());
    // A click on the sorted column flips it; on another one it sorts ascending.
    const bool firstAscending = c != 0;
    ClickHeader(list, c);
    EXPECT_EQ(h.list->SortColumn(), c);
    EXPECT_EQ(h.list->SortAscending(), firstAscending);
    EXPECT_EQ(ColumnTexts(list, c), firstAscending ? ascending[static_cast<size_t>(c)] : descending) << c;
    ClickHeader(list, c);
    EXPECT_EQ(h.list->SortAscending(), !firstAscending);
    EXPECT_EQ(ColumnTexts(list, c), firstAscending ? descending : ascending[static_cast<size_t>(c)]) << c;
  }
}

TEST(EnhListView, AnotherColumnSortsInTheAutoDirectionAndEventsSayDescending) {
  std::vector<std::pair<int, bool>> begins, finishes;
  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
    lv.OnSortBegin = [&](qv::fw::TComponent&, int c, bool d) { begins.emplace_back(c, d); };
    lv.OnSortFinished = [&](qv::fw::TComponent&, int c, bool d) { finishes.emplace_back(c, d); };
  });
  begins.clear();
  finishes.clear();
  h.list->SetAutoSortAscending(false);
  ClickHeader(h.Handle(), 1);
  EXPECT_FALSE(h.list->SortAscending());
  EXPECT_EQ(ListText(h.Handle(), 0, 1), "250");
  ClickHeader(h.Handle(), 1);
  EXPECT_TRUE(h.list->SortAscending());
  ASSERT_EQ(begins.size(), 2u);
  EXPECT_EQ(begins[0], std::make_pair(1, true));  // descending sort
  EXPECT_EQ(begins[1], std::make_pair(1, false));  // ascending sort
  EXPECT_EQ(finishes, begins);
}

TEST(EnhListView, SortHandlerChoosesTheComparison) {
  std::vector<int> columnsSeen;
  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSort);
    lv.OnSortItems = [&](qv::fw::TComponent&, TListItem*, TListItem*, int column, TSortAs& as, int&) {
      columnsSeen.push_back(column);
      as = saString;  // plain text, even for the numbers
    };
  });
  columnsSeen.clear();
  ClickHeader(h.Handle(), 1);
  // As texts, "10" and "250" come before "9".
  const auto texts = ColumnTexts(h.Handle(), 1);
  const auto at = [&](const char* t) { return std::find(texts.begin(), texts.end(), t) - texts.begin(); };
  EXPECT_LT(at("10"), at("250"));
  EXPECT_LT(at("250"), at("9"));
  ASSERT_FALSE(columnsSeen.empty());
  EXPECT_EQ(columnsSeen.front(), 0);  // the handler sees the text column (sort column - 1)
}

TEST(EnhListView, ProgrammaticSortAndAssSmartOff) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
  });
  h.list->SetAutoSortStyle(assDefault);
  h.list->ColumnSortClick(1, true);
  EXPECT_EQ(h.list->SortColumn(), 1);
  const auto texts = ColumnTexts(h.Handle(), 1);
  const auto at = [&](const char* t) { return std::find(texts.begin(), texts.end(), t) - texts.begin(); };
  EXPECT_LT(at("10"), at("250"));
  EXPECT_LT(at("250"), at("9"));
}

TEST(EnhListView, TypeAheadSearchesTheSortedColumn) {
  THostedList<TTestEnhListView> h([](TTestEnhListView& lv) {
    lv.AddColumn("Nom", 120);
    for (const char* n : {"beta", "alpha", "abc", "abacus", "gamma"}) lv.AddItem(n);
    lv.SetAutoColumnSort(acsSort);
    lv.SetColumnSearch(true);
  });
  auto& lv = *h.list;
  HWND list = h.Handle();
  auto selectedText = [&] { return ListText(list, lv.Selected(), 0); };
  // With no row selected the search starts after row 0, as if it were.
  Stroke(list, 'A');
  EXPECT_EQ(selectedText(), "abc");
  lv.Now += 300;
  Stroke(list, 'B');
  EXPECT_EQ(lv.TypeAheadText(), "ab");
  EXPECT_EQ(selectedText(), "abc");  // a longer prefix keeps the row it matches
  lv.Now += 300;
  Stroke(list, 'A');
  EXPECT_EQ(selectedText(), "abacus");  // wrapped round to row 0
  lv.Now += 1500;
  Stroke(list, 'A');
  EXPECT_EQ(selectedText(), "abc");  // after the selected row
  lv.Now += 300;
  Stroke(list, 'B');
  lv.Now += 300;
  Stroke(list, 'C');
  EXPECT_EQ(selectedText(), "abc");
  lv.Now += 300;
  Stroke(list, 'Z');  // "abcz": no such row
  EXPECT_EQ(lv.Misses, 1);
  EXPECT_EQ(lv.TypeAheadText(), "abc");
  EXPECT_EQ(selectedText(), "abc");
  lv.Now += 1500;  // a pause starts a new search
  Stroke(list, 'G');
  EXPECT_EQ(lv.TypeAheadText(), "g");
  EXPECT_EQ(selectedText(), "gamma");
}

TEST(EnhListView, FindingWithNoSelectionVisitsRowZeroLast) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) {
    lv.AddColumn("Nom", 120);
    for (const char* n : {"abc", "xyz", "abd"}) lv.AddItem(n);
  });
  auto& lv = *h.list;
  ASSERT_EQ(lv.Selected(), -1);
  EXPECT_TRUE(lv.FindItemStartingWith("ab", 0));
  EXPECT_EQ(lv.Selected(), 2);
  lv.SelectItem(-1);
  EXPECT_TRUE(lv.FindItemContaining("b", 0));
  EXPECT_EQ(lv.Selected(), 2);
  lv.SelectItem(-1);
  EXPECT_TRUE(lv.FindItemStartingWith("abc", 0));  // still found, last
  EXPECT_EQ(lv.Selected(), 0);
}

TEST(EnhListView, FindMoveAndAutoSize) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  auto& lv = *h.list;
  HWND list = h.Handle();
  EXPECT_TRUE(lv.FindItemContaining("ebr", 0));
  EXPECT_EQ(lv.Selected(), 1);
  EXPECT_FALSE(lv.FindItemContaining("EBR", 0));  // case-sensitive
  EXPECT_TRUE(lv.FindItemStartingWith("2", 1));  // "250" in the size column
  EXPECT_EQ(lv.Selected(), 3);
  lv.MoveItem(3, 0);
  EXPECT_EQ(ListText(list, 0, 0), "beta.doc");
  EXPECT_EQ(lv.Selected(), 0);  // the moved row keeps its selection
  lv.MoveItem(0, 4);
  EXPECT_EQ(ListText(list, 4, 0), "beta.doc");
  EXPECT_EQ(ListText(list, 0, 0), "photo.jpg");
  EXPECT_EQ(lv.ItemCount(), 5);
  lv.SetColumnWidth(0, 10);
  lv.AutoSizeColumns(false);
  EXPECT_GT(lv.ColumnWidth(0), 40);
}

TEST(EnhListView, NoColumnResizeRefusesTrackingAndAutoFit) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  HWND list = h.Handle();
  HWND header = h.list->HeaderHandle();
  ASSERT_NE(header, nullptr);
  auto notify = [&](UINT code) {
    HDITEMW item{};
    NMHEADERW nm{};
    nm.pitem = &item;
    nm.hdr.hwndFrom = header;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
    nm.hdr.code = code;
    nm.iItem = 0;
    return SendMessageA(list, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  };
  EXPECT_EQ(notify(HDN_BEGINTRACKW), 0);
  h.list->SetNoColumnResize(true);
  EXPECT_EQ(notify(HDN_BEGINTRACKW), 1);
  EXPECT_EQ(notify(HDN_BEGINTRACKA), 1);
  EXPECT_EQ(notify(HDN_TRACKW), 1);
  const int before = h.list->ColumnWidth(0);
  EXPECT_EQ(notify(HDN_DIVIDERDBLCLICKW), 1);
  EXPECT_EQ(h.list->ColumnWidth(0), before);
}

TEST(EnhListView, SortArrowsMakeTheHeaderOwnerDrawn) {
  int drawn = 0;
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
  });
  HWND header = h.list->HeaderHandle();
  auto ownerDrawn = [&](int i) {
    HDITEMA it{};
    it.mask = HDI_FORMAT;
    SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    return (it.fmt & HDF_OWNERDRAW) != 0;
  };
  EXPECT_FALSE(ownerDrawn(0));
  h.list->SetShowSortArrows(true);
  EXPECT_TRUE(ownerDrawn(0) && ownerDrawn(2));
  h.list->SetOnDrawHeader([&](qv::fw::TComponent&, qv::fw::TCanvas&, int, RECT&, bool, bool& def) {
    ++drawn;
    def = true;
  });
  PaintNow(header);
  EXPECT_GE(drawn, 3);
  // A caption change resets the platform's format: the next header change
  // re-applies owner drawing.
  h.list->SetColumnCaption(1, "Octets");
  EXPECT_TRUE(ownerDrawn(1));
  h.list->SetShowSortArrows(false);
  h.list->SetOnDrawHeader(nullptr);
  EXPECT_FALSE(ownerDrawn(0));
}

TEST(EnhListView, OwnerDrawnRowsAskForTheirCells) {
  std::vector<int> subItems;
  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetStyle(lvOwnerDrawFixed);
    lv.OnDrawSubItem = [&](qv::fw::TComponent&, qv::fw::TCanvas&, int, int sub, RECT, TOwnerDrawState, bool& def) {
      subItems.push_back(sub);
      def = true;
    };
  });
  subItems.clear();
  PaintNow(h.Handle());
  EXPECT_EQ(std::count(subItems.begin(), subItems.end(), -1), 5);  // each caption
  EXPECT_EQ(std::count(subItems.begin(), subItems.end(), 1), 5);
  // Switching the style re-creates the window and keeps the rows.
  h.list->SetStyle(lvStandard);
  EXPECT_EQ(h.list->ItemCount(), 5);
  EXPECT_EQ(ListText(h.Handle(), 2, 2), "31/12/2010 08:00:00");
}

// The wide cell text of a held-row list fits the buffer it is given: cut
// when the text is longer, empty and in bounds with room for the
// terminator only.
TEST(EnhListView, WideCellTextIsCutToItsBuffer) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  auto ask = [&](int row, int column, wchar_t* buffer, int cch) {
    NMLVDISPINFOW w{};
    w.hdr.hwndFrom = h.Handle();
    w.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h.Handle()));
    w.hdr.code = LVN_GETDISPINFOW;
    w.item.mask = LVIF_TEXT;
    w.item.iItem = row;
    w.item.iSubItem = column;
    w.item.pszText = buffer;
    w.item.cchTextMax = cch;
    SendMessageA(GetParent(h.Handle()), WM_NOTIFY, w.hdr.idFrom, reinterpret_cast<LPARAM>(&w));
  };
  wchar_t buf[32];
  std::fill(std::begin(buf), std::end(buf), L'#');
  ask(0, 0, buf, 4);
  EXPECT_STREQ(buf, L"pho");
  EXPECT_EQ(buf[4], L'#');
  std::fill(std::begin(buf), std::end(buf), L'#');
  ask(2, 2, buf, 32);
  EXPECT_STREQ(buf, L"31/12/2010 08:00:00");
  std::fill(std::begin(buf), std::end(buf), L'#');
  ask(0, 0, buf, 1);
  EXPECT_EQ(buf[0], L'\0');
  EXPECT_TRUE(std::all_of(buf + 1, std::end(buf), [](wchar_t c) { return c == L'#'; }));
}

// Ctrl + numeric-pad plus would fit every column: with fixed columns the
// list is given Ctrl + numeric-pad minus instead, and only for Ctrl alone.
TEST(EnhListView, CtrlNumpadPlusBecomesMinusWhileColumnsAreFixed) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  std::vector<WORD> keys;
  h.list->OnKeyDown = [&](qv::fw::TComponent&, WORD& key, qv::fw::TShiftState) { keys.push_back(key); };
  BYTE saved[256], state[256];
  GetKeyboardState(saved);
  auto press = [&](bool shift) {
    std::copy(std::begin(saved), std::end(saved), std::begin(state));
    state[VK_CONTROL] = 0x80;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(h.Handle(), WM_KEYDOWN, VK_ADD, 1);
    SetKeyboardState(saved);
  };
  press(false);
  h.list->SetNoColumnResize(true);
  press(false);
  press(true);
  EXPECT_EQ(keys, (std::vector<WORD>{VK_ADD, VK_SUBTRACT, VK_ADD}));
}

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

// A label edit given up (no text) tells OnEditCanceled of its row; a
// finished one changes the caption and tells nothing.
TEST(EnhListView, AnAbandonedLabelEditRaisesOnEditCanceled) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  std::vector<TListItem*> cancelled;
  h.list->OnEditCanceled = [&](qv::fw::TComponent&, TListItem* it) { cancelled.push_back(it); };
  auto endEdit = [&](int row, const char* text) {
    NMLVDISPINFOA a{};
    a.hdr.hwndFrom = h.Handle();
    a.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h.Handle()));
    a.hdr.code = LVN_ENDLABELEDITA;
    a.item.iItem = row;
    a.item.pszText = const_cast<char*>(text);
    return SendMessageA(GetParent(h.Handle()), WM_NOTIFY, a.hdr.idFrom, reinterpret_cast<LPARAM>(&a));
  };
  endEdit(1, nullptr);
  ASSERT_EQ(cancelled.size(), 1u);
  EXPECT_EQ(cancelled[0], h.list->Item(1));
  endEdit(-1, nullptr);
  EXPECT_EQ(cancelled.size(), 1u) << "no row, no event";
  EXPECT_EQ(endEdit(1, "Zèbre.txt"), TRUE);
  EXPECT_EQ(cancelled.size(), 1u);
  EXPECT_EQ(h.list->Item(1)->Caption, "Zèbre.txt");
}

// A view that shows its arrow bitmaps.
class TArrowListView : public TCustomEnhListView {
public:
  using TCustomEnhListView::TCustomEnhListView;
  std::vector<COLORREF> Arrow(bool ascending) const {
    std::vector<COLORREF> px;
    HBITMAP bmp = ArrowBitmap(ascending);
    if (!bmp) return px;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < ArrowSize(); ++y)
      for (int x = 0; x < ArrowSize(); ++x) px.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return px;
  }
};

// Reversed arrows swap the two drawings: the ascending arrow then looks as
// the descending one did, and the other way round.
TEST(EnhListView, ReversedSortArrowsSwapTheTwoDrawings) {
  THostedList<TArrowListView> h([](TArrowListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
    lv.SetShowSortArrows(true);
  });
  const auto up = h.list->Arrow(true), down = h.list->Arrow(false);
  ASSERT_FALSE(up.empty());
  ASSERT_NE(up, down);
  h.list->SetReverseSortArrows(true);
  EXPECT_EQ(h.list->Arrow(true), down);
  EXPECT_EQ(h.list->Arrow(false), up);
  h.list->SetReverseSortArrows(false);
  EXPECT_EQ(h.list->Arrow(true), up);
}

// ---- Saved settings

TEST(EnhListViewSettings, FirstRunWritesStringsAndNextRunRestoresThem) {
  TTestKey key;
  {
    THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
      Fill(lv);
      lv.SetAutoColumnSort(acsSortToggle);
      lv.SaveSettings().RegistryKey = key.Key();
      lv.SaveSettings().AutoSave = true;
    });
    ClickHeader(h.Handle(), 2);
    ClickHeader(h.Handle(), 2);
    h.list->SetColumnWidth(1, 95);
    // The window goes first (as when the list is re-created): it saves.
    h.list->DestroyHandle();
  }
  EXPECT_EQ(key.Read("Columns", "Sizes"), "120,95,140");
  EXPECT_EQ(key.Read("Columns", "Order"), "<none>");  // the base view keeps no order
  EXPECT_EQ(key.Read("Sort", "Ascending"), "0");
  EXPECT_EQ(key.Read("Sort", "SortCol"), "2");
  EXPECT_EQ(key.Read("ViewStyle", "ViewStyle"), "3");

  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSortToggle);
    lv.SaveSettings().RegistryKey = key.Key();
    lv.SaveSettings().AutoSave = true;
  });
  EXPECT_EQ(h.list->ColumnWidth(1), 95);
  EXPECT_EQ(h.list->SortColumn(), 2);
  EXPECT_FALSE(h.list->SortAscending());
  EXPECT_EQ(ListText(h.Handle(), 0, 2), "31/12/2010 08:00:00");
}

TEST(EnhListViewSettings, JunkValuesAreIgnored) {
  TTestKey key;
  key.Write("Columns", "Sizes", "150,abc,40");
  key.Write("Sort", "Ascending", "x");
  key.Write("Sort", "SortCol", "9");
  key.Write("ViewStyle", "ViewStyle", "7");
  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SetAutoColumnSort(acsSort);
    lv.SaveSettings().RegistryKey = key.Key();
    lv.SaveSettings().AutoSave = true;
  });
  EXPECT_EQ(h.list->ColumnWidth(0), 150);
  EXPECT_EQ(h.list->ColumnWidth(1), 80);
  EXPECT_EQ(h.list->ColumnWidth(2), 40);
  EXPECT_EQ(h.list->SortColumn(), 2);  // 9 of 3 columns: the last one
  EXPECT_TRUE(h.list->SortAscending());
  EXPECT_EQ(h.list->ViewStyle(), vsReport);

  key.Write("Columns", "Sizes", "-1,10,10");
  key.Write("Sort", "SortCol", "-5");
  EXPECT_TRUE(h.list->AutoLoadSettings());
  EXPECT_EQ(h.list->ColumnWidth(1), 80);
  EXPECT_EQ(h.list->SortColumn(), 0);
}

TEST(EnhListViewSettings, NothingIsWrittenWithoutAutoSaveOrColumns) {
  TTestKey key;
  {
    THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
      Fill(lv);
      lv.SaveSettings().RegistryKey = key.Key();
    });
    EXPECT_FALSE(h.list->AutoLoadSettings());
    h.list->DestroyHandle();
  }
  {
    THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
      lv.SaveSettings().RegistryKey = key.Key();
      lv.SaveSettings().AutoSave = true;
    });
    h.list->DestroyHandle();
  }
  EXPECT_FALSE(qv::fw::Registry::KeyExists(key.Key()));
}

TEST(EnhListView, ColourReachesTheListBackground) {
  THostedList<TCustomEnhListView> h([](TCustomEnhListView& lv) { Fill(lv); });
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(h.Handle(), LVM_GETBKCOLOR, 0, 0)), GetSysColor(COLOR_WINDOW));
  h.list->SetColor(qv::fw::clBtnFace);  // the switched-off list
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(h.Handle(), LVM_GETBKCOLOR, 0, 0)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(h.Handle(), LVM_GETTEXTBKCOLOR, 0, 0)), GetSysColor(COLOR_BTNFACE));
}

TEST(EnhListView, ReportsItsVersion) {
  THostedList<TCustomEnhListView> h;
  EXPECT_EQ(h.list->Version(), "TQsEnhListView v3.72");
}

// Each of the four view styles stored is the one the list takes.
TEST(EnhListViewSettings, AStoredViewStyleFromZeroToThreeIsTaken) {
  TTestKey key;
  THostedList<TCustomEnhListView> h([&](TCustomEnhListView& lv) {
    Fill(lv);
    lv.SaveSettings().RegistryKey = key.Key();
    lv.SaveSettings().AutoSave = true;
  });
  for (TViewStyle v : {vsIcon, vsSmallIcon, vsList, vsReport}) {
    key.Write("ViewStyle", "ViewStyle", std::to_string(static_cast<int>(v)));
    EXPECT_TRUE(h.list->AutoLoadSettings());
    EXPECT_EQ(h.list->ViewStyle(), v);
    const LONG platform[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    EXPECT_EQ(GetWindowLongA(h.Handle(), GWL_STYLE) & LVS_TYPEMASK, platform[v]);
  }
}
