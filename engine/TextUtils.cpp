// Text and path helpers on cp1252 text; see TextUtils.h.
#include "engine/TextUtils.h"

#include <algorithm>
#include <array>

namespace qv::engine {

namespace {

constexpr unsigned char U(char c) { return static_cast<unsigned char>(c); }

using Table = std::array<unsigned char, 256>;

constexpr Table IdentityTable() {
  Table t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

constexpr void Fill(Table& t, int from, int to, char plain) {
  for (int i = from; i <= to; ++i) t[i] = U(plain);
}

constexpr Table MakeFoldAccents() {
  Table t = IdentityTable();
  Fill(t, 192, 197, 'A');
  Fill(t, 199, 199, 'C');
  Fill(t, 200, 203, 'E');
  Fill(t, 204, 207, 'I');
  Fill(t, 209, 209, 'N');
  Fill(t, 210, 214, 'O');
  Fill(t, 217, 220, 'U');
  Fill(t, 221, 221, 'Y');
  Fill(t, 159, 159, 'Y');
  Fill(t, 138, 138, 'S');
  Fill(t, 142, 142, 'Z');
  Fill(t, 224, 229, 'a');
  Fill(t, 231, 231, 'c');
  Fill(t, 232, 235, 'e');
  Fill(t, 236, 239, 'i');
  Fill(t, 241, 241, 'n');
  Fill(t, 242, 246, 'o');
  Fill(t, 249, 252, 'u');
  Fill(t, 253, 253, 'y');
  Fill(t, 255, 255, 'y');
  Fill(t, 154, 154, 's');
  Fill(t, 158, 158, 'z');
  return t;
}

// Plain small letter of the narrower folding table, 0 when not in it.
constexpr Table MakeCaseFold() {
  Table t{};
  for (int c : {192, 194, 196, 224, 226, 228}) t[c] = 'a';
  for (int c : {199, 231}) t[c] = 'c';
  for (int c : {200, 201, 202, 203, 232, 233, 234, 235}) t[c] = 'e';
  for (int c : {206, 207, 238, 239}) t[c] = 'i';
  for (int c : {212, 214, 244, 246}) t[c] = 'o';
  for (int c : {217, 219, 220, 249, 251, 252}) t[c] = 'u';
  t[255] = 'y';
  return t;
}

constexpr Table MakeAnsiUpper() {
  Table t = IdentityTable();
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (int c = 224; c <= 254; ++c)
    if (c != 247) t[c] = static_cast<unsigned char>(c - 32);
  t[154] = 138;  // š Š
  t[156] = 140;  // œ Œ
  t[158] = 142;  // ž Ž
  t[255] = 159;  // ÿ Ÿ
  return t;
}

constexpr Table MakeAnsiLower() {
  Table t = IdentityTable();
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
  for (int c = 192; c <= 222; ++c)
    if (c != 215) t[c] = static_cast<unsigned char>(c + 32);
  t[138] = 154;
  t[140] = 156;
  t[142] = 158;
  t[159] = 255;
  return t;
}

constexpr Table kFoldAccents = MakeFoldAccents();
constexpr Table kCaseFold = MakeCaseFold();
constexpr Table kAnsiUpper = MakeAnsiUpper();
constexpr Table kAnsiLower = MakeAnsiLower();

template <typename F>
std::string MapChars(std::string_view text, F f) {
  std::string out(text);
  for (char& c : out) c = f(c);
  return out;
}

int ClampWidth(int width) { return std::clamp(width, 0, 255); }

}  // namespace

std::string PluralSuffix(std::string_view word, int64_t n) {
  std::string out(word);
  if (!out.empty() && n > 1) out += 's';
  return out;
}

std::string PadLeft(std::string_view text, int width, char ch) {
  const size_t w = static_cast<size_t>(ClampWidth(width));
  std::string out;
  if (text.size() < w) out.assign(w - text.size(), ch);
  out += text;
  return out;
}

std::string ZeroPad(int64_t n, int width) { return PadLeft(std::to_string(n), width, '0'); }

std::string StripTrailingBackslashes(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string AddTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\') out += '\\';
  return out;
}

std::string ExtractFolderName(std::string_view path) {
  const std::string s = StripTrailingBackslashes(path);
  if (s.empty()) return {};
  if (s.size() < 3) return s.substr(0, 1);
  return LastPathComponent(s);
}

std::string LastPathComponent(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(path.substr(slash + 1));
}

std::string FormatThousands(int64_t n, std::string_view sep) {
  const std::string digits = std::to_string(n);
  const size_t sign = (n < 0) ? 1 : 0;
  std::string out = digits.substr(0, sign);
  const size_t count = digits.size() - sign;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0) out += sep;
    out += digits[sign + i];
  }
  return out;
}

std::string EncodeSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ')
      out += "%20";
    else
      out += c;
  }
  return out;
}

char FoldAccentChar(char c) { return static_cast<char>(kFoldAccents[U(c)]); }

std::string FoldAccents(std::string_view text) { return MapChars(text, FoldAccentChar); }

std::string UpperCaseFolded(std::string_view text) {
  return MapChars(text, [](char c) {
    const unsigned char plain = kCaseFold[U(c)];
    if (plain) return static_cast<char>(plain - 32);
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  });
}

std::string LowerCaseFolded(std::string_view text) {
  return MapChars(text, [](char c) {
    const unsigned char plain = kCaseFold[U(c)];
    if (plain) return static_cast<char>(plain);
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  });
}

char AnsiUpperChar(char c) { return static_cast<char>(kAnsiUpper[U(c)]); }
char AnsiLowerChar(char c) { return static_cast<char>(kAnsiLower[U(c)]); }
std::string AnsiUpperCase(std::string_view text) { return MapChars(text, AnsiUpperChar); }
std::string AnsiLowerCase(std::string_view text) { return MapChars(text, AnsiLowerChar); }

std::string AsciiUpperCase(std::string_view text) {
  return MapChars(text, [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
}

std::string AsciiLowerCase(std::string_view text) {
  return MapChars(text, [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
}

bool IsForbiddenChar(char c) { return c != '\0' && kForbiddenChars.find(c) != std::string_view::npos; }

bool HasForbiddenChar(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsForbiddenChar);
}

std::string RemoveForbiddenChars(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (!IsForbiddenChar(c)) out += c;
  return out;
}

}  // namespace qv::engine
