// Standard controls over the system classes (button, check box, radio
// button, edit, memo, combo box, group box) and our own painted ones
// (custom-control base, label, panel). Texts are cp1252.
// Tested by tests/framework/Form_test.cpp and tests/framework/Label_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace qv::fw {

class TForm;

enum class TAlignment { LeftJustify, RightJustify, Center };

// The alignment as the control shows it: with a right-to-left alignment,
// left and right trade places.
inline TAlignment BiDiAlignment(const TControl& control, TAlignment a) {
  if (!control.UseRightToLeftAlignment() || a == TAlignment::Center) return a;
  return a == TAlignment::LeftJustify ? TAlignment::RightJustify : TAlignment::LeftJustify;
}

// Our own window class, painted by Paint() over the parent's background when
// ParentBackground is set, double-buffered.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* owner);

protected:
  void CreateParams(TCreateParams& p) override;
};

// Buttons of any kind: BM_CLICK runs Click(); the form's Enter/Esc keys reach
// its default and cancel buttons; ModalResult ends a modal loop.
class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent* owner) : TWinControl(owner) {}
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int r) { m_modalResult = r; }
  void Click() override;
  bool IsDefault() const { return m_default; }
  bool IsCancel() const { return m_cancel; }
  void SetDefault(bool v);
  void SetCancel(bool v);
  // The accelerator letter of the caption ("&Oui" gives 'O'), 0 when none.
  char Accelerator() const;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void ParentChanged(TWinControl* old) override;
  // Colours of a box or radio button drawn over its parent's background.
  HBRUSH TransparentColors(HDC dc);

private:
  int m_modalResult = 0;
  bool m_default = false;
  bool m_cancel = false;
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* owner);

protected:
  void CreateParams(TCreateParams& p) override;
  bool CNCommand(WORD code, LRESULT& result) override;
};

enum class TCheckBoxState { Unchecked, Checked, Grayed };

class TCheckBox : public TButtonControl {
public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return m_state == TCheckBoxState::Checked; }
  // Setting a new value runs OnClick, as a click would.
  void SetChecked(bool v);
  TCheckBoxState State() const { return m_state; }
  void SetState(TCheckBoxState s);
  void SetAllowGrayed(bool v) { m_allowGrayed = v; }
  // Text on the left of the box.
  void SetAlignment(TAlignment a) { m_alignment = a; }

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNCommand(WORD code, LRESULT& result) override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;

private:
  TCheckBoxState m_state = TCheckBoxState::Unchecked;
  bool m_allowGrayed = false;
  TAlignment m_alignment = TAlignment::RightJustify;
};

class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return m_checked; }
  // Checking one unchecks its siblings; runs OnClick when it becomes checked.
  void SetChecked(bool v);

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNCommand(WORD code, LRESULT& result) override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;

private:
  bool m_checked = false;
};

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* owner);
  std::string Caption() const override;
  int MaxLength() const { return m_maxLength; }
  void SetMaxLength(int n);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool v);
  void SelectAll();
  int SelStart() const;
  int SelLength() const;
  void SetSelection(int start, int length);
  void SetAlignment(TAlignment a) { m_alignment = a; }
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNCommand(WORD code, LRESULT& result) override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual void Change();

  TAlignment m_alignment = TAlignment::LeftJustify;

private:
  int m_maxLength = 0;
  bool m_readOnly = false;
  bool m_settingText = false;
};

class TEdit : public TCustomEdit {
public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// Multi-line edit. Append adds text without re-setting the whole text, and
// the 32K limit of the system edit is lifted.
class TMemo : public TCustomEdit {
public:
  explicit TMemo(TComponent* owner);
  void SetScrollBars(bool horizontal, bool vertical) { m_hScroll = horizontal; m_vScroll = vertical; }
  void SetWordWrap(bool v) { m_wordWrap = v; }
  void AppendLine(const std::string& line);
  void Clear();
  std::vector<std::string> Lines() const;
  int LineCount() const;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;

private:
  bool m_hScroll = false, m_vScroll = true, m_wordWrap = true;
};

enum class TComboStyle { DropDown, DropDownList };

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* owner);
  std::string Caption() const override;
  void SetStyle(TComboStyle s) { m_style = s; }
  const std::vector<std::string>& Items() const { return m_items; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& s);
  void InsertItem(int index, const std::string& s);
  void DeleteItem(int index);
  void ClearItems();
  int ItemCount() const { return static_cast<int>(m_items.size()); }
  int ItemIndex() const;
  // False when the index is out of range (nothing selected then).
  bool SetItemIndex(int index);
  int DropDownCount() const { return m_dropDownCount; }
  bool SetDropDownCount(int n);
  void SetMaxLength(int n);
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  void SelectAll();
  TNotifyEvent OnChange;  // text edited or another item selected
  TNotifyEvent OnSelect;  // an item chosen from the list
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool CNCommand(WORD code, LRESULT& result) override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;
  void CaptionChanged() override;

private:
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  TComboStyle m_style = TComboStyle::DropDown;
  std::vector<std::string> m_items;
  int m_dropDownCount = 8;
  int m_maxLength = 0;
  int m_pendingIndex = -1;
  HWND m_edit = nullptr;
  WNDPROC m_editPrevProc = nullptr;
  bool m_settingText = false;
};

// A static text as a real window: tests read it as its window text.
class TLabel : public TCustomControl {
public:
  explicit TLabel(TComponent* owner);
  void SetAlignment(TAlignment a);
  void SetAutoSize(bool v);
  void SetWordWrap(bool v);
  void SetTransparent(bool v);
  // Vertically centred text.
  void SetLayoutCenter(bool v);
  // The width the caption needs in the label's font.
  int TextWidth() const;

protected:
  void Paint(TCanvas& c) override;
  void CreateWnd() override;
  void CaptionChanged() override;
  void FontChanged() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
  void AdjustSize();
  TAlignment m_alignment = TAlignment::LeftJustify;
  bool m_autoSize = false;
  bool m_wordWrap = false;
  bool m_layoutCenter = false;
};

enum class TBevelCut { None, Lowered, Raised };

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);
  void SetBevelOuter(TBevelCut c);
  void SetBevelInner(TBevelCut c);
  void SetAlignment(TAlignment a) { m_alignment = a; Invalidate(); }
  TRect ClientRect() const override;

protected:
  void Paint(TCanvas& c) override;

private:
  TBevelCut m_outer = TBevelCut::Raised;
  TBevelCut m_inner = TBevelCut::None;
  TAlignment m_alignment = TAlignment::Center;
};

class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* owner);

protected:
  void Paint(TCanvas& c) override;
};

// The text a window holds now (edits and combo boxes change it themselves).
std::string WindowText(HWND h);

// Draws a 3D frame of the given cut (shared by panels and bevels).
void DrawBevel(TCanvas& c, TRect r, TBevelCut cut);

}  // namespace qv::fw
