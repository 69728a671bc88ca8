// The about box's description of Windows, built from the facts of each kind
// of system (workstations, servers, the 9x family, NT 4 without the
// extended block), and read from the running one.
#include "app/WindowsVersion.h"

#include <gtest/gtest.h>

using namespace qv::app;

namespace {

TWindowsVersionFacts Nt(DWORD major, DWORD minor, DWORD build, BYTE productType, WORD suite,
                        const std::string& servicePack = "") {
  TWindowsVersionFacts f;
  f.Platform = VER_PLATFORM_WIN32_NT;
  f.Major = major;
  f.Minor = minor;
  f.Build = build;
  f.Extended = true;
  f.ProductType = productType;
  f.SuiteMask = suite;
  f.ServicePack = servicePack;
  return f;
}

TWindowsVersionFacts NineX(DWORD minor, const std::string& servicePack) {
  TWindowsVersionFacts f;
  f.Platform = VER_PLATFORM_WIN32_WINDOWS;
  f.Major = 4;
  f.Minor = minor;
  f.ServicePack = servicePack;
  return f;
}

}  // namespace

TEST(WindowsVersion, AppendingTrimsOnlyWhatStartsALine) {
  std::string text;
  AppendVersionPart(text, "  Microsoft Windows XP", false);
  EXPECT_EQ(text, "Microsoft Windows XP");
  AppendVersionPart(text, " PRO", false);
  AppendVersionPart(text, "  Service Pack 3", true);
  EXPECT_EQ(text, "Microsoft Windows XP PRO\rService Pack 3");
  EXPECT_EQ(TrimLeadingSpaces(" \t x "), "x ");
  EXPECT_EQ(TrimLeadingSpaces("   "), "");
}

TEST(WindowsVersion, WorkstationsNameTheirEditionAndBuild) {
  // XP Professional SP3 without EditionID: the empty edition and its blank
  // go with the trimming.
  EXPECT_EQ(BuildWindowsVersionText(Nt(5, 1, 2600, VER_NT_WORKSTATION, 0, "Service Pack 3")),
            "Microsoft Windows XP PRO\rService Pack 3 (Build 2600)");
  // Seven Home without service pack: edition, two blanks, build.
  auto seven = Nt(6, 1, 7600, VER_NT_WORKSTATION, VER_SUITE_PERSONAL);
  seven.EditionID = "HomePremium";
  EXPECT_EQ(BuildWindowsVersionText(seven), "Microsoft Windows 7 HOME\rHomePremium  (Build 7600)");
  EXPECT_EQ(BuildWindowsVersionText(Nt(6, 2, 9200, VER_NT_WORKSTATION, 0x100)),
            "Microsoft Windows 8 PRO\r(Build 9200)");
  EXPECT_EQ(BuildWindowsVersionText(Nt(6, 0, 6000, VER_NT_WORKSTATION, 0)),
            "Microsoft Windows Vista PRO\r(Build 6000)");
  // Newer versions than the table knows keep the family name.
  auto ten = Nt(10, 0, 19045, VER_NT_WORKSTATION, 0x100);
  ten.EditionID = "Professional";
  ten.SubVersionNumber = "";
  EXPECT_EQ(BuildWindowsVersionText(ten), "Microsoft Windows PRO\rProfessional  (Build 19045)");
  // Only the low 16 bits of the build count.
  EXPECT_EQ(BuildWindowsVersionText(Nt(6, 1, 0x0A001DB1, VER_NT_WORKSTATION, 0)),
            "Microsoft Windows 7 PRO\r(Build 7601)");
}

TEST(WindowsVersion, TwoThousandAndNtFourStartWithTheirOwnLine) {
  // Named once: the edition stands on their line, with no generic line.
  EXPECT_EQ(BuildWindowsVersionText(Nt(5, 0, 2195, VER_NT_WORKSTATION, 0, "Service Pack 4")),
            "Microsoft Windows 2000 PRO\rService Pack 4 (Build 2195)");
  EXPECT_EQ(BuildWindowsVersionText(Nt(5, 0, 2195, VER_NT_WORKSTATION, VER_SUITE_PERSONAL)),
            "Microsoft Windows 2000 HOME\r(Build 2195)");
  // NT 4 from its sixth service pack has the extended block.
  EXPECT_EQ(BuildWindowsVersionText(Nt(4, 0, 1381, VER_NT_WORKSTATION, 0, "Service Pack 6")),
            "Microsoft Windows NT PRO\rversion 4.0 Service Pack 6 (Build 1381)\rService Pack 6 (Build 1381)");
  // NT 4 before its sixth service pack has no extended block: the product
  // type comes from the registry.
  TWindowsVersionFacts nt4;
  nt4.Platform = VER_PLATFORM_WIN32_NT;
  nt4.Major = 4;
  nt4.Build = 1381;
  nt4.ServicePack = "Service Pack 5";
  nt4.ProductOptionsType = "WINNT";
  EXPECT_EQ(BuildWindowsVersionText(nt4),
            "Microsoft Windows NT PRO\rversion 4.0 Service Pack 5 (Build 1381)\rService Pack 5 (Build 1381)");
  nt4.ProductOptionsType = "LANMANNT";
  EXPECT_EQ(BuildWindowsVersionText(nt4).substr(0, 27), "Microsoft Windows NT Server");
  nt4.ProductOptionsType = "SERVERNT";
  EXPECT_EQ(BuildWindowsVersionText(nt4).substr(0, 36), "Microsoft Windows NT Advanced Server");
  nt4.ProductOptionsType = "winnt";  // exact comparisons
  EXPECT_EQ(BuildWindowsVersionText(nt4).substr(0, 21), "Microsoft Windows NT\r");
}

TEST(WindowsVersion, ServersByTheirSuite) {
  struct Case {
    DWORD major, minor;
    WORD suite;
    const char* first;
  };
  const Case cases[] = {
      {5, 2, 0x0402, "Enterprise Server"},  // enterprise and blade
      {5, 2, 0x0400, "Web Server"},
      {5, 2, 0x0080, "DataCenter Server"},
      {5, 2, 0x0000, "Server"},
      {5, 2, 0x0410, "Server"},  // blade with another bit is no web edition
      {6, 0, 0x0000, "Microsoft Windows Longhorn Server"},
      {5, 1, 0x0002, "Microsoft Windows .NET Enterprise Server"},
  };
  for (const Case& c : cases) {
    const std::string text = BuildWindowsVersionText(Nt(c.major, c.minor, 3790, VER_NT_SERVER, c.suite));
    EXPECT_EQ(text.substr(0, text.find('\r')), c.first) << std::hex << c.suite;
  }
  // NT 4 server with the extended block: advanced, not enterprise.
  const std::string nt4 = BuildWindowsVersionText(Nt(4, 0, 1381, VER_NT_SERVER, 0x0002, "Service Pack 6"));
  EXPECT_EQ(nt4.substr(0, nt4.find('\r', 22)), "Microsoft Windows NT Advanced Server");
  // A domain controller adds nothing of its own.
  EXPECT_EQ(BuildWindowsVersionText(Nt(5, 2, 3790, VER_NT_DOMAIN_CONTROLLER, 0x0002)), "(Build 3790)");
}

TEST(WindowsVersion, NineXFamily) {
  EXPECT_EQ(BuildWindowsVersionText(NineX(0, " C")), "Microsoft Windows 95 OSR2");
  EXPECT_EQ(BuildWindowsVersionText(NineX(0, " B")), "Microsoft Windows 95 OSR2");
  EXPECT_EQ(BuildWindowsVersionText(NineX(0, "")), "Microsoft Windows 95");
  EXPECT_EQ(BuildWindowsVersionText(NineX(10, " A ")), "Microsoft Windows 98 SE");
  EXPECT_EQ(BuildWindowsVersionText(NineX(10, "C")), "Microsoft Windows 98");
  EXPECT_EQ(BuildWindowsVersionText(NineX(90, " ")), "Microsoft Windows Millennium");
  TWindowsVersionFacts unknown;
  unknown.Platform = 7;
  EXPECT_EQ(BuildWindowsVersionText(unknown), "");
}

TEST(WindowsVersion, LongRegistryTextsAreKeptWhole) {
  auto f = Nt(6, 1, 7601, VER_NT_WORKSTATION, 0);
  f.EditionID = std::string(3000, 'E');
  const std::string text = BuildWindowsVersionText(f);
  EXPECT_EQ(text.size(), std::string("Microsoft Windows 7 PRO\r").size() + 3000 + 2 + 12);
  EXPECT_EQ(text.substr(text.size() - 12), "(Build 7601)");
}

TEST(WindowsVersion, TheRunningSystemIsDescribed) {
  const auto facts = ReadWindowsVersionFacts();
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->Platform, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_TRUE(facts->Extended);
  const std::string text = GetWindowsVersionText();
  EXPECT_EQ(text, BuildWindowsVersionText(*facts));
  EXPECT_NE(text.find("(Build "), std::string::npos) << text;
}
