// Locale-aware comparison.
#include "support/QcUnicode.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "support/QcSysInfo.h"
#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {

const TUnitVersionInfo kUnitVersion = {"support/QcUnicode.cpp", "3.2.0.0", "", "QCL\\source\\common", "",
                                       nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);

int Clamped(size_t n) { return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

std::string ToAnsi(UINT codePage, std::wstring_view s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, s.data(), Clamped(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, s.data(), Clamped(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// CompareString's 1, 2, 3 as -1, 0, 1; its 0 (failure) as -2, so that a
// caller can tell a refused comparison from "equal".
int Centered(int r) { return r - CSTR_EQUAL; }

}  // namespace

namespace detail {

UINT LocaleAnsiCodePage(LCID locale) {
  char buffer[16] = {};
  if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, buffer, sizeof buffer) > 1) {
    char* end = nullptr;
    const unsigned long cp = std::strtoul(buffer, &end, 10);
    if (end != buffer && *end == '\0') return static_cast<UINT>(cp);
  }
  return GetACP();
}

int CompareTextWide(LCID locale, std::wstring_view a, std::wstring_view b) {
  return Centered(CompareStringW(locale, NORM_IGNORECASE, a.data(), Clamped(a.size()), b.data(), Clamped(b.size())));
}

int CompareTextAnsi(LCID locale, std::wstring_view a, std::wstring_view b) {
  const UINT cp = LocaleAnsiCodePage(locale);
  const std::string x = ToAnsi(cp, a), y = ToAnsi(cp, b);
  return Centered(CompareStringA(locale, NORM_IGNORECASE, x.data(), Clamped(x.size()), y.data(), Clamped(y.size())));
}

}  // namespace detail

int CompareTextLocale(LCID locale, std::wstring_view a, std::wstring_view b) {
  // Chosen once, at the unit's start.
  static const bool wide = SystemInfo().IsWinNT;
  return wide ? detail::CompareTextWide(locale, a, b) : detail::CompareTextAnsi(locale, a, b);
}

}  // namespace qv::controls
