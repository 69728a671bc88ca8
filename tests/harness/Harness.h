// End-to-end test driver: starts the real program in the test Wine prefix
// with prepared arguments and registry, waits (bounded) for its windows,
// finds controls by the name they carry ("QvName"), clicks and types into
// them, reads texts and list-view rows across processes, and takes
// screenshots. Every wait has a time-out; nothing here blocks forever.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qv::harness {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// The program under test (its Windows path), set by the build.
std::wstring ProgramPath();
// Where screenshots go (created on demand).
std::filesystem::path ScreenshotDir();

// Polls pred every 10 ms until it holds or the time-out passes.
bool WaitUntil(const std::function<bool()>& pred, Ms timeout = 10s);

class TProgram {
public:
  // Starts the program with a command line (arguments only).
  explicit TProgram(const std::wstring& args = L"");
  ~TProgram();  // kills the process if it is still running
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  bool Started() const { return m_process != nullptr; }
  DWORD Pid() const { return m_pid; }
  // A visible top-level window of this process with that class (and title
  // when given); null after the time-out.
  HWND WaitForWindow(const std::string& className, const std::string& title = "", Ms timeout = 15s) const;
  bool WaitForExit(Ms timeout = 15s);
  DWORD ExitCode() const;
  bool Running() const;
  void Kill();

private:
  HANDLE m_process = nullptr;
  DWORD m_pid = 0;
};

// Ends every running copy of the program (left by a test that was killed).
void KillStrayPrograms();

// Top-level windows of a process with a given class.
std::vector<HWND> TopWindows(DWORD pid, const std::string& className = "");
// A descendant control by its name; null when absent.
HWND FindControl(HWND top, const std::string& name);
// The same, waiting for it to appear.
HWND WaitForControl(HWND top, const std::string& name, Ms timeout = 10s);
std::string ControlName(HWND hwnd);
std::string ClassOf(HWND hwnd);

std::string GetText(HWND hwnd);
// Clicks through BM_CLICK. Click waits for the click to be handled; ClickAsync
// posts it (use it for clicks that open a modal dialog).
void Click(HWND hwnd);
void ClickAsync(HWND hwnd);
// Replaces an edit's text as typing would (the control reports the change).
void SetText(HWND hwnd, const std::string& text);
// Types characters one by one (WM_CHAR), as the keyboard would.
void TypeChars(HWND hwnd, const std::string& text);
// Sends a key (down and up) to a window, with modifiers held.
void PressKey(HWND hwnd, WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
// Gives the keyboard focus to a control of another process.
void FocusControl(HWND hwnd);
// The window that has the keyboard focus in the thread owning that window.
HWND FocusedWindowOf(HWND anyWindowOfThread);
bool IsChecked(HWND button);
bool IsEnabled(HWND hwnd);
bool IsVisible(HWND hwnd);
RECT WindowRectOf(HWND hwnd);

// Combo box items read across processes.
std::vector<std::string> ComboItems(HWND combo);
// The text colour of one character of a rich edit of another process (it
// moves the control's selection and empties it again).
COLORREF RichEditColorAt(HWND richEdit, int pos);

// List-view contents read across processes (report view).
int ListViewCount(HWND list);
std::string ListViewText(HWND list, int row, int column);
std::vector<std::string> ListViewColumns(HWND list);
// Where a list draws a cell (LVIR_BOUNDS of a sub-item) and where its header
// puts a section, in the list's and the header's client coordinates; the
// header's display order of its sections.
RECT ListViewSubItemRect(HWND list, int row, int column);
RECT HeaderItemRect(HWND header, int index);
std::vector<int> HeaderOrder(HWND header);

// A status bar part's text, read across processes.
std::string StatusBarText(HWND statusBar, int part);

// Registry of the test prefix (HKEY_CURRENT_USER).
void DeleteRegistryKey(const std::string& key);
void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value);
void WriteRegistryDword(const std::string& key, const std::string& name, DWORD value);
bool ReadRegistryString(const std::string& key, const std::string& name, std::string& value);
bool ReadRegistryDword(const std::string& key, const std::string& name, DWORD& value);
bool RegistryKeyExists(const std::string& key);

// Saves the whole screen as a BMP file under ScreenshotDir(); returns its path.
std::filesystem::path SaveScreenshot(const std::string& name);

// A fresh folder under the system temporary folder, removed at the end.
class TTempFolder {
public:
  explicit TTempFolder(const std::string& prefix = "qvtest");
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::filesystem::path& Path() const { return m_path; }
  // Creates a file with the given bytes.
  std::filesystem::path Write(const std::string& name, const std::string& content = "") const;

private:
  std::filesystem::path m_path;
};

// Windows path text of a folder, cp1252 ("Z:\\tmp\\...").
std::string AnsiPath(const std::filesystem::path& p);

}  // namespace qv::harness
