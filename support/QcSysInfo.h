// System information of the support library: the Windows version code
// (a pure classification of the version facts, so every branch, Windows 9x
// included, is testable here), the native system information, and the
// values taken once at start (processors, page size, allocation
// granularity, the NT flag, the version code).
// Example:  if (SystemInfo().WindowsVersion == wvWin95) ...
// Tested by tests/support/QcSysInfo_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qv::controls {

enum TWindowsVersion : int {
  wvUnknown = 0, wvWin95 = 1, wvWin95OSR2 = 2, wvWin98 = 3, wvWin98SE = 4, wvWinME = 5,
  wvWinNT31 = 6, wvWinNT35 = 7, wvWinNT351 = 8, wvWinNT4 = 9, wvWin2000 = 10, wvWinXP = 11,
  wvWin2003 = 12, wvWinXP64 = 13, wvWin2003R2 = 14, wvWinVista = 15, wvWinServer2008 = 16,
  wvWin7 = 17, wvWinServer2008R2 = 18
};

// What the classification reads.
struct TWindowsVersionFacts {
  DWORD Platform = 0;  // 1 Windows 9x, 2 NT
  DWORD Major = 0;
  DWORD Minor = 0;
  std::string ServicePack;  // the CSD text; trimmed before use
  DWORD KernelProductVersion = 0;  // kernel32.dll's product version (high part); 0 on NT
  bool ServerR2 = false;  // GetSystemMetrics(SM_SERVERR2) != 0
  WORD NativeArchitecture = 0;  // PROCESSOR_ARCHITECTURE_*, native
  BYTE ProductType = 0;  // VER_NT_WORKSTATION 1, ...
};

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionFacts& facts);
// The facts of the system we run on.
TWindowsVersionFacts CurrentWindowsVersionFacts();

// GetNativeSystemInfo when kernel32 has it (true), else GetSystemInfo (false).
bool ReadNativeSystemInfo(SYSTEM_INFO& info);

// The module's file name (ANSI), empty on failure.
std::string ModuleFileName(HMODULE module);
// The fixed part of a file's version resource; false unless the block the
// resource returns is exactly a VS_FIXEDFILEINFO (52 bytes).
bool ReadFixedFileInfo(const std::string& fileName, VS_FIXEDFILEINFO& info);

struct TQcSystemInfo {
  DWORD ProcessorCount = 0;
  DWORD AllocationGranularity = 0;
  DWORD PageSize = 0;
  bool IsWinNT = false;
  DWORD KernelProductVersion = 0;  // 0 on NT
  TWindowsVersion WindowsVersion = wvUnknown;
  DWORD Major = 0, Minor = 0;  // the version numbers the code was taken from

  bool IsWin9x() const { return !IsWinNT; }
  // Windows 95 proper (both releases): version 4.0 of the 9x platform.
  bool IsWin95() const { return WindowsVersion == wvWin95 || WindowsVersion == wvWin95OSR2; }
  bool BeforeWin2000() const { return !IsWinNT || Major < 5; }
};

// Taken once, on first use (the start of the first unit that needs them).
const TQcSystemInfo& SystemInfo();

}  // namespace qv::controls
