// Options and history lists through the real registry (the test prefix's
// HKEY_CURRENT_USER): defaults from nothing, reads that create no key,
// round trips, lists read by number, wrong value types.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/RegistrySettingsStore.h"
#include "engine/ProgramOptions.h"
#include "framework/Registry.h"

using namespace qv::engine;
namespace Reg = qv::fw::Registry;

namespace {
const std::string kOpt = kOptionsKey;

class RegistryOptions : public ::testing::Test {
protected:
  void SetUp() override { Reg::DeleteKey(kProductKey); }
  void TearDown() override { Reg::DeleteKey(kProductKey); }
  TProgramOptions Started() {
    TProgramOptions o;
    SetStartupDefaults(o, EncodeDateOnly(2024, 7, 14) + 0.5, "C:\\Docs");
    return o;
  }
  qv::app::TRegistrySettingsStore store;
};

void RawSet(const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(k);
}
}  // namespace

TEST_F(RegistryOptions, EmptyRegistryGivesDefaultsAndCreatesNothing) {
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Mask, "*.*");
  EXPECT_EQ(o.Date, "14/07/2024");
  EXPECT_EQ(o.Format, 2);
  EXPECT_TRUE(o.NoExtension);
  EXPECT_EQ(o.DirRapport, "C:\\Docs\\Quorvant Pro\\Rapports");
  EXPECT_FALSE(store.ValueExists(kOpt, "Mask"));
  EXPECT_FALSE(Reg::KeyExists(kProductKey));  // reads never create keys
}

TEST_F(RegistryOptions, RoundTripWithLongHistories) {
  TProgramOptions o = Started();
  o.Mask = "*.nef;*.jpg";
  o.Character = '#';
  o.Start = -3;
  o.Col2 = 0x00FFEEDD;
  o.Date = "29/02/2000";
  o.NoExtension = false;
  THistoryLists h;
  for (int i = 0; i < 23; ++i) h.NameHistory.push_back("<G" + std::to_string(i) + ">");
  h.ExtHistory = {"jpg", "\xE9t\xE9"};
  ASSERT_TRUE(SaveSettings(store, o, h));
  EXPECT_EQ(Reg::ReadString(kProductKey, "Version", ""), "3.2.0.0");
  // The registry hands the names back sorted as text (0, 1, 10, ...).
  const auto names = Reg::ValueNames(std::string(kListsKey) + "\\Names Files");
  ASSERT_EQ(names.size(), 23u);

  TProgramOptions back = Started();
  THistoryLists hb;
  LoadSettings(store, back, hb);
  EXPECT_EQ(back.Mask, o.Mask);
  EXPECT_EQ(back.Character, '#');
  EXPECT_EQ(back.Start, -3);
  EXPECT_EQ(back.Col2, 0x00FFEEDD);
  EXPECT_EQ(back.Date, "29/02/2000");
  EXPECT_FALSE(back.NoExtension);
  EXPECT_EQ(hb.NameHistory, h.NameHistory);
  EXPECT_EQ(hb.ExtHistory, h.ExtHistory);

  h.NameHistory.resize(1);
  ASSERT_TRUE(SaveSettings(store, o, h));
  LoadSettings(store, back, hb);
  EXPECT_EQ(hb.NameHistory, std::vector<std::string>{"<G0>"});
}

TEST_F(RegistryOptions, WrongTypesGiveDefaults) {
  const DWORD seven = 7;
  RawSet(kOpt, "Mask", REG_DWORD, &seven, 4);            // string expected
  RawSet(kOpt, "Format", REG_SZ, "9", 2);                // integer expected
  RawSet(kOpt, "Rapport", REG_SZ, "0", 2);               // flag expected
  RawSet(kOpt, "Hint", REG_BINARY, "\0", 1);             // flag expected
  RawSet(kOpt, "Position", REG_BINARY, "\1\2\3\4", 4);   // integer expected
  RawSet(kOpt, "Date 2", REG_DWORD, &seven, 4);          // float expected
  RawSet(kOpt, "Start", REG_QWORD, "\1\0\0\0\0\0\0\0", 8);
  const std::string list = std::string(kListsKey) + "\\Scripts Files";
  RawSet(list, "0", REG_SZ, "a", 2);
  RawSet(list, "1", REG_DWORD, &seven, 4);  // a history entry of another type
  RawSet(list, "2", REG_SZ, "c", 2);
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Mask, "*.*");
  EXPECT_EQ(o.Format, 2);
  EXPECT_TRUE(o.Rapport);
  EXPECT_TRUE(o.Hint);
  EXPECT_EQ(o.Position, 8);
  EXPECT_EQ(o.Start, 0);
  EXPECT_EQ(o.Date, "14/07/2024");
  EXPECT_EQ(h.NameScriptHistory, (std::vector<std::string>{"a", "", "c"}));
}

TEST_F(RegistryOptions, OlderSpellingAndReplaceChar) {
  const DWORD one = 1;
  RawSet(kOpt, "Extention Indice", REG_DWORD, &one, 4);
  RawSet(kOpt, "ReplaceChar", REG_SZ, "\\", 2);
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_TRUE(o.ExtensionIndice);
  EXPECT_EQ(o.ReplaceChar, "");
  EXPECT_FALSE(Reg::ValueExists(kOpt, "Extention Indice"));
  EXPECT_TRUE(Reg::ReadBool(kOpt, "Extension Indice", false));
  EXPECT_TRUE(store.DeleteKey(kOpt + "\\absent"));
}
