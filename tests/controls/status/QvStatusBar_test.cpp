// The status bar in a real window: its parts (the last one reaching the
// right edge), controls hosted in panels and kept in place, hosted controls
// freed under it, and hint mode taking over the whole bar.
#include "controls/status/QvStatusBar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

namespace {

// A freed panel is filled with a pattern and never given back while the test
// runs, so any walk that still reaches one reads a wild control pointer and
// crashes at once instead of reading stale memory quietly.
class TPoisonedPanel : public TQvStatusPanel {
public:
  using TQvStatusPanel::TQvStatusPanel;
  static void operator delete(void* p, size_t size) {
    std::memset(p, 0xA5, size);
    Quarantine().push_back(p);
  }
  static std::vector<void*>& Quarantine() {
    static std::vector<void*> freed;
    return freed;
  }
};

class TPoisonedBar : public TQvStatusBar {
public:
  using TQvStatusBar::TQvStatusBar;

protected:
  std::unique_ptr<TStatusPanel> CreatePanel() override { return std::make_unique<TPoisonedPanel>(*this); }
};

class TPoisonedForm : public TForm {
public:
  static constexpr int kPanels = 3;
  TPoisonedForm() : TForm(&App(), "TStatusBarTestForm") {
    SetClientSize(600, 150);
    Bar = &Make<TPoisonedBar>("StatusBar");
    Bar->SetParent(this);
    for (int i = 0; i < kPanels; ++i) {
      Edits[i] = &Make<TEdit>("Hosted" + std::to_string(i));
      Edits[i]->SetBounds(0, 0, 20, 10);
    }
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  // Panel i is 100 + 10 * i wide; the mask says which panels host their edit.
  void Rebuild(unsigned mask) {
    Bar->ClearPanels();
    for (int i = 0; i < kPanels; ++i) {
      Bar->AddPanel(100 + 10 * i);
      if (mask & (1u << i)) Bar->QvPanel(i).SetControl(Edits[i]);
    }
    Ids.assign({0, 1, 2});
  }
  // Every remaining panel still places its own edit, and no edit of a deleted
  // panel is held any longer.
  void ExpectConsistent(unsigned mask) const {
    ASSERT_EQ(Bar->PanelCount(), static_cast<int>(Ids.size()));
    int x = 0;
    for (int i = 0; i < Bar->PanelCount(); ++i) {
      const TQvStatusPanel& p = Bar->QvPanel(i);
      const int id = Ids[static_cast<size_t>(i)];
      EXPECT_EQ(p.Width(), 100 + 10 * id);
      if (mask & (1u << id)) {
        EXPECT_EQ(p.Control(), Edits[id]);
        Bar->LayoutControls();
        EXPECT_EQ(Edits[id]->Left(), x + 3);
      } else {
        EXPECT_EQ(p.Control(), nullptr);
      }
      x += p.Width();
    }
  }
  TPoisonedBar* Bar;
  TEdit* Edits[kPanels];
  std::vector<int> Ids;
};

}  // namespace

TEST(QvStatusBar, PanelsGoInAnyOrderWhateverTheyHost) {
  TPoisonedForm f;
  // Every set of hosting panels, every deletion order, and a clear after
  // each step of it.
  for (unsigned mask = 0; mask < (1u << TPoisonedForm::kPanels); ++mask) {
    std::vector<int> order{0, 1, 2};
    do {
      for (size_t clearAfter = 0; clearAfter <= order.size(); ++clearAfter) {
        SCOPED_TRACE("mask " + std::to_string(mask) + ", clear after " + std::to_string(clearAfter));
        f.Rebuild(mask);
        for (size_t step = 0; step < clearAfter; ++step) {
          // Deletes the panel that was built as order[step], wherever it now is.
          const auto at = std::find(f.Ids.begin(), f.Ids.end(), order[step]);
          const int index = static_cast<int>(at - f.Ids.begin());
          f.Ids.erase(at);
          f.Bar->DeletePanel(index);
          f.ExpectConsistent(mask);
        }
        if (clearAfter < order.size()) {
          f.Bar->ClearPanels();
          f.Ids.clear();
          f.ExpectConsistent(mask);
        }
      }
    } while (std::next_permutation(order.begin(), order.end()));
  }
  // The edits of deleted panels are free to go, and the bar keeps working.
  f.Rebuild(0b101);
  f.Bar->DeletePanel(1);
  delete f.Edits[1];
  f.Bar->QvPanel(0).SetWidth(50);
  EXPECT_EQ(f.Edits[2]->Left(), 50 + 3);
  f.Bar->ClearPanels();
  delete f.Edits[0];
  delete f.Edits[2];
  EXPECT_EQ(f.Bar->PanelCount(), 0);
}

TEST(QvStatusBar, AHintTakenBeforeTheWindowExistsShowsWhenItIsMade) {
  class THintFirstForm : public TForm {
  public:
    THintFirstForm() : TForm(&App(), "TStatusBarTestForm") {
      SetClientSize(600, 150);
      Bar = &Make<TQvStatusBar>("StatusBar");
      Bar->SetParent(this);
      Bar->AddPanel(372);
      Bar->AddPanel(50);
      Bar->SetAutoHint(true);
      TookIt = Bar->ExecuteHint("Ouvrir un dossier");
      HadWindow = Bar->HandleAllocated();
      FinishCreate();
      Show();
      App().ProcessMessages();
    }
    TQvStatusBar* Bar;
    bool TookIt, HadWindow;
  } f;
  TQvStatusBar& bar = *f.Bar;
  EXPECT_TRUE(f.TookIt);
  ASSERT_FALSE(f.HadWindow);
  int rights[256] = {};
  auto parts = [&] {
    const auto n = SendMessageA(bar.Handle(), SB_GETPARTS, 256, reinterpret_cast<LPARAM>(rights));
    return std::vector<int>(rights, rights + n);
  };
  EXPECT_EQ(parts(), (std::vector<int>{-1}));
  EXPECT_EQ(bar.PartText(0), "Ouvrir un dossier");
  // The same when the window is made again meanwhile.
  bar.DestroyHandle();
  bar.HandleNeeded();
  EXPECT_EQ(parts(), (std::vector<int>{-1}));
  EXPECT_EQ(bar.PartText(0), "Ouvrir un dossier");
  EXPECT_TRUE(bar.ExecuteHint(""));
  EXPECT_EQ(parts(), (std::vector<int>{372, -1}));
}
