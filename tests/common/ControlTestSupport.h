// Shared by the tests of the controls, the window services and the support
// library: the one application object of the test program, a bounded message
// pump, a 1-ms timer that drives modal loops, and a temporary folder that is
// removed afterwards.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/ExtCtrls.h"

namespace qv::test {

// Exceptions that reached the application's display, newest last (no box
// is shown: a box would stop the test run).
inline std::vector<std::string>& ShownErrors() {
  static std::vector<std::string> errors;
  return errors;
}

inline qv::fw::TApplication& App() {
  static qv::fw::TApplication* app = [] {
    auto* a = new qv::fw::TApplication();
    a->SetTitle("QvInputTests");
    a->OnException = [](const std::string& message) { ShownErrors().push_back(message); };
    return a;
  }();
  return *app;
}

// GDI objects of this process. Wine's GetGuiResources answers 0: the
// handle table that the process block points to is counted instead.
inline int GdiObjectCount() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
  struct TEntry {
    unsigned long long Object;
    unsigned short ProcessId, Count;
    unsigned short Unique;
    unsigned char Type, Flags;
    unsigned long long User;
  };
  static_assert(sizeof(TEntry) == 24);
  // The process block's address, read straight from the thread block:
  // NtCurrentTeb's intrinsic trips GCC's array-bounds check when inlined.
  const unsigned char* peb = nullptr;
  asm("mov %%gs:0x60, %0" : "=r"(peb));
  const auto* table = *reinterpret_cast<const TEntry* const*>(peb + 0xF8);
  if (!table) return -1;
  int n = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i].Type) ++n;
  return n;
}

// Pumps messages until done() or the time-out; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    App().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Pumps messages for a while (what may still arrive does so now).
inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Runs fn from a 1-ms timer owned by `owner`, once the loop is running.
inline void Later(qv::fw::TComponent& owner, std::function<void()> fn) {
  auto* t = &owner.Make<qv::fw::TTimer>("");
  t->SetInterval(1);
  t->OnTimer = [t, fn](qv::fw::TComponent&) {
    t->SetEnabled(false);
    fn();
  };
  t->SetEnabled(true);
}

// A new empty folder under %TEMP%, removed with its files at the end.
class TTempFolder {
public:
  TTempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    m_path = std::string(base) + "qvinput_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~TTempFolder() { RemoveTree(m_path); }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }
  void Write(const std::string& name, const std::string& data = "x") const {
    HANDLE h = CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    if (h != INVALID_HANDLE_VALUE) {
      WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
      CloseHandle(h);
    }
  }

private:
  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = dir + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
        else DeleteFileA(full.c_str());
      } while (FindNextFileA(f, &fd));
      FindClose(f);
    }
    RemoveDirectoryA(dir.c_str());
  }
  std::string m_path;
};

// A 32-bit bitmap filled with one colour (a drawing destination).
inline qv::fw::TBitmap FilledBitmap(int w, int h, COLORREF fill) {
  qv::fw::TBitmap b;
  b.Create(w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, fill);
  return b;
}

}  // namespace qv::test
