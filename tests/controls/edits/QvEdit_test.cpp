// The edit base in a real window: the clipboard gate and the read-only
// rules, groups of edits, the placeholder, the pixel limit, the custom
// caret, disabled painting in colours of its own, the protected password,
// and the caret's owner check.
#include "controls/edits/QvEdit.h"

#include <gtest/gtest.h>

#include "framework/Form.h"
#include "support/QvExceptions.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;

namespace {

class TEditForm : public TForm {
public:
  TEditForm() : TForm(&App(), "TQvEditTestForm") {
    SetClientSize(320, 200);
    for (int i = 0; i < 4; ++i) {
      Edits[i] = &Make<TQvCustomEdit>("Edit" + std::to_string(i));
      Edits[i]->Place(this, 10, 10 + 30 * i, 140, 21);
    }
    Plain = &Make<TEdit>("Plain");
    Plain->Place(this, 170, 10, 100, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQvCustomEdit* Edits[4];
  TEdit* Plain;
};

void Type(TWinControl& c, const std::string& chars) {
  for (char ch : chars) PostMessageA(c.Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

std::string WindowTextOf(HWND h) {
  char buf[256] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

int TextWidth(TWinControl& c, const std::string& s) {
  HDC dc = GetDC(c.Handle());
  HGDIOBJ old = SelectObject(dc, c.EffectiveFont().Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(c.Handle(), dc);
  return size.cx;
}

// Counts the pixels of one colour in a window's client area as the screen
// shows it.
int CountPixels(HWND h, COLORREF color) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT r{};
  GetClientRect(h, &r);
  HDC dc = GetDC(h);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x)
      if (GetPixel(dc, x, y) == color) ++n;
  ReleaseDC(h, dc);
  return n;
}

}  // namespace

TEST(QvEdit, ClipboardGateRefusesWithOneAndReadOnlyPastesNothing) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetText("abc");
  PutOnClipboard("XYZ");
  e.SetClipboardCommands(caCopy | caCut);
  EXPECT_FALSE(e.ReadOnly());
  e.SelectAll();
  EXPECT_EQ(SendMessageA(e.Handle(), WM_PASTE, 0, 0), 1);
  EXPECT_EQ(SendMessageA(e.Handle(), WM_CLEAR, 0, 0), 1);
  EXPECT_EQ(SendMessageA(e.Handle(), EM_UNDO, 0, 0), 1);
  EXPECT_EQ(e.Text(), "abc");

  // Copy alone (or nothing) makes the edit read-only; any other command
  // makes it writable again.
  e.SetClipboardCommands(caCopy);
  EXPECT_TRUE(e.ReadOnly());
  e.SetClipboardCommands(0);
  EXPECT_TRUE(e.ReadOnly());
  e.SetClipboardCommands(kAllClipboardCommands);
  EXPECT_FALSE(e.ReadOnly());
  e.SetReadOnly(true);
  e.SelectAll();
  EXPECT_EQ(SendMessageA(e.Handle(), WM_PASTE, 0, 0), 0);
  EXPECT_EQ(SendMessageA(e.Handle(), WM_CUT, 0, 0), 0);
  EXPECT_EQ(e.Text(), "abc");

  e.SetReadOnly(false);
  e.SelectAll();
  SendMessageA(e.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(e.Text(), "XYZ");
}

TEST(QvEdit, TypingInOneEditOfAGroupEmptiesTheOthersOfThatGroupOnly) {
  TEditForm f;
  const int groups[] = {1, 1, 2, -1};
  for (int i = 0; i < 4; ++i) {
    f.Edits[i]->SetGroupIndex(groups[i]);
    f.Edits[i]->SetText("texte " + std::to_string(i));
  }
  f.Edits[0]->SetFocus();
  // Moving the caret changes nothing: the group stays as it is.
  PostMessageA(f.Edits[0]->Handle(), WM_KEYDOWN, VK_END, 1);
  PostMessageA(f.Edits[0]->Handle(), WM_KEYDOWN, VK_SHIFT, 1);
  App().ProcessMessages();
  EXPECT_EQ(f.Edits[1]->Text(), "texte 1");
  Type(*f.Edits[0], "!");
  EXPECT_EQ(f.Edits[0]->Text(), "texte 0!");
  EXPECT_EQ(f.Edits[1]->Text(), "");
  EXPECT_EQ(f.Edits[2]->Text(), "texte 2");
  EXPECT_EQ(f.Edits[3]->Text(), "texte 3");

  // A paste counts as typing.
  f.Edits[1]->SetText("b");
  PutOnClipboard("z");
  SendMessageA(f.Edits[1]->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.Edits[0]->Text(), "");
}

TEST(QvEdit, PlaceholderShowsOnlyWhileEmptyAndUnfocusedAndNeverReachesText) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  f.Plain->SetFocus();
  e.SetEmptyValue("(aucun)");
  EXPECT_EQ(WindowTextOf(e.Handle()), "(aucun)");
  EXPECT_EQ(e.Text(), "");
  EXPECT_TRUE(e.EmptyValueShown());
  EXPECT_EQ(e.FontColor(), clGrayText);

  e.SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(WindowTextOf(e.Handle()), "");
  EXPECT_EQ(e.FontColor(), e.EffectiveFont().Color());
  Type(e, "ab");
  f.Plain->SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(e.Text(), "ab");
  EXPECT_FALSE(e.EmptyValueShown());

  e.SetText("");
  EXPECT_EQ(WindowTextOf(e.Handle()), "(aucun)");
  EXPECT_EQ(e.Text(), "");

  // A value that reads like the placeholder is still a value.
  e.SetFocus();
  App().ProcessMessages();
  Type(e, "(aucun)");
  f.Plain->SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(e.Text(), "(aucun)");
  EXPECT_FALSE(e.EmptyValueShown());
  EXPECT_EQ(e.FontColor(), e.EffectiveFont().Color());
  e.SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(WindowTextOf(e.Handle()), "(aucun)");
}

TEST(QvEdit, PixelLimitCutsTheEndAndKeepsTheCaretInside) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.MaxPixel().SetLength(50);
  e.SetFocus();
  Type(e, "WWWWWWWWWWWWWWWW");
  const std::string text = e.Text();
  EXPECT_FALSE(text.empty());
  EXPECT_LT(text.size(), 16u);
  EXPECT_LE(TextWidth(e, text), 50);
  EXPECT_GT(TextWidth(e, text + "W"), 50);
  EXPECT_LE(e.SelStart(), static_cast<int>(text.size()));

  // A lower limit cuts the text already there.
  e.MaxPixel().SetLength(20);
  EXPECT_LE(TextWidth(e, e.Text()), 20);
  // Length 0: no limit.
  e.MaxPixel().SetLength(0);
  Type(e, "WWWWWWWWWW");
  EXPECT_GT(TextWidth(e, e.Text()), 50);
}

TEST(QvEdit, CustomCaretTakesItsSizeWhileFocused) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetText("abc");
  e.Caret().SetWidth(6);
  e.Caret().SetHeight(12);
  e.SetFocus();
  App().ProcessMessages();
  EXPECT_TRUE(e.Caret().Created());
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
  EXPECT_EQ(info.hwndCaret, e.Handle());
  EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, 6);
  EXPECT_EQ(info.rcCaret.bottom - info.rcCaret.top, 12);

  // A change while focused recreates it at once.
  e.Caret().SetWidth(3);
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
  EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, 3);

  // Leaving: the caret goes with the focus, and the edit knows it.
  f.Plain->SetFocus();
  App().ProcessMessages();
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
  EXPECT_NE(info.hwndCaret, e.Handle());
  EXPECT_FALSE(e.Caret().Created());
  // Back and forth keeps one caret of the set size.
  e.SetFocus();
  App().ProcessMessages();
  EXPECT_TRUE(e.Caret().Created());
  ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
  EXPECT_EQ(info.hwndCaret, e.Handle());
  EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, 3);
}

TEST(QvEdit, CaretNeedsAnOwner) {
  try {
    TQvCaret caret(nullptr);
    FAIL();
  } catch (const EQVLException& e) {
    EXPECT_STREQ(e.what(), "TQvCaret: cannot be created without a valid Owner");
  }
}

TEST(QvEdit, DisabledPaintsInItsOwnColoursOnlyWhenTheyAreNotTheDefaults) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetText("MMMM");
  e.SetEnabled(false);
  PumpFor(50);
  const COLORREF red = RGB(255, 0, 0), yellow = RGB(255, 255, 0);
  EXPECT_EQ(CountPixels(e.Handle(), red), 0);

  e.SetDisabledTextColor(red);
  e.SetDisabledColor(yellow);
  PumpFor(50);
  EXPECT_GT(CountPixels(e.Handle(), red), 10);
  EXPECT_GT(CountPixels(e.Handle(), yellow), 100);

  // As password characters when there is a password character: the same
  // number of characters in a narrower glyph.
  const int letters = CountPixels(e.Handle(), red);
  e.SetPasswordChar('.');
  EXPECT_GT(CountPixels(e.Handle(), red), 0);
  EXPECT_LT(CountPixels(e.Handle(), red), letters);
}

// Read from the right, a disabled edit draws its text where the enabled
// one shows it: a left-aligned text at the right.
TEST(QvEdit, DisabledPaintingFollowsTheReadingDirection) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetText("MM");
  e.SetDisabledTextColor(RGB(255, 0, 0));
  e.SetEnabled(false);
  auto redOnTheLeft = [&] {
    RedrawWindow(e.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r{};
    GetClientRect(e.Handle(), &r);
    HDC dc = GetDC(e.Handle());
    int left = 0, right = 0;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x)
        if (GetPixel(dc, x, y) == RGB(255, 0, 0)) ++(x < r.right / 2 ? left : right);
    ReleaseDC(e.Handle(), dc);
    EXPECT_GT(left + right, 10);
    return left > right;
  };
  EXPECT_TRUE(redOnTheLeft());
  e.SetBiDiMode(TBiDiMode::RightToLeftReadingOnly);
  EXPECT_TRUE(redOnTheLeft()) << "a reading-only direction keeps the alignment";
  e.SetBiDiMode(TBiDiMode::RightToLeft);
  EXPECT_FALSE(redOnTheLeft());
}

TEST(QvEdit, ProtectedPasswordHidesTheTextFromOtherReaders) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetPasswordChar('*');
  e.SetText("secret");
  e.SetProtectPassword(true);
  char buf[32] = {};
  EXPECT_EQ(SendMessageA(e.Handle(), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(SendMessageA(e.Handle(), WM_GETTEXTLENGTH, 0, 0), 0);
  e.SelectAll();
  EXPECT_EQ(SendMessageA(e.Handle(), WM_COPY, 0, 0), 0);
  // The edit itself still reads and changes it.
  EXPECT_EQ(e.Text(), "secret");
  EXPECT_EQ(e.PasswordChar(), '*');
  e.SetPasswordChar('#');
  EXPECT_EQ(e.PasswordChar(), '#');
  e.SetProtectPassword(false);
  EXPECT_EQ(WindowTextOf(e.Handle()), "secret");
}

TEST(QvEdit, AlignmentRecreatesTheWindowWithTheTextKept) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  e.SetText("droite");
  e.SetAlignment(TAlignment::RightJustify);
  EXPECT_TRUE(GetWindowLongPtrA(e.Handle(), GWL_STYLE) & ES_RIGHT);
  EXPECT_EQ(e.Text(), "droite");
  EXPECT_EQ(WindowTextOf(e.Handle()), "droite");
  // A flat edit has a single line instead of the sunken border.
  e.SetFlat(true);
  EXPECT_FALSE(e.ParentFlat());
  EXPECT_FALSE(GetWindowLongPtrA(e.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // The system edit draws that line inside its client area.
  RedrawWindow(e.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(e.Handle());
  EXPECT_EQ(GetPixel(dc, 0, 8), GetSysColor(COLOR_WINDOWFRAME));
  ReleaseDC(e.Handle(), dc);
  e.SetThemedPassword(true);
  EXPECT_TRUE(GetWindowLongPtrA(e.Handle(), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(e.Text(), "droite");
}

TEST(QvEdit, AutoHintOffersTheWholeTextOnlyWhenItDoesNotFit) {
  TEditForm f;
  TQvCustomEdit& e = *f.Edits[0];
  std::string text;
  TPoint at{};
  e.SetText("court");
  EXPECT_FALSE(e.AutoHintShow(text, at));
  e.SetAutoHint(true);
  EXPECT_FALSE(e.AutoHintShow(text, at));
  e.SetText("un texte bien trop long pour tenir dans la zone");
  ASSERT_TRUE(e.AutoHintShow(text, at));
  EXPECT_EQ(text, e.Text());
  EXPECT_EQ(at.X, e.ClientToScreen(TPoint{-2, 0}).X);
  // Past the sunken frame: the edit's outer bottom-left corner, so the
  // tooltip opens just below the edit.
  ASSERT_NE(GetWindowLongA(e.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RECT frame{};
  GetWindowRect(e.Handle(), &frame);
  EXPECT_EQ(at.X, frame.left);
  EXPECT_EQ(at.Y, frame.bottom);
  e.SetPasswordChar('*');
  EXPECT_FALSE(e.AutoHintShow(text, at));
}
