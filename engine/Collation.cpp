// Built-in cp1252 collation; see Collation.h.
#include "engine/Collation.h"

#include <array>

#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

// Level separators and weights; every weight is above kLevelEnd.
constexpr unsigned char kLevelEnd = 0x01;
constexpr unsigned char kNoAccent = 0x02;

struct Weight {
  unsigned char primary[2] = {0, 0};  // 0 = none
  unsigned char secondary = 0;        // for each primary byte
  bool ignorable = false;             // hyphens and apostrophes
};

constexpr unsigned char LetterWeight(char upper) { return static_cast<unsigned char>(0x80 + 2 * (upper - 'A')); }

std::array<Weight, 256> MakeTable() {
  std::array<Weight, 256> t{};
  unsigned char punct = 0x10;   // ASCII blanks and punctuation
  unsigned char symbol = 0x30;  // the other non-letters
  for (int c = 0; c < 256; ++c) {
    Weight& w = t[c];
    const char ch = static_cast<char>(c);
    if (c == '-' || c == '\'' || c == 0x91 || c == 0x92 || c == 0x96 || c == 0x97 || c == 0xAD) {
      w.ignorable = true;
      continue;
    }
    if (c < 0x20) {
      w.primary[0] = 0x03;
      w.secondary = static_cast<unsigned char>(c + 2);
      continue;
    }
    if (c >= '0' && c <= '9') {
      w.primary[0] = static_cast<unsigned char>(0x70 + (c - '0'));
      w.secondary = kNoAccent;
      continue;
    }
    // Letters: the plain capital of the accent-folded letter.
    const char folded = AnsiUpperChar(FoldAccentChar(ch));
    if (folded >= 'A' && folded <= 'Z') {
      w.primary[0] = LetterWeight(folded);
      const char lower = AnsiLowerChar(ch);
      w.secondary = (lower == AnsiLowerChar(folded)) ? kNoAccent : static_cast<unsigned char>(lower);
      continue;
    }
    auto two = [&](char a, char b) {
      w.primary[0] = LetterWeight(a);
      w.primary[1] = LetterWeight(b);
      w.secondary = static_cast<unsigned char>(AnsiLowerChar(ch));
    };
    switch (c) {
      case 0xC6: case 0xE6: two('A', 'E'); continue;  // Æ æ
      case 0x8C: case 0x9C: two('O', 'E'); continue;  // Œ œ
      case 0xDF: two('S', 'S'); continue;              // ß
      case 0xD8: case 0xF8: w.primary[0] = LetterWeight('O'); w.secondary = 0xF8; continue;
      case 0xD0: case 0xF0: w.primary[0] = LetterWeight('D'); w.secondary = 0xF0; continue;
      case 0x83: w.primary[0] = LetterWeight('F'); w.secondary = 0x83; continue;  // ƒ
      case 0xAA: w.primary[0] = LetterWeight('A'); w.secondary = 0xAA; continue;  // ª
      case 0xBA: w.primary[0] = LetterWeight('O'); w.secondary = 0xBA; continue;  // º
      case 0xDE: case 0xFE: w.primary[0] = LetterWeight('Z') + 1; w.secondary = kNoAccent; continue;  // Þ þ
      case 0xB9: w.primary[0] = 0x71; w.secondary = 0xB9; continue;  // superscript digits
      case 0xB2: w.primary[0] = 0x72; w.secondary = 0xB2; continue;
      case 0xB3: w.primary[0] = 0x73; w.secondary = 0xB3; continue;
      default: break;
    }
    w.secondary = kNoAccent;
    if (c < 0x80)
      w.primary[0] = punct++;
    else
      w.primary[0] = symbol++;
  }
  return t;
}

const std::array<Weight, 256>& Table() {
  static const std::array<Weight, 256> table = MakeTable();
  return table;
}

}  // namespace

void AppendCollationKey(std::string_view text, std::string& out) {
  const auto& t = Table();
  // One pass: primary weights straight into out, accents and ignorables
  // aside, appended after it.
  char secondary[512];
  char tertiary[256];
  size_t ns = 0, nt = 0;
  bool accented = false;
  const size_t start = out.size();
  out.resize(start + 2 * text.size());
  char* p = out.data() + start;
  for (char c : text) {
    const Weight& w = t[static_cast<unsigned char>(c)];
    if (w.primary[0]) {
      *p++ = static_cast<char>(w.primary[0]);
      accented |= w.secondary != kNoAccent;
      if (ns < sizeof secondary) secondary[ns++] = static_cast<char>(w.secondary);
      if (w.primary[1]) {
        *p++ = static_cast<char>(w.primary[1]);
        if (ns < sizeof secondary) secondary[ns++] = static_cast<char>(w.secondary);
      }
    } else if (w.ignorable && nt < sizeof tertiary) {
      tertiary[nt++] = c;
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
  out += static_cast<char>(kLevelEnd);
  // Accents only matter when the letters are the same; a key whose accents
  // are all plain stops here.
  if (accented) out.append(secondary, ns);
  out += static_cast<char>(kLevelEnd);
  out.append(tertiary, nt);
}

std::string CollationKey(std::string_view text) {
  std::string key;
  key.reserve(text.size() + 4);
  AppendCollationKey(text, key);
  return key;
}

int CompareTextCollated(std::string_view a, std::string_view b) {
  const std::string ka = CollationKey(a), kb = CollationKey(b);
  const int c = ka.compare(kb);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace qv::engine
