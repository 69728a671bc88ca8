// Layout of the main window: every control, its place in design pixels,
// caption and hint. The positions and texts the design leaves open are
// recorded in docs/main-window.md.
#include "app/MainForm.h"

#include "app/TitleImage.h"

namespace qv::app {

using namespace qv::fw;
using controls::TQsExtListView;
using controls::TQvStatusBar;
using controls::TQxSlider;
using controls::TQxSpeedButton;
using controls::TQxSpinEdit;

namespace {

// Left column and frames (design pixels, client area 784 x 542).
constexpr int kLeft = 8, kColumn = 360, kInner = 16;

template <class T>
T* Put(TForm& form, const std::string& name, int l, int t, int w, int h) {
  T& c = form.Make<T>(name);
  c.Place(&form, l, t, w, h);
  return &c;
}

TLabel* MakeLabel(TForm& form, const std::string& name, const std::string& text, int l, int t, int w) {
  auto* label = Put<TLabel>(form, name, l, t, w, 14);
  label->SetCaption(text);
  return label;
}

TCheckBox* Check(TForm& form, const std::string& name, const std::string& text, int l, int t, int w,
                 const std::string& hint) {
  auto* box = Put<TCheckBox>(form, name, l, t, w, 17);
  box->SetCaption(text);
  box->SetHint(hint);
  return box;
}

TBevel* Frame(TForm& form, const std::string& name, int t, int h) {
  auto* b = Put<TBevel>(form, name, kLeft, t, kColumn, h);
  b->SetShape(TBevelShape::Box);
  return b;
}

TBevel* HeadLine(TForm& form, const std::string& name, int l, int t, int w) {
  auto* b = Put<TBevel>(form, name, l, t, w, 2);
  b->SetShape(TBevelShape::TopLine);
  return b;
}

TQxSpeedButton* Speed(TForm& form, const std::string& name, const std::string& text, int l, int t, int w, int h,
                      const std::string& hint) {
  auto* b = Put<TQxSpeedButton>(form, name, l, t, w, h);
  b->SetCaption(text);
  b->SetHint(hint);
  return b;
}

TOndrelGradientButton* Command(TForm& form, const std::string& name, const std::string& text, int l, int t,
                               int w, const std::string& hint) {
  auto* b = Put<TOndrelGradientButton>(form, name, l, t, w, 25);
  b->SetCaption(text);
  b->SetHint(hint);
  return b;
}

HBITMAP LoadBitmapResource(const char* name) {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

void TMainForm::BuildLayout() {
  SetCaption("Quorvant Pro");
  SetClientSize(784, 542);
  SetMinSize(800, 580);
  SetPosition(TPosition::ScreenCenter);
  SetKeyPreview(true);
  SetHelpContext(1);
  SetDefaultCloseAction(TCloseAction::Free);

  // Background texture first: transparent controls show it behind them.
  WallpaperMain = &Make<TOndrelWallpaper>("WallpaperMain");
  WallpaperMain->SetParent(this);
  WallpaperMain->SetAlign(TAlign::Client);
  WallpaperMain->SetVisible(false);
  ImgGrey = Put<TImage>(*this, "ImgGrey", 0, 0, 50, 50);
  ImgGrey->SetVisible(false);
  ImgGrey->SetBitmap(LoadBitmapResource("TEXTURE"));

  // Title and product lines.
  Image1 = Put<TImage>(*this, "Image1", kLeft, 8, 32, 32);
  Image1->SetIcon(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
  ImgTitre = Put<TImage>(*this, "ImgTitre", kLeft + 40, 6, 220, 36);
  ImgTitre->SetTransparent(true);
  ImgTitre->SetBitmap(LoadTitleImage());
  LabelVer = MakeLabel(*this, "LabelVer", "3.2.0.0", 290, 8, 70);
  LabelVer->SetAlignment(TAlignment::RightJustify);
  ASLinkWeb = Put<TASLink>(*this, "ASLinkWeb", 226, 25, 138, 17);
  ASLinkWeb->SetAutoSize(false);
  ASLinkWeb->SetBounds(226, 25, 138, 17);
  ASLinkWeb->SetAlignment(TAlignment::RightJustify);
  LabelCopyR = MakeLabel(*this, "LabelCopyR", "", kLeft, 46, kColumn);

  // Folder.
  BevelDossier = Frame(*this, "BevelDossier", 64, 48);
  Label11 = MakeLabel(*this, "Label11", "Dossier", kInner, 68, 120);
  EditDir = Put<TEdit>(*this, "EditDir", kInner, 84, 304, 21);
  EditDir->SetMaxLength(255);
  EditDir->SetHint("Dossier des fichiers à renommer|Dossier dont les fichiers seront renommés");
  BtnDir = Command(*this, "BtnDir", "...", 324, 83, 36, "Choisir un dossier (F4)|Ouvre le choix d'un dossier (F4)");
  BtnDir->SetHeight(23);

  // Name model.
  BevelNom = Frame(*this, "BevelNom", 116, 90);
  Label15 = MakeLabel(*this, "Label15", "Nom de Fichier", kInner, 120, 110);
  ImgScriptFile = Put<TImage>(*this, "ImgScriptFile", 150, 119, 16, 16);
  ImgScriptFile->SetTransparent(true);
  ImgScriptFile->SetBitmap(LoadBitmapResource("SCRIPT"));
  ImgScriptFile->SetHint("Passer en mode script|Le modèle de nom devient un script de balises");
  CheckSpFile = Check(*this, "CheckSpFile", "Script", 170, 119, 64,
                      "Modèle script|Le modèle de nom est un script de balises (<...>)");
  CheckNoFile = Check(*this, "CheckNoFile", "Nom d'origine", 248, 119, 112,
                      "Conserver le nom|Conserve le nom d'origine des fichiers");
  EditFile = Put<TComboBox>(*this, "EditFile", kInner, 138, 344, 200);
  EditFile->SetMaxLength(200);
  EditFile->SetDropDownCount(10);
  EditFile->SetHint("Modèle de nom|Modèle du nouveau nom (Ctrl+Suppr retire l'entrée de l'historique)");
  CheckFileMaj = Check(*this, "CheckFileMaj", "MAJUSCULES", kInner, 164, 96, "Nom en majuscules");
  CheckFileMaj->SetTag(1);
  CheckFileMajMin = Check(*this, "CheckFileMajMin", "Première lettre", 118, 164, 110,
                          "Première lettre du nom en majuscule");
  CheckFileMajMin->SetTag(2);
  CheckFileMajMaj = Check(*this, "CheckFileMajMaj", "Chaque Mot", 234, 164, 110,
                          "Première lettre de chaque mot en majuscule");
  CheckFileMajMaj->SetTag(4);
  CheckFileMin = Check(*this, "CheckFileMin", "minuscules", kInner, 184, 96, "Nom en minuscules");
  CheckFileMin->SetTag(3);

  // Extension model.
  BevelExt = Frame(*this, "BevelExt", 210, 72);
  Label14 = MakeLabel(*this, "Label14", "Extension", kInner, 214, 110);
  ImgScriptExt = Put<TImage>(*this, "ImgScriptExt", 150, 213, 16, 16);
  ImgScriptExt->SetTransparent(true);
  ImgScriptExt->SetBitmap(LoadBitmapResource("SCRIPT"));
  ImgScriptExt->SetHint("Passer en mode script|Le modèle d'extension devient un script de balises");
  CheckSpExt = Check(*this, "CheckSpExt", "Script", 170, 213, 64,
                     "Modèle script|Le modèle d'extension est un script de balises (<...>)");
  CheckNoExt = Check(*this, "CheckNoExt", "Extension d'origine", 248, 213, 116,
                     "Conserver l'extension|Conserve l'extension d'origine des fichiers");
  EditExt = Put<TComboBox>(*this, "EditExt", kInner, 232, 344, 200);
  EditExt->SetMaxLength(50);
  EditExt->SetDropDownCount(10);
  EditExt->SetHint("Modèle d'extension|Modèle de la nouvelle extension (sans le point)");
  CheckExtMaj = Check(*this, "CheckExtMaj", "MAJUSCULES", kInner, 258, 96, "Extension en majuscules");
  CheckExtMaj->SetTag(1);
  CheckExtMajMin = Check(*this, "CheckExtMajMin", "Première lettre", 118, 258, 110,
                         "Première lettre de l'extension en majuscule");
  CheckExtMajMin->SetTag(2);
  CheckExtMin = Check(*this, "CheckExtMin", "minuscules", 234, 258, 100, "Extension en minuscules");
  CheckExtMin->SetTag(3);

  // Index.
  BevelIndice = Frame(*this, "BevelIndice", 286, 104);
  Label12 = MakeLabel(*this, "Label12", "Indice", kInner, 290, 110);
  EditFormat = Put<TEdit>(*this, "EditFormat", kInner, 308, 56, 21);
  // Its length is the index width, which padding caps at 255.
  EditFormat->SetMaxLength(255);
  EditFormat->SetHint("Chiffres de l'indice|Nombre minimal de chiffres de l'indice");
  EditCara = Put<TEdit>(*this, "EditCara", 76, 308, 24, 21);
  EditCara->SetMaxLength(1);
  EditCara->SetHint("Caractère de remplissage|Caractère placé devant l'indice pour atteindre le nombre de chiffres");
  SpinDebut = Put<TQxSpinEdit>(*this, "SpinDebut", 106, 308, 80, 21);
  SpinDebut->SetDecimal(0);
  SpinDebut->SetMinValue(0);
  SpinDebut->SetMaxValue(999999999);
  SpinDebut->SetHint("Premier indice|Valeur de l'indice du premier fichier");
  CheckFormat = Check(*this, "CheckFormat", "Auto", 196, 310, 54,
                      "Format automatique|Le nombre de chiffres suit le nombre de fichiers");
  CheckAucun = Check(*this, "CheckAucun", "", 258, 310, 16, "Sans indice|Aucun indice n'est ajouté aux noms");
  LabelAucun = MakeLabel(*this, "LabelAucun", "Aucun", 276, 311, 60);
  CheckExt = Check(*this, "CheckExt", "Indice dans l'extension", kInner, 334, 180,
                   "Indice dans l'extension|L'indice est placé dans l'extension au lieu du nom");
  BtnIndice1 = Speed(*this, "BtnIndice1", "|<", kInner, 360, 24, 22, "Indice au début|Place l'indice au début");
  QxSlider = Put<TQxSlider>(*this, "QxSlider", 42, 357, 220, 28);
  QxSlider->SetIncrement(1);
  QxSlider->SetMaxValue(10);
  QxSlider->SetEnabled(false);
  QxSlider->SetHint("Position de l'indice|Nombre de caractères avant l'indice");
  BtnIndice2 = Speed(*this, "BtnIndice2", ">|", 264, 360, 24, 22, "Indice à la fin|Place l'indice à la fin");
  LabelPosition = MakeLabel(*this, "LabelPosition", "Position", 294, 364, 70);

  // Date and time.
  BevelDate = Frame(*this, "BevelDate", 394, 40);
  CheckDateOn = Check(*this, "CheckDateOn", "Date", kInner, 405, 54, "Nouvelle date|Donne cette date à tous les fichiers");
  DateEdit = Put<controls::TDateEdit>(*this, "DateEdit", 72, 402, 104, 21);
  DateEdit->SetHint("Date des fichiers|Date donnée à tous les fichiers (Ctrl : aujourd'hui)");
  CheckTimeOn = Check(*this, "CheckTimeOn", "Heure", 190, 405, 60, "Nouvelle heure|Donne cette heure à tous les fichiers");
  TimePicker = Put<TDateTimePicker>(*this, "TimePicker", 252, 402, 100, 21);
  TimePicker->SetKind(TDateTimeKind::Time);
  TimePicker->SetHint("Heure des fichiers|Heure donnée à tous les fichiers (Ctrl : maintenant, Alt : minuit)");

  // Attributes.
  BevelAttr = Frame(*this, "BevelAttr", 438, 44);
  CheckAttrOn = Check(*this, "CheckAttrOn", "Attributs", kInner, 452, 72, "Nouveaux attributs|Donne ces attributs à tous les fichiers");
  CheckRead = Check(*this, "CheckRead", "Lecture", 90, 452, 62, "Lecture seule");
  CheckRead->SetTag(1);
  CheckHidden = Check(*this, "CheckHidden", "Caché", 154, 452, 56, "Fichier caché");
  CheckHidden->SetTag(2);
  CheckSystem = Check(*this, "CheckSystem", "Système", 212, 452, 66, "Fichier système");
  CheckSystem->SetTag(4);
  CheckArchive = Check(*this, "CheckArchive", "Archive", 280, 452, 62, "Archive");
  CheckArchive->SetTag(32);
  LabelDecimal = MakeLabel(*this, "LabelDecimal", "32", 344, 453, 22);

  // Right side: filter, preview, file list.
  BevelModel = Put<TBevel>(*this, "BevelModel", 376, 8, 292, 72);
  LabelModel = MakeLabel(*this, "LabelModel", "Modèle", 380, 12, 287);
  BevelLineModel = HeadLine(*this, "BevelLineModel", 380, 28, 287);
  RichEdit = Put<TRichEdit>(*this, "RichEdit", 384, 40, 272, 26);
  RichEdit->SetReadOnly(true);
  RichEdit->SetMaxLength(255);
  RichEdit->SetAlignment(TAlignment::Center);
  RichEdit->SetColor(clBtnFace);
  RichEdit->SetTabStop(false);
  RichEdit->SetCursor(LoadCursor(nullptr, IDC_ARROW));
  RichEdit->SetHint("Aperçu du modèle|Exemple de nom obtenu avec le modèle");
  BevelFilter = Put<TBevel>(*this, "BevelFilter", 677, 8, 99, 72);
  LabelFilter = MakeLabel(*this, "LabelFilter", "Filtre", 679, 12, 90);
  BevelLineFilter = HeadLine(*this, "BevelLineFilter", 679, 28, 90);
  EditMask = Put<TEdit>(*this, "EditMask", 687, 40, 80, 21);
  EditMask->SetMaxLength(255);
  EditMask->SetText("*.*");
  EditMask->SetHint("Filtre des fichiers|Masques séparés par « ; » (Ctrl+clic : tous les fichiers)");

  BevelDetail = Put<TBevel>(*this, "BevelDetail", 376, 86, 400, 399);
  LabelDetail = MakeLabel(*this, "LabelDetail", "Détail des fichiers", 380, 90, 395);
  BevelLineDetail = HeadLine(*this, "BevelLineDetail", 380, 106, 395);
  FileList = &Make<TQsExtListView>("FileList");
  FileList->Place(this, 386, 109, 380, 369);
  FileList->SetHint("Fichiers du dossier|Ancien et nouveau nom de chaque fichier");
  FileList->AddColumn("Nom originel", 120);
  FileList->AddColumn("Nouveau nom", 120);
  FileList->AddColumn("Taille", 65, TAlignment::RightJustify);
  FileList->AddColumn("Créé", 70);
  FileList->AddColumn("Modifié", 70);
  FileList->AddColumn("Accédé", 70);
  FileList->AddColumn("Attr", 30);
  FileList->AddColumn("Type", 150);
  FileList->SetVirtualMode(true);
  FileList->SetReadOnly(true);
  FileList->SetHideSelection(false);
  FileList->SetAutoColumnSort(controls::acsSortToggle);
  FileList->SetShowSortArrows(true);
  FileList->SetExtendedStyles({controls::lvxFullRowSelect, controls::lvxHeaderDragDrop, controls::lvxLabelTip});
  FileList->SetTabStop(true);
  BtnCacheList = Speed(*this, "BtnCacheList", "x", 758, 89, 16, 16,
                       "Désactiver le détail|Active ou désactive le détail des fichiers (Ctrl+F12)");
  PopupListe = &Make<TPopupMenu>("PopupListe");
  PopOutListe = &PopupListe->AddItem("PopOutListe", "Désactiver le détail des fichiers");
  PopOutListe->ShortCutText = "Ctrl+F12";
  FileList->SetPopupMenu(PopupListe);

  // Command buttons.
  BtnRenommer = Command(*this, "BtnRenommer", "&Renommer", kLeft, 491, 116, "Renommer les fichiers|Renomme tous les fichiers de la liste");
  BtnSimuler = Command(*this, "BtnSimuler", "&Simuler", 128, 491, 116, "Simuler|Vérifie les nouveaux noms sans rien renommer");
  BtnQuitter = Command(*this, "BtnQuitter", "&Quitter", 248, 491, 120, "Quitter|Ferme Quorvant Pro");
  BtnOptions = Command(*this, "BtnOptions", "&Options", 376, 491, 90, "Options|Réglages du programme");
  BtnAide = Command(*this, "BtnAide", "&Aide", 466, 491, 90, "Aide|Ouvre l'aide");
  BtnAProp = Command(*this, "BtnAProp", "À &propos", 556, 491, 90, "À propos|Version et informations");
  BtnRefresh = Command(*this, "BtnRefresh", "Ac&tualiser", 646, 491, 90, "Actualiser (F5)|Relit le dossier (F5)");
  BtnAuto = Command(*this, "BtnAuto", "Auto", 736, 491, 40, "Actualisation automatique|Relit le dossier dès qu'il change");
  BtnAuto->SetGroupIndex(2);
  BtnAuto->SetAllowAllUp(true);
  BtnAuto->SetVertical(true);

  // Focus parking place of CommitFocusedEdit: out of sight, never a tab stop.
  BtnFocus = Put<TButton>(*this, "BtnFocus", -40, -40, 10, 10);
  BtnFocus->SetTabStop(false);

  StatusBar = &Make<TQvStatusBar>("StatusBar");
  StatusBar->SetParent(this);
  StatusBar->SetAlign(TAlign::Bottom);
  StatusBar->SetHeight(20);
  StatusBar->AddPanel(372, "");
  StatusBar->AddPanel(50, "");
  StatusBar->SetLastPanelFills(true);

  FormPlacement = &Make<controls::TFormPlacement>("FormPlacement");
  QxFolderMonitor = &Make<controls::TQxFolderMonitor>("QxFolderMonitor");
  Timer = &Make<TTimer>("Timer");
  Timer->SetEnabled(false);
  Timer->SetInterval(1);

  // Tab order follows the reading order of the left column.
  for (TWinControl* c : std::initializer_list<TWinControl*>{EditDir, EditMask, EditFile, EditExt, EditFormat, EditCara,
                                                             SpinDebut})
    c->SetTabStop(true);

  BindEvents();
}

void TMainForm::BindEvents() {
  auto bind = [this](void (TMainForm::*handler)(TComponent&)) {
    return [this, handler](TComponent& s) { (this->*handler)(s); };
  };
  OnCreate = bind(&TMainForm::FormCreate);
  OnShow = bind(&TMainForm::FormShow);
  OnResize = bind(&TMainForm::FormResize);
  OnClose = [this](TComponent& s, TCloseAction& a) { FormClose(s, a); };
  OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };

  EditDir->OnChange = bind(&TMainForm::EditDirChange);
  EditMask->OnChange = bind(&TMainForm::EditMaskChange);
  EditFile->OnChange = bind(&TMainForm::EditFileChange);
  EditExt->OnChange = bind(&TMainForm::EditExtChange);
  CheckNoFile->OnClick = bind(&TMainForm::CheckNoFileClick);
  CheckNoExt->OnClick = bind(&TMainForm::CheckNoExtClick);
  CheckSpFile->OnClick = bind(&TMainForm::CheckSpFileClick);
  CheckSpExt->OnClick = bind(&TMainForm::CheckSpExtClick);
  for (TCheckBox* b : {CheckFileMaj, CheckFileMajMin, CheckFileMajMaj, CheckFileMin})
    b->OnClick = bind(&TMainForm::CheckFileCaseClick);
  for (TCheckBox* b : {CheckExtMaj, CheckExtMajMin, CheckExtMin}) b->OnClick = bind(&TMainForm::CheckExtCaseClick);
  EditFormat->OnChange = bind(&TMainForm::EditFormatChange);
  EditCara->OnChange = bind(&TMainForm::EditCaraChange);
  EditCara->OnExit = bind(&TMainForm::EditCaraExit);
  EditCara->OnClick = bind(&TMainForm::EditCaraClick);
  SpinDebut->OnChange = bind(&TMainForm::SpinDebutChange);
  CheckFormat->OnClick = bind(&TMainForm::CheckFormatClick);
  CheckAucun->OnClick = bind(&TMainForm::CheckAucunClick);
  CheckExt->OnClick = bind(&TMainForm::CheckExtClick);
  QxSlider->OnChange = bind(&TMainForm::QxSliderChange);
  QxSlider->OnClick = bind(&TMainForm::QxSliderClick);
  BtnIndice1->OnClick = bind(&TMainForm::BtnIndice1Click);
  BtnIndice2->OnClick = bind(&TMainForm::BtnIndice2Click);
  CheckDateOn->OnClick = bind(&TMainForm::CheckDateOnClick);
  CheckTimeOn->OnClick = bind(&TMainForm::CheckTimeOnClick);
  DateEdit->OnChange = bind(&TMainForm::DateEditChange);
  TimePicker->OnChange = bind(&TMainForm::TimePickerChange);
  CheckAttrOn->OnClick = bind(&TMainForm::CheckAttrOnClick);
  for (TCheckBox* b : {CheckRead, CheckHidden, CheckSystem, CheckArchive}) b->OnClick = bind(&TMainForm::CheckReadClick);
  PopOutListe->OnClick = bind(&TMainForm::PopOutListeClick);
  BtnCacheList->OnClick = bind(&TMainForm::PopOutListeClick);
  BtnAuto->OnClick = bind(&TMainForm::BtnAutoClick);
  QxFolderMonitor->OnChange = bind(&TMainForm::QxFolderMonitorChange);
  BtnRefresh->OnClick = bind(&TMainForm::BtnRefreshClick);
  RichEdit->OnEnter = bind(&TMainForm::RichEditEnter);
  RichEdit->OnExit = bind(&TMainForm::RichEditExit);
  ImgScriptFile->OnClick = bind(&TMainForm::ImgScriptFileClick);
  ImgScriptExt->OnClick = bind(&TMainForm::ImgScriptExtClick);
  BtnAide->OnClick = bind(&TMainForm::BtnAideClick);
  BtnAProp->OnClick = bind(&TMainForm::BtnAPropClick);
  BtnQuitter->OnClick = bind(&TMainForm::BtnQuitterClick);
  BtnDir->OnClick = bind(&TMainForm::BtnDirClick);
  BtnOptions->OnClick = bind(&TMainForm::BtnOptionsClick);
  BtnRenommer->OnClick = bind(&TMainForm::BtnRenommerClick);
  BtnSimuler->OnClick = bind(&TMainForm::BtnSimulerClick);
  Timer->OnTimer = bind(&TMainForm::TimerTimer);

  EditFile->OnExit = bind(&TMainForm::EditFileExit);
  EditExt->OnExit = bind(&TMainForm::EditExtExit);
  EditFile->OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { EditFileKeyDown(s, k, sh); };
  EditExt->OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { EditExtKeyDown(s, k, sh); };
  for (TWinControl* c : std::initializer_list<TWinControl*>{EditFile, EditExt, EditMask, EditDir})
    c->OnKeyPress = [this](TComponent& s, char& k) { EditFileKeyPress(s, k); };
  EditMask->OnMouseDown = [this](TComponent& s, TMouseButton b, TShiftState sh, int x, int y) {
    EditMaskMouseDown(s, b, sh, x, y);
  };
  TimePicker->OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { TimePickerKeyDown(s, k, sh); };
  DateEdit->OnKeyDown = [this](TComponent& s, WORD& k, TShiftState sh) { DateEditKeyDown(s, k, sh); };
}

}  // namespace qv::app
