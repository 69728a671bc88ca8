// Speed button faces: glyph states, layout, caption, drop-down mark, border.
#include "controls/buttons/QxButtonGlyph.h"

#include <commctrl.h>

#include <algorithm>

#include "services/QxStrUtils.h"
#include "services/QxVclUtils.h"

namespace qv::controls {

using qv::fw::ColorToRGB;
using qv::fw::TBitmap;
using qv::fw::TColor;
using qv::fw::TRect;

namespace {

constexpr TColor clWindowFrame = qv::fw::SystemColor(COLOR_WINDOWFRAME);
constexpr size_t kCaptionLimit = 255;
// Room the mark takes beside a caption, and beside a glyph.
constexpr int kMarkBesideText = 9, kMarkBesideGlyph = 6;

// Every system this runs on draws controls in 3-D.
constexpr bool NewStyleControls() { return true; }

void FillColor(HDC dc, int l, int t, int r, int b, TColor c) {
  if (r <= l || b <= t) return;
  RECT rc{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(c));
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

}  // namespace

// --- TQxButtonGlyph

TQxButtonGlyph::TQxButtonGlyph() { EnsureGlyphCache(); }

TQxButtonGlyph::~TQxButtonGlyph() {
  ReleaseImages();
  FreeGlyphCacheIfEmpty();
}

void TQxButtonGlyph::SetSource(HBITMAP bitmap, qv::fw::TColor transparentColor) {
  ReleaseImages();
  if (!bitmap || !m_source.CopyFrom(bitmap)) m_source.Clear();
  m_source.SetTransparentColor(transparentColor);
  SourceChanged();
}

void TQxButtonGlyph::SetSource(const qv::fw::TBitmap& strip) {
  ReleaseImages();
  if (!m_source.Assign(strip)) m_source.Clear();
  SourceChanged();
}

void TQxButtonGlyph::SetNumGlyphs(int n) {
  if (n <= 0 || n == m_numGlyphs) return;
  ReleaseImages();
  m_numGlyphs = n;
}

void TQxButtonGlyph::SourceChanged() {
  ReleaseImages();
  const int w = m_source.Width(), h = m_source.Height();
  if (h > 0) {
    m_maskColor = static_cast<COLORREF>(ColorToRGB(m_source.TransparentColor())) & ~0x02000000u;
    // A zero-wide strip has no cell at all: leave the count alone.
    if (w > 0 && w % h == 0) m_numGlyphs = w / h <= 5 ? w / h : 1;
  }
  if (OnChange) OnChange();
}

SIZE TQxButtonGlyph::CellSize() const {
  if (m_source.Empty() || m_numGlyphs <= 0) return SIZE{0, 0};
  const int cw = m_source.Width() / m_numGlyphs;
  if (cw <= 0 || m_source.Height() <= 0) return SIZE{0, 0};
  return SIZE{cw, m_source.Height()};
}

COLORREF TQxButtonGlyph::GrayColor(COLORREF c) const {
  c &= 0x00FFFFFF;
  if (c == (m_maskColor & 0x00FFFFFF) || c == ColorToRGB(qv::fw::clBtnFace)) return c;
  const unsigned grey = (77u * GetRValue(c) + 150u * GetGValue(c) + 29u * GetBValue(c)) >> 8;
  return RGB(grey, grey, grey);
}

int TQxButtonGlyph::CellImageIndex(TButtonPaintState state) {
  if (state == psDown && m_numGlyphs < 3) state = psUp;
  int& slot = m_cellIndex[static_cast<size_t>(state)];
  if (slot != -1) return slot;
  const SIZE cell = CellSize();
  if (cell.cx <= 0) return -1;
  if (!m_glyphList) m_glyphList = EnsureGlyphCache().ListForSize(cell.cx, cell.cy);

  TBitmap image;
  COLORREF mask = m_maskColor;
  if (state == psDisabled && m_numGlyphs < 2) {
    HBITMAP embossed = MakeDisabledBitmap(m_source, qv::fw::clBlack);
    if (embossed) {
      image.CopyFrom(embossed);
      DeleteObject(embossed);
    }
    mask = ColorToRGB(qv::fw::clBtnFace);
  } else if (image.Create(cell.cx, cell.cy, 24)) {
    const bool grey = state == psInactive && m_numGlyphs < 5;
    const int cellNo = grey ? 0 : (static_cast<int>(state) < m_numGlyphs ? static_cast<int>(state) : 0);
    const int left = cellNo * cell.cx;
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x) {
        const COLORREF c = m_source.Pixel(left + x, y);
        image.SetPixel(x, y, grey ? GrayColor(c) : c);
      }
  }
  if (!image.Empty()) slot = m_glyphList->AddMaskedImage(image, mask);
  m_source.Dormant();
  // A painter holds a list only while it has a slot in it: the cache frees
  // lists nobody uses, and a dangling hold would outlive that.
  if (std::all_of(m_cellIndex.begin(), m_cellIndex.end(), [](int i) { return i == -1; })) {
    if (TGlyphCache* cache = GlyphCache()) cache->ReturnList(m_glyphList);
    m_glyphList = nullptr;
  }
  return slot;
}

void TQxButtonGlyph::ReleaseImages() {
  for (int& slot : m_cellIndex) {
    if (slot != -1 && m_glyphList) m_glyphList->ReleaseIndex(slot);
    slot = -1;
  }
  if (m_glyphList)
    if (TGlyphCache* cache = GlyphCache()) cache->ReturnList(m_glyphList);
  m_glyphList = nullptr;
}

std::string TQxButtonGlyph::FitCaption(HDC dc, const std::string& caption, int width) const {
  std::string out;
  if (m_wordWrap) {
    out = caption;
  } else {
    qv::fw::TCanvas canvas(dc);
    size_t start = 0;
    while (start <= caption.size()) {
      size_t end = caption.find_first_of("\r\n", start);
      if (end == std::string::npos) end = caption.size();
      out += ShortenText(caption.substr(start, end - start), canvas, width);
      if (end == caption.size()) break;
      // Keep the line break as it was (CR LF, LF or CR).
      size_t next = end + 1;
      if (caption[end] == '\r' && next < caption.size() && caption[next] == '\n') ++next;
      out += caption.substr(end, next - end);
      start = next;
    }
    out = TrimTrailingSpaces(out);
  }
  if (out.size() > kCaptionLimit) out.resize(kCaptionLimit);
  return out;
}

TGlyphPlacement TQxButtonGlyph::ComputeLayout(HDC dc, const TRect& client, UINT textFlags, bool dropDownMark,
                                              int spacing, int margin, TButtonLayout layout,
                                              const std::string& caption) const {
  TGlyphPlacement p;
  const int W = client.Width(), H = client.Height();
  const bool vertical = layout == blGlyphTop || layout == blGlyphBottom;
  const SIZE cell = CellSize();
  p.GlyphSize = cell;

  const int given = (margin != -1 ? margin : 0) + (spacing != -1 ? spacing : 0);
  const int roomW = std::max<int>(0, vertical ? W : W - cell.cx - given - (dropDownMark ? kMarkBesideText : 0));
  const int roomH = std::max<int>(0, vertical ? H - cell.cy - given : H);

  p.Caption = FitCaption(dc, caption, roomW);
  SIZE text{0, 0};
  if (!p.Caption.empty()) {
    RECT t{0, 0, roomW, 0};
    DrawTextA(dc, p.Caption.c_str(), static_cast<int>(p.Caption.size()), &t,
              DT_CALCRECT | (m_wordWrap ? DT_CENTER | DT_VCENTER | DT_WORDBREAK : 0) | textFlags);
    text.cx = std::min<int>(t.right - t.left, roomW);
    text.cy = std::min<int>(t.bottom - t.top, roomH);
  }
  // Sizes as the layout sees them: the mark takes room beside one part.
  SIZE textRoom = text, glyphRoom = cell;
  if (dropDownMark) {
    if (cell.cx == 0 || layout == blGlyphLeft) textRoom.cx += kMarkBesideText;
    else glyphRoom.cx += kMarkBesideGlyph;
  }

  int gx = 0, gy = 0, tx = 0, ty = 0;
  if (vertical) {
    gx = W / 2 - glyphRoom.cx / 2;
    tx = W / 2 - textRoom.cx / 2;
  } else {
    gy = H / 2 - glyphRoom.cy / 2;
    ty = H / 2 - textRoom.cy / 2;
  }
  if (textRoom.cx == 0 || glyphRoom.cx == 0) spacing = 0;

  const int extent = vertical ? H : W;
  const int glyph = vertical ? glyphRoom.cy : glyphRoom.cx;
  const int words = vertical ? textRoom.cy : textRoom.cx;
  if (margin == -1 && spacing == -1) {
    spacing = margin = (extent - glyph - words) / 3;
  } else if (margin == -1) {
    margin = extent / 2 - (glyph + spacing + words) / 2;
  } else if (spacing == -1) {
    spacing = (extent - margin - glyph) / 2 - words / 2;
  }

  switch (layout) {
    case blGlyphLeft:
      gx = margin;
      tx = gx + glyph + spacing;
      break;
    case blGlyphRight:
      gx = W - margin - glyph;
      tx = gx - spacing - words;
      break;
    case blGlyphTop:
      gy = margin;
      ty = gy + glyph + spacing;
      break;
    case blGlyphBottom:
      gy = H - margin - glyph;
      ty = gy - spacing - words;
      break;
  }
  p.Glyph = qv::fw::TPoint{gx + client.Left, gy + client.Top};
  // The caption's own rectangle: the mark's room lies beside it, so a
  // centred caption does not drift away from its mark.
  p.Text = TRect::Bounds(tx + client.Left, ty + client.Top, text.cx, text.cy);
  return p;
}

void TQxButtonGlyph::DrawCaption(HDC dc, const std::string& caption, const TRect& r, TButtonPaintState state,
                                 UINT textFlags, COLORREF textColor) const {
  if (caption.empty()) return;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  // One line is centred in its rectangle: a caption taller than a small
  // button is cut evenly above and below instead of losing its lower half
  // (DT_VCENTER alone does nothing without DT_SINGLELINE). A caption with
  // line breaks keeps them, as ComputeLayout measured it.
  const bool oneLine = !m_wordWrap && caption.find_first_of("\r\n") == std::string::npos;
  const UINT flags = DT_VCENTER | (m_wordWrap ? DT_WORDBREAK : 0) | (oneLine ? DT_SINGLELINE : 0) | textFlags;
  const int n = static_cast<int>(caption.size());
  RECT rc = r.ToRECT();
  if (state == psDisabled) {
    RECT shifted{rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1};
    SetTextColor(dc, ColorToRGB(qv::fw::clBtnHighlight));
    DrawTextA(dc, caption.c_str(), n, &shifted, flags);
    SetTextColor(dc, ColorToRGB(qv::fw::clBtnShadow));
  } else {
    SetTextColor(dc, textColor);
  }
  DrawTextA(dc, caption.c_str(), n, &rc, flags);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

TRect TQxButtonGlyph::Render(qv::fw::TCanvas& canvas, const TRect& client, UINT textFlags, TButtonPaintState state,
                             bool dropDownMark, int spacing, int margin, TButtonLayout layout,
                             const std::string& caption) {
  HDC dc = canvas.Handle();
  const COLORREF textColor = GetTextColor(dc);
  const TGlyphPlacement p = ComputeLayout(dc, client, textFlags, dropDownMark, spacing, margin, layout, caption);
  if (!m_source.Empty()) {
    const int index = CellImageIndex(state);
    if (index >= 0 && m_glyphList)
      ImageList_Draw(m_glyphList->Handle(), index, dc, p.Glyph.X, p.Glyph.Y, ILD_TRANSPARENT);
  }
  DrawCaption(dc, p.Caption, p.Text, state, textFlags, textColor);
  if (dropDownMark) {
    int x, y;
    if (layout != blGlyphLeft && p.GlyphSize.cx > 0) {
      x = p.Glyph.X + p.GlyphSize.cx + 1;
      y = p.Glyph.Y + p.GlyphSize.cy / 2;
    } else {
      x = !p.Caption.empty() ? p.Text.Right + 3 : (client.Left + client.Right - 7) / 2;
      y = p.Text.Top + p.Text.Height() / 2;
    }
    DrawMenuMark(dc, x, y, state);
  }
  return p.Text;
}

// --- Free drawing routines

void DrawMenuMark(HDC dc, int x, int y, TButtonPaintState state) {
  auto triangle = [dc](int x0, int y0, TColor c) {
    for (int row = 0; row < 4; ++row) FillColor(dc, x0 + row, y0 - 1 + row, x0 + 7 - row, y0 + row, c);
  };
  if (state == psDisabled) {
    triangle(x + 1, y + 1, qv::fw::clBtnHighlight);
    triangle(x, y, qv::fw::clBtnShadow);
  } else {
    triangle(x, y, qv::fw::clBtnText);
  }
}

TRect Frame3D(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.Width() <= 0 || r.Height() <= 0) return r;
  // The corners where the colours meet (top-right, bottom-left) take the
  // bottom-right colour, as a raised frame's light comes from the top left.
  FillColor(dc, r.Left, r.Top, r.Right - 1, r.Top + 1, topLeft);
  FillColor(dc, r.Left, r.Top, r.Left + 1, r.Bottom - 1, topLeft);
  FillColor(dc, r.Right - 1, r.Top, r.Right, r.Bottom, bottomRight);
  FillColor(dc, r.Left, r.Bottom - 1, r.Right, r.Bottom, bottomRight);
  return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

TRect DrawButtonBorder(qv::fw::TCanvas& canvas, const TRect& rect, bool down, TButtonStyle style, bool flat) {
  using namespace qv::fw;
  HDC dc = canvas.Handle();
  const bool newLook = style == bsNew || (style == bsAutoDetect && NewStyleControls());
  TRect r = rect;
  if (flat) {
    if (newLook) r = down ? Frame3D(dc, r, clBtnShadow, clBtnHighlight) : Frame3D(dc, r, clBtnHighlight, clBtnShadow);
    else r = down ? Frame3D(dc, r, clWindowFrame, clBtnHighlight) : Frame3D(dc, r, clBtnHighlight, clWindowFrame);
  } else if (newLook) {
    if (down) {
      r = Frame3D(dc, r, clWindowFrame, clBtnHighlight);
      r = Frame3D(dc, r, clBtnShadow, clBtnFace);
    } else {
      r = Frame3D(dc, r, clBtnHighlight, clWindowFrame);
      r = Frame3D(dc, r, clBtnFace, clBtnShadow);
    }
  } else {
    r = Frame3D(dc, r, clWindowFrame, clWindowFrame);
    if (down) {
      FillColor(dc, r.Left, r.Top, r.Left + 1, r.Bottom, clBtnShadow);
      FillColor(dc, r.Left, r.Top, r.Right, r.Top + 1, clBtnShadow);
      r.Left += 1;
      r.Top += 1;
    } else {
      r = Frame3D(dc, r, clBtnHighlight, clBtnShadow);
    }
  }
  return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

}  // namespace qv::controls
