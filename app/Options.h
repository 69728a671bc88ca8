// TOptions: the modal dialog of the preferences that have no control on the
// main window. ExecuteOptionsDialog copies the options in, shows it, takes
// them back when the user accepts, and always re-applies the display
// options on the main window. While it is open, texture, grid, case
// folding, hidden files and the date format show on the main window at
// once (live preview); cancelling puts every previewed option back.
// A replacement character that file names forbid is refused, on leaving
// its edit and on closing.
//
//   void TMainForm::BtnOptionsClick(fw::TComponent&) { ExecuteOptionsDialog(*this); }
//
// Layout: Options.layout.cpp. Tested by tests/app/dialogs/Options_test.cpp
// and tests/app/Dialogs_e2e_test.cpp.
#pragma once

#include <string>

#include "app/DialogHost.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "controls/edits/QvValidateEdit.h"
#include "framework/Form.h"
#include "framework/RadioGroup.h"
#include "framework/StdCtrls.h"

namespace qv::app {

class TOptions : public fw::TForm {
public:
  // host outlives the dialog.
  TOptions(fw::TComponent* owner, IOptionsHost& host);
  ~TOptions() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperOpt = nullptr;
  fw::TLabel* Label7 = nullptr;
  fw::TCheckBox* CheckTexture = nullptr;
  fw::TCheckBox* CheckHint = nullptr;
  fw::TCheckBox* CheckGrid = nullptr;
  fw::TCheckBox* CheckAttrFull = nullptr;
  fw::TLabel* LabelAttrFull = nullptr;
  fw::TCheckBox* CheckSaisie = nullptr;
  fw::TCheckBox* CheckDelList = nullptr;
  fw::TCheckBox* CheckMajAscii = nullptr;
  fw::TRadioGroup* RadioPosIndice = nullptr;
  controls::TQvValidateEdit* ValidateDownCount = nullptr;
  controls::TQvValidateEdit* ValidateMaxCombo = nullptr;
  fw::TEdit* EditReplaceChar = nullptr;
  fw::TEdit* EditModelDate = nullptr;
  fw::TLabel* Label1 = nullptr;  // captions of the four edits
  fw::TLabel* Label2 = nullptr;
  fw::TLabel* Label3 = nullptr;
  fw::TLabel* Label4 = nullptr;
  TOndrelGradientButton* BtnDirRapport = nullptr;
  TOndrelGradientButton* BtnAccepter = nullptr;
  TOndrelGradientButton* BtnAnnuler = nullptr;
  TOndrelGradientButton* BtnAide = nullptr;

  // Set by BtnAccepter; a refused close clears it again.
  bool FAccepted = false;
  // Set once shown: the previews act only then, not while the values are
  // being copied in.
  bool FShown = false;

  // Copies the options into the controls (step 2 of the dialog's run) and
  // back (accepted).
  void LoadFromOptions();
  void StoreToOptions();

  // An empty text, or one without characters that file names forbid;
  // otherwise the refusal is shown and the stored replacement put back.
  bool IsReplaceCharAllowed(const std::string& text);

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  bool DialogKey(WORD key) override;

private:
  void BuildLayout();

  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void FormShow(fw::TComponent& sender);
  void FormCloseQuery(fw::TComponent& sender, bool& canClose);
  void BtnAccepterClick(fw::TComponent& sender);
  void BtnAnnulerClick(fw::TComponent& sender);
  void BtnAideClick(fw::TComponent& sender);
  void BtnDirRapportClick(fw::TComponent& sender);
  void CheckTextureClick(fw::TComponent& sender);
  void CheckGridClick(fw::TComponent& sender);
  void CheckMajAsciiClick(fw::TComponent& sender);
  void CheckAttrFullClick(fw::TComponent& sender);
  void LabelAttrFullClick(fw::TComponent& sender);
  void EditReplaceCharExit(fw::TComponent& sender);
  void EditModelDateChange(fw::TComponent& sender);
  void UpdateAttrFullLabelColor();
  void ApplyOwnTexture();

  IOptionsHost& m_host;
  // The refusal's message takes the focus from the edit, whose exit must
  // not ask a second time.
  bool m_checkingReplaceChar = false;
};

// The main window's "Options" command: the whole run of the dialog.
void ExecuteOptionsDialog(IOptionsHost& host);

}  // namespace qv::app
