// Forms: creation, placement, show/hide, modal loop, close.
#include "framework/Form.h"

#include <algorithm>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/StdCtrls.h"

namespace qv::fw {

TForm::TForm(TComponent* owner, std::string className) : TWinControl(owner), m_className(std::move(className)) {
  SetVisible(false);
  SetParentFont(false);
  SetParentColor(false);
  BeginLoading();
  if (Application()) Application()->FormCreated(this);
}

TForm::~TForm() {
  MarkTreeDestroying();
  if (OnDestroy) {
    auto ev = std::move(OnDestroy);
    ev(*this);
  }
  if (Application()) Application()->FormDestroyed(this);
  DestroyHandle();
}

void TForm::CreateParams(TCreateParams& p) {
  p.ClassName = m_className;
  p.ExStyle = WS_EX_CONTROLPARENT;
  switch (m_borderStyle) {
    case TBorderStyle::Sizeable:
      p.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      break;
    case TBorderStyle::Dialog:
      p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TBorderStyle::Single:
      p.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER;
      break;
    case TBorderStyle::None:
      p.Style = WS_POPUP;
      break;
    case TBorderStyle::ToolWindow:
      p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (m_borderStyle == TBorderStyle::Sizeable || m_borderStyle == TBorderStyle::Single) {
    if (m_minimizeBox) p.Style |= WS_MINIMIZEBOX;
    if (m_maximizeBox && m_borderStyle == TBorderStyle::Sizeable) p.Style |= WS_MAXIMIZEBOX;
  }
  p.Style |= WS_CLIPCHILDREN;
}

void TForm::CreateWnd() {
  HICON icon = m_icon ? m_icon : LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  if (icon) {
    SendMessageA(HandleIfAllocated(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(HandleIfAllocated(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void TForm::SetIcon(HICON icon) {
  m_icon = icon;
  if (HandleAllocated()) CreateWnd();
}

void TForm::SetClientSize(int width, int height) {
  TCreateParams p;
  CreateParams(p);
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::FinishCreate() {
  EndLoading();
  HandleNeeded();
  Realign();
  if (OnCreate) OnCreate(*this);
}

void TForm::PlaceOnScreen() {
  int x = Left(), y = Top();
  if (m_position == TPosition::ScreenCenter || m_position == TPosition::MainFormCenter) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (m_position == TPosition::MainFormCenter && Application() && Application()->MainForm() &&
        Application()->MainForm() != this && Application()->MainForm()->HandleAllocated())
      GetWindowRect(Application()->MainForm()->HandleIfAllocated(), &area);
    x = area.left + ((area.right - area.left) - Width()) / 2;
    y = area.top + ((area.bottom - area.top) - Height()) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
  }
  SetBounds(x, y, Width(), Height());
}

void TForm::Show() {
  HandleNeeded();
  if (!m_shownOnce) {
    m_shownOnce = true;
    PlaceOnScreen();
  }
  SetVisible(true);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  if (ActiveControl() && ActiveControl()->CanFocus())
    ActiveControl()->SetFocus();
  else
    SelectNext(true);
  if (OnShow) OnShow(*this);
}

void TForm::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  if (HandleAllocated()) ShowWindow(HandleIfAllocated(), SW_HIDE);
  if (OnHide) OnHide(*this);
}

namespace {
struct DisabledWindows {
  std::vector<HWND> windows;
  HWND keep = nullptr;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lp) {
  auto* d = reinterpret_cast<DisabledWindows*>(lp);
  if (hwnd != d->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    d->windows.push_back(hwnd);
    EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}
}  // namespace

int TForm::ShowModal() {
  if (m_modal) throw EQvError("Impossible de rendre modale une fenêtre déjà modale.");
  if (!Application()) throw EQvError("Pas d'application.");
  HWND previous = GetActiveWindow();
  if (GetCapture()) ReleaseCapture();
  DisabledWindows disabled;
  disabled.keep = Handle();
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
  m_modal = true;
  m_modalResult = mrNone;
  int result = mrNone;
  try {
    Show();
    for (;;) {
      Application()->HandleMessage();
      if (Application()->Terminated()) {
        m_modalResult = mrCancel;
        break;
      }
      if (m_modalResult != mrNone) {
        TCloseAction action = TCloseAction::Hide;
        bool canClose = true;
        if (OnCloseQuery) OnCloseQuery(*this, canClose);
        if (!canClose) {
          m_modalResult = mrNone;
          continue;
        }
        DoClose(action);
        if (action == TCloseAction::None) {
          m_modalResult = mrNone;
          continue;
        }
        result = m_modalResult;
        for (HWND h : disabled.windows) EnableWindow(h, TRUE);
        disabled.windows.clear();
        Hide();
        m_modal = false;
        if (action == TCloseAction::Free) Release();
        break;
      }
    }
  } catch (...) {
    for (HWND h : disabled.windows) EnableWindow(h, TRUE);
    m_modal = false;
    throw;
  }
  result = result ? result : m_modalResult;
  for (HWND h : disabled.windows) EnableWindow(h, TRUE);
  if (m_modal) {
    m_modal = false;
    Hide();
  }
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return result;
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(*this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  action = m_defaultCloseAction;
  if (OnClose) OnClose(*this, action);
}

void TForm::Close() {
  if (m_modal) {
    if (m_modalResult == mrNone) m_modalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action;
  DoClose(action);
  if (action == TCloseAction::None) return;
  if (Application() && Application()->MainForm() == this) {
    Hide();
    Application()->Terminate();
    if (action == TCloseAction::Free) Release();
    return;
  }
  switch (action) {
    case TCloseAction::Hide: Hide(); break;
    case TCloseAction::Minimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TCloseAction::Free: Hide(); Release(); break;
    case TCloseAction::None: break;
  }
}

void TForm::Release() {
  if (Application()) Application()->ReleaseForm(this);
}

void TForm::SetDefaultButton(TButtonControl* b) { m_defaultButton.Set(b); }

void TForm::SetCancelButton(TButtonControl* b) { m_cancelButton.Set(b); }

void TForm::SetActiveControl(TWinControl* c) {
  m_activeControl.Set(c);
  if (c && Visible() && c->CanFocus()) c->SetFocus();
}

namespace {
void CollectTabStops(TWinControl& w, std::vector<TWinControl*>& out) {
  for (TControl* c : w.Controls()) {
    if (!c->IsWindowed() || !c->Visible() || !c->Enabled()) continue;
    auto* wc = static_cast<TWinControl*>(c);
    if (wc->TabStop()) out.push_back(wc);
    CollectTabStops(*wc, out);
  }
}
}  // namespace

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(*this, stops);
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), ActiveControl());
  size_t i;
  if (it == stops.end()) {
    i = forward ? 0 : stops.size() - 1;
  } else {
    const size_t cur = static_cast<size_t>(it - stops.begin());
    i = forward ? (cur + 1) % stops.size() : (cur + stops.size() - 1) % stops.size();
  }
  stops[i]->SetFocus();
}

bool TForm::DialogKey(WORD key) {
  if (key == VK_RETURN) {
    // A focused button takes Enter itself; otherwise the default button.
    if (auto* b = dynamic_cast<TButtonControl*>(ActiveControl()); b && b->Focused()) {
      b->Click();
      return true;
    }
    if (TButtonControl* b = m_defaultButton.Get(); b && b->Visible() && b->Enabled()) {
      b->Click();
      return true;
    }
  } else if (key == VK_ESCAPE) {
    if (TButtonControl* b = m_cancelButton.Get(); b && b->Visible() && b->Enabled()) {
      b->Click();
      return true;
    }
  }
  return false;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      if (m_minWidth > 0) mmi->ptMinTrackSize.x = m_minWidth;
      if (m_minHeight > 0) mmi->ptMinTrackSize.y = m_minHeight;
      if (m_maxWidth > 0) mmi->ptMaxTrackSize.x = m_maxWidth;
      if (m_maxHeight > 0) mmi->ptMaxTrackSize.y = m_maxHeight;
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) {
        if (OnActivate) OnActivate(*this);
        if (ActiveControl() && ActiveControl()->CanFocus() && !IsIconic(HandleIfAllocated())) {
          ActiveControl()->SetFocus();
          return 0;
        }
      } else if (OnDeactivate) {
        OnDeactivate(*this);
      }
      break;
    case WM_HELP:
      if (Application()) {
        auto* hi = reinterpret_cast<HELPINFO*>(lp);
        TWinControl* c = FromHandle(static_cast<HWND>(hi->hItemHandle));
        int ctx = 0;
        for (TControl* p = c; p && !ctx; p = p->Parent()) ctx = p->HelpContext();
        if (!ctx) ctx = HelpContext();
        Application()->HelpContext(ctx);
      }
      return TRUE;
    default:
      break;
  }
  return TWinControl::WndProc(msg, wp, lp);
}

}  // namespace qv::fw
