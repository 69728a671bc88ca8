// Shared steps of the program's end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

#include "tests/harness/Harness.h"

namespace qv::e2e {

using namespace qv::harness;

inline const char kProductKey[] = "Software\\Halbrecht\\Quorvant Pro";
inline const char kOptionsKey[] = "Software\\Halbrecht\\Quorvant Pro\\Options";

// A clean start: no copy of the program left running, no settings.
inline void ResetProgramRegistry() {
  KillStrayPrograms();
  DeleteRegistryKey(kProductKey);
}

// An option value the program stored ("Options" key); a failure when absent.
inline DWORD StoredDword(const char* name) {
  DWORD d = 0xDEADBEEF;
  EXPECT_TRUE(ReadRegistryDword(kOptionsKey, name, d)) << name;
  return d;
}

inline std::string StoredString(const char* name) {
  std::string s = "<absent>";
  EXPECT_TRUE(ReadRegistryString(kOptionsKey, name, s)) << name;
  return s;
}

// The command-line argument for a folder (quoted Windows path).
inline std::wstring Quoted(const std::filesystem::path& p) { return L"\"" + p.wstring() + L"\""; }

inline std::string Lower(std::string s) {
  CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

// The main window, once shown.
inline HWND WaitForMain(TProgram& app) { return app.WaitForWindow("TMainForm", "Quorvant Pro", 20s); }

inline void CloseMain(TProgram& app, HWND main) {
  if (HWND quit = FindControl(main, "BtnQuitter")) ClickAsync(quit);
  if (!app.WaitForExit(15s)) ADD_FAILURE() << "the program did not end";
}

// Types a model into a combo box's edit, as the keyboard would.
// The focus is moved from this thread; the keys wait until the program's
// thread has it, and a busy program gets a second try at the whole text.
inline void SetComboText(HWND combo, const std::string& text) {
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  HWND target = edit ? edit : combo;
  for (int attempt = 0; attempt < 3; ++attempt) {
    FocusControl(target);
    WaitUntil([&] { return FocusedWindowOf(target) == target; }, 3s);
    SetText(target, "");
    TypeChars(target, text);
    if (WaitUntil([&] { return GetText(target) == text; }, 1s)) return;
  }
  ADD_FAILURE() << "the model could not be typed: " << GetText(target);
}

// Moves the focus away from whatever has it (to the filter edit).
inline void LeaveControl(HWND main) { FocusControl(FindControl(main, "EditMask")); }

// Types a name model with the index at its end (the ">|" button keeps the
// index after the last character while the model grows), then leaves it.
inline void TypeModel(HWND main, const std::string& model) {
  Click(FindControl(main, "BtnIndice2"));
  SetComboText(FindControl(main, "EditFile"), model);
  LeaveControl(main);
}

inline std::string StatusPanelText(HWND main, int part) {
  return StatusBarText(FindControl(main, "StatusBar"), part);
}

// A screenshot once the windows have had time to paint.
inline void Screenshot(const std::string& name) {
  WaitUntil([] { return false; }, 400ms);
  SaveScreenshot(name);
}

inline void CtrlClick(HWND hwnd) {
  DWORD_PTR r;
  SendMessageTimeoutA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(4, 4), SMTO_ABORTIFHUNG, 5000, &r);
  SendMessageTimeoutA(hwnd, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(4, 4), SMTO_ABORTIFHUNG, 5000, &r);
}

}  // namespace qv::e2e
