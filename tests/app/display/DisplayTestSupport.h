// Shared pieces of the display-control tests: the one application object, a
// test window, message pumping with a watchdog, and pictures rendered
// through WM_PRINTCLIENT into 32-bit memory bitmaps whose pixels are read.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"

namespace qv::test {

inline fw::TApplication& App() {
  static fw::TApplication* app = [] {
    auto* a = new fw::TApplication();
    a->SetTitle("QvDisplayTests");
    return a;
  }();
  return *app;
}

class TDisplayTestForm : public fw::TForm {
public:
  explicit TDisplayTestForm(int width = 400, int height = 300, const char* className = "TDisplayTestForm")
      : fw::TForm(&App(), className) {
    SetBorderStyle(fw::TBorderStyle::Single);
    SetClientSize(width, height);
    SetBounds(40, 40, Width(), Height());
  }
  using fw::TForm::FinishCreate;
  // Ends the layout and shows the window.
  void Open() {
    FinishCreate();
    Show();
    Pump();
  }
  static void Pump() { App().ProcessMessages(); }
};

// Pumps messages until pred holds, bounded generously: it waits for
// something that must happen, which a busy machine can delay for seconds.
inline bool PumpUntil(const std::function<bool()>& pred) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  for (;;) {
    App().ProcessMessages();
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// A 32-bit top-down DIB section (0x00RRGGBB pixels, rows from the top);
// the caller owns it.
inline HBITMAP MakeSection32(int width, int height, uint32_t*& bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  bits = static_cast<uint32_t*>(p);
  return bmp;
}

// A 32-bit top-down picture with pixel access (0x00RRGGBB read as COLORREF).
class TPicture {
public:
  TPicture(int width, int height, COLORREF fill = RGB(1, 2, 3)) : m_width(width), m_height(height) {
    m_dc = CreateCompatibleDC(nullptr);
    m_bmp = MakeSection32(width, height, m_bits);
    m_old = SelectObject(m_dc, m_bmp);
    Fill(fill);
  }
  ~TPicture() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bmp);
    DeleteDC(m_dc);
  }
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  HDC Dc() const { return m_dc; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  void Fill(COLORREF c) {
    RECT r{0, 0, m_width, m_height};
    SetBkColor(m_dc, c);
    ExtTextOutA(m_dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t v = m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // Renders a window's client area as it paints itself.
  void PrintClient(HWND hwnd) { SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT); }

private:
  int m_width, m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bmp = nullptr;
  HGDIOBJ m_old = nullptr;
  uint32_t* m_bits = nullptr;
};

// A 32-bit DIB section drawn by fn(x, y) -> colour; the caller owns it.
inline HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& fn) {
  uint32_t* p = nullptr;
  HBITMAP bmp = MakeSection32(width, height, p);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = fn(x, y);
      p[y * width + x] = (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return bmp;
}

}  // namespace qv::test
