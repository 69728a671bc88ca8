// Between the engine's UTF-16 names (std::u16string) and the Win32 wide
// API (wchar_t is 16 bits here), and from cp1252 paths to wide paths.
#pragma once

#include <string>
#include <string_view>

#include "base/CodePage.h"

namespace qv::engine::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U16(const wchar_t* s) { return std::u16string(reinterpret_cast<const char16_t*>(s)); }
inline std::u16string U16(std::string_view cp1252) { return base::Cp1252ToUtf16(cp1252); }

}  // namespace qv::engine::win32
