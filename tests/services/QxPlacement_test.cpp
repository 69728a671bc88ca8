// The form placement store against the registry (a test key of its own) and
// INI files: values written in their order, restored, junk ignored, other
// densities and resolutions, state, the form's own events, size limits.
#include "services/QxPlacement.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "framework/Exception.h"
#include "framework/Registry.h"
#include "framework/StdCtrls.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::fw::Registry::ReadString;
using qv::fw::Registry::WriteString;
using qv::test::App;
using qv::test::PumpFor;
using qv::test::PumpUntil;

namespace {

// A key of each test's own: the test cases run in parallel processes.
std::string g_key, g_section;

// A form with two edits and, when asked, a placement made with its layout.
class TPlacedForm : public qv::fw::TForm {
public:
  explicit TPlacedForm(bool placeInLayout, qv::fw::TBorderStyle border = qv::fw::TBorderStyle::Sizeable)
      : TForm(&App(), "TPlacedForm") {
    SetBorderStyle(border);
    SetBounds(50, 60, 300, 200);
    Edit1 = &Make<qv::fw::TEdit>("Edit1");
    Edit1->Place(this, 10, 10, 100, 20);
    Edit1->SetTabStop(true);
    Edit2 = &Make<qv::fw::TEdit>("Edit2");
    Edit2->Place(this, 10, 40, 100, 20);
    Edit2->SetTabStop(true);
    if (placeInLayout) Use(Make<TFormPlacement>("FormPlacement"));
    OnShow = [this](qv::fw::TComponent&) { ++shows; };
    OnCloseQuery = [this](qv::fw::TComponent&, bool&) { ++queries; };
    FinishCreate();
  }
  TFormPlacement& Placement() {
    if (!placement) Use(Make<TFormPlacement>("FormPlacement"));
    return *placement;
  }
  RECT WindowRect() {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return r;
  }
  qv::fw::TEdit* Edit1;
  qv::fw::TEdit* Edit2;
  TFormPlacement* placement = nullptr;
  int shows = 0, queries = 0;

private:
  void Use(TFormPlacement& p) {
    placement = &p;
    p.SetIniFileName(g_key);
    p.SetIniSection("Placement");
  }
};

// Each test starts and ends without the test key.
class Placement : public ::testing::Test {
protected:
  void SetUp() override {
    App();
    g_key = std::string("Software\\Halbrecht\\QvInputTests\\") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    g_section = g_key + "\\Placement";
    qv::fw::Registry::DeleteKey(g_key);
  }
  void TearDown() override { qv::fw::Registry::DeleteKey(g_key); }
  static std::string Stored(const std::string& name) { return ReadString(g_section, name).value_or("<none>"); }
  static void Store(const std::string& name, const std::string& value) { WriteString(g_section, name, value); }
  static std::string Ppi() { return std::to_string(ScreenPixelsPerInch()); }
};

// Records the writes of the placement routines, in order.
class TRecordingStorage : public TPlacementStorage {
public:
  std::vector<std::string> writes;
  bool Read(const std::string&, const std::string&, std::string&) override { return false; }
  void Write(const std::string& section, const std::string& ident, const std::string& value) override {
    writes.push_back(section + "/" + ident + "=" + value);
  }
};

}  // namespace

TEST_F(Placement, WritesTheValuesInTheirOrder) {
  TPlacedForm form(false);
  form.SetBounds(10, 20, 400, 300);
  TRecordingStorage rec;
  WriteFormPlacement(form, &rec, "S");
  const std::string wh = ScreenSizeSuffix();
  ASSERT_EQ(rec.writes.size(), 7u);
  EXPECT_EQ(rec.writes[0].rfind("S/Flags=", 0), 0u);
  EXPECT_EQ(rec.writes[1], "S/ShowCmd=" + std::to_string(SW_SHOWNORMAL));
  EXPECT_EQ(rec.writes[2], "S/PixelsPerInch=" + Ppi());
  EXPECT_EQ(rec.writes[3].rfind("S/MinMaxPos" + wh + "=", 0), 0u);
  EXPECT_EQ(rec.writes[4].rfind("S/MinMaxPos=", 0), 0u);
  EXPECT_EQ(rec.writes[5], "S/NormPos" + wh + "=10,20,410,320");
  EXPECT_EQ(rec.writes[6], "S/NormPos=10,20,410,320");
  EXPECT_EQ(wh, "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                    std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")");
}

TEST_F(Placement, StoreFollowsLoadAndWritesStrings) {
  TPlacedForm form(false);
  TFormPlacement& p = form.Placement();
  p.StorePlacement();  // active and never restored: nothing
  EXPECT_FALSE(qv::fw::Registry::KeyExists(g_key));
  p.LoadPlacement();
  form.SetBounds(10, 20, 400, 300);
  int saves = 0;
  p.OnSavePlacement = [&](qv::fw::TComponent&) { ++saves; };
  p.SetVersion(3);
  p.StorePlacement();
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(Stored("FormVersion"), "3");
  EXPECT_EQ(Stored("NormPos"), "10,20,410,320");
  EXPECT_EQ(Stored("NormPos" + ScreenSizeSuffix()), "10,20,410,320");
  EXPECT_EQ(Stored("ShowCmd"), std::to_string(SW_SHOWNORMAL));
  EXPECT_EQ(Stored("PixelsPerInch"), Ppi());
  EXPECT_EQ(Stored("Visible"), "0");
  EXPECT_EQ(Stored("ActiveControl"), "<none>") << "only with fpActiveControl";
}

TEST_F(Placement, RestoresTheStoredRectangleOnAHiddenForm) {
  Store("PixelsPerInch", Ppi());
  Store("NormPos", "30,40,530,440");
  Store("ShowCmd", "1");
  TPlacedForm form(false);
  int restores = 0;
  form.Placement().OnRestorePlacement = [&](qv::fw::TComponent&) { ++restores; };
  form.Placement().LoadPlacement();
  EXPECT_EQ(restores, 1);
  EXPECT_FALSE(IsWindowVisible(form.Handle())) << "restoring never shows the form";
  RECT r = form.WindowRect();
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right, 530);
  EXPECT_EQ(r.bottom, 440);
  form.Show();
  PumpFor(30);
  r = form.WindowRect();
  EXPECT_EQ(r.left, 30) << "showing keeps the restored place";
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(form.Width(), 500);
  form.Hide();
}

TEST_F(Placement, JunkValuesAreIgnored) {
  TPlacedForm form(false);
  const RECT before = form.WindowRect();
  Store("FormVersion", "two");
  Store("Flags", "zz");
  Store("PixelsPerInch", "lots");
  Store("ShowCmd", "maximised");
  Store("MinMaxPos", "a b c");
  Store("NormPos", "x,y,,");
  qv::fw::Registry::WriteInteger(g_section, "NormPos" + ScreenSizeSuffix(), 12345);  // wrong type
  form.Placement().LoadPlacement();
  const RECT after = form.WindowRect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_FALSE(IsZoomed(form.Handle()));

  Store("NormPos", "100,junk,600,junk");  // numbers taken, words not
  form.Placement().LoadPlacement();
  const RECT mixed = form.WindowRect();
  EXPECT_EQ(mixed.left, 100);
  EXPECT_EQ(mixed.top, before.top);
  EXPECT_EQ(mixed.right, 600);
  EXPECT_EQ(mixed.bottom, before.bottom);
}

TEST_F(Placement, OtherDensitiesAndResolutions) {
  TPlacedForm form(false);
  const RECT before = form.WindowRect();
  Store("PixelsPerInch", std::to_string(ScreenPixelsPerInch() + 24));
  Store("NormPos", "30,40,530,440");
  form.Placement().LoadPlacement();
  EXPECT_EQ(form.WindowRect().left, before.left) << "another pixel density is ignored";

  Store("PixelsPerInch", Ppi());
  Store("NormPos(1x1)", "1,1,2,2");  // another screen's value
  form.Placement().LoadPlacement();
  EXPECT_EQ(form.WindowRect().left, 30) << "the plain value without one for this screen";

  Store("NormPos" + ScreenSizeSuffix(), "70,80,470,380");
  form.Placement().LoadPlacement();
  EXPECT_EQ(form.WindowRect().left, 70) << "this screen's own value first";
  EXPECT_EQ(form.WindowRect().bottom, 380);
}

TEST_F(Placement, AFixedBorderKeepsItsSize) {
  TPlacedForm form(false, qv::fw::TBorderStyle::Dialog);
  const int w = form.Width(), h = form.Height();
  Store("PixelsPerInch", Ppi());
  Store("NormPos", "10,20,900,800");
  form.Placement().LoadPlacement();
  const RECT r = form.WindowRect();
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, w);
  EXPECT_EQ(r.bottom - r.top, h);
}

TEST_F(Placement, AnOlderVersionIsNotApplied) {
  TPlacedForm form(false);
  const RECT before = form.WindowRect();
  Store("FormVersion", "1");
  Store("PixelsPerInch", Ppi());
  Store("NormPos", "30,40,530,440");
  form.Placement().SetVersion(2);
  form.Placement().LoadPlacement();
  EXPECT_EQ(form.WindowRect().left, before.left);
  form.Placement().StorePlacement();  // but it counts as restored
  EXPECT_EQ(Stored("FormVersion"), "2");
}

TEST_F(Placement, MaximisedStateWaitsForTheFirstShow) {
  Store("PixelsPerInch", Ppi());
  Store("NormPos", "30,40,530,440");
  Store("ShowCmd", "3");
  TPlacedForm form(false);
  form.Placement().LoadPlacement();
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_FALSE(IsZoomed(form.Handle()));
  form.Show();
  EXPECT_TRUE(PumpUntil([&] { return IsZoomed(form.Handle()) != FALSE; }, 2000));
  // Saved while maximised: the normal rectangle is kept apart.
  form.Placement().StorePlacement();
  EXPECT_EQ(Stored("ShowCmd"), std::to_string(SW_SHOWMAXIMIZED));
  EXPECT_EQ(Stored("NormPos"), "30,40,530,440");
  form.Hide();
}

TEST_F(Placement, AVisibleFormTakesTheStateAtOnce) {
  TPlacedForm form(false);
  form.Show();
  PumpFor(20);
  Store("ShowCmd", "3");
  form.Placement().LoadPlacement();
  EXPECT_TRUE(IsZoomed(form.Handle()));
  Store("ShowCmd", "1");
  form.Placement().LoadPlacement();
  EXPECT_FALSE(IsZoomed(form.Handle()));
  form.Hide();
}

// The program minimises as a whole through its application window, which
// hands it to the main form (the taskbar button's owner) and stays hidden.
TEST_F(Placement, MinimisedMainFormMinimisesTheProgram) {
  TPlacedForm form(false);
  App().SetMainForm(&form);
  form.Show();
  Store("ShowCmd", "2");
  form.Placement().LoadPlacement();
  PumpFor(50);
  EXPECT_TRUE(IsIconic(form.Handle()));
  EXPECT_FALSE(IsWindowVisible(App().Handle()));
  SendMessageA(App().Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(form.Handle()));
  EXPECT_FALSE(IsWindowVisible(App().Handle()));
  App().SetMainForm(nullptr);
}

TEST_F(Placement, TheFormsOwnEventsLoadAndSave) {
  Store("PixelsPerInch", Ppi());
  Store("NormPos", "30,40,530,440");
  {
    TPlacedForm form(true);
    EXPECT_EQ(Stored("Visible"), "<none>");  // nothing stored so far
    form.Show();
    EXPECT_EQ(form.shows, 1) << "the form's own handler still runs";
    EXPECT_EQ(form.WindowRect().left, 30);
    form.SetBounds(60, 70, 320, 240);
    PumpFor(20);
    form.Close();
    EXPECT_EQ(form.queries, 1);
    EXPECT_EQ(Stored("NormPos"), "60,70,380,310");
    EXPECT_EQ(Stored("Visible"), "0");
  }
  qv::fw::Registry::DeleteKey(g_key);
  {
    TPlacedForm form(true);
    form.Show();
    PumpFor(20);
  }  // freed without closing: saved as it goes
  EXPECT_EQ(Stored("Visible"), "1");
}

TEST_F(Placement, AFormClosedBeforeLoadingStoresNothing) {
  {
    TPlacedForm form(true);
    form.Close();
  }
  EXPECT_FALSE(qv::fw::Registry::KeyExists(g_key));
}

TEST_F(Placement, FreeingThePlacementGivesTheFormItsHandlersBack) {
  TPlacedForm form(true);
  delete form.placement;
  form.placement = nullptr;
  form.Show();
  EXPECT_EQ(form.shows, 1);
  form.Close();
  EXPECT_EQ(form.queries, 1);
  EXPECT_FALSE(qv::fw::Registry::KeyExists(g_key));
}

TEST_F(Placement, KeepsTheActiveControl) {
  {
    TPlacedForm form(false);
    form.Placement().SetOptions({fpState, fpPosition, fpActiveControl});
    form.Show();
    form.Edit2->SetFocus();
    form.SetActiveControl(form.Edit2);
    form.Placement().LoadPlacement();
    form.Placement().StorePlacement();
    form.Hide();
  }
  EXPECT_EQ(Stored("ActiveControl"), "Edit2");
  TPlacedForm again(false);
  again.Placement().SetOptions({fpActiveControl});
  again.Show();
  again.SetActiveControl(again.Edit1);
  again.Placement().LoadPlacement();
  EXPECT_EQ(again.ActiveControl(), again.Edit2);
  again.Hide();
}

TEST_F(Placement, PreventResizePinsTheForm) {
  TPlacedForm form(false);
  form.Show();
  PumpFor(20);
  HWND h = form.Handle();
  ASSERT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_MAXIMIZEBOX);
  form.Placement().SetPreventResize(true);
  EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_MAXIMIZEBOX);

  RECT r = form.WindowRect();
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, (r.top + r.bottom) / 2)), HTNOWHERE);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM((r.left + r.right) / 2, r.bottom - 1)), HTNOWHERE);
  MINMAXINFO mmi{};
  SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, form.Width());
  EXPECT_EQ(mmi.ptMaxTrackSize.y, form.Height());

  HMENU system = GetSystemMenu(h, FALSE);
  ASSERT_NE(system, nullptr);
  SendMessageA(h, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  EXPECT_TRUE(GetMenuState(system, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);

  form.Placement().SetPreventResize(false);
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_MAXIMIZEBOX);
  r = form.WindowRect();
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, (r.top + r.bottom) / 2)), HTRIGHT);
  form.Hide();
}

TEST_F(Placement, OnlyTheLimitsSetReplaceTheSystems) {
  TPlacedForm form(false);
  form.Show();
  PumpFor(20);
  form.Placement().MinMaxInfo().SetMinTrackWidth(300);
  MINMAXINFO mmi{};
  mmi.ptMaxTrackSize = POINT{7777, 7777};
  mmi.ptMinTrackSize = POINT{7777, 7777};
  mmi.ptMaxSize = POINT{7777, 7777};
  mmi.ptMaxPosition = POINT{7777, 7777};
  SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 300);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 7777);
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 7777);
  EXPECT_EQ(mmi.ptMaxPosition.y, 7777);

  MoveWindow(form.Handle(), 50, 60, 120, 200, TRUE);
  PumpFor(20);
  EXPECT_GE(form.WindowRect().right - form.WindowRect().left, 300);

  TWinMinMaxInfo none;
  form.Placement().SetMinMaxInfo(none);  // back to the system's limits
  MoveWindow(form.Handle(), 50, 60, 200, 200, TRUE);
  PumpFor(20);
  EXPECT_EQ(form.WindowRect().right - form.WindowRect().left, 200);
  form.Hide();
}

TEST_F(Placement, IniFilesKeepTheOrderAndTheQuotes) {
  qv::test::TTempFolder dir;
  const std::string file = dir.File("placement.ini");
  TPlacedForm form(false);
  TFormPlacement& p = form.Placement();
  p.SetUseRegistry(false);
  p.SetIniFileName(file);
  p.SetOptions({fpPosition, fpActiveControl});
  p.SetActive(false);
  form.SetActiveControl(form.Edit1);
  p.StorePlacement();
  std::ifstream in(file);
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '[') continue;
    names.push_back(line.substr(0, line.find('=')));
  }
  const std::string wh = ScreenSizeSuffix();
  EXPECT_EQ(names, (std::vector<std::string>{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" + wh,
                                             "MinMaxPos", "NormPos" + wh, "NormPos", "Visible", "ActiveControl"}));
  p.WriteStoredString("Other", "Quoted", "\"x y\"");
  p.WriteStoredString("Other", "Single", "'z'");
  EXPECT_EQ(p.ReadStoredString("Other", "Quoted", ""), "\"x y\"");
  EXPECT_EQ(p.ReadStoredString("Other", "Single", ""), "'z'");
  EXPECT_EQ(p.ReadStoredString("Other", "Missing", "def"), "def");
  EXPECT_EQ(p.ReadStoredInteger("FormVersion", -1), 0);
}

TEST_F(Placement, DirectCallsRaiseAndHooksShow) {
  TPlacedForm form(false);
  TFormPlacement& p = form.Placement();
  p.SetUseRegistry(false);
  p.SetIniFileName("Z:\\no\\such\\folder\\at\\all\\x.ini");
  p.SetActive(false);
  EXPECT_THROW(p.StorePlacement(), qv::fw::EQvError);
  EXPECT_NO_THROW(p.LoadPlacement()) << "the store was closed after the failure";

  TPlacedForm hooked(true);
  hooked.placement->SetUseRegistry(false);
  hooked.placement->SetIniFileName("Z:\\no\\such\\folder\\at\\all\\x.ini");
  hooked.Show();
  const size_t shown = qv::test::ShownErrors().size();
  hooked.Close();  // the save fails: shown, and the form closes all the same
  EXPECT_EQ(qv::test::ShownErrors().size(), shown + 1);
  EXPECT_FALSE(IsWindowVisible(hooked.Handle()));
}

TEST_F(Placement, DefaultNames) {
  TPlacedForm form(false);
  EXPECT_EQ(GetDefaultSection(&form), "TPlacedForm");
  EXPECT_EQ(GetDefaultSection(form.Edit1), "TPlacedFormEdit1");
  EXPECT_EQ(GetDefaultSection(&form.Placement()), "TPlacedForm.FormPlacement");
  EXPECT_EQ(GetDefaultSection(nullptr), "");
  TFormPlacement loose(nullptr);
  loose.SetName("Loose");
  EXPECT_EQ(loose.IniSection(), "");
  EXPECT_EQ(GetDefaultSection(&loose), "Loose");
  EXPECT_FALSE(loose.Options().Has(fpState)) << "no form, no default options";
  EXPECT_TRUE(form.Placement().Options().Has(fpPosition));

  EXPECT_EQ(GetDefaultIniRegKey(), "Software\\services_tests");
  EXPECT_EQ(GetDefaultIniName(), "services_tests.INI");
  DefaultCompanyName = "Halbrecht";
  EXPECT_EQ(GetDefaultIniRegKey(), "Software\\Halbrecht\\services_tests");
  UseAppTitleForRegKey = true;
  EXPECT_EQ(GetDefaultIniRegKey(), "Software\\Halbrecht\\QvInputTests");
  DefaultCompanyName.clear();
  UseAppTitleForRegKey = false;
  DefaultIniNameProc = [] { return std::string("custom.ini"); };
  EXPECT_EQ(GetDefaultIniName(), "custom.ini");
  DefaultIniNameProc = nullptr;
  TFormPlacement& p = form.Placement();
  p.SetIniFileName("");
  EXPECT_EQ(p.IniFileName(), "Software\\services_tests");
  p.SetUseRegistry(false);
  EXPECT_EQ(p.IniFileName(), "services_tests.INI");
}
