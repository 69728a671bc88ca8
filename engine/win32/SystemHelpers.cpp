// Win32 system helpers; see SystemHelpers.h.
#include "engine/win32/SystemHelpers.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cmath>
#include <mutex>
#include <vector>

#include "engine/TextUtils.h"
#include "engine/win32/FileTimes.h"
#include "engine/win32/WideText.h"

namespace qv::engine {

using win32::Ticks;
using win32::ToFileTime;
using win32::U16;
using win32::W;

namespace {

TMessageHandler& Handler() {
  static TMessageHandler handler;
  return handler;
}

UINT MessageBoxFlags(TMsgDlgType type, TMsgDlgButtons b) {
  UINT flags = MB_TASKMODAL;
  switch (type) {
    case mtWarning: flags |= MB_ICONWARNING; break;
    case mtError: flags |= MB_ICONERROR; break;
    case mtInformation: flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: flags |= MB_ICONQUESTION; break;
    default: break;
  }
  if ((b & mbYes) && (b & mbNo))
    flags |= (b & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if ((b & mbAbort) && (b & mbRetry))
    flags |= MB_ABORTRETRYIGNORE;
  else if ((b & mbRetry) && (b & mbCancel))
    flags |= MB_RETRYCANCEL;
  else if ((b & mbOK) && (b & mbCancel))
    flags |= MB_OKCANCEL;
  else
    flags |= MB_OK;
  if (b & mbHelp) flags |= MB_HELP;
  return flags;
}

const char* Caption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return "Avertissement";
    case mtError: return "Erreur";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirmation";
    default: return "Quorvant Pro";
  }
}

// Clears a file's attributes for the length of a change and puts them back
// whatever happens.
class AttributesCleared {
public:
  explicit AttributesCleared(const std::u16string& path) : m_path(path) {
    m_attributes = GetFileAttributesW(W(path));
    if (m_attributes != INVALID_FILE_ATTRIBUTES && m_attributes != FILE_ATTRIBUTE_NORMAL)
      SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
  }
  ~AttributesCleared() {
    if (m_attributes != INVALID_FILE_ATTRIBUTES && m_attributes != FILE_ATTRIBUTE_NORMAL)
      SetFileAttributesW(W(m_path), m_attributes);
  }
  AttributesCleared(const AttributesCleared&) = delete;
  AttributesCleared& operator=(const AttributesCleared&) = delete;
  bool ok() const { return m_attributes != INVALID_FILE_ATTRIBUTES; }

private:
  std::u16string m_path;
  DWORD m_attributes;
};

class Handle {
public:
  explicit Handle(HANDLE h) : m_h(h) {}
  ~Handle() {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return m_h != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_h; }

private:
  HANDLE m_h;
};

bool SetAllTimes(const std::u16string& path, const FILETIME* created, const FILETIME* accessed,
                 const FILETIME* modified) {
  Handle h(CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h && SetFileTime(h.get(), created, accessed, modified);
}

}  // namespace

// ---- Messages -----------------------------------------------------------

void SetMessageHandler(TMessageHandler handler) { Handler() = std::move(handler); }

const char* SystemSoundAlias(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
    case mtError: return "SystemHand";
    case mtInformation: return "SystemExclamation";
    case mtConfirmation: return "SystemAsterisk";
    default: return "";
  }
}

bool PlaySystemSound(TMsgDlgType type) {
  const char* alias = SystemSoundAlias(type);
  if (!*alias) return false;
  return sndPlaySoundA(alias, SND_ASYNC | SND_NODEFAULT) != FALSE;
}

int ShowMessageWithSound(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  PlaySystemSound(type);
  if (Handler()) return Handler()(text, type, buttons, helpContext);
  return MessageBoxA(GetActiveWindow(), text.c_str(), Caption(type), MessageBoxFlags(type, buttons));
}

// ---- Folders and system -------------------------------------------------

std::string GetWindowsDir() {
  char buf[255];
  const UINT n = GetWindowsDirectoryA(buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return {};
  return StripTrailingBackslashes(std::string(buf, n));
}

std::string GetSpecialFolderPath(int csidl, bool create) {
  char buf[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl | (create ? CSIDL_FLAG_CREATE : 0), nullptr, SHGFP_TYPE_CURRENT, buf)))
    return {};
  buf[MAX_PATH] = '\0';
  return std::string(buf);
}

bool UseWinHelp() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  bool noVersion = false;
  if (argv) {
    if (argc > 1) noVersion = AnsiLowerCase(base::Utf16ToCp1252(U16(argv[1]))) == "/noversion";
    LocalFree(argv);
  }
  if (noVersion) return true;
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
  if (!GetVersionExA(&vi)) return false;
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return vi.dwMajorVersion == 4;
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) return vi.dwMajorVersion < 5;
  return false;
}

bool FileVersionAtLeast(const std::u16string& file, uint16_t major, uint16_t minor, uint16_t release,
                        uint16_t build) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(W(file), &ignored);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(W(file), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof(VS_FIXEDFILEINFO))
    return false;
  const uint64_t have = (static_cast<uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
  const uint64_t want = (static_cast<uint64_t>(major) << 48) | (static_cast<uint64_t>(minor) << 32) |
                        (static_cast<uint64_t>(release) << 16) | build;
  return have >= want;
}

bool FileVersionAtLeast(const std::string& file, uint16_t major, uint16_t minor, uint16_t release, uint16_t build) {
  return FileVersionAtLeast(U16(file), major, minor, release, build);
}

int ScaleForDpi(int v, int ppi) {
  if (ppi == 96 || ppi <= 0) return v;
  return static_cast<int>(std::nearbyint(static_cast<double>(v) * (ppi - 2) / 96.0));
}

int ScaleForDpi(int v) {
  HDC dc = GetDC(nullptr);
  if (!dc) return v;
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ScaleForDpi(v, ppi);
}

int TextWidthInPixels(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size{};
  const BOOL ok = GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return ok ? size.cx : 0;
}

std::string FormatThousands(int64_t n) {
  // The separator of the user's locale; the grouping is done here (Wine's
  // GetNumberFormat groups only once).
  wchar_t sep[8] = {};
  std::string s = " ";
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8) > 0)
    s = base::Utf16ToCp1252(U16(sep));
  return qv::engine::FormatThousands(n, s);
}

TFormatSettings SystemFormatSettings(LCID locale) {
  auto info = [locale](LCTYPE type) {
    wchar_t text[84] = {};
    if (GetLocaleInfoW(locale, type, text, 84) <= 0) return std::string();
    return base::Utf16ToCp1252(U16(text));
  };
  const std::string separator = info(LOCALE_SDATE);
  return FormatSettingsFromLocale(info(LOCALE_SSHORTDATE), info(LOCALE_STIMEFORMAT),
                                  separator.size() == 1 ? separator[0] : '/');
}

// ---- File times ----------------------------------------------------------

bool SetFileDateTime(const std::u16string& path, const TCalendarTime& when, int mode) {
  if (mode < 0 || mode > 2) return false;
  AttributesCleared guard(path);
  if (!guard.ok()) return false;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.Year);
  st.wMonth = static_cast<WORD>(when.Month);
  st.wDay = static_cast<WORD>(when.Day);
  st.wHour = static_cast<WORD>(when.Hour);
  st.wMinute = static_cast<WORD>(when.Minute);
  st.wSecond = static_cast<WORD>(when.Second);
  st.wMilliseconds = static_cast<WORD>(when.Millisecond);
  if (mode != 0) {
    Handle h(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME written, local;
    SYSTEMTIME file;
    if (!h || !GetFileTime(h.get(), nullptr, nullptr, &written) || !FileTimeToLocalFileTime(&written, &local) ||
        !FileTimeToSystemTime(&local, &file))
      return false;
    if (mode == 1) {
      st.wHour = file.wHour;
      st.wMinute = file.wMinute;
      st.wSecond = file.wSecond;
      st.wMilliseconds = file.wMilliseconds;
    } else {
      st.wYear = file.wYear;
      st.wMonth = file.wMonth;
      st.wDay = file.wDay;
    }
  }
  FILETIME local, utc;
  if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc)) return false;
  return SetAllTimes(path, &utc, &utc, &utc);
}

bool SetFileDateTime(const std::string& path, const TCalendarTime& when, int mode) {
  return SetFileDateTime(U16(path), when, mode);
}

bool RestoreFileTimes(const std::u16string& path, TDateTime accessed, TDateTime modified, TDateTime created) {
  AttributesCleared guard(path);
  if (!guard.ok()) return false;
  FILETIME ft[3];
  const TDateTime values[3] = {created, accessed, modified};
  for (int i = 0; i < 3; ++i) {
    const auto t = DecodeDateTime(values[i]);
    if (!t) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t->Year);
    st.wMonth = static_cast<WORD>(t->Month);
    st.wDay = static_cast<WORD>(t->Day);
    st.wHour = static_cast<WORD>(t->Hour);
    st.wMinute = static_cast<WORD>(t->Minute);
    st.wSecond = static_cast<WORD>(t->Second);
    st.wMilliseconds = static_cast<WORD>(t->Millisecond);
    FILETIME local;
    if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &ft[i])) return false;
  }
  return SetAllTimes(path, &ft[0], &ft[1], &ft[2]);
}

bool RestoreRawFileTimes(const std::u16string& path, int64_t accessed, int64_t modified, int64_t created) {
  if (accessed < 0 || modified < 0 || created < 0) return false;
  AttributesCleared guard(path);
  if (!guard.ok()) return false;
  const FILETIME c = ToFileTime(created), a = ToFileTime(accessed), m = ToFileTime(modified);
  return SetAllTimes(path, &c, &a, &m);
}

bool GetRawFileTimes(const std::u16string& path, int64_t& created, int64_t& accessed, int64_t& modified) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(W(path), GetFileExInfoStandard, &d)) return false;
  created = Ticks(d.ftCreationTime);
  accessed = Ticks(d.ftLastAccessTime);
  modified = Ticks(d.ftLastWriteTime);
  return true;
}

}  // namespace qv::engine
