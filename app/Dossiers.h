// TDossiers: the modal folder dialog. The user picks the folder to scan in
// a shell folder tree; the caller reads the choice right after the modal
// loop, before the dialog frees itself.
//
//   if (auto folder = ChooseFolder(*this)) EditDir->SetText(*folder);
//
// Layout: Dossiers.layout.cpp. Tested by tests/app/dialogs/Dossiers_test.cpp
// and tests/app/Folder_e2e_test.cpp.
#pragma once

#include <optional>
#include <string>

#include "app/DialogHost.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "controls/shell/SystemTreeView.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

class TDossiers : public fw::TForm {
public:
  // host outlives the dialog.
  TDossiers(fw::TComponent* owner, IDialogHost& host);
  ~TDossiers() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperDir = nullptr;
  fw::TLabel* Label1 = nullptr;
  controls::TQsSystemTreeView* TreeView = nullptr;
  TOndrelGradientButton* BtnAccepter = nullptr;
  TOndrelGradientButton* BtnAnnuler = nullptr;

  // Set by the accept button (or a double click on a leaf folder).
  bool FAccepted = false;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
  void BuildLayout();

  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void FormClose(fw::TComponent& sender, fw::TCloseAction& action);
  void BtnAccepterClick(fw::TComponent& sender);
  void BtnAnnulerClick(fw::TComponent& sender);
  void TreeViewDblClick(fw::TComponent& sender);
  void ApplyOwnTexture();

  IDialogHost& m_host;
};

// The main window's folder command: the dialog, modal, over the stored
// folder ("Directory") when it exists; the folder chosen, or nothing when
// the user cancelled or chose an item outside the file system.
std::optional<std::string> ChooseFolder(IDialogHost& host);

}  // namespace qv::app
