// File-name validity and case-insensitive keys; see FileNameRules.h.
#include "engine/FileNameRules.h"

#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

char16_t UpperUnit(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  switch (c) {
    case 0xFF: return 0x178;   // ÿ Ÿ
    case 0x161: return 0x160;  // š Š
    case 0x153: return 0x152;  // œ Œ
    case 0x17E: return 0x17D;  // ž Ž
    default: return c;
  }
}

}  // namespace

bool IsReservedDeviceName(std::string_view name) {
  // The base is what stands before the first dot, blanks before the dot
  // ignored ("CON .txt" is the console too).
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  if (base.size() != 3 && base.size() != 4) return false;
  char up[4];
  for (size_t i = 0; i < base.size(); ++i) up[i] = (base[i] >= 'a' && base[i] <= 'z') ? static_cast<char>(base[i] - 32) : base[i];
  const std::string_view u(up, base.size());
  if (u == "CON" || u == "PRN" || u == "AUX" || u == "NUL") return true;
  if (u.size() == 4 && (u.substr(0, 3) == "COM" || u.substr(0, 3) == "LPT")) {
    const unsigned char d = static_cast<unsigned char>(u[3]);
    return (d >= '1' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;  // ¹ ² ³
  }
  return false;
}

bool IsValidFileName(std::string_view name) {
  if (name.empty() || name.size() > kMaxFileNameLength) return false;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || IsForbiddenChar(ch)) return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsReservedDeviceName(name);
}

bool IsReachableName(std::u16string_view name) { return name.empty() || (name.back() != u'.' && name.back() != u' '); }

bool IsReachableName(std::string_view name) { return name.empty() || (name.back() != '.' && name.back() != ' '); }

std::string FileNameKey(std::string_view name) { return AnsiUpperCase(name); }

std::u16string FileNameKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) c = UpperUnit(c);
  return key;
}

bool SameFileName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && UpperUnit(a[i]) != UpperUnit(b[i])) return false;
  return true;
}

}  // namespace qv::engine
