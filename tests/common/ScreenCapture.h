// Screenshots of windowed tests: an area of the screen written as a 24-bit
// BMP, and the build folder's screenshots/ folder they go to.
// Example: SaveScreenArea(WholeScreen(), BuildScreenshotDir() / "x.bmp");
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace qv::test {

inline RECT WholeScreen() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The area (screen coordinates) as the screen shows it now.
inline bool SaveScreenArea(const RECT& r, const std::filesystem::path& path) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
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
  bool ok = false;
  if (bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD size = ((static_cast<DWORD>(w) * 3 + 3) & ~3u) * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    ok = out.good();
    SelectObject(mem, old);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

// The window with its frame, as the screen shows it.
inline bool SaveWindowPicture(HWND window, const std::filesystem::path& path) {
  RECT r{};
  return GetWindowRect(window, &r) && SaveScreenArea(r, path);
}

// <build folder>/screenshots, made if needed: the build folder is the first
// parent of the test program that holds CMakeCache.txt.
inline std::filesystem::path BuildScreenshotDir() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::filesystem::path dir = std::filesystem::path(exe).parent_path();
  while (dir.has_parent_path() && dir != dir.parent_path() && !std::filesystem::exists(dir / "CMakeCache.txt"))
    dir = dir.parent_path();
  dir /= "screenshots";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace qv::test
