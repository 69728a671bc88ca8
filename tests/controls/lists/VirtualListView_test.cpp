// The list in virtual mode: real painting asks only for the visible rows
// (with a cache hint first), requests answered in A and W forms, the
// LVITEM contract (cut texts, state bits, the handler's mask), caption
// edits, find requests, and no per-row work when the window is re-created.
#include "controls/lists/ExtListView.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <map>
#include <set>

#include "framework/ImageList.h"
#include "tests/common/ListViewHost.h"

using namespace qv::controls;
using namespace qv::test;

namespace {

// Counts the requests and the per-row state messages the window receives.
class TCountingList : public TQsExtListView {
public:
  using TQsExtListView::TQsExtListView;
  int WideRequests = 0, NarrowRequests = 0;
  std::map<UINT, int> Messages;
  int SetStateAll = 0;

  void VMGetDispInfo(LVITEMA& item, bool wide) override {
    ++(wide ? WideRequests : NarrowRequests);
    TQsExtListView::VMGetDispInfo(item, wide);
  }
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    ++Messages[msg];
    if (msg == LVM_SETITEMSTATE && static_cast<int>(wp) == -1) ++SetStateAll;
    return TQsExtListView::WndProc(msg, wp, lp);
  }
  int PerRowMessages() const {
    int n = 0;
    for (UINT m : {LVM_GETITEMSTATE, LVM_SETITEMSTATE, LVM_GETITEMA, LVM_SETITEMA, LVM_GETITEMW, LVM_SETITEMW}) {
      const auto it = Messages.find(m);
      if (it != Messages.end()) n += it->second;
    }
    return n;
  }
};

struct TVirtual {
  std::vector<int> rowsAsked;
  std::vector<std::pair<int, int>> hints;
  THostedList<TCountingList> h;

  explicit TVirtual(int rows)
      : h([this, rows](TCountingList& lv) {
          lv.AddColumn("Nom", 120);
          lv.AddColumn("Taille", 80);
          lv.AddColumn("Type", 120);
          lv.SetVirtualMode(true);
          lv.OnVMGetItemInfo = [this](qv::fw::TComponent&, int item, int sub, TLVVMMaskItems& mask, int& image,
                                      WORD&, WORD&, LPARAM&, UINT&, UINT&, int&, std::string& text) {
            rowsAsked.push_back(item);
            if (mask & lvifText) text = "r" + std::to_string(item) + "c" + std::to_string(sub);
            if (mask & lvifImage) image = -1;
          };
          lv.OnVMCacheHint = [this](qv::fw::TComponent&, NMLVCACHEHINT& hint) {
            hints.emplace_back(hint.iFrom, hint.iTo);
          };
          lv.SetVirtualItemCount(rows, LVSICF_NOSCROLL);
        }) {}
  HWND Handle() const { return h.Handle(); }
  TCountingList& List() { return *h.list; }
};

// A notification as the list would send it to its parent.
LRESULT SendNotify(HWND list, NMHDR& hdr, UINT code) {
  hdr.hwndFrom = list;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
  hdr.code = code;
  return SendMessageA(GetParent(list), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

}  // namespace

TEST(VirtualListView, PaintingAsksForTheVisibleRowsOnly) {
  TVirtual v(100000);
  v.rowsAsked.clear();
  v.hints.clear();
  PaintNow(v.Handle());
  ASSERT_FALSE(v.rowsAsked.empty());
  const int perPage = static_cast<int>(SendMessageA(v.Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
  for (int r : v.rowsAsked) EXPECT_LE(r, perPage + 1);
  EXPECT_LE(v.rowsAsked.size(), static_cast<size_t>((perPage + 2) * 3 * 2));
  EXPECT_EQ(ListText(v.Handle(), 99999, 2), "r99999c2");
  // Scrolled to the end, the rows shown there are asked for.
  SendMessageA(v.Handle(), LVM_ENSUREVISIBLE, 99999, FALSE);
  v.rowsAsked.clear();
  PaintNow(v.Handle());
  ASSERT_FALSE(v.rowsAsked.empty());
  for (int r : v.rowsAsked) EXPECT_GE(r, 99999 - perPage - 1);
  if (!v.hints.empty()) {
    EXPECT_LE(v.hints.back().first, v.hints.back().second);
  }
}

TEST(VirtualListView, TextsReachTheListInBothForms) {
  TVirtual v(50);
  EXPECT_EQ(ListText(v.Handle(), 7, 1), "r7c1");
  EXPECT_GT(v.List().NarrowRequests, 0);
  // A list that notifies in UTF-16 gets the same texts.
  SendMessageA(v.Handle(), LVM_SETUNICODEFORMAT, TRUE, 0);
  v.List().WideRequests = 0;
  EXPECT_EQ(ListText(v.Handle(), 8, 2), "r8c2");
  EXPECT_GT(v.List().WideRequests, 0);
  SendMessageA(v.Handle(), LVM_SETUNICODEFORMAT, FALSE, 0);
}

TEST(VirtualListView, TextsAreCutToTheBufferAndTerminated) {
  TVirtual v(5);
  v.List().OnVMGetItemInfo = [](qv::fw::TComponent&, int, int, TLVVMMaskItems&, int&, WORD&, WORD&, LPARAM&, UINT&,
                                UINT&, int&, std::string& text) { text = "\xC9t\xE9 \xE0 No\xEBl.txt"; };
  char narrow[8];
  std::memset(narrow, 'x', sizeof narrow);
  NMLVDISPINFOA a{};
  a.item.mask = LVIF_TEXT;
  a.item.iItem = 1;
  a.item.pszText = narrow;
  a.item.cchTextMax = 5;
  SendNotify(v.Handle(), a.hdr, LVN_GETDISPINFOA);
  EXPECT_STREQ(narrow, "\xC9t\xE9 ");
  EXPECT_EQ(narrow[5], 'x');  // nothing written past the buffer

  wchar_t wide[8];
  std::wmemset(wide, L'x', 8);
  NMLVDISPINFOW w{};
  w.item.mask = LVIF_TEXT;
  w.item.iItem = 1;
  w.item.pszText = wide;
  w.item.cchTextMax = 6;
  SendNotify(v.Handle(), w.hdr, LVN_GETDISPINFOW);
  EXPECT_STREQ(wide, L"\u00C9t\u00E9 \u00E0");
  EXPECT_EQ(wide[6], L'x');
}

TEST(VirtualListView, StateBitsAndMaskComeFromTheHandler) {
  TVirtual v(5);
  WORD overlay = 0, stateImage = 0;
  TLVVMMaskItems keep = lvifText | lvifImage | lvifState;
  v.List().OnVMGetItemInfo = [&](qv::fw::TComponent&, int, int, TLVVMMaskItems& mask, int& image, WORD& ov,
                                 WORD& si, LPARAM&, UINT&, UINT&, int&, std::string&) {
    mask &= keep;
    image = 3;
    ov = overlay;
    si = stateImage;
  };
  NMLVDISPINFOA a{};
  a.item.mask = LVIF_IMAGE | LVIF_STATE | LVIF_INDENT | LVIF_DI_SETITEM;
  a.item.iItem = 2;
  a.item.state = 0xFFFFFFFF;
  a.item.stateMask = 0xF00;
  SendNotify(v.Handle(), a.hdr, LVN_GETDISPINFOA);
  // Zero overlay and state image clear their bits.
  EXPECT_EQ(a.item.state, 0xF00000FFu);
  EXPECT_EQ(a.item.iImage, 3);
  EXPECT_EQ(a.item.stateMask, 0xF00u);
  EXPECT_EQ(a.item.mask, static_cast<UINT>(LVIF_IMAGE | LVIF_STATE));  // the handler dropped the indent

  overlay = 2;
  stateImage = 1;
  keep = lvifState;
  a.item.mask = LVIF_STATE;
  a.item.state = LVIS_SELECTED;
  SendNotify(v.Handle(), a.hdr, LVN_GETDISPINFOA);
  EXPECT_EQ(a.item.state, static_cast<UINT>(LVIS_SELECTED | INDEXTOOVERLAYMASK(2) | INDEXTOSTATEIMAGEMASK(1)));
}

TEST(VirtualListView, RequestsForNoRowOrWithoutHandlerAreLeftAlone) {
  TVirtual v(5);
  char buf[16] = "keep";
  NMLVDISPINFOA a{};
  a.item.mask = LVIF_TEXT | LVIF_IMAGE;
  a.item.iItem = -1;
  a.item.iImage = 9;
  a.item.pszText = buf;
  a.item.cchTextMax = sizeof buf;
  SendNotify(v.Handle(), a.hdr, LVN_GETDISPINFOA);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(a.item.iImage, 9);
  v.List().OnVMGetItemInfo = nullptr;
  a.item.iItem = 1;
  SendNotify(v.Handle(), a.hdr, LVN_GETDISPINFOA);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(a.item.mask, static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE));
}

TEST(VirtualListView, CaptionEditsAndFindRequestsInBothForms) {
  TVirtual v(5);
  std::vector<std::tuple<int, bool, std::string>> edits;
  v.List().OnVMCaptionEdited = [&](qv::fw::TComponent&, int item, bool canceled, const std::string& text) {
    edits.emplace_back(item, canceled, text);
  };
  NMLVDISPINFOW w{};
  w.item.iItem = 3;
  SendNotify(v.Handle(), w.hdr, LVN_ENDLABELEDITW);
  wchar_t name[] = L"\u00E9t\u00E9.txt";
  w.item.pszText = name;
  SendNotify(v.Handle(), w.hdr, LVN_ENDLABELEDITW);
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[0], std::make_tuple(3, true, std::string()));
  EXPECT_EQ(edits[1], std::make_tuple(3, false, std::string("\xE9t\xE9.txt")));

  std::string asked;
  v.List().OnVMFindItem = [&](qv::fw::TComponent&, NMLVFINDITEMA& info, int& found) {
    asked = info.lvfi.psz ? info.lvfi.psz : "";
    found = 4;
  };
  NMLVFINDITEMW f{};
  f.hdr.hwndFrom = v.Handle();
  f.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(v.Handle()));
  f.hdr.code = LVN_ODFINDITEMW;
  f.lvfi.flags = LVFI_STRING | LVFI_PARTIAL;
  f.lvfi.psz = L"\u00E9t";
  EXPECT_EQ(SendMessageA(GetParent(v.Handle()), WM_NOTIFY, f.hdr.idFrom, reinterpret_cast<LPARAM>(&f)), 4);
  EXPECT_EQ(asked, "\xE9t");
}

TEST(VirtualListView, RecreationAndSelectionDoNoPerRowWork) {
  TVirtual v(100000);
  auto& lv = v.List();
  lv.Messages.clear();
  lv.SetStyle(lvOwnerDrawFixed);  // window destroyed and made again
  qv::fw::TImageList states(nullptr);
  states.Create(16, 16);
  lv.SetStateImages(&states);  // saves and restores item states outside virtual mode
  EXPECT_EQ(lv.ItemCount(), 100000);
  EXPECT_LT(lv.PerRowMessages(), 50);
  lv.SelectItem(99998);
  lv.SelectItem(5);
  EXPECT_EQ(lv.SetStateAll, 0);
  EXPECT_EQ(lv.Selected(), 5);
  lv.SetStateImages(nullptr);
}

TEST(VirtualListView, TypeAheadAsksOneColumnOfTheRowsItPasses) {
  TVirtual v(1000);
  auto& lv = v.List();
  lv.SetColumnSearch(true);
  lv.SetSortColumn(0);
  v.rowsAsked.clear();
  EXPECT_TRUE(lv.FindItemStartingWith("r12c", 0));
  EXPECT_EQ(lv.Selected(), 12);
  // Rows 1..12 once each for the search, starting after row 0 as nothing
  // is selected (selecting may ask for row 12 again).
  EXPECT_EQ(std::set<int>(v.rowsAsked.begin(), v.rowsAsked.end()).size(), 12u);
  EXPECT_EQ(*std::min_element(v.rowsAsked.begin(), v.rowsAsked.end()), 1);
  EXPECT_EQ(*std::max_element(v.rowsAsked.begin(), v.rowsAsked.end()), 12);
  EXPECT_LE(v.rowsAsked.size(), 16u);
  // The cell of a display position follows the header order.
  lv.StoreColumnOrder({2, 0, 1});
  EXPECT_EQ(lv.GetCellText(3, -1), "r3c2");
  EXPECT_EQ(lv.GetCellText(3, 0), "r3c0");
}

TEST(VirtualListView, AnItemObjectIsFilledByOneRequestPerColumn) {
  TVirtual v(100000);
  auto& lv = v.List();
  struct TAsked {
    int item, sub;
    TLVVMMaskItems mask;
  };
  std::vector<TAsked> asked;
  bool withholdImage = false;
  lv.OnVMGetItemInfo = [&](qv::fw::TComponent&, int item, int sub, TLVVMMaskItems& mask, int& image, WORD&, WORD&,
                           LPARAM& param, UINT&, UINT&, int& indent, std::string& text) {
    asked.push_back({item, sub, mask});
    if (mask & lvifText) text = "r" + std::to_string(item) + "c" + std::to_string(sub);
    if (sub == 0) {
      image = 7;
      param = 0x5151;
      indent = 2;
      if (withholdImage) mask &= ~static_cast<TLVVMMaskItems>(lvifImage);
    }
  };
  const TListItem* it = lv.Item(99999);
  ASSERT_NE(it, nullptr);
  ASSERT_EQ(asked.size(), 3u) << "one request per column, no row walked";
  EXPECT_EQ(asked[0].item, 99999);
  EXPECT_EQ(asked[0].sub, 0);
  EXPECT_EQ(asked[0].mask, 0x1Fu);
  EXPECT_EQ(asked[1].sub, 1);
  EXPECT_EQ(asked[1].mask, static_cast<TLVVMMaskItems>(lvifText));
  EXPECT_EQ(asked[2].sub, 2);
  EXPECT_EQ(it->Caption, "r99999c0");
  EXPECT_EQ(it->SubItems, (std::vector<std::string>{"r99999c1", "r99999c2"}));
  EXPECT_EQ(it->ImageIndex, 7);
  EXPECT_EQ(it->Data, reinterpret_cast<void*>(0x5151));
  EXPECT_EQ(it->Indent, 2);
  // A value the owner withholds is not taken; the object is filled afresh.
  withholdImage = true;
  it = lv.Item(3);
  ASSERT_NE(it, nullptr);
  EXPECT_EQ(it->Caption, "r3c0");
  EXPECT_EQ(it->ImageIndex, -1);
  // No such row.
  asked.clear();
  EXPECT_EQ(lv.Item(100000), nullptr);
  EXPECT_EQ(lv.Item(-1), nullptr);
  EXPECT_TRUE(asked.empty());
  // Deleting goes through the owner's count, never through an item object.
  lv.DeleteItem(3);
  EXPECT_EQ(lv.ItemCount(), 100000);
}
