// Window hooks on real windows: order of the two phases, interception,
// removal in both orders, windows made again, freed controls, and a
// foreign subclass made after ours that must keep working after we leave.
#include "services/QxHook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::test::App;
using qv::test::PumpFor;

namespace {

constexpr UINT kPing = WM_APP + 1, kSecret = WM_APP + 2;

// A control that records the messages its own procedure gets.
class TProbe : public qv::fw::TCustomControl {
public:
  explicit TProbe(qv::fw::TComponent* owner) : TCustomControl(owner) {}
  int pings = 0, secrets = 0, destroys = 0;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kPing) {
      ++pings;
      return 42;
    }
    if (msg == kSecret) ++secrets;
    if (msg == WM_DESTROY) ++destroys;
    return TCustomControl::WndProc(msg, wp, lp);
  }
};

struct THost {
  qv::fw::TForm form{&App(), "TQxHookTest"};
  TProbe* probe;
  std::vector<std::string> log;
  THost() {
    form.SetClientSize(200, 100);
    probe = new TProbe(&form);
    probe->Place(&form, 10, 10, 50, 20);
    probe->HandleNeeded();
  }
  // A hook that logs "<name>:before" and "<name>:after" for the ping.
  TQxWindowHook& Hook(const std::string& name) {
    auto& h = form.Make<TQxWindowHook>(name);
    h.BeforeMessage = [this, name](qv::fw::TComponent&, TMessage& m, bool&) {
      if (m.Msg == kPing) log.push_back(name + ":before");
    };
    h.AfterMessage = [this, name](qv::fw::TComponent&, TMessage& m, bool&) {
      if (m.Msg == kPing) log.push_back(name + ":after=" + std::to_string(m.Result));
    };
    h.SetWinControl(probe);
    return h;
  }
  LRESULT Ping() { return SendMessageA(probe->Handle(), kPing, 0, 0); }
  WNDPROC Proc() { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(probe->Handle(), GWLP_WNDPROC)); }
};

using TLog = std::vector<std::string>;

}  // namespace

TEST(QxWindowHook, LastAttachedSeesEachMessageFirst) {
  THost host;
  host.Hook("A");
  host.Hook("B");
  EXPECT_EQ(host.Ping(), 42);
  EXPECT_EQ(host.log, (TLog{"B:before", "A:before", "B:after=42", "A:after=42"}));
  EXPECT_EQ(host.probe->pings, 1);
}

TEST(QxWindowHook, HandledBeforeHidesTheMessage) {
  THost host;
  auto& a = host.Hook("A");
  auto& b = host.Hook("B");
  int aSaw = 0;
  a.BeforeMessage = [&](qv::fw::TComponent&, TMessage& m, bool&) { aSaw += m.Msg == kSecret; };
  b.BeforeMessage = [](qv::fw::TComponent&, TMessage& m, bool& handled) {
    if (m.Msg == kSecret) {
      m.Result = 7;
      handled = true;
    }
  };
  EXPECT_EQ(SendMessageA(host.probe->Handle(), kSecret, 0, 0), 7);
  EXPECT_EQ(aSaw, 0);
  EXPECT_EQ(host.probe->secrets, 0);
}

TEST(QxWindowHook, DestroyAlwaysReachesTheControlAndTheWindowIsHookedAgain) {
  THost host;
  auto& a = host.Hook("A");
  a.BeforeMessage = [&](qv::fw::TComponent&, TMessage& m, bool& handled) {
    if (m.Msg == WM_DESTROY) handled = true;
    if (m.Msg == kPing) host.log.push_back("A:before");
  };
  const int records = HookRecordCount();
  host.probe->DestroyHandle();
  EXPECT_EQ(host.probe->destroys, 1);
  EXPECT_EQ(HookRecordCount(), records - 1);
  PumpFor(30);  // the deferred re-attach makes the window again
  ASSERT_TRUE(host.probe->HandleAllocated());
  EXPECT_EQ(HookRecordCount(), records);
  host.Ping();
  EXPECT_EQ(host.log, (TLog{"A:before", "A:after=42"}));
  EXPECT_EQ(a.WinControl(), host.probe);
}

TEST(QxWindowHook, RemovedFirstThenSecond) {
  THost host;
  const WNDPROC original = host.Proc();
  const int records = HookRecordCount();
  auto& a = host.Hook("A");
  auto& b = host.Hook("B");
  EXPECT_EQ(HookRecordCount(), records + 1) << "one subclass for all hooks of a control";
  a.SetActive(false);
  host.Ping();
  EXPECT_EQ(host.log, (TLog{"B:before", "B:after=42"}));
  b.SetActive(false);
  EXPECT_EQ(host.Proc(), original);
  EXPECT_EQ(HookRecordCount(), records);
  host.log.clear();
  EXPECT_EQ(host.Ping(), 42);
  EXPECT_TRUE(host.log.empty());
  PumpFor(20);  // the empty control hook is released
}

TEST(QxWindowHook, RemovedSecondThenFirst) {
  THost host;
  const WNDPROC original = host.Proc();
  auto* a = &host.Hook("A");
  auto* b = &host.Hook("B");
  delete b;
  host.Ping();
  EXPECT_EQ(host.log, (TLog{"A:before", "A:after=42"}));
  delete a;
  EXPECT_EQ(host.Proc(), original);
  PumpFor(20);
  EXPECT_EQ(host.Ping(), 42);
}

TEST(QxWindowHook, AForeignSubclassMadeLaterKeepsWorkingAfterWeLeave) {
  THost host;
  const int records = HookRecordCount();
  auto* a = &host.Hook("A");
  // Someone else subclasses the window after us and calls our procedure.
  static WNDPROC s_next = nullptr;
  static int s_foreign = 0;
  s_foreign = 0;
  s_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      host.probe->Handle(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == kPing) ++s_foreign;
        return CallWindowProcA(s_next, h, m, w, l);
      })));
  const WNDPROC foreign = host.Proc();

  delete a;     // our subclass cannot be taken out of the chain...
  PumpFor(30);  // ...and the control hook itself is released meanwhile
  EXPECT_EQ(host.Proc(), foreign);
  EXPECT_EQ(HookRecordCount(), records + 1) << "kept as a pass-through";
  EXPECT_EQ(host.Ping(), 42);
  EXPECT_EQ(s_foreign, 1);
  EXPECT_EQ(host.probe->pings, 1);
  EXPECT_TRUE(host.log.empty());

  host.Hook("C");  // the pass-through serves the new hook; no second subclass
  EXPECT_EQ(HookRecordCount(), records + 1);
  host.Ping();
  EXPECT_EQ(host.log, (TLog{"C:before", "C:after=42"}));
  EXPECT_EQ(s_foreign, 2);

  delete host.form.FindComponent("C");
  host.probe->DestroyHandle();
  EXPECT_EQ(HookRecordCount(), records) << "freed with the window";
}

TEST(QxWindowHook, ActiveOffAndOnKeepsTheControl) {
  THost host;
  auto& a = host.Hook("A");
  a.SetActive(false);
  EXPECT_EQ(a.WinControl(), host.probe);
  host.Ping();
  EXPECT_TRUE(host.log.empty());
  a.SetActive(true);
  EXPECT_EQ(a.WinControl(), host.probe);
  host.Ping();
  EXPECT_EQ(host.log, (TLog{"A:before", "A:after=42"}));
}

TEST(QxWindowHook, FreeingTheControlClearsTheHook) {
  THost host;
  auto& a = host.Hook("A");
  const int records = HookRecordCount();
  delete host.probe;
  host.probe = nullptr;
  EXPECT_EQ(a.WinControl(), nullptr);
  EXPECT_TRUE(a.Active());
  EXPECT_EQ(HookRecordCount(), records - 1);
  PumpFor(30);  // nothing may be re-attached to the freed control
}

TEST(QxWindowHook, AFailingHookIsShownAndTheOthersStillRun) {
  THost host;
  host.Hook("A");
  auto& b = host.Hook("B");
  b.BeforeMessage = [](qv::fw::TComponent&, TMessage& m, bool&) {
    if (m.Msg == kPing) throw qv::fw::EQvError("hook failed");
  };
  const size_t shown = qv::test::ShownErrors().size();
  EXPECT_EQ(host.Ping(), 42);
  ASSERT_EQ(qv::test::ShownErrors().size(), shown + 1);
  EXPECT_EQ(qv::test::ShownErrors().back(), "hook failed");
  EXPECT_EQ(host.log, (TLog{"A:before", "B:after=42", "A:after=42"}));
}

TEST(QxWindowHook, QuitSkipsTheBeforePhase) {
  THost host;
  int before = 0, after = 0;
  auto& a = host.Hook("A");
  a.BeforeMessage = [&](qv::fw::TComponent&, TMessage& m, bool&) { before += m.Msg == WM_QUIT; };
  a.AfterMessage = [&](qv::fw::TComponent&, TMessage& m, bool&) { after += m.Msg == WM_QUIT; };
  SendMessageA(host.probe->Handle(), WM_QUIT, 0, 0);
  EXPECT_EQ(before, 0);
  EXPECT_EQ(after, 1);
}

TEST(QxWindowHook, AHookThatLeavesDuringAMessageIsSafe) {
  THost host;
  host.Hook("A");
  auto* b = &host.Hook("B");
  b->BeforeMessage = [&](qv::fw::TComponent& self, TMessage& m, bool&) {
    if (m.Msg == kPing) static_cast<TQxWindowHook&>(self).SetActive(false);
  };
  EXPECT_EQ(host.Ping(), 42);
  EXPECT_EQ(host.log, (TLog{"A:before", "A:after=42"}));
  host.log.clear();
  // The last hook leaving in the middle of a message.
  auto* a = static_cast<TQxWindowHook*>(host.form.FindComponent("A"));
  a->BeforeMessage = [&](qv::fw::TComponent& self, TMessage&, bool&) {
    static_cast<TQxWindowHook&>(self).SetActive(false);
  };
  EXPECT_EQ(host.Ping(), 42);
  PumpFor(30);
  EXPECT_EQ(host.Ping(), 42);
  EXPECT_EQ(host.probe->pings, 3);
}

TEST(QxWindowHook, DeferredWorkNamesAControlHookByAHandleThatIsNeverItsAddress) {
  THost host;
  auto& a = host.Hook("A");
  HWND utility = FindWindowExA(HWND_MESSAGE, nullptr, "TQxHookList", nullptr);
  ASSERT_NE(utility, nullptr);
  constexpr UINT kRelease = 0xB053;
  const int hooks = ControlHookCount();
  TControlHook* first = a.ControlHook();
  ASSERT_NE(first, nullptr);
  const uint32_t firstHandle = first->Handle();
  a.SetActive(false);  // empty now: its release is on the way
  ASSERT_EQ(ControlHookCount(), hooks);
  // A message that carries an address, as a stale one would for a hook
  // made again at the same place, frees nothing.
  SendMessageA(utility, kRelease, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(ControlHookCount(), hooks);
  PumpFor(30);
  EXPECT_EQ(ControlHookCount(), hooks - 1);

  a.SetActive(true);
  TControlHook* second = a.ControlHook();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->Handle(), firstHandle);
  a.SetActive(false);
  // The freed hook's handle no longer names anything.
  SendMessageA(utility, kRelease, 0, static_cast<LPARAM>(firstHandle));
  EXPECT_EQ(ControlHookCount(), hooks);
  SendMessageA(utility, kRelease, 0, static_cast<LPARAM>(second->Handle()));
  EXPECT_EQ(ControlHookCount(), hooks - 1);
  PumpFor(30);  // its own release finds nothing
  EXPECT_EQ(ControlHookCount(), hooks - 1);
}
