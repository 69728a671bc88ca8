// Helpers for the framework's tests: a private temporary folder and the
// application object of the test program.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Application.h"

namespace qv::fw::test {

// A new empty folder under %TEMP%, removed with its content at the end.
class TTempDir {
public:
  TTempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    m_path = std::wstring(base) + L"qvfw-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~TTempDir() { Remove(m_path); }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::wstring& Path() const { return m_path; }
  std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
  static void Remove(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = dir + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(full);
        else DeleteFileW(full.c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
  }
  std::wstring m_path;
};

// The application of this test process (made once, shared by every file).
inline TApplication& TestApp() {
  if (TApplication* a = Application()) return *a;
  auto* a = new TApplication();
  a->SetTitle("QvFrameworkTests");
  return *a;
}

}  // namespace qv::fw::test
