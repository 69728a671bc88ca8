// Common controls over their system classes: status bar with panels
// (msctls_statusbar32), rich edit for read-only previews (RichEdit20A),
// date/time picker (SysDateTimePick32), up-down (msctls_updown32).
// Texts are cp1252; date-time values count days from 30 Dec 1899 (Format.h).
// Tested by tests/framework/ComCtrls_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Format.h"
#include "framework/StdCtrls.h"

namespace qv::fw {

// ---------------------------------------------------------------- status bar

class TStatusBar;
enum class TStatusPanelBevel { None, Lowered, Raised };

// One panel. Derived bars make derived panels through CreatePanel; their
// own setters call Changed() so the bar re-applies the panels.
class TStatusPanel {
public:
  explicit TStatusPanel(TStatusBar& bar) : m_bar(bar) {}
  virtual ~TStatusPanel() = default;
  TStatusPanel(const TStatusPanel&) = delete;
  TStatusPanel& operator=(const TStatusPanel&) = delete;

  TStatusBar& Bar() const { return m_bar; }
  int Index() const;
  int Width() const { return m_width; }
  void SetWidth(int w);
  const std::string& Text() const { return m_text; }
  void SetText(const std::string& s);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);
  TStatusPanelBevel Bevel() const { return m_bevel; }
  void SetBevel(TStatusPanelBevel b);

protected:
  // Tells the bar (which updates the native control, then PanelsChanged).
  void Changed(bool partsToo = true);

private:
  TStatusBar& m_bar;
  int m_width = 50;
  std::string m_text;
  TAlignment m_alignment = TAlignment::LeftJustify;
  TStatusPanelBevel m_bevel = TStatusPanelBevel::Lowered;
};

// Aligned to the bottom of its parent, 19 pixels high, size grip on. In
// simple mode one part shows SimpleText instead of the panels.
class TStatusBar : public TWinControl {
public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  // --- Panels
  TStatusPanel& AddPanel(int width = 50, const std::string& text = "");
  int PanelCount() const { return static_cast<int>(m_panels.size()); }
  TStatusPanel& Panel(int index) const;  // throws EQvError out of range
  void DeletePanel(int index);
  void ClearPanels();
  // Panel changes wait until the last EndUpdate, which re-applies all of
  // them to the native control (even when none changed).
  void BeginUpdate() { ++m_updating; }
  void EndUpdate();
  bool Updating() const { return m_updating > 0; }
  // The last panel reaches the right edge whatever its width.
  bool LastPanelFills() const { return m_lastPanelFills; }
  void SetLastPanelFills(bool v);

  // --- Simple mode
  bool SimplePanel() const { return m_simplePanel; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return m_simpleText; }
  void SetSimpleText(const std::string& s);

  bool SizeGrip() const { return m_sizeGrip; }
  void SetSizeGrip(bool v);

  // --- Hints. With AutoHint, ExecuteHint(hint) (called by whoever passes
  // the application's hint on) runs OnHint when assigned, else shows the
  // hint in simple mode (an empty hint leaves simple mode). True when the
  // bar took the hint.
  bool AutoHint() const { return m_autoHint; }
  void SetAutoHint(bool v) { m_autoHint = v; }
  virtual bool ExecuteHint(const std::string& hint);
  TNotifyEvent OnHint;

  // The text the native control shows in a part (255: the simple part),
  // alignment tabs removed.
  std::string PartText(int part) const;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void Resized() override;
  // The panel object made by AddPanel.
  virtual std::unique_ptr<TStatusPanel> CreatePanel();
  // After panel changes have reached the native control.
  virtual void PanelsChanged() {}
  // Runs OnHint when assigned; true when it did.
  bool DoHint();
  // Sends the panels' parts and texts to the native control.
  void ApplyPanels();

private:
  friend class TStatusPanel;
  void PanelChanged(TStatusPanel& panel, bool partsToo);
  void ApplyParts();
  void ApplyText(int index);

  std::vector<std::unique_ptr<TStatusPanel>> m_panels;
  int m_updating = 0;
  bool m_simplePanel = false;
  std::string m_simpleText;
  bool m_sizeGrip = true;
  bool m_autoHint = false;
  bool m_lastPanelFills = false;
};

// ----------------------------------------------------------------- rich edit

// A rich edit for showing coloured text: the whole text shares one
// paragraph alignment; runs of it can be coloured until the text is set
// again (even to the same text), which starts over in the font's colour.
// Background is the control's Color. Word-wrapped, no scroll bars.
class TRichEdit : public TWinControl {
public:
  explicit TRichEdit(TComponent* owner);
  std::string Caption() const override;
  void SetCaption(const std::string& s) override;
  void Clear() { SetText(""); }
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool v);
  // 0: no limit beyond the control's own (the text is cut to a new limit).
  int MaxLength() const { return m_maxLength; }
  void SetMaxLength(int n);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);

  // --- Selection (character offsets)
  int SelStart() const;
  int SelLength() const;
  void SetSelection(int start, int length);  // length -1: to the end
  void SelectAll() { SetSelection(0, -1); }
  // Colour of the selected characters (and of text typed there).
  void SetSelColor(TColor c);
  // Colours a run of the text; the selection stays as it was.
  void ColorRange(int start, int length, TColor c);
  // The colour of the character at pos (the font's for default text).
  TColor TextColorAt(int pos) const;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void CaptionChanged() override;
  void ColorChanged() override;
  void FontChanged() override;
  bool CNCommand(WORD code, LRESULT& result) override;

private:
  void ApplyAlignment();
  void ApplyTextColor();
  bool m_readOnly = false;
  int m_maxLength = 0;
  TAlignment m_alignment = TAlignment::LeftJustify;
  bool m_settingText = false;
};

// ------------------------------------------------------- date/time picker

enum class TDateTimeKind { Date, Time };

// A date or a time in the system's picker. Formats are the control's own
// syntax ("dd/MM/yyyy", "HH:mm:ss"); they default to those two so the
// display never follows the locale. With ShowCheckbox the value can be
// unchecked (no date). The window text is the displayed text.
class TDateTimePicker : public TWinControl {
public:
  explicit TDateTimePicker(TComponent* owner);
  TDateTimeKind Kind() const { return m_kind; }
  void SetKind(TDateTimeKind k);  // re-creates an existing window
  TDateTime DateTime() const;
  // Values the control cannot hold (before 1601) are refused (false).
  bool SetDateTime(TDateTime v);
  TDateTime Date() const;
  TDateTime Time() const;
  const std::string& Format() const { return m_format; }
  void SetFormat(const std::string& f);
  bool ShowCheckbox() const { return m_showCheckbox; }
  void SetShowCheckbox(bool v);  // re-creates an existing window
  bool Checked() const;
  void SetChecked(bool v);
  // The text as shown, built from the format and the value.
  std::string Caption() const override;

  // The user changed the value or the check box.
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNNotify(NMHDR* hdr, LRESULT& result) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
  std::string EffectiveFormat() const;
  void Recreate();
  static void Uncheck(HWND h);
  TDateTimeKind m_kind = TDateTimeKind::Date;
  TDateTime m_value;
  std::string m_format;
  bool m_showCheckbox = false;
  bool m_checked = true;
};

// --------------------------------------------------------------- up-down

enum class TUDBtnType { Up, Down };
enum class TUDOrientation { Vertical, Horizontal };

// Arrows that step a position within Min..Max by Increment (wrapping when
// asked). With an associated edit the position shows in it as a plain
// number (never with locale thousands separators).
class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* owner);
  int Min() const { return m_min; }
  int Max() const { return m_max; }
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int p);  // clamped to the range
  int Increment() const { return m_increment; }
  void SetIncrement(int n);
  bool Wrap() const { return m_wrap; }
  void SetWrap(bool v);  // re-creates an existing window
  TUDOrientation Orientation() const { return m_orientation; }
  void SetOrientation(TUDOrientation o);  // re-creates an existing window
  TWinControl* Associate() const { return m_associate.Get(); }
  void SetAssociate(TWinControl* edit);

  // Before a step; clear allow to refuse it.
  std::function<void(TComponent& sender, bool& allow)> OnChanging;
  // After a step, with the arrow that made it.
  std::function<void(TComponent& sender, TUDBtnType button)> OnClick;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNNotify(NMHDR* hdr, LRESULT& result) override;
  bool CNScroll(UINT msg, WPARAM wp) override;

private:
  void Recreate();
  int m_min = 0, m_max = 100, m_position = 0, m_increment = 1;
  bool m_wrap = false;
  TUDOrientation m_orientation = TUDOrientation::Vertical;
  TComponentLink<TWinControl> m_associate;
  int m_lastDelta = 0;
};

}  // namespace qv::fw
