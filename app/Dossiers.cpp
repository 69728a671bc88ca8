// Handlers of the folder dialog.
#include "app/Dossiers.h"

#include "framework/Application.h"

namespace qv::app {

using namespace qv::fw;

TDossiers::TDossiers(TComponent* owner, IDialogHost& host) : TForm(owner, "TDossiers"), m_host(host) {
  BuildLayout();
  FinishCreate();
}

TDossiers::~TDossiers() = default;

void TDossiers::FormCreate(TComponent&) {
  PlaceDialog(*this, m_host.DialogPlacement());
  ApplyOwnTexture();
}

void TDossiers::ApplyOwnTexture() { ApplyTexture(m_host.Options().Texture, *WallpaperDir, m_host.TextureSource()); }

LRESULT TDossiers::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOLORCHANGE) ApplyOwnTexture();
  return TForm::WndProc(msg, wp, lp);
}

void TDossiers::FormClose(TComponent&, TCloseAction& action) { action = TCloseAction::Free; }

void TDossiers::BtnAccepterClick(TComponent&) {
  FAccepted = true;
  Close();
}

void TDossiers::BtnAnnulerClick(TComponent&) { Close(); }

void TDossiers::TreeViewDblClick(TComponent& sender) {
  // A folder with subfolders only opens or closes.
  fw::TTreeNode* node = TreeView->Selected();
  if (node && !node->HasChildren()) BtnAccepterClick(sender);
}

std::optional<std::string> ChooseFolder(IDialogHost& host) {
  // Freed by its close (after the message being handled), so it is read
  // right after the modal loop.
  auto* dialog = new TDossiers(Application(), host);
  dialog->FAccepted = false;
  const std::string& stored = host.Options().Directory;
  const DWORD attributes = stored.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(stored.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    dialog->TreeView->SetSelection(stored);
  dialog->ShowModal();
  if (!dialog->FAccepted) return std::nullopt;
  std::string chosen = dialog->TreeView->Selection();
  if (chosen.empty()) return std::nullopt;
  return chosen;
}

}  // namespace qv::app
