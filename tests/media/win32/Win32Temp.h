// A temporary folder for the Win32 media tests, removed with its files.
#pragma once

#include <windows.h>

#include <string>

namespace qv::media::test {

class TempFolder {
public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"qv_media_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(GetTickCount64());
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((m_path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") DeleteFileW((m_path + L"\\" + name).c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(m_path.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::wstring file(const std::wstring& name) const { return m_path + L"\\" + name; }

  // Writes bytes to a new file; false on failure.
  static bool write(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(h);
    return ok;
  }

private:
  std::wstring m_path;
};

}  // namespace qv::media::test
