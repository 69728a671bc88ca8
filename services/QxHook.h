// Window hooks: any number of TQxWindowHook components watch (and may
// intercept) the messages of one windowed control without deriving from
// it. BeforeMessage runs before the control's own procedure, AfterMessage
// after it; the hook attached last sees each message first, and setting
// Handled in BeforeMessage hides the message from the earlier hooks and
// from the control (WM_DESTROY always reaches the control).
// All hooks of one control share one TControlHook, which subclasses the
// window; a window the framework destroys and makes again is hooked again
// by itself. When another party has subclassed the window after us,
// unhooking leaves our procedure in its chain as a pass-through until the
// window's WM_NCDESTROY, so that party never calls freed code.
// Example:  auto& h = form.Make<TQxWindowHook>("Hook");
//           h.AfterMessage = [](TComponent&, TMessage& m, bool&) { ... };
//           h.SetWinControl(&form);
// Main thread only. Tested by tests/services/QxHook_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/Component.h"
#include "framework/WinControl.h"

namespace qv::controls {

using qv::fw::TComponent;
using qv::fw::TWinControl;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

using THookMessageEvent = std::function<void(TComponent& sender, TMessage& msg, bool& handled)>;

class TControlHook;

class TQxWindowHook : public TComponent {
public:
  explicit TQxWindowHook(TComponent* owner);
  ~TQxWindowHook() override;

  bool Active() const { return m_active; }
  // True attaches to the control (when one is set), False detaches.
  void SetActive(bool active);
  TWinControl* WinControl() const;
  void SetWinControl(TWinControl* control);

  void HookControl();
  void UnhookControl();
  // The shared subclassing this hook is attached to, or none.
  TControlHook* ControlHook() const { return m_controlHook; }

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

protected:
  virtual void NotifyBeforeMessage(TMessage& msg, bool& handled);
  virtual void NotifyAfterMessage(TMessage& msg, bool& handled);
  void Notification(TComponent* component, qv::fw::TOperation op) override;

private:
  friend class TControlHook;
  TWinControl* m_control = nullptr;
  TControlHook* m_controlHook = nullptr;
  bool m_active = true;
};

// The subclassing of one control's window, shared by its hooks. Made and
// freed by the global hook list; users only meet it through TQxWindowHook.
class TControlHook {
public:
  TControlHook();
  ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  TWinControl* Control() const { return m_control; }
  const std::vector<TQxWindowHook*>& Hooks() const { return m_hooks; }
  // What the list's deferred messages carry: never shared by two hooks
  // alive at once, and not reused soon after a hook is freed.
  uint32_t Handle() const { return m_handle; }
  void AddHook(TQxWindowHook* hook);
  void RemoveHook(TQxWindowHook* hook);
  void SetControl(TWinControl* control);
  void HookControl();
  void UnhookControl();

  // The hook list's deferred work (its utility window calls these).
  void Reattach();
  bool Busy() const { return m_depth > 0; }
  void ReleaseWhenIdle();
  // The subclassed window has ended.
  void WindowGone(HWND hwnd);

  // For the shared window procedure.
  LRESULT WindowProc(HWND hwnd, WNDPROC previous, UINT msg, WPARAM wp, LPARAM lp);

private:
  void Phase(bool before, TMessage& msg, bool& handled);
  bool CanNotify() const;

  uint32_t m_handle = 0;
  TWinControl* m_control = nullptr;
  HWND m_hwnd = nullptr;  // the window we subclassed
  std::vector<TQxWindowHook*> m_hooks;
  bool m_destroying = false;
  int m_depth = 0;  // window procedure calls in progress
  bool m_releaseWanted = false;
};

// Subclass records alive (leak checks): hooked windows plus pass-throughs
// waiting for their window's end.
int HookRecordCount();
// Control hooks in the global list (freed ones leave it).
int ControlHookCount();

}  // namespace qv::controls
