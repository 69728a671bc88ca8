// Layout of the folder dialog: every control, its place in design pixels
// (client area 357 x 414), its text and hint.
#include "app/Dossiers.h"

namespace qv::app {

using namespace qv::fw;

void TDossiers::BuildLayout() {
  SetCaption("Dossiers");
  SetBorderStyle(TBorderStyle::Dialog);
  SetClientSize(357, 414);
  SetHelpContext(2);

  // Background texture first: transparent controls show it behind them.
  WallpaperDir = &Make<TOndrelWallpaper>("WallpaperDir");
  WallpaperDir->SetParent(this);
  WallpaperDir->SetVisible(false);

  Label1 = &Make<TLabel>("Label1");
  Label1->Place(this, 10, 10, 337, 15);
  Label1->SetCaption("Sélectionnez un dossier");
  Label1->SetTransparent(true);

  TreeView = &Make<controls::TQsSystemTreeView>("TreeView");
  TreeView->Place(this, 10, 30, 337, 334);
  TreeView->SetShowHiddenDirs(false);
  TreeView->SetIndent(19);
  TreeView->SetHideSelection(false);

  BtnAccepter = &Make<TOndrelGradientButton>("BtnAccepter");
  BtnAccepter->Place(this, 125, 374, 107, 28);
  BtnAccepter->SetCaption("Accepter");
  BtnAccepter->SetHint("Accepte le dossier sélectionné");
  BtnAnnuler = &Make<TOndrelGradientButton>("BtnAnnuler");
  BtnAnnuler->Place(this, 240, 374, 107, 28);
  BtnAnnuler->SetCaption("Annuler");
  BtnAnnuler->SetHint("Annule le choix du dossier");

  auto bind = [this](void (TDossiers::*handler)(TComponent&)) {
    return [this, handler](TComponent& sender) { (this->*handler)(sender); };
  };
  OnCreate = bind(&TDossiers::FormCreate);
  OnClose = [this](TComponent& sender, TCloseAction& action) { FormClose(sender, action); };
  BtnAccepter->OnClick = bind(&TDossiers::BtnAccepterClick);
  BtnAnnuler->OnClick = bind(&TDossiers::BtnAnnulerClick);
  TreeView->OnDblClick = bind(&TDossiers::TreeViewDblClick);
}

}  // namespace qv::app
