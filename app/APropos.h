// TAPropos: the modal about box. It shows the title, the program version,
// the running Windows (GetWindowsVersionText), the product's rights line
// and its rights notice, and closes with "Fermer" or Esc. The rights
// notice is kept scrambled in the program and unscrambled for the box.
//
//   void TMainForm::BtnAPropClick(fw::TComponent&) { CommitFocusedEdit(); ShowAboutBox(*this); }
//
// Layout: APropos.layout.cpp. Tested by tests/app/dialogs/APropos_test.cpp
// and tests/app/Dialogs_e2e_test.cpp.
#pragma once

#include <string>

#include "app/DLine.h"
#include "app/DialogHost.h"
#include "app/GradientBackGround.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "controls/buttons/QxLabel.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

// The product's rights line (the main window shows it too).
inline constexpr char kRightsLine[] = "© 2026 Halbrecht. Renommage de fichiers par lots.";
// The rights notice, unscrambled.
std::string RightsNotice();

class TAPropos : public fw::TForm {
public:
  // host outlives the box.
  TAPropos(fw::TComponent* owner, IDialogHost& host);
  ~TAPropos() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperAProp = nullptr;
  fw::TPanel* PanelGrad = nullptr;
  TGradientBackGround* GradientBck = nullptr;
  fw::TImage* Ico = nullptr;
  // The title picture, the GIF of the program's resources.
  fw::TImage* ImgTitre = nullptr;
  controls::TQxLabel* QxLabel1 = nullptr;
  TDLine* DLine1 = nullptr;
  fw::TLabel* Label1 = nullptr;  // "Version"
  fw::TLabel* LVersion = nullptr;
  fw::TLabel* Label2 = nullptr;  // "Système"
  fw::TLabel* LWinVersion = nullptr;
  TDLine* DLine2 = nullptr;
  fw::TLabel* LAuteur = nullptr;
  fw::TLabel* LDroits = nullptr;
  TDLine* DLine3 = nullptr;
  TOndrelGradientButton* BtnFermer = nullptr;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  bool DialogKey(WORD key) override;

private:
  void BuildLayout();

  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void BtnFermerClick(fw::TComponent& sender);
  void BtnAnnulerClick(fw::TComponent& sender);
  void ApplyOwnTexture();

  IDialogHost& m_host;
};

// The main window's "À propos" command: the box, modal, freed after.
void ShowAboutBox(IDialogHost& host);

}  // namespace qv::app
