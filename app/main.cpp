// Program start-up: application object, title, main window, message loop.
#include <windows.h>

#include "app/MainForm.h"
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  qv::fw::TApplication app;
  app.SetTitle("Quorvant Pro");
  app.SetMainForm(new qv::app::TMainForm(&app));
  app.Run();
  return 0;
}
