// Program start-up: the application object and title, the one-instance
// check (a later start hands its folder over and ends), COM, the help mode,
// the common-controls version check, then the main window and its loop.
#include <windows.h>

#include <objbase.h>

#include "app/HelpFile.h"
#include "app/Instance.h"
#include "app/MainForm.h"
#include "engine/win32/SystemHelpers.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"

namespace {

const char kTitle[] = "Quorvant Pro";

// The engine's messages go through our French message dialog.
int ShowEngineMessage(const std::string& text, qv::engine::TMsgDlgType type,
                      qv::engine::TMsgDlgButtons buttons, int helpContext) {
  qv::fw::TMsgDlgType kind = qv::fw::TMsgDlgType::Custom;
  switch (type) {
    case qv::engine::mtWarning: kind = qv::fw::TMsgDlgType::Warning; break;
    case qv::engine::mtError: kind = qv::fw::TMsgDlgType::Error; break;
    case qv::engine::mtInformation: kind = qv::fw::TMsgDlgType::Information; break;
    case qv::engine::mtConfirmation: kind = qv::fw::TMsgDlgType::Confirmation; break;
    case qv::engine::mtCustom: kind = qv::fw::TMsgDlgType::Custom; break;
  }
  return qv::fw::MessageDlg(text, kind, buttons, helpContext);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  qv::fw::TApplication app;
  app.SetTitle(kTitle);
  const std::vector<std::string> args = qv::app::CommandLineArguments();
  if (qv::app::ActivateRunningInstance("TMainForm", kTitle, args)) return 0;

  CoInitialize(nullptr);
  app.SetTitle(kTitle);
  qv::engine::SetMessageHandler(ShowEngineMessage);
  // F1 and the "Aide" button of a message lead to the page of their context.
  app.OnHelp = [&app](int context) { qv::app::ShowHelpContext(app.ActiveFormHandle(), context); };

  int exitCode = 0;
  if (qv::engine::FileVersionAtLeast("COMCTL32.DLL", 4, 70, 0, 0)) {
    auto* main = new qv::app::TMainForm(&app, args);
    app.SetMainForm(main);
    app.Run();
  } else {
    qv::engine::ShowMessageWithSound(
        "La version 4.70 ou supérieure de la librairie Windows COMCTL32.DLL\r\n"
        "est nécessaire pour utiliser ce programme. Cette version est livrée à\r\n"
        "partir de Windows 98 ou avec la mise à jour IE4 sous Windows 95.\r\n\r\n"
        "Vous pouvez également installer cette librairie séparément.\r\n"
        "Voyez l'aide pour optenir une adresse Internet de téléchargement.\r\n\r\n"
        "L'application va être fermée.",
        qv::engine::mtWarning, qv::engine::mbOK | qv::engine::mbHelp, 1);
    exitCode = 1;
  }
  CoUninitialize();
  return exitCode;
}
