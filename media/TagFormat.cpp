// Value formatting: numbers from raw bytes, decode lists and the locale-free
// directive subset the tag tables use.
#include "media/TagFormat.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace qv::media {

uint32_t TiffTypeSize(uint32_t type) {
  static constexpr uint8_t kSizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < 13 ? kSizes[type] : 0;
}

int32_t RawInt(std::string_view bytes, ByteOrder order) {
  uint32_t v = 0;
  if (order == ByteOrder::Big) {
    for (unsigned char b : bytes) v = (v << 8) | b;
  } else {
    for (size_t i = 0; i < bytes.size() && i < 4; ++i) v |= uint32_t(uint8_t(bytes[i])) << (8 * i);
  }
  return static_cast<int32_t>(v);
}

namespace {

double RationalOf(std::string_view raw, ByteOrder order) {
  const int32_t num = RawInt(raw.substr(0, 4), order);
  const int32_t den = raw.size() > 4 ? RawInt(raw.substr(4, 4), order) : 0;
  return den == 0 ? 0.0 : double(num) / double(den);
}

double IeeeOf(std::string_view raw, uint32_t size, ByteOrder order) {
  if (raw.size() < size) return 0.0;
  uint8_t b[8];
  for (uint32_t i = 0; i < size; ++i)
    b[i] = uint8_t(raw[order == ByteOrder::Little ? i : size - 1 - i]);
  if (size == 4) {
    float f;
    std::memcpy(&f, b, 4);
    return f;
  }
  double d;
  std::memcpy(&d, b, 8);
  return d;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && uint8_t(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && uint8_t(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

std::string Pad(std::string s, int width, bool left) {
  if (width > 0 && s.size() < size_t(width)) {
    const size_t n = size_t(width) - s.size();
    if (left) s.append(n, ' ');
    else s.insert(0, n, ' ');
  }
  return s;
}

}  // namespace

double NumericTagValue(std::string_view raw, uint32_t type, ByteOrder order) {
  switch (type) {
    case 1: case 3: case 4: case 6: case 8: case 9: return RawInt(raw, order);
    case 5: case 10: return RationalOf(raw, order);
    case 11: return IeeeOf(raw, 4, order);
    case 12: return IeeeOf(raw, 8, order);
    default: return 0.0;
  }
}

std::string FixedText(double value, int decimals, int width) {
  if (decimals < 0) decimals = 0;
  if (decimals > 30) decimals = 30;
  if (value == 0) value = 0.0;  // no "-0.00"
  char buf[400];
  std::string s;
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec == std::errc()) s.assign(buf, r.ptr);
  else s = "0";
  return Pad(std::move(s), width, false);
}

std::string FormatOneValue(std::string_view format, double number, std::string_view text) {
  std::string out;
  size_t i = 0;
  bool done = false;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%' || done) {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    size_t j = i + 1;
    // Only '-' is a flag: a leading 0 is part of the width, as in "%0.1f".
    bool left = false;
    for (; j < format.size() && format[j] == '-'; ++j) left = true;
    int width = 0, prec = -1;
    for (; j < format.size() && format[j] >= '0' && format[j] <= '9'; ++j)
      width = std::min(width * 10 + (format[j] - '0'), 1000);
    if (j < format.size() && format[j] == '.') {
      prec = 0;
      for (++j; j < format.size() && format[j] >= '0' && format[j] <= '9'; ++j)
        prec = std::min(prec * 10 + (format[j] - '0'), 1000);
    }
    if (j >= format.size()) {  // a lone '%' at the end stays as written
      out.append(format.substr(i));
      break;
    }
    std::string piece;
    switch (format[j]) {
      case 's': piece = std::string(prec >= 0 ? text.substr(0, size_t(prec)) : text); break;
      case 'd': case 'u': case 'x':
        piece = std::isfinite(number) && std::fabs(number) < 9.2e18 ? std::to_string(int64_t(number)) : "0";
        break;
      default: piece = FixedText(number, prec < 0 ? 2 : prec); break;  // f, n, m, e, g
    }
    out += Pad(std::move(piece), width, left);
    i = j + 1;
    done = true;
  }
  return out;
}

std::string DecodeListLookup(std::string_view list, std::string_view key) {
  std::string hay;
  hay.reserve(list.size() + 2);
  hay += ',';
  hay += list;
  hay += ',';
  std::string needle;
  needle += ',';
  needle += Trim(key);
  needle += ':';
  const size_t at = hay.find(needle);
  if (at == std::string::npos) return {};
  const size_t from = at + needle.size();
  const size_t end = hay.find(',', from);
  return hay.substr(from, end - from);
}

bool ParseInteger(std::string_view text, int64_t& value) {
  text = Trim(text);
  bool neg = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    neg = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  uint64_t v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v > uint64_t(INT64_MAX)) return false;
  value = neg ? -int64_t(v) : int64_t(v);
  return true;
}

double RationalValue(std::string_view text) {
  text = Trim(text);
  int64_t whole = 0;
  const size_t space = text.find(' ');
  if (space != std::string_view::npos) {
    if (!ParseInteger(text.substr(0, space), whole)) return 0;
    text = Trim(text.substr(space + 1));
  }
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return 0;
  int64_t num = 0, den = 0;
  if (!ParseInteger(text.substr(0, slash), num) || !ParseInteger(text.substr(slash + 1), den) || den == 0)
    return 0;
  return (double(whole) * double(den) + double(num)) / double(den);
}

std::string FormatTagValue(std::string_view raw, uint32_t type, std::string_view decodeList,
                           std::string_view formatText, ByteOrder order) {
  const uint32_t size = TiffTypeSize(type);
  if (size == 0) return "0";
  const size_t k = std::min<size_t>(raw.size() / size, 128);
  std::string text;
  for (size_t i = 0; i < k; ++i) {
    const std::string_view comp = raw.substr(i * size, size);
    if (i > 0) text += ", ";
    switch (type) {
      case 2: case 7: text += '?'; break;
      case 5: case 10:
        text += std::to_string(RawInt(comp.substr(0, 4), order));
        text += '/';
        text += std::to_string(RawInt(comp.substr(4, 4), order));
        if (!decodeList.empty()) text += DecodeListLookup(decodeList, text);
        break;
      case 11: case 12: text += "-9999.99"; break;
      default: {
        const std::string v = std::to_string(RawInt(comp, order));
        text += decodeList.empty() ? v : DecodeListLookup(decodeList, v);
      }
    }
  }
  if (!formatText.empty()) {
    if (formatText.find("%s") != std::string_view::npos) text = FormatOneValue(formatText, 0, text);
    else text = FormatOneValue(formatText, NumericTagValue(raw, type, order));
  }
  return text;
}

std::string PrintableText(std::string_view text) {
  std::string out(text.substr(0, 50));
  for (char& c : out)
    if (uint8_t(c) < 32) c = '.';
  return out;
}

}  // namespace qv::media
