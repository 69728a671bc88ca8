// Windows version classification over every branch, and the values read
// from the running system.
#include "support/QcSysInfo.h"

#include <gtest/gtest.h>

namespace qv::controls {
namespace {

TWindowsVersion Classify(DWORD platform, DWORD major, DWORD minor, const char* sp = "", DWORD kernel = 0,
                         bool r2 = false, WORD arch = 0, BYTE product = VER_NT_WORKSTATION) {
  TWindowsVersionFacts f;
  f.Platform = platform;
  f.Major = major;
  f.Minor = minor;
  f.ServicePack = sp;
  f.KernelProductVersion = kernel;
  f.ServerR2 = r2;
  f.NativeArchitecture = arch;
  f.ProductType = product;
  return ClassifyWindowsVersion(f);
}

TEST(QcSysInfo, ClassifiesWindows9xReleases) {
  EXPECT_EQ(Classify(1, 4, 0), wvWin95);
  EXPECT_EQ(Classify(1, 4, 0, " B "), wvWin95OSR2);  // service-pack text is trimmed
  EXPECT_EQ(Classify(1, 4, 0, "C"), wvWin95OSR2);
  EXPECT_EQ(Classify(1, 4, 0, "A"), wvWin95);
  EXPECT_EQ(Classify(1, 4, 10), wvWin98);
  EXPECT_EQ(Classify(1, 4, 10, "A"), wvWin98SE);
  EXPECT_EQ(Classify(1, 4, 10, "B"), wvWin98SE);
  EXPECT_EQ(Classify(1, 4, 89, "", 0x4005A), wvWinME);  // told by kernel32's version
  EXPECT_EQ(Classify(1, 4, 90), wvWinME);
  EXPECT_EQ(Classify(1, 4, 91), wvUnknown);
}

TEST(QcSysInfo, ClassifiesNtReleases) {
  EXPECT_EQ(Classify(2, 3, 10), wvWinNT31);
  EXPECT_EQ(Classify(2, 3, 50), wvWinNT35);
  EXPECT_EQ(Classify(2, 3, 51), wvWinNT351);
  EXPECT_EQ(Classify(2, 4, 0), wvWinNT4);
  EXPECT_EQ(Classify(2, 5, 0), wvWin2000);
  EXPECT_EQ(Classify(2, 5, 1), wvWinXP);
  EXPECT_EQ(Classify(2, 5, 2, "", 0, true), wvWin2003R2);
  EXPECT_EQ(Classify(2, 5, 2, "", 0, false, PROCESSOR_ARCHITECTURE_AMD64, VER_NT_WORKSTATION), wvWinXP64);
  EXPECT_EQ(Classify(2, 5, 2, "", 0, false, PROCESSOR_ARCHITECTURE_AMD64, VER_NT_SERVER), wvWin2003);
  EXPECT_EQ(Classify(2, 5, 2, "", 0, false, PROCESSOR_ARCHITECTURE_INTEL, VER_NT_WORKSTATION), wvWin2003);
  EXPECT_EQ(Classify(2, 6, 0, "", 0, false, 0, VER_NT_WORKSTATION), wvWinVista);
  EXPECT_EQ(Classify(2, 6, 0, "", 0, false, 0, VER_NT_SERVER), wvWinServer2008);
  EXPECT_EQ(Classify(2, 6, 1, "", 0, false, 0, VER_NT_WORKSTATION), wvWin7);
  EXPECT_EQ(Classify(2, 6, 1, "", 0, false, 0, VER_NT_DOMAIN_CONTROLLER), wvWinServer2008R2);
  EXPECT_EQ(Classify(2, 6, 2), wvUnknown);
  EXPECT_EQ(Classify(2, 10, 0), wvUnknown);
  EXPECT_EQ(Classify(3, 5, 0), wvUnknown);
  EXPECT_EQ(static_cast<int>(wvWinServer2008R2), 18);
}

TEST(QcSysInfo, StartupValuesDescribeThisSystem) {
  const TQcSystemInfo& s = SystemInfo();
  EXPECT_GE(s.ProcessorCount, 1u);
  EXPECT_EQ(s.PageSize, 4096u);
  EXPECT_EQ(s.AllocationGranularity, 65536u);
  EXPECT_TRUE(s.IsWinNT);
  EXPECT_EQ(s.KernelProductVersion, 0u);  // read on Windows 9x only
  EXPECT_FALSE(s.BeforeWin2000());
  EXPECT_EQ(s.WindowsVersion, ClassifyWindowsVersion(CurrentWindowsVersionFacts()));
  EXPECT_EQ(&SystemInfo(), &s);  // taken once
}

TEST(QcSysInfo, NativeInfoAndModuleFiles) {
  SYSTEM_INFO info{};
  EXPECT_TRUE(ReadNativeSystemInfo(info));  // kernel32 has the entry on every NT we run on
  EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);

  const std::string kernel = ModuleFileName(GetModuleHandleA("kernel32.dll"));
  ASSERT_FALSE(kernel.empty());
  std::string lower = kernel;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(lower.find("kernel32.dll"), std::string::npos) << kernel;

  VS_FIXEDFILEINFO fixed{};
  ASSERT_TRUE(ReadFixedFileInfo(kernel, fixed));
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_GE(HIWORD(fixed.dwProductVersionMS), 5u);
  // A file without a version resource, and one that does not exist.
  EXPECT_FALSE(ReadFixedFileInfo(ModuleFileName(nullptr), fixed));
  EXPECT_FALSE(ReadFixedFileInfo("C:\\nulle\\part.dll", fixed));
  EXPECT_EQ(ModuleFileName(reinterpret_cast<HMODULE>(0x1230000)), "");
}

}  // namespace
}  // namespace qv::controls
