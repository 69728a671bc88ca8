// Opening the program's help at a help context: F1 in a window and the
// "Aide" button of a message. The compiled help beside the program opens at
// the context's page; in "/noversion" mode the WinHelp file takes the
// context. The help's pages live in help/; the build checks that every
// context the program uses has a page here and that the page exists.
// Tested by tests/app/Help_e2e_test.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace qv::app {

// The compiled help file, next to the program whatever the current folder.
std::string HtmlHelpFilePath();

// The "Aide" buttons: the compiled help opens at its first page; in
// "/noversion" mode WinHelp takes `winHelpContext` (0: its contents).
void ShowHelpFromButton(HWND owner, int winHelpContext);

// F1 and a message's "Aide": the compiled help opens at the context's page.
// A context without a page (0) opens the help at its first page.
void ShowHelpContext(HWND owner, int context);

}  // namespace qv::app
