// Event handlers of the main window.
#include "app/MainForm.h"

namespace qv::app {

using namespace qv::fw;

TMainForm::TMainForm(TComponent* owner) : TForm(owner, "TMainForm") {
  BuildLayout();
  FinishCreate();
}

void TMainForm::FormCreate(TComponent&) {}

void TMainForm::BtnQuitterClick(TComponent&) { Close(); }

}  // namespace qv::app
