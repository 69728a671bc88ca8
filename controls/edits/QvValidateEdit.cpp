// The validating edit: characters, value rules, display.
#include "controls/edits/QvValidateEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "controls/edits/QvNumberFormat.h"
#include "support/QcStrings.h"
#include "support/QcSysUtils.h"

namespace qv::controls {

namespace {

// Sets a flag for the lifetime of the scope (exceptions included).
class TFlag {
public:
  explicit TFlag(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
  ~TFlag() { m_flag = m_old; }
  TFlag(const TFlag&) = delete;
  TFlag& operator=(const TFlag&) = delete;

private:
  bool& m_flag;
  bool m_old;
};

// The text's 64-bit integer: [sign] digits, nothing else; fallback otherwise.
int64_t StrToInt64Def(const std::string& text, int64_t fallback) {
  if (text.empty()) return fallback;
  size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (i == text.size()) return fallback;
  const bool negative = text[0] == '-';
  uint64_t v = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fallback;
    const uint64_t d = static_cast<uint64_t>(text[i] - '0');
    if (v > (limit - d) / 10) return fallback;
    v = v * 10 + d;
  }
  return negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

// Hexadecimal digits only, in 64 bits; fallback otherwise.
int64_t HexToInt64Def(const std::string& text, int64_t fallback) {
  if (text.empty() || text.size() > 16) return fallback;
  uint64_t v = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return fallback;
    v = v * 16 + static_cast<uint64_t>(d);
  }
  return static_cast<int64_t>(v);
}

// Banker's rounding into 64 bits (out-of-range values saturate).
int64_t Round(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(v));
}

bool IsFloatFormat(TQvValidateEditDisplayFormat f) {
  return f == dfFloat || f == dfFloatGeneral || f == dfPercent || f == dfScientific || f == dfDecimal ||
         f == dfFloatFixed;
}

int64_t VariantToInt64(const TQvVariant& v) {
  if (auto* i = std::get_if<int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) return Round(*d);
  if (auto* c = std::get_if<TCurrency>(&v)) return Round(c->ToDouble());
  if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
  if (auto* s = std::get_if<std::string>(&v)) return Round(ReadNumberTolerant(*s, DecimalSeparator(), 0));
  return 0;
}

double VariantToDouble(const TQvVariant& v) {
  if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* c = std::get_if<TCurrency>(&v)) return c->ToDouble();
  if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
  if (auto* s = std::get_if<std::string>(&v)) return ReadNumberTolerant(*s, DecimalSeparator(), 0);
  return 0;
}

std::string VariantToText(const TQvVariant& v) {
  if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return FormatGeneral(*d, 15, LocaleSettings());
  if (auto* c = std::get_if<TCurrency>(&v)) return FormatGeneral(c->ToDouble(), 15, LocaleSettings());
  if (auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return std::string();
}

// A currency value text with its sign in front, wherever the locale shows
// it, so that the value reads the same in every negative format.
std::string SignFirst(std::string text) {
  const size_t minus = text.find('-');
  if (minus == std::string::npos || minus == 0) return text;
  text.erase(minus, 1);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  return "-" + text;
}

}  // namespace

TQvCustomValidateEdit::TQvCustomValidateEdit(qv::fw::TComponent* owner) : TQvCustomEdit(owner) {
  RecreateDataConnector();
  m_criticalPoints = std::make_unique<TQvValidateEditCriticalPoints>();
  m_criticalPoints->OnChange = [this] {
    ApplyCriticalColor();
    Invalidate();
  };
  TQvCustomEdit::SetAlignment(qv::fw::TAlignment::RightJustify);
  SetRawText(std::string());
  // The keypad's decimal key types '.' whatever the locale: it is turned
  // into the locale's separator when the two differ.
  const char keypad = static_cast<char>(MapVirtualKeyA(VK_DECIMAL, MAPVK_VK_TO_CHAR));
  m_keypadDecimal = keypad != 0 && keypad != DecimalSeparator();
}

TQvCustomValidateEdit::~TQvCustomValidateEdit() { MarkDestroying(); }

std::unique_ptr<TQvFieldDataConnector> TQvCustomValidateEdit::CreateDataConnector() {
  return std::make_unique<TQvValidateEditDataConnector>(*this);
}

// --- Characters

bool TQvCustomValidateEdit::IsValidChar(const std::string& aText, char& key, int pos) {
  if (m_lastKeyDown == VK_DECIMAL && m_keypadDecimal) key = DecimalSeparator();
  const char dec = DecimalSeparator();
  const auto has = [&](char c) { return aText.find(c) != std::string::npos; };
  const auto allowed = [&](char c) { return c != 0 && m_checkChars.find(c) != std::string::npos; };
  const bool selection = SelectionActive();
  const auto signAt = [&](char sign, int at, char held) { return key == sign && pos == at && (!has(held) || selection); };
  const int len = static_cast<int>(aText.size());
  switch (m_displayFormat) {
    case dfAlphabetic:
      return IsCharAlphaA(key) != 0;
    case dfAlphaNumeric:
      return IsCharAlphaNumericA(key) != 0;
    case dfInteger:
      return allowed(key) || signAt('+', 1, '+') || signAt('-', 1, '-');
    case dfFloat:
    case dfFloatGeneral:
    case dfPercent:
    case dfDecimal:
    case dfFloatFixed:
      if (key == dec) return !has(dec);
      return allowed(key) || signAt('+', 1, '+') || signAt('-', 1, '-');
    case dfCurrency: {
      if (key == dec) return !has(dec);
      if (allowed(key) || signAt('+', 1, '+')) return true;
      // Positions count in the text without the currency string, as every
      // caller gives them: the sign leads the number, follows it, or is
      // the opening parenthesis.
      const bool held = (has('-') || has('(')) && !selection;
      const std::string before = aText.substr(0, static_cast<size_t>(std::clamp(pos - 1, 0, len)));
      switch (NegCurrFormat()) {
        case 0: case 4: case 14: case 15:
          if (key == '(' && pos == 1) key = '-';
          return key == '-' && pos == 1 && !held;
        case 3: case 6: case 7: case 10: case 11: case 13: {
          const std::string after = aText.substr(before.size());
          const bool afterNumber = after.find_first_of("0123456789") == std::string::npos && after.find(dec) == std::string::npos;
          return key == '-' && pos > 1 && afterNumber && !held;
        }
        default:
          return key == '-' && before.find_first_not_of(' ') == std::string::npos && !held;
      }
    }
    case dfScientific: {
      if (!(allowed(key) || key == '+' || key == '-')) return false;
      const size_t e = aText.find_first_of("eE");
      if (key == dec) {
        if (e == std::string::npos) return !has(dec);
        return static_cast<int>(e) + 1 >= pos && aText.substr(0, e).find(dec) == std::string::npos;
      }
      if (key == '+' || key == '-')
        return pos == 1 || (pos >= 2 && pos - 2 < len && (aText[pos - 2] == 'e' || aText[pos - 2] == 'E'));
      if (key == 'e' || key == 'E') return e == std::string::npos && pos > 1;
      return true;
    }
    case dfCustom: {
      bool valid = true;
      if (OnCustomValidate) OnCustomValidate(*this, key, aText, pos, valid);
      return valid;
    }
    case dfNonCheckChars:
      return !allowed(key);
    case dfNone:
      return true;
    case dfIdentifier:
      return pos == 1 ? (key == '_' || IsCharAlphaA(key)) : allowed(key);
    default:  // dfBinary, dfCheckChars, dfHex, dfOctal, dfYear
      return allowed(key);
  }
}

std::string TQvCustomValidateEdit::MakeValid(const std::string& text) {
  // A whole text is not typed: the keypad key last held says nothing of it.
  const WORD lastKey = std::exchange(m_lastKeyDown, WORD{0});
  std::string kept;
  for (size_t i = 0; i < text.size(); ++i) {
    char key = text[i];
    // The key as accepted: a currency's '(' is kept as the '-' it stands for.
    if (IsValidChar(text.substr(0, i), key, static_cast<int>(i) + 1)) kept += key;
  }
  m_lastKeyDown = lastKey;
  return kept;
}

std::string TQvCustomValidateEdit::Stripped(const std::string& text, int* caret) const {
  int at = caret ? *caret : 0;
  std::string s = StrRemoveSuffix(m_displaySuffix, text);
  const size_t whole = s.size();
  s = StrRemovePrefix(m_displayPrefix, s);
  at -= static_cast<int>(whole - s.size());
  // Only a currency value carries the sign: elsewhere the same letters are
  // the user's text (an "E" currency is an exponent, a "$" a hex prefix).
  // The negative formats put the currency inside a bracket or before a
  // trailing sign, so it goes wherever it stands: left in, its letters
  // could pass for the number's (the '.' of "S/.").
  const std::string currency = m_displayFormat == dfCurrency ? CurrencyString() : std::string();
  for (size_t found = currency.empty() ? std::string::npos : s.find(currency); found != std::string::npos;
       found = s.find(currency, found)) {
    s.erase(found, currency.size());
    const int from = static_cast<int>(found);
    if (at > from) at = std::max(from, at - static_cast<int>(currency.size()));
  }
  if (caret) *caret = std::clamp(at, 0, static_cast<int>(s.size()));
  return s;
}

// --- Value rules

void TQvCustomValidateEdit::ApplyEditText(const std::string& value) {
  m_editText = MakeValid(Stripped(value));
  if (m_displayFormat == dfCurrency) m_editText = SignFirst(std::move(m_editText));
  const uint16_t window = TwoDigitYearCenturyWindow();
  // An empty year stays empty where empty is allowed (it is no year 2000).
  const bool keptEmpty = m_allowEmpty && m_editText.empty();
  if (m_displayFormat == dfYear && !keptEmpty && (!m_hasMaxValue || window + 2000 < m_maxValue) &&
      (MaxLength() == 0 || MaxLength() > 3)) {
    const int64_t year = StrToInt64Def(m_editText, 0);
    const int y = year < -1000000 || year > 1000000 ? static_cast<int>(year % 1000000) : static_cast<int>(year);
    m_editText = std::to_string(MakeYear4Digit(y, window));
  }
  if (IsNumericFormat(m_displayFormat)) {
    EnforceMax();
    EnforceMin();
  }
  Display();
  ValueChangedCheck();
}

void TQvCustomValidateEdit::ValueChangedCheck() {
  if (OnValueChanged && !LoadingNow() && m_editText != m_committed) OnValueChanged(*this);
  m_committed = m_editText;
}

void TQvCustomValidateEdit::EnforceMax() {
  if (m_enforcing || !m_hasMaxValue || !(AsFloat() > m_maxValue)) return;
  TFlag guard(m_enforcing);
  SetAsFloat(m_maxValue);
}

void TQvCustomValidateEdit::EnforceMin() {
  if (m_enforcing || !m_hasMinValue || !(AsFloat() < m_minValue)) return;
  TFlag guard(m_enforcing);
  SetAsFloat(m_minValue);
}

double TQvCustomValidateEdit::ClampToRange(double v) const {
  if (m_hasMaxValue && v > m_maxValue) return m_maxValue;
  if (m_hasMinValue && v < m_minValue) return m_minValue;
  return v;
}

// --- Display

double TQvCustomValidateEdit::Rounded(double v) {
  double rounded = v;
  if (OnDecimalRounding) OnDecimalRounding(*this, rounded, v);
  return rounded;
}

void TQvCustomValidateEdit::Display() {
  const TQcLocaleSettings locale = LocaleSettings();
  const int places = static_cast<int>(std::min(m_decimalPlaces, 18u));
  bool empty = m_allowEmpty && m_editText.empty();
  if (!empty && IsZeroEmptyFormat(m_displayFormat) && m_zeroEmpty && AsFloat() == 0) empty = true;
  if (empty) {
    TFlag guard(m_displaying);
    if (RawText() != "") TQvCustomEdit::SetCaption(std::string());
  } else {
    std::string text;
    switch (m_displayFormat) {
      case dfCurrency: text = FormatCurrency(AsCurrency().ToDouble(), places, locale); break;
      case dfFloat: text = FormatNumber(Rounded(AsFloat()), places, locale); break;
      case dfFloatGeneral: text = FormatGeneral(Rounded(AsFloat()), places, locale); break;
      case dfPercent: text = FormatNumber(Rounded(AsFloat()), places, locale) + "%"; break;
      case dfScientific: text = FormatScientific(Rounded(AsFloat()), places, locale); break;
      case dfFloatFixed: text = FormatFixed(Rounded(AsFloat()), places, locale); break;
      case dfInteger: text = std::to_string(AsInt64()); break;
      default: text = m_editText; break;
    }
    DisplayText(text);
  }
  if (m_criticalPoints->CheckPoints() != cpNone && IsNumericFormat(m_displayFormat)) ApplyCriticalColor();
}

void TQvCustomValidateEdit::DisplayText(std::string text) {
  TFlag guard(m_displaying);
  const char dec = DecimalSeparator();
  if (m_trimDecimals && text.find(dec) != std::string::npos) {
    std::string exponent;
    if (m_displayFormat == dfScientific) {
      const size_t e = text.find_first_of("eE");
      if (e != std::string::npos) {
        exponent = text.substr(e);
        text.erase(e);
      }
    }
    const size_t sep = text.find(dec);
    if (sep != std::string::npos) {
      size_t end = text.size();
      // Only the digits right of the separator are trimmed (a percent or
      // other sign after them stays).
      size_t digitsEnd = sep + 1;
      while (digitsEnd < end && text[digitsEnd] >= '0' && text[digitsEnd] <= '9') ++digitsEnd;
      const std::string tail = text.substr(digitsEnd);
      text.erase(digitsEnd);
      while (text.size() > sep + 1 && text.back() == '0') text.pop_back();
      if (text.size() == sep + 1) text.pop_back();
      text += tail;
    }
    text += exponent;
  }
  const std::string full = m_displayPrefix + text + m_displaySuffix;
  if (RawText() != full) TQvCustomEdit::SetCaption(full);
}

void TQvCustomValidateEdit::ApplyCriticalColor() {
  if (LoadingNow()) return;
  const TQvValidateEditCriticalPoints& cp = *m_criticalPoints;
  const double v = AsFloat();
  const bool above = cp.MaxValueIncluded ? v > cp.MaxValue() : v >= cp.MaxValue();
  const bool below = cp.MinValueIncluded ? v < cp.MinValue() : v <= cp.MinValue();
  qv::fw::TColor color = qv::fw::clDefault;  // the user's: the font's own
  switch (cp.CheckPoints()) {
    case cpMinValue: if (below) color = cp.ColorBelow(); break;
    case cpMaxValue: if (above) color = cp.ColorAbove(); break;
    case cpBoth:
      if (above) color = cp.ColorAbove();
      else if (below) color = cp.ColorBelow();
      break;
    default: break;
  }
  SetFontColor(color);
  Invalidate();
}

bool TQvCustomValidateEdit::IsInCriticalRange() {
  const TQvValidateEditCriticalPoints& cp = *m_criticalPoints;
  const double v = AsFloat();
  const bool aboveMin = cp.MinValueIncluded ? v >= cp.MinValue() : v > cp.MinValue();
  const bool belowMax = cp.MaxValueIncluded ? v <= cp.MaxValue() : v < cp.MaxValue();
  bool valid = true;
  switch (cp.CheckPoints()) {
    case cpMinValue: valid = aboveMin; break;
    case cpMaxValue: valid = belowMax; break;
    case cpBoth: valid = aboveMin && belowMax; break;
    default: break;
  }
  if (OnIsValid) OnIsValid(*this, valid);
  return valid;
}

// --- Value views

double TQvCustomValidateEdit::AsFloat() const {
  if (const int base = BaseOfFormat(m_displayFormat)) return static_cast<double>(BaseTextToInt(m_editText, base));
  if (m_displayFormat == dfCurrency) return AsCurrency().ToDouble();
  if (m_displayFormat == dfScientific) {
    const size_t e = m_editText.find_first_of("eE");
    if (e == std::string::npos) return ReadNumberTolerant(m_editText, DecimalSeparator(), 0);
    std::string exponent;
    for (char c : m_editText.substr(e + 1))
      if (c != 'e' && c != 'E') exponent += c;
    const double mantissa = ReadNumberTolerant(m_editText.substr(0, e), DecimalSeparator(), 0);
    const double v = mantissa * std::pow(10.0, ReadNumberTolerant(exponent, DecimalSeparator(), 0));
    // Out of range is not a number, as a single number's overflow is.
    return std::isfinite(v) ? v : 0;
  }
  return ReadNumberTolerant(m_editText, DecimalSeparator(), 0);
}

int64_t TQvCustomValidateEdit::AsInt64() const {
  if (const int base = BaseOfFormat(m_displayFormat)) return BaseTextToInt(m_editText, base);
  return StrToInt64Def(m_editText, 0);
}

TCurrency TQvCustomValidateEdit::AsCurrency() const {
  if (const int base = BaseOfFormat(m_displayFormat))
    return TCurrency::FromScaled(BaseTextToInt(m_editText, base) * TCurrency::kScale);
  return ReadCurrencyTolerant(m_editText);
}

void TQvCustomValidateEdit::SetAsInteger(int64_t v) {
  if (const int base = BaseOfFormat(m_displayFormat)) {
    ApplyEditText(IntToBaseText(v, base));
    return;
  }
  if (IsNumericFormat(m_displayFormat)) {
    if (m_hasMaxValue && static_cast<double>(v) > m_maxValue) v = Round(m_maxValue);
    else if (m_hasMinValue && static_cast<double>(v) < m_minValue) v = Round(m_minValue);
  }
  ApplyEditText(std::to_string(v));
}

void TQvCustomValidateEdit::SetAsFloat(double v) {
  const TQcLocaleSettings locale = LocaleSettings();
  const int places = static_cast<int>(std::min(m_decimalPlaces, 18u));
  if (const int base = BaseOfFormat(m_displayFormat)) {
    ApplyEditText(IntToBaseText(Round(v), base));
    return;
  }
  const double c = ClampToRange(v);
  switch (m_displayFormat) {
    case dfCurrency: ApplyEditText(FormatCurrency(c, places, locale)); break;
    case dfFloat:
    case dfPercent: ApplyEditText(FormatNumber(c, places, locale)); break;
    case dfFloatGeneral: ApplyEditText(FormatGeneral(c, places, locale)); break;
    case dfFloatFixed: ApplyEditText(FormatFixed(c, places, locale)); break;
    case dfScientific: ApplyEditText(FormatScientific(c, 15, locale)); break;
    case dfInteger:
    case dfYear: ApplyEditText(std::to_string(Round(c))); break;
    case dfDecimal: ApplyEditText(FormatGeneral(c, 15, locale)); break;
    default: ApplyEditText(FormatGeneral(v, 15, locale)); break;
  }
}

TQvVariant TQvCustomValidateEdit::Value() const {
  switch (m_displayFormat) {
    case dfCurrency: return AsCurrency();
    case dfHex: return HexToInt64Def(m_editText, 0);
    case dfInteger:
    case dfYear: return StrToInt64Def(m_editText, 0);
    default:
      if (IsFloatFormat(m_displayFormat)) return ReadNumberTolerant(m_editText, DecimalSeparator(), 0);
      return StrRemovePrefix(m_displayPrefix, StrRemoveSuffix(m_displaySuffix, RawText()));
  }
}

void TQvCustomValidateEdit::SetValue(const TQvVariant& v) {
  const auto* text = std::get_if<std::string>(&v);
  if (m_allowEmpty && (std::holds_alternative<std::monostate>(v) || (text && text->empty()))) {
    ApplyEditText(std::string());
    return;
  }
  switch (m_displayFormat) {
    case dfBinary: case dfHex: case dfInteger: case dfOctal: case dfYear:
      SetAsInteger(VariantToInt64(v));
      break;
    default:
      if (m_displayFormat == dfCurrency || IsFloatFormat(m_displayFormat)) SetAsFloat(VariantToDouble(v));
      else ApplyEditText(VariantToText(v));
      break;
  }
}

// --- Setters

void TQvCustomValidateEdit::SetDisplayFormat(TQvValidateEditDisplayFormat f) {
  if (f == m_displayFormat) return;
  const TQvValidateEditDisplayFormat old = m_displayFormat;
  m_displayFormat = f;
  if (!(f == dfNone && Loading())) m_checkChars = FormatCheckChars(f, DecimalSeparator(), m_checkChars);
  if (m_autoAlignment) SetAlignment(FormatAlignment(f));
  if (f == dfCurrency && m_decimalPlaces == 0 && !Loading()) m_decimalPlaces = CurrencyDecimals();
  if (f == dfYear) SetMaxLength(4);
  else if (old == dfYear) SetMaxLength(0);

  const bool toBase = BaseOfFormat(f) != 0;
  const bool fromDecimal = old == dfCurrency || old == dfFloat || old == dfFloatGeneral || old == dfPercent ||
                           old == dfDecimal || old == dfFloatFixed;
  const bool octalTarget = f == dfBinary || f == dfCurrency || f == dfFloat || f == dfFloatGeneral || f == dfHex ||
                           f == dfInteger || f == dfPercent || f == dfScientific || f == dfYear || f == dfDecimal ||
                           f == dfFloatFixed;
  if (old == dfBinary && IsNumericFormat(f)) SetAsInteger(BaseTextToInt(m_editText, 2));
  else if (fromDecimal && toBase) SetAsFloat(ReadNumberTolerant(m_editText, DecimalSeparator(), 0));
  else if (old == dfHex && IsZeroEmptyFormat(f)) SetAsInteger(BaseTextToInt(m_editText, 16));
  else if ((old == dfInteger || old == dfYear) && toBase) SetAsInteger(StrToInt64Def(m_editText, 0));
  else if (old == dfOctal && octalTarget) SetAsInteger(BaseTextToInt(m_editText, 8));
  else if (!Loading()) ApplyEditText(m_editText);
}

void TQvCustomValidateEdit::SetCheckChars(const std::string& chars) {
  const bool own = m_displayFormat == dfCheckChars || m_displayFormat == dfNonCheckChars || m_displayFormat == dfNone;
  if (Loading()) {
    m_checkChars = chars;
    return;
  }
  if (!own || chars == m_checkChars) return;
  m_checkChars = chars;
  ApplyEditText(MakeValid(m_editText));
}

void TQvCustomValidateEdit::SetDecimalPlaces(unsigned places) {
  const TQvValidateEditDisplayFormat f = m_displayFormat;
  if (!Loading() && !(f == dfCurrency || f == dfFloat || f == dfFloatGeneral || f == dfPercent || f == dfScientific ||
                      f == dfFloatFixed))
    return;
  m_decimalPlaces = places;
  if (!Loading()) ApplyEditText(m_editText);
}

void TQvCustomValidateEdit::SetTrimDecimals(bool v) {
  if (v == m_trimDecimals) return;
  m_trimDecimals = v;
  if (!Loading()) ApplyEditText(m_editText);
}

void TQvCustomValidateEdit::SetZeroEmpty(bool v) {
  if (v == m_zeroEmpty) return;
  m_zeroEmpty = v;
  if (!Loading()) ApplyEditText(m_editText);
}

void TQvCustomValidateEdit::SetDisplayPrefix(const std::string& s) {
  m_displayPrefix = s;
  Display();
}

void TQvCustomValidateEdit::SetDisplaySuffix(const std::string& s) {
  m_displaySuffix = s;
  Display();
}

void TQvCustomValidateEdit::SetHasMaxValue(bool v) {
  if (v == m_hasMaxValue) return;
  m_hasMaxValue = v;
  if (!Loading() && IsNumericFormat(m_displayFormat)) EnforceMax();
}

void TQvCustomValidateEdit::SetHasMinValue(bool v) {
  if (v == m_hasMinValue) return;
  m_hasMinValue = v;
  if (!Loading() && IsNumericFormat(m_displayFormat)) EnforceMin();
}

void TQvCustomValidateEdit::SetMaxValue(double v) {
  if (v == m_maxValue) return;
  m_maxValue = v;
  if (m_minValue > v) m_minValue = v;
  if (!Loading() && IsNumericFormat(m_displayFormat)) EnforceMax();
}

void TQvCustomValidateEdit::SetMinValue(double v) {
  if (v == m_minValue) return;
  m_minValue = v;
  if (m_maxValue < v) m_maxValue = v;
  if (!Loading() && IsNumericFormat(m_displayFormat)) EnforceMin();
}

void TQvCustomValidateEdit::SetCaption(const std::string& s) {
  if (m_displaying) return;
  ApplyEditText(s);
  ValueChangedCheck();
}

void TQvCustomValidateEdit::Assign(const TQvCustomValidateEdit& other) {
  if (&other == this) return;
  m_criticalPoints->Assign(*other.m_criticalPoints);
  SetDisplayFormat(other.m_displayFormat);
  SetDecimalPlaces(other.m_decimalPlaces);
  SetMinValue(other.m_minValue);
  SetMaxValue(other.m_maxValue);
  SetHasMinValue(other.m_hasMinValue);
  SetHasMaxValue(other.m_hasMaxValue);
  SetZeroEmpty(other.m_zeroEmpty);
  SetAllowEmpty(other.m_allowEmpty);
}

// --- The window's text flow

void TQvCustomValidateEdit::Change() {
  if (!m_displaying) m_editText = StrippedWindowText();
  TQvCustomEdit::Change();
}

void TQvCustomValidateEdit::KeyDown(WORD& key, qv::fw::TShiftState shift) {
  m_lastKeyDown = key;
  if (key == VK_ESCAPE) {
    ApplyEditText(m_committed);
    SetSelection(0, static_cast<int>(RawText().size()));
    key = 0;
  }
  TQvCustomEdit::KeyDown(key, shift);
}

void TQvCustomValidateEdit::KeyUp(WORD& key, qv::fw::TShiftState shift) {
  m_lastKeyDown = 0;
  TQvCustomEdit::KeyUp(key, shift);
}

void TQvCustomValidateEdit::KeyPress(char& key) {
  char k = key;
  // The place counts in the text the rules see, without the prefix, suffix
  // and currency (a key typed inside one counts where that part stands).
  int caret = SelStart();
  const std::string text = Stripped(RawText(), &caret);
  const int pos = caret + 1;
  const bool valid = IsValidChar(text, k, pos);
  if (static_cast<unsigned char>(key) > 31) key = valid ? k : 0;
  TQvCustomEdit::KeyPress(key);
}

void TQvCustomValidateEdit::FocusSet(HWND previous) {
  Display();
  TQvCustomEdit::FocusSet(previous);
}

void TQvCustomValidateEdit::FocusKilled(HWND next) {
  if (!Destroying()) ApplyEditText(StrippedWindowText());
  TQvCustomEdit::FocusKilled(next);
}

void TQvCustomValidateEdit::Loaded() {
  {
    TFlag guard(m_finishingLoad);
    ApplyEditText(m_editText);
  }
  TQvCustomEdit::Loaded();
  if (m_criticalPoints->CheckPoints() != cpNone && IsNumericFormat(m_displayFormat)) ApplyCriticalColor();
}

LRESULT TQvCustomValidateEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETDLGCODE) {
    // Escape first brings back the committed text; only then is it the
    // dialog's (its cancel button).
    LRESULT r = TQvCustomEdit::WndProc(msg, wp, lp);
    const auto* key = reinterpret_cast<const MSG*>(lp);
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_ESCAPE && m_editText != m_committed)
      r |= DLGC_WANTMESSAGE;
    return r;
  }
  if (msg != WM_PASTE) return TQvCustomEdit::WndProc(msg, wp, lp);
  const LRESULT r = TQvCustomEdit::WndProc(msg, wp, lp);
  if (!ClipboardRefused(msg) && !ReadOnly()) ApplyEditText(MakeValid(StrippedWindowText()));
  return r;
}

}  // namespace qv::controls
