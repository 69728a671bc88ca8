// Status bar, rich edit, date/time picker, up-down.
#include "framework/ComCtrls.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "framework/Exception.h"

namespace qv::fw {

namespace {

// Windows that must change a creation style are made again; children that
// outlive the old window get theirs back through HandleNeeded.
void RecreateWindow(TWinControl& c) {
  if (!c.HandleAllocated()) return;
  c.DestroyHandle();
  if (c.Parent() && c.Parent()->HandleAllocated()) c.HandleNeeded();
}

}  // namespace

// ---------------------------------------------------------------- TStatusPanel

int TStatusPanel::Index() const {
  for (int i = 0; i < m_bar.PanelCount(); ++i)
    if (&m_bar.Panel(i) == this) return i;
  return -1;
}

void TStatusPanel::SetWidth(int w) {
  if (w == m_width) return;
  m_width = w;
  Changed(true);
}

void TStatusPanel::SetText(const std::string& s) {
  if (s == m_text) return;
  m_text = s;
  Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel b) {
  if (b == m_bevel) return;
  m_bevel = b;
  Changed(false);
}

void TStatusPanel::Changed(bool partsToo) { m_bar.PanelChanged(*this, partsToo); }

// ---------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  SetAlign(TAlign::Bottom);
  SetBounds(0, 0, 200, 19);
}

TStatusBar::~TStatusBar() {
  MarkDestroying();
  DestroyHandle();
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = STATUSCLASSNAMEA;
  p.SystemClass = true;
  // Our alignment places the bar; the control must not move itself.
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
            (m_sizeGrip ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::CreateWnd() { ApplyPanels(); }

void TStatusBar::Resized() {
  // Right edges depend on the width when the last panel fills.
  if (m_lastPanelFills && HandleAllocated() && !Updating()) ApplyPanels();
  TWinControl::Resized();
}

std::unique_ptr<TStatusPanel> TStatusBar::CreatePanel() { return std::make_unique<TStatusPanel>(*this); }

TStatusPanel& TStatusBar::AddPanel(int width, const std::string& text) {
  m_panels.push_back(CreatePanel());
  TStatusPanel& p = *m_panels.back();
  BeginUpdate();
  p.SetWidth(width);
  p.SetText(text);
  EndUpdate();
  return p;
}

TStatusPanel& TStatusBar::Panel(int index) const {
  if (index < 0 || index >= PanelCount()) throw EQvError("Panneau " + std::to_string(index) + " inexistant");
  return *m_panels[static_cast<size_t>(index)];
}

void TStatusBar::DeletePanel(int index) {
  Panel(index);
  // A panel's destruction may walk the panels (a derived panel lets its
  // hosted control go): it must find a list without itself and without
  // holes, so it goes only once it is out of it.
  std::unique_ptr<TStatusPanel> gone = std::move(m_panels[static_cast<size_t>(index)]);
  m_panels.erase(m_panels.begin() + index);
  BeginUpdate();
  gone.reset();
  EndUpdate();
}

void TStatusBar::ClearPanels() {
  // Last first, each out of the list before it goes (see DeletePanel).
  BeginUpdate();
  while (!m_panels.empty()) {
    std::unique_ptr<TStatusPanel> gone = std::move(m_panels.back());
    m_panels.pop_back();
    gone.reset();
  }
  EndUpdate();
}

void TStatusBar::EndUpdate() {
  if (m_updating > 0 && --m_updating == 0) ApplyPanels();
}

void TStatusBar::SetLastPanelFills(bool v) {
  if (v == m_lastPanelFills) return;
  m_lastPanelFills = v;
  if (!Updating()) ApplyPanels();
}

void TStatusBar::PanelChanged(TStatusPanel& panel, bool partsToo) {
  if (Updating() || !HandleAllocated() || Destroying()) return;
  if (partsToo) {
    ApplyPanels();
    return;
  }
  ApplyText(panel.Index());
  PanelsChanged();
}

void TStatusBar::ApplyParts() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  if (m_simplePanel) {
    SendMessageA(h, SB_SIMPLE, TRUE, 0);
    return;
  }
  SendMessageA(h, SB_SIMPLE, FALSE, 0);
  // The native control holds at most 256 parts; an empty bar shows one.
  std::vector<int> rights;
  int x = 0;
  for (const auto& p : m_panels) {
    if (rights.size() == 255) break;
    x += std::max(p->Width(), 0);
    rights.push_back(x);
  }
  if (rights.empty()) rights.push_back(-1);
  else if (m_lastPanelFills) rights.back() = -1;
  SendMessageA(h, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
}

void TStatusBar::ApplyText(int index) {
  HWND h = HandleIfAllocated();
  if (!h || index < 0 || index >= PanelCount() || index >= 255) return;
  const TStatusPanel& p = *m_panels[static_cast<size_t>(index)];
  // The control centres text after one tab and right-aligns after two.
  const std::string prefix =
      p.Alignment() == TAlignment::Center ? "\t" : p.Alignment() == TAlignment::RightJustify ? "\t\t" : "";
  const std::string text = prefix + p.Text();
  const WPARAM kind = p.Bevel() == TStatusPanelBevel::None ? SBT_NOBORDERS
                      : p.Bevel() == TStatusPanelBevel::Raised ? SBT_POPOUT
                                                               : 0;
  SendMessageA(h, SB_SETTEXTA, static_cast<WPARAM>(index) | kind, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::ApplyPanels() {
  HWND h = HandleIfAllocated();
  if (!h || Destroying()) return;
  ApplyParts();
  if (m_simplePanel) {
    SendMessageA(h, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(m_simpleText.c_str()));
  } else {
    for (int i = 0; i < PanelCount(); ++i) ApplyText(i);
  }
  PanelsChanged();
}

void TStatusBar::SetSimplePanel(bool v) {
  if (v == m_simplePanel) return;
  m_simplePanel = v;
  if (!Updating()) ApplyPanels();
}

void TStatusBar::SetSimpleText(const std::string& s) {
  if (s == m_simpleText) return;
  m_simpleText = s;
  if (HandleAllocated() && m_simplePanel)
    SendMessageA(HandleIfAllocated(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(m_simpleText.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (v == m_sizeGrip) return;
  m_sizeGrip = v;
  if (HWND h = HandleIfAllocated()) {
    LONG_PTR st = GetWindowLongPtrA(h, GWL_STYLE);
    st = v ? (st | SBARS_SIZEGRIP) : (st & ~static_cast<LONG_PTR>(SBARS_SIZEGRIP));
    SetWindowLongPtrA(h, GWL_STYLE, st);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Invalidate();
  }
}

bool TStatusBar::DoHint() {
  if (!OnHint) return false;
  OnHint(*this);
  return true;
}

bool TStatusBar::ExecuteHint(const std::string& hint) {
  if (!m_autoHint) return false;
  if (DoHint()) return true;
  SetSimpleText(hint);
  SetSimplePanel(!hint.empty());
  return true;
}

std::string TStatusBar::PartText(int part) const {
  HWND h = HandleIfAllocated();
  if (!h) return {};
  // In simple mode the control answers for its one part at index 0 (Wine
  // returns nothing for SB_SIMPLEID).
  if (m_simplePanel) part = 0;
  const LRESULT len = SendMessageA(h, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
  std::string s(LOWORD(len) + 1u, '\0');
  SendMessageA(h, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(s.data()));
  s.resize(std::strlen(s.c_str()));
  s.erase(0, s.find_first_not_of('\t') == std::string::npos ? s.size() : s.find_first_not_of('\t'));
  return s;
}

// ---------------------------------------------------------------- TRichEdit

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner) {
  // The class lives in riched20.dll, loaded once for the process.
  static HMODULE lib = LoadLibraryA("riched20.dll");
  (void)lib;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TRichEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = RICHEDIT_CLASSA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | (m_readOnly ? ES_READONLY : 0);
  p.ExStyle = WS_EX_CLIENTEDGE;
}

void TRichEdit::CreateWnd() {
  HWND h = HandleIfAllocated();
  SendMessageA(h, EM_SETEVENTMASK, 0, ENM_CHANGE);
  if (m_maxLength > 0) SendMessageA(h, EM_EXLIMITTEXT, 0, m_maxLength);
  SendMessageA(h, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(EffectiveColor())));
  CaptionChanged();
}

void TRichEdit::SetCaption(const std::string& s) {
  m_caption = s;
  CaptionChanged();
}

std::string TRichEdit::Caption() const {
  HWND h = HandleIfAllocated();
  return h ? WindowText(h) : m_caption;
}

void TRichEdit::CaptionChanged() {
  // Windows cuts WM_SETTEXT at the limit, Wine does not: cut it here.
  if (m_maxLength > 0 && m_caption.size() > static_cast<size_t>(m_maxLength)) m_caption.resize(static_cast<size_t>(m_maxLength));
  HWND h = HandleIfAllocated();
  if (!h) return;
  m_settingText = true;
  SetWindowTextA(h, m_caption.c_str());
  m_settingText = false;
  // New text starts in the default colour with the control's alignment.
  ApplyTextColor();
  ApplyAlignment();
}

void TRichEdit::SetReadOnly(bool v) {
  m_readOnly = v;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_SETREADONLY, v, 0);
}

void TRichEdit::SetMaxLength(int n) {
  m_maxLength = n < 0 ? 0 : n;
  // 0 restores the control's default limit.
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_EXLIMITTEXT, 0, m_maxLength);
}

void TRichEdit::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  ApplyAlignment();
}

void TRichEdit::ApplyAlignment() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  CHARRANGE old{};
  SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
  CHARRANGE all{0, -1};
  SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = m_alignment == TAlignment::Center ? PFA_CENTER
                  : m_alignment == TAlignment::RightJustify ? PFA_RIGHT
                                                           : PFA_LEFT;
  SendMessageA(h, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
}

void TRichEdit::ApplyTextColor() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = ColorToRGB(EffectiveFont().Color());
  SendMessageA(h, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(h, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void TRichEdit::ColorChanged() {
  if (HandleAllocated())
    SendMessageA(HandleIfAllocated(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(EffectiveColor())));
  TWinControl::ColorChanged();
}

void TRichEdit::FontChanged() {
  TWinControl::FontChanged();  // face and size through WM_SETFONT
  ApplyTextColor();
}

int TRichEdit::SelStart() const {
  CHARRANGE r{};
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r.cpMin;
}

int TRichEdit::SelLength() const {
  CHARRANGE r{};
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r.cpMax - r.cpMin;
}

void TRichEdit::SetSelection(int start, int length) {
  if (!HandleAllocated()) return;
  CHARRANGE r{start, length < 0 ? -1 : start + length};
  SendMessageA(HandleIfAllocated(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TRichEdit::SetSelColor(TColor c) {
  if (!HandleAllocated()) return;
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = ColorToRGB(c);
  SendMessageA(HandleIfAllocated(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TRichEdit::ColorRange(int start, int length, TColor c) {
  HWND h = HandleIfAllocated();
  if (!h || length <= 0 || start < 0) return;
  CHARRANGE old{};
  SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
  SetSelection(start, length);
  SetSelColor(c);
  SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
}

TColor TRichEdit::TextColorAt(int pos) const {
  HWND h = HandleIfAllocated();
  if (!h) return clNone;
  CHARRANGE old{};
  SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
  CHARRANGE one{pos, pos + 1};
  SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_COLOR;
  SendMessageA(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
  if (cf.dwEffects & CFE_AUTOCOLOR) return static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT));
  return static_cast<TColor>(cf.crTextColor);
}

bool TRichEdit::CNCommand(WORD code, LRESULT& result) {
  if (code != EN_CHANGE) return false;
  m_caption = Caption();
  if (!m_settingText && !Loading() && OnChange) OnChange(*this);
  result = 0;
  return true;
}

// ---------------------------------------------------------- TDateTimePicker

namespace {

// The picker's own format syntax: d dd M MM yy yyyy h hh H HH m mm s ss
// t tt, text in '...'. Day and month names (ddd, MMM ...) are not used here.
std::string FormatPickerText(const std::string& format, const SYSTEMTIME& t) {
  std::string out;
  auto two = [](int v) { return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10); };
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'') {
      const size_t close = format.find('\'', i + 1);
      out += format.substr(i + 1, (close == std::string::npos ? format.size() : close) - i - 1);
      i = close == std::string::npos ? format.size() : close + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    const int h12 = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
    switch (c) {
      case 'd': out += run == 1 ? std::to_string(t.wDay) : two(t.wDay); break;
      case 'M': out += run == 1 ? std::to_string(t.wMonth) : two(t.wMonth); break;
      case 'y': out += run <= 2 ? two(t.wYear % 100) : std::to_string(t.wYear); break;
      case 'h': out += run == 1 ? std::to_string(h12) : two(h12); break;
      case 'H': out += run == 1 ? std::to_string(t.wHour) : two(t.wHour); break;
      case 'm': out += run == 1 ? std::to_string(t.wMinute) : two(t.wMinute); break;
      case 's': out += run == 1 ? std::to_string(t.wSecond) : two(t.wSecond); break;
      case 't': out += run == 1 ? (t.wHour < 12 ? "A" : "P") : (t.wHour < 12 ? "AM" : "PM"); break;
      default: out += format.substr(i, run);
    }
    i += run;
  }
  return out;
}

}  // namespace

void TDateTimePicker::Uncheck(HWND h) {
  // Wine refuses GDT_NONE without a SYSTEMTIME, which Windows ignores.
  SYSTEMTIME unused{};
  SendMessageA(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&unused));
  SendMessageA(h, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&unused));
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), m_value(Now()) {
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = DATETIMEPICK_CLASSA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS |
            (m_kind == TDateTimeKind::Time ? DTS_TIMEFORMAT | DTS_UPDOWN : DTS_SHORTDATEFORMAT) |
            (m_showCheckbox ? DTS_SHOWNONE : 0);
}

void TDateTimePicker::CreateWnd() {
  HWND h = HandleIfAllocated();
  const std::string f = EffectiveFormat();
  SendMessageA(h, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(f.c_str()));
  SYSTEMTIME st;
  if (DecodeDateTime(m_value, st)) SendMessageA(h, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  if (m_showCheckbox && !m_checked) Uncheck(h);
}

std::string TDateTimePicker::EffectiveFormat() const {
  if (!m_format.empty()) return m_format;
  return m_kind == TDateTimeKind::Time ? "HH:mm:ss" : "dd/MM/yyyy";
}

void TDateTimePicker::Recreate() {
  if (HandleAllocated()) {
    m_value = DateTime();
    m_checked = Checked();
  }
  RecreateWindow(*this);
}

void TDateTimePicker::SetKind(TDateTimeKind k) {
  if (k == m_kind) return;
  m_kind = k;
  Recreate();
}

void TDateTimePicker::SetShowCheckbox(bool v) {
  if (v == m_showCheckbox) return;
  m_showCheckbox = v;
  Recreate();
}

void TDateTimePicker::SetFormat(const std::string& f) {
  m_format = f;
  if (HandleAllocated()) {
    const std::string e = EffectiveFormat();
    SendMessageA(HandleIfAllocated(), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(e.c_str()));
  }
}

TDateTime TDateTimePicker::DateTime() const {
  HWND h = HandleIfAllocated();
  if (!h) return m_value;
  SYSTEMTIME st{};
  // An unchecked picker still holds the value it would show.
  if (SendMessageA(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return m_value;
  return SystemTimeToDateTime(st).value_or(m_value);
}

bool TDateTimePicker::SetDateTime(TDateTime v) {
  SYSTEMTIME st;
  if (!DecodeDateTime(v, st) || st.wYear < 1601) return false;
  if (HWND h = HandleIfAllocated()) {
    if (!SendMessageA(h, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st))) return false;
    if (m_showCheckbox && !m_checked) Uncheck(h);
  }
  m_value = v;
  return true;
}

TDateTime TDateTimePicker::Date() const {
  const TDateTime v = DateTime();
  return static_cast<double>(static_cast<int64_t>(v));
}

TDateTime TDateTimePicker::Time() const {
  const TDateTime v = DateTime();
  const double f = v - static_cast<double>(static_cast<int64_t>(v));
  return f < 0 ? -f : f;
}

bool TDateTimePicker::Checked() const {
  HWND h = HandleIfAllocated();
  if (!h || !m_showCheckbox) return m_showCheckbox ? m_checked : true;
  SYSTEMTIME st{};
  return SendMessageA(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID;
}

void TDateTimePicker::SetChecked(bool v) {
  if (HandleAllocated()) m_value = DateTime();
  m_checked = v;
  HWND h = HandleIfAllocated();
  if (!h || !m_showCheckbox) return;
  if (v) {
    SYSTEMTIME st;
    if (DecodeDateTime(m_value, st)) SendMessageA(h, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  } else {
    Uncheck(h);
  }
}

std::string TDateTimePicker::Caption() const {
  SYSTEMTIME st;
  if (!DecodeDateTime(DateTime(), st)) return {};
  return FormatPickerText(EffectiveFormat(), st);
}

bool TDateTimePicker::CNNotify(NMHDR* hdr, LRESULT& result) {
  if (hdr->code != DTN_DATETIMECHANGE) return false;
  const auto* change = reinterpret_cast<NMDATETIMECHANGE*>(hdr);
  m_checked = change->dwFlags == GDT_VALID;
  if (m_checked) m_value = SystemTimeToDateTime(change->st).value_or(m_value);
  if (!Loading() && OnChange) OnChange(*this);
  result = 0;
  return true;
}

LRESULT TDateTimePicker::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The window text is what the picker shows, so tests in other processes
  // read it like any control's text.
  if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(Caption().size());
  if (msg == WM_GETTEXT) {
    if (wp == 0 || lp == 0) return 0;
    const std::string s = Caption();
    const size_t n = std::min(s.size(), static_cast<size_t>(wp) - 1);
    std::memcpy(reinterpret_cast<char*>(lp), s.data(), n);
    reinterpret_cast<char*>(lp)[n] = '\0';
    return static_cast<LRESULT>(n);
  }
  return TWinControl::WndProc(msg, wp, lp);
}

// ------------------------------------------------------------------ TUpDown

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 17, 21); }

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = UPDOWN_CLASSA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS |
            (m_wrap ? UDS_WRAP : 0) | (m_orientation == TUDOrientation::Horizontal ? UDS_HORZ : 0);
}

void TUpDown::CreateWnd() {
  HWND h = HandleIfAllocated();
  if (TWinControl* buddy = m_associate.Get()) SendMessageA(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->Handle()), 0);
  SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(m_min), static_cast<LPARAM>(m_max));
  UDACCEL accel{0, static_cast<UINT>(m_increment)};
  SendMessageA(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(m_position));
}

void TUpDown::Recreate() {
  if (HandleAllocated()) m_position = Position();
  RecreateWindow(*this);
}

void TUpDown::SetRange(int min, int max) {
  m_min = min;
  m_max = max;
  m_position = std::clamp(m_position, std::min(min, max), std::max(min, max));
  if (HWND h = HandleIfAllocated()) {
    SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(m_position));
  }
}

int TUpDown::Position() const {
  HWND h = HandleIfAllocated();
  if (!h) return m_position;
  BOOL failed = FALSE;
  const LRESULT p = SendMessageA(h, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
  return failed ? m_position : static_cast<int>(p);
}

void TUpDown::SetPosition(int p) {
  m_position = std::clamp(p, std::min(m_min, m_max), std::max(m_min, m_max));
  if (HWND h = HandleIfAllocated()) SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(m_position));
}

void TUpDown::SetIncrement(int n) {
  if (n == 0 || n == m_increment) return;
  m_increment = n;
  if (HWND h = HandleIfAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(n)};
    SendMessageA(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetWrap(bool v) {
  if (v == m_wrap) return;
  m_wrap = v;
  Recreate();
}

void TUpDown::SetOrientation(TUDOrientation o) {
  if (o == m_orientation) return;
  m_orientation = o;
  Recreate();
}

void TUpDown::SetAssociate(TWinControl* edit) {
  m_associate.Set(edit);
  if (HWND h = HandleIfAllocated()) {
    SendMessageA(h, UDM_SETBUDDY, edit ? reinterpret_cast<WPARAM>(edit->Handle()) : 0, 0);
    SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(Position()));
  }
}

bool TUpDown::CNNotify(NMHDR* hdr, LRESULT& result) {
  if (hdr->code != UDN_DELTAPOS) return false;
  const auto* ud = reinterpret_cast<NMUPDOWN*>(hdr);
  bool allow = true;
  if (OnChanging && !Loading()) OnChanging(*this, allow);
  m_lastDelta = allow ? ud->iDelta : 0;
  result = allow ? 0 : 1;  // non-zero refuses the step
  return true;
}

bool TUpDown::CNScroll(UINT msg, WPARAM wp) {
  (void)msg;
  if (LOWORD(wp) != SB_THUMBPOSITION) return true;
  m_position = Position();
  if (m_lastDelta != 0 && !Loading() && OnClick) OnClick(*this, m_lastDelta > 0 ? TUDBtnType::Up : TUDBtnType::Down);
  m_lastDelta = 0;
  return true;
}

}  // namespace qv::fw
