// Accelerator keys of the gradient button: Alt+letter, or the letter alone
// when the focused control takes no characters, clicks exactly once (also
// with the cursor resting over the button, where a simulated press and
// release used to click a second time), and works in nested modal dialogs.
#include "app/OndrelGradientButton.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/display/DisplayTestSupport.h"
#include "framework/ExtCtrls.h"

using namespace qv::app;
using namespace qv::test;
using qv::fw::TComponent;

namespace {

struct TAccelForm : TDisplayTestForm {
  explicit TAccelForm(const char* className = "TDisplayTestForm") : TDisplayTestForm(400, 300, className) {
    Button = &Make<TOndrelGradientButton>("BtnRenommer");
    Button->Place(this, 20, 20, 90, 30);
    Button->SetCaption("&Renommer");
    Button->OnClick = [this](TComponent&) { ++Clicks; };
    Button->OnMouseDown = [this](TComponent&, qv::fw::TMouseButton, qv::fw::TShiftState, int, int) { ++Presses; };
    Edit = &Make<qv::fw::TEdit>("EditTest");
    Edit->Place(this, 20, 80, 120, 22);
    Push = &Make<qv::fw::TButton>("BtnSystem");
    Push->Place(this, 20, 120, 80, 25);
    Push->SetCaption("Autre");
  }
  TOndrelGradientButton* Button;
  qv::fw::TEdit* Edit;
  qv::fw::TButton* Push;
  int Clicks = 0;
  int Presses = 0;
};

constexpr LPARAM kAltDown = 0x20000001;  // repeat 1, context code (Alt held)

void CursorOver(qv::fw::TWinControl& c) {
  POINT p{c.Width() / 2, c.Height() / 2};
  ClientToScreen(c.Handle(), &p);
  SetCursorPos(p.x, p.y);
}

}  // namespace

TEST(GradientButtonAccel, AltLetterClicksOnceWithTheCursorOverTheButton) {
  TAccelForm form;
  form.Open();
  CursorOver(*form.Button);
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(form.Button->Handle(), &at);
  ASSERT_TRUE(at.x >= 0 && at.x < form.Button->Width() && at.y >= 0 && at.y < form.Button->Height());
  form.Edit->SetFocus();
  PostMessageA(form.Edit->Handle(), WM_SYSCHAR, 'r', kAltDown);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_EQ(form.Presses, 1);  // the press is still shown and reported
  EXPECT_FALSE(form.Button->Pressed());
  EXPECT_EQ(form.Edit->Text(), "");  // taken, not typed
  PostMessageA(form.Edit->Handle(), WM_SYSCHAR, 'R', kAltDown);
  form.Pump();
  EXPECT_EQ(form.Clicks, 2);
}

TEST(GradientButtonAccel, AltKeyDownTranslatedByTheLoopClicksOnce) {
  TAccelForm form;
  form.Open();
  form.Edit->SetFocus();
  BYTE keys[256], saved[256];
  GetKeyboardState(keys);
  memcpy(saved, keys, sizeof keys);
  keys[VK_MENU] = keys[VK_LMENU] = 0x80;
  SetKeyboardState(keys);
  const LPARAM data = kAltDown | (static_cast<LPARAM>(MapVirtualKeyA('R', MAPVK_VK_TO_VSC)) << 16);
  PostMessageA(form.Edit->Handle(), WM_SYSKEYDOWN, 'R', data);
  form.Pump();
  SetKeyboardState(saved);
  EXPECT_EQ(form.Clicks, 1);
}

TEST(GradientButtonAccel, LetterAloneOnlyWhenTheFocusTakesNoCharacters) {
  TAccelForm form;
  form.Open();
  form.Push->SetFocus();
  PostMessageA(form.Push->Handle(), WM_CHAR, 'r', 1);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
  form.Edit->SetFocus();
  PostMessageA(form.Edit->Handle(), WM_CHAR, 'r', 1);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_EQ(form.Edit->Text(), "r");
}

TEST(GradientButtonAccel, OtherKeysDisabledOrHiddenButtonsAreLeftAlone) {
  TAccelForm form;
  form.Open();
  form.Push->SetFocus();
  PostMessageA(form.Push->Handle(), WM_SYSCHAR, 'x', kAltDown);
  PostMessageA(form.Push->Handle(), WM_CHAR, 'e', 1);
  form.Pump();
  EXPECT_EQ(form.Clicks, 0);
  form.Button->SetEnabled(false);
  PostMessageA(form.Push->Handle(), WM_SYSCHAR, 'r', kAltDown);
  form.Pump();
  EXPECT_EQ(form.Clicks, 0);
  form.Button->SetEnabled(true);
  form.Button->SetVisible(false);
  PostMessageA(form.Push->Handle(), WM_SYSCHAR, 'r', kAltDown);
  form.Pump();
  EXPECT_EQ(form.Clicks, 0);
  // "&&" is a literal ampersand, not an accelerator.
  form.Button->SetVisible(true);
  form.Button->SetCaption("Rouge && &Vert");
  PostMessageA(form.Push->Handle(), WM_SYSCHAR, 'v', kAltDown);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_TRUE(qv::fw::IsAccel('v', "Rouge && &Vert"));
  EXPECT_FALSE(qv::fw::IsAccel('&', "A && B"));
  EXPECT_FALSE(qv::fw::IsAccel('r', "Rouge"));
}

TEST(GradientButtonAccel, DropDownButtonOpensItsMenuAndClicksOnce) {
  TAccelForm form;
  auto& menu = form.Make<qv::fw::TPopupMenu>("MenuTest");
  menu.AddItem("ItemA", "Premier");
  int popups = 0;
  menu.OnPopup = [&](TComponent&) {
    ++popups;
    // Closes the menu from its own loop.
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EndMenu();
    });
  };
  form.Button->SetDropDownMenu(&menu);
  form.Open();
  form.Edit->SetFocus();
  PostMessageA(form.Edit->Handle(), WM_SYSCHAR, 'r', kAltDown);
  EXPECT_TRUE(PumpUntil([&] { return form.Clicks > 0; }));
  form.Pump();
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(form.Clicks, 1);
}

TEST(GradientButtonAccel, WorksInsideAModalDialogOpenedByAnAccelerator) {
  TAccelForm outer;
  TAccelForm inner("TDisplayInnerForm");
  inner.Button->SetModalResult(qv::fw::mrOk);
  inner.FinishCreate();
  int innerResult = 0;
  outer.Button->OnClick = [&](TComponent&) {
    ++outer.Clicks;
    auto& timer = inner.Make<qv::fw::TTimer>("");
    timer.SetInterval(1);
    timer.OnTimer = [&](TComponent&) {
      timer.SetEnabled(false);
      inner.Push->SetFocus();
      PostMessageA(inner.Push->Handle(), WM_SYSCHAR, 'r', kAltDown);
    };
    innerResult = inner.ShowModal();
  };
  outer.Open();
  outer.Edit->SetFocus();
  PostMessageA(outer.Edit->Handle(), WM_SYSCHAR, 'r', kAltDown);
  EXPECT_TRUE(PumpUntil([&] { return innerResult != 0; }));
  EXPECT_EQ(innerResult, qv::fw::mrOk);
  EXPECT_EQ(inner.Clicks, 1);
  EXPECT_EQ(outer.Clicks, 1);
}
