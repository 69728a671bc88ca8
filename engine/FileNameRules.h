// Which names the file system takes, and how it compares them: a new name
// is checked here before any run touches a file (the system would refuse
// it, or worse, silently store another name: Windows drops trailing dots
// and blanks, Wine creates names with ":"), and names are compared the
// way the file system looks them up, without regard to letter case.
// Tested by tests/engine/FileNameRules_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace qv::engine {

// Longest name of one folder entry.
inline constexpr size_t kMaxFileNameLength = 255;

// False for: an empty name, more than 255 characters, control characters
// (codes 1..31), the forbidden characters, a trailing dot or blank, and
// the reserved device names CON PRN AUX NUL COM1..9 LPT1..9 (also with the
// superscript digits 1..3) with or without an extension.
bool IsValidFileName(std::string_view cp1252Name);
bool IsReservedDeviceName(std::string_view cp1252Name);

// False for a folder entry's name that ends in a dot or a blank: the
// system drops those from every path, so such a file cannot be opened by
// its name (another system made it).
bool IsReachableName(std::u16string_view name);
// The same test on the cp1252 form of a name (its last character is the
// wide name's: "." and " " are never lossy).
bool IsReachableName(std::string_view name);

// The key under which the file system finds a cp1252 name: its letters in
// capitals (the Windows-1252 case pairs, which the Unicode case pairs of
// these characters are).
std::string FileNameKey(std::string_view cp1252Name);
// The same for a UTF-16 name, unit by unit (letters outside cp1252 are
// kept; no cp1252 name can equal such a name anyway).
std::u16string FileNameKey(std::u16string_view name);
// Same name, or one that differs only in letter case.
bool SameFileName(std::u16string_view a, std::u16string_view b);

}  // namespace qv::engine
