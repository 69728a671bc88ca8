// The gradient button as a real window driven by real messages: one click
// per BM_CLICK or mouse press, none for a release outside or a disabled
// button, form default and modal-result handling, groups, the drop-down
// menu, and how each state paints.
#include "app/OndrelGradientButton.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/display/DisplayTestSupport.h"
#include "framework/ExtCtrls.h"

using namespace qv::app;
using namespace qv::test;
using qv::fw::TComponent;

namespace {

struct TButtonForm : TDisplayTestForm {
  TButtonForm() {
    Button = &Make<TOndrelGradientButton>("BtnTest");
    Button->Place(this, 20, 20, 90, 30);
    Button->SetCaption("&Renommer");
    Button->OnClick = [this](TComponent&) { ++Clicks; };
    Edit = &Make<qv::fw::TEdit>("EditTest");
    Edit->Place(this, 20, 80, 120, 22);
  }
  TOndrelGradientButton* Button;
  qv::fw::TEdit* Edit;
  int Clicks = 0;
};

void PostMouse(HWND hwnd, UINT msg, int x, int y) {
  PostMessageA(hwnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

}  // namespace

TEST(GradientButton, IsANamedChildWindowOfItsOwnClassThatTakesNoFocus) {
  TButtonForm form;
  form.Open();
  HWND h = form.Button->Handle();
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  EXPECT_STREQ(cls, "TOndrelGradientButton");
  EXPECT_TRUE(GetPropA(h, "QvName") != nullptr);
  char text[64] = {};
  GetWindowTextA(h, text, sizeof text);
  EXPECT_STREQ(text, "&Renommer");
  form.Edit->SetFocus();
  PostMouse(h, WM_LBUTTONDOWN, 5, 5);
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  form.Pump();
  EXPECT_EQ(GetFocus(), form.Edit->Handle());
  EXPECT_FALSE(form.Button->TabStop());
}

TEST(GradientButton, BmClickClicksOnce) {
  TButtonForm form;
  form.Open();
  SendMessageA(form.Button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Clicks, 1);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
}

TEST(GradientButton, MousePressAndReleaseInsideClicksOnce) {
  TButtonForm form;
  form.Open();
  HWND h = form.Button->Handle();
  PostMouse(h, WM_LBUTTONDOWN, 10, 10);
  form.Pump();
  EXPECT_TRUE(form.Button->Pressed());
  EXPECT_EQ(GetCapture(), h);
  EXPECT_EQ(form.Clicks, 0);
  PostMouse(h, WM_LBUTTONUP, 12, 11);
  form.Pump();
  EXPECT_FALSE(form.Button->Pressed());
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_NE(GetCapture(), h);
}

TEST(GradientButton, ReleaseOutsideOrDisabledDoesNotClick) {
  TButtonForm form;
  form.Open();
  HWND h = form.Button->Handle();
  PostMouse(h, WM_LBUTTONDOWN, 10, 10);
  PostMouse(h, WM_LBUTTONUP, 200, 10);  // dragged off before release
  form.Pump();
  EXPECT_EQ(form.Clicks, 0);
  EXPECT_FALSE(form.Button->Pressed());
  // A release without a press on the button (pressed elsewhere) is no click.
  PostMouse(h, WM_LBUTTONUP, 10, 10);
  form.Pump();
  EXPECT_EQ(form.Clicks, 0);
  form.Button->SetEnabled(false);
  SendMessageA(h, BM_CLICK, 0, 0);
  EXPECT_EQ(form.Clicks, 0);
}

TEST(GradientButton, DoubleClickRunsTheDoubleClickHandlerInsteadOfASecondClick) {
  TButtonForm form;
  form.Open();
  HWND h = form.Button->Handle();
  // Without a double-click handler the second press is an ordinary click.
  PostMouse(h, WM_LBUTTONDOWN, 5, 5);
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  PostMouse(h, WM_LBUTTONDBLCLK, 5, 5);
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  form.Pump();
  EXPECT_EQ(form.Clicks, 2);
  int doubles = 0;
  form.Button->OnDblClick = [&](TComponent&) { ++doubles; };
  PostMouse(h, WM_LBUTTONDOWN, 5, 5);
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  PostMouse(h, WM_LBUTTONDBLCLK, 5, 5);
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  form.Pump();
  EXPECT_EQ(form.Clicks, 3);
  EXPECT_EQ(doubles, 1);
}

TEST(GradientButton, WindowCaptionShowsNoPressButStillClicks) {
  TButtonForm form;
  form.Button->SetWindowCaption(true);
  form.Open();
  HWND h = form.Button->Handle();
  PostMouse(h, WM_LBUTTONDOWN, 10, 10);
  form.Pump();
  EXPECT_FALSE(form.Button->Pressed());
  PostMouse(h, WM_LBUTTONUP, 10, 10);
  form.Pump();
  EXPECT_EQ(form.Clicks, 1);
}

TEST(GradientButton, ModalResultAndDefaultButtonWorkThroughTheForm) {
  TButtonForm form;
  form.Button->SetModalResult(qv::fw::mrOk);
  form.Button->SetDefault(true);
  auto& timer = form.Make<qv::fw::TTimer>("");
  timer.SetInterval(1);
  int step = 0;
  timer.OnTimer = [&](TComponent&) {
    if (step++ == 0) {
      timer.SetEnabled(false);
      form.Edit->SetFocus();
      // Enter in the edit reaches the form's default button.
      PostMessageA(form.Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    }
  };
  form.FinishCreate();
  EXPECT_EQ(form.ShowModal(), qv::fw::mrOk);
  EXPECT_EQ(form.Clicks, 1);
}

TEST(GradientButton, GroupsLatchOneButtonAndClicksNeverChangeDown) {
  TDisplayTestForm form;
  auto& a = form.Make<TOndrelGradientButton>("BtnA");
  auto& b = form.Make<TOndrelGradientButton>("BtnB");
  auto& loose = form.Make<TOndrelGradientButton>("BtnLoose");
  a.Place(&form, 10, 10, 60, 25);
  b.Place(&form, 80, 10, 60, 25);
  loose.Place(&form, 150, 10, 60, 25);
  form.Open();

  loose.SetDown(true);  // outside any group: ignored
  EXPECT_FALSE(loose.Down());
  a.SetGroupIndex(2);
  b.SetGroupIndex(2);
  a.SetDown(true);
  EXPECT_TRUE(a.Down());
  b.SetDown(true);
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  SendMessageA(b.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b.Down());
  b.SetGroupIndex(0);  // leaving the group raises it
  EXPECT_FALSE(b.Down());
}

TEST(GradientButton, AllUpGroupToggledByItsClickHandler) {
  // The automatic-refresh pattern: the handler flips Down, and with all-up
  // allowed the group may end with no button down.
  TDisplayTestForm form;
  auto& autoBtn = form.Make<TOndrelGradientButton>("BtnAuto");
  auto& other = form.Make<TOndrelGradientButton>("BtnOther");
  autoBtn.Place(&form, 10, 10, 60, 25);
  other.Place(&form, 80, 10, 60, 25);
  for (auto* btn : {&autoBtn, &other}) {
    btn->SetGroupIndex(2);
    btn->SetAllowAllUp(true);
    btn->OnClick = [btn](TComponent&) { btn->SetDown(!btn->Down()); };
  }
  form.Open();
  SendMessageA(autoBtn.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(autoBtn.Down());
  SendMessageA(other.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(other.Down());
  EXPECT_FALSE(autoBtn.Down());
  SendMessageA(other.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(other.Down());
  EXPECT_FALSE(autoBtn.Down());
  EXPECT_TRUE(autoBtn.AllowAllUp());
}

namespace {
// Runs fn from a thread timer while a menu's own loop runs.
std::function<void()>* g_inMenu = nullptr;
void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_inMenu) (*g_inMenu)();
}
HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        char cls[16] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (strcmp(cls, "#32768") == 0 && IsWindowVisible(h) &&
            GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId()) {
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
}  // namespace

TEST(GradientButton, DropDownMenuOpensUnderTheButtonOnPressWithoutAClick) {
  TButtonForm form;
  auto& menu = form.Make<qv::fw::TPopupMenu>("MenuTest");
  int chosen = 0, popups = 0;
  menu.AddItem("ItemA", "Premier").OnClick = [&](TComponent&) { chosen = 1; };
  menu.AddItem("ItemB", "Second").OnClick = [&](TComponent&) { chosen = 2; };
  menu.OnPopup = [&](TComponent&) { ++popups; };
  form.Button->SetDropDownMenu(&menu);
  form.Open();
  HWND h = form.Button->Handle();

  RECT menuRect{};
  bool pressedWhileOpen = true;
  std::function<void()> inMenu = [&] {
    if (HWND m = OpenMenuWindow()) GetWindowRect(m, &menuRect);
    pressedWhileOpen = form.Button->Pressed();
    // Second item, chosen from the keyboard.
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 1);
  };
  g_inMenu = &inMenu;
  SetTimer(nullptr, 0, 50, MenuTimer);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  g_inMenu = nullptr;
  PostMouse(h, WM_LBUTTONUP, 5, 5);
  form.Pump();

  EXPECT_EQ(popups, 1);
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(form.Clicks, 0);
  EXPECT_FALSE(pressedWhileOpen);
  POINT corner{0, form.Button->Height()};
  ClientToScreen(h, &corner);
  EXPECT_EQ(menuRect.left, corner.x);
  EXPECT_EQ(menuRect.top, corner.y);
}

TEST(GradientButton, ForgetsAMenuThatIsFreed) {
  TButtonForm form;
  auto* menu = new qv::fw::TPopupMenu(&form);
  form.Button->SetDropDownMenu(menu);
  delete menu;
  EXPECT_EQ(form.Button->DropDownMenu(), nullptr);
  form.Open();
  SendMessageA(form.Button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(form.Button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(form.Clicks, 1);
}

// --- Painting

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255), kPale = RGB(240, 240, 240);

TOndrelGradientButton& PaintedButton(TDisplayTestForm& form, int w, int h) {
  auto& b = form.Make<TOndrelGradientButton>("BtnPaint");
  b.Place(&form, 10, 10, w, h);
  b.SetLightColor(kWhite);
  b.SetShadowColor(kPale);
  return b;
}
}  // namespace

TEST(GradientButtonPaint, VerticalGradientRowsInsideTheFrame) {
  TDisplayTestForm form;
  auto& b = PaintedButton(form, 40, 20);
  b.SetVertical(true);
  form.Open();
  TPicture pic(40, 20);
  pic.PrintClient(b.Handle());
  // Rows 3..16 lie inside the frame and the edges; the caption is empty.
  for (int y = 3; y <= 16; ++y) EXPECT_EQ(pic.At(20, y), GradientLineColor(kWhite, kPale, y, 20)) << "row " << y;
  EXPECT_EQ(pic.At(20, 6), RGB(251, 251, 251));  // 4.5 rounds down to 4
  EXPECT_EQ(pic.At(20, 10), RGB(247, 247, 247));  // 7.5 rounds up to 8
  // The frame: light on top and left, shadow on bottom and right.
  EXPECT_EQ(pic.At(5, 0), kWhite);
  EXPECT_EQ(pic.At(0, 10), kWhite);
  EXPECT_EQ(pic.At(39, 10), kPale);
  EXPECT_EQ(pic.At(5, 19), kPale);
}

TEST(GradientButtonPaint, RaisedUpAndSunkenWhenDownOrPressed) {
  TDisplayTestForm form;
  auto& b = PaintedButton(form, 40, 20);
  b.SetGroupIndex(1);
  form.Open();
  const COLORREF raisedInner = GetSysColor(COLOR_BTNHIGHLIGHT), sunkenInner = GetSysColor(COLOR_3DDKSHADOW);
  ASSERT_NE(raisedInner, sunkenInner);
  TPicture pic(40, 20);
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(1, 10), raisedInner);
  b.SetDown(true);
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(1, 10), sunkenInner);
  b.SetDown(false);
  PostMouse(b.Handle(), WM_LBUTTONDOWN, 5, 5);
  form.Pump();
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(1, 10), sunkenInner);
  PostMouse(b.Handle(), WM_LBUTTONUP, 5, 5);
  form.Pump();
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(1, 10), raisedInner);
}

TEST(GradientButtonPaint, FlatButtonsFrameOnlyUnderTheMouseWithColoursExchanged) {
  TDisplayTestForm form;
  auto& b = PaintedButton(form, 40, 20);
  b.SetLightColor(RGB(250, 0, 0));
  b.SetShadowColor(RGB(0, 0, 250));
  b.SetFlat(true);
  form.Open();
  TPicture pic(40, 20);
  // Not hot until the mouse enters: the ordinary frame, and no system edges.
  EXPECT_FALSE(b.Hot());
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(0, 10), RGB(250, 0, 0));
  EXPECT_EQ(pic.At(1, 10), GradientLineColor(RGB(250, 0, 0), RGB(0, 0, 250), 1, 40));
  SendMessageA(b.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(b.Hot());
  pic.PrintClient(b.Handle());
  EXPECT_EQ(pic.At(0, 10), RGB(0, 0, 250));
  EXPECT_EQ(pic.At(39, 10), RGB(250, 0, 0));
  SendMessageA(b.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(b.Hot());
}

TEST(GradientButtonPaint, GlyphDrawsSeeThroughAndBesideTheCaption) {
  TDisplayTestForm form;
  auto& b = PaintedButton(form, 120, 30);
  b.SetLightColor(RGB(200, 200, 200));
  b.SetShadowColor(RGB(200, 200, 200));
  b.SetCaption("Texte");
  b.SetLayout(TButtonLayout::GlyphLeft);
  b.SetSpacing(4);
  // 10 x 10: magenta border (see-through), blue inside.
  HBITMAP glyph = MakeBitmap(10, 10, [](int x, int y) {
    return (x == 0 || y == 0 || x == 9 || y == 9) ? RGB(255, 0, 255) : RGB(0, 0, 255);
  });
  b.SetGlyph(glyph);
  DeleteObject(glyph);
  form.Open();
  TPicture pic(120, 30);
  pic.PrintClient(b.Handle());
  // The glyph's blue body and the caption's dark pixels, inside the edges.
  int glyphLeft = -1, glyphRight = -1, textLeft = 1000, textRight = -1;
  for (int x = 3; x < 117; ++x)
    for (int y = 3; y < 27; ++y) {
      const COLORREF c = pic.At(x, y);
      if (c == RGB(0, 0, 255)) {
        if (glyphLeft < 0) glyphLeft = x;
        glyphRight = x;
      } else if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
        textLeft = std::min(textLeft, x);
        textRight = std::max(textRight, x);
      }
    }
  ASSERT_GT(glyphLeft, 0);
  ASSERT_GT(textRight, 0);
  EXPECT_EQ(glyphRight - glyphLeft, 7);  // the magenta ring left the background
  EXPECT_EQ(pic.At(glyphLeft - 1, 15), RGB(200, 200, 200));
  EXPECT_GT(textLeft, glyphRight + 4);   // Spacing after the glyph, no overlap
}

namespace {

struct TPlaced {
  RECT glyph{1000, 1000, -1, -1};  // the blue body, inside its magenta ring
  RECT text{1000, 1000, -1, -1};   // the caption's dark pixels
};

TPlaced FindGlyphAndText(HWND button, int w, int h) {
  TPicture pic(w, h);
  pic.PrintClient(button);
  TPlaced p;
  for (int y = 3; y < h - 3; ++y)
    for (int x = 3; x < w - 3; ++x) {
      const COLORREF c = pic.At(x, y);
      RECT* r = nullptr;
      if (c == RGB(0, 0, 255)) r = &p.glyph;
      else if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) r = &p.text;
      if (!r) continue;
      r->left = std::min<LONG>(r->left, x);
      r->top = std::min<LONG>(r->top, y);
      r->right = std::max<LONG>(r->right, x);
      r->bottom = std::max<LONG>(r->bottom, y);
    }
  return p;
}

SIZE CaptionSize(TOndrelGradientButton& b, const std::string& text) {
  HDC dc = GetDC(b.Handle());
  HGDIOBJ old = SelectObject(dc, b.EffectiveFont().Handle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(b.Handle(), dc);
  return {r.right, r.bottom};
}

}  // namespace

// The glyph's first pixel (its ring is see-through) and the caption's box
// against the layout table: glyph x and y, caption start; the ink of a
// letter starts at most a few pixels inside its box.
TEST(GradientButtonPaint, GlyphAndCaptionFollowTheLayoutTable) {
  struct Case {
    TButtonLayout layout;
    const char* name;
  };
  const int W = 140, H = 60, S = 3, GW = 12, GH = 12;
  for (const Case& c : {Case{TButtonLayout::GlyphLeft, "left"}, Case{TButtonLayout::GlyphRight, "right"},
                        Case{TButtonLayout::GlyphTop, "top"}, Case{TButtonLayout::GlyphBottom, "bottom"}}) {
    SCOPED_TRACE(c.name);
    TDisplayTestForm form;
    auto& b = PaintedButton(form, W, H);
    b.SetLightColor(RGB(200, 200, 200));
    b.SetShadowColor(RGB(200, 200, 200));
    b.SetCaption("Texte");
    b.SetLayout(c.layout);
    b.SetSpacing(S);
    HBITMAP glyph = MakeBitmap(GW, GH, [](int x, int y) {
      return (x == 0 || y == 0 || x == GW - 1 || y == GH - 1) ? RGB(255, 0, 255) : RGB(0, 0, 255);
    });
    b.SetGlyph(glyph);
    DeleteObject(glyph);
    form.Open();
    const SIZE t = CaptionSize(b, "Texte");
    const int TW = t.cx, TH = t.cy, T = GH + TH + S + 2;
    int tx = 0, ty = 0, gx = 0, gy = 0;
    switch (c.layout) {
      case TButtonLayout::GlyphLeft:  // the glyph ends Spacing before the caption
        tx = W / 2 + S - TW / 2, ty = H / 2 - TH / 2, gx = tx - S - GW, gy = H / 2 - GH / 2;
        break;
      case TButtonLayout::GlyphRight:  // the caption's box starts 10 pixels further left
        tx = W / 2 - TW / 2 - S - 10, ty = H / 2 - TH / 2, gx = TW / 2 + W / 2 + S, gy = H / 2 - GH / 2;
        break;
      case TButtonLayout::GlyphTop:
        tx = W / 2 - TW / 2, ty = GH + H / 2 + S - T / 2, gx = W / 2, gy = ty - GH - S;
        break;
      case TButtonLayout::GlyphBottom:
        tx = W / 2 - TW / 2, ty = H / 2 - T / 2, gx = W / 2, gy = ty + std::max(GH, TH) + S;
        break;
    }
    const TPlaced at = FindGlyphAndText(b.Handle(), W, H);
    EXPECT_EQ(at.glyph.left - 1, gx);
    EXPECT_EQ(at.glyph.top - 1, gy);
    EXPECT_EQ(at.glyph.right - at.glyph.left, GW - 3);
    EXPECT_GE(at.text.left, tx);
    EXPECT_LE(at.text.left, tx + 3);
    EXPECT_GE(at.text.top, ty);
    EXPECT_LE(at.text.bottom, ty + TH);
    // Glyph and caption never share a pixel row and column.
    RECT overlap;
    const RECT g{at.glyph.left, at.glyph.top, at.glyph.right + 1, at.glyph.bottom + 1};
    const RECT x{at.text.left, at.text.top, at.text.right + 1, at.text.bottom + 1};
    EXPECT_FALSE(IntersectRect(&overlap, &g, &x));
  }
}
