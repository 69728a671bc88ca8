// The virtual extended list view's notifications: its own (reflected by the
// parent) in A and W forms, the virtual-mode requests, and the header's.
#include <cstring>

#include "controls/lists/ExtListView.h"
#include "controls/lists/detail/ListViewText.h"

namespace qv::controls {

using namespace qv::fw;
using detail::CopyOut;
using detail::FromWide;
using detail::IsCode;

bool TCustomExtListView::CNNotify(NMHDR* hdr, LRESULT& result) {
  result = 0;
  switch (hdr->code) {
    case LVN_GETINFOTIPA:
    case LVN_GETINFOTIPW:
      // The layout of the W record is the A one with a wide buffer.
      NotifyInfoTip(*reinterpret_cast<NMLVGETINFOTIPA*>(hdr), hdr->code == LVN_GETINFOTIPW);
      // The list goes under its siblings so that the tip it raises is not
      // covered by them.
      if (HWND h = HandleIfAllocated())
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
      result = 1;
      return true;
    case LVN_MARQUEEBEGIN:
      result = NotifyMarqueeBegin() ? 0 : 1;
      return true;
    case LVN_ODFINDITEMA:
      result = NotifyVMFindItem(*reinterpret_cast<NMLVFINDITEMA*>(hdr));
      return true;
    case LVN_ODFINDITEMW: {
      // Handlers see the A record: the text is converted for them.
      auto& w = *reinterpret_cast<NMLVFINDITEMW*>(hdr);
      NMLVFINDITEMA a{};
      a.hdr = w.hdr;
      a.iStart = w.iStart;
      a.lvfi.flags = w.lvfi.flags;
      a.lvfi.lParam = w.lvfi.lParam;
      a.lvfi.pt = w.lvfi.pt;
      a.lvfi.vkDirection = w.lvfi.vkDirection;
      const std::string text = (w.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) ? FromWide(w.lvfi.psz) : std::string();
      a.lvfi.psz = text.c_str();
      result = NotifyVMFindItem(a);
      return true;
    }
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
      if (!m_virtualMode) return TCustomEnhListView::CNNotify(hdr, result);
      VMGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(hdr)->item, hdr->code == LVN_GETDISPINFOW);
      return true;
    case LVN_HOTTRACK:
      result = NotifyHotTrack(*reinterpret_cast<NMLISTVIEW*>(hdr)) ? 0 : 1;
      return true;
    case LVN_ODSTATECHANGED:
      NotifyVMStateChanged(*reinterpret_cast<NMLVODSTATECHANGE*>(hdr));
      return true;
    case LVN_ITEMACTIVATE:
      NotifyItemActivate();
      result = 0;
      return true;
    case LVN_ODCACHEHINT:
      NotifyVMCacheHint(*reinterpret_cast<NMLVCACHEHINT*>(hdr));
      return true;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      if (!m_virtualMode) return TCustomEnhListView::CNNotify(hdr, result);
      const LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(hdr)->item;
      const bool canceled = item.pszText == nullptr;
      std::string text;
      if (!canceled)
        text = hdr->code == LVN_ENDLABELEDITW ? FromWide(reinterpret_cast<NMLVDISPINFOW*>(hdr)->item.pszText)
                                              : std::string(item.pszText);
      if (OnVMCaptionEdited) OnVMCaptionEdited(*this, item.iItem, canceled, text);
      return true;
    }
    case LVN_ITEMCHANGING: {
      TCustomEnhListView::CNNotify(hdr, result);
      const auto& nm = *reinterpret_cast<NMLISTVIEW*>(hdr);
      if ((nm.uChanged & LVIF_STATE) && result == 0 && nm.iItem >= 0) {
        m_changingItem = nm.iItem;
        m_changingChecked = GetItemCheckState(nm.iItem);
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      TCustomEnhListView::CNNotify(hdr, result);
      const auto& nm = *reinterpret_cast<NMLISTVIEW*>(hdr);
      if ((nm.uChanged & LVIF_STATE) && nm.iItem >= 0 && nm.iItem == m_changingItem) {
        m_changingItem = -1;
        const bool now = GetItemCheckState(nm.iItem);
        if (now != m_changingChecked) NotifyItemChecked(nm.iItem, now);
      }
      return true;
    }
    default:
      return TCustomEnhListView::CNNotify(hdr, result);
  }
}

void TCustomExtListView::VMGetDispInfo(LVITEMA& item, bool wide) {
  if (item.iItem == -1 || !OnVMGetItemInfo) return;
  std::string text;
  UINT state = item.state, stateMask = item.stateMask;
  TLVVMMaskItems mask = item.mask & 0x1F;
  const UINT asked = item.mask;
  WORD overlay = 0, stateImage = 0;
  OnVMGetItemInfo(*this, item.iItem, item.iSubItem, mask, item.iImage, overlay, stateImage, item.lParam, state,
                  stateMask, item.iIndent, text);
  if (asked & LVIF_TEXT) CopyOut(text, item.pszText, item.cchTextMax, wide);
  state = (state & ~0x00FFFF00u) | (static_cast<UINT>(overlay) << 8);
  state = (state & ~0x0FFFF000u) | (static_cast<UINT>(stateImage) << 12);
  item.state = state;
  item.mask = mask & 0x1F;
  item.stateMask = stateMask;
}

std::string TCustomExtListView::VirtualCellText(int item, int subItem) const {
  if (!OnVMGetItemInfo || item < 0) return {};
  char buf[1024] = {};
  LVITEMA lv{};
  lv.mask = LVIF_TEXT;
  lv.iItem = item;
  lv.iSubItem = subItem;
  lv.pszText = buf;
  lv.cchTextMax = sizeof buf;
  const_cast<TCustomExtListView*>(this)->VMGetDispInfo(lv, false);
  return buf;
}

TListItem* TCustomExtListView::OwnerDataItem(int index) const {
  if (index >= ItemCount()) return nullptr;
  if (!m_ownerDataItem) m_ownerDataItem = std::make_unique<TListItem>();
  TListItem& it = *m_ownerDataItem;
  it = TListItem{};
  // One request for the row's own values, then one text per further
  // column: never a walk over the rows.
  char buf[1024] = {};
  LVITEMA lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
  lv.iItem = index;
  lv.pszText = buf;
  lv.cchTextMax = sizeof buf;
  lv.iImage = it.ImageIndex;
  auto* self = const_cast<TCustomExtListView*>(this);
  self->VMGetDispInfo(lv, false);
  // A value whose flag the owner took back was not given.
  if (lv.mask & LVIF_TEXT) it.Caption = buf;
  if (lv.mask & LVIF_IMAGE) it.ImageIndex = lv.iImage;
  if (lv.mask & LVIF_PARAM) it.Data = reinterpret_cast<void*>(lv.lParam);
  if (lv.mask & LVIF_INDENT) it.Indent = lv.iIndent;
  for (int c = 1; c < ColumnCount(); ++c) it.SubItems.push_back(VirtualCellText(index, c));
  return &it;
}

std::string TCustomExtListView::ColumnText(int item, int column) const {
  // By column index: the inherited path would map it as a display position.
  if (!m_virtualMode) return TCustomEnhListView::GetCellText(item, column - 1);
  if (item < 0 || item >= ItemCount()) return {};
  return VirtualCellText(item, column);
}

std::string TCustomExtListView::GetCellText(int item, int position) const {
  if (item < 0 || item >= ItemCount()) return {};
  const int n = ColumnCount();
  int column;
  if (n < position + 2) {
    column = position + 1;  // past the known order: the sub-item itself
  } else {
    column = CurrentOrder()[static_cast<size_t>(position + 1)];
  }
  // Straight to the cell: ColumnText comes back here for a held row.
  if (m_virtualMode) return VirtualCellText(item, column);
  return TCustomEnhListView::GetCellText(item, column - 1);
}

// ---- Header notifications

bool TCustomExtListView::ColumnResizable(int column) const {
  if (!TCustomEnhListView::ColumnResizable(column)) return false;
  const TQsExtListColumn* f = const_cast<TQsExtListColumns&>(m_columnsFormat).Find(column);
  return !f || f->AllowResize();
}

bool TCustomExtListView::HeaderNotify(NMHDR* hdr, LRESULT& result) {
  const UINT code = hdr->code;
  const int item = reinterpret_cast<NMHEADERA*>(hdr)->iItem;
  if (IsCode(code, HDN_BEGINTRACKA, HDN_BEGINTRACKW) || IsCode(code, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW)) {
    ApplyColumnFormat(item);
    // Asked of the column under the cursor: in a reordered header the
    // notified index and what the user grabbed need not agree.
    const int under = HeaderColumnAtCursor();
    const TQsExtListColumn* f = under >= 0 ? m_columnsFormat.Find(under) : nullptr;
    if (f && !f->AllowResize()) {
      result = 1;
      return true;
    }
  }
  if (code == HDN_ENDDRAG) {
    // The platform list must see it too: it places its cells by the order.
    result = DefaultHandler(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
    Invalidate();
    // The header takes the new order after this notification: keep it then.
    if (HWND h = HandleIfAllocated()) PostMessageA(h, kSyncOrderMessage, 0, 0);
    return true;
  }
  return TCustomEnhListView::HeaderNotify(hdr, result);
}

int TCustomExtListView::HeaderColumnAtCursor() const {
  HWND header = HeaderHandle();
  if (!header) return -1;
  HDHITTESTINFO hit{};
  hit.pt = HeaderCursorPos();
  ::ScreenToClient(header, &hit.pt);
  const int index = static_cast<int>(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return index >= 0 ? index : hit.iItem;
}

POINT TCustomExtListView::HeaderCursorPos() const {
  POINT p{};
  ::GetCursorPos(&p);
  return p;
}

// ---- Events

void TCustomExtListView::NotifyItemChecked(int itemIndex, bool checked) {
  if (OnItemChecked) OnItemChecked(*this, itemIndex, checked);
}

bool TCustomExtListView::NotifyMarqueeBegin() {
  bool canBegin = true;
  if (OnMarqueeBegin) OnMarqueeBegin(*this, canBegin);
  return canBegin;
}

void TCustomExtListView::NotifyItemActivate() {
  if (OnItemActivate) OnItemActivate(*this);
}

bool TCustomExtListView::NotifyHotTrack(NMLISTVIEW& info) {
  bool allow = true;
  if (OnHotTrack) OnHotTrack(*this, info.iItem, info.iSubItem, info.ptAction, allow);
  return allow;
}

void TCustomExtListView::NotifyInfoTip(NMLVGETINFOTIPA& info, bool wide) {
  std::string current;
  if (info.dwFlags == LVGIT_UNFOLDED && info.pszText)
    current = wide ? FromWide(reinterpret_cast<wchar_t*>(info.pszText), info.cchTextMax)
                   : std::string(info.pszText, strnlen(info.pszText, static_cast<size_t>(info.cchTextMax)));
  std::string additional;
  if (OnInfoTip)
    OnInfoTip(*this, info.iItem, info.iSubItem, current, additional);
  else if (const TListItem* it = m_virtualMode ? nullptr : Item(info.iItem))
    additional = it->Caption;
  if (additional.empty()) return;
  CopyOut(info.dwFlags == LVGIT_UNFOLDED ? current + additional : additional, info.pszText, info.cchTextMax, wide);
}

void TCustomExtListView::NotifyVMCacheHint(NMLVCACHEHINT& info) {
  if (OnVMCacheHint) OnVMCacheHint(*this, info);
}

int TCustomExtListView::NotifyVMFindItem(NMLVFINDITEMA& info) {
  int found = -1;
  if (OnVMFindItem) OnVMFindItem(*this, info, found);
  return found;
}

void TCustomExtListView::NotifyVMStateChanged(NMLVODSTATECHANGE& info) {
  if (OnVMStateChanged) OnVMStateChanged(*this, info);
}

}  // namespace qv::controls
