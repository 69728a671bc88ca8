// Internal to the list views (EnhListView, ExtListView): the small text and
// notification helpers their painting and notification code share. Not an
// API. Exercised by tests/controls/lists/EnhListView_test.cpp and
// tests/controls/lists/ExtListView_test.cpp.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "framework/StdCtrls.h"

namespace qv::controls::detail {

// Texts arrive in the notification's form: cp1252 for A, UTF-16 for W.
// At most maxChars characters are read (all up to the terminator when
// negative).
inline std::string FromWide(const wchar_t* w, int maxChars = -1) {
  if (!w) return {};
  const int len = maxChars < 0 ? -1 : static_cast<int>(wcsnlen(w, static_cast<size_t>(maxChars)));
  const int n = WideCharToMultiByte(1252, 0, w, len, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(1252, 0, w, len, s.data(), n, nullptr, nullptr);
  if (len < 0 && !s.empty()) s.pop_back();  // the terminator
  return s;
}

// Copies text into a buffer of cch characters (terminator included), cut
// when longer, always terminated.
inline void CopyOut(const std::string& text, void* buffer, int cch, bool wide) {
  if (!buffer || cch <= 0) return;
  const int n = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(cch - 1)));
  if (wide) {
    auto* w = static_cast<wchar_t*>(buffer);
    // cp1252 gives one UTF-16 unit per byte, so n bytes fill n units; a
    // zero count would ask for the size instead of converting.
    const int done = n == 0 ? 0 : MultiByteToWideChar(1252, 0, text.data(), n, w, n);
    w[done > 0 ? done : 0] = L'\0';
  } else {
    auto* a = static_cast<char*>(buffer);
    std::memcpy(a, text.data(), static_cast<size_t>(n));
    a[n] = '\0';
  }
}

// A notification code that comes in an A and a W form.
inline bool IsCode(UINT code, UINT a, UINT w) { return code == a || code == w; }

// DrawText's horizontal alignment flag of a column alignment.
inline UINT DrawTextAlign(fw::TAlignment a) {
  switch (a) {
    case fw::TAlignment::RightJustify: return DT_RIGHT;
    case fw::TAlignment::Center: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// Where a one-line caption goes in a header section's text area: as wide
// as the caption (at most the area), placed by the column's alignment.
inline RECT CaptionRect(HDC dc, const std::string& caption, const RECT& area, fw::TAlignment a) {
  RECT calc{0, 0, 0, 0};
  DrawTextA(dc, caption.c_str(), -1, &calc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  const int textW = std::min<int>(calc.right, std::max<int>(0, area.right - area.left));
  RECT text = area;
  if (a == fw::TAlignment::RightJustify)
    text.left = text.right - textW;
  else if (a == fw::TAlignment::Center)
    text.left = area.left + (area.right - area.left - textW) / 2, text.right = text.left + textW;
  else
    text.right = text.left + textW;
  return text;
}

}  // namespace qv::controls::detail
