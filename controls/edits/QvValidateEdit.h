// TQvValidateEdit: an edit that takes only the characters its display
// format allows, keeps a numeric value inside an optional range when the
// user leaves it, shows the value formatted (decimal places, thousands
// separators, currency, prefix and suffix, blank for zero) and can colour
// its text when the value crosses critical points. EditText is the value
// as text (no prefix, suffix or formatting); Value reads and writes it
// typed by the format. Escape brings back the last committed text.
// Example:  auto& e = form.Make<TQvValidateEdit>("ValidateMaxCombo");
//           e.SetHasMinValue(true); e.SetMinValue(1); e.SetHasMaxValue(true);
//           e.SetMaxValue(99); e.SetMaxLength(2); e.SetValue(int64_t{10});
// Separators and the currency layout are the process locale's
// (QcSysUtils.h). Main thread only. Tested by
// tests/controls/edits/QvValidateEdit_test.cpp.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/edits/QvEdit.h"
#include "controls/edits/QvValidateEditTypes.h"

namespace qv::controls {

class TQvCustomValidateEdit : public TQvCustomEdit {
public:
  explicit TQvCustomValidateEdit(qv::fw::TComponent* owner);
  ~TQvCustomValidateEdit() override;

  // --- Format and characters
  TQvValidateEditDisplayFormat DisplayFormat() const { return m_displayFormat; }
  void SetDisplayFormat(TQvValidateEditDisplayFormat f);
  const std::string& CheckChars() const { return m_checkChars; }
  // Taken only for dfCheckChars, dfNonCheckChars and dfNone (or while loading).
  void SetCheckChars(const std::string& chars);
  unsigned DecimalPlaces() const { return m_decimalPlaces; }
  void SetDecimalPlaces(unsigned places);
  bool AutoAlignment() const { return m_autoAlignment; }
  void SetAutoAlignment(bool v) { m_autoAlignment = v; }

  // --- Range (numeric formats)
  bool HasMinValue() const { return m_hasMinValue; }
  void SetHasMinValue(bool v);
  bool HasMaxValue() const { return m_hasMaxValue; }
  void SetHasMaxValue(bool v);
  double MinValue() const { return m_minValue; }
  void SetMinValue(double v);  // MaxValue follows when it was below
  double MaxValue() const { return m_maxValue; }
  void SetMaxValue(double v);  // MinValue follows when it was above

  // --- Display
  bool ZeroEmpty() const { return m_zeroEmpty; }
  void SetZeroEmpty(bool v);
  bool TrimDecimals() const { return m_trimDecimals; }
  void SetTrimDecimals(bool v);
  const std::string& DisplayPrefix() const { return m_displayPrefix; }
  void SetDisplayPrefix(const std::string& s);
  const std::string& DisplaySuffix() const { return m_displaySuffix; }
  void SetDisplaySuffix(const std::string& s);
  bool AllowEmpty() const { return m_allowEmpty; }
  void SetAllowEmpty(bool v) { m_allowEmpty = v; }
  TQvValidateEditCriticalPoints& CriticalPoints() { return *m_criticalPoints; }

  // --- Value
  const std::string& EditText() const { return m_editText; }
  // Validates, enforces the range, displays and reports a changed value.
  void SetEditText(const std::string& text) { ApplyEditText(text); }
  // By format: an integer (dfInteger, dfYear, dfHex), a float (dfCurrency
  // and the float formats), else the text without prefix and suffix.
  TQvVariant Value() const;
  // With AllowEmpty a null or empty value clears the edit.
  void SetValue(const TQvVariant& v);
  double AsFloat() const;
  int64_t AsInt64() const;
  TCurrency AsCurrency() const;
  void SetAsInteger(int64_t v);
  void SetAsFloat(double v);
  // Copies the critical points, format, places, range and empty flags.
  void Assign(const TQvCustomValidateEdit& other);

  // --- Text (the window's text written through the value rules)
  void SetCaption(const std::string& s) override;

  // --- Events
  qv::fw::TNotifyEvent OnValueChanged;
  TQvCustomTextValidateEvent OnCustomValidate;
  TQvCustomIsValidEvent OnIsValid;
  TQvCustomDecimalRoundingEvent OnDecimalRounding;

  // --- Overridable, in this order
  // AText: the text without prefix, suffix and currency string; Pos:
  // 1-based place of the key. Key may change (the keypad's decimal key).
  virtual bool IsValidChar(const std::string& aText, char& key, int pos);
  virtual std::string MakeValid(const std::string& text);
  virtual bool IsInCriticalRange();

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  std::unique_ptr<TQvFieldDataConnector> CreateDataConnector() override;
  void Change() override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void KeyUp(WORD& key, qv::fw::TShiftState shift) override;
  void KeyPress(char& key) override;
  void FocusSet(HWND previous) override;
  void FocusKilled(HWND next) override;
  void Loaded() override;

private:
  void ApplyEditText(const std::string& value);
  void Display();
  void DisplayText(std::string text);
  void EnforceMax();
  void EnforceMin();
  void ValueChangedCheck();
  void ApplyCriticalColor();
  // caret: a place in text, turned into the same place in the result (a
  // place inside a removed part goes to where that part stood).
  std::string Stripped(const std::string& text, int* caret = nullptr) const;
  std::string StrippedWindowText() const { return Stripped(RawText()); }
  bool SelectionActive() const { return SelLength() > 0; }
  double ClampToRange(double v) const;
  bool LoadingNow() const { return Loading() || m_finishingLoad; }
  double Rounded(double v);

  TQvValidateEditDisplayFormat m_displayFormat = dfInteger;
  std::string m_checkChars = "01234567890";
  unsigned m_decimalPlaces = 0;
  bool m_autoAlignment = true;
  bool m_hasMinValue = false, m_hasMaxValue = false;
  double m_minValue = 0, m_maxValue = 0;
  bool m_zeroEmpty = false;
  bool m_trimDecimals = false;
  std::string m_displayPrefix, m_displaySuffix;
  bool m_allowEmpty = false;
  std::unique_ptr<TQvValidateEditCriticalPoints> m_criticalPoints;
  std::string m_editText;
  std::string m_committed;
  bool m_displaying = false;
  bool m_enforcing = false;
  WORD m_lastKeyDown = 0;
  bool m_keypadDecimal = false;
  bool m_finishingLoad = false;  // Loaded(): applying the stored text
};

// The published form, as windows place it.
class TQvValidateEdit : public TQvCustomValidateEdit {
public:
  explicit TQvValidateEdit(qv::fw::TComponent* owner) : TQvCustomValidateEdit(owner) {}
};

}  // namespace qv::controls
