// The virtual extended list view's painting: header formats with column
// images, header sections with images and sort arrows, owner-drawn rows of
// a virtual list.
#include <algorithm>

#include "controls/lists/ExtListView.h"
#include "controls/lists/detail/ListViewText.h"

namespace qv::controls {

using namespace qv::fw;
using detail::CaptionRect;
using detail::DrawTextAlign;

void TCustomExtListView::ApplyColumnFormat(int index) {
  if (index < 0) {
    for (int i = 0; i < ColumnCount(); ++i) ApplyColumnFormat(i);
    return;
  }
  HWND h = HandleIfAllocated();
  // Owner-drawn sections draw their images themselves.
  if (OnDrawHeader() || ShowSortArrows() || !h) return;
  const TQsExtListColumn* f = m_columnsFormat.Find(index);
  if (!f || index >= ColumnCount() || !SmallImages() || SmallImages()->Count() == 0) return;
  LVCOLUMNA col{};
  col.mask = LVCF_FMT;
  if (!SendMessageA(h, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col))) return;
  col.fmt &= ~(LVCFMT_JUSTIFYMASK);
  if (f->ImageIndex() == -1) {
    col.mask = LVCF_FMT;
    col.fmt &= ~(LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
  } else {
    col.mask = LVCF_FMT | LVCF_IMAGE;
    col.iImage = f->ImageIndex();
    col.fmt |= LVCFMT_IMAGE;
    if (f->ImageAlignment() == ciaRightOfText)
      col.fmt |= LVCFMT_BITMAP_ON_RIGHT;
    else
      col.fmt &= ~LVCFMT_BITMAP_ON_RIGHT;
  }
  const TAlignment a = Column(index).Alignment;
  if (a == TAlignment::RightJustify) col.fmt |= LVCFMT_RIGHT;
  if (a == TAlignment::Center) col.fmt |= LVCFMT_CENTER;
  SendMessageA(h, LVM_SETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
}

void TCustomExtListView::DefaultDrawHeaderSection(TCanvas& canvas, int index, RECT rect, bool selected) {
  HDC dc = canvas.Handle();
  const RECT section = rect;
  rect = FillHeaderFace(dc, rect, selected);
  if (index < 0 || index >= ColumnCount()) return;
  const TListColumn& col = Column(index);
  RECT area = rect;
  InflateRect(&area, -2, 0);
  // A column image takes its width + 4 on its side.
  const TQsExtListColumn* f = m_columnsFormat.Find(index);
  TImageList* images = SmallImages();
  const bool image = f && images && f->ImageIndex() >= 0 && f->ImageIndex() < images->Count();
  if (image) {
    if (f->ImageAlignment() == ciaLeftOfText)
      area.left += images->Width() + 4;
    else
      area.right -= images->Width() + 4;
  }
  const bool arrow = ShowSortArrows() && index == SortColumn() && (AutoColumnSort() != acsNoSort || OnSortItems) &&
                     ArrowBitmap(true);
  if (arrow) area.right = std::max(area.left, area.right - (ArrowSize() + 8));
  const RECT text = CaptionRect(dc, col.Caption, area, col.Alignment);
  RECT clipped;
  IntersectRect(&clipped, &text, &section);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, col.Caption.c_str(), -1, &clipped,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DrawTextAlign(col.Alignment));
  if (image) {
    const int w = images->Width(), h = images->Height();
    const int x = f->ImageAlignment() == ciaLeftOfText ? text.left - 4 - w : text.right + 4;
    const int y = rect.top + (rect.bottom - rect.top - h) / 2;
    if (x >= section.left && x + w <= section.right) images->Draw(dc, f->ImageIndex(), x, y);
  }
  if (arrow) {
    const int s = ArrowSize();
    const int x = text.right + 8;
    const int y = rect.top + (rect.bottom - rect.top - s) / 2;
    if (x >= section.left && x + s <= section.right) canvas.Draw(x, y, ArrowBitmap(SortAscending()));
  }
}

// ---- Owner-drawn rows

void TCustomExtListView::NotifyMeasureItem(UINT& height) { TCustomEnhListView::NotifyMeasureItem(height); }

bool TCustomExtListView::NotifyDrawItem(TCanvas& canvas, int index, RECT rect, TOwnerDrawState state,
                                        bool& fullRowSelect) {
  fullRowSelect = ExtendedStyles().Contains(lvxFullRowSelect);
  return TCustomEnhListView::NotifyDrawItem(canvas, index, rect, state, fullRowSelect);
}

bool TCustomExtListView::NotifyDrawSubItem(TCanvas& canvas, int index, int subItem, RECT rect,
                                           TOwnerDrawState state) {
  return TCustomEnhListView::NotifyDrawSubItem(canvas, index, subItem, rect, state);
}

void TCustomExtListView::DefaultDrawItem(TCanvas& canvas, int index, RECT rect, TOwnerDrawState state,
                                         bool fullRowSelect) {
  if (!m_virtualMode) {
    TCustomEnhListView::DefaultDrawItem(canvas, index, rect, state, fullRowSelect);
    return;
  }
  // A virtual row draws no images: its owner paints its cells.
  HDC dc = canvas.Handle();
  const bool selected = (state & ODS_SELECTED) != 0;
  if (selected && (Focused() || !HideSelection())) {
    SetTextColor(dc, GetSysColor(Focused() ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(Focused() ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  }
  RECT cell{rect.left, rect.top, rect.left + ColumnWidth(0) - 2, rect.bottom};
  DefaultDrawSubItem(canvas, index, -1, cell, state);
  int right = rect.left + ColumnWidth(0);
  for (int c = 1; c < ColumnCount(); ++c) {
    RECT r{right + 4, rect.top, right + ColumnWidth(c), rect.bottom};
    right += ColumnWidth(c);
    if (!fullRowSelect) {
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    }
    DefaultDrawSubItem(canvas, index, c - 1, r, state);
  }
}

void TCustomExtListView::DefaultDrawSubItem(TCanvas& canvas, int index, int subItem, RECT rect,
                                            TOwnerDrawState state) {
  if (!m_virtualMode) {
    TCustomEnhListView::DefaultDrawSubItem(canvas, index, subItem, rect, state);
    return;
  }
  const int saved = SaveDC(canvas.Handle());
  NotifyDrawSubItem(canvas, index, subItem, rect, state);
  RestoreDC(canvas.Handle(), saved);
}

}  // namespace qv::controls
