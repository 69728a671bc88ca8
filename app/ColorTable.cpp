// Colour-table access and the out-of-resources error.
#include "app/ColorTable.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace qv::app {

namespace {

// How many of count entries fit in a span of size n (never negative).
int Fitting(int count, size_t n) {
  if (count <= 0) return 0;
  return static_cast<int>(std::min(static_cast<size_t>(count), n));
}

}  // namespace

void RaiseLastResourceError() {
  const DWORD code = GetLastError();
  std::string text;
  if (code != 0) {
    char buffer[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                   LANG_USER_DEFAULT, buffer, sizeof buffer, nullptr);
    text.assign(buffer, std::min<DWORD>(n, sizeof buffer));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  }
  if (text.empty()) text = "Ressources système insuffisantes";
  throw EOutOfResources(text, code);
}

int GetColorTable(fw::TBitmap& bitmap, std::span<fw::TColor> colours, int lastIndex, int firstIndex) {
  const int count = lastIndex < 0 ? 0 : Fitting(lastIndex + 1, colours.size());
  UINT read = 0;
  SetLastError(0);
  if (!bitmap.Empty() && count > 0 && firstIndex >= 0) {
    std::vector<RGBQUAD> quads(static_cast<size_t>(count));
    read = GetDIBColorTable(bitmap.Dc(), static_cast<UINT>(firstIndex), static_cast<UINT>(count), quads.data());
    for (UINT i = 0; i < read; ++i) colours[i] = RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
    bitmap.Dormant();
  }
  return static_cast<int>(CheckResourceResult(read));
}

int SetColorTable(fw::TBitmap& bitmap, std::span<const fw::TColor> colours, int lastIndex, int firstIndex) {
  const int count = lastIndex < 0 ? 0 : Fitting(lastIndex + 1, colours.size());
  int written = 0;
  SetLastError(0);
  if (!bitmap.Empty() && count > 0 && firstIndex >= 0) {
    // The bitmap keeps its own copy of the table in step with GDI's.
    written = bitmap.SetColorTable(firstIndex, std::vector<fw::TColor>(colours.begin(), colours.begin() + count));
    bitmap.Dormant();
  }
  return CheckResourceResult(written);
}

}  // namespace qv::app
