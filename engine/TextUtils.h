// Small stateless text and path helpers of the engine, on 8-bit Windows-1252
// text: plurals, padding, path pieces, accent folding, case conversion and
// the characters forbidden in file names. No locale is consulted: the
// cp1252 case tables are built in, so results are the same natively and
// under Wine. Tested by tests/engine/TextUtils_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::engine {

// word + "s" when word is not empty and n > 1 (0 and 1 take the singular).
std::string PluralSuffix(std::string_view word, int64_t n);
// Inserts ch at the front until text has at least width characters (width
// is clamped to 0..255); never cuts.
std::string PadLeft(std::string_view text, int width, char ch);
// Decimal text of n, "0" inserted at the front up to width (0..255).
std::string ZeroPad(int64_t n, int width);

std::string StripTrailingBackslashes(std::string_view path);
std::string AddTrailingBackslash(std::string_view path);
// Display name of a folder: "C:\Photos\Paris\" gives "Paris", "C:\" gives "C".
std::string ExtractFolderName(std::string_view path);
// Text after the last "\" (empty when it ends with one; all when none).
std::string LastPathComponent(std::string_view path);
// Decimal text of n with sep between groups of three digits ("1 234 567"
// with a blank); the system's separator is given by the caller.
std::string FormatThousands(int64_t n, std::string_view sep = " ");
// Every blank becomes "%20".
std::string EncodeSpaces(std::string_view text);

// Accented Latin letters to plain letters, case kept (Š Ž Ÿ and the
// 192..255 letters; Æ Ø ß Ð Þ and others stay).
std::string FoldAccents(std::string_view text);
char FoldAccentChar(char c);
// Narrower folding table (À Â Ä Ç È..Ë Î Ï Ô Ö Ù Û Ü ÿ and their small
// forms) to the plain capital / small letter; other characters change by
// the ASCII rule only.
std::string UpperCaseFolded(std::string_view text);
std::string LowerCaseFolded(std::string_view text);

// Windows-1252 locale case conversion (what CharUpperBuff / CharLowerBuff
// do in a Western code page): ASCII letters, the 192..254 letters except
// the multiplication and division signs, and Š Œ Ž / š œ ž, Ÿ / ÿ.
// ß and µ have no single-byte capital and stay.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);
// ASCII-only case conversion (letters a..z / A..Z).
std::string AsciiUpperCase(std::string_view text);
std::string AsciiLowerCase(std::string_view text);

// The nine characters forbidden in file names: " * / : < > ? \ |
inline constexpr std::string_view kForbiddenChars = "\"*/:<>?\\|";
bool IsForbiddenChar(char c);
bool HasForbiddenChar(std::string_view text);
// Copy of text without any forbidden character.
std::string RemoveForbiddenChars(std::string_view text);

}  // namespace qv::engine
