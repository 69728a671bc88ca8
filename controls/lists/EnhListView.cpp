// The enhanced list view: window, columns, rows, notifications, settings.
// Sorting and searching are in EnhListViewSort.cpp, the header and the
// owner-drawn rows in EnhListViewPaint.cpp.
#include "controls/lists/EnhListView.h"

#include <algorithm>

#include "controls/lists/detail/ListViewText.h"
#include "framework/Registry.h"

namespace qv::controls {

using namespace qv::fw;
using detail::CopyOut;
using detail::FromWide;

namespace {

int ToLvcfmt(TAlignment a) {
  switch (a) {
    case TAlignment::RightJustify: return LVCFMT_RIGHT;
    case TAlignment::Center: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

DWORD ViewBits(TViewStyle v) {
  switch (v) {
    case vsIcon: return LVS_ICON;
    case vsSmallIcon: return LVS_SMALLICON;
    case vsList: return LVS_LIST;
    default: return LVS_REPORT;
  }
}

}  // namespace

TCustomEnhListView::TCustomEnhListView(TComponent* owner)
    : TWinControl(owner), m_settings(std::make_unique<TQsEnhLVSaveSettings>()) {
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  m_smallLink.OnChange = [this] {
    SetImageListHandle(LVSIL_SMALL, SmallImages());
    SmallImagesChanged();
  };
  m_largeLink.OnChange = [this] { SetImageListHandle(LVSIL_NORMAL, LargeImages()); };
  m_stateLink.OnChange = [this] { SetImageListHandle(LVSIL_STATE, StateImages()); };
}

TCustomEnhListView::~TCustomEnhListView() {
  MarkDestroying();
  UnsubclassHeader();
  DestroyHandle();
  FreeArrowBitmaps();
}

std::string TCustomEnhListView::GetVersion() const { return "TQsEnhListView v3.72"; }

// ---- Window

void TCustomEnhListView::CreateParams(TCreateParams& p) {
  p.ClassName = WC_LISTVIEWA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_SHAREIMAGELISTS | ViewBits(m_viewStyle);
  if (!m_hideSelection) p.Style |= LVS_SHOWSELALWAYS;
  if (!m_multiSelect) p.Style |= LVS_SINGLESEL;
  if (!m_readOnly) p.Style |= LVS_EDITLABELS;
  if (m_style == lvOwnerDrawFixed) p.Style |= LVS_OWNERDRAWFIXED;
  p.ExStyle = WS_EX_CLIENTEDGE;
}

void TCustomEnhListView::CreateWnd() {
  m_creating = true;
  ApplyColor();
  SubclassHeader();
  for (int i = 0; i < ColumnCount(); ++i) ColumnToWindow(i);
  ImageListsToWindow();
  ItemsToWindow();
  m_creating = false;
  if (!Loading()) m_updateCount = 0;
  if (m_style == lvOwnerDrawFixed) RemeasureRows();
  if (!Loading()) ReapplyHeaderOwnerDraw();
}

void TCustomEnhListView::DestroyWnd() {}

void TCustomEnhListView::RecreateWnd() {
  if (!HandleAllocated() || m_creating) return;
  DestroyHandle();
  HandleNeeded();
}

void TCustomEnhListView::Loaded() {
  TWinControl::Loaded();
  if (!m_creating) EnsureHandle();
  m_updateCount = 0;
  const bool sortLoaded = AutoLoadSettings() && m_settings->SaveCurrentSort;
  if (!sortLoaded) {
    if (ColumnCount() > 0) PutSortColumn(0);
    ResortItems();
  }
  if (HandleAllocated()) PostMessageA(HandleIfAllocated(), kReapplyHeaderMessage, 0, 0);
}

void TCustomEnhListView::EnsureHandle() {
  if (!Parent()) return;
  // The oldest ancestor without a window makes the whole tree at once: a
  // child asked first would be made twice (once by its parent's creation).
  TWinControl* top = nullptr;
  for (TWinControl* p = Parent(); p && !p->HandleAllocated(); p = p->Parent()) top = p;
  if (top) top->HandleNeeded();
  HandleNeeded();
}

void TCustomEnhListView::ColumnToWindow(int index) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  const TListColumn& c = m_columns[static_cast<size_t>(index)];
  LVCOLUMNA col{};
  col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.fmt = ToLvcfmt(c.Alignment);
  col.cx = c.Width;
  col.pszText = const_cast<char*>(c.Caption.c_str());
  col.iSubItem = index;
  SendMessageA(h, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
}

void TCustomEnhListView::ImageListsToWindow() {
  SetImageListHandle(LVSIL_SMALL, SmallImages());
  SetImageListHandle(LVSIL_NORMAL, LargeImages());
  SetImageListHandle(LVSIL_STATE, StateImages());
}

void TCustomEnhListView::SetImageListHandle(int which, TImageList* images) {
  if (HWND h = HandleIfAllocated())
    SendMessageA(h, LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                 reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TCustomEnhListView::ItemsToWindow() {
  HWND h = HandleIfAllocated();
  if (!h || OwnerData()) return;
  SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  for (size_t i = 0; i < m_items.size(); ++i) InsertCallbackRow(h, static_cast<int>(i), m_items[i].get());
  SendMessageA(h, WM_SETREDRAW, TRUE, 0);
}

void TCustomEnhListView::CollectItemOrder() {
  HWND h = HandleIfAllocated();
  if (!h || OwnerData()) return;
  const int n = static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0));
  if (n != static_cast<int>(m_items.size())) return;
  std::vector<std::unique_ptr<TListItem>> ordered;
  ordered.reserve(m_items.size());
  for (int i = 0; i < n; ++i) {
    TListItem* it = Item(i);
    auto found = std::find_if(m_items.begin(), m_items.end(), [&](const auto& p) { return p.get() == it; });
    if (found == m_items.end() || !*found) return;
    ordered.push_back(std::move(*found));
  }
  m_items = std::move(ordered);
}

void TCustomEnhListView::SyncColumnWidthsFromWindow() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  for (int i = 0; i < ColumnCount(); ++i) {
    const int w = static_cast<int>(SendMessageA(h, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    m_columns[static_cast<size_t>(i)].Width = w;
  }
}

void TCustomEnhListView::RemeasureRows() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  // The platform measures owner-drawn rows only when it is resized.
  WINDOWPOS wp{};
  wp.hwnd = h;
  wp.cx = Width();
  wp.cy = Height();
  wp.flags = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE;
  SendMessageA(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

int TCustomEnhListView::InsertCallbackRow(HWND h, int index, TListItem* item) const {
  LVITEMA lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  lv.iItem = index;
  lv.pszText = LPSTR_TEXTCALLBACKA;
  lv.iImage = I_IMAGECALLBACK;
  lv.lParam = reinterpret_cast<LPARAM>(item);
  const int at = static_cast<int>(SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
  for (int c = 1; c < ColumnCount(); ++c) {
    LVITEMA sub{};
    sub.iSubItem = c;
    sub.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sub));
  }
  return at;
}

// ---- Columns

TListColumn& TCustomEnhListView::AddColumn(const std::string& caption, int width, TAlignment alignment) {
  m_columns.push_back(TListColumn{caption, width, alignment});
  const int index = ColumnCount() - 1;
  if (HWND h = HandleIfAllocated()) {
    ColumnToWindow(index);
    if (!OwnerData() && index > 0) {
      for (int i = 0; i < static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0)); ++i) {
        LVITEMA sub{};
        sub.iSubItem = index;
        sub.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&sub));
      }
    }
    ReapplyHeaderOwnerDraw();
  }
  return m_columns.back();
}

void TCustomEnhListView::ClearColumns() {
  if (HWND h = HandleIfAllocated())
    while (SendMessageA(h, LVM_DELETECOLUMN, 0, 0)) {
    }
  m_columns.clear();
}

const TListColumn& TCustomEnhListView::Column(int index) const {
  TListColumn& c = m_columns.at(static_cast<size_t>(index));
  if (HWND h = HandleIfAllocated()) c.Width = static_cast<int>(SendMessageA(h, LVM_GETCOLUMNWIDTH, index, 0));
  return c;
}

int TCustomEnhListView::ColumnWidth(int index) const {
  if (index < 0 || index >= ColumnCount()) return 0;
  return Column(index).Width;
}

void TCustomEnhListView::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= ColumnCount()) return;
  if (HWND h = HandleIfAllocated()) {
    SendMessageA(h, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0));
    m_columns[static_cast<size_t>(index)].Width =
        static_cast<int>(SendMessageA(h, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
  } else if (width >= 0) {
    m_columns[static_cast<size_t>(index)].Width = width;
  }
}

void TCustomEnhListView::SetColumnCaption(int index, const std::string& caption) {
  if (index < 0 || index >= ColumnCount()) return;
  m_columns[static_cast<size_t>(index)].Caption = caption;
  if (HWND h = HandleIfAllocated()) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(h, LVM_SETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
    ReapplyHeaderOwnerDraw();
  }
}

std::vector<int> TCustomEnhListView::CurrentOrder() const { return IdentityOrder(ColumnCount()); }

std::vector<int> TCustomEnhListView::WidthsInDisplayOrder() const {
  std::vector<int> widths;
  const std::vector<int> order = CurrentOrder();
  for (int p = 0; p < ColumnCount(); ++p) {
    const int c = p < static_cast<int>(order.size()) ? order[static_cast<size_t>(p)] : p;
    widths.push_back(ColumnWidth(c));
  }
  return widths;
}

void TCustomEnhListView::ApplyWidthsInDisplayOrder(const std::vector<int>& widths) {
  const std::vector<int> order = CurrentOrder();
  for (size_t p = 0; p < widths.size() && p < order.size(); ++p) SetColumnWidth(order[p], widths[p]);
}

// ---- Rows

int TCustomEnhListView::ItemCount() const {
  if (HWND h = HandleIfAllocated()) return static_cast<int>(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0));
  return static_cast<int>(m_items.size());
}

TListItem& TCustomEnhListView::AddItem(const std::string& caption) { return InsertItem(-1, caption); }

TListItem& TCustomEnhListView::InsertItem(int index, const std::string& caption) {
  auto owned = std::make_unique<TListItem>();
  TListItem* it = owned.get();
  it->Caption = caption;
  const int count = static_cast<int>(m_items.size());
  if (index < 0 || index > count) index = count;
  if (HWND h = HandleIfAllocated(); h && !OwnerData()) {
    m_items.push_back(std::move(owned));
    InsertCallbackRow(h, index, it);
  } else {
    m_items.insert(m_items.begin() + index, std::move(owned));
  }
  if (m_autoResort) ResortItems();
  return *it;
}

void TCustomEnhListView::DeleteItem(int index) {
  if (OwnerData()) return;  // the owner's rows: it changes the count
  TListItem* it = Item(index);
  if (!it) return;
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  m_items.erase(std::remove_if(m_items.begin(), m_items.end(), [&](const auto& p) { return p.get() == it; }),
                m_items.end());
}

void TCustomEnhListView::ClearItems() {
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_DELETEALLITEMS, 0, 0);
  m_items.clear();
}

TListItem* TCustomEnhListView::Item(int index) const {
  if (index < 0) return nullptr;
  if (OwnerData()) return OwnerDataItem(index);
  if (HWND h = HandleIfAllocated()) {
    LVITEMA lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = index;
    if (!SendMessageA(h, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return nullptr;
    return reinterpret_cast<TListItem*>(lv.lParam);
  }
  return index < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(index)].get() : nullptr;
}

int TCustomEnhListView::IndexOf(const TListItem* item) const {
  if (!item) return -1;
  if (HWND h = HandleIfAllocated()) {
    LVFINDINFOA fi{};
    fi.flags = LVFI_PARAM;
    fi.lParam = reinterpret_cast<LPARAM>(item);
    return static_cast<int>(SendMessageA(h, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&fi)));
  }
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TCustomEnhListView::UpdateItem(int index) {
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_UPDATE, static_cast<WPARAM>(index), 0);
}

int TCustomEnhListView::Selected() const {
  HWND h = HandleIfAllocated();
  return h ? static_cast<int>(SendMessageA(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

int TCustomEnhListView::ItemFocused() const {
  HWND h = HandleIfAllocated();
  return h ? static_cast<int>(SendMessageA(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)) : -1;
}

bool TCustomEnhListView::ItemSelected(int index) const {
  HWND h = HandleIfAllocated();
  return h && (SendMessageA(h, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void TCustomEnhListView::SelectItem(int index) { SelectAndFocus(index); }

void TCustomEnhListView::SelectAndFocus(int index) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  // Only the selected rows are visited: "all rows" (-1) costs a call per
  // row in a large virtual list.
  LVITEMA off{};
  off.stateMask = LVIS_SELECTED;
  for (int i = static_cast<int>(SendMessageA(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); i >= 0;
       i = static_cast<int>(SendMessageA(h, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) {
    if (i == index) continue;
    SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&off));
  }
  if (index < 0) return;
  LVITEMA on{};
  on.state = on.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&on));
  SendMessageA(h, LVM_SETSELECTIONMARK, 0, index);
  ScrollIntoView(index);
}

void TCustomEnhListView::ScrollIntoView(int index) {
  if (HWND h = HandleIfAllocated()) SendMessageA(h, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

int TCustomEnhListView::TopIndex() const {
  HWND h = HandleIfAllocated();
  return h ? static_cast<int>(SendMessageA(h, LVM_GETTOPINDEX, 0, 0)) : 0;
}

void TCustomEnhListView::ItemDispInfo(LVITEMA& lv, bool wide, wchar_t* wideText) {
  auto* it = reinterpret_cast<TListItem*>(lv.lParam);
  if (!it) it = Item(lv.iItem);
  if (!it) return;
  if (lv.mask & LVIF_TEXT) {
    const std::string* text = nullptr;
    static const std::string empty;
    if (lv.iSubItem == 0) {
      text = &it->Caption;
    } else {
      const size_t k = static_cast<size_t>(lv.iSubItem - 1);
      text = k < it->SubItems.size() ? &it->SubItems[k] : &empty;
    }
    if (wide)
      CopyOut(*text, wideText, lv.cchTextMax, true);
    else
      CopyOut(*text, lv.pszText, lv.cchTextMax, false);
  }
  if ((lv.mask & LVIF_IMAGE) && lv.iSubItem == 0) lv.iImage = it->ImageIndex;
  if (lv.mask & LVIF_INDENT) lv.iIndent = it->Indent;
  if (lv.mask & LVIF_STATE) lv.state &= ~static_cast<UINT>(LVIS_OVERLAYMASK);
}

// ---- Properties that shape the window

void TCustomEnhListView::SetViewStyle(TViewStyle v) {
  if (v == m_viewStyle) return;
  m_viewStyle = v;
  if (HWND h = HandleIfAllocated()) {
    LONG_PTR st = GetWindowLongPtrA(h, GWL_STYLE);
    st = (st & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ViewBits(v);
    SetWindowLongPtrA(h, GWL_STYLE, st);
    if (!m_header) SubclassHeader();
    Invalidate();
  }
}

void TCustomEnhListView::SetHideSelection(bool v) {
  if (v == m_hideSelection) return;
  m_hideSelection = v;
  RecreateWnd();
}

void TCustomEnhListView::SetMultiSelect(bool v) {
  if (v == m_multiSelect) return;
  m_multiSelect = v;
  RecreateWnd();
}

void TCustomEnhListView::SetReadOnly(bool v) {
  if (v == m_readOnly) return;
  m_readOnly = v;
  if (HWND h = HandleIfAllocated()) {
    LONG_PTR st = GetWindowLongPtrA(h, GWL_STYLE);
    st = v ? (st & ~static_cast<LONG_PTR>(LVS_EDITLABELS)) : (st | LVS_EDITLABELS);
    SetWindowLongPtrA(h, GWL_STYLE, st);
  }
}

void TCustomEnhListView::SetStyle(TLVStyle v) {
  if (v == m_style) return;
  m_style = v;
  RecreateWnd();
}

void TCustomEnhListView::SetSmallImages(TImageList* images) {
  if (images == SmallImages()) return;
  if (SmallImages()) RemoveFreeNotification(SmallImages());
  m_smallLink.SetImages(images);
  if (images) FreeNotification(images);
  SetImageListHandle(LVSIL_SMALL, images);
  if (m_style == lvOwnerDrawFixed && !Loading()) RemeasureRows();
  SmallImagesChanged();
}

void TCustomEnhListView::SmallImagesChanged() {}

void TCustomEnhListView::SetLargeImages(TImageList* images) {
  if (images == LargeImages()) return;
  if (LargeImages()) RemoveFreeNotification(LargeImages());
  m_largeLink.SetImages(images);
  if (images) FreeNotification(images);
  SetImageListHandle(LVSIL_NORMAL, images);
}

void TCustomEnhListView::SetStateImages(TImageList* images) {
  if (images == StateImages()) return;
  if (StateImages()) RemoveFreeNotification(StateImages());
  m_stateLink.SetImages(images);
  if (images) FreeNotification(images);
  SetImageListHandle(LVSIL_STATE, images);
}

void TCustomEnhListView::Notification(TComponent* component, TOperation op) {
  TWinControl::Notification(component, op);
  if (op != TOperation::Remove) return;
  if (component == SmallImages()) {
    m_smallLink.SetImages(nullptr);
    SetImageListHandle(LVSIL_SMALL, nullptr);
    if (!Destroying()) SmallImagesChanged();
  }
  if (component == LargeImages()) {
    m_largeLink.SetImages(nullptr);
    SetImageListHandle(LVSIL_NORMAL, nullptr);
  }
  if (component == StateImages()) {
    m_stateLink.SetImages(nullptr);
    SetImageListHandle(LVSIL_STATE, nullptr);
  }
}

// ---- Messages

LRESULT TCustomEnhListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = HandleIfAllocated();
  switch (msg) {
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (m_header && hdr->hwndFrom == m_header) {
        LRESULT r = 0;
        if (HeaderNotify(hdr, r)) return r;
        return DefaultHandler(msg, wp, lp);
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType == ODT_HEADER && m_header && dis->hwndItem == m_header) {
        DrawHeaderSection(*dis);
        return TRUE;
      }
      break;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(wp) == WM_CREATE && !m_header) {
        const LRESULT r = DefaultHandler(msg, wp, lp);
        SubclassHeader();
        return r;
      }
      break;
    case WM_DESTROY:
      if (m_creating) break;
      AutoSaveSettings();
      SyncColumnWidthsFromWindow();
      CollectItemOrder();
      UnsubclassHeader();
      break;
    case WM_SYSCOLORCHANGE:
      if (m_showSortArrows) {
        CreateSortArrowBitmaps();
        InvalidateHeaderSection(m_sortColumn);
      }
      break;
    case WM_CHAR:
      // Typed letters are ours while the type-ahead is on; the platform's
      // own search would move the selection elsewhere.
      if (m_columnSearch && wp >= 32 && wp != 127) return 0;
      break;
    case WM_KEYDOWN:
      // Ctrl + numeric-pad plus fits every column: not while columns are fixed.
      if (wp == VK_ADD && m_noColumnResize && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 &&
          GetKeyState(VK_MENU) >= 0)
        wp = VK_SUBTRACT;
      break;
    case kReapplyHeaderMessage:
      ReapplyHeaderOwnerDraw();
      if (h) InvalidateRect(h, nullptr, TRUE);
      if (m_header) InvalidateRect(m_header, nullptr, TRUE);
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(msg, wp, lp);
}

void TCustomEnhListView::ColorChanged() {
  ApplyColor();
  TWinControl::ColorChanged();
}

void TCustomEnhListView::ApplyColor() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  const COLORREF rgb = ColorToRGB(EffectiveColor());
  SendMessageA(h, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(rgb));
  SendMessageA(h, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(rgb));
}

void TCustomEnhListView::FontChanged() {
  if (m_style == lvOwnerDrawFixed && HandleAllocated()) {
    RecreateWnd();
    return;
  }
  TWinControl::FontChanged();
}

bool TCustomEnhListView::CNNotify(NMHDR* hdr, LRESULT& result) {
  result = 0;
  switch (hdr->code) {
    case LVN_COLUMNCLICK:
      ColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
      return true;
    case LVN_GETDISPINFOA:
      if (!OwnerData()) ItemDispInfo(reinterpret_cast<NMLVDISPINFOA*>(hdr)->item, false, nullptr);
      return true;
    case LVN_GETDISPINFOW:
      if (!OwnerData()) {
        // The W record has the A layout with a wide text pointer.
        LVITEMW& w = reinterpret_cast<NMLVDISPINFOW*>(hdr)->item;
        ItemDispInfo(reinterpret_cast<LVITEMA&>(w), true, w.pszText);
      }
      return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      result = m_readOnly ? TRUE : FALSE;
      return true;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      auto* a = reinterpret_cast<NMLVDISPINFOA*>(hdr);
      const bool wide = hdr->code == LVN_ENDLABELEDITW;
      const bool cancelled = a->item.pszText == nullptr;
      TListItem* it = Item(a->item.iItem);
      if (!cancelled && it) {
        it->Caption = wide ? FromWide(reinterpret_cast<NMLVDISPINFOW*>(hdr)->item.pszText) : a->item.pszText;
        result = TRUE;
        if (m_autoResort) ResortItems();
      }
      if (cancelled && a->item.iItem != -1) NotifyEditCanceled(it);
      return true;
    }
    default:
      return false;
  }
}

// ---- Settings

void TCustomEnhListView::AutoSaveSettings() {
  if (!m_settings->AutoSave || Loading()) return;
  if (Destroying() && !m_destroyingSave) return;
  WriteSettings();
}

bool TCustomEnhListView::AutoLoadSettings() {
  if (!m_settings->AutoSave) return false;
  return ReadSettings();
}

bool TCustomEnhListView::WriteSettings() {
  using namespace LVSettingsNames;
  const std::string& key = m_settings->RegistryKey;
  if (key.empty() || ColumnCount() == 0) return true;
  if (m_settings->SaveColumnSizes)
    Registry::WriteString(key + "\\" + kColumns, kSizes, JoinIntegerList(WidthsInDisplayOrder()));
  if (m_settings->SaveCurrentSort) {
    Registry::WriteString(key + "\\" + kSort, kAscending, m_sortAscending ? "1" : "0");
    Registry::WriteString(key + "\\" + kSort, kSortCol, std::to_string(m_sortColumn));
  }
  if (m_settings->SaveViewStyle)
    Registry::WriteString(key + "\\" + kViewStyle, kViewStyle, std::to_string(static_cast<int>(m_viewStyle)));
  return true;
}

bool TCustomEnhListView::ReadSettings() {
  using namespace LVSettingsNames;
  const std::string& key = m_settings->RegistryKey;
  if (key.empty()) return true;
  if (m_settings->SaveColumnSizes && ColumnCount() > 0) {
    const std::string text = Registry::ReadString(key + "\\" + kColumns, kSizes, "");
    if (!text.empty()) ApplyWidthsInDisplayOrder(ColumnSizesFromText(text, WidthsInDisplayOrder()));
  }
  ReadSortAndViewStyle();
  return true;
}

void TCustomEnhListView::ReadSortAndViewStyle() {
  using namespace LVSettingsNames;
  const std::string& key = m_settings->RegistryKey;
  if (m_settings->SaveCurrentSort) {
    const auto asc = ParseDecimal(Registry::ReadString(key + "\\" + kSort, kAscending, ""));
    const auto col = ParseDecimal(Registry::ReadString(key + "\\" + kSort, kSortCol, ""));
    BeginItemsUpdate();
    PutSortAscending(asc ? *asc != 0 : true);
    PutSortColumn(ClampSortColumn(col.value_or(0), ColumnCount()));
    ResortItems();
    EndItemsUpdate();
  }
  if (m_settings->SaveViewStyle) {
    const auto v = ParseDecimal(Registry::ReadString(key + "\\" + kViewStyle, kViewStyle, ""));
    if (v && *v >= 0 && *v <= 3) SetViewStyle(static_cast<TViewStyle>(*v));
  }
}

}  // namespace qv::controls
