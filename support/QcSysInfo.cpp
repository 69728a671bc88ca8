// Windows version classification and the start-up system values.
#include "support/QcSysInfo.h"

#include <vector>

#include "support/QcUnitVersioning.h"

namespace qv::controls {

namespace {

const TUnitVersionInfo kUnitVersion = {"support/QcSysInfo.cpp", "3.2.0.0", "", "QCL\\source\\windows", "",
                                       nullptr};
const TUnitVersionRegistration kRegistration(kUnitVersion);
// The start-up values are taken when the unit starts, as the unit's start.
const TQcSystemInfo& kStartupValues = SystemInfo();

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

TWindowsVersion Classify9x(const TWindowsVersionFacts& f, const std::string& sp) {
  if (f.Minor < 10) return (sp == "B" || sp == "C") ? wvWin95OSR2 : wvWin95;
  if (f.Minor < 90) {
    if (f.KernelProductVersion == 0x4005A) return wvWinME;
    return (sp == "A" || sp == "B") ? wvWin98SE : wvWin98;
  }
  return f.Minor == 90 ? wvWinME : wvUnknown;
}

TWindowsVersion ClassifyNT(const TWindowsVersionFacts& f) {
  const bool workstation = f.ProductType == VER_NT_WORKSTATION;
  switch (f.Major) {
    case 3:
      // The system reports 3.10, 3.50 and 3.51; the short forms are accepted too.
      if (f.Minor == 1 || f.Minor == 10) return wvWinNT31;
      if (f.Minor == 5 || f.Minor == 50) return wvWinNT35;
      if (f.Minor == 51) return wvWinNT351;
      return wvUnknown;
    case 4: return wvWinNT4;
    case 5:
      if (f.Minor == 0) return wvWin2000;
      if (f.Minor == 1) return wvWinXP;
      if (f.Minor == 2) {
        if (f.ServerR2) return wvWin2003R2;
        if (f.NativeArchitecture != 0 && workstation) return wvWinXP64;
        return wvWin2003;
      }
      return wvUnknown;
    case 6:
      if (f.Minor == 0) return workstation ? wvWinVista : wvWinServer2008;
      if (f.Minor == 1) return workstation ? wvWin7 : wvWinServer2008R2;
      return wvUnknown;
    default: return wvUnknown;
  }
}

DWORD KernelProductVersion() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  VS_FIXEDFILEINFO info{};
  if (!kernel || !ReadFixedFileInfo(ModuleFileName(kernel), info)) return 0;
  return info.dwProductVersionMS;
}

TQcSystemInfo TakeSystemInfo() {
  TQcSystemInfo s;
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  s.ProcessorCount = si.dwNumberOfProcessors;
  s.AllocationGranularity = si.dwAllocationGranularity;
  s.PageSize = si.dwPageSize;
  TWindowsVersionFacts facts = CurrentWindowsVersionFacts();
  s.IsWinNT = facts.Platform == VER_PLATFORM_WIN32_NT;
  if (!s.IsWinNT) facts.KernelProductVersion = s.KernelProductVersion = KernelProductVersion();
  s.WindowsVersion = ClassifyWindowsVersion(facts);
  s.Major = facts.Major;
  s.Minor = facts.Minor;
  return s;
}

}  // namespace

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionFacts& facts) {
  switch (facts.Platform) {
    case VER_PLATFORM_WIN32_WINDOWS: return Classify9x(facts, Trimmed(facts.ServicePack));
    case VER_PLATFORM_WIN32_NT: return ClassifyNT(facts);
    default: return wvUnknown;
  }
}

TWindowsVersionFacts CurrentWindowsVersionFacts() {
  TWindowsVersionFacts f;
  OSVERSIONINFOEXA v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) {
    v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v));
  }
#pragma GCC diagnostic pop
  f.Platform = v.dwPlatformId;
  f.Major = v.dwMajorVersion;
  f.Minor = v.dwMinorVersion;
  f.ServicePack = v.szCSDVersion;
  f.ProductType = v.wProductType;
  f.ServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
  SYSTEM_INFO si{};
  ReadNativeSystemInfo(si);
  f.NativeArchitecture = si.wProcessorArchitecture;
  return f;
}

bool ReadNativeSystemInfo(SYSTEM_INFO& info) {
  using TGetNativeSystemInfo = void(WINAPI*)(SYSTEM_INFO*);
  static const auto native = reinterpret_cast<TGetNativeSystemInfo>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo")));
  if (native) {
    native(&info);
    return true;
  }
  GetSystemInfo(&info);
  return false;
}

std::string ModuleFileName(HMODULE module) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(module, buffer, sizeof buffer);
  return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

bool ReadFixedFileInfo(const std::string& fileName, VS_FIXEDFILEINFO& info) {
  // version.dll is loaded only for the call: it is needed once at start on
  // Windows 9x, and never on NT.
  HMODULE dll = LoadLibraryA("version.dll");
  if (!dll) return false;
  using TSize = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using TInfo = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using TQuery = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  const auto size = reinterpret_cast<TSize>(reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoSizeA")));
  const auto read = reinterpret_cast<TInfo>(reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoA")));
  const auto query = reinterpret_cast<TQuery>(reinterpret_cast<void*>(GetProcAddress(dll, "VerQueryValueA")));
  bool ok = false;
  DWORD handle = 0;
  const DWORD blockSize = (size && read && query) ? size(fileName.c_str(), &handle) : 0;
  if (blockSize != 0) {
    std::vector<char> block(blockSize);
    void* fixed = nullptr;
    UINT length = 0;
    if (read(fileName.c_str(), 0, blockSize, block.data()) && query(block.data(), "\\", &fixed, &length) && fixed &&
        length == sizeof(VS_FIXEDFILEINFO)) {
      info = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
      ok = true;
    }
  }
  FreeLibrary(dll);
  return ok;
}

const TQcSystemInfo& SystemInfo() {
  static const TQcSystemInfo values = TakeSystemInfo();
  return values;
}

}  // namespace qv::controls
