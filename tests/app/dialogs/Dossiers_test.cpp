// The folder dialog over a real folder tree: its layout, the stored folder
// preselected (or not, when it is gone), accept, cancel and the close box,
// and a double click that accepts a leaf folder but only opens a parent; a
// preselected folder that goes from outside leaves its parent selected.
#include <gtest/gtest.h>

#include "app/Dossiers.h"
#include "app/dialogs/DialogTestSupport.h"
#include "controls/shell/FileChange.h"

using namespace qv;
using namespace qv::test;
using app::TDossiers;

namespace {

class TFolderHost : public app::IDialogHost {
public:
  TFolderHost() {
    CreateDirectoryW(W(root), nullptr);
    CreateDirectoryW(W(root + u"\\Vacances"), nullptr);
    CreateDirectoryW(W(root + u"\\Vacances\\Plage"), nullptr);
    CreateDirectoryW(W(root + u"\\Travail"), nullptr);
  }
  // The dialog's watches end on their own threads after it has gone, and
  // Wine keeps a watched folder until its watch lets go: the folders are
  // removed once none is open.
  ~TFolderHost() override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (controls::TFileChangeThread::OpenHandleCount() > 0 && std::chrono::steady_clock::now() < end) {
      App().ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  std::string Path(const std::string& rel = {}) const { return A(root) + (rel.empty() ? "" : "\\" + rel); }

  eng::TProgramOptions& Options() override { return options; }
  app::TDialogPlacement DialogPlacement() override { return {40, 30, 8, 60}; }
  HBITMAP TextureSource() override { return texture.Handle(); }

  eng::testing::TTempFolder temp;
  const std::u16string root = temp / u"Dossiers été";
  eng::TProgramOptions options;
  TTestTexture texture;
};

TDriver::TStep Found(TDossiers*& d) {
  return [&d] {
    d = FindForm<TDossiers>("TDossiers");
    return d != nullptr && d->TreeView->HandleAllocated();
  };
}

// Runs the dialog through ChooseFolder with the driver's steps.
std::optional<std::string> Choose(TFolderHost& host, TDriver& driver) {
  driver.Start();
  auto chosen = app::ChooseFolder(host);
  EXPECT_TRUE(driver.Finished());
  App().ProcessMessages();  // the dialog frees itself
  EXPECT_EQ(FindWindowA("TDossiers", nullptr), nullptr);
  return chosen;
}

// The first click of a double click selects the node; the control's own
// click handling would wait for the real mouse, so the selection is made
// directly.
void DoubleClickNode(TDossiers& d, fw::TTreeNode* node) {
  node->SetSelected(true);
  const fw::TRect r = node->DisplayRect(true);
  const LPARAM at = MAKELPARAM(r.Left + 3, (r.Top + r.Bottom) / 2);
  HWND tree = d.TreeView->Handle();
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
  SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
}

}  // namespace

TEST(Dossiers, LayoutTextsAndTheStoredFolderPreselected) {
  TFolderHost host;
  host.options.Directory = host.Path("Vacances\\Plage");
  host.options.Texture = true;
  TDossiers* d = nullptr;
  TDriver driver;
  driver.Then(Found(d)).Then(TDriver::Wait(300)).Do([&] {
    EXPECT_EQ(d->Caption(), "Dossiers");
    RECT client{};
    GetClientRect(d->Handle(), &client);
    EXPECT_EQ(client.right, 357);
    EXPECT_EQ(client.bottom, 414);
    EXPECT_EQ(d->HelpContext(), 2);
    EXPECT_EQ(d->Label1->Caption(), "Sélectionnez un dossier");
    EXPECT_EQ(d->BtnAccepter->Caption(), "Accepter");
    EXPECT_EQ(d->BtnAccepter->Hint(), "Accepte le dossier sélectionné");
    EXPECT_EQ(d->BtnAnnuler->Caption(), "Annuler");
    EXPECT_EQ(d->BtnAnnuler->Hint(), "Annule le choix du dossier");
    EXPECT_FALSE(d->TreeView->ShowHiddenDirs());
    EXPECT_EQ(d->TreeView->Indent(), 19);
    EXPECT_TRUE(d->WallpaperDir->Visible()) << "the texture is on";
    for (const char* name : {"TreeView", "BtnAccepter", "BtnAnnuler"})
      EXPECT_NE(FindChild(d->Handle(), name), nullptr) << name;
    EXPECT_EQ(d->TreeView->Selection(), host.Path("Vacances\\Plage"));
    ASSERT_NE(d->TreeView->Selected(), nullptr);
    EXPECT_EQ(d->TreeView->Selected()->Text(), "Plage");
    SaveScreenshot(d->Handle(), "dossiers_dialog");
  }).Do([&] { PostClick(d->BtnAnnuler); });
  EXPECT_EQ(Choose(host, driver), std::nullopt);
}

TEST(Dossiers, AcceptGivesTheSelectedFolder) {
  TFolderHost host;
  host.options.Directory = host.Path("Vacances");
  TDossiers* d = nullptr;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        EXPECT_FALSE(d->WallpaperDir->Visible());
        d->TreeView->SetSelection(host.Path("Travail"));
      })
      .Do([&] { PostClick(d->BtnAccepter); });
  EXPECT_EQ(Choose(host, driver), host.Path("Travail"));
}

TEST(Dossiers, CancelAndTheCloseBoxLeaveTheFolderUnchosen) {
  TFolderHost host;
  host.options.Directory = host.Path("Vacances");
  TDossiers* d = nullptr;
  {
    TDriver driver;
    driver.Then(Found(d)).Do([&] { PostClick(d->BtnAnnuler); });
    EXPECT_EQ(Choose(host, driver), std::nullopt);
  }
  {
    TDriver driver;
    driver.Then(Found(d)).Do([&] { PostMessageA(d->Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(Choose(host, driver), std::nullopt);
  }
}

TEST(Dossiers, AStoredFolderThatIsGoneOpensWithoutPreselection) {
  TFolderHost host;
  host.options.Directory = host.Path("Disparu");
  TDossiers* d = nullptr;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        EXPECT_TRUE(d->TreeView->PendingSelection().empty());
        const std::string sel = d->TreeView->Selection();
        EXPECT_EQ(sel.find(host.Path()), std::string::npos) << sel;
      })
      .Do([&] { PostClick(d->BtnAnnuler); });
  EXPECT_EQ(Choose(host, driver), std::nullopt);
}

TEST(Dossiers, ADoubleClickAcceptsALeafFolderButOnlyOpensAParent) {
  TFolderHost host;
  host.options.Directory = host.Path("Vacances");
  TDossiers* d = nullptr;
  TDriver driver;
  driver.Then(Found(d))
      .Do([&] {
        fw::TTreeNode* vacances = d->TreeView->Selected();
        ASSERT_NE(vacances, nullptr);
        ASSERT_TRUE(vacances->HasChildren());
        DoubleClickNode(*d, vacances);
        EXPECT_FALSE(d->FAccepted) << "a folder with subfolders is not taken";
        d->TreeView->SetSelection(host.Path("Vacances\\Plage"));
        fw::TTreeNode* plage = d->TreeView->Selected();
        ASSERT_NE(plage, nullptr);
        EXPECT_FALSE(plage->HasChildren());
        DoubleClickNode(*d, plage);
      });
  EXPECT_EQ(Choose(host, driver), host.Path("Vacances\\Plage"));
}

// The dialog's tree reads with a delay: its preselected folder is watched
// all the same, and when that folder goes from outside (moved away: Wine
// keeps a watched folder until its watch lets go) the parent is selected.
TEST(Dossiers, APreselectedFolderThatGoesFromOutsideLeavesItsParentSelected) {
  TFolderHost host;
  host.options.Directory = host.Path("Vacances\\Plage");
  TDossiers* d = nullptr;
  bool moved = false;
  TDriver driver;
  driver.Then(Found(d))
      .Then([&] {
        return d->TreeView->WatchedFolder() == host.Path("Vacances\\Plage") &&
               controls::TFileChangeThread::OpenHandleCount() >= 2;
      })
      .Then(TDriver::Wait(300))
      .Do([&] {
        EXPECT_EQ(d->TreeView->ReadDelay(), 500);
        moved = MoveFileW(W(host.root + u"\\Vacances\\Plage"), W(host.root + u"\\Plage partie")) != FALSE;
      })
      .Then([&] { return !moved || d->TreeView->Selection() == host.Path("Vacances"); })
      .Do([&] { PostClick(d->BtnAccepter); });
  EXPECT_EQ(Choose(host, driver), host.Path("Vacances"));
  EXPECT_TRUE(moved) << GetLastError();
}
