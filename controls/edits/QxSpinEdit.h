// TQxSpinEdit: a one-line numeric edit with step buttons at its right
// side. It holds an integer, float or hexadecimal value in its text, keeps
// it within optional limits, steps it by Increment from the buttons and the
// arrow keys, and refuses characters that cannot be part of a number.
// Example:  auto& s = form.Make<TQxSpinEdit>("SpinDebut");
//           s.Place(&form, 10, 10, 60, 21); s.SetMaxValue(999); s.OnChange = ...;
// Values are extended floats; integer kinds round to nearest (ties to even)
// within the 64-bit range, and text that is no number reads as MinValue.
// Leaving it with CheckOnExit and a value out of range shows the range
// message (QxRangeError.h), then takes the focus back. It is a masked edit
// (without a mask it edits freely).
// Main thread only. Tested by tests/controls/edits/QxSpinEdit_test.cpp.
#pragma once

#include <string>

#include "controls/edits/QxNumText.h"
#include "controls/edits/QxSpinButton.h"
#include "framework/MaskEdit.h"

namespace qv::controls {

enum TValueType { vtInteger, vtFloat, vtHex };

// The edit's border: none, or a single line that is sunken in the 3-D look.
enum class TEditBorderStyle { None, Single };
using qv::fw::TBiDiMode;

class TQxCustomSpinEdit : public qv::fw::TCustomMaskEdit {
public:
  explicit TQxCustomSpinEdit(qv::fw::TComponent* owner);
  ~TQxCustomSpinEdit() override;

  // --- Value and its kind
  virtual void SetValue(long double x) = 0;
  virtual long double GetValue() = 0;
  long double Value() { return GetValue(); }
  TValueType ValueType() const { return m_valueType; }
  virtual void SetValueType(TValueType t);
  int Decimal() const { return m_decimal; }
  void SetDecimal(int digits);  // 0..255
  const std::string& DisplayFormat() const { return m_displayFormat; }
  void SetDisplayFormat(const std::string& f);
  virtual std::string GetDefaultDisplayFormat() const { return ",0.##"; }

  // --- Limits (active while their check flag is set) and the step
  long double MinValue() const { return m_minValue; }
  long double MaxValue() const { return m_maxValue; }
  void SetMinValue(long double x);
  void SetMaxValue(long double x);
  bool CheckMinValue() const { return m_checkMinValue; }
  bool CheckMaxValue() const { return m_checkMaxValue; }
  void SetCheckMinValue(bool v);
  void SetCheckMaxValue(bool v);
  bool CheckOnExit() const { return m_checkOnExit; }
  void SetCheckOnExit(bool v) { m_checkOnExit = v; }
  long double Increment() const { return m_increment; }
  void SetIncrement(long double x) { m_increment = x; }
  // x limited by the active limits.
  long double ClampValue(long double x) const;
  // ClampValue(x); with raise set, an out-of-range x throws ERangeError.
  long double ValidateValue(long double x, bool raise) const;

  // --- Buttons and keys
  TSpinButtonKind ButtonKind() const { return m_buttonKind; }
  void SetButtonKind(TSpinButtonKind k);
  bool ArrowKeys() const { return m_arrowKeys; }
  void SetArrowKeys(bool v) { m_arrowKeys = v; }
  bool EditorEnabled() const { return m_editorEnabled; }
  void SetEditorEnabled(bool v) { m_editorEnabled = v; }
  bool AutoSelect() const { return m_autoSelect; }
  void SetAutoSelect(bool v) { m_autoSelect = v; }
  qv::fw::TAlignment Alignment() const { return m_alignment; }
  // Recreates the window (the alignment is a window style).
  void SetAlignment(qv::fw::TAlignment a);
  // --- Border and reading direction (BiDiMode; RightToLeft puts the
  // buttons at the left side, every right-to-left mode reads from the
  // right); each recreates the window and lays the buttons out again.
  TEditBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TEditBorderStyle s);
  bool Ctl3D() const { return m_ctl3D; }
  void SetCtl3D(bool v);
  virtual bool IsValidChar(char key);
  virtual void StepUp();
  virtual void StepDown();
  // The step button in use (null with the up-down kind), and the up-down.
  TQxSpinButton* Button() const { return m_button; }
  TQxUpDown* UpDown() const { return m_upDown; }
  bool Modified() const;

  qv::fw::TNotifyEvent OnTopClick;
  qv::fw::TNotifyEvent OnBottomClick;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  virtual void RefreshValueText();
  void CreateParams(qv::fw::TCreateParams& p) override;
  void CreateWnd() override;
  void Loaded() override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void KeyPress(char& key) override;
  void Change() override;
  void DoEnter() override;
  void DoExit() override;
  void Resized() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void BiDiModeChanged() override;
  // Rewrites the text without a change notification.
  void SetTextQuietly(const std::string& text);
  TNumberSeparators Separators() const { return LocaleSeparators(); }

  bool m_hasFocus = false;

private:
  void BuildButtons();
  void PlaceButtons();
  void UpdateTextArea();
  int ButtonAreaWidth() const;
  void HandleUpDownClick(bool up);
  void Step(long double delta, const qv::fw::TNotifyEvent& event);
  void AdjustHeight();
  void RecreateWnd();

  bool m_checkOnExit = false;
  bool m_autoMinFlag = true, m_autoMaxFlag = true;
  bool m_checkMinValue = false, m_checkMaxValue = false;
  std::string m_displayFormat;
  long double m_minValue = 0, m_maxValue = 0, m_increment = 1;
  int m_decimal = 2;
  bool m_selfUpdating = false;
  bool m_editorEnabled = true;
  bool m_autoSelect = true;
  TValueType m_valueType = vtInteger;
  qv::fw::TWinControl* m_holder = nullptr;  // owned, parents m_button
  TQxSpinButton* m_button = nullptr;         // owned by the holder
  TQxUpDown* m_upDown = nullptr;             // owned
  bool m_arrowKeys = true;
  TSpinButtonKind m_buttonKind = bkDiagonal;
  TSpinButtonKind m_builtKind = bkDiagonal;
  HWND m_focusPeer = nullptr;  // the other window of the focus change under way
  TEditBorderStyle m_borderStyle = TEditBorderStyle::Single;
  bool m_ctl3D = true;
};

class TQxSpinEdit : public TQxCustomSpinEdit {
public:
  explicit TQxSpinEdit(qv::fw::TComponent* owner);
  void SetValue(long double x) override;
  long double GetValue() override;
};

}  // namespace qv::controls
