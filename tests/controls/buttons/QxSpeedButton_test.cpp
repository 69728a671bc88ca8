// Speed buttons in a real window, driven by posted mouse messages and
// BM_CLICK: group latching and AllowAllUp sharing, presses released inside
// and outside, the repeat timer, the drop-down menu, flat hover, the
// painted faces read back pixel by pixel, the property limits, and an
// action that drives two buttons (with a screenshot), its image on
// magenta (kept by copies of the glyph), captions read from the right
// (with a screenshot), and transparent buttons over drawn parents and
// sibling windows, repainted when a label beneath changes.
#include "controls/buttons/QxSpeedButton.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controls/buttons/QxLabel.h"
#include "framework/Action.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::Later;
using qv::test::PumpFor;
using qv::test::PumpUntil;

namespace {

// A form laid out by the test itself.
class TOpenForm : public TForm {
public:
  explicit TOpenForm(const char* className) : TForm(&App(), className) {}
  using TForm::FinishCreate;
};

class TButtonForm : public TForm {
public:
  explicit TButtonForm(int count = 3) : TForm(&App(), "TSpeedButtonTestForm") {
    SetClientSize(300, 120);
    for (int i = 0; i < count; ++i) {
      auto& b = Make<TQxSpeedButton>("Btn" + std::to_string(i));
      b.Place(this, 10 + 40 * i, 10, 30, 25);
      b.SetCaption(std::to_string(i));
      b.OnClick = [this, i](TComponent&) { ++clicks[i]; };
      Buttons.push_back(&b);
    }
    FinishCreate();
    Show();
    SetForegroundWindow(Handle());
    App().ProcessMessages();
  }
  void Mouse(TQxSpeedButton& b, UINT msg, int x, int y) {
    PostMessageA(b.Handle(), msg, msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    App().ProcessMessages();
  }
  void Press(TQxSpeedButton& b) { Mouse(b, WM_LBUTTONDOWN, 5, 5); }
  void Release(TQxSpeedButton& b, int x = 5, int y = 5) { Mouse(b, WM_LBUTTONUP, x, y); }
  void ClickAt(TQxSpeedButton& b) {
    Press(b);
    Release(b);
  }
  std::vector<TQxSpeedButton*> Buttons;
  int clicks[4]{};
};

// The button as it paints itself.
class TShot {
public:
  explicit TShot(TWinControl& c) {
    m_bmp.Create(c.Width(), c.Height(), 24);
    SendMessageA(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_bmp.Dc()), PRF_CLIENT);
    GdiFlush();
  }
  COLORREF At(int x, int y) const { return m_bmp.Pixel(x, y); }

private:
  TBitmap m_bmp;
};

}  // namespace

TEST(QxSpeedButton, GroupedButtonsLatchLikeRadioButtons) {
  TButtonForm f;
  for (auto* b : f.Buttons) b->SetGroupIndex(1);
  f.ClickAt(*f.Buttons[0]);
  EXPECT_TRUE(f.Buttons[0]->Down());
  EXPECT_EQ(f.Buttons[0]->PaintState(), psExclusive);
  f.ClickAt(*f.Buttons[1]);
  EXPECT_FALSE(f.Buttons[0]->Down());
  EXPECT_EQ(f.Buttons[0]->PaintState(), psUp);
  EXPECT_TRUE(f.Buttons[1]->Down());
  // The latched one stays down when clicked again, and still clicks.
  f.ClickAt(*f.Buttons[1]);
  EXPECT_TRUE(f.Buttons[1]->Down());
  EXPECT_EQ(f.clicks[1], 2);
  // AllowAllUp set on one is set on the whole group; then a click releases.
  f.Buttons[2]->SetAllowAllUp(true);
  EXPECT_TRUE(f.Buttons[0]->AllowAllUp());
  EXPECT_TRUE(f.Buttons[1]->AllowAllUp());
  SendMessageA(f.Buttons[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(f.Buttons[1]->Down());
  EXPECT_EQ(f.clicks[1], 3);
  // Another group is left alone; without a group a button is never down.
  f.Buttons[2]->SetGroupIndex(2);
  f.Buttons[2]->SetDown(true);
  f.Buttons[0]->SetDown(true);
  EXPECT_TRUE(f.Buttons[2]->Down());
  // Out of any group, a latched button whose group allowed all up is
  // released by any setting, and never goes down again.
  f.Buttons[2]->SetGroupIndex(0);
  f.Buttons[2]->SetDown(true);
  EXPECT_FALSE(f.Buttons[2]->Down());
  f.Buttons[2]->SetDown(true);
  EXPECT_FALSE(f.Buttons[2]->Down());
}

TEST(QxSpeedButton, AReleaseOutsideDoesNotClick) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  f.Press(b);
  EXPECT_EQ(b.PaintState(), psDown);
  EXPECT_TRUE(b.Pressing());
  f.Mouse(b, WM_MOUSEMOVE, 40, 5);
  EXPECT_EQ(b.PaintState(), psUp);
  f.Mouse(b, WM_MOUSEMOVE, 29, 25);  // the bottom edge still counts as inside
  EXPECT_EQ(b.PaintState(), psDown);
  f.Release(b, 40, 5);
  EXPECT_EQ(f.clicks[0], 0);
  EXPECT_FALSE(b.Pressing());
  EXPECT_EQ(b.PaintState(), psUp);
  f.ClickAt(b);
  EXPECT_EQ(f.clicks[0], 1);
  // Disabled: neither presses nor BM_CLICK do anything.
  b.SetEnabled(false);
  EXPECT_EQ(b.PaintState(), psDisabled);
  f.ClickAt(b);
  SendMessageA(b.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(f.clicks[0], 1);
  b.SetEnabled(true);
  EXPECT_EQ(b.PaintState(), psUp);
}

TEST(QxSpeedButton, HeldButtonRepeatsWhileUnderTheMouse) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetAllowTimer(true);
  f.Press(b);
  PumpFor(350);
  EXPECT_EQ(f.clicks[0], 0);  // the first pause is 500 ms
  ASSERT_TRUE(PumpUntil([&] { return f.clicks[0] >= 1; }, 1000));
  const int first = f.clicks[0];
  PumpFor(450);
  EXPECT_GE(f.clicks[0], first + 2);  // then every 100 ms
  EXPECT_LE(f.clicks[0], first + 5);
  f.Mouse(b, WM_MOUSEMOVE, 60, 5);  // off the button: paused
  const int paused = f.clicks[0];
  PumpFor(300);
  EXPECT_EQ(f.clicks[0], paused);
  f.Release(b, 60, 5);
  PumpFor(250);
  EXPECT_EQ(f.clicks[0], paused);
  b.SetAllowTimer(false);
}

TEST(QxSpeedButton, APressOpensTheDropDownMenuWithoutClicking) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  auto& menu = f.Make<TPopupMenu>("Menu");
  menu.AddItem("Un", "Un");
  b.SetDropDownMenu(&menu);
  TPoint at;
  ASSERT_TRUE(b.DropDownMenuPoint(at));
  EXPECT_EQ(at.X, -1);
  EXPECT_EQ(at.Y, 25);
  menu.Alignment = paRight;
  b.SetMenuPosition(dmpRight);
  b.DropDownMenuPoint(at);
  EXPECT_EQ(at.X, -1);
  EXPECT_EQ(at.Y, -1);
  menu.Alignment = paCenter;
  b.DropDownMenuPoint(at);
  EXPECT_EQ(at.X, 15);
  EXPECT_EQ(at.Y, 25);

  bool showing = false;
  Later(f, [&] {
    showing = b.MenuShowing();
    EndMenu();
  });
  f.Press(b);
  PumpUntil([&] { return !b.Pressing(); }, 2000);
  EXPECT_TRUE(showing);
  EXPECT_EQ(menu.PopupComponent(), &b);
  EXPECT_FALSE(b.MenuShowing());
  EXPECT_FALSE(b.Pressing());
  f.Release(b);
  EXPECT_EQ(f.clicks[0], 0);
  // The menu's owner goes: the button forgets it.
  delete &menu;
  EXPECT_EQ(b.DropDownMenu(), nullptr);
}

TEST(QxSpeedButton, FacesShowStateBorderAndDither) {
  TButtonForm f(2);
  TQxSpeedButton& up = *f.Buttons[0];
  const COLORREF face = ColorToRGB(clBtnFace), hi = ColorToRGB(clBtnHighlight);
  {
    TShot s(up);
    EXPECT_EQ(s.At(0, 0), hi);
    EXPECT_EQ(s.At(29, 24), ColorToRGB(SystemColor(COLOR_WINDOWFRAME)));
    EXPECT_EQ(s.At(28, 23), ColorToRGB(clBtnShadow));
  }
  // Latched: sunken frame and a checkerboard of face and highlight.
  TQxSpeedButton& latched = *f.Buttons[1];
  latched.SetGroupIndex(5);
  latched.SetDown(true);
  {
    TShot s(latched);
    EXPECT_EQ(s.At(0, 0), ColorToRGB(SystemColor(COLOR_WINDOWFRAME)));
    int light = 0, plain = 0;
    for (int x = 3; x < 8; ++x) (s.At(x, 3) == hi ? light : plain) += s.At(x, 3) == hi || s.At(x, 3) == face;
    EXPECT_GE(light, 2);
    EXPECT_GE(plain, 2);
  }
  // Flat and not under the mouse: no border at all.
  up.SetFlat(true);
  EXPECT_FALSE(up.Hovered());
  {
    TShot s(up);
    EXPECT_EQ(s.At(0, 0), face);
    EXPECT_EQ(s.At(29, 24), face);
  }
}

// The list switch of the main window: a 16-pixel button whose "x" is
// taller than its face; the letter stays whole around the middle.
TEST(QxSpeedButton, ACaptionTallerThanTheFaceIsCutEvenly) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetBounds(10, 10, 16, 16);
  b.SetCaption("x");
  b.Font().SetSize(12);
  TShot s(b);
  const COLORREF ink = ColorToRGB(clBtnText);
  int above = 0, below = 0;
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x)
      if (s.At(x, y) == ink) (y < 8 ? above : below) += 1;
  EXPECT_GT(above, 2);
  EXPECT_GT(below, 2);
}

TEST(QxSpeedButton, FlatButtonsGreyTheirGlyphUntilHovered) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetCaption("");
  TBitmap glyph;
  glyph.Create(8, 8, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) glyph.SetPixel(x, y, RGB(200, 0, 0));
  glyph.SetPixel(0, 7, RGB(255, 0, 255));
  b.SetGlyph(glyph.Handle());
  b.SetFlat(true);
  int entered = 0;
  b.OnMouseEnter = [&](TComponent&) { ++entered; };
  const unsigned g = (77u * 200) >> 8;
  // Glyph top left: centred horizontally, margin = spacing = (25 - 4 - 8 - 1) / 3 vertically.
  {
    TShot s(b);
    EXPECT_EQ(s.At(15, 10), RGB(g, g, g));
  }
  f.Mouse(b, WM_MOUSEMOVE, 3, 3);
  if (!b.Hovered()) GTEST_SKIP() << "the test window is not in the foreground";
  EXPECT_EQ(entered, 1);
  {
    TShot s(b);
    EXPECT_EQ(s.At(15, 10), RGB(200, 0, 0));
    EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnHighlight));
  }
  b.SetGrayedInactive(false);
  SendMessageA(b.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(b.Hovered());
  TShot s(b);
  EXPECT_EQ(s.At(15, 10), RGB(200, 0, 0));
}

TEST(QxSpeedButton, PropertiesKeepTheirLimits) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  EXPECT_EQ(b.Margin(), -1);
  b.SetMargin(-2);
  EXPECT_EQ(b.Margin(), -1);
  b.SetMargin(3);
  EXPECT_EQ(b.Margin(), 3);
  b.SetNumGlyphs(7);
  EXPECT_EQ(b.NumGlyphs(), 5);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 5);
  EXPECT_EQ(b.Layout(), blGlyphTop);
  EXPECT_EQ(b.Spacing(), 1);
  EXPECT_TRUE(b.MarkDropDown());
  EXPECT_TRUE(b.GrayedInactive());
  EXPECT_EQ(b.InitPause(), 500u);
  EXPECT_EQ(b.RepeatInterval(), 100u);
  TQxSpeedButton fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 25);
  EXPECT_EQ(fresh.Height(), 25);
  // Never takes the focus, even when clicked.
  f.ClickAt(b);
  EXPECT_NE(GetFocus(), b.Handle());
}

TEST(QxSpeedButton, ModalResultAndAcceleratorClickTheButton) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetCaption("&Ouvrir");
  b.SetModalResult(6);
  EXPECT_TRUE(b.DialogChar('o'));
  EXPECT_EQ(f.clicks[0], 1);
  EXPECT_EQ(f.ModalResult(), 6);
  EXPECT_FALSE(b.DialogChar('x'));
  b.SetEnabled(false);
  EXPECT_FALSE(b.DialogChar('o'));
  EXPECT_EQ(f.clicks[0], 1);
}

TEST(QxSpeedButton, ShowsOverAnOverlappingLabelLaidOutBeforeIt) {
  // Labels before and after the button, overlapping it, and one apart.
  struct TStackForm : TForm {
    TStackForm() : TForm(&App(), "TSpeedButtonTestForm") {
      SetClientSize(300, 120);
      Before = &Make<TLabel>("Before");
      Before->Place(this, 0, 10, 200, 14);
      Before->SetCaption("Détail des fichiers");
      Make<TLabel>("Apart").Place(this, 0, 80, 200, 14);
      Button = &Make<TQxSpeedButton>("Btn");
      Button->Place(this, 180, 8, 16, 16);
      Button->SetCaption("x");
      After = &Make<TLabel>("After");
      After->Place(this, 170, 0, 100, 14);
      FinishCreate();
      Show();
      App().ProcessMessages();
    }
    TLabel* Before;
    TLabel* After;
    TQxSpeedButton* Button;
  } f;
  // Stacking order, top first.
  std::vector<HWND> order;
  for (HWND h = GetWindow(f.Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) order.push_back(h);
  auto place = [&](TWinControl& c) { return std::find(order.begin(), order.end(), c.Handle()) - order.begin(); };
  EXPECT_LT(place(*f.Button), place(*f.Before));
  EXPECT_LT(place(*f.Button), place(*f.After));
  POINT pt{185, 12};
  ClientToScreen(f.Handle(), &pt);
  EXPECT_EQ(WindowFromPoint(pt), f.Button->Handle());
}

TEST(QxSpeedButton, ATransparentFaceShowsItsParent) {
  TButtonForm f(1);
  f.SetColor(RGB(0, 128, 0));
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetCaption("");
  EXPECT_EQ(TShot(b).At(12, 12), ColorToRGB(clBtnFace));
  b.SetTransparent(true);
  TShot s(b);
  EXPECT_EQ(s.At(12, 12), RGB(0, 128, 0));
  EXPECT_EQ(s.At(0, 0), ColorToRGB(clBtnHighlight));  // the frame is still drawn
  // Latched and transparent: no dither over the parent.
  b.SetGroupIndex(1);
  b.SetDown(true);
  EXPECT_EQ(TShot(b).At(12, 12), RGB(0, 128, 0));
}

namespace {
// Runs the application's loop, idle steps included, until done (a timer
// wakes its wait after each idle step).
void RunIdle(const std::function<bool()>& done) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
  for (int i = 0; i < 200 && !done(); ++i) App().HandleMessage();
  KillTimer(nullptr, timer);
}
}  // namespace

TEST(QxSpeedButton, AnActionDrivesTheButtonAndTheButtonRunsIt) {
  TButtonForm f(2);
  TQxSpeedButton& plain = *f.Buttons[0];
  TQxSpeedButton& grouped = *f.Buttons[1];
  plain.OnClick = nullptr;
  grouped.OnClick = nullptr;
  grouped.SetGroupIndex(4);
  grouped.SetAllowAllUp(true);
  // Room for the glyph and the caption under it, for the screenshot.
  plain.SetBounds(10, 10, 80, 44);
  grouped.SetBounds(100, 10, 80, 44);

  // A 16 x 16 blue square with a see-through magenta edge.
  auto& images = f.Make<TImageList>("Images");
  images.Create(16, 16);
  TBitmap square;
  square.Create(16, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) SetPixel(square.Dc(), x, y, x < 3 || y > 12 ? RGB(255, 0, 255) : RGB(0, 0, 200));
  ASSERT_EQ(images.AddMasked(square, RGB(255, 0, 255)), 0);

  auto& action = f.Make<TAction>("ActCocher");
  int runs = 0, updates = 0;
  bool allowed = true;
  action.SetCaption("Coch\xE9");
  action.SetHint("Cocher|Coche la case");
  action.SetImages(&images);
  action.SetImageIndex(0);
  action.OnExecute = [&](TComponent&) {
    ++runs;
    action.SetChecked(!action.Checked());
  };
  action.OnUpdate = [&](TComponent&) {
    ++updates;
    action.SetEnabled(allowed);
  };
  grouped.SetAction(&action);
  plain.SetAction(&action);
  EXPECT_EQ(grouped.Caption(), "Coch\xE9");
  EXPECT_EQ(plain.Hint(), "Cocher|Coche la case");
  EXPECT_FALSE(grouped.Glyph().Empty());  // the action's image became the glyph
  EXPECT_EQ(grouped.Glyph().Width(), 16);

  // A click runs the action; its checked state latches the grouped button
  // only.
  f.ClickAt(plain);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(action.Checked());
  EXPECT_TRUE(grouped.Down());
  EXPECT_FALSE(plain.Down());
  action.SetCaption("D\xE9" "coch\xE9");
  EXPECT_EQ(plain.Caption(), "D\xE9" "coch\xE9");

  // The idle step updates the action, which may disable its buttons.
  allowed = false;
  const int before = updates;
  RunIdle([&] { return updates > before; });
  EXPECT_GT(updates, before);
  EXPECT_FALSE(plain.Enabled());
  EXPECT_FALSE(grouped.Enabled());
  PostMessageA(plain.Handle(), BM_CLICK, 0, 0);
  App().ProcessMessages();
  EXPECT_EQ(runs, 1);
  const std::filesystem::path shot = qv::test::BuildScreenshotDir() / "speedbutton_action.bmp";
  allowed = true;
  RunIdle([&] { return plain.Enabled(); });
  f.Repaint();
  PumpFor(100);
  qv::test::SaveScreenArea(qv::test::WholeScreen(), shot);

  // A button's own OnClick comes first; a freed action leaves the button
  // as it was, following nothing.
  int own = 0;
  plain.OnClick = [&](TComponent&) { ++own; };
  f.ClickAt(plain);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(runs, 1);
  delete &action;
  EXPECT_EQ(plain.Action(), nullptr);
  EXPECT_EQ(grouped.Caption(), "D\xE9" "coch\xE9");
  f.ClickAt(grouped);
}

TEST(QxSpeedButton, AnActionImageSeesThroughMagentaEvenWithAnOpaqueCorner) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetCaption("");
  b.SetBounds(10, 10, 40, 40);
  // The image's lower-left corner is opaque red; its edge is see-through.
  auto& images = f.Make<TImageList>("Images");
  images.Create(16, 16);
  TBitmap picture;
  picture.Create(16, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool corner = x < 4 && y > 11, edge = x > 12 || y < 3;
      picture.SetPixel(x, y, corner ? RGB(255, 0, 0) : edge ? RGB(255, 0, 255) : RGB(0, 0, 200));
    }
  ASSERT_EQ(images.AddMasked(picture, RGB(255, 0, 255)), 0);
  auto& action = f.Make<TAction>("ActImage");
  action.SetImages(&images);
  action.SetImageIndex(0);
  b.SetAction(&action);
  ASSERT_FALSE(b.Glyph().Empty());
  EXPECT_EQ(b.GlyphPainter().MaskColor(), RGB(255, 0, 255));

  TShot shot(b);
  int red = 0, magenta = 0, blue = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const COLORREF c = shot.At(x, y);
      red += c == RGB(255, 0, 0);
      magenta += c == RGB(255, 0, 255);
      blue += c == RGB(0, 0, 200);
    }
  EXPECT_EQ(red, 4 * 4);
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(blue, 0);

  // Magenta is the glyph's own see-through colour, so a button given a
  // copy of it sees through magenta as well.
  EXPECT_EQ(static_cast<COLORREF>(b.Glyph().TransparentColor()), RGB(255, 0, 255));
  auto& copy = f.Make<TQxSpeedButton>("Copy");
  copy.Place(&f, 60, 10, 40, 40);
  copy.SetCaption("");
  copy.SetGlyph(b.Glyph());
  EXPECT_EQ(copy.GlyphPainter().MaskColor(), RGB(255, 0, 255));
  TShot copied(copy);
  red = magenta = 0;
  for (int y = 0; y < copy.Height(); ++y)
    for (int x = 0; x < copy.Width(); ++x) {
      red += copied.At(x, y) == RGB(255, 0, 0);
      magenta += copied.At(x, y) == RGB(255, 0, 255);
    }
  EXPECT_EQ(red, 4 * 4);
  EXPECT_EQ(magenta, 0);
}

namespace {
// The box of the dark pixels of each text line of a painted button, top
// line first (lines are runs of rows holding such pixels).
std::vector<TRect> InkLines(TWinControl& c, COLORREF ink) {
  TBitmap bmp;
  bmp.Create(c.Width(), c.Height(), 24);
  SendMessageA(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bmp.Dc()), PRF_CLIENT);
  GdiFlush();
  std::vector<TRect> lines;
  bool inLine = false;
  for (int y = 0; y < c.Height(); ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < c.Width(); ++x)
      if (bmp.Pixel(x, y) == ink) {
        if (first < 0) first = x;
        last = x;
      }
    if (first < 0) {
      inLine = false;
      continue;
    }
    if (!inLine) lines.push_back(TRect{first, y, last, y});
    inLine = true;
    TRect& r = lines.back();
    r.Left = std::min(r.Left, first);
    r.Right = std::max(r.Right, last);
    r.Bottom = y;
  }
  return lines;
}
}  // namespace

TEST(QxSpeedButton, RightToLeftMirrorsTheCaptionAlignment) {
  TButtonForm f(1);
  TQxSpeedButton& b = *f.Buttons[0];
  b.SetBounds(10, 10, 100, 50);
  b.SetWordWrap(true);
  b.SetAlignment(TAlignment::LeftJustify);
  // Ink edges are compared: a line's last letter may stop short of its
  // advance by a few pixels.
  b.SetCaption("Enregistrer\nSortir");
  const COLORREF ink = ColorToRGB(clBtnText);
  std::vector<TRect> lines = InkLines(b, ink);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[1].Left, lines[0].Left, 1);  // both lines start at the left
  EXPECT_LT(lines[1].Right, lines[0].Right - 10);

  f.SetBiDiMode(TBiDiMode::RightToLeft);
  EXPECT_TRUE(b.ParentBiDiMode());
  EXPECT_TRUE(b.UseRightToLeftAlignment());
  lines = InkLines(b, ink);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[1].Right, lines[0].Right, 5);  // both lines end at the right
  EXPECT_GT(lines[1].Left, lines[0].Left + 10);
  b.SetAlignment(TAlignment::RightJustify);
  lines = InkLines(b, ink);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[1].Left, lines[0].Left, 1);

  b.SetBiDiMode(TBiDiMode::LeftToRight);
  EXPECT_FALSE(b.ParentBiDiMode());
  lines = InkLines(b, ink);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[1].Right, lines[0].Right, 5);
  EXPECT_GT(lines[1].Left, lines[0].Left + 10);
}

TEST(QxSpeedButton, LabelsAndButtonsReadFromTheRightInARightToLeftPanel) {
  TOpenForm f("TBiDiTestForm");
  f.SetClientSize(440, 130);
  f.SetCaption("Sens de lecture");
  TPanel* panels[2];
  for (int i = 0; i < 2; ++i) {
    TPanel& p = f.Make<TPanel>("Panel" + std::to_string(i));
    p.Place(&f, 10 + 215 * i, 10, 205, 110);
    if (i == 1) p.SetBiDiMode(TBiDiMode::RightToLeft);
    auto& l = f.Make<TQxLabel>("Label" + std::to_string(i));
    l.Place(&p, 8, 8, 189, 17);
    l.SetAutoSize(false);
    l.SetCaption("&Nom du fichier :");
    auto& w = f.Make<TQxLabel>("Wrap" + std::to_string(i));
    w.Place(&p, 8, 28, 189, 30);
    w.SetAutoSize(false);
    w.SetWordWrap(true);
    w.SetCaption("Un texte assez long pour tenir sur deux lignes.");
    auto& b = f.Make<TQxSpeedButton>("Button" + std::to_string(i));
    b.Place(&p, 8, 62, 120, 40);
    b.SetWordWrap(true);
    b.SetAlignment(TAlignment::LeftJustify);
    b.SetLayout(blGlyphLeft);
    b.SetCaption("Ouvrir le dossier\nchoisi (F3)");
    TBitmap glyph;
    glyph.Create(16, 16, 24);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) glyph.SetPixel(x, y, x < 2 || y > 13 ? RGB(255, 0, 255) : RGB(0, 128, 0));
    b.SetGlyph(glyph.Handle());
    panels[i] = &p;
  }
  f.FinishCreate();
  f.Show();
  SetForegroundWindow(f.Handle());
  App().ProcessMessages();
  auto* right = dynamic_cast<TQxLabel*>(f.FindComponent("Label1"));
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->BiDiMode(), TBiDiMode::RightToLeft);
  EXPECT_EQ(panels[0]->BiDiMode(), TBiDiMode::LeftToRight);
  f.Repaint();
  PumpFor(100);
  EXPECT_TRUE(qv::test::SaveWindowPicture(f.Handle(), qv::test::BuildScreenshotDir() / "bidi_labels_buttons.bmp"));
}

namespace {
// A window that paints itself red and notes whether it was asked for a
// copy (as a transparent neighbour asks).
class TCopyProbe : public TCustomControl {
public:
  explicit TCopyProbe(TComponent* owner) : TCustomControl(owner) {}
  bool SawCopy = false;

protected:
  void Paint(TCanvas& c) override {
    SawCopy = SawCopy || PaintingCopy();
    c.FillRect(ClientRect(), clRed);
  }
};

// A form with a transparent button over each kind of background: the
// edge of a bevelled panel, a label, a bevel, and a window of its own.
class TTransparentForm : public TForm {
public:
  TTransparentForm() : TForm(&App(), "TTransparentTestForm") {
    SetClientSize(420, 150);
    SetCaption("Boutons transparents");
    Panel = &Make<TPanel>("Panel");
    Panel->Place(this, 10, 10, 120, 80);
    Panel->SetColor(TColor{0x00FFFF});  // yellow
    OnPanel = &Button(*Panel, "OnPanel", 0, 0);
    Label = &Make<TQxLabel>("Label");
    Label->Place(this, 150, 20, 110, 20);
    Label->SetAutoSize(false);
    Label->SetShadowSize(0);
    Label->SetParentColor(false);
    Label->SetColor(clWhite);
    Label->Font().SetColor(clBlack);
    Label->SetCaption("Etiquette dessous");
    OnLabel = &Button(*this, "OnLabel", 160, 10);
    Bevel = &Make<TBevel>("Bevel");
    Bevel->Place(this, 290, 20, 110, 40);
    OnBevel = &Button(*this, "OnBevel", 280, 10);
    Probe = &Make<TCopyProbe>("Probe");
    Probe->Place(this, 150, 90, 60, 40);
    OnProbe = &Button(*this, "OnProbe", 160, 100);
    FinishCreate();
    Show();
    // Earlier windows lie higher; only labels are left beneath by a button.
    SetWindowPos(OnProbe->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    App().ProcessMessages();
  }
  TQxSpeedButton& Button(TWinControl& parent, const std::string& name, int x, int y) {
    auto& b = Make<TQxSpeedButton>(name);
    b.Place(&parent, x, y, 60, 30);
    b.SetTransparent(true);
    b.SetFlat(true);
    return b;
  }
  TPanel* Panel;
  TQxLabel* Label;
  TBevel* Bevel;
  TCopyProbe* Probe;
  TQxSpeedButton *OnPanel, *OnLabel, *OnBevel, *OnProbe;
  bool SawCopy = false;

protected:
  void Paint(TCanvas& c) override {
    SawCopy = SawCopy || PaintingCopy();
    TForm::Paint(c);
  }
};
}  // namespace

TEST(QxSpeedButton, ATransparentButtonShowsItsParentsDrawingAndTheWindowsBeneath) {
  TTransparentForm f;
  const COLORREF light = ColorToRGB(clBtnHighlight), yellow = RGB(255, 255, 0);
  {
    // The panel's raised bevel, drawn by the panel, runs along the
    // button's top and left edges.
    TShot shot(*f.OnPanel);
    EXPECT_EQ(shot.At(0, 0), light);
    EXPECT_EQ(shot.At(30, 0), light);
    EXPECT_EQ(shot.At(0, 20), light);
    EXPECT_EQ(shot.At(30, 15), yellow);
  }
  {
    // The label is a window of its own under the button: its white ground
    // and black text show, and the form above it.
    TShot shot(*f.OnLabel);
    EXPECT_EQ(shot.At(30, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(shot.At(5, 27), RGB(255, 255, 255));
    int black = 0;
    for (int y = 10; y < 30; ++y)
      for (int x = 0; x < 60; ++x) black += shot.At(x, y) == RGB(0, 0, 0);
    EXPECT_GT(black, 10);
  }
  {
    // The bevel's lowered frame: shadow along its top edge.
    TShot shot(*f.OnBevel);
    EXPECT_EQ(shot.At(30, 10), ColorToRGB(clBtnShadow));
  }
  {
    // The window beneath is asked for a copy of itself, and both it and the
    // parent paint for the screen again afterwards.
    f.Probe->SawCopy = f.SawCopy = false;
    TShot shot(*f.OnProbe);
    EXPECT_TRUE(f.Probe->SawCopy);
    EXPECT_TRUE(f.SawCopy);
    EXPECT_EQ(shot.At(30, 15), RGB(255, 0, 0));
    EXPECT_FALSE(f.Probe->PaintingCopy());
    EXPECT_FALSE(f.PaintingCopy());
  }
  // For the picture: raised buttons with captions over the same grounds.
  for (TQxSpeedButton* b : {f.OnPanel, f.OnLabel, f.OnBevel, f.OnProbe}) {
    b->SetFlat(false);
    b->SetCaption("&Voir");
  }
  f.Repaint();
  PumpFor(100);
  EXPECT_TRUE(qv::test::SaveWindowPicture(f.Handle(), qv::test::BuildScreenshotDir() / "speedbutton_transparent.bmp"));
}

namespace {
// The control as its window shows it now (what was last painted there),
// not as it would paint itself afresh.
class TOnScreen {
public:
  explicit TOnScreen(TWinControl& c) {
    m_bmp.Create(c.Width(), c.Height(), 24);
    HDC dc = GetDC(c.Handle());
    BitBlt(m_bmp.Dc(), 0, 0, c.Width(), c.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(c.Handle(), dc);
    GdiFlush();
  }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < m_bmp.Height(); ++y)
      for (int x = 0; x < m_bmp.Width(); ++x) n += m_bmp.Pixel(x, y) == c;
    return n;
  }

private:
  TBitmap m_bmp;
};
}  // namespace

TEST(QxSpeedButton, ATransparentButtonShowsTheNewContentOfTheLabelBeneath) {
  TTransparentForm f;
  TQxSpeedButton& b = *f.OnLabel;
  App().ProcessMessages();
  ASSERT_FALSE(GetUpdateRect(b.Handle(), nullptr, FALSE));
  ASSERT_GT(TOnScreen(b).Count(RGB(0, 0, 0)), 10);  // the label's text
  // The label loses its text and turns red: the button shows it at once.
  f.Label->SetCaption("");
  EXPECT_TRUE(GetUpdateRect(b.Handle(), nullptr, FALSE));
  f.Label->SetColor(clRed);
  App().ProcessMessages();
  const TOnScreen shown(b);
  EXPECT_EQ(shown.Count(RGB(0, 0, 0)), 0);
  EXPECT_GT(shown.Count(RGB(255, 0, 0)), 100);
  EXPECT_TRUE(
      qv::test::SaveWindowPicture(f.Handle(), qv::test::BuildScreenshotDir() / "speedbutton_over_changed_label.bmp"));
  // Moved away, it leaves the form's face behind the button.
  f.Label->SetBounds(10, 110, 110, 20);
  App().ProcessMessages();
  EXPECT_EQ(TOnScreen(b).Count(RGB(255, 0, 0)), 0);
  // A change reaches only the windows above that overlap it.
  App().ProcessMessages();
  f.OnBevel->SetCaption("B");
  EXPECT_FALSE(GetUpdateRect(f.OnLabel->Handle(), nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(f.Label->Handle(), nullptr, FALSE));
}
