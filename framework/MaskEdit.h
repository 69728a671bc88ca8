// TCustomMaskEdit: a one-line edit whose text follows an edit mask, the
// subset the date fields need: "!99/99/9999;1;_" is a mask part, whether
// literals are kept in Text (1) or not (0), and the blank shown in empty
// places. Mask characters: 0 digit, 9 digit or blank, # digit, sign or
// blank, L letter, l letter or blank, A letter or digit, a the same or
// blank, C any character, c any or blank, > upper case from here, < lower
// case, <> neither, \ the next character is a literal, _ a blank literal,
// ! accepted and ignored; anything else is a literal (so "/" and ":" are
// themselves: this program's separators never follow the locale).
// Typing overwrites the place at the caret and skips literals; Backspace
// and Delete blank places; paste and cut keep the mask. Text shows empty
// places as blanks (0x20), EditText as the blank character.
// Example:  e.SetEditMask("!99/99/9999;1; "); e.SetText("25/12/2024");
// Tested by tests/framework/MaskEdit_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "framework/StdCtrls.h"

namespace qv::fw {

// The parsed form of an edit mask; portable of any window.
class TEditMask {
public:
  TEditMask() = default;
  explicit TEditMask(const std::string& mask);

  bool Empty() const { return m_places.empty(); }
  int Length() const { return static_cast<int>(m_places.size()); }
  char Blank() const { return m_blank; }
  bool SaveLiterals() const { return m_saveLiterals; }
  bool IsLiteral(int i) const;
  char LiteralAt(int i) const;
  // The character as the place stores it (case applied), or 0 when the
  // place takes no such character (or is a literal).
  char Accept(int i, char c) const;
  bool Required(int i) const;
  // The next (or previous) editable place from i on (or before i); -1.
  int NextEditable(int i) const;
  int PreviousEditable(int i) const;

  // The edit text of value: literals in place, each value character in the
  // next place that takes it, an early literal of the value leaving the
  // places before it blank.
  std::string Format(const std::string& value) const;
  // Text of an edit text: blanks as 0x20, literals dropped unless saved.
  std::string Strip(const std::string& editText) const;
  // The first required place left blank, or -1.
  int FirstMissing(const std::string& editText) const;

private:
  enum class TKind { Literal, Digit, DigitSign, Letter, AlphaNum, Any };
  struct TPlace {
    TKind Kind = TKind::Literal;
    char Literal = 0;
    bool Required = false;
    int Case = 0;  // 1 upper, -1 lower
  };
  std::vector<TPlace> m_places;
  bool m_saveLiterals = true;
  char m_blank = '_';
};

class TCustomMaskEdit : public TCustomEdit {
public:
  explicit TCustomMaskEdit(TComponent* owner);

  const std::string& EditMask() const { return m_maskText; }
  // Re-lays the current text into the new mask.
  void SetEditMask(const std::string& mask);
  bool IsMasked() const { return !m_mask.Empty(); }
  const TEditMask& Mask() const { return m_mask; }
  // The text as shown, blanks as the blank character.
  std::string EditText() const;
  void SetEditText(const std::string& s);
  // Text: see TEditMask::Strip; setting it formats it into the mask.
  std::string Caption() const override;
  void SetCaption(const std::string& s) override;
  bool Modified() const;
  void SetModified(bool v);
  // Raises EQvError when a required place is blank; run on leaving the
  // edit for another control of its window (the focus then comes back).
  virtual void ValidateEdit();

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // Whether typing may change the text now.
  virtual bool EditCanModify() const { return !ReadOnly(); }
  // Whether leaving the edit runs ValidateEdit: after the user's changes.
  virtual bool ValidatesOnExit() const { return Modified(); }
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;

private:
  void ReplaceEditText(const std::string& text, int caret);
  void ClearSelection(std::string& text, int& caret);
  void TypeChar(char c);
  void DeleteAtCaret(bool backwards);
  void PasteText(const std::string& text);
  std::string SelectedText() const;
  void AfterValidationFailure();

  std::string m_maskText;
  TEditMask m_mask;
  HWND m_focusPeer = nullptr;
  std::string m_pendingError;
};

}  // namespace qv::fw
