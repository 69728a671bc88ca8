#include "app/HelpFile.h"

#include <shellapi.h>

#include "engine/win32/SystemHelpers.h"

namespace qv::app {

namespace {

std::string ProgramFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir = exe;
  const size_t slash = dir.find_last_of('\\');
  dir.erase(slash == std::string::npos ? 0 : slash);
  return dir;
}

}  // namespace

std::string HtmlHelpFilePath() { return ProgramFolder() + "\\Quorvant Pro.chm"; }

void ShowHelpContext(HWND owner, int context) {
  const std::string dir = ProgramFolder();
  if (engine::UseWinHelp()) {
    const std::string hlp = dir + "\\Quorvant Pro.hlp";
    WinHelpA(owner, hlp.c_str(), context ? HELP_CONTEXT : HELP_CONTENTS, static_cast<ULONG_PTR>(context));
    return;
  }
  const std::string chm = HtmlHelpFilePath();
  if (!context) {
    ShellExecuteA(owner, "open", chm.c_str(), nullptr, dir.c_str(), SW_SHOWNORMAL);
    return;
  }
  // The help viewer of the system maps the number to its page; it runs in its
  // own process, like the one the "Aide" buttons open, so it outlives a
  // message box and the program alike.
  const std::string args = "-mapid " + std::to_string(context) + " \"" + chm + "\"";
  ShellExecuteA(owner, "open", "hh.exe", args.c_str(), dir.c_str(), SW_SHOWNORMAL);
}

}  // namespace qv::app
