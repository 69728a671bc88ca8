// Fonts, canvas, double buffer, wait cursor.
#include "framework/Graphics.h"

#include <map>
#include <tuple>

namespace qv::fw {

namespace {
// Process-wide font handles keyed by their description; never deleted while
// the process runs (controls hold them).
HFONT CachedFont(const std::string& name, int size, const TFontStyles& st) {
  using Key = std::tuple<std::string, int, bool, bool, bool, bool>;
  static std::map<Key, HFONT> cache;
  const Key k{name, size, st.Bold, st.Italic, st.Underline, st.StrikeOut};
  auto it = cache.find(k);
  if (it != cache.end()) return it->second;
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = st.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = st.Italic;
  lf.lfUnderline = st.Underline;
  lf.lfStrikeOut = st.StrikeOut;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  HFONT f = CreateFontIndirectA(&lf);
  if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  cache.emplace(k, f);
  return f;
}
}  // namespace

TFont::TFont() : m_name("Tahoma"), m_size(8), m_color(clWindowText) {}

void TFont::Assign(const TFont& other) {
  if (*this == other) return;
  m_name = other.m_name;
  m_size = other.m_size;
  m_color = other.m_color;
  m_style = other.m_style;
  Changed();
}

HFONT TFont::Handle() const { return CachedFont(m_name, m_size, m_style); }

TCanvas::TCanvas(HDC dc) : m_dc(dc) {}

TCanvas::~TCanvas() {
  if (m_oldFont) SelectObject(m_dc, m_oldFont);
  if (m_oldBrush) SelectObject(m_dc, m_oldBrush);
  if (m_oldPen) SelectObject(m_dc, m_oldPen);
  if (m_brush) DeleteObject(m_brush);
  if (m_pen) DeleteObject(m_pen);
}

void TCanvas::SetFont(const TFont& f) {
  HGDIOBJ old = SelectObject(m_dc, f.Handle());
  if (!m_oldFont) m_oldFont = old;
  SetTextColor(m_dc, ColorToRGB(f.Color()));
}

void TCanvas::SetBrushColor(TColor c) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(c));
  HGDIOBJ old = SelectObject(m_dc, b);
  if (!m_oldBrush) m_oldBrush = old;
  if (m_brush) DeleteObject(m_brush);
  m_brush = b;
}

void TCanvas::SetPenColor(TColor c, int width) {
  HPEN p = CreatePen(PS_SOLID, width, ColorToRGB(c));
  HGDIOBJ old = SelectObject(m_dc, p);
  if (!m_oldPen) m_oldPen = old;
  if (m_pen) DeleteObject(m_pen);
  m_pen = p;
}

void TCanvas::FillRect(const TRect& r, TColor c) {
  RECT rc = r.ToRECT();
  SetBkColor(m_dc, ColorToRGB(c));
  ExtTextOutA(m_dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void TCanvas::FrameRect(const TRect& r, TColor c) {
  Line(r.Left, r.Top, r.Right - 1, r.Top, c);
  Line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, c);
  Line(r.Right - 1, r.Bottom - 1, r.Left, r.Bottom - 1, c);
  Line(r.Left, r.Bottom - 1, r.Left, r.Top, c);
}

void TCanvas::Line(int x1, int y1, int x2, int y2, TColor c) {
  SetPenColor(c);
  MoveToEx(m_dc, x1, y1, nullptr);
  LineTo(m_dc, x2, y2);
  // LineTo leaves out the last pixel; draw it so frames close.
  SetPixel(m_dc, x2, y2, ColorToRGB(c));
}

void TCanvas::Text(int x, int y, const std::string& s, TColor color) {
  SetBkMode(m_dc, TRANSPARENT);
  SetTextColor(m_dc, ColorToRGB(color));
  ::TextOutA(m_dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

void TCanvas::TextRect(const std::string& s, TRect r, UINT format, TColor color) {
  SetBkMode(m_dc, TRANSPARENT);
  SetTextColor(m_dc, ColorToRGB(color));
  RECT rc = r.ToRECT();
  ::DrawTextA(m_dc, s.c_str(), static_cast<int>(s.size()), &rc, format);
}

SIZE TCanvas::TextExtent(const std::string& s) {
  SIZE sz{};
  GetTextExtentPoint32A(m_dc, s.c_str(), static_cast<int>(s.size()), &sz);
  return sz;
}

void TCanvas::Draw(int x, int y, HBITMAP bmp, bool transparent, COLORREF transparentColor) {
  if (!bmp) return;
  BITMAP bm{};
  GetObject(bmp, sizeof bm, &bm);
  HDC mem = CreateCompatibleDC(m_dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  if (transparent)
    TransparentBlt(m_dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, bm.bmWidth, bm.bmHeight, transparentColor);
  else
    BitBlt(m_dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TCanvas::TileBitmap(const TRect& area, HBITMAP bmp, POINT origin) {
  if (!bmp) return;
  HBRUSH brush = CreatePatternBrush(bmp);
  POINT old{};
  SetBrushOrgEx(m_dc, origin.x, origin.y, &old);
  RECT rc = area.ToRECT();
  ::FillRect(m_dc, &rc, brush);
  SetBrushOrgEx(m_dc, old.x, old.y, nullptr);
  DeleteObject(brush);
}

TDoubleBuffer::TDoubleBuffer(HDC target, const TRect& area) : m_target(target), m_area(area) {
  m_mem = CreateCompatibleDC(target);
  m_bmp = CreateCompatibleBitmap(target, area.Width() > 0 ? area.Width() : 1, area.Height() > 0 ? area.Height() : 1);
  m_old = SelectObject(m_mem, m_bmp);
  SetWindowOrgEx(m_mem, area.Left, area.Top, nullptr);
}

TDoubleBuffer::~TDoubleBuffer() {
  SetWindowOrgEx(m_mem, 0, 0, nullptr);
  BitBlt(m_target, m_area.Left, m_area.Top, m_area.Width(), m_area.Height(), m_mem, 0, 0, SRCCOPY);
  SelectObject(m_mem, m_old);
  DeleteObject(m_bmp);
  DeleteDC(m_mem);
}

namespace {
int g_waitDepth = 0;
HCURSOR g_savedCursor = nullptr;
}  // namespace

TWaitCursor::TWaitCursor() {
  if (g_waitDepth++ == 0) g_savedCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

TWaitCursor::~TWaitCursor() {
  if (--g_waitDepth == 0) SetCursor(g_savedCursor ? g_savedCursor : LoadCursor(nullptr, IDC_ARROW));
}

TShiftState TShiftState::Current() {
  TShiftState s;
  s.Shift = GetKeyState(VK_SHIFT) < 0;
  s.Ctrl = GetKeyState(VK_CONTROL) < 0;
  s.Alt = GetKeyState(VK_MENU) < 0;
  s.Left = GetKeyState(VK_LBUTTON) < 0;
  s.Right = GetKeyState(VK_RBUTTON) < 0;
  s.Middle = GetKeyState(VK_MBUTTON) < 0;
  return s;
}

TEXTMETRICA FontMetrics(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm;
}

}  // namespace qv::fw
