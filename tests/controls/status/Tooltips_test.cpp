// The application's tooltip over wrapped controls, with the real mouse: the
// colour a control of the status bar resolves through the bar, the tooltip
// window class a control asks for, and an edit whose text does not fit
// showing the whole text over itself.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "controls/edits/QvEdit.h"
#include "controls/status/QvStatusBar.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using namespace qv::test;

namespace {

constexpr TColor kBarHintColor = 0xC0E0FF;  // a light orange, far from the system's

class TTipForm : public TForm {
public:
  TTipForm() : TForm(&App(), "TTooltipTestForm") {
    SetBounds(100, 100, 520, 200);
    Bar = &Make<TQvStatusBar>("StatusBar");
    Bar->SetParent(this);
    Bar->AddPanel(200);
    Bar->AddPanel(50);
    Bar->SetHintColor(kBarHintColor);
    Filter = &Make<TQvCustomEdit>("Filter");
    Filter->SetBounds(0, 0, 150, 10);
    Filter->SetHint("Filtre des fichiers|Filtre des fichiers de la liste");
    Long = &Make<TQvCustomEdit>("Long");
    Long->Place(this, 20, 20, 90, 21);
    Long->SetAutoHint(true);
    Long->SetText("un texte bien trop long pour tenir dans la zone");
    FinishCreate();
    Show();
    Bar->QvPanel(0).SetControl(Filter);
    // Windows of tests running beside this one must not come between the
    // mouse and these controls.
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    App().ProcessMessages();
  }
  TQvStatusBar* Bar;
  TQvCustomEdit* Filter;
  TQvCustomEdit* Long;
};

// A visible tooltip window of this thread.
HWND ShownTooltip() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) -> BOOL {
        char cls[64] = {};
        GetClassNameA(h, cls, sizeof cls);
        const LRESULT tools = SendMessageA(h, TTM_GETTOOLCOUNT, 0, 0);
        if (IsWindowVisible(h) && tools > 0 && GetWindowTextLengthA(h) >= 0 &&
            (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 || lstrcmpiA(cls, "TQvTestHintWindow") == 0)) {
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND g_hovered = nullptr;
POINT g_rest{};
int g_moves = 0;

// The tooltip hears the mouse through the control's own messages; they come
// between the loop's idle steps (the first registers the tool), and stop
// soon, since each one starts the tooltip's wait again.
void CALLBACK MoveOverHovered(HWND, UINT, UINT_PTR, DWORD) {
  // Tests of other programs may move the mouse meanwhile: it is put back,
  // and the tooltip hears it again.
  POINT now{};
  GetCursorPos(&now);
  if (now.x != g_rest.x || now.y != g_rest.y) {
    SetCursorPos(g_rest.x, g_rest.y);
    g_moves = 0;
  }
  if (++g_moves > 5) return;
  RECT r{};
  GetClientRect(g_hovered, &r);
  PostMessageA(g_hovered, WM_MOUSEMOVE, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
}

// Rests the mouse on the control and runs the application's own loop
// (its idle step registers the tool) until a tooltip shows.
HWND HoverUntilTooltip(TWinControl& c) {
  const TPoint at = c.ClientToScreen(TPoint{c.Width() / 2, c.Height() / 2});
  g_rest = POINT{at.X, at.Y};
  SetCursorPos(at.X, at.Y);
  g_hovered = c.Handle();
  g_moves = 0;
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, &MoveOverHovered);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  HWND tip = nullptr;
  while (!(tip = ShownTooltip()) && std::chrono::steady_clock::now() < end) App().HandleMessage();
  KillTimer(nullptr, tick);
  return tip;
}

// The mouse leaves, and every tooltip hides.
void Unhover() {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, nullptr);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ShownTooltip() && std::chrono::steady_clock::now() < end) App().HandleMessage();
  for (int i = 0; i < 3; ++i) App().HandleMessage();  // the idle step lets the tool go
  KillTimer(nullptr, tick);
}

std::string TipText(HWND tip) {
  char text[256] = {};
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.lpszText = text;
  SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  if (!text[0]) GetWindowTextA(tip, text, sizeof text);
  return text;
}

}  // namespace

TEST(Tooltips, AControlOfTheBarShowsItsTooltipInTheColourTheBarResolves) {
  TTipForm f;
  HWND tip = HoverUntilTooltip(*f.Filter);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0)), ColorToRGB(kBarHintColor));
  PumpFor(100);  // painted
  SaveScreenArea(WholeScreen(), BuildScreenshotDir() / "tooltip_bar_colour.bmp");
  Unhover();
  // clNone: the application's colour.
  f.Filter->SetHintColor(clNone);
  tip = HoverUntilTooltip(*f.Filter);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0)), ColorToRGB(App().HintColor()));
  Unhover();
}

TEST(Tooltips, AControlsHintWindowClassShowsItsTooltip) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExA(nullptr, TOOLTIPS_CLASSA, &wc));
  wc.lpszClassName = "TQvTestHintWindow";
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  RegisterClassExA(&wc);
  TTipForm f;
  f.Filter->SetHintWindowClass("TQvTestHintWindow");
  HWND tip = HoverUntilTooltip(*f.Filter);
  ASSERT_NE(tip, nullptr);
  char cls[64] = {};
  GetClassNameA(tip, cls, sizeof cls);
  EXPECT_STREQ(cls, "TQvTestHintWindow");
  EXPECT_EQ(TipText(tip), "Filtre des fichiers");
  Unhover();
  // A class nobody registered: the application's own tooltip.
  f.Filter->SetHintWindowClass("TQvNoSuchHintWindow");
  tip = HoverUntilTooltip(*f.Filter);
  ASSERT_NE(tip, nullptr);
  GetClassNameA(tip, cls, sizeof cls);
  EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
  Unhover();
}

TEST(Tooltips, AnAutoHintEditShowsItsWholeTextOverItself) {
  TTipForm f;
  HWND tip = HoverUntilTooltip(*f.Long);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(TipText(tip), f.Long->Text());
  RECT r{};
  GetWindowRect(tip, &r);
  const TPoint at = f.Long->ClientToScreen(TPoint{-2, f.Long->Height() - 2});
  EXPECT_EQ(r.left, at.X);
  EXPECT_EQ(r.top, at.Y);
  PumpFor(100);  // painted
  SaveScreenArea(WholeScreen(), BuildScreenshotDir() / "tooltip_autohint.bmp");
  Unhover();
  // A text that fits shows no tooltip of its own (and the edit has no hint).
  f.Long->SetText("court");
  const TPoint mid = f.Long->ClientToScreen(TPoint{10, 5});
  g_rest = POINT{mid.X, mid.Y};
  SetCursorPos(mid.X, mid.Y);
  g_hovered = f.Long->Handle();
  g_moves = 0;
  const UINT_PTR tick = SetTimer(nullptr, 0, 5, &MoveOverHovered);
  for (int i = 0; i < 400 && !ShownTooltip(); ++i) App().HandleMessage();
  KillTimer(nullptr, tick);
  EXPECT_EQ(ShownTooltip(), nullptr);
  Unhover();
}
