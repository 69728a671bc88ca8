// Display number texts of the validating edit.
#include "controls/edits/QvNumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qv::controls {

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// printf's "%.*f" of |v| ("inf"/"nan" as they come).
std::string Fixed(double v, int places) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", Clamp(places, 0, 18), v);
  return buf;
}

std::string WithSeparators(std::string text, char dec, char thousands) {
  const size_t dot = text.find('.');
  if (dot != std::string::npos) text[dot] = dec;
  if (thousands) {
    const size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
    size_t end = dot == std::string::npos ? text.size() : dot;
    while (end > start + 3) {
      end -= 3;
      text.insert(end, 1, thousands);
    }
  }
  return text;
}

// Mantissa digits (with '.') and decimal exponent of |v| in `digits`
// significant digits.
void Scientific(double v, int digits, std::string& mantissa, int& exponent) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", Clamp(digits, 1, 18) - 1, std::fabs(v));
  std::string s = buf;
  const size_t e = s.find('e');
  exponent = e == std::string::npos ? 0 : std::atoi(s.c_str() + e + 1);
  mantissa = s.substr(0, e);
}

std::string Exponent(int exponent) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return buf;
}

std::string TrimFraction(std::string digits) {
  if (digits.find('.') == std::string::npos) return digits;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (!digits.empty() && digits.back() == '.') digits.pop_back();
  return digits;
}

}  // namespace

std::string FormatFixed(double v, int places, const TQcLocaleSettings& s) {
  return WithSeparators(Fixed(v, places), s.DecimalSeparator, 0);
}

std::string FormatNumber(double v, int places, const TQcLocaleSettings& s) {
  return WithSeparators(Fixed(v, places), s.DecimalSeparator, s.ThousandSeparator);
}

std::string FormatScientific(double v, int precision, const TQcLocaleSettings& s) {
  if (!std::isfinite(v)) return Fixed(v, 0);
  std::string mantissa;
  int exponent = 0;
  Scientific(v, precision, mantissa, exponent);
  return (std::signbit(v) && v != 0 ? "-" : "") + WithSeparators(mantissa, s.DecimalSeparator, 0) + Exponent(exponent);
}

std::string FormatGeneral(double v, int precision, const TQcLocaleSettings& s) {
  if (!std::isfinite(v)) return Fixed(v, 0);
  if (v == 0) return "0";
  const int p = Clamp(precision, 1, 18);
  std::string mantissa;
  int exponent = 0;
  Scientific(v, p, mantissa, exponent);
  const std::string sign = v < 0 ? "-" : "";
  if (exponent >= p || exponent < -5)
    return sign + WithSeparators(TrimFraction(mantissa), s.DecimalSeparator, 0) + Exponent(exponent);
  // Fixed with the digits that the precision leaves after the point.
  const std::string text = TrimFraction(Fixed(std::fabs(v), std::max(0, p - 1 - exponent)));
  return sign + WithSeparators(text, s.DecimalSeparator, 0);
}

std::string FormatCurrency(double v, int places, const TQcLocaleSettings& s) {
  const std::string n = WithSeparators(Fixed(std::fabs(v), places), s.DecimalSeparator, s.ThousandSeparator);
  const std::string& c = s.CurrencyString;
  const bool negative = v < 0 && n.find_first_not_of("0.,") != std::string::npos;
  if (!negative) {
    switch (s.CurrencyFormat) {
      case 1: return n + c;
      case 2: return c + " " + n;
      case 3: return n + " " + c;
      default: return c + n;
    }
  }
  switch (s.NegCurrFormat) {
    case 1: return "-" + c + n;
    case 2: return c + "-" + n;
    case 3: return c + n + "-";
    case 4: return "(" + n + c + ")";
    case 5: return "-" + n + c;
    case 6: return n + "-" + c;
    case 7: return n + c + "-";
    case 8: return "-" + n + " " + c;
    case 9: return "-" + c + " " + n;
    case 10: return n + " " + c + "-";
    case 11: return c + " " + n + "-";
    case 12: return c + " -" + n;
    case 13: return n + "- " + c;
    case 14: return "(" + c + " " + n + ")";
    case 15: return "(" + n + " " + c + ")";
    default: return "(" + c + n + ")";
  }
}

}  // namespace qv::controls
