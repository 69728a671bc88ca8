// Shared by the date edit's and calendars' tests: a fixed French date
// locale, key and character posting through the application's loop, and a
// whole-screen BMP under <build folder>/screenshots.
#pragma once

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/input/InputTestSupport.h"
#include "controls/input/QxDateUtil.h"
#include "engine/DateTime.h"
#include "framework/WinControl.h"

namespace qv::test {

inline qv::controls::TDateLocale FrenchDates(const std::string& shortDate = "dd/MM/yyyy") {
  qv::controls::TDateLocale l;
  l.Entry.ShortDateFormat = shortDate;
  l.ShortDayNames = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
  return l;
}

// Sets the locale for one test and puts the system's back afterwards.
struct TLocaleScope {
  explicit TLocaleScope(const qv::controls::TDateLocale& l) { qv::controls::SetDateLocale(l); }
  ~TLocaleScope() { qv::controls::ResetDateLocale(); }
};

inline qv::engine::TDateTime Ymd(int y, int m, int d) { return qv::engine::EncodeDateOnly(y, m, d); }

inline void PostKey(HWND h, WORD vk) {
  PostMessageA(h, WM_KEYDOWN, vk, 1);
  PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
  App().ProcessMessages();
}

inline void PostChars(HWND h, const std::string& chars) {
  for (char ch : chars) PostMessageA(h, WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

// A key with Ctrl held, as the keyboard state says while it is handled.
inline void PostCtrlKey(HWND h, WORD vk) {
  BYTE state[256];
  GetKeyboardState(state);
  const BYTE old = state[VK_CONTROL];
  state[VK_CONTROL] |= 0x80;
  SetKeyboardState(state);
  PostKey(h, vk);
  state[VK_CONTROL] = old;
  SetKeyboardState(state);
}

inline std::filesystem::path SaveScreenBmp(const std::string& name) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::filesystem::path dir = std::filesystem::path(exe).parent_path();
  while (dir.has_parent_path() && dir != dir.parent_path() && !std::filesystem::exists(dir / "CMakeCache.txt"))
    dir = dir.parent_path();
  dir /= "screenshots";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD size = ((static_cast<DWORD>(w) * 3 + 3) & ~3u) * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + size;
  const auto path = dir / (name + ".bmp");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
  out.write(static_cast<const char*>(bits), size);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return path;
}

}  // namespace qv::test
