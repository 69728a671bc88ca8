// Common controls in real windows under Wine: status bar panels and simple
// mode, rich edit colour runs, date/time picker values and texts, up-down
// steps, radio groups.
#include "framework/ComCtrls.h"

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "FwTestSupport.h"
#include "framework/Bitmap.h"
#include "framework/Exception.h"
#include "framework/Streams.h"
#include "framework/Form.h"
#include "framework/RadioGroup.h"

using namespace qv::fw;
using qv::fw::test::TestApp;

namespace {

class THostForm : public TForm {
public:
  explicit THostForm(TComponent* owner) : TForm(owner, "TComCtrlsHost") {
    SetClientSize(400, 300);
    FinishCreate();
  }
};

std::vector<int> Parts(TStatusBar& bar) {
  int rights[64];
  const int n = static_cast<int>(SendMessageA(bar.Handle(), SB_GETPARTS, 64, reinterpret_cast<LPARAM>(rights)));
  return std::vector<int>(rights, rights + n);
}

// A derived bar counting how often the panels reached the native control.
class TCountingBar : public TStatusBar {
public:
  using TStatusBar::TStatusBar;
  int applied = 0;

protected:
  void PanelsChanged() override { ++applied; }
};

}  // namespace

TEST(StatusBar, PanelsReachTheNativeControl) {
  TestApp();
  THostForm form(&TestApp());
  auto& bar = form.Make<TCountingBar>("StatusBar");
  bar.SetParent(&form);
  EXPECT_EQ(bar.Top(), form.ClientHeight() - 19);  // aligned to the bottom
  EXPECT_EQ(bar.Width(), form.ClientWidth());
  bar.AddPanel(372, "Pr\xEAt");
  auto& count = bar.AddPanel(50);
  count.SetAlignment(TAlignment::RightJustify);
  count.SetText("12 fichiers");
  EXPECT_EQ(Parts(bar), (std::vector<int>{372, 422}));
  EXPECT_EQ(bar.PartText(0), "Pr\xEAt");
  EXPECT_EQ(bar.PartText(1), "12 fichiers");
  bar.SetLastPanelFills(true);
  EXPECT_EQ(Parts(bar), (std::vector<int>{372, -1}));

  const int before = bar.applied;
  bar.BeginUpdate();
  bar.Panel(0).SetWidth(100);
  bar.Panel(0).SetText("attente");
  EXPECT_EQ(bar.PartText(0), "Pr\xEAt");  // nothing reaches the control while updating
  bar.EndUpdate();
  EXPECT_EQ(bar.applied, before + 1);
  EXPECT_EQ(Parts(bar), (std::vector<int>{100, -1}));
  EXPECT_EQ(bar.PartText(0), "attente");
  EXPECT_THROW(bar.Panel(2), EQvError);
}

TEST(StatusBar, SimpleModeAndAutoHint) {
  TestApp();
  THostForm form(&TestApp());
  auto& bar = form.Make<TStatusBar>("StatusBar");
  bar.SetParent(&form);
  bar.AddPanel(100, "un");
  EXPECT_FALSE(bar.ExecuteHint("ignored"));  // AutoHint off
  bar.SetAutoHint(true);
  EXPECT_TRUE(bar.ExecuteHint("Choisir le dossier"));
  EXPECT_TRUE(bar.SimplePanel());
  EXPECT_TRUE(SendMessageA(bar.Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(bar.PartText(SB_SIMPLEID), "Choisir le dossier");
  EXPECT_TRUE(bar.ExecuteHint(""));
  EXPECT_FALSE(SendMessageA(bar.Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(bar.PartText(0), "un");
  int hinted = 0;
  bar.OnHint = [&](TComponent&) { ++hinted; };
  EXPECT_TRUE(bar.ExecuteHint("x"));
  EXPECT_EQ(hinted, 1);
  EXPECT_FALSE(bar.SimplePanel());
}

TEST(RichEdit, CentredColouredReadOnlyPreview) {
  TestApp();
  THostForm form(&TestApp());
  auto& re = form.Make<TRichEdit>("RichEdit");
  re.Place(&form, 10, 10, 300, 24);
  re.SetReadOnly(true);
  re.SetMaxLength(255);
  re.SetAlignment(TAlignment::Center);
  re.SetColor(clBtnFace);
  re.Font().SetColor(0x800000);
  re.SetText("SansNom_001.txt");
  re.ColorRange(8, 3, 0x0000FF);
  re.SetSelection(0, 0);
  EXPECT_EQ(re.Text(), "SansNom_001.txt");
  EXPECT_EQ(re.TextColorAt(0), 0x800000u);
  EXPECT_EQ(re.TextColorAt(8), 0x0000FFu);
  EXPECT_EQ(re.TextColorAt(10), 0x0000FFu);
  EXPECT_EQ(re.TextColorAt(11), 0x800000u);
  EXPECT_EQ(re.SelLength(), 0);
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  SendMessageA(re.Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(pf.wAlignment, PFA_CENTER);
  EXPECT_TRUE(SendMessageA(re.Handle(), EM_GETOPTIONS, 0, 0) & ECO_READONLY);
  // The background colour set is the one the control holds (it returns it
  // when replaced).
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(re.Handle(), EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3))),
            GetSysColor(COLOR_BTNFACE));
  re.SetText("SansNom_001.txt");  // the same text again starts over too
  EXPECT_EQ(re.TextColorAt(8), 0x800000u);
  re.ColorRange(8, 3, 0x0000FF);
  // New text starts over in the font colour, still centred.
  re.SetText("Mod\xE8le non visible");
  EXPECT_EQ(re.TextColorAt(8), 0x800000u);
  SendMessageA(re.Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(pf.wAlignment, PFA_CENTER);
  re.SetText(std::string(300, 'x'));
  EXPECT_EQ(re.Text().size(), 255u);
}

TEST(DateTimePicker, TimeAndDateModesShowFixedSeparators) {
  TestApp();
  THostForm form(&TestApp());
  auto& time = form.Make<TDateTimePicker>("TimePicker");
  time.SetKind(TDateTimeKind::Time);
  time.Place(&form, 10, 10, 100, 21);
  const TDateTime v = EncodeDateTime(2024, 7, 14, 13, 5, 9).value();
  ASSERT_TRUE(time.SetDateTime(v));
  EXPECT_DOUBLE_EQ(time.DateTime(), v);
  EXPECT_EQ(time.Caption(), "13:05:09");
  char buf[32] = {};
  SendMessageA(time.Handle(), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ(buf, "13:05:09");  // readable from another process too
  EXPECT_NEAR(time.Time(), (13 * 3600 + 5 * 60 + 9) / 86400.0, 1e-9);

  time.SetKind(TDateTimeKind::Date);  // re-created with the same value
  EXPECT_TRUE(time.HandleAllocated());
  EXPECT_EQ(time.Caption(), "14/07/2024");
  EXPECT_FALSE(GetWindowLongPtrA(time.Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
  time.SetFormat("yyyy'-'MM'-'dd");
  EXPECT_EQ(time.Caption(), "2024-07-14");
  EXPECT_FALSE(time.SetDateTime(EncodeDateTime(1500, 1, 1).value()));
  EXPECT_DOUBLE_EQ(time.DateTime(), v);
}

TEST(DateTimePicker, CheckBoxAndUserChanges) {
  TestApp();
  THostForm form(&TestApp());
  auto& dtp = form.Make<TDateTimePicker>("DatePicker");
  dtp.SetShowCheckbox(true);
  dtp.Place(&form, 10, 10, 120, 21);
  const TDateTime v = EncodeDateTime(2001, 2, 3).value();
  dtp.SetDateTime(v);
  EXPECT_TRUE(dtp.Checked());
  dtp.SetChecked(false);
  EXPECT_FALSE(dtp.Checked());
  SYSTEMTIME st{};
  EXPECT_EQ(SendMessageA(dtp.Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_NONE);
  dtp.SetChecked(true);
  EXPECT_DOUBLE_EQ(dtp.DateTime(), v);
  // A change the control reports (as a user's) reaches OnChange and the value.
  int changes = 0;
  dtp.OnChange = [&](TComponent&) { ++changes; };
  NMDATETIMECHANGE n{};
  n.nmhdr.hwndFrom = dtp.Handle();
  n.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(dtp.Handle()));
  n.nmhdr.code = DTN_DATETIMECHANGE;
  n.dwFlags = GDT_VALID;
  n.st = SYSTEMTIME{2002, 3, 0, 4, 5, 6, 7, 0};
  SendMessageA(form.Handle(), WM_NOTIFY, n.nmhdr.idFrom, reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(changes, 1);
}

TEST(UpDown, StepsRefusalsAndThePlainBuddyText) {
  TestApp();
  THostForm form(&TestApp());
  auto& edit = form.Make<TEdit>("Edit");
  edit.Place(&form, 10, 10, 60, 21);
  auto& ud = form.Make<TUpDown>("UpDown");
  ud.Place(&form, 70, 10, 17, 21);
  ud.SetRange(0, 5000);
  ud.SetIncrement(10);
  ud.SetAssociate(&edit);
  ud.SetPosition(1234);
  EXPECT_EQ(edit.Text(), "1234");  // never "1 234" nor "1,234"
  std::vector<TUDBtnType> clicks;
  bool allow = true;
  ud.OnChanging = [&](TComponent&, bool& a) { a = allow; };
  ud.OnClick = [&](TComponent&, TUDBtnType b) { clicks.push_back(b); };
  auto press = [&](int y) {
    SendMessageA(ud.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, y));
    SendMessageA(ud.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, y));
  };
  press(3);  // upper arrow
  EXPECT_EQ(ud.Position(), 1244);
  press(18);  // lower arrow
  EXPECT_EQ(ud.Position(), 1234);
  EXPECT_EQ(clicks, (std::vector<TUDBtnType>{TUDBtnType::Up, TUDBtnType::Down}));
  allow = false;
  press(3);
  EXPECT_EQ(ud.Position(), 1234);
  EXPECT_EQ(clicks.size(), 2u);
  ud.SetPosition(9999);
  EXPECT_EQ(ud.Position(), 5000);
}

TEST(RadioGroup, ItemsButtonsAndItemIndex) {
  TestApp();
  THostForm form(&TestApp());
  auto& g = form.Make<TRadioGroup>("RadioPosIndice");
  g.Place(&form, 10, 10, 330, 80);
  g.SetCaption("      Indice       ");
  g.SetItems({"Laisser", "Premi\xE8re", "Derni\xE8re"});
  int clicks = 0;
  g.OnClick = [&](TComponent&) { ++clicks; };
  EXPECT_EQ(g.ItemIndex(), -1);
  ASSERT_NE(g.Button(2), nullptr);
  EXPECT_EQ(g.Button(2)->Name(), "RadioPosIndiceItem2");
  EXPECT_EQ(GetParent(g.Button(2)->Handle()), g.Handle());
  EXPECT_GT(g.Button(1)->Top(), g.Button(0)->Top());
  EXPECT_LE(g.Button(2)->Top() + g.Button(2)->Height(), g.Height());
  SendMessageA(g.Button(2)->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(g.ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(g.SetItemIndex(0));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(SendMessageA(g.Button(0)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(g.Button(2)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(g.SetItemIndex(0));
  EXPECT_EQ(clicks, 2);  // no change, no click
  EXPECT_FALSE(g.SetItemIndex(3));
  EXPECT_TRUE(g.Button(0)->TabStop());
  EXPECT_FALSE(g.Button(1)->TabStop());
  // Arrows move the choice and wrap.
  SendMessageA(g.Button(0)->Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(g.ItemIndex(), 2);
  SendMessageA(g.Button(2)->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(g.ItemIndex(), 0);
  EXPECT_EQ(clicks, 4);
  EXPECT_TRUE(g.SetItemIndex(-1));
  EXPECT_EQ(SendMessageA(g.Button(0)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Shows every control of this file in one window and keeps a picture of it
// (screenshots/ComCtrls.bmp beside the test) for a look by eye.
TEST(ComCtrls, ShownTogether) {
  TestApp();
  THostForm form(&TestApp());
  form.SetCaption("Contr\xF4les communs");
  auto& bar = form.Make<TStatusBar>("StatusBar");
  bar.SetParent(&form);
  bar.AddPanel(250, "Choisissez un dossier");
  bar.AddPanel(50, "1 234 fichiers (12,5 Mo)");
  bar.SetLastPanelFills(true);
  auto& re = form.Make<TRichEdit>("RichEdit");
  re.Place(&form, 10, 10, 380, 24);
  re.SetReadOnly(true);
  re.SetAlignment(TAlignment::Center);
  re.SetColor(clBtnFace);
  re.Font().SetColor(0x800000);
  re.SetText("SansNom_1000.txt");
  re.ColorRange(8, 2, 0xFF0000);
  re.ColorRange(10, 2, 0x0000FF);
  auto& time = form.Make<TDateTimePicker>("TimePicker");
  time.SetKind(TDateTimeKind::Time);
  time.Place(&form, 10, 44, 90, 21);
  time.SetDateTime(EncodeDateTime(2024, 7, 14, 13, 5, 9).value());
  auto& date = form.Make<TDateTimePicker>("DatePicker");
  date.SetShowCheckbox(true);
  date.Place(&form, 110, 44, 120, 21);
  date.SetDateTime(EncodeDateTime(2024, 7, 14).value());
  auto& edit = form.Make<TEdit>("Edit");
  edit.Place(&form, 240, 44, 60, 21);
  auto& ud = form.Make<TUpDown>("UpDown");
  ud.Place(&form, 300, 44, 17, 21);
  ud.SetRange(0, 100000);
  ud.SetAssociate(&edit);
  ud.SetPosition(12345);
  auto& g = form.Make<TRadioGroup>("RadioPosIndice");
  g.Place(&form, 10, 75, 380, 90);
  g.SetCaption("      Indice       ");
  g.SetItems({"Laisser l'indice \xE0 sa position actuelle", "Placer l'indice \xE0 la premi\xE8re position",
              "Placer l'indice \xE0 la derni\xE8re position"});
  g.SetItemIndex(1);
  form.Show();
  for (int i = 0; i < 20; ++i) {
    TestApp().ProcessMessages();
    Sleep(10);
  }
  RECT r;
  GetWindowRect(form.Handle(), &r);
  TBitmap shot;
  ASSERT_TRUE(shot.Create(r.right - r.left, r.bottom - r.top, 24));
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Dc(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  CreateDirectoryA("screenshots", nullptr);
  TFileStream f;
  ASSERT_TRUE(f.Open(L"screenshots\\ComCtrls.bmp", TFileMode::Create));
  ASSERT_TRUE(shot.SaveToStream(f));
  // The status bar's text is drawn: its strip is not one flat colour.
  POINT p{4, bar.Top() + 9};
  ClientToScreen(form.Handle(), &p);
  int dark = 0;
  for (int x = 0; x < 200; ++x)
    if (GetRValue(shot.Pixel(p.x - r.left + x, p.y - r.top)) < 100) ++dark;
  EXPECT_GT(dark, 5);
  form.Hide();
}
