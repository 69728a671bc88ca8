// Locale-free text conversions between UTF-16, UTF-8 and Windows-1252, the
// program's 8-bit code page: names and paths in the engine and the app, tag
// texts in the media readers (ID3 frames, EXIF XP tags).
// Characters that cp1252 lacks become '?'; the result never depends on the
// process locale or the system's ANSI code page.
// Tested by tests/base/CodePage_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::base {

// One UTF-16 code unit to cp1252; '?' when cp1252 has no such character.
// The five bytes cp1252 leaves undefined (81 8D 8F 90 9D) map to and from the
// C1 controls of the same value, as Windows' own tables do, so every byte
// round-trips.
char Utf16UnitToCp1252(char16_t unit);
char16_t Cp1252ToUtf16Unit(uint8_t byte);

// A whole UTF-16 text to cp1252. A surrogate pair (one character outside the
// BMP) gives one '?', as does a lone surrogate. Zero units are copied.
std::string Utf16ToCp1252(std::u16string_view text);

// The same for raw bytes, big-endian or little-endian; an odd last byte is
// ignored.
std::string Utf16BytesToCp1252(const uint8_t* bytes, size_t count, bool bigEndian);

// UTF-8 to UTF-16. Each invalid, overlong or truncated sequence, encoded
// surrogate and code point past U+10FFFF becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-8 straight to cp1252 (each character outside cp1252 gives one '?').
std::string Utf8ToCp1252(std::string_view text);

// cp1252 to UTF-16 and to UTF-8 (tools and tests print UTF-8).
std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace qv::base
