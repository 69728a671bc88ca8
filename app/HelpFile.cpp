#include "app/HelpFile.h"

#include <shellapi.h>

#include "engine/win32/SystemHelpers.h"

namespace qv::app {

namespace {

struct THelpTopic {
  int context;
  const char* page;
};

// The page of each help context. The help compiler would write its build
// folder into a compiled context map, so the map lives here;
// tools/build-help.py refuses a context of the program missing from this
// table and a page missing from the help.
constexpr THelpTopic kHelpTopics[] = {
    {1, "fenetre-principale.htm"},  {2, "dialogue-dossiers.htm"},   {3, "caractere-nom.htm"},
    {4, "caractere-extension.htm"}, {5, "caractere-format.htm"},    {13, "simulation.htm"},
    {17, "a-propos.htm"},           {25, "options.htm"},
};

// The program's folder, where its help files stand.
std::string ProgramFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir = exe;
  const size_t slash = dir.find_last_of('\\');
  dir.erase(slash == std::string::npos ? 0 : slash);
  return dir;
}

// In "/noversion" mode WinHelp takes the context (0: its contents).
bool ShowWinHelp(HWND owner, int context) {
  if (!engine::UseWinHelp()) return false;
  const std::string hlp = ProgramFolder() + "\\Quorvant Pro.hlp";
  WinHelpA(owner, hlp.c_str(), context ? HELP_CONTEXT : HELP_CONTENTS, static_cast<ULONG_PTR>(context));
  return true;
}

void OpenHtmlHelp(HWND owner) {
  ShellExecuteA(owner, "open", HtmlHelpFilePath().c_str(), nullptr, ProgramFolder().c_str(), SW_SHOWNORMAL);
}

}  // namespace

std::string HtmlHelpFilePath() { return ProgramFolder() + "\\Quorvant Pro.chm"; }

void ShowHelpFromButton(HWND owner, int winHelpContext) {
  if (!ShowWinHelp(owner, winHelpContext)) OpenHtmlHelp(owner);
}

void ShowHelpContext(HWND owner, int context) {
  if (ShowWinHelp(owner, context)) return;
  const std::string dir = ProgramFolder();
  const std::string chm = HtmlHelpFilePath();
  const char* page = nullptr;
  for (const THelpTopic& t : kHelpTopics)
    if (t.context == context) page = t.page;
  if (!page) {
    OpenHtmlHelp(owner);
    return;
  }
  // The system's help viewer opens a page of the file by this address; it
  // runs in its own process, like the one the "Aide" buttons open, so it
  // outlives a message box and the program alike.
  const std::string topic = "\"" + chm + "::/" + page + "\"";
  ShellExecuteA(owner, "open", "hh.exe", topic.c_str(), dir.c_str(), SW_SHOWNORMAL);
}

}  // namespace qv::app
