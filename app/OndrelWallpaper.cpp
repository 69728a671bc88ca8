// Tiled texture background.
#include "app/OndrelWallpaper.h"

#include "framework/WinControl.h"

namespace qv::app {

TOndrelWallpaper::TOndrelWallpaper(fw::TComponent* owner) : fw::TGraphicControl(owner) {
  SetAlign(fw::TAlign::Client);
}

TOndrelWallpaper::~TOndrelWallpaper() { DropTiles(); }

void TOndrelWallpaper::SetBitmap(HBITMAP bmp) {
  if (!m_bitmap.Assign(bmp)) return;
  DropTiles();
  RedrawWithChildren();
}

void TOndrelWallpaper::VisibleChanged() { RedrawWithChildren(); }

void TOndrelWallpaper::RedrawWithChildren() {
  // Only when the texture itself changes: it is anchored at the top-left
  // corner, so resizing leaves the pixels under the children as they were.
  fw::TWinControl* p = Parent();
  if (!p || !p->HandleAllocated() || Destroying()) return;
  RECT r{m_left, m_top, m_left + m_width, m_top + m_height};
  RedrawWindow(p->HandleIfAllocated(), &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TOndrelWallpaper::BoundsChanged() {
  if (m_width != m_tilesWidth || m_height != m_tilesHeight) DropTiles();
}

void TOndrelWallpaper::DropTiles() {
  if (m_tiles) DeleteObject(m_tiles);
  m_tiles = nullptr;
  m_tilesWidth = m_tilesHeight = 0;
}

bool TOndrelWallpaper::BuildTiles(HDC compatible) {
  const int bw = m_bitmap.Width(), bh = m_bitmap.Height();
  HBITMAP tiles = CreateCompatibleBitmap(compatible, m_width, m_height);
  if (!tiles) return false;
  HDC to = CreateCompatibleDC(compatible), from = CreateCompatibleDC(compatible);
  HGDIOBJ oldTo = SelectObject(to, tiles), oldFrom = SelectObject(from, m_bitmap.Handle());
  for (int y = 0; y < m_height; y += bh)
    for (int x = 0; x < m_width; x += bw) BitBlt(to, x, y, bw, bh, from, 0, 0, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  m_tiles = tiles;
  m_tilesWidth = m_width;
  m_tilesHeight = m_height;
  return true;
}

void TOndrelWallpaper::Paint(fw::TCanvas& canvas) {
  if (m_bitmap.Empty() || m_width <= 0 || m_height <= 0) return;
  HDC dc = canvas.Handle();
  if (!m_tiles) {
    // Screen-compatible whatever DC asks first (a fresh memory DC is 1 bit).
    HDC screen = GetDC(nullptr);
    const bool built = BuildTiles(screen);
    ReleaseDC(nullptr, screen);
    if (!built) return;
  }
  // Only the part being painted: children ask for small pieces.
  RECT clip{0, 0, m_width, m_height};
  RECT box;
  const int kind = GetClipBox(dc, &box);
  if (kind == NULLREGION) return;
  if (kind != ERROR) IntersectRect(&clip, &clip, &box);
  if (clip.right <= clip.left || clip.bottom <= clip.top) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, m_tiles);
  BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, mem, clip.left, clip.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace qv::app
