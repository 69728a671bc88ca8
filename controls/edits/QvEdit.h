// TQvCustomEdit: the single-line edit the validating edit is built on. Over
// the framework's edit it adds colours and its own painting for the
// disabled state, a placeholder shown while the edit is empty and
// unfocused (it never reaches Text), clipboard commands per edit (with
// [caCopy] alone, or none, the edit is read-only), groups of edits that
// clear each other, a custom caret, a limit of the text's width in pixels,
// the shared context menu when it has no menu of its own, a password that
// other programs cannot read, and a binding to a data source.
// Example:  auto& e = form.Make<TQvCustomEdit>("Nom"); e.Place(&form, 8, 8, 120, 21);
//           e.SetEmptyValue("(aucun)"); e.MaxPixel().SetLength(100);
// Not here: right-to-left reading and a form designer (the framework has
// neither). Main thread only. Tested by tests/controls/edits/QvEdit_test.cpp.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/edits/QvCaret.h"
#include "controls/edits/QvExStdCtrls.h"
#include "controls/edits/QvMaxPixel.h"
#include "support/QvDataSourceIntf.h"

namespace qv::controls {

class TQvCustomEdit : public TQvExCustomEdit {
public:
  explicit TQvCustomEdit(qv::fw::TComponent* owner);
  ~TQvCustomEdit() override;

  // --- Text (TControl's Text() and SetText() come here). A text equal to
  // the shown placeholder reads as empty; an empty text written while the
  // edit is unfocused shows the placeholder.
  std::string Caption() const override;
  void SetCaption(const std::string& s) override;

  // --- Appearance
  qv::fw::TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(qv::fw::TAlignment a);  // recreates the window
  qv::fw::TColor DisabledColor() const { return m_disabledColor; }
  virtual void SetDisabledColor(qv::fw::TColor c);
  qv::fw::TColor DisabledTextColor() const { return m_disabledTextColor; }
  virtual void SetDisabledTextColor(qv::fw::TColor c);
  // A single-line border instead of the sunken one.
  bool Flat() const { return m_flat; }
  virtual void SetFlat(bool v);
  // Follows the parent's border (our parents always have the sunken one).
  bool ParentFlat() const { return m_parentFlat; }
  void SetParentFlat(bool v);
  TQvCaret& Caret() { return m_caret; }
  void SetCaret(const TQvCaret& caret) { m_caret.Assign(caret); }
  TQvMaxPixel& MaxPixel() { return m_maxPixel; }

  // --- Placeholder
  const std::string& EmptyValue() const { return m_emptyValue; }
  void SetEmptyValue(const std::string& v);
  qv::fw::TColor EmptyFontColor() const { return m_emptyFontColor; }
  void SetEmptyFontColor(qv::fw::TColor c);
  bool EmptyValueShown() const { return m_emptyValueShown; }

  // --- Behaviour
  // Edits of one owner with the same index (other than -1) clear each other.
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int v) { m_groupIndex = v; }
  bool HotTrack() const { return m_hotTrack; }
  void SetHotTrack(bool v) { m_hotTrack = v; }
  bool UseFixedPopup() const { return m_useFixedPopup; }
  void SetUseFixedPopup(bool v) { m_useFixedPopup = v; }
  bool AutoHint() const { return m_autoHint; }
  void SetAutoHint(bool v) { m_autoHint = v; }
  // With AutoHint and a text wider than the edit: the whole text as the
  // tooltip, at the screen point of client (-2, Height - 2). False: the
  // ordinary hint applies (always with a password character).
  bool AutoHintShow(std::string& text, qv::fw::TPoint& screenPos);
  void SetClipboardCommands(TQvClipboardCommands commands) override;

  // --- Password
  char PasswordChar() const;
  void SetPasswordChar(char c);
  // Other programs read nothing from the window (nor cut or copy from it).
  bool ProtectPassword() const { return m_protectPassword; }
  void SetProtectPassword(bool v) { m_protectPassword = v; }
  // A system password edit in the themed font.
  bool ThemedPassword() const { return m_themedPassword; }
  void SetThemedPassword(bool v);

  // --- Selection; while loading it is applied when loading ends.
  void SetSelStart(int v);
  void SetSelLength(int v);

  TQvFieldDataConnector& DataConnector() { return *m_dataConnector; }

  // The colour the text is drawn in now (the placeholder's and the
  // validating edit's colours stand in for the font's without changing it).
  qv::fw::TColor FontColor() const;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // With AutoHint, a text wider than the edit is its own tooltip, shown
  // just below it (see AutoHintShow).
  bool HandleHintShow(THintInfo& info) override;
  // --- Overridable, in this order
  virtual std::unique_ptr<TQvFieldDataConnector> CreateDataConnector();
  virtual void UpdateGroup();
  virtual void HideEmptyValue();
  virtual void ShowEmptyValue();
  // For a derived edit whose connector is of its own kind (a constructor
  // reaches only the base's CreateDataConnector).
  void RecreateDataConnector() { m_dataConnector = CreateDataConnector(); }

  // --- The framework's and the wrapper's steps
  void CreateParams(qv::fw::TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool CNCommand(WORD code, LRESULT& result) override;
  void Change() override;
  void KeyPress(char& key) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusSet(HWND previous) override;
  void FocusKilled(HWND next) override;
  bool EraseBackground(qv::fw::TCanvas& canvas, LPARAM param) override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;
  void HandleEnabledChanged() override;
  void HandleMouseEnter(qv::fw::TControl* control) override;
  void HandleMouseLeave(qv::fw::TControl* control) override;
  void Loaded() override;

  // The window's text as it is (placeholder included), or the kept text.
  std::string RawText() const;
  // Sets the window's text (and the kept copy) without the Text rules.
  void SetRawText(const std::string& s);
  bool IsLoaded() const { return m_loaded; }
  bool PlaceholderActive() const { return m_loaded && !Loading() && !m_emptyValue.empty(); }
  void RecreateWnd();
  // Draws the text in c (clDefault: the font's colour again).
  void SetFontColor(qv::fw::TColor c);

private:
  // Lifts the password protection while the edit reads its own text.
  class TLift {
  public:
    explicit TLift(const TQvCustomEdit& e) : m_e(e) { ++m_e.m_protectLift; }
    ~TLift() { --m_e.m_protectLift; }
    TLift(const TLift&) = delete;
    TLift& operator=(const TLift&) = delete;

  private:
    const TQvCustomEdit& m_e;
  };
  bool Protected() const { return m_protectPassword && m_protectLift == 0; }
  bool DefaultDisabledColors() const;
  bool PaintDisabled(WPARAM wp);
  bool EffectiveFlat() const { return !m_parentFlat && m_flat; }
  HFONT ThemedFont();
  void ApplyMaxPixel();

  qv::fw::TColor m_disabledColor = qv::fw::clWindow;
  qv::fw::TColor m_disabledTextColor = qv::fw::clGrayText;
  bool m_flat = false;
  bool m_parentFlat = true;
  TQvCaret m_caret;
  TQvMaxPixel m_maxPixel;
  std::string m_emptyValue;
  qv::fw::TColor m_emptyFontColor = qv::fw::clGrayText;
  int m_groupIndex = -1;
  bool m_hotTrack = false;
  bool m_useFixedPopup = true;
  bool m_autoHint = false;
  bool m_protectPassword = false;
  bool m_themedPassword = false;
  char m_passwordChar = 0;
  mutable int m_protectLift = 0;
  std::unique_ptr<TQvFieldDataConnector> m_dataConnector;
  qv::fw::TColor m_fontColor = qv::fw::clDefault;
  qv::fw::TColor m_savedFontColor = qv::fw::clWindowText;
  bool m_emptyValueShown = false;
  bool m_loaded = false;
  int m_streamedSelStart = 0;
  int m_streamedSelLength = 0;
  HFONT m_themedFont = nullptr;
  bool m_cutting = false;  // a derived edit may widen the cut text again
  int m_settingText = 0;   // the window text is being set by the program
};

}  // namespace qv::controls
