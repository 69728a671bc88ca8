// The status bar: hosted controls, hint mode, a last panel that fills.
#include "controls/status/QvStatusBar.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/status/QvThemes.h"
#include "support/QvExceptions.h"

namespace qv::controls {

using qv::fw::TComponent;
using qv::fw::TControl;

namespace {

// Blanks and control characters at both ends go.
std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

// --- TQvExStatusBar

TQvExStatusBar::TQvExStatusBar(TComponent* owner) : TQvExControl<qv::fw::TStatusBar>(owner) {
  SetHintColor(qv::fw::clDefault);
}

// --- TQvStatusPanel

TQvStatusPanel::TQvStatusPanel(TQvStatusBar& bar) : TStatusPanel(bar), m_qvBar(bar) {}

TQvStatusPanel::~TQvStatusPanel() {
  // The bar empties its panels before it goes; a panel deleted from a live
  // bar lets its control go here.
  if (m_control && !m_qvBar.Destroying()) SetControl(nullptr);
}

void TQvStatusPanel::SetControl(TControl* c) {
  if (c != m_control) {
    TControl* old = m_control;
    m_control = c;
    m_qvBar.ControlLinkChanged(old, c);
  }
  if (c && c == static_cast<TControl*>(&m_qvBar)) {
    m_control = nullptr;
    m_qvBar.ControlLinkChanged(c, nullptr);
    throw EQVLException("Invalid control selection");
  }
  // A control sits in one panel only: the one it was given last.
  if (c) {
    for (int i = 0; i < m_qvBar.PanelCount(); ++i) {
      TQvStatusPanel& other = m_qvBar.QvPanel(i);
      if (&other != this && other.m_control == c) {
        other.m_control = nullptr;
        other.Changed(false);
      }
    }
  }
  if (c) {
    c->SetParent(&m_qvBar);
    c->SetHeight(m_qvBar.ClientRect().Height() - 4);
  }
  Changed(false);
  m_qvBar.LayoutControls();
}

void TQvStatusPanel::SetMarginLeft(int v) {
  if (v == m_marginLeft) return;
  m_marginLeft = v;
  Changed(false);
  m_qvBar.LayoutControls();
}

void TQvStatusPanel::SetMarginTop(int v) {
  if (v == m_marginTop) return;
  m_marginTop = v;
  Changed(false);
  m_qvBar.LayoutControls();
}

// --- TQvStatusBar

TQvStatusBar::TQvStatusBar(TComponent* owner) : TQvExStatusBar(owner) {
  // Its texts would otherwise be cut by the last panel's fixed width.
  SetLastPanelFills(true);
}

TQvStatusBar::~TQvStatusBar() {
  MarkDestroying();
  for (int i = 0; i < PanelCount(); ++i) {
    TQvStatusPanel& p = QvPanel(i);
    if (p.m_control) RemoveFreeNotification(p.m_control);
    p.m_control = nullptr;
  }
  m_hidden.clear();
}

std::unique_ptr<qv::fw::TStatusPanel> TQvStatusBar::CreatePanel() { return std::make_unique<TQvStatusPanel>(*this); }

void TQvStatusBar::CreateParams(qv::fw::TCreateParams& p) {
  TQvExStatusBar::CreateParams(p);
  if (!ThemeServicesObject().ThemesEnabled()) p.ClassStyle &= ~static_cast<UINT>(CS_HREDRAW);
}

void TQvStatusBar::ControlLinkChanged(TControl* old, TControl* now) {
  if (old) {
    bool stillHosted = false;
    for (int i = 0; i < PanelCount(); ++i) stillHosted = stillHosted || QvPanel(i).m_control == old;
    if (!stillHosted) RemoveFreeNotification(old);
  }
  if (now && now != static_cast<TControl*>(this)) FreeNotification(now);
}

void TQvStatusBar::Notification(TComponent* component, qv::fw::TOperation op) {
  TQvExStatusBar::Notification(component, op);
  if (op != qv::fw::TOperation::Remove || Destroying()) return;
  for (int i = 0; i < PanelCount(); ++i) {
    TQvStatusPanel& p = QvPanel(i);
    if (static_cast<TComponent*>(p.m_control) == component) p.m_control = nullptr;
  }
}

void TQvStatusBar::LayoutControls() {
  if (Destroying()) return;
  int x = 0;
  for (int i = 0; i < PanelCount(); ++i) {
    const TQvStatusPanel& p = QvPanel(i);
    if (TControl* c = p.m_control) c->SetBounds(x + p.MarginLeft(), p.MarginTop(), c->Width(), c->Height());
    x += p.Width();
  }
}

void TQvStatusBar::PanelsChanged() {
  TQvExStatusBar::PanelsChanged();
  LayoutControls();
}

void TQvStatusBar::AfterBoundsChange() {
  Realign();
  LayoutControls();
}

LRESULT TQvStatusBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SB_SETPARTS) {
    const LRESULT r = TQvExStatusBar::WndProc(msg, wp, lp);
    LayoutControls();
    return r;
  }
  return TQvExStatusBar::WndProc(msg, wp, lp);
}

bool TQvStatusBar::ExecuteHint(const std::string& hint) {
  if (!AutoHint()) {
    LeaveHintMode();
    return TQvExStatusBar::ExecuteHint(hint);
  }
  if (DoHint()) {
    LeaveHintMode();
    return true;
  }
  const std::string text = TrimBlanks(hint);
  if (text.empty()) {
    LeaveHintMode();
    return true;
  }
  if (!m_hintMode) {
    BeginUpdate();
    m_hidden.clear();
    for (TControl* c : std::vector<TControl*>(Controls())) {
      if (!c->Visible()) continue;
      auto link = std::make_unique<qv::fw::TComponentLink<TControl>>();
      link->Set(c);
      m_hidden.push_back(std::move(link));
      c->Hide();
    }
    m_hintMode = true;
  }
  m_hintText = text;
  ShowHintPart();
  return true;
}

void TQvStatusBar::ShowHintPart() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  SendMessageA(h, SB_SIMPLE, FALSE, 0);
  int whole[1] = {-1};
  SendMessageA(h, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(whole));
  const WPARAM kind = SBT_NOBORDERS | ((GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? SBT_RTLREADING : 0);
  SendMessageA(h, SB_SETTEXTA, 0 | kind, reinterpret_cast<LPARAM>(m_hintText.c_str()));
}

void TQvStatusBar::CreateWnd() {
  TQvExStatusBar::CreateWnd();
  // A hint taken before the window existed (or before it was made again)
  // keeps the whole bar; the panels wait for the hint to end.
  if (m_hintMode) ShowHintPart();
}

void TQvStatusBar::LeaveHintMode() {
  if (!m_hintMode) return;
  EndUpdate();  // gives the native control its panel parts again
  for (const auto& link : m_hidden)
    if (TControl* c = link->Get()) c->Show();
  m_hidden.clear();
  m_hintMode = false;
  m_hintText.clear();
}

}  // namespace qv::controls
