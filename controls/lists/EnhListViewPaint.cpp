// The enhanced list view: its header (subclassed window, notifications,
// owner-drawn sections with sort arrows) and its owner-drawn rows.
#include <algorithm>

#include "controls/lists/EnhListView.h"
#include "controls/lists/detail/ListViewText.h"

namespace qv::controls {

using namespace qv::fw;
using detail::IsCode;
using detail::CaptionRect;
using detail::DrawTextAlign;

namespace {

const char kHeaderOwnerProp[] = "QvEnhLVHeaderOwner";
const char kHeaderPrevProp[] = "QvEnhLVHeaderPrev";

}  // namespace

// ---- Header window

void TCustomEnhListView::SubclassHeader() {
  HWND h = HandleIfAllocated();
  if (!h || m_header) return;
  HWND hdr = reinterpret_cast<HWND>(SendMessageA(h, LVM_GETHEADER, 0, 0));
  if (!hdr) return;
  m_header = hdr;
  SetPropA(hdr, kHeaderOwnerProp, this);
  m_headerPrevProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hdr, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomEnhListView::HeaderProc)));
  SetPropA(hdr, kHeaderPrevProp, reinterpret_cast<HANDLE>(m_headerPrevProc));
}

void TCustomEnhListView::UnsubclassHeader() {
  if (!m_header) return;
  if (IsWindow(m_header)) {
    // Someone who subclassed after us keeps calling our procedure: it then
    // passes everything on (the previous procedure stays in the window).
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_header, GWLP_WNDPROC)) == &TCustomEnhListView::HeaderProc) {
      SetWindowLongPtrA(m_header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_headerPrevProc));
      RemovePropA(m_header, kHeaderPrevProp);
    }
    RemovePropA(m_header, kHeaderOwnerProp);
  }
  m_header = nullptr;
  m_headerPrevProc = nullptr;
}

LRESULT CALLBACK TCustomEnhListView::HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TCustomEnhListView*>(GetPropA(hwnd, kHeaderOwnerProp));
  auto prev = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kHeaderPrevProp));
  if (msg == WM_NCDESTROY) {
    if (self) self->UnsubclassHeader();
    RemovePropA(hwnd, kHeaderOwnerProp);
    RemovePropA(hwnd, kHeaderPrevProp);
    return prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (!self || self->Destroying())
    return prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  try {
    return self->HeaderWndProc(msg, wp, lp);
  } catch (...) {
    return prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : 0;
  }
}

LRESULT TCustomEnhListView::HeaderWndProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hdr = m_header;
  auto hit = [&](POINT client) {
    HDHITTESTINFO hi{};
    hi.pt = client;
    SendMessageA(hdr, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi));
    return hi;
  };
  switch (msg) {
    case WM_SETCURSOR: {
      POINT pt;
      GetCursorPos(&pt);
      ::ScreenToClient(hdr, &pt);
      const HDHITTESTINFO hi = hit(pt);
      if ((hi.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) && !ColumnResizable(hi.iItem)) {
        ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    }
    case WM_NCHITTEST: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ::ScreenToClient(hdr, &pt);
      const HDHITTESTINFO hi = hit(pt);
      // The dividers of a fixed column take no clicks at all.
      if (hi.iItem >= 0 && !ColumnResizable(hi.iItem) && !(hi.flags & HHT_ONHEADER)) return HTNOWHERE;
      break;
    }
    default:
      break;
  }
  return CallWindowProcA(m_headerPrevProc, hdr, msg, wp, lp);
}

bool TCustomEnhListView::ColumnResizable(int) const { return !m_noColumnResize; }

bool TCustomEnhListView::HeaderNotify(NMHDR* hdr, LRESULT& result) {
  const UINT code = hdr->code;
  const bool beginTrack = IsCode(code, HDN_BEGINTRACKA, HDN_BEGINTRACKW);
  const bool track = IsCode(code, HDN_TRACKA, HDN_TRACKW);
  const bool dividerDbl = IsCode(code, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW);
  const bool changed = IsCode(code, HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW);
  if (m_noColumnResize && (beginTrack || track || dividerDbl)) {
    result = 1;
    return true;
  }
  result = DefaultHandler(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
  const int item = reinterpret_cast<NMHEADERA*>(hdr)->iItem;
  if (!m_headerNotifyGuard) {
    m_headerNotifyGuard = true;
    if (beginTrack || changed) ReapplyHeaderOwnerDraw();
    m_headerNotifyGuard = false;
  }
  // Widths are kept in the columns so they outlive the window.
  if ((changed || dividerDbl) && item >= 0 && item < ColumnCount())
    m_columns[static_cast<size_t>(item)].Width =
        static_cast<int>(SendMessageA(HandleIfAllocated(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(item), 0));
  return true;
}

// ---- Header owner drawing

bool TCustomEnhListView::OwnerDrawOn() const { return m_onDrawHeader != nullptr || m_showSortArrows; }

void TCustomEnhListView::ReapplyHeaderOwnerDraw() { SetHeaderOwnerDraw(OwnerDrawOn()); }

void TCustomEnhListView::SetHeaderOwnerDraw(bool on) {
  if (!m_header) return;
  const bool guard = m_headerNotifyGuard;
  m_headerNotifyGuard = true;
  const int n = static_cast<int>(SendMessageA(m_header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    HDITEMA it{};
    it.mask = HDI_FORMAT;
    if (!SendMessageA(m_header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it))) continue;
    const int fmt = on ? (it.fmt | HDF_OWNERDRAW) : (it.fmt & ~HDF_OWNERDRAW);
    if (fmt == it.fmt) continue;
    it.fmt = fmt;
    SendMessageA(m_header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
  }
  m_headerNotifyGuard = guard;
}

void TCustomEnhListView::SetOnDrawHeader(TLVHDrawItemEvent handler) {
  m_onDrawHeader = std::move(handler);
  ReapplyHeaderOwnerDraw();
  if (m_header) InvalidateRect(m_header, nullptr, TRUE);
}

void TCustomEnhListView::SetShowSortArrows(bool v) {
  if (v == m_showSortArrows) return;
  m_showSortArrows = v;
  FreeArrowBitmaps();
  if (v) CreateSortArrowBitmaps();
  if (!Loading()) ReapplyHeaderOwnerDraw();
  if (m_header) InvalidateRect(m_header, nullptr, TRUE);
}

void TCustomEnhListView::SetReverseSortArrows(bool v) {
  if (v == m_reverseSortArrows) return;
  m_reverseSortArrows = v;
  if (m_showSortArrows) {
    CreateSortArrowBitmaps();
    InvalidateHeaderSection(m_sortColumn);
  }
}

void TCustomEnhListView::FreeArrowBitmaps() {
  if (m_arrowUp) DeleteObject(m_arrowUp);
  if (m_arrowDown) DeleteObject(m_arrowDown);
  m_arrowUp = m_arrowDown = nullptr;
  m_arrowSize = 0;
}

void TCustomEnhListView::CreateSortArrowBitmaps() {
  FreeArrowBitmaps();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ oldFont = SelectObject(dc, EffectiveFont().Handle());
  SIZE sz{};
  GetTextExtentPoint32A(dc, "Wy", 2, &sz);
  int textHeight = sz.cy;
  if (textHeight % 2) ++textHeight;
  if (textHeight < 7) {
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return;
  }
  const int h = textHeight - 6;
  auto make = [&](bool up) {
    HBITMAP bmp = CreateCompatibleBitmap(screen, h, h);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, h, h};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const int mid = (h - 1) / 2, last = h - 1;
    HGDIOBJ oldPen = SelectObject(dc, light);
    if (up) {
      MoveToEx(dc, mid, 0, nullptr);  // left edge, lit
      LineTo(dc, 0, last);
      SelectObject(dc, dark);  // right and bottom edges in shadow
      MoveToEx(dc, mid, 0, nullptr);
      LineTo(dc, last, last);
      MoveToEx(dc, 0, last, nullptr);
      LineTo(dc, last + 1, last);
    } else {
      MoveToEx(dc, last, 0, nullptr);  // top edge, lit
      LineTo(dc, 0, 0);
      LineTo(dc, mid, last);           // left edge, lit
      SelectObject(dc, dark);
      MoveToEx(dc, last, 0, nullptr);  // right edge in shadow
      LineTo(dc, mid, last);
    }
    SelectObject(dc, oldPen);
    DeleteObject(light);
    DeleteObject(dark);
    SelectObject(dc, old);
    return bmp;
  };
  m_arrowUp = make(!m_reverseSortArrows);
  m_arrowDown = make(m_reverseSortArrows);
  m_arrowSize = h;
  SelectObject(dc, oldFont);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void TCustomEnhListView::InvalidateHeaderSection(int column) {
  if (!m_header || column < 0 || column >= ColumnCount()) return;
  RECT r{};
  if (!SendMessageA(m_header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r))) return;
  InflateRect(&r, -2, -2);
  InvalidateRect(m_header, &r, FALSE);
}

void TCustomEnhListView::DrawHeaderSection(DRAWITEMSTRUCT& dis) {
  TCanvas canvas(dis.hDC);
  canvas.SetFont(EffectiveFont());
  SetBkMode(dis.hDC, TRANSPARENT);
  RECT r = dis.rcItem;
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  if (NotifyDrawHeader(canvas, static_cast<int>(dis.itemID), r, selected))
    DefaultDrawHeaderSection(canvas, static_cast<int>(dis.itemID), r, selected);
}

bool TCustomEnhListView::NotifyDrawHeader(TCanvas& canvas, int index, RECT& rect, bool selected) {
  if (!m_onDrawHeader) return true;
  bool defaultDrawing = false;
  m_onDrawHeader(*this, canvas, index, rect, selected, defaultDrawing);
  return defaultDrawing;
}

RECT TCustomEnhListView::FillHeaderFace(HDC dc, RECT rect, bool selected) {
  // An unpressed section keeps the edges the platform drew.
  if (selected) {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    InflateRect(&rect, -2, -2);
    OffsetRect(&rect, 1, 1);
  } else {
    InflateRect(&rect, -2, -2);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  }
  return rect;
}

void TCustomEnhListView::DefaultDrawHeaderSection(TCanvas& canvas, int index, RECT rect, bool selected) {
  HDC dc = canvas.Handle();
  const RECT section = rect;
  rect = FillHeaderFace(dc, rect, selected);
  if (index < 0 || index >= ColumnCount()) return;
  const TListColumn& col = m_columns[static_cast<size_t>(index)];
  RECT area = rect;
  if (col.Alignment == TAlignment::RightJustify)
    area.right -= 4;
  else
    area.left += 4;
  const bool arrow = m_showSortArrows && index == m_sortColumn && m_autoColumnSort != acsNoSort && m_arrowUp;
  if (arrow) {
    const int take = m_arrowSize + 8;
    if (col.Alignment == TAlignment::RightJustify)
      area.left = std::min(area.right, area.left + take);
    else
      area.right = std::max(area.left, area.right - take);
  }
  RECT text = CaptionRect(dc, col.Caption, area, col.Alignment);
  IntersectRect(&text, &text, &section);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, col.Caption.c_str(), -1, &text,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DrawTextAlign(col.Alignment));
  if (arrow) {
    const int x = col.Alignment == TAlignment::RightJustify ? text.left - 8 - m_arrowSize : text.right + 8;
    const int y = rect.top + (rect.bottom - rect.top - m_arrowSize) / 2;
    if (x >= section.left && x + m_arrowSize <= section.right)
      canvas.Draw(x, y, m_sortAscending ? m_arrowUp : m_arrowDown);
  }
}

// ---- Owner-drawn rows

bool TCustomEnhListView::CNMeasureItem(MEASUREITEMSTRUCT* mis) {
  if (m_style != lvOwnerDrawFixed) return false;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, EffectiveFont().Handle());
  SIZE sz{};
  GetTextExtentPoint32A(dc, "Wy", 2, &sz);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  UINT height = static_cast<UINT>(sz.cy + 1);
  if (SmallImages() && SmallImages()->Height() > static_cast<int>(height))
    height = static_cast<UINT>(SmallImages()->Height());
  NotifyMeasureItem(height);
  mis->itemHeight = height;
  return true;
}

void TCustomEnhListView::NotifyMeasureItem(UINT& height) {
  if (OnMeasureItem) OnMeasureItem(*this, height);
}

bool TCustomEnhListView::CNDrawItem(DRAWITEMSTRUCT* dis) {
  if (dis->CtlType != ODT_LISTVIEW) return false;
  PaintRow(*dis);
  return true;
}

bool TCustomEnhListView::NotifyDrawItem(TCanvas& canvas, int index, RECT rect, TOwnerDrawState state,
                                        bool& fullRowSelect) {
  if (!OnDrawItem) return true;
  bool defaultDrawing = false;
  OnDrawItem(*this, canvas, index, rect, state, defaultDrawing, fullRowSelect);
  return defaultDrawing;
}

bool TCustomEnhListView::NotifyDrawSubItem(TCanvas& canvas, int index, int subItem, RECT rect,
                                           TOwnerDrawState state) {
  if (!OnDrawSubItem) return true;
  bool defaultDrawing = false;
  OnDrawSubItem(*this, canvas, index, subItem, rect, state, defaultDrawing);
  return defaultDrawing;
}

void TCustomEnhListView::NotifyAfterDefaultDrawItem(TCanvas& canvas, int index, RECT rect, TOwnerDrawState state) {
  if (OnAfterDefaultDrawItem) OnAfterDefaultDrawItem(*this, canvas, index, rect, state);
}

void TCustomEnhListView::PaintRow(DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const int saved = SaveDC(dc);
  {
    TCanvas canvas(dc);
    canvas.SetFont(EffectiveFont());
    const int index = static_cast<int>(dis.itemID);
    const RECT rect = dis.rcItem;
    bool fullRow = false;
    if (NotifyDrawItem(canvas, index, rect, dis.itemState, fullRow)) {
      RECT r = rect;
      FillRect(dc, &r, ColorBrush());
      const bool selected = (dis.itemState & ODS_SELECTED) != 0;
      if (selected && (!m_hideSelection || Focused())) {
        RECT sel = rect;
        if (!fullRow) sel.right = sel.left + ColumnWidth(ColumnCount() > 0 ? CurrentOrder()[0] : 0);
        if (StateImages()) sel.left += StateImages()->Width();
        if (SmallImages()) sel.left += SmallImages()->Width();
        FillRect(dc, &sel, GetSysColorBrush(Focused() ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      }
      DefaultDrawItem(canvas, index, rect, dis.itemState, fullRow);
      if ((dis.itemState & ODS_FOCUS) && Focused()) DrawFocusRect(dc, &rect);
      NotifyAfterDefaultDrawItem(canvas, index, rect, dis.itemState);
    }
  }
  RestoreDC(dc, saved);
}

void TCustomEnhListView::DefaultDrawItem(TCanvas& canvas, int index, RECT rect, TOwnerDrawState state,
                                         bool fullRowSelect) {
  HDC dc = canvas.Handle();
  const TListItem* it = Item(index);
  int x = rect.left;
  if (StateImages() && it) {
    const int y = rect.top + (rect.bottom - rect.top - StateImages()->Height()) / 2;
    const UINT st = static_cast<UINT>(
        SendMessageA(HandleIfAllocated(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    const int image = static_cast<int>((st & LVIS_STATEIMAGEMASK) >> 12) - 1;
    if (image >= 0) StateImages()->Draw(dc, image, x + 2, y);
    x += StateImages()->Width();
  }
  if (SmallImages()) {
    if (it && it->ImageIndex >= 0) {
      const int y = rect.top + (rect.bottom - rect.top - SmallImages()->Height()) / 2;
      const UINT st = static_cast<UINT>(
          SendMessageA(HandleIfAllocated(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_OVERLAYMASK));
      UINT style = ILD_TRANSPARENT | (st & LVIS_OVERLAYMASK);
      if ((((state & ODS_SELECTED) != 0) && Focused())) style |= ILD_SELECTED;
      SmallImages()->Draw(dc, it->ImageIndex, x, y, style);
    }
    x += SmallImages()->Width();
  }
  // Cells follow the columns as they are shown; a cell is named by its
  // display position (GetCellText maps it to the column).
  const std::vector<int> order = CurrentOrder();
  int left = rect.left;
  for (size_t p = 0; p < order.size(); ++p) {
    const int w = ColumnWidth(order[p]);
    RECT cell{left, rect.top, left + w, rect.bottom};
    left += w;
    if (p == 0) {
      cell.left = std::max<LONG>(cell.left, x);
      DefaultDrawSubItem(canvas, index, -1, cell, state);
    } else if (!fullRowSelect && (state & ODS_SELECTED)) {
      // Without full-row selection only the caption looks selected.
      FillRect(dc, &cell, ColorBrush());
      DefaultDrawSubItem(canvas, index, static_cast<int>(p) - 1, cell, state & ~static_cast<UINT>(ODS_SELECTED));
    } else {
      DefaultDrawSubItem(canvas, index, static_cast<int>(p) - 1, cell, state);
    }
  }
}

void TCustomEnhListView::DefaultDrawSubItem(TCanvas& canvas, int index, int subItem, RECT rect,
                                            TOwnerDrawState state) {
  if (!NotifyDrawSubItem(canvas, index, subItem, rect, state)) return;
  HDC dc = canvas.Handle();
  const TListColumn* column = ColumnAtPosition(subItem + 1);
  const TAlignment align = column ? column->Alignment : TAlignment::LeftJustify;
  if (subItem >= 0) InflateRect(&rect, -4, 0);
  if (align == TAlignment::LeftJustify) rect.left += 4;
  const bool selected = (state & ODS_SELECTED) != 0;
  COLORREF fg = GetSysColor(COLOR_WINDOWTEXT);
  if (selected && Focused())
    fg = GetSysColor(COLOR_HIGHLIGHTTEXT);
  else if (selected && !m_hideSelection)
    fg = GetSysColor(COLOR_BTNTEXT);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, fg);
  const std::string text = GetCellText(index, subItem);
  DrawTextA(dc, text.c_str(), -1, &rect,
            DrawTextAlign(align) | DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
}

int TCustomEnhListView::ColumnDisplayPosition(int column) const { return column; }

const TListColumn* TCustomEnhListView::ColumnAtPosition(int position) const {
  if (position < 0 || position >= ColumnCount()) return nullptr;
  return &m_columns[static_cast<size_t>(position)];
}

}  // namespace qv::controls
