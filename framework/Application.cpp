// The application object and its message loop.
#include "framework/Application.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Action.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/WinControl.h"

namespace qv::fw {

namespace {

TApplication* g_application = nullptr;

struct SyncCall {
  const std::function<void()>* fn;
  std::exception_ptr error;
};

constexpr WPARAM kSyncRun = 0;
constexpr WPARAM kSyncFree = 1;

std::string ShortHint(const std::string& h) {
  const auto bar = h.find('|');
  return bar == std::string::npos ? h : h.substr(0, bar);
}

std::string LongHint(const std::string& h) {
  const auto bar = h.find('|');
  return bar == std::string::npos ? h : h.substr(bar + 1);
}

// The control under the mouse (a windowless one inside its windowed
// parent w), if it belongs to this process.
TControl* ControlUnderMouse(TWinControl*& w) {
  POINT pt;
  GetCursorPos(&pt);
  HWND under = WindowFromPoint(pt);
  // The pointer may rest on another program's window; its object
  // property holds an address of that other process.
  DWORD pid = 0;
  if (under && (!GetWindowThreadProcessId(under, &pid) || pid != GetCurrentProcessId())) under = nullptr;
  w = TWinControl::OwnerOf(under);
  TControl* c = w;
  if (w && w->HandleAllocated()) {
    POINT cp = pt;
    ScreenToClient(w->HandleIfAllocated(), &cp);
    if (TControl* g = w->ControlAtPos(cp.x, cp.y, true); g && !g->IsWindowed()) c = g;
  }
  return c;
}

// The nearest hint up the chain of parents.
std::string HintOf(TControl* c) {
  for (TControl* p = c; p; p = p->Parent())
    if (!p->Hint().empty()) return p->Hint();
  return std::string();
}

}  // namespace

TApplication* Application() { return g_application; }

UINT SyncMessage() {
  static const UINT msg = RegisterWindowMessageA("QvSynchronize");
  return msg;
}

TApplication::TApplication() : TComponent(nullptr) {
  g_application = this;
  m_mainThread = GetCurrentThreadId();
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
              ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &TApplication::AppWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
  wc.lpszClassName = "TApplication";
  RegisterClassExA(&wc);
  m_hwnd = CreateWindowExA(0, "TApplication", "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                           nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                              wc.hInstance, nullptr);
}

TApplication::~TApplication() {
  MarkTreeDestroying();
  // Forms first, while the owner window still exists.
  while (!m_forms.empty()) delete m_forms.back();
  if (m_tooltip) DestroyWindow(m_tooltip);
  for (const auto& [name, tooltip] : m_classTooltips) DestroyWindow(tooltip);
  if (m_hwnd) DestroyWindow(m_hwnd);
  g_application = nullptr;
}

void TApplication::SetTitle(const std::string& t) {
  m_title = t;
  if (m_hwnd) SetWindowTextA(m_hwnd, t.c_str());
}

void TApplication::FormCreated(TForm* f) {
  if (std::find(m_forms.begin(), m_forms.end(), f) == m_forms.end()) m_forms.push_back(f);
}

void TApplication::FormDestroyed(TForm* f) {
  m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), f), m_forms.end());
  if (m_mainForm == f) {
    m_mainForm = nullptr;
    Terminate();
  }
}

bool TApplication::ModalFormOpen() const {
  return std::any_of(m_forms.begin(), m_forms.end(), [](const TForm* f) { return f->Modal(); });
}

void TApplication::ReleaseForm(TForm* f) { PostMessageA(m_hwnd, SyncMessage(), kSyncFree, reinterpret_cast<LPARAM>(f)); }

HWND TApplication::ActiveFormHandle() const {
  HWND active = GetActiveWindow();
  if (active) return active;
  return m_mainForm ? m_mainForm->HandleIfAllocated() : m_hwnd;
}

void TApplication::Run() {
  if (m_mainForm && m_showMainForm) m_mainForm->Show();
  while (!m_terminated) HandleMessage();
}

void TApplication::Terminate() {
  if (m_terminated) return;
  m_terminated = true;
  PostQuitMessage(0);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) m_terminated = true;
    return;
  }
  Idle();
  if (m_terminated) return;
  MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) {
      m_terminated = true;
      break;
    }
  }
}

void TApplication::SetCursor(int number, HCURSOR cursor) { m_cursors[number] = cursor; }

HCURSOR TApplication::Cursor(int number) const {
  const auto it = m_cursors.find(number);
  return it == m_cursors.end() ? nullptr : it->second;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  try {
    bool handled = false;
    if (OnMessage) OnMessage(msg, handled);
    if (handled) return true;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      TWinControl* c = TWinControl::OwnerOf(msg.hwnd);
      TForm* form = c ? c->ParentForm() : nullptr;
      if (form && form->Enabled()) {
        const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
        HWND combo = GetParent(msg.hwnd);
        char cls[32] = {};
        if (combo) GetClassNameA(combo, cls, sizeof cls);
        const bool droppedCombo = lstrcmpiA(cls, "ComboBox") == 0 && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0);
        if (msg.wParam == VK_TAB && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
          form->SelectNext(GetKeyState(VK_SHIFT) >= 0);
          return true;
        }
        if (msg.wParam != VK_TAB && !droppedCombo && !(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
          if (form->DialogKey(static_cast<WORD>(msg.wParam))) return true;
        }
      }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  } catch (...) {
    HandleException(std::current_exception());
  }
  return true;
}

void TApplication::Idle() {
  try {
    TWinControl* w = nullptr;
    TControl* c = ControlUnderMouse(w);
    SetHint(LongHint(HintOf(c)));
    // The control decides the text when the tooltip is about to show (it
    // may show one without a hint of its own).
    UpdateHintTool(w ? w->HandleIfAllocated() : nullptr, (m_showHint && c && c->ShowHint()) ? c : nullptr);
    TAction::UpdateAll();
    bool done = true;
    if (OnIdle) OnIdle(*this, done);
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::UpdateHintTool(HWND target, TControl* control) {
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = m_hwnd;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  if (m_tipTarget && (m_tipTarget != target || !control)) {
    ti.uId = reinterpret_cast<UINT_PTR>(m_tipTarget);
    SendMessageA(m_tipWindow, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    m_tipTarget = nullptr;
    m_tipWindow = nullptr;
  }
  if (!target || !control || m_tipTarget == target) return;
  // Only the window class is taken now; the text, colour and place are
  // asked again when the tooltip is about to show.
  THintInfo info;
  info.HintStr = ShortHint(HintOf(control));
  info.HintColor = m_hintColor;
  control->HintShow(info);
  HWND tooltip = TooltipOfClass(info.HintWindowClass);
  if (!tooltip) return;
  ti.uId = reinterpret_cast<UINT_PTR>(target);
  ti.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  m_tipTarget = target;
  m_tipWindow = tooltip;
}

HWND TApplication::TooltipOfClass(const std::string& className) {
  if (className.empty()) return m_tooltip;
  if (auto it = m_classTooltips.find(className); it != m_classTooltips.end()) return it->second;
  HWND h = CreateWindowExA(WS_EX_TOPMOST, className.c_str(), nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  // A class nobody registered: the application's own tooltip stands in.
  if (!h) return m_tooltip;
  m_classTooltips[className] = h;
  return h;
}

bool TApplication::HintInfoUnderMouse(THintInfo& info) {
  TWinControl* w = nullptr;
  TControl* c = ControlUnderMouse(w);
  if (!c || !w || w->HandleIfAllocated() != m_tipTarget || !m_showHint || !c->ShowHint()) return false;
  POINT pt;
  GetCursorPos(&pt);
  info = THintInfo{};
  info.HintStr = ShortHint(HintOf(c));
  info.HintColor = m_hintColor;
  info.HintPos = TPoint{pt.x, pt.y + GetSystemMetrics(SM_CYCURSOR)};
  m_defaultHintPos = info.HintPos;
  return c->HintShow(info) && !info.HintStr.empty();
}

LRESULT TApplication::TooltipNotify(NMHDR& header) {
  if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) {
    if (!HintInfoUnderMouse(m_shownHint)) m_shownHint = THintInfo{};
    // The colour is the tooltip's, so it is set for every showing.
    SendMessageA(header.hwndFrom, TTM_SETTIPBKCOLOR, ColorToRGB(m_shownHint.HintColor), 0);
    if (header.code == TTN_GETDISPINFOA) {
      auto& di = reinterpret_cast<NMTTDISPINFOA&>(header);
      di.lpszText = m_shownHint.HintStr.data();
      di.hinst = nullptr;
    } else {
      auto& di = reinterpret_cast<NMTTDISPINFOW&>(header);
      static wchar_t wide[1024];
      const int n = MultiByteToWideChar(CP_ACP, 0, m_shownHint.HintStr.c_str(), -1, wide, 1024);
      if (n <= 0) wide[0] = 0;
      wide[1023] = 0;
      di.lpszText = wide;
      di.hinst = nullptr;
    }
    return 0;
  }
  if (header.code == TTN_SHOW) {
    // A control that places its tooltip itself (an edit showing its whole
    // text over itself) is obeyed.
    const TPoint at = m_shownHint.HintPos;
    if (at.X == m_defaultHintPos.X && at.Y == m_defaultHintPos.Y) return 0;
    SetWindowPos(header.hwndFrom, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }
  return 0;
}

void TApplication::SetHint(const std::string& h) {
  if (h == m_hint) return;
  m_hint = h;
  if (OnHint) OnHint(*this);
}

void TApplication::SetShowHint(bool v) {
  m_showHint = v;
  if (!v) UpdateHintTool(nullptr, nullptr);
}

void TApplication::HelpContext(int context) {
  if (OnHelp) OnHelp(context);
}

void TApplication::ShowException(const std::string& message) {
  std::string text = message;
  if (!text.empty() && text.back() != '.') text += '.';
  MessageBoxA(ActiveFormHandle(), text.c_str(), m_title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(std::exception_ptr e) {
  std::string message;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    message = ex.what();
  } catch (...) {
    message = "Erreur inconnue";
  }
  if (OnException) OnException(message);
  else ShowException(message);
}

void TApplication::Synchronize(const std::function<void()>& fn) {
  if (GetCurrentThreadId() == m_mainThread) {
    fn();
    return;
  }
  SyncCall call{&fn, nullptr};
  SendMessageA(m_hwnd, SyncMessage(), kSyncRun, reinterpret_cast<LPARAM>(&call));
  if (call.error) std::rethrow_exception(call.error);
}

LRESULT CALLBACK TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (app && msg == SyncMessage()) {
    if (wp == kSyncRun) {
      auto* call = reinterpret_cast<SyncCall*>(lp);
      try {
        (*call->fn)();
      } catch (...) {
        call->error = std::current_exception();
      }
    } else if (wp == kSyncFree) {
      auto* form = reinterpret_cast<TForm*>(lp);
      if (std::find(app->m_forms.begin(), app->m_forms.end(), form) != app->m_forms.end()) delete form;
    }
    return 0;
  }
  if (app && msg == WM_NOTIFY) {
    auto& header = *reinterpret_cast<NMHDR*>(lp);
    if (header.hwndFrom == app->m_tipWindow) return app->TooltipNotify(header);
  }
  if (app && msg == WM_CLOSE && app->m_mainForm) {
    // Through the main form's window, whose own close handling (a refusal
    // while one of its dialogs is open) sees every close asked of the program.
    if (HWND main = app->m_mainForm->HandleIfAllocated())
      SendMessageA(main, WM_CLOSE, 0, 0);
    else
      app->m_mainForm->Close();
    return 0;
  }
  // This window stays hidden (the main form has the taskbar button): asked
  // to minimise or restore the program, it does so to the main form, where
  // its default handling would show itself as a second button.
  if (app && msg == WM_SYSCOMMAND) {
    const UINT command = static_cast<UINT>(wp & 0xFFF0);
    if (command == SC_MINIMIZE || command == SC_RESTORE) {
      HWND main = app->m_mainForm ? app->m_mainForm->HandleIfAllocated() : nullptr;
      if (main && IsWindowVisible(main)) {
        if (command == SC_MINIMIZE)
          ShowWindow(main, SW_MINIMIZE);
        else if (IsIconic(main))
          ShowWindow(main, SW_RESTORE);
      }
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND CreateMessageWindow(const char* className, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  // A class that an earlier call (or another thread) registered is found,
  // not registered again.
  if (!GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc)) {
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
  }
  return CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

}  // namespace qv::fw
