// TCustomComboEdit: a masked one-line edit with a button at its right edge
// that drops a popup window down (or runs an action); TPopupWindow is that
// window: a bordered tool window that never takes the activation, so the
// form keeps it and the edit keeps the focus while the popup is used.
// Keys: ClickKey (Alt+Down) presses the button; Enter accepts and Escape
// cancels an open popup, and reach the form's default and cancel buttons
// otherwise. Values go between edit and popup as TPopupValue.
// Example:  (see TDateEdit in QxDateEdit.h, the one kind the program uses)
// Main thread only. Tested by tests/controls/edits/QxComboEdit_test.cpp and
// tests/controls/dates/QxDateEdit_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <variant>

#include "controls/buttons/QxSpeedButton.h"
#include "engine/DateTime.h"
#include "framework/MaskEdit.h"

namespace qv::controls {

// Nothing, a text, or a date.
using TPopupValue = std::variant<std::monostate, std::string, qv::engine::TDateTime>;

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TPopupAlign { epaRight, epaLeft };

class TEditButton : public TQxSpeedButton {
public:
  explicit TEditButton(qv::fw::TComponent* owner);
  // Runs before the press: may swallow it (the press that closes a popup).
  std::function<bool()> OnPress;

protected:
  void MouseDown(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void MouseUp(qv::fw::TMouseButton b, qv::fw::TShiftState s, int x, int y) override;
  void Paint(qv::fw::TCanvas& canvas) override;

private:
  bool m_noAction = false;
};

class TPopupWindow : public qv::fw::TCustomControl {
public:
  explicit TPopupWindow(qv::fw::TComponent* owner);

  virtual TPopupValue ReadValue() = 0;
  virtual void WriteValue(const TPopupValue& v) = 0;
  // Raises OnCloseUp, which the edit connects to its HidePopup.
  virtual void FinishPopup(bool accept);
  virtual std::string PopupText() { return {}; }
  virtual void ShowAtPoint(qv::fw::TPoint screen);
  void HidePopupWindow();
  bool IsShown() const;
  // Keys and characters the edit sends on while the popup is open.
  virtual void PopupKeyDown(WORD& /*key*/, qv::fw::TShiftState /*shift*/) {}
  virtual void PopupKeyPress(char& /*key*/) {}

  std::function<void(qv::fw::TComponent& sender, bool accept)> OnCloseUp;

protected:
  void CreateParams(qv::fw::TCreateParams& p) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class TQxWindowHook;

class TCustomComboEdit : public qv::fw::TCustomMaskEdit {
public:
  explicit TCustomComboEdit(qv::fw::TComponent* owner);
  ~TCustomComboEdit() override;

  const std::string& ButtonHint() const { return m_buttonHint; }
  void SetButtonHint(const std::string& h);
  int ButtonWidth() const { return m_buttonWidth; }
  void SetButtonWidth(int w);
  // A shortcut as Alt (0x8000), Ctrl (0x4000), Shift (0x2000) plus a key.
  WORD ClickKey() const { return m_clickKey; }
  void SetClickKey(WORD k) { m_clickKey = k; }
  bool DirectInput() const { return m_directInput; }
  void SetDirectInput(bool v);
  TGlyphKind GlyphKind() const { return m_glyphKind; }
  void SetGlyphKind(TGlyphKind k);
  // Makes the kind gkCustom.
  void SetGlyph(HBITMAP strip);
  int NumGlyphs() const { return m_numGlyphs; }
  void SetNumGlyphs(int n);
  TPopupAlign PopupAlign() const { return m_popupAlign; }
  void SetPopupAlign(TPopupAlign a) { m_popupAlign = a; }
  virtual bool ReadOnly() const { return m_comboReadOnly; }
  void SetReadOnly(bool v);

  TEditButton* Button() const { return m_button; }
  qv::fw::TCustomControl* ButtonHolder() const { return m_holder; }
  TPopupWindow* Popup() const { return m_popup; }
  bool PopupVisible() const { return m_popupVisible; }
  // The button's action, as a click or ClickKey gives it.
  void ButtonPressed();
  bool IsClickKey(WORD key, qv::fw::TShiftState shift) const;
  // The text's height plus the borders: the least height the edit takes.
  int MinHeight() const;
  void SetBounds(int left, int top, int width, int height) override;

  qv::fw::TNotifyEvent OnButtonClick;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // The class's picture and its glyph count; null for none.
  virtual HBITMAP GetDefaultBitmap(int& numGlyphs) { numGlyphs = 1; return nullptr; }
  virtual void ShowPopup(bool disableEdit);
  // Every close goes through here; the edit takes the focus back unless
  // the close comes from the focus going elsewhere.
  virtual void HidePopup(bool accept) { ClosePopup(accept, !m_focusLeaving); }
  virtual void OpenPopupAt(qv::fw::TPoint p);
  virtual void ClosePopupWindow();
  virtual void RaiseChange() { Change(); }
  virtual bool ConfirmPopupValue(TPopupValue& /*v*/) { return true; }
  virtual void TakePopupValue(const TPopupValue& v);
  virtual void LoadPopupValue(const TPopupValue& v);
  virtual TPopupValue ReadPopupValue();
  virtual void PopupValueChanged() {}
  // The value the popup opens with: the text in the base.
  virtual TPopupValue PopupStartValue() { return Text(); }
  virtual void ButtonAction();

  // Takes ownership of the popup's link (the popup is a component of this).
  void SetPopup(TPopupWindow* popup);
  void ClosePopup(bool accept, bool refocus);
  void RebuildGlyph();
  void LayoutButton();
  bool EditCanModify() const override { return !m_comboReadOnly && m_directInput && !m_popupVisible; }

  void CreateParams(qv::fw::TCreateParams& p) override;
  void CreateWnd() override;
  void BoundsChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void KeyDown(WORD& key, qv::fw::TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;

private:
  void ApplyReadOnly();
  void SetEditRect();
  void HidePopupElsewhere();
  // The caret as high as the text, 2 pixels wide for a bold font.
  void ShowOwnCaret();

  qv::fw::TCustomControl* m_holder = nullptr;
  TEditButton* m_button = nullptr;
  TPopupWindow* m_popup = nullptr;
  bool m_popupVisible = false;
  bool m_disabledByPopup = false;
  bool m_focusLeaving = false;
  std::string m_buttonHint;
  int m_buttonWidth = 21;
  WORD m_clickKey = 32808;
  bool m_directInput = true;
  bool m_comboReadOnly = false;
  TGlyphKind m_glyphKind = gkCustom;
  int m_numGlyphs = 1;
  HBITMAP m_ownGlyph = nullptr;
  TPopupAlign m_popupAlign = epaRight;
  // Watches the form for presses elsewhere, which cancel an open popup.
  TQxWindowHook* m_formHook = nullptr;
};

}  // namespace qv::controls
