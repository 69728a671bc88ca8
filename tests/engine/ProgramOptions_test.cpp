// Tests of engine/ProgramOptions.h over the in-memory store: defaults from
// an empty store, round trips, history lists in number order, wrong value
// types, the older "Extention Indice" and the stored "ReplaceChar".
#include "engine/ProgramOptions.h"

#include <gtest/gtest.h>

using namespace qv::engine;

namespace {
const std::string kOpt = kOptionsKey;
const double kNow = EncodeDateOnly(2024, 7, 14) + (14 * 3600 + 5 * 60 + 9) / 86400.0;

TProgramOptions Started() {
  TProgramOptions o;
  SetStartupDefaults(o, kNow, "C:\\Users\\me\\Documents\\");
  return o;
}
}  // namespace

TEST(ProgramOptions, DefaultsFromAnEmptyStore) {
  TMemorySettingsStore store;
  TProgramOptions o = Started();
  THistoryLists h;
  h.NameHistory = {"stale"};
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Directory, "");
  EXPECT_EQ(o.Mask, "*.*");
  EXPECT_EQ(o.NameFile, "SansNom_");
  EXPECT_FALSE(o.NoFile);
  EXPECT_TRUE(o.NoExtension);
  EXPECT_EQ(o.ExtMP3, "MP3");
  EXPECT_EQ(o.Date, "14/07/2024");
  EXPECT_EQ(o.Date2, EncodeDateOnly(2024, 7, 14));
  EXPECT_EQ(o.Time, "14:05:09");
  EXPECT_EQ(o.Attribut, 32);
  EXPECT_EQ(o.Format, 2);
  EXPECT_EQ(o.Character, '0');
  EXPECT_EQ(o.Start, 0);
  EXPECT_EQ(o.Position, 8);
  EXPECT_TRUE(o.Rapport);
  EXPECT_TRUE(o.ActiveListe);
  EXPECT_FALSE(o.Backup);
  EXPECT_EQ(o.DownCount, 10);
  EXPECT_EQ(o.MaxCombo, 10);
  EXPECT_TRUE(o.SaveSaisie);
  EXPECT_TRUE(o.Hint);
  EXPECT_EQ(o.ModelDate, "dd/mm/yyyy hh:nn:ss");
  EXPECT_EQ(o.Col0, 8388608);
  EXPECT_EQ(o.Col1, 255);
  EXPECT_EQ(o.Col2, 16711680);
  EXPECT_EQ(o.ReplaceChar, "-");
  EXPECT_EQ(o.DirRapport, "C:\\Users\\me\\Documents\\Quorvant Pro\\Rapports");
  EXPECT_TRUE(h.NameHistory.empty());
  EXPECT_EQ(ScanAttributes(o), 41u);
  o.AttributFull = true;
  EXPECT_EQ(ScanAttributes(o), 47u);
  // Reading created nothing.
  EXPECT_TRUE(store.Keys().empty());
}

TEST(ProgramOptions, RoundTrip) {
  TMemorySettingsStore store;
  TProgramOptions o = Started();
  o.Directory = "D:\\Photos \xE9t\xE9";
  o.Mask = "*.jpg;*.nef";
  o.IdxNameFile = 3;
  o.NoFile = true;
  o.ScriptFile = true;
  o.CasseFile = 4;
  o.NoExtension = false;
  o.CasseExtension = 2;
  o.DateOn = o.TimeOn = o.AttributOn = true;
  o.Date = "01/02/2003";
  o.Time = "04:05:06";
  o.Attribut = 1;
  o.Format = 5;
  o.Character = '_';
  o.Start = -7;
  o.Position = 0;
  o.ExtensionIndice = true;
  o.Rapport = false;
  o.Editor = "C:\\Windows\\notepad.exe";
  o.Auto = o.Texture = o.Grid = o.MajAscii = o.AttributFull = o.DeleteList = true;
  o.ActiveListe = o.Hint = o.SaveSaisie = false;
  o.PositionIndice = 2;
  o.Col0 = 0x00123456;
  o.ReplaceChar = "_";
  o.ModelDate = "yyyy-mm-dd";
  THistoryLists h;
  for (int i = 0; i < 15; ++i) h.NameHistory.push_back("nom" + std::to_string(i));
  h.ExtScriptHistory = {"<U3>", ""};
  ASSERT_TRUE(SaveSettings(store, o, h));
  EXPECT_EQ(store.ReadString(kProductKey, "Version", ""), "3.2.0.0");
  EXPECT_FALSE(store.ValueExists(kOpt, "DirRapport"));
  EXPECT_FALSE(store.ValueExists(kOpt, "ExtMP3"));
  EXPECT_EQ(store.ReadString(kOpt, "Character", ""), "_");

  TProgramOptions back = Started();
  THistoryLists hb;
  LoadSettings(store, back, hb);
  EXPECT_EQ(back.Directory, o.Directory);
  EXPECT_EQ(back.Mask, o.Mask);
  EXPECT_EQ(back.IdxNameFile, 3);
  EXPECT_TRUE(back.NoFile && back.ScriptFile && back.DateOn && back.TimeOn && back.AttributOn);
  EXPECT_EQ(back.CasseFile, 4);
  EXPECT_FALSE(back.NoExtension);
  EXPECT_EQ(back.Date, "01/02/2003");  // from "Date 2"
  EXPECT_EQ(back.Date2, EncodeDateOnly(2003, 2, 1));
  EXPECT_EQ(back.Time, "04:05:06");
  EXPECT_EQ(back.Character, '_');
  EXPECT_EQ(back.Start, -7);
  EXPECT_EQ(back.Position, 0);
  EXPECT_TRUE(back.ExtensionIndice);
  EXPECT_FALSE(back.Rapport || back.ActiveListe || back.Hint || back.SaveSaisie);
  EXPECT_TRUE(back.Auto && back.Texture && back.Grid && back.MajAscii && back.AttributFull && back.DeleteList);
  EXPECT_EQ(back.PositionIndice, 2);
  EXPECT_EQ(back.Col0, 0x00123456);
  EXPECT_EQ(back.ReplaceChar, "_");
  EXPECT_EQ(back.ModelDate, "yyyy-mm-dd");
  EXPECT_EQ(back.Editor, o.Editor);
  EXPECT_EQ(hb.NameHistory, h.NameHistory);  // 15 entries, in order
  EXPECT_EQ(hb.ExtScriptHistory, h.ExtScriptHistory);
  EXPECT_TRUE(hb.ExtHistory.empty());
  // An empty history is still saved as its key.
  for (const char* list : {"Names Files", "Scripts Files", "Names Extensions", "Scripts Extensions"})
    EXPECT_TRUE(store.KeyExists(std::string(kListsKey) + "\\" + list)) << list;
  EXPECT_TRUE(store.ValueNames(std::string(kListsKey) + "\\Names Extensions").empty());

  // A shorter history leaves no old entries behind.
  h.NameHistory.resize(2);
  ASSERT_TRUE(SaveSettings(store, o, h));
  THistoryLists h2;
  LoadSettings(store, back, h2);
  EXPECT_EQ(h2.NameHistory, (std::vector<std::string>{"nom0", "nom1"}));
}

TEST(ProgramOptions, NameModelsNotReadBack) {
  TMemorySettingsStore store;
  store.WriteString(kOpt, "Name File", "stored");
  store.WriteString(kOpt, "ExtMP3", "OGG");
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.NameFile, "SansNom_");
  EXPECT_EQ(o.ExtMP3, "OGG");  // read, though never written
}

TEST(ProgramOptions, HistoryInNumberOrder) {
  TMemorySettingsStore store;  // enumerates by name: 0, 1, 10, 11, 2, ...
  const std::string key = std::string(kListsKey) + "\\Names Files";
  for (int i = 0; i < 12; ++i) store.WriteString(key, std::to_string(i), "e" + std::to_string(i));
  store.WriteInteger(key, "12", 5);  // wrong type: an empty entry
  const auto list = ReadStringList(store, key);
  ASSERT_EQ(list.size(), 13u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(list[i], "e" + std::to_string(i));
  EXPECT_EQ(list[12], "");
  EXPECT_TRUE(ReadStringList(store, key + "\\none").empty());
}

TEST(ProgramOptions, WrongTypesGiveDefaults) {
  TMemorySettingsStore store;
  store.WriteInteger(kOpt, "Mask", 7);  // string expected
  store.WriteString(kOpt, "Format", "9");  // integer expected
  store.WriteString(kOpt, "Rapport", "0");  // flag expected
  store.Plant(kOpt, "Position", TMemorySettingsStore::Binary{"\x01\x02"});
  store.Plant(kOpt, "Date 2", TMemorySettingsStore::Binary{"\x01\x02\x03"});  // not 8 bytes
  store.WriteString(kOpt, "Character", "");
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Mask, "*.*");
  EXPECT_EQ(o.Format, 2);
  EXPECT_TRUE(o.Rapport);
  EXPECT_EQ(o.Position, 8);
  EXPECT_EQ(o.Date, "14/07/2024");
  EXPECT_EQ(o.Character, ' ');  // empty: a blank
  // A stored float that is no date keeps today.
  store.WriteFloat(kOpt, "Date 2", 1e300);
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Date, "14/07/2024");
}

TEST(ProgramOptions, OlderExtensionIndiceMigrates) {
  TMemorySettingsStore store;
  store.WriteBool(kOpt, "Extention Indice", true);
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_TRUE(o.ExtensionIndice);
  EXPECT_FALSE(store.ValueExists(kOpt, "Extention Indice"));
  EXPECT_TRUE(store.ReadBool(kOpt, "Extension Indice", false));
}

TEST(ProgramOptions, StoredValuesMadeSafe) {
  TMemorySettingsStore store;
  store.WriteString(kOpt, "ReplaceChar", "\\");
  store.WriteString(kOpt, "Character", "xyz");
  store.WriteString(kOpt, "DirRapport", "E:\\Rapports\\\\");
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.ReplaceChar, "");  // a path separator never goes into names
  EXPECT_EQ(o.Character, 'x');
  EXPECT_EQ(o.DirRapport, "E:\\Rapports");
  store.WriteString(kOpt, "ReplaceChar", "a:/b");
  LoadSettings(store, o, h);
  EXPECT_EQ(o.ReplaceChar, "ab");
}

TEST(ProgramOptions, StoredValuesOutOfTheirRangeTakeTheirDefaults) {
  TMemorySettingsStore store;
  const std::string longMask(10000, 'a');
  store.WriteInteger(kOpt, "Format", 2147483647);
  store.WriteInteger(kOpt, "Attribut", -1);
  store.WriteInteger(kOpt, "DownCount", -7);
  store.WriteInteger(kOpt, "Max Combo", 100000);
  store.WriteInteger(kOpt, "Casse File", 99);
  store.WriteInteger(kOpt, "Casse Extension", -3);
  store.WriteInteger(kOpt, "Position Indice", 7);
  store.WriteString(kOpt, "Mask", longMask);
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Format, 2);
  EXPECT_EQ(o.Attribut, 1 | 2 | 4 | 32);
  EXPECT_EQ(o.DownCount, 10);
  EXPECT_EQ(o.MaxCombo, 10);
  EXPECT_EQ(o.CasseFile, 0);
  EXPECT_EQ(o.CasseExtension, 0);
  EXPECT_EQ(o.PositionIndice, 0);
  EXPECT_EQ(o.Mask, "*.*");
  // The close writes the sane values back.
  ASSERT_TRUE(SaveSettings(store, o, h));
  EXPECT_EQ(store.ReadInteger(kOpt, "Format", 0), 2);
  EXPECT_EQ(store.ReadInteger(kOpt, "Attribut", 0), 39);
  EXPECT_EQ(store.ReadString(kOpt, "Mask", ""), "*.*");

  // The edges themselves are kept; only the four attribute bits stay.
  store.WriteInteger(kOpt, "Format", 255);
  store.WriteInteger(kOpt, "Attribut", 32 | 16 | 2);
  store.WriteInteger(kOpt, "DownCount", 99);
  store.WriteInteger(kOpt, "Max Combo", 1);
  store.WriteInteger(kOpt, "Casse File", 4);
  store.WriteInteger(kOpt, "Casse Extension", 3);
  store.WriteString(kOpt, "Mask", longMask.substr(0, 255));
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Format, 255);
  EXPECT_EQ(o.Attribut, 34);
  EXPECT_EQ(o.DownCount, 99);
  EXPECT_EQ(o.MaxCombo, 1);
  EXPECT_EQ(o.CasseFile, 4);
  EXPECT_EQ(o.CasseExtension, 3);
  EXPECT_EQ(o.Mask.size(), 255u);
  store.WriteInteger(kOpt, "Format", -1);
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Format, 2);
}

// A remembered history entry outside its list, an empty list included,
// is the first entry; one inside is kept.
TEST(ProgramOptions, RememberedEntriesOutsideTheirHistoryAreTheFirst) {
  TMemorySettingsStore store;
  const std::string names = std::string(kListsKey) + "\\Names Files";
  store.WriteString(names, "0", "Alpha_");
  store.WriteString(names, "1", "Beta_");
  store.WriteInteger(kOpt, "Idx Name File", 1);
  store.WriteInteger(kOpt, "Idx Script File", 2147483647);
  store.WriteInteger(kOpt, "Idx Name Extension", -1);
  store.WriteInteger(kOpt, "Idx Script Extension", 1);
  TProgramOptions o = Started();
  THistoryLists h;
  LoadSettings(store, o, h);
  ASSERT_EQ(h.NameHistory.size(), 2u);
  EXPECT_EQ(o.IdxNameFile, 1);
  EXPECT_EQ(o.IdxScriptFile, 0);
  EXPECT_EQ(o.IdxNameExtension, 0);
  EXPECT_EQ(o.IdxScriptExtension, 0);
  store.WriteInteger(kOpt, "Idx Name File", 2);
  LoadSettings(store, o, h);
  EXPECT_EQ(o.IdxNameFile, 0);
  ASSERT_TRUE(SaveSettings(store, o, h));
  EXPECT_EQ(store.ReadInteger(kOpt, "Idx Script File", -1), 0);
}

TEST(ProgramOptions, UnparsableDateTextReadsStoredText) {
  TMemorySettingsStore store;
  store.WriteString(kOpt, "Date", "plus tard");
  TProgramOptions o = Started();
  o.Date = "??";
  THistoryLists h;
  LoadSettings(store, o, h);
  EXPECT_EQ(o.Date, "plus tard");
  // Saving an unparsable date writes no "Date 2".
  TMemorySettingsStore out;
  SaveSettings(out, o, h);
  EXPECT_FALSE(out.ValueExists(kOpt, "Date 2"));
  EXPECT_EQ(out.ReadString(kOpt, "Date", ""), "plus tard");
}

TEST(ProgramOptions, FailedWritesReported) {
  TMemorySettingsStore store;
  store.FailWrites = true;
  TProgramOptions o = Started();
  THistoryLists h;
  EXPECT_FALSE(SaveSettings(store, o, h));
}
