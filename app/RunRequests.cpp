// The rename and simulation requests of the main window.
#include "app/RunRequests.h"

#include <memory>

#include "app/QuoDial.h"
#include "app/Simulation.h"
#include "base/CodePage.h"
#include "engine/Report.h"
#include "engine/TextUtils.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/Win32FileOps.h"
#include "framework/Application.h"

namespace qv::app {

namespace eng = qv::engine;

// ---- Host defaults -----------------------------------------------------------

eng::IFileOps& IRunHost::FileOps() {
  static eng::win32::TWin32FileOps files;
  return files;
}

eng::TDateTime IRunHost::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  const auto v = eng::EncodeDateTime(eng::TCalendarTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                                                        st.wSecond, st.wMilliseconds, 0});
  return v ? *v : 0.0;
}

void IRunHost::SetMainStatus(const std::string&) {}

namespace {

// The user's decimal separator, as the progress percentage shows it.
char DecimalSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1 && buf[0]) return buf[0];
  return ',';
}

// The folder monitor is off while a dialog is open and afterwards follows
// the "Auto" option again, whatever happened in between; the rename asks
// for a rescan first (its files have new names).
template <class Fn>
void WithMonitorPaused(IRunHost& host, bool rescan, Fn&& fn) {
  host.SetMonitorActive(false);
  auto restore = [&] {
    if (rescan) host.RefreshFileList();
    host.SetMonitorActive(host.Options().Auto);
  };
  try {
    fn();
  } catch (...) {
    try {
      restore();
    } catch (...) {
    }
    throw;
  }
  restore();
}

void SetupContext(eng::TRunContext& ctx, IRunHost& host) {
  ctx.Now = [&host] { return host.Now(); };
  ctx.DecimalSeparator = DecimalSeparator();
}

std::string FileCount(int count) { return std::to_string(count) + eng::PluralSuffix(" fichier", count); }

void FillRenameDialog(TQuoDial& d, IRunHost& host) {
  const eng::TProgramOptions& o = host.Options();
  d.LabelDirectory->SetCaption(eng::LastPathComponent(eng::StripTrailingBackslashes(o.Directory)));
  d.LabelNbFiles->SetCaption(FileCount(host.ListItemCount()) + " : filtre (" + host.MaskText() + ")");
  d.LabelModele->SetCaption(host.ModelLine());
  d.LabelDate->SetCaption(o.DateOn ? o.Date : "Non");
  d.LabelTime->SetCaption(o.TimeOn ? o.Time : "Non");
  d.LabelAttribut->SetCaption(o.AttributOn ? std::to_string(o.Attribut) : "Non");
  d.LabelStatus->SetCaption("Opération en attente");
  d.PanelStatus->SetCaption(d.LabelNbFiles->Caption());
  d.BtnNon->SetEnabled(true);
  d.BtnOui->SetEnabled(true);
  for (controls::TQxSpeedButton* b : {d.BtnUndo, d.BtnArreter, d.BtnRapport, d.BtnFermer}) {
    b->SetVisible(false);
    b->SetEnabled(false);
  }
  // The folder's name with the characters a file name cannot hold replaced
  // ("C:\" would name a stream of "C:").
  d.EditRapport->SetText(eng::DefaultReportName(o.Directory));
  d.FStopRequested = false;
}

}  // namespace

// ---- Checks -------------------------------------------------------------------

std::u16string RequestFolder(IRunHost& host) {
  const eng::TFileListing& l = host.Listing();
  const std::string& dir = host.Options().Directory;
  if (!l.WideFolderPath.empty() && eng::StripTrailingBackslashes(l.FolderPath) == eng::StripTrailingBackslashes(dir))
    return l.WideFolderPath;
  return base::Cp1252ToUtf16(dir);
}

void ShowFolderMissing(IRunHost& host) {
  eng::ShowMessageWithSound(
      "Le dossier sélectionné n'est pas accessible ou n'existe pas.\r\n"
      "L'opération ne peut pas s'effectuer. Veuillez contrôler SVP.",
      eng::mtInformation, eng::mbOK, 0);
  host.FocusFolderEdit();
}

void ShowNoFileFound() {
  eng::ShowMessageWithSound("Aucun fichier trouvé dans le dossier spécifié", eng::mtInformation, eng::mbOK, 0);
}

void ShowForbiddenCharMessage(IRunHost& host, eng::TModelField field) {
  const char* subject = nullptr;
  int help = 0;
  switch (field) {
    case eng::TModelField::Name: subject = "Le nom"; help = 3; break;
    case eng::TModelField::Extension: subject = "L'extension"; help = 4; break;
    case eng::TModelField::Format: subject = "Le format"; help = 5; break;
    case eng::TModelField::None: return;
  }
  host.FocusModelField(field);
  eng::ShowMessageWithSound(std::string(subject) +
                                " contient un caractère non autorisé (voir Aide).\r\n"
                                "L'opération ne peut pas s'effectuer. Veuillez vérifier SVP.",
                            eng::mtWarning, eng::mbOK | eng::mbHelp, help);
}

bool ConfirmListActive(IRunHost& host) {
  if (host.Options().ActiveListe) return true;
  const int answer = eng::ShowMessageWithSound(
      "La liste des fichiers a été désactivée. L'opération ne peut pas\r\n"
      "se dérouler. Voulez-vous réactiver la liste des fichiers ?",
      eng::mtConfirmation, eng::mbYesNo, 0);
  // Closing the question is no yes.
  if (answer != IDYES) return false;
  host.ReactivateList();
  return true;
}

bool CheckRunRequest(IRunHost& host) {
  host.CommitFocusedEdit();
  if (host.Options().Directory.empty() || !host.FileOps().FolderExists(RequestFolder(host))) {
    ShowFolderMissing(host);
    return false;
  }
  if (!ConfirmListActive(host)) return false;
  if (host.ListItemCount() <= 0) {
    ShowNoFileFound();
    return false;
  }
  const eng::TModelTexts texts{host.NameModelText(), host.ExtensionModelText(), host.PadCharacterText()};
  const eng::TModelField field = eng::ValidateModels(host.Options(), texts);
  if (field != eng::TModelField::None) {
    ShowForbiddenCharMessage(host, field);
    return false;
  }
  return true;
}

// ---- Requests -------------------------------------------------------------------

void RequestRename(IRunHost& host) {
  if (!CheckRunRequest(host)) return;
  WithMonitorPaused(host, true, [&] {
    host.ClearMediaCache();
    eng::TRunContext ctx(host.Listing(), host.Options(), host.Names(), host.FileOps());
    SetupContext(ctx, host);
    auto dialog = std::make_unique<TQuoDial>(fw::Application(), host, ctx);
    FillRenameDialog(*dialog, host);
    dialog->ShowModal();
  });
}

void RequestSimulation(IRunHost& host) {
  if (!CheckRunRequest(host)) return;
  WithMonitorPaused(host, false, [&] {
    host.ClearMediaCache();
    eng::TRunContext ctx(host.Listing(), host.Options(), host.Names(), host.FileOps());
    SetupContext(ctx, host);
    auto dialog = std::make_unique<TSimulation>(fw::Application(), host, ctx);
    dialog->LabelStatus->SetCaption("Opération en préparation");
    dialog->PanelStatus->SetCaption(FileCount(host.ListItemCount()));
    dialog->BtnArreter->SetEnabled(true);
    dialog->BtnFermer->SetEnabled(false);
    dialog->FStopRequested = false;
    dialog->ShowModal();
  });
}

}  // namespace qv::app
