// Layout of the rename dialog: every control, its place in design pixels
// (client area 357 x 414) and its text.
#include "app/QuoDial.h"

#include "app/LayoutHelpers.h"

namespace qv::app {

using namespace qv::fw;
using layout::Put;
using layout::Words;

namespace {

controls::TQxSpeedButton* Command(TForm& form, const std::string& name, const std::string& text, int l, int t) {
  auto* b = Put<controls::TQxSpeedButton>(form, form, name, l, t, 107, 28);
  b->SetCaption(text);
  return b;
}

}  // namespace

void TQuoDial::BuildLayout() {
  SetCaption("Renommer");
  SetBorderStyle(TBorderStyle::Dialog);
  SetClientSize(357, 414);

  // Background texture first: transparent controls show it behind them.
  WallpaperDial = &Make<TOndrelWallpaper>("WallpaperDial");
  WallpaperDial->SetParent(this);
  WallpaperDial->SetVisible(false);

  Label1 = Words(*this, *this, "Label1", "Attention ! Opération délicate.", 10, 10, 337, 18);
  Label1->Font().SetStyle(TFontStyles{true, false, false, false});
  Label1->Font().SetColor(clMaroon);
  Label2 = Words(*this, *this, "Label2",
                "Vous allez renommer tous les fichiers du dossier sélectionné.\r\n"
                "Veuillez prendre le temps de vérifier les paramètres choisis :",
                10, 32, 337, 28);
  Label2->SetWordWrap(true);

  // The parameters, captions on the left and values in bold on the right.
  Panel1 = Put<TPanel>(*this, *this, "Panel1", 10, 66, 337, 122);
  Panel1->SetBevelOuter(TBevelCut::Lowered);
  const char* captions[] = {"Dossier à explorer", "Nombre de fichiers", "Modèle d'exemple",
                            "Modifier les dates", "Modifier les heures", "Modifier les attributs"};
  TLabel** values[] = {&LabelDirectory, &LabelNbFiles, &LabelModele, &LabelDate, &LabelTime, &LabelAttribut};
  const char* valueNames[] = {"LabelDirectory", "LabelNbFiles", "LabelModele", "LabelDate", "LabelTime",
                              "LabelAttribut"};
  for (int i = 0; i < 6; ++i) {
    const int top = 9 + i * 18;
    Words(*this, *Panel1, "Label" + std::to_string(3 + i), captions[i], 8, top, 118);
    TLabel* value = Words(*this, *Panel1, valueNames[i], "", 128, top, 201);
    value->Font().SetStyle(TFontStyles{true, false, false, false});
    value->Font().SetColor(clNavy);
    *values[i] = value;
  }

  // Progress: status line, bar, summary.
  Panel2 = Put<TPanel>(*this, *this, "Panel2", 10, 196, 337, 82);
  Panel2->SetBevelOuter(TBevelCut::Lowered);
  LabelStatus = Words(*this, *Panel2, "LabelStatus", "", 8, 7, 321);
  LabelStatus->SetAlignment(TAlignment::Center);
  ProgressBar = Put<TProgressBar>(*this, *Panel2, "ProgressBar", 8, 26, 321, 16);
  PanelStatus = Put<TStatusPanel>(*this, *Panel2, "PanelStatus", 8, 48, 321, 24);

  // Report.
  CheckRapport = Put<TCheckBox>(*this, *this, "CheckRapport", 10, 288, 17, 17);
  LabelRapport = Words(*this, *this, "LabelRapport", "Créer un rapport complet", 30, 289, 200);
  EditRapport = Put<TEdit>(*this, *this, "EditRapport", 10, 310, 337, 21);
  EditRapport->SetMaxLength(255);

  // Commands: start and cancel, then what a run offers.
  BtnOui = Command(*this, "BtnOui", "Renommer", 10, 344);
  BtnNon = Command(*this, "BtnNon", "Annuler", 125, 344);
  BtnArreter = Command(*this, "BtnArreter", "Arrêter", 240, 344);
  BtnUndo = Command(*this, "BtnUndo", "Undo", 10, 378);
  BtnRapport = Command(*this, "BtnRapport", "Rapport", 125, 378);
  BtnFermer = Command(*this, "BtnFermer", "Fermer", 240, 378);
  for (controls::TQxSpeedButton* b : {BtnArreter, BtnUndo, BtnRapport, BtnFermer}) {
    b->SetVisible(false);
    b->SetEnabled(false);
  }

  auto bind = [this](void (TQuoDial::*handler)(TComponent&)) {
    return [this, handler](TComponent& sender) { (this->*handler)(sender); };
  };
  OnCreate = bind(&TQuoDial::FormCreate);
  OnCloseQuery = [this](TComponent& sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  BtnOui->OnClick = bind(&TQuoDial::BtnOuiClick);
  BtnNon->OnClick = bind(&TQuoDial::BtnNonClick);
  BtnArreter->OnClick = bind(&TQuoDial::BtnArreterClick);
  BtnFermer->OnClick = bind(&TQuoDial::BtnFermerClick);
  BtnRapport->OnClick = bind(&TQuoDial::BtnRapportClick);
  BtnUndo->OnClick = bind(&TQuoDial::BtnUndoClick);
  CheckRapport->OnClick = bind(&TQuoDial::CheckRapportClick);
  LabelRapport->OnClick = bind(&TQuoDial::LabelRapportClick);
  EditRapport->OnMouseDown = [this](TComponent& s, TMouseButton b, TShiftState sh, int x, int y) {
    EditRapportMouseDown(s, b, sh, x, y);
  };
}

}  // namespace qv::app
