// The value formatters of the EXIF and GPS tables. Each takes the value text
// (and, for UTF-16 tags, the raw bytes) and never fails: input it cannot
// read comes back unchanged or as zeros.
#include <cmath>

#include "base/CodePage.h"
#include "media/TagFormat.h"

namespace qv::media {

namespace {

std::string TrimControls(std::string_view s) {
  while (!s.empty() && uint8_t(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && uint8_t(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

// "a, b, c" split at ", " into exactly three numbers (missing ones are 0).
void ThreeRationals(std::string_view text, double out[3]) {
  for (int i = 0; i < 3; ++i) {
    const size_t sep = text.find(", ");
    out[i] = RationalValue(text.substr(0, sep));
    text = sep == std::string_view::npos ? std::string_view() : text.substr(sep + 2);
  }
}

// UTF-16 bytes up to the first zero unit.
std::string Utf16Text(std::string_view bytes, ByteOrder order) {
  size_t n = bytes.size() & ~size_t(1);
  for (size_t i = 0; i + 1 < n; i += 2)
    if (bytes[i] == 0 && bytes[i + 1] == 0) {
      n = i;
      break;
    }
  return base::Utf16BytesToCp1252(reinterpret_cast<const uint8_t*>(bytes.data()), n, order == ByteOrder::Big);
}

}  // namespace

std::string FormatExposureTime(const TFormatInput& in) {
  const std::string_view t = in.text;
  const size_t slash = t.find('/');
  int64_t n = 0, d = 0;
  if (slash == std::string_view::npos || !ParseInteger(t.substr(0, slash), n) ||
      !ParseInteger(t.substr(slash + 1), d))
    return std::string(t);
  if (d > 0 && n >= d) {  // a second or more: "2 sec", "1.5 sec"
    std::string s = FixedText(double(n) / double(d), 1);
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    return s + " sec";
  }
  if (n == 0) return std::string(t);
  return "1/" + std::to_string(d / n) + " sec";
}

std::string FormatComponentsConfiguration(const TFormatInput& in) {
  static const char* const kNames[7] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
  std::string out;
  for (size_t i = 1; i <= 4 && i < in.text.size(); ++i) {
    const uint8_t c = uint8_t(in.text[i]);
    if (c >= 1 && c <= 6) out += kNames[c];
  }
  return out;
}

std::string FormatShutterSpeed(const TFormatInput& in) {
  const double v = RationalValue(in.text);
  const double t = std::pow(2.0, -v);
  std::string out = FixedText(t, 4, 4) + " sec";
  if (t > 0 && t <= 0.5) {
    const double r = 1.0 / t;
    if (std::isfinite(r) && r < 9.2e18) out += " (1/" + std::to_string(std::llround(r)) + ")";
  }
  return out;
}

std::string FormatFlash(const TFormatInput& in) {
  int64_t v = 0;
  if (!ParseInteger(in.text, v)) return std::string(in.text);
  std::string out = (v & 1) ? "On" : "Off";
  switch (v & 6) {
    case 2: out += ", UNKNOWN"; break;
    case 4: out += ", no strobe return"; break;
    case 6: out += ", strobe return"; break;
  }
  switch (v & 24) {
    case 8: out += ", forced"; break;
    case 16: out += ", surpressed"; break;
    case 24: out += ", auto mode"; break;
  }
  if (v & 32) out += ", no flash function";
  if (v & 64) out += ", red-eye reduction";
  return out;
}

std::string FormatUserComment(const TFormatInput& in) {
  return in.text.size() > 8 ? std::string(in.text.substr(8)) : std::string();
}

std::string UserCommentText(std::string_view raw, ByteOrder order) {
  if (raw.size() <= 8) return {};
  std::string_view rest = raw.substr(8);
  if (raw.compare(0, 8, std::string_view("UNICODE\0", 8)) == 0) {
    if (rest.size() >= 2 && uint8_t(rest[0]) == 0xFE && uint8_t(rest[1]) == 0xFF) {
      order = ByteOrder::Big;
      rest.remove_prefix(2);
    } else if (rest.size() >= 2 && uint8_t(rest[0]) == 0xFF && uint8_t(rest[1]) == 0xFE) {
      order = ByteOrder::Little;
      rest.remove_prefix(2);
    }
    return TrimControls(Utf16Text(rest, order));
  }
  return TrimControls(rest);
}

// Windows writes XP texts as UTF-16LE whatever the file's byte order.
std::string FormatXpText(const TFormatInput& in) { return Utf16Text(in.raw, ByteOrder::Little); }

std::string FormatGpsCoordinate(const TFormatInput& in) {
  double v[3];
  ThreeRationals(in.text, v);
  double deg = v[0], min = v[1], sec = v[2];
  // Decimal degrees (48.8566/1, 0/1, 0/1): carry the fraction down.
  if (std::isfinite(deg) && deg != std::trunc(deg)) {
    min += (deg - std::trunc(deg)) * 60;
    deg = std::trunc(deg);
  }
  if (sec == 0) {
    sec = (min - std::trunc(min)) * 60;
    min = std::trunc(min);
  }
  return FixedText(deg, 0) + "\xB0" + FixedText(min, 0) + "'" + FixedText(sec, 2) + "''";
}

std::string FormatGpsTime(const TFormatInput& in) {
  double v[3];
  ThreeRationals(in.text, v);
  return FixedText(v[0], 0) + ":" + FixedText(v[1], 0) + ":" + FixedText(v[2], 0);
}

}  // namespace qv::media
