// A fresh folder under the temporary directory for one test, removed with
// everything in it (read-only files too) when the test ends.
#pragma once

#include <windows.h>

#include <string>

#include "engine/win32/WideText.h"

namespace qv::engine::testing {

class TTempFolder {
public:
  TTempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    // Wine reuses process ids: a folder a killed test left behind must not
    // be taken for a fresh one.
    static int counter = 0;
    do {
      m_path = win32::U16(base) + u"qv_engine_" + Num(GetCurrentProcessId()) + u"_" + Num(++counter);
    } while (!CreateDirectoryW(win32::W(m_path), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
  }
  ~TTempFolder() { Remove(m_path); }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::u16string& path() const { return m_path; }
  std::u16string operator/(const std::u16string& name) const { return m_path + u"\\" + name; }

  // Creates a file of the given size (sparse past what is written).
  bool MakeFile(const std::u16string& name, uint64_t size = 0, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
    HANDLE h = CreateFileW(win32::W(*this / name), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(h, li, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
  }

private:
  static std::u16string Num(unsigned long n) {
    std::u16string s;
    do {
      s.insert(s.begin(), static_cast<char16_t>(u'0' + n % 10));
      n /= 10;
    } while (n);
    return s;
  }
  // By "\\?\" paths, which the system takes as they are: a test may leave
  // names ending in a dot or a blank, which a plain path cannot reach.
  static void Remove(const std::u16string& folder) {
    const std::u16string dir = folder.rfind(u"\\\\?\\", 0) == 0 ? folder : u"\\\\?\\" + folder;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(win32::W(dir + u"\\*"), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::u16string name = win32::U16(fd.cFileName);
        if (name == u"." || name == u"..") continue;
        const std::u16string p = dir + u"\\" + name;
        SetFileAttributesW(win32::W(p), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          Remove(p);
        else
          DeleteFileW(win32::W(p));
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(win32::W(dir));
  }
  std::u16string m_path;
};

}  // namespace qv::engine::testing
