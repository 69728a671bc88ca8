// GDI wrappers: fonts (shared handles), the canvas over a device context, and
// scope objects for paired calls. TBitmap (DIB section with colour table)
// lives in Bitmap.h. Tested by tests/framework/Bitmap_test.cpp and
// tests/framework/Label_test.cpp (painting).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/Types.h"

namespace qv::fw {

struct TFontStyles {
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  bool operator==(const TFontStyles&) const = default;
};

// A font description; its handle is created on demand and shared between
// equal fonts (the cache keeps handles for the process lifetime).
class TFont {
public:
  TFont();
  const std::string& Name() const { return m_name; }
  int Size() const { return m_size; }  // points
  TColor Color() const { return m_color; }
  const TFontStyles& Style() const { return m_style; }
  void SetName(const std::string& n) { m_name = n; Changed(); }
  void SetSize(int points) { m_size = points; Changed(); }
  void SetColor(TColor c) { m_color = c; Changed(); }
  void SetStyle(const TFontStyles& s) { m_style = s; Changed(); }
  void Assign(const TFont& other);
  HFONT Handle() const;
  bool operator==(const TFont& o) const {
    return m_name == o.m_name && m_size == o.m_size && m_color == o.m_color && m_style == o.m_style;
  }

  // Called after any change (controls re-apply their font).
  std::function<void()> OnChange;

private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::string m_name;
  int m_size;
  TColor m_color;
  TFontStyles m_style;
};

// Borrows a device context; restores every object it selected.
class TCanvas {
public:
  explicit TCanvas(HDC dc);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return m_dc; }
  void SetFont(const TFont& f);
  void SetBrushColor(TColor c);
  void SetPenColor(TColor c, int width = 1);
  void FillRect(const TRect& r, TColor c);
  void FrameRect(const TRect& r, TColor c);
  void Line(int x1, int y1, int x2, int y2, TColor c);
  // Text in the current font; transparent background.
  void Text(int x, int y, const std::string& s, TColor color);
  void TextRect(const std::string& s, TRect r, UINT format, TColor color);
  SIZE TextExtent(const std::string& s);
  void Draw(int x, int y, HBITMAP bmp, bool transparent = false, COLORREF transparentColor = 0);
  void TileBitmap(const TRect& area, HBITMAP bmp, POINT origin);

private:
  HDC m_dc;
  HGDIOBJ m_oldFont = nullptr, m_oldBrush = nullptr, m_oldPen = nullptr;
  HBRUSH m_brush = nullptr;
  HPEN m_pen = nullptr;
};

// Off-screen drawing for flicker-free painting: draw into Canvas(), then the
// destructor copies the result to the target DC.
class TDoubleBuffer {
public:
  TDoubleBuffer(HDC target, const TRect& area);
  ~TDoubleBuffer();
  TDoubleBuffer(const TDoubleBuffer&) = delete;
  TDoubleBuffer& operator=(const TDoubleBuffer&) = delete;
  HDC Dc() const { return m_mem; }

private:
  HDC m_target, m_mem;
  HBITMAP m_bmp;
  HGDIOBJ m_old;
  TRect m_area;
};

// The hourglass while a long operation runs on the main thread.
class TWaitCursor {
public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The metrics of a font as the screen draws it (heights of one-line
// controls follow from them).
TEXTMETRICA FontMetrics(HFONT font);

}  // namespace qv::fw
