// The status bar in a real window: its parts (the last one reaching the
// right edge), controls hosted in panels and kept in place, hosted controls
// freed under it, and hint mode taking over the whole bar.
#include "controls/status/QvStatusBar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "framework/Form.h"
#include "support/QvExceptions.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;

namespace {

class TBarForm : public TForm {
public:
  TBarForm() : TForm(&App(), "TStatusBarTestForm") {
    SetClientSize(600, 150);
    Bar = &Make<TQvStatusBar>("StatusBar");
    Bar->SetParent(this);
    Bar->AddPanel(372);
    Bar->AddPanel(50);
    Edit = &Make<TEdit>("Hosted");
    Edit->SetBounds(0, 0, 60, 10);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  std::vector<int> Parts() const {
    int rights[256] = {};
    const auto n = SendMessageA(Bar->HandleIfAllocated(), SB_GETPARTS, 256, reinterpret_cast<LPARAM>(rights));
    return std::vector<int>(rights, rights + n);
  }
  TQvStatusBar* Bar;
  TEdit* Edit;
};

}  // namespace

TEST(QvStatusBar, TheLastPanelReachesTheRightEdge) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  EXPECT_EQ(bar.Top() + bar.Height(), f.ClientHeight());
  EXPECT_EQ(bar.Width(), 600);
  EXPECT_EQ(f.Parts(), (std::vector<int>{372, -1}));
  const std::string count = " 1 234 fichiers dans 123 456 789 octets";
  bar.QvPanel(1).SetText(count);
  bar.QvPanel(0).SetText("Aide");
  EXPECT_EQ(bar.PartText(1), count);
  EXPECT_EQ(bar.PartText(0), "Aide");
  RECT r{};
  SendMessageA(bar.Handle(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_GT(r.right - r.left, 200);  // not 50: the file count is not cut
}

TEST(QvStatusBar, HostedControlsFollowTheirPanels) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  bar.QvPanel(0).SetWidth(100);
  bar.QvPanel(1).SetControl(f.Edit);  // panel 0 has none but still advances X
  TEdit& e = *f.Edit;
  EXPECT_EQ(e.Parent(), &bar);
  EXPECT_EQ(e.Left(), 100 + 3);
  EXPECT_EQ(e.Top(), 3);
  RECT client{};
  GetClientRect(bar.Handle(), &client);
  EXPECT_EQ(e.Height(), client.bottom - 4);
  EXPECT_EQ(GetParent(e.Handle()), bar.Handle());
  bar.QvPanel(0).SetWidth(150);
  EXPECT_EQ(e.Left(), 150 + 3);
  bar.QvPanel(1).SetMarginLeft(10);
  bar.QvPanel(1).SetMarginTop(1);
  EXPECT_EQ(e.Left(), 150 + 10);
  EXPECT_EQ(e.Top(), 1);
  bar.BeginUpdate();  // a change outside the bar's own path still relayouts
  bar.QvPanel(0).SetWidth(80);
  bar.EndUpdate();
  EXPECT_EQ(e.Left(), 80 + 10);
  // Resizing the window keeps the bar at the bottom and the control in place.
  f.SetClientSize(500, 200);
  App().ProcessMessages();
  EXPECT_EQ(bar.Width(), 500);
  EXPECT_EQ(e.Left(), 80 + 10);
  EXPECT_EQ(e.Top(), 1);
}

TEST(QvStatusBar, AControlGivenToASecondPanelLeavesTheFirst) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  bar.QvPanel(0).SetWidth(100);
  bar.QvPanel(0).SetControl(f.Edit);
  EXPECT_EQ(f.Edit->Left(), 3);
  bar.QvPanel(1).SetControl(f.Edit);
  EXPECT_EQ(bar.QvPanel(0).Control(), nullptr);
  EXPECT_EQ(bar.QvPanel(1).Control(), f.Edit);
  EXPECT_EQ(f.Edit->Left(), 100 + 3);
  // A layout pass places it by its one panel only.
  bar.QvPanel(0).SetWidth(120);
  EXPECT_EQ(f.Edit->Left(), 120 + 3);
}

TEST(QvStatusBar, AFreedHostedControlLeavesItsPanelEmpty) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  auto* temp = new TEdit(&f);
  bar.QvPanel(0).SetControl(temp);
  bar.QvPanel(1).SetControl(f.Edit);
  delete temp;
  EXPECT_EQ(bar.QvPanel(0).Control(), nullptr);
  EXPECT_EQ(bar.QvPanel(1).Control(), f.Edit);
  bar.QvPanel(0).SetWidth(200);
  bar.QvPanel(0).SetText("encore");
  EXPECT_EQ(bar.PartText(0), "encore");
  EXPECT_EQ(f.Edit->Left(), 203);
  // A panel deleted from a live bar lets its control go.
  bar.DeletePanel(1);
  EXPECT_EQ(bar.PanelCount(), 1);
  delete f.Edit;
  f.Edit = nullptr;
}

TEST(QvStatusBar, TheBarCannotHostItself) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  try {
    bar.QvPanel(0).SetControl(&bar);
    FAIL() << "no error";
  } catch (const EQVLException& e) {
    EXPECT_STREQ(e.what(), "Invalid control selection");
  }
  EXPECT_EQ(bar.QvPanel(0).Control(), nullptr);
  EXPECT_EQ(bar.Parent(), &f);
}

TEST(QvStatusBar, AHintTakesOverTheBarUntilABlankOne) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  auto& hidden = f.Make<TEdit>("Hidden");
  hidden.SetParent(&bar);
  hidden.Hide();
  bar.QvPanel(1).SetControl(f.Edit);
  bar.QvPanel(0).SetText("Panneau");
  EXPECT_FALSE(bar.ExecuteHint("Astuce"));  // AutoHint off: not taken
  EXPECT_FALSE(bar.HintMode());
  bar.SetAutoHint(true);
  EXPECT_TRUE(bar.ExecuteHint("  Ouvrir un dossier  "));
  EXPECT_TRUE(bar.HintMode());
  EXPECT_EQ(f.Parts(), (std::vector<int>{-1}));
  EXPECT_EQ(bar.PartText(0), "Ouvrir un dossier");
  EXPECT_FALSE(f.Edit->Visible());
  // Panel changes meanwhile wait for the panels to come back.
  bar.QvPanel(0).SetText("Nouveau");
  EXPECT_EQ(bar.PartText(0), "Ouvrir un dossier");
  EXPECT_TRUE(bar.ExecuteHint("Renommer"));
  EXPECT_EQ(bar.PartText(0), "Renommer");
  EXPECT_TRUE(bar.ExecuteHint(" \t "));  // blanks only: the panels are back
  EXPECT_FALSE(bar.HintMode());
  EXPECT_EQ(f.Parts(), (std::vector<int>{372, -1}));
  EXPECT_EQ(bar.PartText(0), "Nouveau");
  EXPECT_TRUE(f.Edit->Visible());
  EXPECT_FALSE(hidden.Visible());
  // An OnHint handler takes the hint instead, and ends hint mode.
  EXPECT_TRUE(bar.ExecuteHint("Aide"));
  int handled = 0;
  bar.OnHint = [&](TComponent&) { ++handled; };
  EXPECT_TRUE(bar.ExecuteHint("Quitter"));
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(bar.HintMode());
  EXPECT_TRUE(f.Edit->Visible());
}

TEST(QvStatusBar, AControlFreedDuringHintModeIsNotShownAgain) {
  TBarForm f;
  TQvStatusBar& bar = *f.Bar;
  bar.QvPanel(1).SetControl(f.Edit);
  bar.SetAutoHint(true);
  bar.ExecuteHint("Astuce");
  delete f.Edit;
  f.Edit = nullptr;
  bar.ExecuteHint("");
  EXPECT_FALSE(bar.HintMode());
  EXPECT_EQ(bar.QvPanel(1).Control(), nullptr);
}
