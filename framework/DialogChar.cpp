// Accelerator keys for controls without focus: the message filter and the
// hidden window that offers the keys.
#include "framework/DialogChar.h"

#include <windows.h>

#include <deque>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/WinControl.h"

namespace qv::fw {

namespace {

constexpr UINT kOfferMessage = WM_USER + 1;
const char kClassName[] = "TQvDialogChars";

struct TPendingKey {
  UINT serial;
  MSG original;
};

// One per thread: windows, and so their keys, belong to threads.
struct TThreadState {
  HHOOK hook = nullptr;
  HWND window = nullptr;
  UINT nextSerial = 0;
  std::deque<TPendingKey> pending;
};

thread_local TThreadState t_state;

bool MenuInProgress() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetCurrentThreadId(), &info)) return false;
  return (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE)) != 0;
}

// Whether a key taken from the queue may be an accelerator: Alt+letter
// always, a plain letter only when the focused control does not want it.
bool IsCandidate(const MSG& msg) {
  if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return false;
  const auto ch = static_cast<unsigned char>(msg.wParam);
  if (ch <= ' ' || ch == 0x7F || msg.wParam > 0xFF) return false;
  TWinControl* c = TWinControl::OwnerOf(msg.hwnd);
  if (!c || !c->ParentForm() || MenuInProgress()) return false;
  if (msg.message == WM_CHAR) {
    MSG copy = msg;
    const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&copy));
    if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE | DLGC_WANTALLKEYS)) return false;
  }
  return true;
}

LRESULT CALLBACK FilterProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == PM_REMOVE) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    TThreadState& st = t_state;
    try {
      if (st.window && msg->hwnd != st.window && IsCandidate(*msg)) {
        // Rewritten in place rather than acted on here: a handler may run a
        // modal loop, and filters are not re-entered while one runs.
        const UINT serial = ++st.nextSerial;
        st.pending.push_back({serial, *msg});
        msg->hwnd = st.window;
        msg->message = kOfferMessage;
        msg->wParam = serial;
        msg->lParam = 0;
      }
    } catch (...) {
      // Left as it came: the key then reaches its window normally.
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void Offer(UINT serial) {
  TThreadState& st = t_state;
  // A loop that dropped a rerouted key (an OnMessage hook that ate it)
  // leaves older entries behind: they are stale now.
  while (!st.pending.empty() && st.pending.front().serial != serial) st.pending.pop_front();
  if (st.pending.empty()) return;
  const MSG original = st.pending.front().original;
  st.pending.pop_front();
  if (!IsWindow(original.hwnd)) return;
  bool taken = false;
  if (TWinControl* c = TWinControl::OwnerOf(original.hwnd)) {
    if (TForm* form = c->ParentForm(); form && IsWindowEnabled(form->HandleIfAllocated()))
      taken = DispatchDialogChar(*form, static_cast<char>(original.wParam));
  }
  if (!taken && IsWindow(original.hwnd))
    SendMessageA(original.hwnd, original.message, original.wParam, original.lParam);
}

LRESULT CALLBACK OfferWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kOfferMessage) {
    try {
      Offer(static_cast<UINT>(wp));
    } catch (...) {
      if (Application()) Application()->HandleException(std::current_exception());
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool OfferTo(TControl& c, char key) {
  if (auto* target = dynamic_cast<TDialogCharTarget*>(&c))
    if (target->DialogChar(key)) return true;
  if (!c.IsWindowed()) return false;
  // A copy: a control that does not take the key may still change the tree.
  const std::vector<TControl*> children = static_cast<TWinControl&>(c).Controls();
  for (TControl* child : children)
    if (OfferTo(*child, key)) return true;
  return false;
}

}  // namespace

void EnableDialogChars() {
  TThreadState& st = t_state;
  if (st.hook) return;
  st.window = CreateMessageWindow(kClassName, &OfferWndProc);
  if (!st.window) return;
  st.hook = SetWindowsHookExA(WH_GETMESSAGE, &FilterProc, nullptr, GetCurrentThreadId());
}

bool DispatchDialogChar(TWinControl& root, char key) { return OfferTo(root, key); }

bool IsAccel(char key, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    char a = caption[i + 1], b = key;
    CharUpperBuffA(&a, 1);
    CharUpperBuffA(&b, 1);
    return a == b;
  }
  return false;
}

}  // namespace qv::fw
