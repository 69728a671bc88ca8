// Masked edit; see MaskEdit.h.
#include "framework/MaskEdit.h"

#include <cctype>
#include <cstring>

#include "framework/Exception.h"

namespace qv::fw {

namespace {

// Posted to itself after a failed validation on exit: the focus cannot be
// taken back while it is moving away.
constexpr UINT kValidationFailed = WM_APP + 0x3A1;

bool IsLetter(unsigned char c) { return std::isalpha(c) || c >= 0xC0; }

char ApplyCase(char c, int mode) {
  const auto u = static_cast<unsigned char>(c);
  if (mode > 0) {
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  } else if (mode < 0) {
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  }
  return c;
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (char* p = static_cast<char*>(GlobalLock(h))) {
      memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(h);
      if (!SetClipboardData(CF_TEXT, h)) GlobalFree(h);
    } else {
      GlobalFree(h);
    }
  }
  CloseClipboard();
}

}  // namespace

// --- TEditMask

TEditMask::TEditMask(const std::string& mask) {
  // "<places>;<save literals>;<blank>": the two last fields are optional.
  std::string places = mask;
  const size_t last = mask.rfind(';');
  if (last != std::string::npos) {
    const size_t prev = last > 0 ? mask.rfind(';', last - 1) : std::string::npos;
    if (prev != std::string::npos) {
      places = mask.substr(0, prev);
      const std::string save = mask.substr(prev + 1, last - prev - 1);
      m_saveLiterals = save != "0";
      if (last + 1 < mask.size()) m_blank = mask[last + 1];
    } else {
      places = mask.substr(0, last);
      m_saveLiterals = mask.substr(last + 1) != "0";
    }
  }
  int caseMode = 0;
  for (size_t i = 0; i < places.size(); ++i) {
    const char c = places[i];
    TPlace p;
    p.Case = caseMode;
    switch (c) {
      case '!': continue;
      case '>':
        caseMode = 1;
        continue;
      case '<':
        if (i + 1 < places.size() && places[i + 1] == '>') ++i, caseMode = 0;
        else caseMode = -1;
        continue;
      case '\\':
        if (++i >= places.size()) continue;
        p.Literal = places[i];
        break;
      case '_': p.Literal = ' '; break;
      case '0': p.Kind = TKind::Digit, p.Required = true; break;
      case '9': p.Kind = TKind::Digit; break;
      case '#': p.Kind = TKind::DigitSign; break;
      case 'L': p.Kind = TKind::Letter, p.Required = true; break;
      case 'l': p.Kind = TKind::Letter; break;
      case 'A': p.Kind = TKind::AlphaNum, p.Required = true; break;
      case 'a': p.Kind = TKind::AlphaNum; break;
      case 'C': p.Kind = TKind::Any, p.Required = true; break;
      case 'c': p.Kind = TKind::Any; break;
      default: p.Literal = c; break;
    }
    m_places.push_back(p);
  }
}

bool TEditMask::IsLiteral(int i) const { return i >= 0 && i < Length() && m_places[static_cast<size_t>(i)].Kind == TKind::Literal; }

char TEditMask::LiteralAt(int i) const { return IsLiteral(i) ? m_places[static_cast<size_t>(i)].Literal : 0; }

bool TEditMask::Required(int i) const { return i >= 0 && i < Length() && m_places[static_cast<size_t>(i)].Required; }

char TEditMask::Accept(int i, char c) const {
  if (i < 0 || i >= Length() || c == 0) return 0;
  const TPlace& p = m_places[static_cast<size_t>(i)];
  const auto u = static_cast<unsigned char>(c);
  bool ok = false;
  switch (p.Kind) {
    case TKind::Literal: return 0;
    case TKind::Digit: ok = std::isdigit(u); break;
    case TKind::DigitSign: ok = std::isdigit(u) || c == '+' || c == '-'; break;
    case TKind::Letter: ok = IsLetter(u); break;
    case TKind::AlphaNum: ok = IsLetter(u) || std::isdigit(u); break;
    case TKind::Any: ok = u >= 32; break;
  }
  return ok ? ApplyCase(c, p.Case) : 0;
}

int TEditMask::NextEditable(int i) const {
  for (i = i < 0 ? 0 : i; i < Length(); ++i)
    if (!IsLiteral(i)) return i;
  return -1;
}

int TEditMask::PreviousEditable(int i) const {
  for (i = i >= Length() ? Length() - 1 : i; i >= 0; --i)
    if (!IsLiteral(i)) return i;
  return -1;
}

std::string TEditMask::Format(const std::string& value) const {
  std::string out(static_cast<size_t>(Length()), m_blank);
  size_t j = 0;
  for (int i = 0; i < Length(); ++i) {
    if (IsLiteral(i)) {
      out[static_cast<size_t>(i)] = LiteralAt(i);
      if (m_saveLiterals && j < value.size() && value[j] == LiteralAt(i)) ++j;
      continue;
    }
    if (j >= value.size()) continue;
    // With saved literals, the value's next literal closes this field early.
    if (m_saveLiterals && !Accept(i, value[j])) {
      const int next = [&] {
        for (int k = i + 1; k < Length(); ++k)
          if (IsLiteral(k)) return k;
        return -1;
      }();
      if (next >= 0 && value[j] == LiteralAt(next)) continue;
    }
    const char c = Accept(i, value[j]);
    if (c) out[static_cast<size_t>(i)] = c;
    ++j;
  }
  return out;
}

std::string TEditMask::Strip(const std::string& editText) const {
  std::string out;
  for (int i = 0; i < Length(); ++i) {
    const char c = i < static_cast<int>(editText.size()) ? editText[static_cast<size_t>(i)] : m_blank;
    if (IsLiteral(i)) {
      if (m_saveLiterals) out += LiteralAt(i);
    } else {
      out += c == m_blank ? ' ' : c;
    }
  }
  return out;
}

int TEditMask::FirstMissing(const std::string& editText) const {
  for (int i = 0; i < Length(); ++i) {
    if (!Required(i)) continue;
    const char c = i < static_cast<int>(editText.size()) ? editText[static_cast<size_t>(i)] : m_blank;
    if (c == m_blank || c == ' ') return i;
  }
  return -1;
}

// --- TCustomMaskEdit

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
  const std::string text = Caption();
  m_maskText = mask;
  m_mask = TEditMask(mask);
  SetMaxLength(m_mask.Empty() ? 0 : m_mask.Length());
  SetCaption(text);
}

std::string TCustomMaskEdit::EditText() const { return TCustomEdit::Caption(); }

void TCustomMaskEdit::SetEditText(const std::string& s) {
  // m_caption may hold the stripped text (it follows EN_CHANGE), so the
  // window text is compared instead.
  m_caption = s;
  if (HWND h = HandleIfAllocated(); h && WindowText(h) != s) SetWindowTextA(h, s.c_str());
}

std::string TCustomMaskEdit::Caption() const {
  return IsMasked() ? m_mask.Strip(EditText()) : TCustomEdit::Caption();
}

void TCustomMaskEdit::SetCaption(const std::string& s) {
  SetEditText(IsMasked() ? m_mask.Format(s) : s);
}

bool TCustomMaskEdit::Modified() const {
  HWND h = HandleIfAllocated();
  return h && SendMessageA(h, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomMaskEdit::SetModified(bool v) {
  if (HWND h = HandleIfAllocated()) SendMessageA(h, EM_SETMODIFY, v, 0);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  const int missing = m_mask.FirstMissing(EditText());
  if (missing < 0) return;
  SetSelection(missing, 0);
  throw EQvError("Saisie incompl\xE8te : compl\xE9tez toutes les positions de la zone.");
}

void TCustomMaskEdit::ReplaceEditText(const std::string& text, int caret) {
  SetEditText(text);
  SetModified(true);
  SetSelection(caret, 0);
}

void TCustomMaskEdit::ClearSelection(std::string& text, int& caret) {
  const int start = SelStart(), length = SelLength();
  for (int i = start; i < start + length && i < static_cast<int>(text.size()); ++i)
    if (!m_mask.IsLiteral(i)) text[static_cast<size_t>(i)] = m_mask.Blank();
  caret = start;
}

void TCustomMaskEdit::TypeChar(char c) {
  std::string text = EditText();
  if (static_cast<int>(text.size()) != m_mask.Length()) text = m_mask.Format(Caption());
  int caret = SelStart();
  if (SelLength() > 0) ClearSelection(text, caret);
  // A typed literal jumps past its next occurrence.
  for (int i = caret; i < m_mask.Length() && m_mask.IsLiteral(i); ++i) {
    if (m_mask.LiteralAt(i) == c) {
      ReplaceEditText(text, i + 1);
      return;
    }
  }
  const int pos = m_mask.NextEditable(caret);
  const char accepted = m_mask.Accept(pos, c);
  if (pos < 0 || !accepted) {
    for (int i = caret; i < m_mask.Length(); ++i) {
      if (m_mask.IsLiteral(i) && m_mask.LiteralAt(i) == c) {
        ReplaceEditText(text, i + 1);
        return;
      }
    }
    MessageBeep(0);
    return;
  }
  text[static_cast<size_t>(pos)] = accepted;
  const int next = m_mask.NextEditable(pos + 1);
  ReplaceEditText(text, next < 0 ? m_mask.Length() : next);
}

void TCustomMaskEdit::DeleteAtCaret(bool backwards) {
  std::string text = EditText();
  if (static_cast<int>(text.size()) != m_mask.Length()) text = m_mask.Format(Caption());
  int caret = SelStart();
  if (SelLength() > 0) {
    ClearSelection(text, caret);
  } else if (backwards) {
    const int pos = m_mask.PreviousEditable(caret - 1);
    if (pos < 0) return;
    text[static_cast<size_t>(pos)] = m_mask.Blank();
    caret = pos;
  } else {
    const int pos = m_mask.NextEditable(caret);
    if (pos < 0) return;
    text[static_cast<size_t>(pos)] = m_mask.Blank();
  }
  ReplaceEditText(text, caret);
}

void TCustomMaskEdit::PasteText(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 32) TypeChar(c);
}

std::string TCustomMaskEdit::SelectedText() const {
  const std::string text = EditText();
  const int start = SelStart(), length = SelLength();
  if (start < 0 || start >= static_cast<int>(text.size())) return {};
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key == 0) return;
  if (key == VK_DELETE && !shift.Shift) {
    if (EditCanModify()) DeleteAtCaret(false);
    key = 0;
  }
}

void TCustomMaskEdit::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  const auto u = static_cast<unsigned char>(key);
  if (u == VK_BACK) {
    if (EditCanModify()) DeleteAtCaret(true);
    key = 0;
  } else if (u >= 32) {
    if (EditCanModify()) TypeChar(key);
    else MessageBeep(0);
    key = 0;
  }
}

void TCustomMaskEdit::DoExit() {
  TCustomEdit::DoExit();
  if (!IsMasked() || !ValidatesOnExit() || Loading()) return;
  try {
    ValidateEdit();
  } catch (const std::exception& e) {
    m_pendingError = e.what();
    PostMessageA(HandleIfAllocated(), kValidationFailed, 0, 0);
  }
}

void TCustomMaskEdit::AfterValidationFailure() {
  std::string message;
  message.swap(m_pendingError);
  if (message.empty()) return;
  if (CanFocus()) SetFocus();
  throw EQvError(message);
}

LRESULT TCustomMaskEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kValidationFailed) {
    AfterValidationFailure();
    return 0;
  }
  if (IsMasked()) {
    switch (msg) {
      case WM_PASTE:
        if (EditCanModify()) PasteText(ClipboardText(HandleIfAllocated()));
        return 0;
      case WM_CUT:
        SetClipboardText(HandleIfAllocated(), m_mask.Strip(SelectedText()));
        if (EditCanModify() && SelLength() > 0) DeleteAtCaret(false);
        return 0;
      case WM_CLEAR:
        if (EditCanModify() && SelLength() > 0) DeleteAtCaret(false);
        return 0;
      default: break;
    }
  }
  return TCustomEdit::WndProc(msg, wp, lp);
}

}  // namespace qv::fw
