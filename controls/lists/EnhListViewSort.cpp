// The enhanced list view: sorting, the sort state, type-ahead and the row
// operations that follow the current order (find, move, auto-size).
#include <algorithm>

#include "controls/lists/EnhListView.h"

namespace qv::controls {

using namespace qv::fw;

namespace {
// The sort that runs: one at a time (main thread), read by the callback.
int g_direction = 1;
int g_textColumn = -1;
}  // namespace

// ---- Sort state

void TCustomEnhListView::SetAutoColumnSort(TAutoColumnSort v) {
  if (v == m_autoColumnSort) return;
  m_autoColumnSort = v;
  if (v != acsNoSort) ResortItems();
  InvalidateHeaderSection(m_sortColumn);
}

void TCustomEnhListView::SetAutoSortStyle(TAutoSortStyle v) {
  if (v == m_autoSortStyle) return;
  m_autoSortStyle = v;
  ResortItems();
}

void TCustomEnhListView::SetAutoSortAscending(bool v) {
  if (v == m_autoSortAscending) return;
  m_autoSortAscending = v;
  PutSortAscending(v);
}

void TCustomEnhListView::SetSortAscending(bool v) {
  if (m_inColumnClick) m_ownerSetSort = true;
  PutSortAscending(v);
}

void TCustomEnhListView::SetSortColumn(int column) {
  if (m_inColumnClick) m_ownerSetSort = true;
  PutSortColumn(column);
}

void TCustomEnhListView::PutSortColumn(int column) {
  if (column == m_sortColumn) return;
  const int old = m_sortColumn;
  m_sortColumn = column;
  if (m_showSortArrows) {
    InvalidateHeaderSection(old);
    InvalidateHeaderSection(column);
  }
}

void TCustomEnhListView::PutSortAscending(bool v) {
  if (v == m_sortAscending) return;
  m_sortAscending = v;
  if (m_showSortArrows) InvalidateHeaderSection(m_sortColumn);
}

// ---- Column clicks

void TCustomEnhListView::ColumnClick(int column) {
  if (m_autoColumnSort == acsSortToggle)
    PutSortAscending(column == m_sortColumn ? !m_sortAscending : m_autoSortAscending);
  m_inColumnClick = true;
  m_ownerSetSort = false;
  try {
    if (OnColumnClick) OnColumnClick(*this, column);
  } catch (...) {
    m_inColumnClick = false;
    throw;
  }
  m_inColumnClick = false;
  // The owner sorted (a virtual list's owner holds the rows): its state stands.
  if (m_ownerSetSort) return;
  if (m_autoColumnSort != acsNoSort && column < ColumnCount()) SortByColumn(column, m_sortAscending);
  PutSortColumn(column);
}

void TCustomEnhListView::ColumnSortClick(int column, bool ascending) {
  if (m_autoColumnSort == acsSortToggle) PutSortAscending(column == m_sortColumn ? !ascending : ascending);
  InvalidateHeaderSection(column);
  SortByColumn(column, ascending);
}

// ---- Sorting

void TCustomEnhListView::NotifySortBegin(int column, bool ascending) {
  if (OnSortBegin) OnSortBegin(*this, column, ascending);
}

void TCustomEnhListView::NotifySortFinished(int column, bool ascending) {
  if (OnSortFinished) OnSortFinished(*this, column, ascending);
}

void TCustomEnhListView::SortByColumn(int column, bool ascending) {
  m_resortPending = false;
  PutSortColumn(column);
  // The status events say "descending".
  NotifySortBegin(column, !ascending);
  g_direction = ascending ? 1 : -1;
  g_textColumn = column - 1;
  if (HWND h = HandleIfAllocated()) {
    if (!OwnerData())
      SendMessageA(h, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                   reinterpret_cast<LPARAM>(&TCustomEnhListView::SortCallback));
  } else {
    std::stable_sort(m_items.begin(), m_items.end(), [this](const auto& a, const auto& b) {
      return SortCallback(reinterpret_cast<LPARAM>(a.get()), reinterpret_cast<LPARAM>(b.get()),
                          reinterpret_cast<LPARAM>(this)) < 0;
    });
  }
  NotifySortFinished(column, !ascending);
}

int CALLBACK TCustomEnhListView::SortCallback(LPARAM a, LPARAM b, LPARAM self) {
  auto* view = reinterpret_cast<TCustomEnhListView*>(self);
  auto* i1 = reinterpret_cast<TListItem*>(a);
  auto* i2 = reinterpret_cast<TListItem*>(b);
  try {
    if (view->OnSortItems) {
      int r = 0;
      view->CompareItemsByEvent(i1, i2, r, g_textColumn);
      return r;
    }
    return view->SmartCompareItems(i1, i2) * g_direction;
  } catch (...) {
    return 0;  // a failing comparison leaves the pair as it is
  }
}

namespace {
const std::string& CellOf(const TListItem& it, int textColumn) {
  static const std::string empty;
  if (textColumn < 0) return it.Caption;
  const size_t k = static_cast<size_t>(textColumn);
  return k < it.SubItems.size() ? it.SubItems[k] : empty;
}
}  // namespace

int TCustomEnhListView::SmartCompareItems(TListItem* a, TListItem* b) const {
  if (!a || !b) return 0;
  const std::string& ta = CellOf(*a, g_textColumn);
  const std::string& tb = CellOf(*b, g_textColumn);
  return m_autoSortStyle == assSmart ? CompareCellsSmart(ta, tb, m_compare) : CompareCellText(ta, tb);
}

void TCustomEnhListView::CompareItemsByEvent(TListItem* item1, TListItem* item2, int& result, int textColumn) {
  TSortAs sortAs = saNone;
  int comp = 0;
  OnSortItems(*this, item1, item2, textColumn, sortAs, comp);
  if (sortAs == saNone) {
    result = comp;
  } else if (!item1 || !item2) {
    result = 0;
  } else {
    const std::string& ta = CellOf(*item1, textColumn);
    const std::string& tb = CellOf(*item2, textColumn);
    switch (sortAs) {
      case saNumeric: result = CompareCellsAsNumbers(ta, tb, m_compare); break;
      case saDateTime: result = CompareCellsAsDates(ta, tb, m_compare); break;
      default: result = CompareCellText(ta, tb); break;
    }
  }
  result *= g_direction;
}

void TCustomEnhListView::ResortItems() {
  m_resortPending = true;
  const bool byColumn = m_autoColumnSort != acsNoSort && m_sortColumn >= 0 && m_sortColumn < ColumnCount();
  if ((byColumn || OnSortItems) && m_updateCount <= 0) SortByColumn(m_sortColumn, m_sortAscending);
}

void TCustomEnhListView::BeginItemsUpdate() {
  if (HWND h = HandleIfAllocated(); h && m_updateCount <= 0) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  ++m_updateCount;
}

void TCustomEnhListView::EndItemsUpdate() {
  if (m_updateCount > 0) --m_updateCount;
  if (m_updateCount == 0 && m_resortPending) ResortItems();
  if (HWND h = HandleIfAllocated(); h && m_updateCount == 0) {
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
  }
}

// ---- Cells, type-ahead and search

std::string TCustomEnhListView::GetCellText(int item, int subItem) const {
  const TListItem* it = Item(item);
  if (!it) return {};
  return CellOf(*it, subItem < 0 ? -1 : subItem);
}

std::string TCustomEnhListView::ColumnText(int item, int column) const { return GetCellText(item, column - 1); }

void TCustomEnhListView::KeyUp(WORD& key, TShiftState shift) {
  if (m_columnSearch) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    WORD chars[2] = {};
    const int n = ToAscii(key, MapVirtualKeyA(key, MAPVK_VK_TO_VSC), state, chars, 0);
    const unsigned ch = chars[0] & 0xFF;
    if (n == 1 && ch >= 32 && ch <= 127) {
      const DWORD now = TickCount();
      if (m_hasTypedAhead && now - m_lastTypeAhead > 1000) m_typeAhead.clear();
      const std::string before = m_typeAhead;
      m_typeAhead += static_cast<char>(ch);
      m_lastTypeAhead = now;
      m_hasTypedAhead = true;
      key = 0;
      // A longer prefix may still match the row already found.
      if (!FindFrom(m_typeAhead, m_sortColumn, m_typeAhead.size() > 1, false)) {
        SearchMissed();
        m_typeAhead = before;
      }
      return;
    }
  }
  TWinControl::KeyUp(key, shift);
}

bool TCustomEnhListView::FindFrom(const std::string& text, int column, bool inclusive, bool containing) {
  const int n = ItemCount();
  if (n <= 0) return false;
  if (column < 0) column = 0;
  const int sel = Selected();
  // No selection counts as row 0 selected: the search starts after it.
  const int start = sel < 0 ? 1 % n : (inclusive ? sel : sel + 1);
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    const std::string cell = ColumnText(i, column);
    const bool match = containing ? cell.find(text) != std::string::npos : CellStartsWith(cell, text);
    if (match) {
      SelectAndFocus(i);
      return true;
    }
  }
  return false;
}

bool TCustomEnhListView::FindItemStartingWith(const std::string& text, int column) {
  return FindFrom(text, column, false, false);
}

bool TCustomEnhListView::FindItemContaining(const std::string& text, int column) {
  return FindFrom(text, column, false, true);
}

// ---- Row and column operations

void TCustomEnhListView::AutoSizeColumns(bool useHeader) {
  BeginItemsUpdate();
  for (int i = 0; i < ColumnCount(); ++i)
    SetColumnWidth(i, useHeader ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE);
  EndItemsUpdate();
}

void TCustomEnhListView::MoveItem(int from, int to) {
  const int n = ItemCount();
  if (OwnerData() || from < 0 || to < 0 || from >= n || to >= n || from == to) return;
  HWND h = HandleIfAllocated();
  if (!h) {
    auto moved = std::move(m_items[static_cast<size_t>(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(moved));
    return;
  }
  BeginItemsUpdate();
  TListItem* it = Item(from);
  const UINT states =
      static_cast<UINT>(SendMessageA(h, LVM_GETITEMSTATE, static_cast<WPARAM>(from), LVIS_SELECTED | LVIS_FOCUSED));
  InsertCallbackRow(h, from < to ? to + 1 : to, it);
  // The row object stays ours: only the platform's old row goes.
  SendMessageA(h, LVM_DELETEITEM, static_cast<WPARAM>(from < to ? from : from + 1), 0);
  LVITEMA st{};
  st.state = states;
  st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(&st));
  EndItemsUpdate();
}

void TCustomEnhListView::NotifyEditCanceled(TListItem* item) {
  if (OnEditCanceled) OnEditCanceled(*this, item);
}

}  // namespace qv::controls
