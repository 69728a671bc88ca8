// The combo edit with a popup of its own in a real window: the ellipsis
// picture's dots, the caret's width by font weight, Tab and line feed
// handed to the form, and every way of closing the popup passing through
// the overridable HidePopup (with a magnified screenshot of the button).
#include "controls/edits/QxComboEdit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;

namespace {

class TTextPopup : public TPopupWindow {
public:
  explicit TTextPopup(TComponent* owner) : TPopupWindow(owner) { SetBounds(0, 0, 120, 60); }
  TPopupValue ReadValue() override { return std::string("choisi"); }
  void WriteValue(const TPopupValue&) override {}
};

// Records each close with its verdict, then closes as the base does.
class TCountingCombo : public TCustomComboEdit {
public:
  explicit TCountingCombo(TComponent* owner) : TCustomComboEdit(owner) { SetPopup(&Make<TTextPopup>("")); }
  std::vector<bool> Closes;

protected:
  void HidePopup(bool accept) override {
    Closes.push_back(accept);
    TCustomComboEdit::HidePopup(accept);
  }
};

class TComboForm : public TForm {
public:
  TComboForm() : TForm(&App(), "TComboTestForm") {
    SetBounds(120, 120, 320, 160);
    Combo = &Make<TCountingCombo>("Combo");
    Combo->Place(this, 10, 10, 120, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 10, 60, 80, 21);
    FinishCreate();
    Show();
    Combo->SetFocus();
    qv::test::PumpFor(100);  // the form's activation settles first
  }
  TCountingCombo* Combo;
  TEdit* Other;
};

void Key(HWND h, WORD vk) {
  PostMessageA(h, WM_KEYDOWN, vk, 1);
  PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
  App().ProcessMessages();
}

void Chars(HWND h, const std::string& chars) {
  for (char ch : chars) PostMessageA(h, WM_CHAR, static_cast<unsigned char>(ch), 1);
  App().ProcessMessages();
}

int CaretWidth() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !info.hwndCaret) return -1;
  return info.rcCaret.right - info.rcCaret.left;
}

}  // namespace

TEST(QxComboEdit, EllipsisDotsAreCentredInThePicture) {
  TComboForm f;
  TCountingCombo& c = *f.Combo;
  ASSERT_EQ(c.ButtonWidth(), 21);
  c.SetGlyphKind(gkEllipsis);
  const TBitmap& g = c.Button()->Glyph();
  ASSERT_EQ(g.Width(), 15);
  ASSERT_EQ(g.Height(), 4);
  // Dots of 2 x 2 at 1, 6 and 11, none cut by the right edge.
  std::string row1, row2;
  for (int x = 0; x < 15; ++x) {
    row1 += g.Pixel(x, 1) == RGB(0, 0, 0) ? '#' : '.';
    row2 += g.Pixel(x, 2) == RGB(0, 0, 0) ? '#' : '.';
  }
  EXPECT_EQ(row1, ".##...##...##..");
  EXPECT_EQ(row2, row1);
  for (int x = 0; x < 15; ++x) {
    EXPECT_NE(g.Pixel(x, 0), RGB(0, 0, 0)) << x;
    EXPECT_NE(g.Pixel(x, 3), RGB(0, 0, 0)) << x;
  }
  // A narrow button: the gap shrinks to one pixel, the dots stay whole.
  c.SetButtonWidth(14);
  const TBitmap& n = c.Button()->Glyph();
  ASSERT_EQ(n.Width(), 8);
  std::string narrow;
  for (int x = 0; x < 8; ++x) narrow += n.Pixel(x, 1) == RGB(0, 0, 0) ? '#' : '.';
  EXPECT_EQ(narrow, "##.##.##");
  c.SetButtonWidth(21);
  c.Button()->Invalidate();
  App().ProcessMessages();
  RECT br;
  GetWindowRect(c.Button()->Handle(), &br);
  qv::test::SaveScreenArea(br, qv::test::BuildScreenshotDir() / "combo-ellipsis.bmp");
}

TEST(QxComboEdit, ABoldFontGetsATwoPixelCaret) {
  TComboForm f;
  TCountingCombo& c = *f.Combo;
  ASSERT_TRUE(c.Focused());
  EXPECT_EQ(CaretWidth(), 1);
  TFontStyles bold;
  bold.Bold = true;
  c.Font().Assign(c.EffectiveFont());
  c.Font().SetStyle(bold);
  App().ProcessMessages();
  EXPECT_EQ(CaretWidth(), 2);
  // Again on coming back, and after the popup gave the caret back.
  f.Other->SetFocus();
  c.SetFocus();
  App().ProcessMessages();
  EXPECT_EQ(CaretWidth(), 2);
  c.ButtonPressed();
  ASSERT_TRUE(c.PopupVisible());
  Key(c.Handle(), VK_ESCAPE);
  EXPECT_EQ(CaretWidth(), 2);
}

TEST(QxComboEdit, TabAndLineFeedGoToTheFormsCharacterHandler) {
  TComboForm f;
  TCountingCombo& c = *f.Combo;
  std::string heard;
  f.OnKeyPress = [&](TComponent&, char& key) { heard += key; };
  c.SetText("abc");
  c.SetSelection(3, 0);
  Chars(c.Handle(), "\t\nd");
  EXPECT_EQ(heard, "\t\n");
  EXPECT_EQ(c.Text(), "abcd");
}

TEST(QxComboEdit, EveryCloseGoesThroughHidePopup) {
  TComboForm f;
  TCountingCombo& c = *f.Combo;
  c.ButtonPressed();
  ASSERT_TRUE(c.PopupVisible());
  Key(c.Handle(), VK_ESCAPE);
  EXPECT_FALSE(c.PopupVisible());
  c.ButtonPressed();
  Key(c.Handle(), VK_RETURN);
  EXPECT_EQ(c.Text(), "choisi");
  // A second press on the button closes, accepting, and opens nothing.
  c.ButtonPressed();
  HWND button = c.Button()->Handle();
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  App().ProcessMessages();
  EXPECT_FALSE(c.PopupVisible());
  // Leaving the edit closes without accepting and leaves the focus where
  // it went.
  c.ButtonPressed();
  f.Other->SetFocus();
  App().ProcessMessages();
  EXPECT_FALSE(c.PopupVisible());
  EXPECT_TRUE(f.Other->Focused());
  EXPECT_EQ(c.Closes, (std::vector<bool>{false, true, true, false}));
}
