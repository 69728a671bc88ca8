// The shared edit menu: its captions are the system's own (French here),
// its items follow the edit's selection, read-only state and allowed
// clipboard commands, its choices act on the edit, an edit's own menu
// comes first, and a freed edit lets go of it. One test opens it for real
// by a right click and saves the screen with the menu open
// (screenshots/edit-popup.bmp under the test's working folder).
#include "controls/edits/QvFixedEditPopUp.h"
#include "tests/common/ScreenCapture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "controls/edits/QvEdit.h"
#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;
using qv::test::PumpFor;
using qv::test::PumpUntil;

namespace {

// The French captions of the system's edit menu, in menu order.
const char* const kFrenchCaptions[] = {"&Annuler", "&Couper", "C&opier", "Co&ller", "&Supprimer",
                                       "&Tout sélectionner"};

class TPopupForm : public TForm {
public:
  TPopupForm() : TForm(&App(), "TQvPopupTestForm") {
    SetCaption("Menu des zones de saisie");
    SetClientSize(260, 90);
    Edit = &Make<TQvCustomEdit>("Edit");
    Edit->Place(this, 10, 10, 200, 21);
    Edit->SetText("Quorvant Pro");
    Other = &Make<TQvCustomEdit>("Other");
    Other->Place(this, 10, 45, 200, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQvCustomEdit* Edit;
  TQvCustomEdit* Other;
};

// Enabled state of each command item after the menu was prepared for e.
std::map<std::string, bool> States(TQvCustomEdit& e) {
  TPopupMenu& menu = FixedEditPopUp(e);
  if (menu.OnPopup) menu.OnPopup(menu);
  std::map<std::string, bool> states;
  for (TMenuItem* item : menu.Items())
    if (!item->Name().empty()) states[item->Name()] = item->Enabled;
  return states;
}

TMenuItem& Item(TQvCustomEdit& e, const std::string& name) {
  for (TMenuItem* item : FixedEditPopUp(e).Items())
    if (item->Name() == name) return *item;
  throw std::runtime_error("no item " + name);
}

}  // namespace

TEST(QvFixedEditPopUp, CaptionsAreTheSystemsFrenchOnes) {
  TPopupForm f;
  std::vector<std::string> captions;
  for (TMenuItem* item : FixedEditPopUp(*f.Edit).Items()) captions.push_back(item->Caption);
  ASSERT_EQ(captions.size(), 8u);
  EXPECT_EQ(captions[1], "-");
  EXPECT_EQ(captions[6], "-");
  const std::vector<std::string> commands = {captions[0], captions[2], captions[3],
                                             captions[4], captions[5], captions[7]};
  for (size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(commands[i], kFrenchCaptions[i]) << i;
}

TEST(QvFixedEditPopUp, ItemsFollowSelectionReadOnlyAndAllowedCommands) {
  TPopupForm f;
  TQvCustomEdit& e = *f.Edit;
  e.SetSelection(0, 0);
  auto s = States(e);
  EXPECT_FALSE(s["EditCut"]);
  EXPECT_FALSE(s["EditCopy"]);
  EXPECT_FALSE(s["EditDelete"]);
  EXPECT_TRUE(s["EditPaste"]);
  EXPECT_TRUE(s["EditSelectAll"]);

  e.SetSelection(0, 4);
  s = States(e);
  EXPECT_TRUE(s["EditCut"]);
  EXPECT_TRUE(s["EditCopy"]);
  EXPECT_TRUE(s["EditDelete"]);

  // Everything selected, or nothing to select: no Select All.
  e.SelectAll();
  EXPECT_FALSE(States(e)["EditSelectAll"]);
  f.Other->SetText("");
  EXPECT_FALSE(States(*f.Other)["EditSelectAll"]);

  e.SetSelection(0, 4);
  e.SetClipboardCommands(caCopy | caPaste);
  s = States(e);
  EXPECT_FALSE(s["EditCut"]);
  EXPECT_TRUE(s["EditCopy"]);
  EXPECT_FALSE(s["EditUndo"]);
  // Delete is a clear, which the edit refuses without caClear: not offered.
  EXPECT_FALSE(s["EditDelete"]);
  e.SetClipboardCommands(caCopy | caPaste | caClear);
  EXPECT_TRUE(States(e)["EditDelete"]);

  e.SetClipboardCommands(kAllClipboardCommands);
  e.SetReadOnly(true);
  s = States(e);
  EXPECT_FALSE(s["EditCut"]);
  EXPECT_FALSE(s["EditPaste"]);
  EXPECT_FALSE(s["EditDelete"]);
  EXPECT_TRUE(s["EditCopy"]);
}

TEST(QvFixedEditPopUp, ChoicesActOnTheEditTheyWereShownFor) {
  TPopupForm f;
  TQvCustomEdit& e = *f.Edit;
  e.SetSelection(0, 0);
  FixedEditPopUp(e);
  Item(e, "EditSelectAll").Click();
  EXPECT_EQ(e.SelLength(), static_cast<int>(e.Text().size()));
  e.SetSelection(0, 9);
  Item(e, "EditDelete").Click();
  EXPECT_EQ(e.Text(), "Pro");
  EXPECT_EQ(FixedEditPopUpTarget(), &e);
}

TEST(QvFixedEditPopUp, FreedEditLetsGoOfTheMenu) {
  TPopupForm f;
  auto* temp = &f.Make<TQvCustomEdit>("Temp");
  temp->Place(&f, 10, 70, 50, 18);
  FixedEditPopUp(*temp);
  EXPECT_EQ(FixedEditPopUpTarget(), temp);
  delete temp;
  EXPECT_EQ(FixedEditPopUpTarget(), nullptr);
}

TEST(QvFixedEditPopUp, RightClickOpensTheSharedMenuUnlessTheEditHasItsOwn) {
  TPopupForm f;
  f.SetLeft(40);
  f.SetTop(40);
  RedrawWindow(f.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(200);
  f.Edit->SetSelection(0, 8);
  std::vector<std::string> shown;
  std::vector<bool> grayed;
  bool saved = false;
  auto readAndClose = [&] {
    HWND menuWnd = FindWindowA("#32768", nullptr);
    if (!menuWnd) return false;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWnd, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      char text[256] = {};
      GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      shown.push_back(text);
      grayed.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0);
    }
    RECT formRect{}, menuRect{}, area{};
    GetWindowRect(f.Handle(), &formRect);
    GetWindowRect(menuWnd, &menuRect);
    UnionRect(&area, &formRect, &menuRect);
    if (!saved) {
      CreateDirectoryA("screenshots", nullptr);
      saved = qv::test::SaveScreenArea(area, "screenshots/edit-popup.bmp");
    }
    EndMenu();
    return true;
  };
  // The menu's own loop runs the timer while the menu is open.
  auto* timer = &f.Make<TTimer>("MenuTimer");
  timer->SetInterval(300);
  timer->OnTimer = [&](TComponent&) {
    if (readAndClose()) timer->SetEnabled(false);
  };
  timer->SetEnabled(true);
  POINT pt{30, 10};
  ClientToScreen(f.Edit->Handle(), &pt);
  SendMessageA(f.Edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.Edit->Handle()), MAKELPARAM(pt.x, pt.y));
  ASSERT_EQ(shown.size(), 8u);
  EXPECT_EQ(shown[7], kFrenchCaptions[5]);
  EXPECT_EQ(shown[2], kFrenchCaptions[1]);
  EXPECT_FALSE(grayed[2]);  // a selection can be cut
  EXPECT_TRUE(saved);

  // An edit with its own menu shows that one.
  TPopupMenu& own = f.Make<TPopupMenu>("Own");
  own.AddItem("Rien", "Rien");
  bool ownShown = false;
  own.OnPopup = [&](TComponent&) { ownShown = true; };
  f.Edit->SetPopupMenu(&own);
  shown.clear();
  timer->SetEnabled(true);
  SendMessageA(f.Edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.Edit->Handle()), MAKELPARAM(pt.x, pt.y));
  EXPECT_TRUE(ownShown);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Rien");
}
