// TMainForm: the program's main window. Its layout is built in
// MainForm.layout.cpp, its event handlers live in MainForm.cpp.
// End-to-end tests: tests/app/MainForm_e2e_test.cpp.
#pragma once

#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::app {

class TMainForm : public fw::TForm {
public:
  explicit TMainForm(fw::TComponent* owner);

  // --- Controls (owned by the form)
  fw::TButton* BtnQuitter = nullptr;

private:
  void BuildLayout();
  // --- Handlers
  void FormCreate(fw::TComponent& sender);
  void BtnQuitterClick(fw::TComponent& sender);
};

}  // namespace qv::app
