// Forms in a real message loop: modal results, nested modal loops, close
// actions, and the worker hand-over while a modal loop runs.
#include "framework/Form.h"

#include <gtest/gtest.h>

#include <atomic>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "framework/Thread.h"

using namespace qv::fw;

namespace {

// One application object for the whole test program.
TApplication& App() {
  static TApplication* app = [] {
    auto* a = new TApplication();
    a->SetTitle("QvFormTests");
    return a;
  }();
  return *app;
}

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner) : TForm(owner, "TTestForm") {
    SetClientSize(200, 100);
    Ok = &Make<TButton>("Ok");
    Ok->Place(this, 10, 10, 80, 25);
    Ok->SetCaption("OK");
    Ok->SetModalResult(mrOk);
    FinishCreate();
  }
  TButton* Ok;
};

// Runs fn from a 1-ms timer once the modal loop is running.
void Later(TComponent& owner, std::function<void()> fn) {
  auto* t = &owner.Make<TTimer>("");
  t->SetInterval(1);
  t->OnTimer = [t, fn](TComponent&) {
    t->SetEnabled(false);
    fn();
  };
  t->SetEnabled(true);
}

}  // namespace

TEST(Form, ButtonModalResultEndsTheModalLoop) {
  App();
  TTestForm form(&App());
  Later(form, [&] { SendMessageA(form.Ok->Handle(), BM_CLICK, 0, 0); });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Modal());
}

TEST(Form, NestedModalLoopsReturnInOrder) {
  App();
  TTestForm outer(&App());
  TTestForm inner(&App());
  int innerResult = -1;
  Later(outer, [&] {
    Later(inner, [&] { inner.SetModalResult(mrNo); });
    innerResult = inner.ShowModal();
    // The outer loop is still running and takes its own result afterwards.
    EXPECT_TRUE(outer.Modal());
    outer.SetModalResult(mrYes);
  });
  EXPECT_EQ(outer.ShowModal(), mrYes);
  EXPECT_EQ(innerResult, mrNo);
}

TEST(Form, TheApplicationKnowsWhileAModalLoopRuns) {
  App();
  TTestForm form(&App());
  EXPECT_FALSE(App().ModalFormOpen());
  bool during = false;
  Later(form, [&] {
    during = App().ModalFormOpen();
    form.SetModalResult(mrOk);
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_TRUE(during);
  EXPECT_FALSE(App().ModalFormOpen());
}

TEST(Form, CloseQueryAndCloseActionNoneKeepTheLoopRunning) {
  App();
  TTestForm form(&App());
  int asked = 0;
  form.OnCloseQuery = [&](TComponent&, bool& canClose) { canClose = ++asked >= 2; };
  Later(form, [&] {
    form.Close();  // refused once
    Later(form, [&] { form.Close(); });
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST(Form, CloseActionFreeReleasesTheForm) {
  App();
  bool destroyed = false;
  auto* form = new TTestForm(&App());
  form->OnDestroy = [&](TComponent&) { destroyed = true; };
  form->OnClose = [](TComponent&, TCloseAction& a) { a = TCloseAction::Free; };
  Later(*form, [form] { form->SetModalResult(mrOk); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_FALSE(destroyed);  // freed after the current message, not under the caller
  App().ProcessMessages();
  EXPECT_TRUE(destroyed);
}

namespace {
class TCountingThread : public TThread {
public:
  std::atomic<int> handedOver{0};
  DWORD mainThreadSeen = 0;

protected:
  void Execute() override {
    for (int i = 0; i < 5 && !Terminated(); ++i)
      Synchronize([this] {
        mainThreadSeen = GetCurrentThreadId();
        ++handedOver;
      });
  }
};
}  // namespace

TEST(Form, WorkerHandsOverWhileAModalLoopRuns) {
  App();
  TTestForm form(&App());
  TCountingThread worker;
  Later(form, [&] { ASSERT_TRUE(worker.Start()); });
  auto* poll = &form.Make<TTimer>("poll");
  poll->SetInterval(5);
  poll->OnTimer = [&](TComponent&) {
    if (worker.Finished()) form.SetModalResult(mrOk);
  };
  poll->SetEnabled(true);
  EXPECT_EQ(form.ShowModal(), mrOk);
  worker.WaitFor();
  EXPECT_EQ(worker.handedOver.load(), 5);
  EXPECT_EQ(worker.mainThreadSeen, GetCurrentThreadId());
}

TEST(Form, ExceptionInAHandlerDoesNotEndTheLoop) {
  App();
  TTestForm form(&App());
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& m) { shown.push_back(m); };
  form.Ok->SetModalResult(mrNone);
  form.Ok->OnClick = [](TComponent&) { throw EQvError("Erreur volontaire"); };
  Later(form, [&] {
    // Caught inside the window procedure; the loop goes on.
    SendMessageA(form.Ok->Handle(), BM_CLICK, 0, 0);
    Later(form, [&] { form.SetModalResult(mrCancel); });
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  App().OnException = nullptr;
  EXPECT_EQ(shown, (std::vector<std::string>{"Erreur volontaire"}));
}

TEST(Form, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  App();
  TTestForm form(&App());
  auto& cancel = form.Make<TButton>("Cancel");
  cancel.Place(&form, 100, 10, 80, 25);
  cancel.SetModalResult(mrCancel);
  cancel.SetCancel(true);
  form.Ok->SetDefault(true);
  auto& edit = form.Make<TEdit>("Edit");
  edit.Place(&form, 10, 50, 100, 21);
  form.SetActiveControl(&edit);
  Later(form, [&] {
    edit.SetFocus();
    PostMessageA(edit.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  Later(form, [&] {
    edit.SetFocus();
    PostMessageA(edit.Handle(), WM_KEYDOWN, VK_RETURN, 1);
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
}

// A combo box types into an edit of its own: activating the form again,
// focusing the combo in code or a visit to another program must not make it
// leave (its exit handler stores histories) nor move the caret.
TEST(Form, ReactivationKeepsTheFocusInsideAComboWithoutAnExit) {
  App();
  TTestForm form(&App());
  auto& combo = form.Make<TComboBox>("Combo");
  combo.Place(&form, 10, 50, 150, 21);
  int exits = 0, enters = 0;
  combo.OnExit = [&](TComponent&) { ++exits; };
  combo.OnEnter = [&](TComponent&) { ++enters; };
  Later(form, [&] {
    combo.SetFocus();
    HWND edit = FindWindowExA(combo.Handle(), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetFocus(edit);
    for (char c : std::string("Doc")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    const int entersBefore = enters;
    SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    combo.SetFocus();
    SendMessageA(edit, WM_CHAR, '_', 1);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(enters, entersBefore);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(combo.Text(), "Doc_");
    // Another program's window taking the focus and giving it back is no
    // exit either (the desktop window belongs to another process).
    HWND other = GetDesktopWindow();
    SendMessageA(edit, WM_KILLFOCUS, reinterpret_cast<WPARAM>(other), 0);
    SendMessageA(edit, WM_SETFOCUS, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(enters, entersBefore);
    // Moving to another control of the program is.
    form.Ok->SetFocus();
    EXPECT_EQ(exits, 1);
    form.SetModalResult(mrCancel);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
}
