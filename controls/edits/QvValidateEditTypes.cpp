// The validating edit's format table, critical points and connector.
#include "controls/edits/QvValidateEditTypes.h"

#include "controls/edits/QvValidateEdit.h"

namespace qv::controls {

namespace {

constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

bool IsNumericFormat(TQvValidateEditDisplayFormat f) {
  switch (f) {
    case dfBinary: case dfCurrency: case dfFloat: case dfFloatGeneral: case dfHex: case dfInteger: case dfOctal:
    case dfPercent: case dfScientific: case dfYear: case dfDecimal: case dfFloatFixed:
      return true;
    default:
      return false;
  }
}

bool IsZeroEmptyFormat(TQvValidateEditDisplayFormat f) { return IsNumericFormat(f) && f != dfHex; }

int BaseOfFormat(TQvValidateEditDisplayFormat f) {
  return f == dfBinary ? 2 : f == dfHex ? 16 : f == dfOctal ? 8 : 0;
}

std::string FormatCheckChars(TQvValidateEditDisplayFormat f, char decimalSeparator, const std::string& kept) {
  const std::string digits = "0123456789";
  switch (f) {
    case dfAlphabetic: return kLetters;
    case dfAlphaNumeric: return std::string(kLetters) + digits;
    case dfBinary: return "01";
    case dfCheckChars: case dfNonCheckChars: return kept;
    case dfCustom: case dfNone: return std::string();
    case dfHex: return digits + "ABCDEFabcdef";
    case dfInteger: case dfYear: return digits;
    case dfOctal: return "01234567";
    case dfScientific: return digits + "Ee" + decimalSeparator;
    case dfIdentifier: return std::string(kLetters) + digits + "_";
    default: return digits + decimalSeparator;  // currency and the float formats
  }
}

qv::fw::TAlignment FormatAlignment(TQvValidateEditDisplayFormat f) {
  return IsNumericFormat(f) ? qv::fw::TAlignment::RightJustify : qv::fw::TAlignment::LeftJustify;
}

void TQvValidateEditCriticalPoints::Assign(const TQvValidateEditCriticalPoints& other) {
  if (&other == this) return;
  SetCheckPoints(other.m_checkPoints);
  SetColorAbove(other.m_colorAbove);
  SetColorBelow(other.m_colorBelow);
  SetMaxValue(other.m_maxValue);
  SetMinValue(other.m_minValue);
}

void TQvValidateEditDataConnector::SetNullValue(const TQvVariant& v) {
  m_nullValue = v;
  Reload();
}

void TQvValidateEditDataConnector::RecordChanged() {
  const TQvDataConnectorField& field = FieldLink();
  if (!field.IsValid()) {
    m_edit.SetEditText(std::string());
    m_edit.SetReadOnly(false);
    return;
  }
  m_edit.SetReadOnly(!field.CanModify());
  if (!field.IsNull()) m_edit.SetValue(field.AsVariant());
  else if (!std::holds_alternative<std::monostate>(m_nullValue)) m_edit.SetValue(m_nullValue);
  else m_edit.SetEditText(std::string());
}

void TQvValidateEditDataConnector::UpdateData() {
  TQvDataConnectorField& field = FieldLink();
  const TQvVariant value = m_edit.Value();
  if (!std::holds_alternative<std::monostate>(value)) field.SetAsVariant(value);
  else if (!std::holds_alternative<std::monostate>(m_nullValue)) field.SetAsVariant(m_nullValue);
  else Reload();
}

}  // namespace qv::controls
