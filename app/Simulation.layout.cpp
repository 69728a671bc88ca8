// Layout of the simulation dialog: every control, its place in design
// pixels (client area 357 x 414), its text and hint.
#include "app/Simulation.h"

#include "app/LayoutHelpers.h"

namespace qv::app {

using namespace qv::fw;
using layout::Put;
using layout::Words;

void TSimulation::BuildLayout() {
  SetCaption("Simulation");
  SetBorderStyle(TBorderStyle::Dialog);
  SetClientSize(357, 414);

  // Background texture first: transparent controls show it behind them.
  WallpaperSim = &Make<TOndrelWallpaper>("WallpaperSim");
  WallpaperSim->SetParent(this);
  WallpaperSim->SetVisible(false);

  Label1 = Words(*this, *this, "Label1", "VERIFICATION DES FICHIERS", 10, 10, 337, 18);
  Label1->Font().SetStyle(TFontStyles{true, false, false, false});
  Label1->Font().SetColor(clNavy);
  Label15 = Words(*this, *this, "Label15", "Liste d'erreurs", 10, 36, 200);

  Memo = Put<TMemo>(*this, *this, "Memo", 10, 54, 337, 214);
  Memo->SetReadOnly(true);
  Memo->SetScrollBars(true, true);
  Memo->SetWordWrap(false);
  Memo->SetHint("Liste des erreurs détectées (Copier-Coller possible)");

  Panel2 = Put<TPanel>(*this, *this, "Panel2", 10, 278, 337, 82);
  Panel2->SetBevelOuter(TBevelCut::Lowered);
  Panel2->SetHelpContext(13);
  LabelStatus = Words(*this, *Panel2, "LabelStatus", "", 8, 7, 321);
  LabelStatus->SetAlignment(TAlignment::Center);
  ProgressBar = Put<TProgressBar>(*this, *Panel2, "ProgressBar", 8, 26, 321, 16);
  PanelStatus = Put<TStatusPanel>(*this, *Panel2, "PanelStatus", 8, 48, 321, 24);

  BtnArreter = Put<TOndrelGradientButton>(*this, *this, "BtnArreter", 125, 374, 107, 28);
  BtnArreter->SetCaption("Arrêter");
  BtnArreter->SetHint("Arrête la simulation en cours");
  BtnFermer = Put<TOndrelGradientButton>(*this, *this, "BtnFermer", 240, 374, 107, 28);
  BtnFermer->SetCaption("Fermer");
  BtnFermer->SetHint("Ferme la fenêtre");
  BtnFermer->SetEnabled(false);

  // One-shot: started when the dialog is shown, so the simulation runs
  // inside the modal loop with the dialog on screen.
  Timer = &Make<TTimer>("Timer");
  Timer->SetInterval(1);
  Timer->SetEnabled(false);

  auto bind = [this](void (TSimulation::*handler)(TComponent&)) {
    return [this, handler](TComponent& sender) { (this->*handler)(sender); };
  };
  OnCreate = bind(&TSimulation::FormCreate);
  OnShow = bind(&TSimulation::FormShow);
  OnCloseQuery = [this](TComponent& sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  BtnArreter->OnClick = bind(&TSimulation::BtnArreterClick);
  BtnFermer->OnClick = bind(&TSimulation::BtnFermerClick);
  Timer->OnTimer = bind(&TSimulation::TimerTimer);
}

}  // namespace qv::app
