// Window hooks: the shared subclassing procedure, the control hooks and the
// global list with its utility window for deferred work.
#include "services/QxHook.h"

#include <algorithm>

#include "framework/Application.h"

namespace qv::controls {

namespace {

constexpr UINT kReattach = 0xB052;
constexpr UINT kRelease = 0xB053;
constexpr char kHookProp[] = "QvHook";

// What we keep in a window we subclassed: the procedure we replaced and
// the control hook served (none: a pass-through that waits for the
// window's end, because another party subclassed it after us).
struct TSubclass {
  WNDPROC Previous = nullptr;
  TControlHook* Owner = nullptr;
};
int g_records = 0;

TSubclass* RecordOf(HWND hwnd) { return hwnd ? static_cast<TSubclass*>(GetPropA(hwnd, kHookProp)) : nullptr; }

void ShowFailure() {
  if (qv::fw::Application()) qv::fw::Application()->HandleException(std::current_exception());
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// All control hooks, and the window that runs their deferred work.
class THookList {
public:
  THookList() {
    m_window = fw::CreateMessageWindow("TQxHookList", &THookList::UtilityProc);
  }
  ~THookList() {
    while (!m_hooks.empty()) delete m_hooks.back();  // each leaves the list
    if (m_window) DestroyWindow(m_window);
  }
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  TControlHook* FindControlHook(TWinControl* control) const {
    if (!control) return nullptr;
    for (TControlHook* h : m_hooks)
      if (h->Control() == control) return h;
    return nullptr;
  }
  TControlHook* GetControlHook(TWinControl* control) {
    if (TControlHook* h = FindControlHook(control)) return h;
    auto* h = new TControlHook();
    m_hooks.push_back(h);
    try {
      h->SetControl(control);
    } catch (...) {
      delete h;
      throw;
    }
    return h;
  }
  // The live control hook that a posted handle names, or none.
  TControlHook* FromHandle(LPARAM handle) const {
    for (TControlHook* h : m_hooks)
      if (static_cast<LPARAM>(h->Handle()) == handle) return h;
    return nullptr;
  }
  void Remove(const TControlHook* h) { m_hooks.erase(std::remove(m_hooks.begin(), m_hooks.end(), h), m_hooks.end()); }
  // Posts the handle, not the address: a hook freed meanwhile and another
  // made at the same address must not take the message.
  void Post(UINT msg, const TControlHook* h) const {
    if (m_window) PostMessageA(m_window, msg, 0, static_cast<LPARAM>(h->Handle()));
  }
  size_t Count() const { return m_hooks.size(); }

private:
  static LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  std::vector<TControlHook*> m_hooks;
  HWND m_window = nullptr;
};

THookList* g_list = nullptr;

// Frees the list when the program ends.
struct TListEnd {
  ~TListEnd() {
    delete g_list;
    g_list = nullptr;
  }
} g_listEnd;

THookList& List() {
  if (!g_list) g_list = new THookList();
  return *g_list;
}

LRESULT CALLBACK THookList::UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kReattach && msg != kRelease) return DefWindowProcA(hwnd, msg, wp, lp);
  TControlHook* h = g_list ? g_list->FromHandle(lp) : nullptr;
  if (!h) return 0;
  try {
    if (msg == kReattach) {
      h->Reattach();
    } else if (h->Hooks().empty()) {
      if (h->Busy()) h->ReleaseWhenIdle();
      else delete h;
    }
  } catch (...) {
    ShowFailure();
  }
  return 0;
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TSubclass* rec = RecordOf(hwnd);
  if (!rec) return DefWindowProcA(hwnd, msg, wp, lp);
  const WNDPROC previous = rec->Previous;
  if (msg == WM_NCDESTROY) {
    const LRESULT r = CallWindowProcA(previous, hwnd, msg, wp, lp);
    // The window's last message: the record (served or pass-through) goes.
    if (TSubclass* last = RecordOf(hwnd)) {
      if (last->Owner) last->Owner->WindowGone(hwnd);
      RemovePropA(hwnd, kHookProp);
      delete last;
      --g_records;
    }
    return r;
  }
  if (rec->Owner) return rec->Owner->WindowProc(hwnd, previous, msg, wp, lp);
  return CallWindowProcA(previous, hwnd, msg, wp, lp);
}

}  // namespace

int HookRecordCount() { return g_records; }

int ControlHookCount() { return g_list ? static_cast<int>(g_list->Count()) : 0; }

// --- TQxWindowHook

TQxWindowHook::TQxWindowHook(TComponent* owner) : TComponent(owner) {}

TQxWindowHook::~TQxWindowHook() {
  SetActive(false);
  SetWinControl(nullptr);
}

void TQxWindowHook::SetActive(bool active) {
  if (active == m_active) return;
  if (active) HookControl();
  else UnhookControl();
}

TWinControl* TQxWindowHook::WinControl() const { return m_controlHook ? m_controlHook->Control() : m_control; }

void TQxWindowHook::SetWinControl(TWinControl* control) {
  if (control == WinControl() && control == m_control) return;
  const bool wasActive = m_active;
  UnhookControl();
  if (m_control) RemoveFreeNotification(m_control);
  m_control = control;
  if (m_control) FreeNotification(m_control);
  if (wasActive) HookControl();
}

void TQxWindowHook::HookControl() {
  if (m_control && !Destroying()) List().GetControlHook(m_control)->AddHook(this);
  m_active = true;
}

void TQxWindowHook::UnhookControl() {
  if (m_controlHook) m_controlHook->RemoveHook(this);
  m_active = false;
}

void TQxWindowHook::NotifyBeforeMessage(TMessage& msg, bool& handled) {
  if (BeforeMessage) BeforeMessage(*this, msg, handled);
}

void TQxWindowHook::NotifyAfterMessage(TMessage& msg, bool& handled) {
  if (AfterMessage) AfterMessage(*this, msg, handled);
}

void TQxWindowHook::Notification(TComponent* component, qv::fw::TOperation op) {
  TComponent::Notification(component, op);
  if (op == qv::fw::TOperation::Remove && component && component == m_control) SetWinControl(nullptr);
}

// --- TControlHook

TControlHook::TControlHook() {
  static uint32_t last = 0;
  // Zero is never a handle; after 2^32 hooks the oldest numbers return,
  // long after their messages were handled.
  if (++last == 0) ++last;
  m_handle = last;
}

TControlHook::~TControlHook() {
  m_destroying = true;
  if (g_list) g_list->Remove(this);
  while (!m_hooks.empty()) RemoveHook(m_hooks.back());
  UnhookControl();
  m_control = nullptr;
}

void TControlHook::AddHook(TQxWindowHook* hook) {
  if (std::find(m_hooks.begin(), m_hooks.end(), hook) == m_hooks.end()) {
    m_hooks.push_back(hook);
    hook->m_controlHook = this;
    SetControl(hook->m_control);
  }
  HookControl();
}

void TControlHook::RemoveHook(TQxWindowHook* hook) {
  if (hook->m_controlHook == this) hook->m_controlHook = nullptr;
  const auto it = std::find(m_hooks.begin(), m_hooks.end(), hook);
  if (it == m_hooks.end()) return;
  m_hooks.erase(it);
  if (m_hooks.empty()) {
    // The window gets its procedure back at once; this object goes later,
    // out of whatever call brought us here.
    UnhookControl();
    if (!m_destroying && g_list) g_list->Post(kRelease, this);
  }
}

void TControlHook::SetControl(TWinControl* control) {
  if (control == m_control) return;
  UnhookControl();
  m_control = control;
  if (!m_hooks.empty()) HookControl();
}

void TControlHook::HookControl() {
  if (!m_control || m_destroying || m_control->Destroying()) return;
  HWND hwnd = m_control->Handle();
  if (!hwnd) return;
  if (m_hwnd && m_hwnd != hwnd) UnhookControl();
  if (TSubclass* rec = RecordOf(hwnd)) {
    // Already in the window's chain (served, or a pass-through left there
    // because someone subclassed after us): serve it again.
    rec->Owner = this;
    m_hwnd = hwnd;
    return;
  }
  auto* rec = new TSubclass();
  rec->Owner = this;
  ++g_records;
  SetPropA(hwnd, kHookProp, rec);
  rec->Previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc)));
  m_hwnd = hwnd;
}

void TControlHook::UnhookControl() {
  HWND hwnd = m_hwnd;
  m_hwnd = nullptr;
  TSubclass* rec = RecordOf(hwnd);
  if (!rec || rec->Owner != this) return;
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (current == &HookWindowProc) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rec->Previous));
    RemovePropA(hwnd, kHookProp);
    delete rec;
    --g_records;
  } else {
    // Another party calls our procedure as its previous one: it stays,
    // passing messages on, until the window ends.
    rec->Owner = nullptr;
  }
}

void TControlHook::WindowGone(HWND hwnd) {
  if (m_hwnd == hwnd) m_hwnd = nullptr;
}

void TControlHook::Reattach() {
  // Without hooks nobody wants the window, and the control may be gone.
  if (!m_hooks.empty()) HookControl();
}

void TControlHook::ReleaseWhenIdle() { m_releaseWanted = true; }

bool TControlHook::CanNotify() const {
  return !m_hooks.empty() && m_control && !m_destroying && !m_control->Destroying();
}

void TControlHook::Phase(bool before, TMessage& msg, bool& handled) {
  if (!CanNotify()) return;
  const std::vector<TQxWindowHook*> hooks = m_hooks;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    TQxWindowHook* hook = *it;
    if (std::find(m_hooks.begin(), m_hooks.end(), hook) == m_hooks.end()) continue;  // left meanwhile
    try {
      if (before) hook->NotifyBeforeMessage(msg, handled);
      else hook->NotifyAfterMessage(msg, handled);
    } catch (...) {
      ShowFailure();
    }
    if (handled) break;
  }
}

LRESULT TControlHook::WindowProc(HWND hwnd, WNDPROC previous, UINT msg, WPARAM wp, LPARAM lp) {
  if (!m_control) return CallWindowProcA(previous, hwnd, msg, wp, lp);
  ++m_depth;
  TMessage m{msg, wp, lp, 0};
  bool handled = false;
  if (msg != WM_QUIT) Phase(true, m, handled);
  if (!handled || msg == WM_DESTROY) {
    m.Result = CallWindowProcA(previous, hwnd, m.Msg, m.WParam, m.LParam);
    Phase(false, m, handled);
  }
  if (msg == WM_DESTROY) {
    UnhookControl();
    // A window the framework makes again is hooked again.
    if (g_list && !m_destroying && m_control && !m_control->Destroying()) g_list->Post(kReattach, this);
  }
  if (--m_depth == 0 && m_releaseWanted) {
    m_releaseWanted = false;
    if (g_list) g_list->Post(kRelease, this);
  }
  return m.Result;
}

}  // namespace qv::controls
