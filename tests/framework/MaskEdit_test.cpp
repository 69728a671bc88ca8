// Tests of framework/MaskEdit.h: mask parsing and formatting, then typing,
// deleting and pasting into a real edit through the application's loop.
#include "framework/MaskEdit.h"

#include <gtest/gtest.h>

#include "FwTestSupport.h"
#include "framework/Form.h"

using namespace qv::fw;

namespace {

class TMaskForm : public TForm {
public:
  TMaskForm() : TForm(&test::TestApp(), "TMaskTestForm") {
    SetClientSize(240, 80);
    Edit = &Make<TCustomMaskEdit>("Edit");
    Edit->Place(this, 10, 10, 100, 21);
    Other = &Make<TEdit>("Other");
    Other->Place(this, 10, 40, 100, 21);
    FinishCreate();
    Show();
    Edit->SetFocus();
    test::TestApp().ProcessMessages();
  }
  TCustomMaskEdit* Edit;
  TEdit* Other;
};

void Type(TWinControl& c, const std::string& chars) {
  for (char ch : chars) PostMessageA(c.Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  test::TestApp().ProcessMessages();
}

void Key(TWinControl& c, WORD vk) {
  PostMessageA(c.Handle(), WM_KEYDOWN, vk, 1);
  PostMessageA(c.Handle(), WM_KEYUP, vk, 0xC0000001);
  test::TestApp().ProcessMessages();
}

}  // namespace

TEST(EditMask, ParsesPlacesLiteralsAndTheTrailingFields) {
  const TEditMask m("!99/99/9999;1;_");
  EXPECT_EQ(m.Length(), 10);
  EXPECT_TRUE(m.SaveLiterals());
  EXPECT_EQ(m.Blank(), '_');
  EXPECT_TRUE(m.IsLiteral(2));
  EXPECT_EQ(m.LiteralAt(5), '/');
  EXPECT_EQ(m.Accept(0, '7'), '7');
  EXPECT_EQ(m.Accept(0, 'x'), 0);
  EXPECT_EQ(m.Accept(2, '/'), 0);
  EXPECT_FALSE(m.Required(0));
  EXPECT_EQ(m.NextEditable(2), 3);
  EXPECT_EQ(m.PreviousEditable(2), 1);
  EXPECT_EQ(m.NextEditable(10), -1);
  const TEditMask upper(">LL\\-00;0; ");
  EXPECT_EQ(upper.Length(), 5);
  EXPECT_FALSE(upper.SaveLiterals());
  EXPECT_EQ(upper.Accept(0, 'b'), 'B');
  EXPECT_TRUE(upper.IsLiteral(2));
  EXPECT_TRUE(upper.Required(3));
}

TEST(EditMask, FormatsValuesIntoThePlacesAndStripsThemBack) {
  const TEditMask m("!99/99/9999;1;_");
  EXPECT_EQ(m.Format("25/12/2024"), "25/12/2024");
  EXPECT_EQ(m.Format(""), "__/__/____");
  EXPECT_EQ(m.Format("3/4"), "3_/4_/____");  // an early literal closes a field
  EXPECT_EQ(m.Format("25122024"), "25/12/2024");
  EXPECT_EQ(m.Strip("25/12/____"), "25/12/    ");
  const TEditMask noLiterals(">LL\\-00;0; ");
  EXPECT_EQ(noLiterals.Format("ab12"), "AB-12");
  EXPECT_EQ(noLiterals.Strip("AB-12"), "AB12");
  EXPECT_EQ(noLiterals.FirstMissing("AB-1 "), 4);
  EXPECT_EQ(noLiterals.FirstMissing("AB-12"), -1);
}

TEST(MaskEdit, TypingFillsPlacesSkipsLiteralsAndRefusesOthers) {
  TMaskForm f;
  TCustomMaskEdit& e = *f.Edit;
  e.SetEditMask("!99/99/9999;1;_");
  EXPECT_EQ(e.EditText(), "__/__/____");
  EXPECT_EQ(e.Text(), "  /  /    ");
  e.SetSelection(0, 0);
  Type(e, "2512x2024");
  EXPECT_EQ(e.EditText(), "25/12/2024");
  EXPECT_TRUE(e.Modified());
  // A typed separator jumps to the next field.
  e.SetText("");
  e.SetSelection(0, 0);
  Type(e, "3/4/");
  EXPECT_EQ(e.EditText(), "3_/4_/____");
  // Backspace and Delete blank places and keep the literals.
  e.SetText("25/12/2024");
  e.SetSelection(3, 0);
  Type(e, "\b");
  EXPECT_EQ(e.EditText(), "2_/12/2024");
  e.SetSelection(6, 0);
  Key(e, VK_DELETE);
  EXPECT_EQ(e.EditText(), "2_/12/_024");
  e.SelectAll();
  Type(e, "\b");
  EXPECT_EQ(e.EditText(), "__/__/____");
}

TEST(MaskEdit, PasteTypesTheClipboardAndReadOnlyRefusesIt) {
  TMaskForm f;
  TCustomMaskEdit& e = *f.Edit;
  e.SetEditMask("!99/99/9999;1; ");
  ASSERT_TRUE(OpenClipboard(e.Handle()));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 9);
  memcpy(GlobalLock(mem), "01022023", 9);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  e.SetSelection(0, 0);
  SendMessageA(e.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(e.Text(), "01/02/2023");
  e.SetReadOnly(true);
  e.SetText("");
  e.SetSelection(0, 0);
  SendMessageA(e.Handle(), WM_PASTE, 0, 0);
  Type(e, "12");
  EXPECT_EQ(e.Text(), "  /  /    ");
}

TEST(MaskEdit, LeavingWithARequiredPlaceBlankRaisesAndTakesTheFocusBack) {
  TMaskForm f;
  TCustomMaskEdit& e = *f.Edit;
  std::vector<std::string> errors;
  auto previous = test::TestApp().OnException;
  test::TestApp().OnException = [&](const std::string& m) { errors.push_back(m); };
  e.SetEditMask("00:00;1;_");
  e.SetSelection(0, 0);
  Type(e, "12");
  f.Other->SetFocus();
  for (int i = 0; i < 20 && errors.empty(); ++i) {
    test::TestApp().ProcessMessages();
    Sleep(5);
  }
  test::TestApp().OnException = previous;
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(e.Focused());
  EXPECT_EQ(e.EditText(), "12:__");
}
