// Handlers of the options dialog and its run from the main window.
#include "app/Options.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "app/HelpFile.h"
#include "engine/TextUtils.h"
#include "engine/win32/SystemHelpers.h"
#include "framework/Application.h"


namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

namespace {

constexpr int kHelpContext = 25;
const eng::TProgramOptions kDefaults{};

// The options whose previews act on the main window while the dialog is
// open: they hold the boxes' values until the dialog ends.
struct TPreviewed {
  bool Texture, Grid, MajAscii, AttributFull;
  std::string ModelDate;

  static TPreviewed From(const eng::TProgramOptions& o) {
    return {o.Texture, o.Grid, o.MajAscii, o.AttributFull, o.ModelDate};
  }
  void RestoreInto(eng::TProgramOptions& o) const {
    o.Texture = Texture;
    o.Grid = Grid;
    o.MajAscii = MajAscii;
    o.AttributFull = AttributFull;
    o.ModelDate = ModelDate;
  }
};

bool Allowed(const std::string& text) { return text.find_first_of(eng::kForbiddenChars) == std::string::npos; }

}  // namespace

TOptions::TOptions(TComponent* owner, IOptionsHost& host) : TForm(owner, "TOptions"), m_host(host) {
  BuildLayout();
  FinishCreate();
}

TOptions::~TOptions() = default;

void TOptions::FormCreate(TComponent&) {
  FShown = false;
  PlaceDialog(*this, m_host.DialogPlacement());
  UpdateAttrFullLabelColor();
  ApplyOwnTexture();
}

void TOptions::FormShow(TComponent&) { FShown = true; }

void TOptions::ApplyOwnTexture() { ApplyTexture(m_host.Options().Texture, *WallpaperOpt, m_host.TextureSource()); }

LRESULT TOptions::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOLORCHANGE) ApplyOwnTexture();
  return TForm::WndProc(msg, wp, lp);
}

bool TOptions::DialogKey(WORD key) {
  if (key != VK_ESCAPE) return TForm::DialogKey(key);
  BtnAnnuler->Click();
  return true;
}

// ---- Values in and out ---------------------------------------------------------

void TOptions::LoadFromOptions() {
  const eng::TProgramOptions& o = m_host.Options();
  CheckTexture->SetChecked(o.Texture);
  CheckHint->SetChecked(o.Hint);
  CheckGrid->SetChecked(o.Grid);
  CheckAttrFull->SetChecked(o.AttributFull);
  CheckSaisie->SetChecked(o.SaveSaisie);
  CheckDelList->SetChecked(o.DeleteList);
  CheckMajAscii->SetChecked(o.MajAscii);
  EditModelDate->SetText(o.ModelDate);
  // A stored position outside the three acts as the free position on the
  // main window: the box shows that default rather than no choice.
  if (!RadioPosIndice->SetItemIndex(o.PositionIndice)) RadioPosIndice->SetItemIndex(kDefaults.PositionIndice);
  // Counts outside 1..99 come in brought into the range by the edits.
  ValidateDownCount->SetAsInteger(o.DownCount);
  ValidateMaxCombo->SetAsInteger(o.MaxCombo);
  // A forbidden stored character (written by hand in the registry) would
  // refuse every close: the default takes its place.
  EditReplaceChar->SetText(Allowed(o.ReplaceChar) ? o.ReplaceChar : kDefaults.ReplaceChar);
}

void TOptions::StoreToOptions() {
  eng::TProgramOptions& o = m_host.Options();
  o.Texture = CheckTexture->Checked();
  o.Hint = CheckHint->Checked();
  o.Grid = CheckGrid->Checked();
  o.AttributFull = CheckAttrFull->Checked();
  o.SaveSaisie = CheckSaisie->Checked();
  o.DeleteList = CheckDelList->Checked();
  o.MajAscii = CheckMajAscii->Checked();
  o.ModelDate = EditModelDate->Text();
  if (RadioPosIndice->ItemIndex() >= 0) o.PositionIndice = RadioPosIndice->ItemIndex();
  // Read even when not left: "Accepter" takes no focus.
  // Typed but not yet left, a count may still be out of range.
  o.DownCount = static_cast<int>(std::clamp<int64_t>(ValidateDownCount->AsInt64(), 1, 99));
  o.MaxCombo = static_cast<int>(std::clamp<int64_t>(ValidateMaxCombo->AsInt64(), 1, 99));
  o.ReplaceChar = EditReplaceChar->Text();
}

// ---- Closing ------------------------------------------------------------------------

void TOptions::BtnAccepterClick(TComponent&) {
  FAccepted = true;
  Close();
}

void TOptions::BtnAnnulerClick(TComponent&) {
  FAccepted = false;
  Close();
}

void TOptions::FormCloseQuery(TComponent&, bool& canClose) {
  canClose = IsReplaceCharAllowed(EditReplaceChar->Text());
  // A refused "Accepter" must not make a later close (the close box, Esc)
  // count as accepted.
  if (!canClose) FAccepted = false;
}

bool TOptions::IsReplaceCharAllowed(const std::string& text) {
  if (text.empty() || Allowed(text)) return true;
  if (m_checkingReplaceChar) return false;
  m_checkingReplaceChar = true;
  eng::ShowMessageWithSound(
      "Le caractère de remplacement est interdit dans les noms de fichiers !\r\n"
      "Le caractère précédent va être automatiquement restauré.",
      eng::mtWarning, eng::mbOK, 0);
  // A forbidden stored value would refuse every later close as well.
  const std::string& stored = m_host.Options().ReplaceChar;
  EditReplaceChar->SetText(Allowed(stored) ? stored : kDefaults.ReplaceChar);
  m_checkingReplaceChar = false;
  return false;
}

void TOptions::EditReplaceCharExit(TComponent&) { IsReplaceCharAllowed(EditReplaceChar->Text()); }

// ---- Buttons -------------------------------------------------------------------------

void TOptions::BtnAideClick(TComponent&) { ShowHelpFromButton(Handle(), kHelpContext); }

void TOptions::BtnDirRapportClick(TComponent&) {
  const std::string folder = eng::StripTrailingBackslashes(m_host.Options().DirRapport);
  const std::string shown = folder + "\\";
  const DWORD attr = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(shown.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    eng::ShowMessageWithSound("Le dossier des rapports n'existe pas ou n'est pas accessible :\r\n" + shown,
                              eng::mtInformation, eng::mbOK, 0);
    return;
  }
  // Quoted, the folder's blanks cannot split it; without its closing
  // backslash, which would escape the quote.
  if (!StartProgram("explorer.exe", folder)) MessageBeep(MB_ICONHAND);
}

// ---- Live previews ------------------------------------------------------------------

void TOptions::CheckTextureClick(TComponent&) {
  if (!FShown) return;
  m_host.Options().Texture = CheckTexture->Checked();
  ApplyOwnTexture();
  m_host.ApplyMainTexture();
}

void TOptions::CheckGridClick(TComponent&) {
  if (!FShown) return;
  m_host.Options().Grid = CheckGrid->Checked();
  m_host.ApplyGridOption();
}

void TOptions::CheckMajAsciiClick(TComponent&) {
  if (!FShown) return;
  m_host.Options().MajAscii = CheckMajAscii->Checked();
  m_host.UpdateModelPreview(true);
}

void TOptions::CheckAttrFullClick(TComponent&) {
  if (!FShown) return;
  m_host.Options().AttributFull = CheckAttrFull->Checked();
  UpdateAttrFullLabelColor();
  m_host.UpdateScanAttributes();
  m_host.UpdateModelPreview(true);
}

void TOptions::LabelAttrFullClick(TComponent&) { CheckAttrFull->SetChecked(!CheckAttrFull->Checked()); }

void TOptions::EditModelDateChange(TComponent&) {
  if (!FShown) return;
  m_host.Options().ModelDate = EditModelDate->Text();
  m_host.ReloadListForDateFormat();
}

void TOptions::UpdateAttrFullLabelColor() {
  LabelAttrFull->Font().SetColor(m_host.Options().AttributFull ? 0x0000FF : clWindowText);
}

// ---- The run --------------------------------------------------------------------------

void ExecuteOptionsDialog(IOptionsHost& host) {
  host.CommitFocusedEdit();
  eng::TProgramOptions& o = host.Options();
  const TPreviewed before = TPreviewed::From(o);
  bool accepted = false;
  {
    auto dialog = std::make_unique<TOptions>(Application(), host);
    dialog->LoadFromOptions();
    dialog->ShowModal();
    accepted = dialog->FAccepted;
    if (accepted) dialog->StoreToOptions();
  }
  if (accepted) {
    host.SetModelDropDownCount(o.DownCount);
  } else {
    before.RestoreInto(o);
  }
  host.ApplyMainTexture();
  host.ApplyHintOption();
  host.ApplyGridOption();
  host.UpdateScanAttributes();
  host.UpdateSliderRange();
  host.UpdateModelPreview(true);
}

}  // namespace qv::app
