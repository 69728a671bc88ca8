// Layout of the options dialog: every control, its place in design pixels
// (client area 357 x 439) and its text.
#include "app/Options.h"

#include "app/LayoutHelpers.h"

namespace qv::app {

using namespace qv::fw;
using layout::Put;
using layout::Words;

namespace {

TCheckBox* Check(TForm& form, const std::string& name, const std::string& text, int t) {
  auto* box = Put<TCheckBox>(form, form, name, 12, t, 337, 17);
  box->SetCaption(text);
  return box;
}

// An integer edit of two digits whose value, once left, is 1..99.
controls::TQvValidateEdit* Count(TForm& form, const std::string& name, int t) {
  auto* e = Put<controls::TQvValidateEdit>(form, form, name, 12, t, 32, 21);
  e->SetDisplayFormat(controls::dfInteger);
  e->SetHasMinValue(true);
  e->SetHasMaxValue(true);
  e->SetMinValue(1);
  e->SetMaxValue(99);
  e->SetMaxLength(2);
  e->SetAsInteger(1);
  return e;
}

TOndrelGradientButton* Command(TForm& form, const std::string& name, const std::string& text, int l, int t, int w,
                               int h) {
  auto* b = Put<TOndrelGradientButton>(form, form, name, l, t, w, h);
  b->SetCaption(text);
  return b;
}

}  // namespace

void TOptions::BuildLayout() {
  SetCaption("Options");
  SetBorderStyle(TBorderStyle::Dialog);
  SetBorderIcons(false, false);
  SetClientSize(357, 439);
  SetHelpContext(25);

  // Background texture first: transparent controls show it behind them.
  WallpaperOpt = &Make<TOndrelWallpaper>("WallpaperOpt");
  WallpaperOpt->SetParent(this);
  WallpaperOpt->SetVisible(false);

  Label7 = Words(*this, *this, "Label7", "Options du programme", 10, 10, 337);
  Label7->Font().SetStyle(TFontStyles{true, false, false, false});
  Label7->Font().SetColor(clNavy);

  CheckTexture = Check(*this, "CheckTexture", "Afficher l'interface du logiciel avec sa texture (Windows 9xXP)", 36);
  CheckHint = Check(*this, "CheckHint", "Afficher les libellés d'information (aide) pour toutes les options", 56);
  CheckGrid = Check(*this, "CheckGrid", "Afficher une grille supplémentaire dans le détail des fichiers", 76);
  // Its caption is a label of its own, red while hidden and system files
  // are listed.
  CheckAttrFull = Put<TCheckBox>(*this, *this, "CheckAttrFull", 12, 96, 17, 17);
  LabelAttrFull = Words(*this, *this, "LabelAttrFull", "Afficher les fichiers cachés / système dans le détail (attention)",
                        29, 97, 320);
  CheckSaisie = Check(*this, "CheckSaisie", "Enregistrer toutes les saisies dans chacune des boîtes listes", 116);
  CheckDelList = Check(*this, "CheckDelList", "Autoriser la suppression dans les boîtes listes (CTRL+SUPPR)", 136);
  CheckMajAscii = Check(*this, "CheckMajAscii", "Utilisez le jeu ASCII pour la modification de la casse (Min-Maj)", 156);

  RadioPosIndice = Put<TRadioGroup>(*this, *this, "RadioPosIndice", 10, 180, 337, 78);
  RadioPosIndice->SetCaption("      Indice       ");
  RadioPosIndice->SetItems({"Laisser l'indice à sa position actuelle pendant la saisie",
                            "Placer l'indice à la première position pendant la saisie",
                            "Placer l'indice à la dernière position pendant la saisie"});

  ValidateDownCount = Count(*this, "ValidateDownCount", 266);
  Label1 = Words(*this, *this, "Label1", "Hauteur des boîtes listes (nb d'éléments visibles)", 52, 269, 295);
  ValidateMaxCombo = Count(*this, "ValidateMaxCombo", 292);
  Label2 = Words(*this, *this, "Label2", "Capacité des boîtes listes (nb avant suppression)", 52, 295, 295);
  EditReplaceChar = Put<TEdit>(*this, *this, "EditReplaceChar", 12, 318, 32, 21);
  Label3 = Words(*this, *this, "Label3", "Caractère de remplacement pour les cmd $D $E $M", 52, 321, 295);
  EditModelDate = Put<TEdit>(*this, *this, "EditModelDate", 12, 344, 150, 21);
  EditModelDate->SetMaxLength(255);
  Label4 = Words(*this, *this, "Label4", "Format d'affichage des dates", 170, 347, 177);

  BtnDirRapport = Command(*this, "BtnDirRapport", "::: Explorer le dossier des rapports :::", 10, 374, 337, 22);
  BtnAccepter = Command(*this, "BtnAccepter", "Accepter", 10, 404, 107, 28);
  BtnAnnuler = Command(*this, "BtnAnnuler", "Annuler", 125, 404, 107, 28);
  BtnAide = Command(*this, "BtnAide", "Aide", 240, 404, 107, 28);
  BtnAide->SetCursor(LoadCursorA(nullptr, IDC_HELP));

  auto bind = [this](void (TOptions::*handler)(TComponent&)) {
    return [this, handler](TComponent& sender) { (this->*handler)(sender); };
  };
  OnCreate = bind(&TOptions::FormCreate);
  OnShow = bind(&TOptions::FormShow);
  OnCloseQuery = [this](TComponent& sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  BtnAccepter->OnClick = bind(&TOptions::BtnAccepterClick);
  BtnAnnuler->OnClick = bind(&TOptions::BtnAnnulerClick);
  BtnAide->OnClick = bind(&TOptions::BtnAideClick);
  BtnDirRapport->OnClick = bind(&TOptions::BtnDirRapportClick);
  CheckTexture->OnClick = bind(&TOptions::CheckTextureClick);
  CheckGrid->OnClick = bind(&TOptions::CheckGridClick);
  CheckMajAscii->OnClick = bind(&TOptions::CheckMajAsciiClick);
  CheckAttrFull->OnClick = bind(&TOptions::CheckAttrFullClick);
  LabelAttrFull->OnClick = bind(&TOptions::LabelAttrFullClick);
  EditReplaceChar->OnExit = bind(&TOptions::EditReplaceCharExit);
  EditModelDate->OnChange = bind(&TOptions::EditModelDateChange);
}

}  // namespace qv::app
