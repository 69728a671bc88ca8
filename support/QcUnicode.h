// Locale-aware comparison of wide texts, ignoring case: CompareStringW on
// NT; on Windows 9x, whose CompareStringW does nothing, both texts are
// first converted to the locale's ANSI code page and compared there.
// Example:  if (CompareTextLocale(LOCALE_USER_DEFAULT, L"École", L"ecole") < 0) ...
// Tested by tests/support/QcStrings_test.cpp.
#pragma once

#include <windows.h>

#include <string_view>

namespace qv::controls {

// -1, 0 or 1; -2 when the system cannot compare the texts.
int CompareTextLocale(LCID locale, std::wstring_view a, std::wstring_view b);

namespace detail {
// The two ways, so that the 9x way is testable on NT.
int CompareTextWide(LCID locale, std::wstring_view a, std::wstring_view b);
int CompareTextAnsi(LCID locale, std::wstring_view a, std::wstring_view b);
// LOCALE_IDEFAULTANSICODEPAGE of the locale, the process's ANSI code page
// when that is not a number.
UINT LocaleAnsiCodePage(LCID locale);
}  // namespace detail

}  // namespace qv::controls
