// Handlers of the rename dialog.
#include "app/QuoDial.h"

#include "base/CodePage.h"
#include "engine/FileNameRules.h"
#include "engine/TextUtils.h"
#include "engine/win32/SystemHelpers.h"
#include "framework/MessageDialog.h"

namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

TQuoDial::TQuoDial(TComponent* owner, IRunHost& host, eng::TRunContext& ctx)
    : TForm(owner, "TQuoDial"), m_host(host), m_ctx(ctx) {
  BuildLayout();
  m_display = std::make_unique<TRunDisplay>(*LabelStatus, *ProgressBar, *PanelStatus);
  FinishCreate();
}

TQuoDial::~TQuoDial() = default;

void TQuoDial::FormCreate(TComponent&) {
  PlaceDialog(*this, m_host.DialogPlacement());
  ApplyTexture(m_ctx.Options.Texture, *WallpaperDial, m_host.TextureSource());
  CheckRapport->SetChecked(m_ctx.Options.Rapport);
  UpdateReportEditState();
}

LRESULT TQuoDial::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      // The run pumps this dialog's messages: closing it now would free
      // the dialog under the run.
      if (m_running) {
        RefuseClose();
        return 0;
      }
      break;
    case WM_SYSCOLORCHANGE:
      ApplyTexture(m_ctx.Options.Texture, *WallpaperDial, m_host.TextureSource());
      break;
    default:
      break;
  }
  return TForm::WndProc(msg, wp, lp);
}

bool TQuoDial::DialogKey(WORD key) {
  if (key != VK_ESCAPE) return TForm::DialogKey(key);
  if (m_running) {
    RefuseClose();
  } else if (BtnNon->Visible() && BtnNon->Enabled()) {
    BtnNon->Click();
  } else if (BtnFermer->Visible() && BtnFermer->Enabled()) {
    BtnFermer->Click();
  }
  return true;
}

void TQuoDial::FormCloseQuery(TComponent&, bool& canClose) { canClose = !m_running; }

void TQuoDial::RefuseClose() { MessageBeep(MB_OK); }

// ---- Buttons -----------------------------------------------------------------

void TQuoDial::BtnOuiClick(TComponent&) {
  if (m_running) return;
  if (!m_ctx.Options.Rapport) {
    Run(TRunKind::Rename, nullptr);
    return;
  }
  std::unique_ptr<eng::TReportWriter> report;
  if (!OpenReportFor(eng::TOpenMode::Replace, report)) return;
  Run(TRunKind::Rename, report.get());
  report->Close();
}

void TQuoDial::BtnUndoClick(TComponent&) {
  if (m_running) return;
  const int answer = eng::ShowMessageWithSound(
      "Attention, vous allez annuler l'opération !\r\nTous les paramètres vont être restaurés.\r\n\r\n"
      "Souhaitez-vous restaurer tous les fichiers ?",
      eng::mtWarning, eng::mbYesNo, 0);
  if (answer != IDYES) return;
  if (!m_ctx.Options.Rapport) {
    Run(TRunKind::Undo, nullptr);
    return;
  }
  std::unique_ptr<eng::TReportWriter> report;
  if (!OpenReportFor(eng::TOpenMode::Append, report)) return;
  Run(TRunKind::Undo, report.get());
  report->Close();
}

void TQuoDial::BtnArreterClick(TComponent&) {
  const int answer = eng::ShowMessageWithSound("\r\nVoulez-vous arrêter l'opération en cours ?", eng::mtConfirmation,
                                               eng::mbYesNo, 0);
  FStopRequested = answer == IDYES;
}

void TQuoDial::BtnNonClick(TComponent&) {
  if (!m_running) Close();
}

void TQuoDial::BtnFermerClick(TComponent&) {
  if (!m_running) Close();
}

void TQuoDial::BtnRapportClick(TComponent&) {
  const std::string path = ReportFilePath();
  if (!FileExistsAt(path)) {
    eng::ShowMessageWithSound("Le rapport n'existe pas ou n'est pas accessible :\r\n" + path, eng::mtInformation,
                              eng::mbOK, 0);
    return;
  }
  const std::string& editor = m_ctx.Options.Editor;
  if (!StartProgram(editor.empty() ? DefaultEditor() : editor, path)) MessageBeep(MB_ICONHAND);
}

// ---- Report controls ------------------------------------------------------------

void TQuoDial::CheckRapportClick(TComponent&) {
  m_ctx.Options.Rapport = CheckRapport->Checked();
  UpdateReportEditState();
}

void TQuoDial::LabelRapportClick(TComponent&) {
  if (CheckRapport->Enabled()) CheckRapport->SetChecked(!CheckRapport->Checked());
}

void TQuoDial::UpdateReportEditState() {
  const bool on = m_ctx.Options.Rapport;
  EditRapport->SetEnabled(on);
  EditRapport->SetColor(on ? clWindow : clBtnFace);
}

void TQuoDial::EditRapportMouseDown(TComponent&, TMouseButton, TShiftState shift, int, int) {
  if (!shift.Ctrl) return;
  std::string editor = m_ctx.Options.Editor;
  if (!InputQuery("Nouvel éditeur", "Indiquez le chemin complet de l'éditeur", editor)) return;
  std::string path = editor;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  if (FileExistsAt(path)) {
    m_ctx.Options.Editor = path;
    return;
  }
  m_ctx.Options.Editor = DefaultEditor();
  eng::ShowMessageWithSound("Attention, le fichier indiqué n'existe pas.\r\nL'éditeur par défaut a été restauré.",
                            eng::mtWarning, eng::mbOK, 0);
}

std::string TQuoDial::ReportFilePath() const { return eng::ReportPath(m_ctx.Options.DirRapport, EditRapport->Text()); }

bool TQuoDial::OpenReportFor(eng::TOpenMode mode, std::unique_ptr<eng::TReportWriter>& report) {
  eng::IFileOps& fs = m_ctx.Files;
  const std::string folder = eng::StripTrailingBackslashes(m_ctx.Options.DirRapport);
  if (folder.empty() || !eng::CreateFolderPath(fs, base::Cp1252ToUtf16(folder))) {
    eng::ShowMessageWithSound("Attention, le chemin suivant ne peut pas être créé :\r\n" + folder +
                                  "\r\n\r\nL'opération ne peut pas être exécutée.",
                              eng::mtError, eng::mbOK, 0);
    return false;
  }
  const std::string name = EditRapport->Text();
  const std::string path = ReportFilePath();
  auto cannotCreate = [&] {
    eng::ShowMessageWithSound("Attention, le rapport suivant ne peut pas être créé :\r\n" + path +
                                  "\r\n\r\nL'opération ne peut pas être exécutée.",
                              eng::mtError, eng::mbOK, 0);
    return false;
  };
  // A name with ":" would open a stream of another file, "\" a file
  // elsewhere, "CON.txt" the console.
  if (!eng::IsValidFileName(name)) return cannotCreate();
  if (mode == eng::TOpenMode::Replace && fs.Exists(base::Cp1252ToUtf16(path))) {
    // Only the answer that says to overwrite does; closing the box does not.
    const int answer = eng::ShowMessageWithSound("Attention, le rapport suivant existe déjà sur le disque :\r\n" +
                                                     path + "\r\n\r\nChoisissez Ignorer pour écraser le fichier existant.",
                                                 eng::mtError, eng::mbAbort | eng::mbIgnore, 0);
    if (answer != IDIGNORE) return false;
  }
  eng::TReportOpenResult opened = eng::OpenReport(fs, folder, name, mode);
  if (opened.Status != eng::TReportOpen::Ok) return cannotCreate();
  report = std::move(opened.Writer);
  return true;
}

void TQuoDial::Run(TRunKind kind, eng::TReportWriter* report) {
  m_running = true;
  HMENU system = GetSystemMenu(Handle(), FALSE);
  if (system) EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  FStopRequested = false;
  try {
    if (kind == TRunKind::Rename)
      eng::RunRename(m_ctx, *this, report);
    else
      eng::RunUndo(m_ctx, *this, report);
  } catch (...) {
    MessageBeep(0);
    // Whatever ended the run, the dialog can be closed.
    SetButton(eng::TRunButton::Arreter, true, false);
    SetButton(eng::TRunButton::Fermer, true, true);
  }
  m_display->Flush();
  m_running = false;
  if (system) EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

// ---- What the runs show -----------------------------------------------------------

controls::TQxSpeedButton* TQuoDial::Button(eng::TRunButton b) const {
  switch (b) {
    case eng::TRunButton::Non: return BtnNon;
    case eng::TRunButton::Oui: return BtnOui;
    case eng::TRunButton::Undo: return BtnUndo;
    case eng::TRunButton::Arreter: return BtnArreter;
    case eng::TRunButton::Fermer: return BtnFermer;
    case eng::TRunButton::Rapport: return BtnRapport;
  }
  return nullptr;
}

void TQuoDial::SetButton(eng::TRunButton button, bool visible, bool enabled) {
  m_display->Flush();
  if (controls::TQxSpeedButton* b = Button(button)) {
    b->SetVisible(visible);
    b->SetEnabled(enabled);
  }
}

void TQuoDial::SetReportControlsEnabled(bool enabled) {
  CheckRapport->SetEnabled(enabled);
  LabelRapport->SetEnabled(enabled);
  if (enabled) {
    UpdateReportEditState();
  } else {
    EditRapport->SetEnabled(false);
    EditRapport->SetColor(clBtnFace);
  }
}

TLabel* TQuoDial::HeaderLabel(eng::THeaderField field) const {
  switch (field) {
    case eng::THeaderField::Directory: return LabelDirectory;
    case eng::THeaderField::NbFiles: return LabelNbFiles;
    case eng::THeaderField::Modele: return LabelModele;
    case eng::THeaderField::Date: return LabelDate;
    case eng::THeaderField::Time: return LabelTime;
    case eng::THeaderField::Attribut: return LabelAttribut;
  }
  return nullptr;
}

std::string TQuoDial::HeaderText(eng::THeaderField field) {
  TLabel* l = HeaderLabel(field);
  return l ? l->Caption() : std::string();
}

void TQuoDial::SetHeaderText(eng::THeaderField field, const std::string& text) {
  if (TLabel* l = HeaderLabel(field)) l->SetCaption(text);
}

void TQuoDial::SetMainStatus(const std::string& text) { m_host.SetMainStatus(text); }

void TQuoDial::ShowInformation(const std::string& text) {
  m_display->Flush();
  eng::ShowMessageWithSound(text, eng::mtInformation, eng::mbOK, 0);
}

void TQuoDial::ShowError(const std::string& text) {
  m_display->Flush();
  eng::ShowMessageWithSound(text, eng::mtError, eng::mbOK, 0);
}

}  // namespace qv::app
