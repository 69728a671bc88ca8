// Layout of the main window: controls, positions, captions.
#include "app/MainForm.h"

namespace qv::app {

using namespace qv::fw;

void TMainForm::BuildLayout() {
  SetCaption("Quorvant Pro");
  SetClientSize(784, 542);
  SetMinSize(800, 580);
  SetPosition(TPosition::ScreenCenter);
  SetKeyPreview(true);
  SetHelpContext(1);

  BtnQuitter = &Make<TButton>("BtnQuitter");
  BtnQuitter->Place(this, 680, 500, 90, 25);
  BtnQuitter->SetCaption("Quitter");
  BtnQuitter->OnClick = [this](TComponent& s) { BtnQuitterClick(s); };

  OnCreate = [this](TComponent& s) { FormCreate(s); };
}

}  // namespace qv::app
