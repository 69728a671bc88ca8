// The main window's control handlers: each stores its option, then updates
// what depends on it (the preview, the slider range, related controls, the
// file list).
#include "app/MainForm.h"

#include "app/APropos.h"
#include "app/Dossiers.h"
#include "app/HelpFile.h"
#include "app/Options.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "engine/DateTime.h"
#include "engine/ModelPreview.h"
#include "engine/TextUtils.h"
#include "engine/win32/SystemHelpers.h"
#include "framework/Application.h"

namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

namespace {
bool Checked(TComponent& sender) {
  auto* box = dynamic_cast<TCheckBox*>(&sender);
  return box && box->Checked();
}
}  // namespace

void TMainForm::SetEditColor(TWinControl& edit, bool enabled) {
  edit.SetEnabled(enabled);
  edit.SetColor(enabled ? clWindow : clBtnFace);
}

// --- Preview

void TMainForm::UpdateModelPreview(bool rescan) {
  const eng::TProgramOptions& o = m_engine->Options;
  const TColor col0 = static_cast<TColor>(o.Col0), col1 = static_cast<TColor>(o.Col1),
               col2 = static_cast<TColor>(o.Col2);
  const eng::TPreviewLine line = eng::BuildPreviewLine(o);
  if (line.ScriptMode) {
    FModelText = "Modèle non disponible";
    RichEdit->SetText(FModelText);
    RichEdit->ColorRange(0, static_cast<int>(FModelText.size()), col0);
  } else {
    FModelText = line.Text;
    const int width = eng::TextWidthInPixels(RichEdit->EffectiveFont().Handle(), line.Text);
    if (width >= RichEdit->Width() - 12) {
      RichEdit->SetText("Modèle non visible");
      RichEdit->ColorRange(0, 18, col0);
    } else {
      RichEdit->SetText(line.Text);
      RichEdit->ColorRange(0, static_cast<int>(line.Text.size()), col0);
      if (line.HasIndex) {
        if (line.ExtraDigits > 0) RichEdit->ColorRange(line.IndexOffset, line.ExtraDigits, col2);
        RichEdit->ColorRange(line.IndexOffset + line.ExtraDigits, line.FormatDigits, col1);
      }
    }
  }
  RichEdit->SetSelection(0, 0);
  if (!o.NoneIndice) {
    LabelPosition->SetCaption("Position : " + std::to_string(QxSlider->Value()));
    LabelPosition->Font().SetColor(0x800000);
  } else {
    LabelPosition->SetCaption("Position");
    LabelPosition->Font().SetColor(0x808080);
  }
  if (rescan) RefreshFileList();
}

int TMainForm::SliderModelLength() const {
  const eng::TProgramOptions& o = m_engine->Options;
  if (o.ExtensionIndice)
    return o.ScriptExtension ? eng::ScriptVisibleLength(o.NameExtension) : static_cast<int>(o.NameExtension.size());
  return o.ScriptFile ? eng::ScriptVisibleLength(o.NameFile) : static_cast<int>(o.NameFile.size());
}

void TMainForm::UpdateSliderRange() {
  eng::TProgramOptions& o = m_engine->Options;
  int length = SliderModelLength();
  if (length > 0) {
    QxSlider->SetEnabled(!o.NoneIndice);
    QxSlider->SetMaxValue(length);
  } else {
    QxSlider->SetMaxValue(1);
    QxSlider->SetValue(1);
    QxSlider->SetEnabled(false);
    length = 1;
  }
  if (o.PositionIndice == 1) QxSlider->SetValue(0);
  if (o.PositionIndice == 2) QxSlider->SetValue(length);
  o.Position = QxSlider->Value();
}

void TMainForm::UpdateAutoFormat(size_t count) {
  const eng::TProgramOptions& o = m_engine->Options;
  if (o.AutoFormat) {
    SetEditColor(*EditFormat, false);
    // The digits the last index needs (never below 0).
    const int64_t last = std::max<int64_t>(0, static_cast<int64_t>(count) + o.Start - 1);
    ShowFormatWidth(static_cast<int>(std::to_string(last).size()));
  } else if (!o.NoneIndice) {
    SetEditColor(*EditFormat, true);
  }
}

void TMainForm::UpdateIndexControls() {
  const eng::TProgramOptions& o = m_engine->Options;
  if (o.NoneIndice) {
    SetEditColor(*EditFormat, false);
    SetEditColor(*EditCara, false);
    SetEditColor(*SpinDebut, false);
    CheckFormat->SetEnabled(false);
    QxSlider->SetEnabled(false);
    CheckExt->SetChecked(false);
    CheckExt->SetEnabled(false);
    BtnIndice1->SetEnabled(false);
    BtnIndice2->SetEnabled(false);
  } else {
    SetEditColor(*EditFormat, !o.AutoFormat);
    SetEditColor(*EditCara, true);
    SetEditColor(*SpinDebut, true);
    CheckFormat->SetEnabled(true);
    QxSlider->SetEnabled(true);
    BtnIndice1->SetEnabled(true);
    BtnIndice2->SetEnabled(true);
    CheckExt->SetEnabled(!o.NoFile && !o.NoExtension);
    CheckExt->SetChecked(o.NoFile && !o.NoExtension);
  }
}

void TMainForm::UpdateKeepControls() {
  const eng::TProgramOptions& o = m_engine->Options;
  if (o.NoFile && !o.NoExtension) {
    if (!o.NoneIndice) CheckExt->SetChecked(true);
    CheckExt->SetEnabled(false);
    CheckAucun->SetEnabled(true);
  } else if (o.NoFile && o.NoExtension) {
    CheckExt->SetChecked(false);
    CheckExt->SetEnabled(false);
    CheckAucun->SetChecked(true);
    CheckAucun->SetEnabled(false);
  } else if (!o.NoFile && o.NoExtension) {
    CheckExt->SetChecked(false);
    CheckExt->SetEnabled(false);
    CheckAucun->SetEnabled(true);
  } else {
    CheckExt->SetEnabled(!o.NoneIndice);
    CheckAucun->SetEnabled(true);
  }
}

void TMainForm::UpdatePadCharacter() {
  eng::TProgramOptions& o = m_engine->Options;
  if (o.Character == '\0') o.Character = ' ';
  ShowFormatWidth(static_cast<int>(EditFormat->Text().size()));
}

void TMainForm::ShowFormatWidth(int width) {
  // Typed or automatic, the width shows as that many pad characters (its
  // change handler stores the length as "Format").
  EditFormat->SetText(std::string(static_cast<size_t>(std::max(1, width)), m_engine->Options.Character));
}

void TMainForm::UpdateDateTimeControls() {
  const eng::TProgramOptions& o = m_engine->Options;
  SetEditColor(*DateEdit, o.DateOn);
  SetEditColor(*TimePicker, o.TimeOn);
}

void TMainForm::UpdateAttributeControls() {
  const bool on = m_engine->Options.AttributOn;
  for (TCheckBox* b : {CheckRead, CheckHidden, CheckSystem, CheckArchive}) b->SetEnabled(on);
  LabelDecimal->Font().SetColor(on ? clWindowText : 0x808080);
}

void TMainForm::ApplyAttributeOption() {
  const int32_t a = m_engine->Options.Attribut;
  for (TCheckBox* b : {CheckRead, CheckHidden, CheckSystem, CheckArchive})
    if (a & b->Tag()) b->SetChecked(true);
  m_engine->Options.Attribut = a;  // the boxes' handlers recount it
  LabelDecimal->SetCaption(std::to_string(a));
  UpdateAttributeControls();
}

void TMainForm::ApplyListActive() {
  FileList->SetColor(m_engine->Options.ActiveListe ? clWindow : clBtnFace);
  RefreshFileList();
}

void TMainForm::ApplyAutoOption() {
  BtnAuto->SetDown(m_engine->Options.Auto);
  SetMonitorActive(m_engine->Options.Auto);
}

void TMainForm::ApplyGridOption() {
  auto styles = FileList->ExtendedStyles();
  if (m_engine->Options.Grid)
    styles.Include(controls::lvxGridLines);
  else
    styles.Exclude(controls::lvxGridLines);
  FileList->SetExtendedStyles(styles);
}

void TMainForm::ReloadListForDateFormat() {
  // The date columns are formatted as the rows are painted: repainting
  // them is enough, where a rescan per typed character would read the
  // whole folder again.
  FileList->Invalidate();
}

void TMainForm::SetModelDropDownCount(int rows) {
  // A count the combos refuse leaves them as they were.
  EditFile->SetDropDownCount(rows);
  EditExt->SetDropDownCount(rows);
}

void TMainForm::UpdateScanAttributes() {
  // The listing reads the mask from the options at each scan (47 with the
  // hidden and system files, else 41).
}

void TMainForm::SetNameCaseBox(int value) {
  for (TCheckBox* b : {CheckFileMaj, CheckFileMajMin, CheckFileMajMaj, CheckFileMin})
    if (b->Tag() == value) b->SetChecked(true);
  UpdateModelPreview(true);
}

void TMainForm::SetExtCaseBox(int value) {
  for (TCheckBox* b : {CheckExtMaj, CheckExtMajMin, CheckExtMin})
    if (b->Tag() == value) b->SetChecked(true);
  UpdateModelPreview(true);
}

// --- Handlers

void TMainForm::EditDirChange(TComponent&) {
  m_engine->Options.Directory = EditDir->Text();
  m_engine->Interpreter().SetFolderName(eng::ExtractFolderName(m_engine->Options.Directory));
  RefreshFileList();
}

void TMainForm::EditMaskChange(TComponent&) {
  m_engine->Options.Mask = EditMask->Text();
  RefreshFileList();
}

void TMainForm::EditFileChange(TComponent&) {
  eng::TProgramOptions& o = m_engine->Options;
  o.NameFile = EditFile->Text();
  (o.ScriptFile ? o.IdxScriptFile : o.IdxNameFile) = EditFile->ItemIndex();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::EditExtChange(TComponent&) {
  eng::TProgramOptions& o = m_engine->Options;
  std::string text = EditExt->Text();
  if (!text.empty() && text[0] == '.') {
    // Setting the text raises no change of its own: store it here.
    text.erase(0, 1);
    EditExt->SetText(text);
  }
  o.NameExtension = text;
  (o.ScriptExtension ? o.IdxScriptExtension : o.IdxNameExtension) = EditExt->ItemIndex();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::CheckNoFileClick(TComponent& sender) {
  eng::TProgramOptions& o = m_engine->Options;
  o.NoFile = Checked(sender);
  if (o.NoFile) {
    CheckSpFile->SetChecked(false);
    o.NameFile = "*";
    EditFile->SetText("*");
    SetEditColor(*EditFile, false);
  } else {
    if (EditFile->ItemCount() > 0) SelectHistoryEntry(*EditFile, o.IdxNameFile);
    SetEditColor(*EditFile, true);
  }
  const bool caseOn = o.ScriptFile || o.NoFile;
  for (TCheckBox* b : {CheckFileMaj, CheckFileMajMin, CheckFileMajMaj, CheckFileMin}) b->SetEnabled(caseOn);
  UpdateKeepControls();
  o.NameFile = EditFile->Text();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::CheckNoExtClick(TComponent& sender) {
  eng::TProgramOptions& o = m_engine->Options;
  o.NoExtension = Checked(sender);
  if (o.NoExtension) {
    CheckSpExt->SetChecked(false);
    o.NameExtension = "*";
    EditExt->SetText("*");
    SetEditColor(*EditExt, false);
  } else {
    if (EditExt->ItemCount() > 0) SelectHistoryEntry(*EditExt, o.IdxNameExtension);
    SetEditColor(*EditExt, true);
  }
  const bool caseOn = o.ScriptExtension || o.NoExtension;
  for (TCheckBox* b : {CheckExtMaj, CheckExtMajMin, CheckExtMin}) b->SetEnabled(caseOn);
  UpdateKeepControls();
  o.NameExtension = EditExt->Text();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::CheckSpFileClick(TComponent& sender) {
  eng::TProgramOptions& o = m_engine->Options;
  const bool on = Checked(sender);
  if (on != o.ScriptFile) {
    if (on) CheckNoFile->SetChecked(false);
    SwitchHistory(*EditFile, on, m_engine->Histories.NameHistory, m_engine->Histories.NameScriptHistory,
                  o.IdxNameFile, o.IdxScriptFile);
  }
  o.ScriptFile = on;
  for (TCheckBox* b : {CheckFileMaj, CheckFileMajMin, CheckFileMajMaj, CheckFileMin}) b->SetEnabled(on || o.NoFile);
  o.NameFile = EditFile->Text();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::CheckSpExtClick(TComponent& sender) {
  eng::TProgramOptions& o = m_engine->Options;
  const bool on = Checked(sender);
  if (on != o.ScriptExtension) {
    if (on) CheckNoExt->SetChecked(false);
    SwitchHistory(*EditExt, on, m_engine->Histories.ExtHistory, m_engine->Histories.ExtScriptHistory,
                  o.IdxNameExtension, o.IdxScriptExtension);
  }
  o.ScriptExtension = on;
  for (TCheckBox* b : {CheckExtMaj, CheckExtMajMin, CheckExtMin}) b->SetEnabled(on || o.NoExtension);
  o.NameExtension = EditExt->Text();
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::CheckFileCaseClick(TComponent& sender) {
  auto& box = static_cast<TCheckBox&>(sender);
  if (box.Checked()) {
    m_engine->Options.CasseFile = box.Tag();
    for (TCheckBox* b : {CheckFileMaj, CheckFileMajMin, CheckFileMajMaj, CheckFileMin})
      if (b != &box) b->SetChecked(false);
  } else if (m_engine->Options.CasseFile == box.Tag()) {
    m_engine->Options.CasseFile = 0;
  }
  UpdateModelPreview(true);
}

void TMainForm::CheckExtCaseClick(TComponent& sender) {
  auto& box = static_cast<TCheckBox&>(sender);
  if (box.Checked()) {
    m_engine->Options.CasseExtension = box.Tag();
    for (TCheckBox* b : {CheckExtMaj, CheckExtMajMin, CheckExtMin})
      if (b != &box) b->SetChecked(false);
  } else if (m_engine->Options.CasseExtension == box.Tag()) {
    m_engine->Options.CasseExtension = 0;
  }
  UpdateModelPreview(true);
}

void TMainForm::EditFormatChange(TComponent&) {
  std::string text = EditFormat->Text();
  if (text.empty()) {
    EditFormat->SetText("0");
    return;  // the change that follows stores it
  }
  m_engine->Options.Format = static_cast<int32_t>(text.size());
  UpdateModelPreview(true);
}

void TMainForm::EditCaraChange(TComponent&) {
  const std::string text = EditCara->Text();
  m_engine->Options.Character = text.empty() ? ' ' : text[0];
  UpdatePadCharacter();
}

void TMainForm::EditCaraExit(TComponent&) {
  if (EditCara->Text().empty()) {
    m_engine->Options.Character = ' ';
    EditCara->SetText(" ");
  }
  UpdatePadCharacter();
}

void TMainForm::EditCaraClick(TComponent&) { CommitFocusedEdit(); }

void TMainForm::SpinDebutChange(TComponent&) {
  long double v = SpinDebut->Value();
  if (v < 0) {
    SpinDebut->SetValue(0);
    v = 0;
  }
  m_engine->Options.Start = static_cast<int32_t>(std::llround(static_cast<double>(v)));
  UpdateModelPreview(true);
}

void TMainForm::CheckFormatClick(TComponent& sender) {
  m_engine->Options.AutoFormat = Checked(sender);
  UpdateAutoFormat(static_cast<size_t>(std::max(0, FileList->ItemCount())));
}

void TMainForm::CheckAucunClick(TComponent& sender) {
  m_engine->Options.NoneIndice = Checked(sender);
  LabelAucun->Font().SetColor(m_engine->Options.NoneIndice ? 0x0000FF : clWindowText);
  UpdateIndexControls();
  UpdateModelPreview(true);
}

void TMainForm::CheckExtClick(TComponent& sender) {
  m_engine->Options.ExtensionIndice = Checked(sender);
  UpdateSliderRange();
  UpdateModelPreview(true);
}

void TMainForm::QxSliderChange(TComponent&) {
  m_engine->Options.Position = QxSlider->Value();
  UpdateModelPreview(true);
}

void TMainForm::QxSliderClick(TComponent&) { m_engine->Options.PositionIndice = 0; }

void TMainForm::BtnIndice1Click(TComponent&) {
  m_engine->Options.PositionIndice = 1;
  UpdateSliderRange();
}

void TMainForm::BtnIndice2Click(TComponent&) {
  m_engine->Options.PositionIndice = 2;
  UpdateSliderRange();
}

void TMainForm::CheckDateOnClick(TComponent& sender) {
  m_engine->Options.DateOn = Checked(sender);
  UpdateDateTimeControls();
}

void TMainForm::CheckTimeOnClick(TComponent& sender) {
  m_engine->Options.TimeOn = Checked(sender);
  UpdateDateTimeControls();
}

void TMainForm::DateEditChange(TComponent&) {
  m_engine->Options.Date = DateEdit->Text();
}

void TMainForm::TimePickerChange(TComponent&) {
  m_engine->Options.Time = eng::TimeToStr(TimePicker->DateTime());
}

void TMainForm::CheckAttrOnClick(TComponent& sender) {
  m_engine->Options.AttributOn = Checked(sender);
  UpdateAttributeControls();
}

void TMainForm::CheckReadClick(TComponent&) {
  int32_t sum = 0;
  for (TCheckBox* b : {CheckRead, CheckHidden, CheckSystem, CheckArchive})
    if (b->Checked()) sum += b->Tag();
  m_engine->Options.Attribut = sum;
  LabelDecimal->SetCaption(std::to_string(sum));
}

void TMainForm::PopOutListeClick(TComponent&) {
  PopOutListe->Checked = !PopOutListe->Checked;
  m_engine->Options.ActiveListe = !PopOutListe->Checked;
  ApplyListActive();
}

void TMainForm::BtnAutoClick(TComponent&) {
  CommitFocusedEdit();
  // The button never latches on a click of its own: its down state is
  // still the option's, and the click asks for the other one.
  m_engine->Options.Auto = !BtnAuto->Down();
  ApplyAutoOption();
  if (m_engine->Options.Auto) RefreshFileList();
}

void TMainForm::QxFolderMonitorChange(TComponent&) { RefreshFileList(); }

void TMainForm::BtnRefreshClick(TComponent&) {
  CommitFocusedEdit();
  RefreshFileList();
}

void TMainForm::RichEditEnter(TComponent&) {
  if (EditDir->CanFocus()) EditDir->SetFocus();
}

void TMainForm::RichEditExit(TComponent&) { RichEdit->SetSelection(0, 0); }

void TMainForm::ImgScriptFileClick(TComponent&) {
  CheckSpFile->SetChecked(true);
  if (EditFile->CanFocus()) EditFile->SetFocus();
}

void TMainForm::ImgScriptExtClick(TComponent&) {
  CheckSpExt->SetChecked(true);
  if (EditExt->CanFocus()) EditExt->SetFocus();
}

void TMainForm::BtnAideClick(TComponent&) {
  CommitFocusedEdit();
  OpenHelp();
}

void TMainForm::OpenHelp() { ShowHelpFromButton(Handle(), 0); }

void TMainForm::BtnAPropClick(TComponent&) {
  CommitFocusedEdit();
  const TModalDialogScope scope(m_modalDialogs);
  ShowAboutBox(*this);
}

void TMainForm::BtnQuitterClick(TComponent&) { Close(); }

void TMainForm::BtnDirClick(TComponent&) {
  CommitFocusedEdit();
  std::optional<std::string> folder;
  {
    const TModalDialogScope scope(m_modalDialogs);
    folder = ChooseFolder(*this);
  }
  // The edit's change handler stores the folder and rescans.
  if (folder) EditDir->SetText(*folder);
}

void TMainForm::BtnOptionsClick(TComponent&) {
  const TModalDialogScope scope(m_modalDialogs);
  ExecuteOptionsDialog(*this);
}

void TMainForm::BtnRenommerClick(TComponent&) {
  const TModalDialogScope scope(m_modalDialogs);
  RequestRename(*this);
}

void TMainForm::BtnSimulerClick(TComponent&) {
  const TModalDialogScope scope(m_modalDialogs);
  RequestSimulation(*this);
}

}  // namespace qv::app
