// INI files (layout kept, case-free names, quotes, refusals, changes made
// by others, failed writes) and the registry read as INI (strings, no key
// created by reads, DWORDs from elsewhere).
#include "framework/IniFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "FwTestSupport.h"
#include "framework/Registry.h"
#include "framework/Streams.h"

using namespace qv::fw;
using qv::fw::test::TTempDir;
using Names = std::vector<std::string>;

namespace {

std::string FileBytes(const std::wstring& path) {
  TMemoryStream m;
  m.LoadFromFile(path);
  return m.Bytes();
}

void PutFile(const std::wstring& path, const std::string& bytes) {
  TMemoryStream m(bytes);
  ASSERT_TRUE(m.SaveToFile(path));
}

}  // namespace

TEST(IniFile, NewFileHoldsExactlyWhatWasWritten) {
  TTempDir dir;
  const std::wstring path = dir.File(L"Quorvant \u00C9t\u00E9.ini");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Placement", "Left", "none"), "none");
  EXPECT_TRUE(ini.WriteInteger("Placement", "Left", -10));
  EXPECT_TRUE(ini.WriteBool("Placement", "Maximized", true));
  EXPECT_TRUE(ini.WriteString("Columns", "Sizes", "120,120,65"));
  EXPECT_EQ(FileBytes(path), "[Placement]\r\nLeft=-10\r\nMaximized=1\r\n\r\n[Columns]\r\nSizes=120,120,65\r\n");
  TIniFile again(path);
  EXPECT_EQ(again.ReadInteger("placement", "LEFT", 0), -10);
  EXPECT_TRUE(again.ReadBool("Placement", "Maximized", false));
  EXPECT_EQ(again.ReadSections(), (Names{"Placement", "Columns"}));
  EXPECT_EQ(again.ReadSection("Placement"), (Names{"Left", "Maximized"}));
}

TEST(IniFile, ExistingLayoutIsKeptAndValuesAreReadLikeWindowsDoes) {
  TTempDir dir;
  const std::wstring path = dir.File(L"a.ini");
  PutFile(path,
          "; r\xE9glages\n"
          "[Sort]\n"
          "  Ascending = 0  \n"
          "; colonne\n"
          "SortCol=\"3\"\n"
          "Quoted='a b'\n"
          "Odd=\"x'\n"
          "\n"
          "[Empty]\n");
  TIniFile ini(path);
  EXPECT_FALSE(ini.ReadBool("sort", "ascending", true));
  EXPECT_EQ(ini.ReadInteger("Sort", "SortCol", -1), 3);  // one pair of quotes dropped
  EXPECT_EQ(ini.ReadString("Sort", "Quoted", ""), "a b");
  EXPECT_EQ(ini.ReadString("Sort", "Odd", ""), "\"x'");
  EXPECT_FALSE(ini.SectionExists("Empty"));  // no value in it
  EXPECT_TRUE(ini.SectionExists("SORT"));
  EXPECT_TRUE(ini.ValueExists("Sort", "sortcol"));
  ASSERT_TRUE(ini.WriteString("Sort", "ascending", "1"));
  ASSERT_TRUE(ini.WriteString("Sort", "New", "v"));
  EXPECT_EQ(FileBytes(path),
            "; r\xE9glages\r\n[Sort]\r\nascending=1\r\n; colonne\r\nSortCol=\"3\"\r\nQuoted='a b'\r\nOdd=\"x'\r\n"
            "New=v\r\n\r\n[Empty]\r\n");
  EXPECT_TRUE(ini.DeleteKey("Sort", "Quoted"));
  EXPECT_TRUE(ini.DeleteKey("Sort", "Absent"));
  EXPECT_TRUE(ini.EraseSection("empty"));
  EXPECT_EQ(ini.ReadSections(), Names{"Sort"});
  EXPECT_EQ(ini.ReadSection("Sort"), (Names{"ascending", "SortCol", "Odd", "New"}));
}

TEST(IniFile, TextsThatWouldCorruptTheFileAreRefused) {
  TTempDir dir;
  const std::wstring path = dir.File(L"b.ini");
  TIniFile ini(path);
  ASSERT_TRUE(ini.WriteString("S", "K", "v"));
  const std::string before = FileBytes(path);
  EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
  EXPECT_FALSE(ini.WriteString("S", "K", "line\r\n[Injected]"));
  EXPECT_FALSE(ini.WriteString("S]", "K", "v"));
  EXPECT_FALSE(ini.WriteString("S", ";K", "v"));
  EXPECT_FALSE(ini.WriteString("", "K", "v"));
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(ini.ReadString("S", "K", ""), "v");
}

TEST(IniFile, ChangesByOthersAreSeenAndFailedWritesLeaveNothing) {
  TTempDir dir;
  const std::wstring path = dir.File(L"c.ini");
  TIniFile ini(path);
  ASSERT_TRUE(ini.WriteString("S", "K", "1"));
  PutFile(path, "[S]\r\nK=changed elsewhere\r\n");
  EXPECT_EQ(ini.ReadString("S", "K", ""), "changed elsewhere");
  DeleteFileW(path.c_str());
  EXPECT_EQ(ini.ReadString("S", "K", "gone"), "gone");

  TIniFile nowhere(dir.File(L"missing\\d.ini"));
  EXPECT_FALSE(nowhere.WriteString("S", "K", "v"));
  EXPECT_EQ(nowhere.ReadString("S", "K", "def"), "def");  // not kept in memory either
  EXPECT_EQ(GetFileAttributesW(dir.File(L"missing\\d.ini.qvtmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(IniFile, IntegersOutOfRangeOrJunkGiveTheDefault) {
  TTempDir dir;
  TIniFile ini(dir.File(L"e.ini"));
  const std::pair<const char*, int> cases[] = {{" 42 ", 42},      {"-0", 0},          {"2147483647", INT_MAX},
                                               {"2147483648", 7}, {"12abc", 7},       {"", 7},
                                               {"0x10", 7},       {"-2147483648", INT_MIN}};
  for (const auto& [text, want] : cases) {
    ASSERT_TRUE(ini.WriteString("N", "V", text));
    EXPECT_EQ(ini.ReadInteger("N", "V", 7), want) << text;
  }
  ASSERT_TRUE(ini.WriteString("N", "V", "abc"));
  EXPECT_TRUE(ini.ReadBool("N", "V", true));
}

namespace {
const std::string kBase = "Software\\QvFwTests\\IniFiles";

class RegistryIniTest : public ::testing::Test {
protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kBase.c_str()); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QvFwTests"); }
};
}  // namespace

TEST_F(RegistryIniTest, ReadsCreateNothingAndValuesAreStrings) {
  TRegistryIniFile ini(kBase);
  EXPECT_EQ(ini.ReadString("Columns", "Sizes", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Sort", "SortCol", 4), 4);
  EXPECT_FALSE(ini.SectionExists("Sort"));
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_TRUE(ini.EraseSection("Sort"));
  EXPECT_TRUE(ini.DeleteKey("Sort", "SortCol"));
  EXPECT_FALSE(Registry::KeyExists(kBase));

  ASSERT_TRUE(ini.WriteInteger("Sort", "SortCol", -1));
  ASSERT_TRUE(ini.WriteBool("Sort", "Ascending", true));
  ASSERT_TRUE(ini.WriteString("Columns", "Order", "0,1,2"));
  DWORD type = 0;
  RegGetValueA(HKEY_CURRENT_USER, (kBase + "\\Sort").c_str(), "SortCol", RRF_RT_ANY, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Registry::ReadString(kBase + "\\Sort", "Ascending", ""), "1");
  EXPECT_EQ(ini.ReadInteger("Sort", "SortCol", 0), -1);
  EXPECT_TRUE(ini.ReadBool("Sort", "Ascending", false));
  Names sections = ini.ReadSections();
  std::sort(sections.begin(), sections.end());
  EXPECT_EQ(sections, (Names{"Columns", "Sort"}));
  EXPECT_TRUE(ini.ValueExists("Columns", "Order"));
  EXPECT_TRUE(ini.DeleteKey("Columns", "Order"));
  EXPECT_FALSE(ini.SectionExists("Columns"));
  EXPECT_TRUE(ini.EraseSection("Sort"));
  EXPECT_FALSE(Registry::KeyExists(kBase + "\\Sort"));
}

TEST_F(RegistryIniTest, OtherValueTypes) {
  Registry::WriteInteger(kBase + "\\Placement", "Left", 120);
  Registry::WriteBinary(kBase + "\\Placement", "Blob", std::string("\x01\x02", 2));
  Registry::WriteString(kBase, "Version", "3.2.0.0");
  TRegistryIniFile ini(kBase);
  EXPECT_EQ(ini.ReadString("Placement", "Left", ""), "120");
  EXPECT_EQ(ini.ReadInteger("Placement", "Left", 0), 120);
  EXPECT_EQ(ini.ReadString("Placement", "Blob", "def"), "def");
  EXPECT_EQ(ini.ReadString("", "Version", ""), "3.2.0.0");  // "" is the base key itself
  Names names = ini.ReadSection("Placement");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"Blob", "Left"}));
}
