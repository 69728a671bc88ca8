// Layout of the about box: every control, its place in design pixels
// (client area 357 x 414) and its text. The texts the design leaves open
// are recorded in docs/dialogs.md.
#include "app/APropos.h"

#include "app/LayoutHelpers.h"
#include "app/TitleImage.h"

namespace qv::app {

using namespace qv::fw;
using layout::Put;
using layout::Words;

namespace {

TDLine* Separator(TForm& form, const std::string& name, int top) {
  auto* line = Put<TDLine>(form, form, name, 10, top, 337, 4);
  line->SetRailStyle(TRailStyle::stSunken);
  return line;
}

}  // namespace

void TAPropos::BuildLayout() {
  SetCaption("A Propos de...");
  SetBorderStyle(TBorderStyle::Dialog);
  SetClientSize(357, 414);
  SetHelpContext(17);

  // Background texture first: transparent controls show it behind them.
  WallpaperAProp = &Make<TOndrelWallpaper>("WallpaperAProp");
  WallpaperAProp->SetParent(this);
  WallpaperAProp->SetVisible(false);

  // Title band: the gradient, then the pictures and the line over it.
  PanelGrad = Put<TPanel>(*this, *this, "PanelGrad", 10, 10, 337, 72);
  PanelGrad->SetBevelOuter(TBevelCut::Lowered);
  GradientBck = &Make<TGradientBackGround>("GradientBck");
  GradientBck->SetParent(PanelGrad);
  GradientBck->SetStartColor(clBtnShadow);
  GradientBck->SetEndColor(clWhite);
  GradientBck->SetAngle(0);
  Ico = Put<TImage>(*this, *PanelGrad, "Ico", 12, 19, 32, 32);
  Ico->SetIcon(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
  ImgTitre = Put<TImage>(*this, *PanelGrad, "ImgTitre", 54, 10, 220, 36);
  ImgTitre->SetTransparent(true);
  ImgTitre->SetBitmap(LoadTitleImage());
  QxLabel1 = Put<controls::TQxLabel>(*this, *PanelGrad, "QxLabel1", 180, 48, 146, 16);
  QxLabel1->SetCaption("Pour Windows");
  QxLabel1->SetTransparent(true);
  QxLabel1->SetAlignment(TAlignment::RightJustify);
  QxLabel1->Font().SetStyle(TFontStyles{true, true, false, false});
  QxLabel1->Font().SetColor(clNavy);

  DLine1 = Separator(*this, "DLine1", 92);
  Label1 = Words(*this, *this, "Label1", "Version", 20, 106, 80);
  LVersion = Words(*this, *this, "LVersion", "", 104, 106, 233);
  LVersion->Font().SetStyle(TFontStyles{true, false, false, false});
  LVersion->Font().SetColor(clNavy);
  Label2 = Words(*this, *this, "Label2", "Système", 20, 128, 80);
  // Up to four lines, separated by carriage returns.
  LWinVersion = Words(*this, *this, "LWinVersion", "", 104, 128, 233, 60);
  LWinVersion->SetWordWrap(true);
  LWinVersion->Font().SetColor(clNavy);

  DLine2 = Separator(*this, "DLine2", 196);
  LAuteur = Words(*this, *this, "LAuteur", "", 20, 210, 317);
  LAuteur->Font().SetStyle(TFontStyles{true, false, false, false});
  LDroits = Words(*this, *this, "LDroits", "", 20, 234, 317, 110);
  LDroits->SetWordWrap(true);

  DLine3 = Separator(*this, "DLine3", 360);
  BtnFermer = Put<TOndrelGradientButton>(*this, *this, "BtnFermer", 240, 376, 107, 28);
  BtnFermer->SetCaption("Fermer");
  BtnFermer->SetHint("Ferme la fenêtre");

  auto bind = [this](void (TAPropos::*handler)(TComponent&)) {
    return [this, handler](TComponent& sender) { (this->*handler)(sender); };
  };
  OnCreate = bind(&TAPropos::FormCreate);
  BtnFermer->OnClick = bind(&TAPropos::BtnFermerClick);
}

}  // namespace qv::app
