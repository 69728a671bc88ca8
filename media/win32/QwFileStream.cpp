// Wide-name file stream over CreateFileW.
#include "media/win32/QwFileStream.h"

#include <windows.h>

#include <cstdio>

#include "base/CodePage.h"

namespace qv::media {

namespace {

std::string toCp1252(const std::wstring& w) {
  return base::Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
}

// The message of a failed open or create, from the error captured at once.
std::string failureText(const char* format, const std::wstring& name, DWORD error) {
  const std::string path = toCp1252(WideFullPathName(name));
  const std::string reason = toCp1252(WideSysErrorText(error));
  const int n = std::snprintf(nullptr, 0, format, path.c_str(), reason.c_str());
  std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  std::snprintf(out.data(), out.size() + 1, format, path.c_str(), reason.c_str());
  return out;
}

bool isBlank(wchar_t c) { return c <= L' '; }

}  // namespace

size_t THandleStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (done < count) {
    const DWORD chunk = count - done > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(count - done);
    DWORD got = 0;
    if (!ReadFile(m_handle, p + done, chunk, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

size_t THandleStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  const auto* p = static_cast<const uint8_t*>(buffer);
  while (done < count) {
    const DWORD chunk = count - done > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(count - done);
    DWORD put = 0;
    if (!WriteFile(m_handle, p + done, chunk, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER to{}, now{};
  to.QuadPart = offset;
  const DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(m_handle, to, &now, method)) return -1;
  return now.QuadPart;
}

int64_t THandleStream::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(m_handle, &size)) return -1;
  return size.QuadPart;
}

TQwFileStream::TQwFileStream(const std::wstring& name, uint32_t mode) : THandleStream(INVALID_HANDLE_VALUE) {
  if ((mode & 0xFFFF) == fmCreate) {
    m_handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE)
      throw EFCreateError(failureText("Impossible de créer le fichier \"%s\". %s", name, GetLastError()));
    return;
  }
  static constexpr DWORD access[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, GENERIC_READ};
  static constexpr DWORD share[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  const uint32_t s = (mode >> 4) & 0xF;
  m_handle = CreateFileW(name.c_str(), access[mode & 3], s < 5 ? share[s] : 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_handle == INVALID_HANDLE_VALUE)
    throw EFOpenError(failureText("Impossible d'ouvrir le fichier \"%s\". %s", name, GetLastError()));
}

TQwFileStream::~TQwFileStream() {
  if (m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr) CloseHandle(m_handle);
}

wchar_t* WideStrLCopy(wchar_t* dest, const wchar_t* src, size_t n) {
  size_t i = 0;
  for (; i < n && src[i] != L'\0'; ++i) dest[i] = src[i];
  dest[i] = L'\0';
  return dest;
}

const wchar_t* WideStrScan(const wchar_t* text, wchar_t c) {
  for (;; ++text) {
    if (*text == c) return text;
    if (*text == L'\0') return nullptr;
  }
}

std::wstring WideFullPathName(const std::wstring& name) {
  std::wstring out(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
    if (n == 0) break;
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.resize(n);  // n counts the terminator when the buffer was too small
  }
  return name;
}

std::wstring WideSysErrorText(unsigned long code) {
  wchar_t buffer[256];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                 nullptr, code, 0, buffer, 256, nullptr);
  std::wstring text(buffer, n);
  size_t b = 0, e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  text = text.substr(b, e - b);
  if (text.empty()) text = L"Unspecified error (" + std::to_wstring(code) + L") from system.";
  return text;
}

}  // namespace qv::media
