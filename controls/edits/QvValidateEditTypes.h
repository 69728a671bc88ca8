// The validating edit's types: its display formats with what each one
// implies (characters, alignment, numeric, blank for zero), its critical
// points, its events and its data connector.
// Tested by tests/controls/edits/QvValidateEdit_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "framework/StdCtrls.h"
#include "framework/Types.h"
#include "support/QvDataSourceIntf.h"
#include "support/QvQCLUtils.h"

namespace qv::controls {

enum TQvValidateEditDisplayFormat {
  dfAlphabetic, dfAlphaNumeric, dfBinary, dfCheckChars, dfCurrency, dfCustom, dfFloat, dfFloatGeneral, dfHex,
  dfInteger, dfNonCheckChars, dfNone, dfOctal, dfPercent, dfScientific, dfYear, dfDecimal, dfIdentifier,
  dfFloatFixed
};

// Formats that take part in the range rules and the critical points.
bool IsNumericFormat(TQvValidateEditDisplayFormat f);
// Formats where ZeroEmpty acts.
bool IsZeroEmptyFormat(TQvValidateEditDisplayFormat f);
// dfBinary, dfHex, dfOctal: 2, 16, 8; 0 for the others.
int BaseOfFormat(TQvValidateEditDisplayFormat f);
// The characters a format sets, with the decimal separator given; `kept`
// for the three formats that keep their own (dfNone empties them, except
// while loading, which the caller decides).
std::string FormatCheckChars(TQvValidateEditDisplayFormat f, char decimalSeparator, const std::string& kept);
qv::fw::TAlignment FormatAlignment(TQvValidateEditDisplayFormat f);

enum TQvValidateEditCriticalPointsCheck { cpNone, cpMinValue, cpMaxValue, cpBoth };

// Colouring rules: the text takes ColorAbove above MaxValue and ColorBelow
// below MinValue (the bounds themselves too while not Included).
class TQvValidateEditCriticalPoints {
public:
  TQvValidateEditCriticalPoints() = default;
  TQvValidateEditCriticalPoints(const TQvValidateEditCriticalPoints&) = delete;
  TQvValidateEditCriticalPoints& operator=(const TQvValidateEditCriticalPoints&) = delete;

  TQvValidateEditCriticalPointsCheck CheckPoints() const { return m_checkPoints; }
  void SetCheckPoints(TQvValidateEditCriticalPointsCheck v) { Set(m_checkPoints, v); }
  qv::fw::TColor ColorAbove() const { return m_colorAbove; }
  void SetColorAbove(qv::fw::TColor v) { Set(m_colorAbove, v); }
  qv::fw::TColor ColorBelow() const { return m_colorBelow; }
  void SetColorBelow(qv::fw::TColor v) { Set(m_colorBelow, v); }
  double MaxValue() const { return m_maxValue; }
  void SetMaxValue(double v) { Set(m_maxValue, v); }
  double MinValue() const { return m_minValue; }
  void SetMinValue(double v) { Set(m_minValue, v); }
  // Plain fields: no change is reported.
  bool MaxValueIncluded = false;
  bool MinValueIncluded = false;

  void Assign(const TQvValidateEditCriticalPoints& other);
  std::function<void()> OnChange;

private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    if (OnChange) OnChange();
  }
  TQvValidateEditCriticalPointsCheck m_checkPoints = cpNone;
  qv::fw::TColor m_colorAbove = 0xFF0000;  // blue
  qv::fw::TColor m_colorBelow = 0x0000FF;  // red
  double m_maxValue = 0, m_minValue = 0;
};

using TQvCustomTextValidateEvent =
    std::function<void(qv::fw::TComponent& sender, char key, const std::string& aText, int pos, bool& isValid)>;
using TQvCustomIsValidEvent = std::function<void(qv::fw::TComponent& sender, bool& isValid)>;
using TQvCustomDecimalRoundingEvent =
    std::function<void(qv::fw::TComponent& sender, double& decimalRoundedValue, double value)>;

class TQvCustomValidateEdit;

// The field connector of a validating edit: the field's value goes to
// Value (NullValue standing in for a null field) and Value goes back.
class TQvValidateEditDataConnector : public TQvFieldDataConnector {
public:
  explicit TQvValidateEditDataConnector(TQvCustomValidateEdit& edit) : m_edit(edit) {}
  const TQvVariant& NullValue() const { return m_nullValue; }
  void SetNullValue(const TQvVariant& v);

protected:
  void RecordChanged() override;
  void UpdateData() override;

private:
  TQvCustomValidateEdit& m_edit;
  TQvVariant m_nullValue;
};

}  // namespace qv::controls
