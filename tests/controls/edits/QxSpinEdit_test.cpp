// The spin edit in a real window, driven by posted key, character and mouse
// messages through the application's loop: steps and limits, refused
// characters, value kinds and formats, the range message on leaving, the
// Enter key, paste, both button kinds, every border look in both
// reading directions (with a screenshot), the reading-only modes, and a
// move between parents that keeps its window.
#include "controls/edits/QxSpinEdit.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Form.h"
#include "services/QxRangeError.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;

namespace {

class TSpinForm : public TForm {
public:
  TSpinForm() : TForm(&App(), "TSpinTestForm") {
    SetClientSize(320, 120);
    Spin = &Make<TQxSpinEdit>("Spin");
    Spin->Place(this, 10, 10, 80, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 10, 50, 80, 21);
    Ok = &Make<TButton>("Ok");
    Ok->Place(this, 150, 10, 75, 25);
    Ok->SetCaption("OK");
    FinishCreate();
    Show();
    Spin->SetFocus();
    App().ProcessMessages();
  }
  TQxSpinEdit* Spin;
  TEdit* Other;
  TButton* Ok;
};

// Posts what the keyboard would and lets the loop handle it.
void Key(TWinControl& c, WORD vk) {
  PostMessageA(c.Handle(), WM_KEYDOWN, vk, 1);
  PostMessageA(c.Handle(), WM_KEYUP, vk, 0xC0000001);
  App().ProcessMessages();
}

void Type(TWinControl& c, const std::string& chars) {
  for (char ch : chars) PostMessageA(c.Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

void ClickAt(HWND h, int x, int y) {
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  App().ProcessMessages();
}

// Replaces the selection (all of it after focusing) by typing.
void Retype(TQxSpinEdit& s, const std::string& chars) {
  s.SelectAll();
  Type(s, chars);
}

void SetClipboardText(HWND owner, const std::string& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

// Catches the range message instead of a modal box.
struct TRangeErrors {
  TRangeErrors() {
    SetRangeErrorDisplay([this](const std::string& m) { messages.push_back(m); });
  }
  ~TRangeErrors() { SetRangeErrorDisplay(nullptr); }
  std::vector<std::string> messages;
};

}  // namespace

TEST(QxSpinEdit, ArrowKeysStepByTheIncrementWithinTheLimits) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  int changes = 0, tops = 0, bottoms = 0;
  s.OnChange = [&](TComponent&) { ++changes; };
  s.OnTopClick = [&](TComponent&) { ++tops; };
  s.OnBottomClick = [&](TComponent&) { ++bottoms; };
  s.SetMaxValue(10);  // a fresh edit then checks both limits
  EXPECT_TRUE(s.CheckMinValue());
  EXPECT_TRUE(s.CheckMaxValue());
  s.SetIncrement(3);
  s.SetValue(8);
  changes = 0;
  Key(s, VK_UP);
  EXPECT_EQ(s.Text(), "10");
  EXPECT_TRUE(s.Modified());
  Key(s, VK_UP);  // already at the top: no change, but the click is reported
  EXPECT_EQ(s.Text(), "10");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tops, 2);
  Key(s, VK_DOWN);
  Key(s, VK_DOWN);
  Key(s, VK_DOWN);
  Key(s, VK_DOWN);
  EXPECT_EQ(s.Text(), "0");
  EXPECT_EQ(bottoms, 4);
  EXPECT_EQ(changes, 5);
  s.SetArrowKeys(false);
  Key(s, VK_UP);
  EXPECT_EQ(s.Text(), "0");
}

TEST(QxSpinEdit, WithoutLimitsAnyValueStandsAndAFirstLimitClampsIt) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  EXPECT_FALSE(s.CheckMinValue());
  EXPECT_FALSE(s.CheckMaxValue());
  s.SetValue(-50);
  EXPECT_EQ(s.Text(), "-50");
  s.SetMaxValue(10);
  EXPECT_EQ(s.Text(), "0");
  s.SetValue(25);
  EXPECT_EQ(s.Text(), "10");
  // The check flag follows a non-zero limit whatever it is told.
  s.SetCheckMaxValue(false);
  EXPECT_TRUE(s.CheckMaxValue());
  s.SetMaxValue(0);
  s.SetMinValue(0);
  EXPECT_FALSE(s.CheckMinValue());
  EXPECT_FALSE(s.CheckMaxValue());
}

TEST(QxSpinEdit, TypingRefusesWhatCannotBePartOfANumber) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  Retype(s, "1a2.x-");
  EXPECT_EQ(s.Text(), "12-");
  s.SetValueType(vtHex);
  Retype(s, "1aGf");
  EXPECT_EQ(s.Text(), "1af");
  s.SetValueType(vtFloat);
  const char dec = LocaleSeparators().Decimal;
  Retype(s, "1.5.2e3E");
  // The point became the locale's separator; a second one and a second
  // exponent letter were refused.
  EXPECT_EQ(s.Text(), std::string("1") + dec + "52e3");
}

TEST(QxSpinEdit, WithoutTheEditorOnlyStepsChangeTheValue) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetValue(4);
  s.SetEditorEnabled(false);
  s.SetSelection(1, 0);
  Type(s, "7\b");
  EXPECT_EQ(s.Text(), "4");
  Key(s, VK_UP);
  EXPECT_EQ(s.Text(), "5");
}

TEST(QxSpinEdit, ValueKindsWriteTheirTextAndIntegerKindsRoundTheIncrement) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetValueType(vtHex);
  s.SetValue(255);
  EXPECT_EQ(s.Text(), "FF");
  EXPECT_EQ(s.Value(), 255);
  // Switching kinds keeps the value read in the kind that wrote it.
  s.SetValueType(vtInteger);
  EXPECT_EQ(s.Text(), "255");
  s.SetValueType(vtFloat);
  s.SetIncrement(0.5L);
  s.SetDecimal(1);
  EXPECT_EQ(s.Text(), "255" + std::string(1, LocaleSeparators().Decimal) + "0");
  Key(s, VK_UP);
  EXPECT_EQ(s.Value(), 255.5L);
  s.SetValueType(vtInteger);  // 0.5 rounds to 0 (ties to even), then becomes 1
  EXPECT_EQ(s.Increment(), 1);
  EXPECT_EQ(s.Text(), "256");
}

TEST(QxSpinEdit, AFloatShowsItsDisplayFormatUnlessFocused) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  const TNumberSeparators seps = LocaleSeparators();
  f.Other->SetFocus();
  App().ProcessMessages();
  s.SetValueType(vtFloat);
  s.SetDisplayFormat(",0.00");
  s.SetValue(1234.5L);
  EXPECT_EQ(s.Text(), std::string("1") + seps.Thousands + "234" + seps.Decimal + "50");
  s.SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(s.Text(), std::string("1234") + seps.Decimal + "5");
  EXPECT_EQ(s.Value(), 1234.5L);
  f.Other->SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(s.Text(), std::string("1") + seps.Thousands + "234" + seps.Decimal + "50");
}

TEST(QxSpinEdit, LeavingOutOfRangeShowsTheRangeMessageAndKeepsTheFocus) {
  TRangeErrors errors;
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetMaxValue(10);
  s.SetCheckOnExit(true);
  Retype(s, "50");
  f.Other->SetFocus();
  PumpFor(50);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "La valeur doit être comprise entre 0 et 10");
  EXPECT_TRUE(s.Focused());
  EXPECT_EQ(s.Text(), "50");
  EXPECT_EQ(s.SelLength(), 2);
  // Without the check the value is simply brought into range.
  s.SetCheckOnExit(false);
  f.Other->SetFocus();
  PumpFor(50);
  EXPECT_EQ(s.Text(), "10");
  EXPECT_EQ(errors.messages.size(), 1u);
}

TEST(QxSpinEdit, TheRangeMessageShowsFractionalLimits) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetValueType(vtFloat);
  s.SetMinValue(-1.5L);
  s.SetMaxValue(2.25L);
  const char dec = LocaleSeparators().Decimal;
  try {
    s.ValidateValue(3, true);
    FAIL() << "no range error";
  } catch (const ERangeError& e) {
    EXPECT_EQ(std::string(e.what()), std::string("La valeur doit être comprise entre -1") + dec + "5 et 2" + dec + "25");
  }
  EXPECT_EQ(s.ValidateValue(3, false), 2.25L);
}

TEST(QxSpinEdit, EnterReachesTheDefaultButtonAndIsNotInserted) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  int clicks = 0;
  f.Ok->OnClick = [&](TComponent&) { ++clicks; };
  f.Ok->SetDefault(true);
  s.SetValue(3);
  s.SetFocus();
  App().ProcessMessages();
  Key(s, VK_RETURN);
  EXPECT_EQ(clicks, 1);
  // A character that did not pass the loop's key handling goes the same way.
  Type(s, "\r");
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(s.Text(), "3");
}

TEST(QxSpinEdit, ReadOnlyStepsBeepAndChangeNothing) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  int tops = 0;
  s.OnTopClick = [&](TComponent&) { ++tops; };
  s.SetValue(2);
  s.SetReadOnly(true);
  Key(s, VK_UP);
  s.StepUp();
  EXPECT_EQ(s.Text(), "2");
  EXPECT_EQ(tops, 0);
}

TEST(QxSpinEdit, APasteThatIsNoNumberRestoresTheValue) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetValue(42);
  SetClipboardText(s.Handle(), "abc");
  s.SelectAll();
  SendMessageA(s.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(s.Text(), "42");
  SetClipboardText(s.Handle(), "17");
  s.SelectAll();
  SendMessageA(s.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(s.Text(), "17");
  s.SetEditorEnabled(false);
  SetClipboardText(s.Handle(), "5");
  s.SelectAll();
  SendMessageA(s.Handle(), WM_PASTE, 0, 0);
  SendMessageA(s.Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(s.Text(), "17");
}

TEST(QxSpinEdit, TextBeyondTheRangeOfNumbersReadsAsMinValue) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetMinValue(-5);
  s.SetMaxValue(100);
  s.SetCheckMinValue(false);
  s.SetText("99999999999999999999");
  EXPECT_EQ(s.Value(), -5);
  s.SetValueType(vtFloat);
  s.SetText("1e99999");
  EXPECT_EQ(s.Value(), -5);
  s.SetValueType(vtHex);
  s.SetText("1FFFFFFFFFFFFFFFF");
  EXPECT_EQ(s.Value(), -5);
  // Writing a huge value clamps to the 64-bit range before rounding.
  s.SetMaxValue(0);
  s.SetMinValue(0);
  s.SetValueType(vtInteger);
  s.SetValue(1e30L);
  EXPECT_EQ(s.Text(), "9223372036854775807");
  s.SetValue(-1e300L);
  EXPECT_EQ(s.Text(), "-9223372036854775808");
}

TEST(QxSpinEdit, TheDiagonalButtonStepsByItsHalves) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  ASSERT_NE(s.Button(), nullptr);
  TQxSpinButton& b = *s.Button();
  EXPECT_EQ(b.Width(), s.Height() - 4);  // a square as high as the text area
  HWND holder = b.Parent()->Handle();
  RECT client{}, placed{};
  GetClientRect(s.Handle(), &client);
  GetWindowRect(holder, &placed);
  MapWindowPoints(nullptr, s.Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.right, client.right);  // at the right edge, inside the edit
  EXPECT_EQ(placed.bottom, client.bottom);
  s.SetValue(5);
  // Holder coordinates are the button's plus one.
  ClickAt(holder, 1 + b.Width() / 4, 1 + b.Height() / 4);
  EXPECT_EQ(s.Text(), "6");
  ClickAt(holder, 1 + 3 * b.Width() / 4, 1 + 3 * b.Height() / 4);
  ClickAt(holder, 1 + 3 * b.Width() / 4, 1 + 3 * b.Height() / 4);
  EXPECT_EQ(s.Text(), "4");
  EXPECT_TRUE(s.Focused());
}

TEST(QxSpinEdit, TheButtonStaysDrawnAcrossFocusChanges) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  HWND holder = s.Button()->Parent()->Handle();
  // What the holder paints, and what its window shows after the edit's
  // own painting (a themed frame covers the whole window).
  auto rows = [&](bool printed) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    HDC dc = GetDC(holder);
    if (printed) SendMessageA(holder, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    std::vector<COLORREF> px;
    for (int y = 2; y < 14; y += 3)
      for (int x = 2; x < 14; ++x) px.push_back(printed ? GetPixel(mem, x, y) : GetPixel(dc, x, y));
    ReleaseDC(holder, dc);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return px;
  };
  const auto painted = rows(true);
  f.Other->SetFocus();
  PumpFor(100);
  EXPECT_EQ(rows(false), painted);
  s.SetFocus();
  PumpFor(100);
  EXPECT_EQ(rows(false), painted);
  s.SetButtonKind(bkStandard);
  f.Other->SetFocus();
  PumpFor(100);
  EXPECT_TRUE(IsWindowVisible(s.UpDown()->Handle()));
}

TEST(QxSpinEdit, TheStandardKindUsesTheSystemUpDown) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetValue(5);
  s.SetButtonKind(bkStandard);
  ASSERT_NE(s.UpDown(), nullptr);
  EXPECT_EQ(s.Button(), nullptr);
  TQxUpDown& ud = *s.UpDown();
  EXPECT_EQ(ud.Width(), SpinButtonWidth());
  RECT client{};
  GetClientRect(s.Handle(), &client);
  EXPECT_EQ(ud.Left() + ud.Width(), client.right);
  ClickAt(ud.Handle(), ud.Width() / 2, 2);
  EXPECT_EQ(s.Text(), "6");
  ClickAt(ud.Handle(), ud.Width() / 2, ud.Height() - 3);
  ClickAt(ud.Handle(), ud.Width() / 2, ud.Height() - 3);
  EXPECT_EQ(s.Text(), "4");
  EXPECT_EQ(ud.Position(), 0);
  // What the main window does on a system colour change keeps the value.
  s.SetButtonKind(bkDiagonal);
  EXPECT_EQ(s.UpDown(), nullptr);
  ASSERT_NE(s.Button(), nullptr);
  EXPECT_EQ(s.Text(), "4");
}

TEST(QxSpinEdit, AHeightBelowTheFontsIsRaised) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetHeight(5);
  EXPECT_GT(s.Height(), 12);
  s.SetAlignment(TAlignment::RightJustify);
  EXPECT_TRUE(GetWindowLongPtrA(s.Handle(), GWL_STYLE) & ES_RIGHT);
  EXPECT_NE(s.Button(), nullptr);
  EXPECT_TRUE(IsWindow(s.Button()->Parent()->HandleIfAllocated()));
}

namespace {
class TOtherForm : public TForm {
public:
  TOtherForm() : TForm(&App(), "TSpinSecondForm") {
    SetBounds(420, 300, 200, 100);
    There = &Make<TEdit>("There");
    There->Place(this, 10, 10, 80, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TEdit* There;
};
}  // namespace

TEST(QxSpinEdit, LeavingOutOfRangeForAnyWindowShowsTheMessageBeforeTheFocusComesBack) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  std::vector<std::string> messages;
  HWND focusAtMessage = nullptr;
  SetRangeErrorDisplay([&](const std::string& m) {
    messages.push_back(m);
    focusAtMessage = GetFocus();
  });
  s.SetMaxValue(10);
  s.SetCheckOnExit(true);
  Retype(s, "50");
  f.Other->SetFocus();
  PumpFor(50);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(focusAtMessage, s.Handle());  // the message came first
  EXPECT_TRUE(s.Focused());
  EXPECT_EQ(s.SelLength(), 2);

  // Another window of the program is an exit too.
  TOtherForm second;
  TEdit& there = *second.There;
  there.SetFocus();
  PumpFor(100);
  // Under Xvfb the X server's own focus event for the new window may come
  // late and be refused once more: at least one message, and the focus ends
  // back in the edit.
  EXPECT_GE(messages.size(), 2u);
  EXPECT_TRUE(s.Focused());
  EXPECT_EQ(s.Text(), "50");
  SetRangeErrorDisplay(nullptr);
  const size_t shown = messages.size();
  Retype(s, "7");
  there.SetFocus();
  PumpFor(50);
  EXPECT_EQ(messages.size(), shown);
  EXPECT_EQ(s.Text(), "7");
  // The spin edit is a masked edit.
  EXPECT_NE(dynamic_cast<TCustomMaskEdit*>(&s), nullptr);
}

namespace {

// Spin edits in every border look, both kinds, left to right and right to
// left, for a screenshot.
class TBorderForm : public TForm {
public:
  TBorderForm() : TForm(&App(), "TSpinBorderForm") {
    SetBounds(60, 60, 470, 250);
    SetCaption("Bordures des zones de saisie");
    const struct {
      TEditBorderStyle border;
      bool ctl3D;
      const char* caption;
    } looks[] = {{TEditBorderStyle::Single, true, "3-D"},
                 {TEditBorderStyle::Single, false, "Simple"},
                 {TEditBorderStyle::None, true, "Sans"}};
    int row = 0;
    for (const auto& look : looks) {
      auto& label = Make<TLabel>("");
      label.Place(this, 10, 14 + 40 * row, 60, 17);
      label.SetCaption(look.caption);
      int col = 0;
      for (TBiDiMode mode : {TBiDiMode::LeftToRight, TBiDiMode::RightToLeft})
        for (TSpinButtonKind kind : {bkDiagonal, bkClassic}) {
          auto& s = Make<TQxSpinEdit>("Spin" + std::to_string(row) + std::to_string(col));
          s.Place(this, 70 + 95 * col, 10 + 40 * row, 85, 23);
          s.SetButtonKind(kind);
          s.SetBorderStyle(look.border);
          s.SetCtl3D(look.ctl3D);
          s.SetBiDiMode(mode);
          s.SetValue(120 + col);
          Spins.push_back(&s);
          ++col;
        }
      ++row;
    }
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  std::vector<TQxSpinEdit*> Spins;
};

RECT FormattingRect(HWND h) {
  RECT r{};
  SendMessageA(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

}  // namespace

TEST(QxSpinEdit, ButtonsSitInsideEveryBorderOnTheReadingSide) {
  TBorderForm f;
  ASSERT_EQ(f.Spins.size(), 12u);
  for (TQxSpinEdit* s : f.Spins) {
    SCOPED_TRACE(s->Name());
    const bool rtl = s->BiDiMode() == TBiDiMode::RightToLeft;
    const LONG_PTR style = GetWindowLongPtrA(s->Handle(), GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrA(s->Handle(), GWL_EXSTYLE);
    const bool threeD = s->BorderStyle() == TEditBorderStyle::Single && s->Ctl3D();
    EXPECT_EQ((ex & WS_EX_CLIENTEDGE) != 0, threeD);
    // A flat line is drawn by the edit inside its own area.
    RECT window{}, inner{};
    GetWindowRect(s->Handle(), &window);
    GetClientRect(s->Handle(), &inner);
    if (!threeD) {
      EXPECT_EQ(inner.right, window.right - window.left);
    }
    EXPECT_EQ((ex & WS_EX_RTLREADING) != 0, rtl);
    // Left alignment reads from the right side when right to left.
    EXPECT_EQ((style & ES_RIGHT) != 0, rtl);

    ASSERT_NE(s->Button(), nullptr);
    TControl& holder = *s->Button()->Parent();
    RECT client{};
    GetClientRect(s->Handle(), &client);
    const int h = s->Height();
    if (threeD) {
      EXPECT_EQ(holder.Top(), -1);
      EXPECT_EQ(holder.Height(), h - 3);
      if (rtl) {
        EXPECT_EQ(holder.Left(), -1);
        EXPECT_EQ(holder.Width(), h - 3);
      } else if (s->ButtonKind() == bkClassic) {
        EXPECT_EQ(holder.Left(), s->Width() - SpinButtonWidth() - 4);
      } else {
        EXPECT_EQ(holder.Left(), s->Width() - h - 1);
      }
    } else {
      // Inside the flat line, or at the very edge without a border.
      const int line = s->BorderStyle() == TEditBorderStyle::Single ? 1 : 0;
      EXPECT_EQ(holder.Top(), line);
      EXPECT_EQ(holder.Height(), client.bottom - 2 * line);
      if (rtl) EXPECT_EQ(holder.Left(), line);
      else EXPECT_EQ(holder.Left() + holder.Width(), client.right - line);
    }
    // The text keeps clear of the buttons (the edit adds its own margins).
    const RECT text = FormattingRect(s->Handle());
    if (rtl) {
      EXPECT_GE(text.left, holder.Left() + holder.Width() - 1);
      EXPECT_LT(text.right, client.right);
    } else {
      EXPECT_LE(text.right, holder.Left() + 1);
      EXPECT_GE(text.left, 0);
    }
  }
  // The system up-down moves to the left side too.
  TQxSpinEdit& s = *f.Spins[2];
  s.SetButtonKind(bkStandard);
  ASSERT_NE(s.UpDown(), nullptr);
  EXPECT_EQ(s.UpDown()->Left(), 0);
  s.SetBiDiMode(TBiDiMode::LeftToRight);
  RECT client{};
  GetClientRect(s.Handle(), &client);
  EXPECT_EQ(s.UpDown()->Left() + s.UpDown()->Width(), client.right);
  s.SetButtonKind(bkDiagonal);
  s.SetBiDiMode(TBiDiMode::RightToLeft);
  f.Repaint();
  PumpFor(100);
  qv::test::SaveScreenArea(qv::test::WholeScreen(), qv::test::BuildScreenshotDir() / "spinedit_borders.bmp");
}

TEST(QxSpinEdit, TheReadingOnlyModesReadFromTheRightAndKeepAlignmentAndButtons) {
  TSpinForm f;
  TQxSpinEdit& s = *f.Spin;
  s.SetButtonKind(bkDiagonal);
  for (TBiDiMode mode : {TBiDiMode::RightToLeftNoAlign, TBiDiMode::RightToLeftReadingOnly}) {
    SCOPED_TRACE(static_cast<int>(mode));
    s.SetBiDiMode(mode);
    const LONG_PTR style = GetWindowLongPtrA(s.Handle(), GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrA(s.Handle(), GWL_EXSTYLE);
    // The reading order a label's or speed button's text takes in this mode.
    EXPECT_NE(s.DrawTextBiDiModeFlags(0) & DT_RTLREADING, 0u);
    EXPECT_NE(ex & WS_EX_RTLREADING, 0);
    EXPECT_EQ(ex & WS_EX_LEFTSCROLLBAR, 0);
    EXPECT_EQ(style & ES_RIGHT, 0);
    RECT client{};
    GetClientRect(s.Handle(), &client);
    const TControl& holder = *s.Button()->Parent();
    EXPECT_GT(holder.Left(), client.right / 2);
  }
}

namespace {
// A spin edit that counts the windows made for it.
class TCountedSpin : public TQxSpinEdit {
public:
  explicit TCountedSpin(TComponent* owner) : TQxSpinEdit(owner) {}
  int Windows = 0;

protected:
  void CreateWnd() override {
    ++Windows;
    TQxSpinEdit::CreateWnd();
  }
};
}  // namespace

TEST(QxSpinEdit, AMoveBetweenParentsOfOneDirectionKeepsItsWindow) {
  TSpinForm f;
  auto& first = f.Make<TPanel>("First");
  first.Place(&f, 100, 40, 100, 40);
  auto& second = f.Make<TPanel>("Second");
  second.Place(&f, 210, 40, 100, 40);
  ASSERT_TRUE(first.HandleAllocated());
  auto& s = f.Make<TCountedSpin>("Counted");
  s.Place(&first, 5, 5, 80, 21);
  ASSERT_TRUE(s.HandleAllocated());
  EXPECT_EQ(s.Windows, 1);
  const HWND made = s.Handle();
  s.SetParent(&second);
  EXPECT_EQ(s.Handle(), made);
  EXPECT_EQ(s.Windows, 1);
  // A parent read from the right still turns it round.
  auto& mirrored = f.Make<TPanel>("Mirrored");
  mirrored.Place(&f, 100, 85, 200, 30);
  mirrored.SetBiDiMode(TBiDiMode::RightToLeft);
  s.SetParent(&mirrored);
  EXPECT_NE(GetWindowLongPtrA(s.Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
}
